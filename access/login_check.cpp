#include "access/login_check.h"
#include "datastore/text_trim.h"

#include "access/password_hash.h"
#include "datastore/errors.h"
#include "datastore/sql_text.h"

namespace users {
namespace {

const QString kNameQuery = QStringLiteral("yhmc");
const QString kPasswordQuery = QStringLiteral("yhmm");

// Deletes the scratch query of the check on every way out, so no trace of a login attempt
// stays in the file.
class ScratchQuery {
public:
    ScratchQuery(ds::Database &db, const QString &name, const QString &sql)
        : m_db(db)
        , m_name(name)
    {
        m_db.createQuery(m_name, sql);
    }
    ~ScratchQuery()
    {
        try {
            m_db.deleteQuery(m_name);
        } catch (const ds::RunError &) {
            // The next purge removes it.
        }
    }
    ScratchQuery(const ScratchQuery &) = delete;
    ScratchQuery &operator=(const ScratchQuery &) = delete;

private:
    ds::Database &m_db;
    QString m_name;
};

} // namespace

QStringList seekUserNames(ds::Database &db)
{
    db.purgeQueries();
    db.createQuery(kNameQuery, QStringLiteral("select 姓名 FROM 密码表"));
    ds::Dynaset names = db.openDynaset(kNameQuery);
    QStringList list;
    if (ds::isEmptyResult(names))
        return list;
    for (names.moveFirst(); !names.eof(); names.moveNext())
        list.append(names.text(0));
    return list;
}

QString passwordQueryText(const QString &name)
{
    return QStringLiteral("SELECT * FROM 密码表 WHERE 姓名= '") + ds::sqlEscape(name) + QLatin1Char('\'');
}

PasswordCheck seekPassword(ds::Database &db, const QString &name, const QString &password)
{
    PasswordCheck check;
    const QString typed = ds::trimSpaces(password);
    db.purgeQueries();
    ScratchQuery query(db, kPasswordQuery, passwordQueryText(ds::trimSpaces(name)));
    ds::Dynaset rows = db.openDynaset(kPasswordQuery);
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        const QString stored = rows.text(1);
        const bool clear = matchesClearPassword(typed, stored);
        if (clear || verifyPassword(typed, stored)) {
            check.matched = true;
            check.level = ds::trimSpaces(rows.text(2));
            // A password kept in clear is taken this once and stored hashed from now on.
            if (clear) {
                db.execute(QStringLiteral("UPDATE 密码表 SET 密码 = ?1 WHERE 姓名 = ?2 AND 密码 = ?3"),
                           {hashPassword(typed), rows.field(0), stored});
            }
            break;
        }
    }
    return check;
}

bool isTooShortForLogin(const QString &password)
{
    return password.size() <= 3;
}

LoginOutcome LoginAttempts::outcome(bool matched) const
{
    if (m_count > kAllowed)
        return LoginOutcome::Refused;
    return matched ? LoginOutcome::Succeeded : LoginOutcome::Retry;
}

namespace {
QString &signedIn()
{
    static QString name;
    return name;
}
} // namespace

void setSignedInUser(const QString &name)
{
    signedIn() = ds::trimSpaces(name);
}

QString signedInUser()
{
    return signedIn();
}

} // namespace users
