#include "access/password_record.h"
#include "datastore/text_trim.h"

#include "access/password_hash.h"
#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "datastore/sql_text.h"

namespace users {

PasswordInput PasswordInput::trimmed() const
{
    return {ds::trimSpaces(name), ds::trimSpaces(newPassword), ds::trimSpaces(confirmation)};
}

PasswordRefusal checkPasswordInput(const PasswordInput &input)
{
    if (input.name.size() <= 1)
        return PasswordRefusal::ShortName;
    if (input.newPassword.size() < 4)
        return PasswordRefusal::ShortNewPassword;
    if (input.confirmation.size() < 4)
        return PasswordRefusal::ShortConfirmation;
    if (input.newPassword != input.confirmation)
        return PasswordRefusal::Mismatch;
    return PasswordRefusal::None;
}

QString refusalMessage(PasswordRefusal refusal)
{
    switch (refusal) {
    case PasswordRefusal::ShortName:
        return QStringLiteral("请输二位字符以上的用户名称");
    case PasswordRefusal::ShortNewPassword:
    case PasswordRefusal::ShortConfirmation:
        return QStringLiteral("请输入4位以上字符的密码");
    case PasswordRefusal::Mismatch:
        return QStringLiteral("新密码两次输入有误，重新输入。");
    case PasswordRefusal::None:
        break;
    }
    return {};
}

bool nameEnterMovesOn(const QString &name)
{
    return name.size() > 1;
}

bool newPasswordEnterMovesOn(const QString &newPassword)
{
    return ds::trimSpaces(newPassword).size() > 3;
}

bool confirmationEnterMovesOn(const QString &newPassword)
{
    return !ds::trimSpaces(newPassword).isEmpty();
}

QString shortPasswordWarning()
{
    return QStringLiteral("系统使用密码必须大于3位");
}

QStringList passwordTableNames(ds::Database &db)
{
    ds::Dynaset rows = db.openDynaset(QStringLiteral("SELECT * FROM 密码表"));
    QStringList names;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        const QVariant name = rows.field(QStringLiteral("姓名"));
        if (!name.isNull())
            names.append(name.toString());
    }
    return names;
}

QString passwordInsertText(const QString &name, const QString &storedPassword)
{
    return QStringLiteral("INSERT INTO 密码表 VALUES('") + ds::sqlEscape(name) + QStringLiteral("','")
           + ds::sqlEscape(storedPassword) + QStringLiteral("','") + QStringLiteral("1") + QStringLiteral("')");
}

void savePassword(ds::Database &db, const QString &name, const QString &password)
{
    // Hash first: the slow part runs before the table is touched.
    const QString stored = hashPassword(password);
    db.purgeQueries();
    ds::Transaction replace(db);
    db.execute(QStringLiteral("DELETE * FROM 密码表"));
    db.execute(passwordInsertText(name, stored));
    replace.commit();
}

bool passwordTableHasRows(ds::Database &db)
{
    const QString query = QStringLiteral("000");
    try {
        db.purgeQueries();
    } catch (const ds::RunError &) {
    }
    try {
        db.createQuery(query, QStringLiteral("select count(*) FROM 密码表"));
    } catch (const ds::RunError &) {
    }
    try {
        const ds::Dynaset count = db.openDynaset(query);
        return count.field(0).toLongLong() > 0;
    } catch (const ds::RunError &) {
        return false;
    }
}

bool passwordTableHasRows(const QString &dataFile)
{
    try {
        ds::Database db = ds::openDataFile(dataFile);
        return passwordTableHasRows(db);
    } catch (const ds::RunError &) {
        return false;
    }
}

QString incompleteTableMessage()
{
    return QStringLiteral("密码表内容不完整，系统不能退出");
}

} // namespace users
