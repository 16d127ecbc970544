#pragma once

#include "maintenance/backup_files.h"

#include <optional>

// The copies the recovery window offers when the data file is damaged.
namespace maint {

struct RecoveryCopy {
    KeptKind kind = KeptKind::Automatic;
    KeptFile file;
    std::optional<int> herbs; // nullopt when it cannot be read
};

// Every copy in the backups folder a restore could start from, newest first: the automatic
// backups and the data files a restore replaced or an import changed. The damaged files the
// recovery put aside are left out: they are what is being mended.
QList<RecoveryCopy> recoveryCopies(const QString &dataFile);

// The kind as the list names it: 自动备份, 恢复前的数据, 导入前的数据.
QString keptKindCaption(KeptKind kind);

} // namespace maint
