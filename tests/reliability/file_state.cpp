#include "file_state.h"

#include "access/clinic_record.h"
#include "access/password_record.h"
#include "datastore/errors.h"
#include "datastore/sql_text.h"
#include "datastore/statement.h"
#include "herbs/herb_table.h"
#include "startup/startup_logic.h"

#include "temp_data.h"

#include <QCryptographicHash>
#include <QFile>

namespace reliability {

QByteArray stateOf(ds::Database &db, const StateRules &rules)
{
    // Read through plain statements: opening a recordset would write a pending purge first.
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QStringList tables;
    ds::Statement schema(db.handle(),
                         QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE type IN ('table', 'index') ORDER BY type, name"));
    while (schema.step()) {
        const QStringList entry{schema.value(0).toString(), schema.value(1).toString(), schema.value(2).toString()};
        hash.addData(entry.join(QChar(1)).toUtf8());
        if (entry[0] == QLatin1String("table"))
            tables.append(entry[1]);
    }
    for (const QString &table : tables) {
        ds::Statement rows(db.handle(), QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(ds::sqlIdentifier(table)));
        while (rows.step()) {
            QByteArray row = table.toUtf8();
            for (int column = 0; column < rows.columnCount(); ++column) {
                const QVariant value = rows.value(column);
                const bool masked = rules.maskedColumns.contains(table + QLatin1Char('.') + rows.columnName(column));
                row += '\1' + QByteArray::number(value.typeId()) + ':' + (masked ? QByteArray("*") : value.toByteArray().toHex());
            }
            hash.addData(row + '\2');
        }
    }
    return hash.result();
}

QStringList queriesOf(ds::Database &db)
{
    ds::Statement views(db.handle(), QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'view' ORDER BY name"));
    QStringList queries;
    while (views.step())
        queries.append(views.value(0).toString() + QStringLiteral(": ") + views.value(1).toString());
    return queries;
}

QString integrityOf(ds::Database &db)
{
    ds::Statement check(db.handle(), QStringLiteral("PRAGMA integrity_check"));
    QStringList lines;
    while (check.step())
        lines.append(check.value(0).toString());
    return lines.join(QLatin1Char('\n'));
}

FileCheck checkFile(const QString &path, const StateRules &rules)
{
    try {
        ds::Database db = ds::openDataFile(path);
        return {integrityOf(db), stateOf(db, rules), queriesOf(db)};
    } catch (const ds::RunError &error) {
        return {QStringLiteral("%1 %2").arg(error.number()).arg(error.description()), {}, {}};
    }
}

QString nextStartProblem(const ds::DataPaths &paths)
{
    try {
        startup::requireCipher(ds::cipherVersion());
        if (startup::ensureDataFile(paths) != startup::DataFileState::Ready)
            return QStringLiteral("the data file is taken as lost");
        startup::openCheck(paths.dataFile);
        if (startup::checkFirstUse(paths.dataFile) != startup::FirstUseRoad::Normal)
            return QStringLiteral("the start takes the first-use road");
        ds::Database db = ds::openDataFile(paths.dataFile);
        if (herbs::herbCount(db) <= 0)
            return QStringLiteral("no herbs");
    } catch (const ds::RunError &error) {
        return QStringLiteral("%1 %2").arg(error.number()).arg(error.description());
    }
    return {};
}

void makeDailyFile(const QString &path)
{
    copySeedTo(path);
    ds::Database db = ds::openDataFile(path);
    users::savePassword(db, QStringLiteral("管理员"), QStringLiteral("1234"));
    users::ClinicInfo clinic;
    clinic[users::ClinicField::Name] = QStringLiteral("澄川中医诊所");
    clinic[users::ClinicField::Address] = QStringLiteral("河西路十二号");
    clinic[users::ClinicField::Telephone] = QStringLiteral("0571-8800123");
    clinic[users::ClinicField::User] = QStringLiteral("李医生");
    users::saveClinic(db, clinic);
}

bool hotJournalBeside(const QString &path)
{
    QFile journal(path + QStringLiteral("-journal"));
    return journal.open(QIODevice::ReadOnly) && journal.read(1) != QByteArray(1, '\0') && journal.size() > 0;
}

bool copyFile(const QString &from, const QString &to)
{
    const QString journal = QStringLiteral("-journal");
    QFile::remove(to);
    QFile::remove(to + journal);
    if (QFile::exists(from + journal) && !QFile::copy(from + journal, to + journal))
        return false;
    return QFile::copy(from, to) && QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace reliability
