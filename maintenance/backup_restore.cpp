#include "maintenance/backup_restore.h"

#include "datastore/errors.h"
#include "maintenance/backup_copy.h"
#include "maintenance/backup_files.h"
#include "maintenance/restore_copy.h"

#include <QDir>

namespace maint {

std::optional<CopyFailure> runCopy(CopyMode mode, const QString &dataFile, const QString &chosenPath, const QString &keptAs,
                                   Restored *restored)
{
    Restored done;
    try {
        if (mode == CopyMode::Backup)
            backUp(dataFile, chosenPath);
        else
            done = restore(chosenPath, dataFile,
                           keptAs.isEmpty() ? newKeptPath(dataFile, KeptKind::BeforeRestore, QDateTime::currentDateTime()) : keptAs);
    } catch (const ds::RunError &error) {
        return CopyFailure{error.number(), error.description()};
    }
    if (restored)
        *restored = done;
    return std::nullopt;
}

QString restoredMessage(const QString &source, const QString &keptAs, const Restored &restored)
{
    const QString from = QDir::toNativeSeparators(source);
    QString text = restored.keptReplaced
                       ? QStringLiteral("数据已经从 %1 恢复，原有数据另存为 %2").arg(from, QDir::toNativeSeparators(keptAs))
                       : QStringLiteral("数据已经从 %1 恢复").arg(from);
    if (!restored.unsynced.isEmpty())
        text += QStringLiteral("\n\n注意：恢复的数据还没有确认写入磁盘（%1）。现在断电的话，数据文件可能回到恢复以前的内容，"
                               "请先正常退出系统再关机。")
                    .arg(restored.unsynced);
    return text;
}

} // namespace maint
