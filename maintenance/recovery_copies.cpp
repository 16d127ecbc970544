#include "maintenance/recovery_copies.h"

#include "maintenance/backup_facts.h"

#include <QFileInfo>

#include <algorithm>

namespace maint {

QList<RecoveryCopy> recoveryCopies(const QString &dataFile)
{
    QList<RecoveryCopy> copies;
    for (const KeptKind kind : {KeptKind::Automatic, KeptKind::BeforeRestore, KeptKind::BeforeImport}) {
        for (const KeptFile &file : keptFiles(dataFile, kind))
            copies.append({kind, file, herbCount(file.path)});
    }
    // Within one minute the file written last is the newer: the backup at an exit after an
    // import holds more than the copy the import kept before it wrote.
    std::stable_sort(copies.begin(), copies.end(), [](const RecoveryCopy &a, const RecoveryCopy &b) {
        if (a.file.savedAt != b.file.savedAt)
            return a.file.savedAt > b.file.savedAt;
        if (a.kind == b.kind)
            return a.file.sequence > b.file.sequence;
        return QFileInfo(a.file.path).lastModified() > QFileInfo(b.file.path).lastModified();
    });
    return copies;
}

QString keptKindCaption(KeptKind kind)
{
    switch (kind) {
    case KeptKind::Automatic:
        return QStringLiteral("自动备份");
    case KeptKind::BeforeRestore:
        return QStringLiteral("恢复前的数据");
    case KeptKind::BeforeImport:
        return QStringLiteral("导入前的数据");
    case KeptKind::Damaged:
        return QStringLiteral("损坏的数据");
    }
    return {};
}

} // namespace maint
