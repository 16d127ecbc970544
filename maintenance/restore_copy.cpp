#include "maintenance/restore_copy.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "maintenance/backup_copy.h"
#include "maintenance/backup_files.h"
#include "maintenance/data_file_check.h"
#include "startup/files/file_replace.h"

#include <QDateTime>
#include <QFileInfo>

namespace maint {
namespace {

bool present(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

[[noreturn]] void journalStuck(const QString &journal, const ds::RunError &error)
{
    throw ds::RunError(error.number(), QStringLiteral("数据文件的日志文件（%1）不能处理，数据没有恢复，现有数据没有改动。%2")
                                           .arg(journal, error.description()));
}

// The replaced data file, copied as it stands, a journal that could not be rolled back first:
// the copy then opens on the state the data file would have opened on, and is rolled back at
// once when it can be.
void keepReplaced(const QString &dataFile, const QString &keptAs)
{
    startup::ensureFolder(QFileInfo(keptAs).absolutePath());
    const bool journal = present(ds::journalPath(dataFile));
    if (journal) {
        try {
            startup::replaceByCopy(ds::journalPath(dataFile), ds::journalPath(keptAs));
        } catch (const ds::RunError &error) {
            journalStuck(ds::journalPath(dataFile), error);
        }
    }
    startup::replaceByCopy(dataFile, keptAs);
    // A copy that cannot be rolled back now (a damaged one) keeps its journal beside it.
    if (journal)
        ds::skipOnFailure([&] { ds::openDataFile(keptAs).close(); });
}

void discardKept(const QString &keptAs)
{
    startup::removeFile(ds::journalPath(keptAs));
    startup::removeFile(keptAs);
}

// The journal of the replaced file, renamed to a name the engine never rolls back; the empty
// text when there is none.
QString moveJournalAside(const QString &dataFile)
{
    const QString journal = ds::journalPath(dataFile);
    if (!present(journal))
        return {};
    const QString aside = dataFile + QStringLiteral(".replaced-journal");
    try {
        startup::moveFile(journal, aside);
    } catch (const ds::RunError &error) {
        journalStuck(journal, error);
    }
    return aside;
}

// The restored copy renamed over the data file. A rename that fails puts the journal back and
// gives up the kept copy: nothing has changed. Once renamed, the restore is done: a folder that
// cannot be synced after it gives the reason, as the warning that a power cut may undo it.
QString putInPlace(const QString &restored, const QString &dataFile, const QString &aside, const QString &keptAs)
{
    try {
        startup::moveFile(restored, dataFile);
        return {};
    } catch (const ds::RunError &error) {
        if (!present(restored))
            return error.description();
        startup::discardTemp(restored);
        if (!aside.isEmpty())
            ds::skipOnFailure([&] { startup::moveFile(aside, ds::journalPath(dataFile)); });
        if (!keptAs.isEmpty())
            discardKept(keptAs);
        throw;
    }
}

} // namespace

Restored restore(const QString &source, const QString &dataFile, const QString &keptAs)
{
    if (startup::sameFile(source, dataFile))
        throw ds::RunError(ds::ErrorCode::CannotCopyFile, QStringLiteral("所选文件就是系统的数据文件本身，不需要恢复。"));
    checkDataFileCopy(source);
    // A journal left by a crash is rolled back as the next open would; one that cannot be (a
    // damaged file) is moved aside below.
    ds::skipOnFailure([&] { settleJournal(dataFile); });
    const QString restored = startup::copyToTempBeside(source, dataFile);
    const bool keeping = present(dataFile);
    bool kept = false; // from here on a failure takes the kept copy back
    QString aside;
    try {
        checkDataFileCopy(restored);
        if (keeping) {
            kept = true;
            keepReplaced(dataFile, keptAs);
        }
        aside = moveJournalAside(dataFile);
    } catch (...) {
        startup::discardTemp(restored);
        if (kept)
            discardKept(keptAs);
        throw;
    }
    const QString unsynced = putInPlace(restored, dataFile, aside, keeping ? keptAs : QString());
    // The replaced file's data is in the kept copy; its journal is needed no more.
    if (!aside.isEmpty())
        startup::removeFile(aside);
    KeptKind kind = KeptKind::Automatic;
    KeptFile named;
    if (keeping && parseKeptName(keptAs, &kind, &named))
        pruneKept(dataFile, kind, QDateTime::currentDateTime());
    return {keeping, unsynced};
}

} // namespace maint
