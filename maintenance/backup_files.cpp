#include "maintenance/backup_files.h"

#include "datastore/data_file.h"
#include "startup/files/file_replace.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace maint {
namespace {

constexpr int kDailyKept = 7;
constexpr int kWeeksKept = 4;
constexpr int kRestoredKeptAlways = 3;
constexpr int kAutomaticKeptToday = 3;
const QString kStampFormat = QStringLiteral("yyyy-MM-dd-HHmm");

QString prefix(KeptKind kind)
{
    switch (kind) {
    case KeptKind::Automatic:
        return QStringLiteral("ccyc-");
    case KeptKind::BeforeRestore:
        return QStringLiteral("ccyc-before-restore-");
    case KeptKind::BeforeImport:
        return QStringLiteral("ccyc-before-import-");
    case KeptKind::Damaged:
        return QStringLiteral("ccyc-damaged-");
    }
    return {};
}

const QRegularExpression &namePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^ccyc-(before-restore-|before-import-|damaged-)?(\\d{4}-\\d{2}-\\d{2}-\\d{4})(?:-(\\d+))?\\.mdb$"));
    return pattern;
}

} // namespace

QString backupsFolder(const QString &dataFile)
{
    return QFileInfo(dataFile).absoluteDir().filePath(QStringLiteral("backups"));
}

bool parseKeptName(const QString &path, KeptKind *kind, KeptFile *file)
{
    const QRegularExpressionMatch match = namePattern().match(QFileInfo(path).fileName());
    if (!match.hasMatch())
        return false;
    const QDateTime at = QDateTime::fromString(match.captured(2), kStampFormat);
    if (!at.isValid())
        return false;
    const QString which = match.captured(1);
    *kind = which.isEmpty()                         ? KeptKind::Automatic
            : which == QLatin1String("before-restore-") ? KeptKind::BeforeRestore
            : which == QLatin1String("before-import-")  ? KeptKind::BeforeImport
                                                        : KeptKind::Damaged;
    *file = KeptFile{path, at, match.captured(3).isEmpty() ? 1 : match.captured(3).toInt()};
    return true;
}

QList<KeptFile> keptFiles(const QString &dataFile, KeptKind kind)
{
    QList<KeptFile> found;
    const QDir folder(backupsFolder(dataFile));
    for (const QString &name : folder.entryList({prefix(kind) + QStringLiteral("*.mdb")}, QDir::Files)) {
        KeptKind named = KeptKind::Automatic;
        KeptFile file;
        if (parseKeptName(folder.filePath(name), &named, &file) && named == kind)
            found.append(file);
    }
    std::sort(found.begin(), found.end(), [](const KeptFile &a, const KeptFile &b) {
        return a.savedAt != b.savedAt ? a.savedAt > b.savedAt : a.sequence > b.sequence;
    });
    return found;
}

QString newKeptPath(const QString &dataFile, KeptKind kind, const QDateTime &at)
{
    const QDir folder(backupsFolder(dataFile));
    const QString stem = prefix(kind) + at.toString(kStampFormat);
    for (int sequence = 1;; ++sequence) {
        const QString path =
            folder.filePath(stem + (sequence == 1 ? QString() : QStringLiteral("-%1").arg(sequence)) + QStringLiteral(".mdb"));
        if (!QFileInfo::exists(path) && !QFileInfo::exists(ds::journalPath(path)))
            return path;
    }
}

QList<KeptFile> filesToPrune(const QList<KeptFile> &files, const QDateTime &now, KeptKind kind)
{
    struct Dated {
        KeptFile file;
        QDateTime at; // its time, or now for a time still to come
    };
    QList<Dated> newestFirst;
    for (const KeptFile &file : files)
        newestFirst.append({file, std::min(file.savedAt, now)});
    std::stable_sort(newestFirst.begin(), newestFirst.end(), [&now](const Dated &a, const Dated &b) {
        if (a.at != b.at)
            return a.at > b.at;
        const bool aAhead = a.file.savedAt > now;
        if (aAhead != (b.file.savedAt > now))
            return !aAhead;
        return a.file.savedAt != b.file.savedAt ? a.file.savedAt > b.file.savedAt : a.file.sequence > b.file.sequence;
    });
    const int newestKept = kind == KeptKind::BeforeRestore || kind == KeptKind::BeforeImport ? kRestoredKeptAlways : 0;
    const int todayKept = kind == KeptKind::Automatic ? kAutomaticKeptToday : 0;
    int ofToday = 0;
    QSet<QDate> days;
    QSet<qint64> weeks;
    QList<KeptFile> pruned;
    for (int i = 0; i < newestFirst.size(); ++i) {
        const QDate day = newestFirst[i].at.date();
        const qint64 week = day.daysTo(now.date()) / 7;
        const bool today = day == now.date();
        // Newest first, so the first file met of a day or a week is its newest.
        const bool newestOfDay = !days.contains(day) && days.size() < kDailyKept;
        const bool newestOfWeek = week < kWeeksKept && !weeks.contains(week);
        if (!(i < newestKept || (today && ofToday < todayKept) || newestOfDay || newestOfWeek))
            pruned.append(newestFirst[i].file);
        ofToday += today ? 1 : 0;
        days.insert(day);
        weeks.insert(week);
    }
    return pruned;
}

void pruneKept(const QString &dataFile, KeptKind kind, const QDateTime &now)
{
    if (kind == KeptKind::Damaged)
        return;
    for (const KeptFile &file : filesToPrune(keptFiles(dataFile, kind), now, kind)) {
        // The journal first: one left without its file would be rolled into a file of that name.
        if (!QFileInfo::exists(ds::journalPath(file.path)) || startup::removeFile(ds::journalPath(file.path)))
            startup::removeFile(file.path);
    }
}

} // namespace maint
