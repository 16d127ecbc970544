#include "maintenance/auto_backup.h"

#include "datastore/errors.h"
#include "maintenance/backup_copy.h"
#include "maintenance/backup_files.h"
#include "startup/files/file_replace.h"
#include "startup/start_notice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace maint {
namespace {

void logLine(const QString &dataFile, const QDateTime &now, const QString &text)
{
    QFile log(QFileInfo(dataFile).absoluteDir().filePath(QStringLiteral("ccyc-backup.log")));
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write((now.toString(QStringLiteral("yyyy-MM-dd HH:mm ")) + text + QLatin1Char('\n')).toUtf8());
}

// The bytes that tell one committed state of a data file from every other: each commit writes
// the first page anew (its change counter, encrypted under a fresh random IV), and a backup is a
// byte copy. Empty when the file cannot be read.
QByteArray stateMark(const QString &path)
{
    constexpr qint64 kFirstPage = 1024;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QByteArray::number(file.size()) + ':' + file.read(kFirstPage);
}

} // namespace

QString autoBackUp(const QString &dataFile, const QDateTime &now)
{
    // A journal left by a crash is rolled back first: the state a backup would hold.
    settleJournal(dataFile);
    const QByteArray state = stateMark(dataFile);
    for (const KeptFile &file : keptFiles(dataFile, KeptKind::Automatic)) {
        if (!state.isEmpty() && stateMark(file.path) == state)
            return {}; // no change since a backup of this very state
    }
    startup::ensureFolder(backupsFolder(dataFile));
    const QString made = newKeptPath(dataFile, KeptKind::Automatic, now);
    backUp(dataFile, made);
    pruneKept(dataFile, KeptKind::Automatic, now);
    return made;
}

void autoBackUpAtExit(const QString &dataFile, const QDateTime &now)
{
    try {
        const QString made = autoBackUp(dataFile, now);
        if (!made.isEmpty())
            logLine(dataFile, now, QStringLiteral("自动备份完成：%1").arg(made));
    } catch (const ds::RunError &error) {
        logLine(dataFile, now, QStringLiteral("自动备份失败：错误号码 %1，%2").arg(error.number()).arg(error.description()));
        startup::leaveNotice(QFileInfo(dataFile).absolutePath(),
                             QStringLiteral("上次退出系统时的自动备份没有完成。\n错误号码：%1\n错误内容：%2")
                                 .arg(error.number())
                                 .arg(error.description()));
    }
}

} // namespace maint
