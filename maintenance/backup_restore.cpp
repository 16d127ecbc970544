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

namespace {

QString ownerLine(const DataOwner &theirs, const std::optional<DataOwner> &ours)
{
    const QString logins = theirs.logins.join(QChar(0x3001));
    if (!theirs.clinic.isEmpty() && (!ours || ours->clinic != theirs.clinic)) {
        const QString line = QStringLiteral("这个备份是“%1”的数据，恢复后要用它的用户名和密码登录。").arg(theirs.clinic);
        return logins.isEmpty() ? line : line + QStringLiteral("它的用户名是“%1”。").arg(logins);
    }
    if (!ours || ours->logins == theirs.logins)
        return {};
    if (logins.isEmpty())
        return QStringLiteral("这个备份还没有设置用户名和密码，恢复后要重新设置。");
    return QStringLiteral("这个备份的用户名是“%1”，恢复后要用它的用户名和密码登录。").arg(logins);
}

} // namespace

QString beforeRestoreQuestion(const QString &backup, const BackupFacts &facts, const QString &keptAs, Replaced replaced,
                              const std::optional<DataOwner> &ours)
{
    const QString kept = replaced == Replaced::Damaged ? QStringLiteral("损坏的数据文件另存为 %1")
                                                       : QStringLiteral("现有数据另存为 %1");
    QString question = QStringLiteral("将用备份文件 %1（保存于 %2，药材 %3 味）替换现有的全部数据，%4。")
                           .arg(QDir::toNativeSeparators(backup), facts.savedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                           .arg(facts.herbs)
                           .arg(kept.arg(QDir::toNativeSeparators(keptAs)));
    const QString owner = ownerLine(facts.owner, ours);
    if (!owner.isEmpty())
        question += QStringLiteral("\r\n") + owner + QStringLiteral("\r\n");
    return question + QStringLiteral("继续吗？");
}

QString restoredMessage(const QString &source, const QString &keptAs, bool keptReplaced)
{
    const QString from = QDir::toNativeSeparators(source);
    if (!keptReplaced)
        return QStringLiteral("数据已经从 %1 恢复").arg(from);
    return QStringLiteral("数据已经从 %1 恢复，原有数据另存为 %2").arg(from, QDir::toNativeSeparators(keptAs));
}

} // namespace maint
