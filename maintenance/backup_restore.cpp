#include "maintenance/backup_restore.h"

#include "datastore/errors.h"
#include "maintenance/backup_copy.h"
#include "maintenance/backup_files.h"
#include "maintenance/restore_copy.h"

#include <QDir>

namespace maint {

std::optional<CopyFailure> runCopy(CopyMode mode, const QString &dataFile, const QString &chosenPath, const QString &keptAs,
                                   bool *keptReplaced)
{
    bool kept = false;
    try {
        if (mode == CopyMode::Backup)
            backUp(dataFile, chosenPath);
        else
            kept = restore(chosenPath, dataFile,
                           keptAs.isEmpty() ? newKeptPath(dataFile, KeptKind::BeforeRestore, QDateTime::currentDateTime()) : keptAs);
    } catch (const ds::RunError &error) {
        return CopyFailure{error.number(), error.description()};
    }
    if (keptReplaced)
        *keptReplaced = kept;
    return std::nullopt;
}

QString restoredMessage(const QString &source, const QString &keptAs, bool keptReplaced)
{
    const QString from = QDir::toNativeSeparators(source);
    if (!keptReplaced)
        return QStringLiteral("数据已经从 %1 恢复").arg(from);
    return QStringLiteral("数据已经从 %1 恢复，原有数据另存为 %2").arg(from, QDir::toNativeSeparators(keptAs));
}

} // namespace maint
