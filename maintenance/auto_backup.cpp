#include "maintenance/auto_backup.h"

#include "datastore/errors.h"
#include "maintenance/backup_files.h"
#include "maintenance/backup_copy.h"
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

} // namespace

QString autoBackUp(const QString &dataFile, const QDateTime &now)
{
    for (const KeptFile &file : keptFiles(dataFile, KeptKind::Automatic)) {
        if (file.savedAt.date() == now.date())
            return {};
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
