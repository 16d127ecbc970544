#include "operations.h"

#include "fault_vfs.h"

#include "access/clinic_record.h"
#include "access/password_record.h"
#include "bench/silent_progress.h"
#include "browse/column_widths.h"
#include "datastore/errors.h"
#include "dictionaries/build_dictionaries.h"
#include "herbs/herb_lookup.h"
#include "herbs/herb_table.h"
#include "maintenance/import_records.h"
#include "maintenance/picture_store.h"
#include "startup/startup_logic.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <limits>

namespace reliability {
namespace {

const QString kStoredHerb = QStringLiteral("人参。");

// Set once by each harness and by the kill child.
QString &inputFolder()
{
    static QString folder;
    return folder;
}

// A herb with its 心得 box full (2,000 bytes typed), so the row spills over pages and the
// file grows.
herbs::HerbRecord herb(const QString &name, const QString &tag)
{
    return {name,           QStringLiteral("脾、肺经。"), QStringLiteral("甘，平。"),
            QStringLiteral("补气%1。").arg(tag), QStringLiteral("气虚%1。").arg(tag), QStringLiteral("煎服，三至九克。"),
            QStringLiteral("实证忌服。"), tag.repeated(999) + QStringLiteral("。")};
}

void nothing(const QString &) {}

bool addNewHerb(ds::Database &&db)
{
    return herbs::addHerb(db, herb(QStringLiteral("试验药。"), QStringLiteral("新"))) == herbs::SaveOutcome::Added;
}

// A herb add that stopped right at its commit, as a crash would stop it: the file holds the new
// pages and the hot journal beside it the old ones. The journal is not deleted because the
// last point, the journal's deletion, fails.
void crashAtCommit(const QString &path)
{
    installFaultVfs();
    const QString count = path + QStringLiteral(".count");
    copyFile(path, count);
    arm({std::numeric_limits<int>::max(), FaultAction::FailOnce});
    addNewHerb(ds::openDataFile(count));
    const int last = pointsPassed();
    QFile::remove(count);
    arm({last, FaultAction::FailOnward});
    try {
        addNewHerb(ds::openDataFile(path));
    } catch (const ds::RunError &) {
    }
    disarm();
    if (!hotJournalBeside(path))
        throw ds::RunError(ds::ErrorCode::DatabaseFailure, QStringLiteral("the crash left no hot journal"));
}

// The scratch queries a former read left in the file.
void leaveScratchQueries(const QString &path)
{
    ds::Database db = ds::openDataFile(path);
    db.purgeQueries();
    db.createQuery(QStringLiteral("000"), QStringLiteral("SELECT * FROM 密码表"));
    db.createQuery(QStringLiteral("001"), QStringLiteral("SELECT 名称 FROM 中医药材 WHERE 名称 LIKE '人*'"));
}

users::ClinicInfo newClinic()
{
    users::ClinicInfo clinic;
    clinic[users::ClinicField::Name] = QStringLiteral("澄川中医门诊部");
    clinic[users::ClinicField::Address] = QStringLiteral("湖滨路八号");
    clinic[users::ClinicField::Telephone] = QStringLiteral("0571-8800456");
    clinic[users::ClinicField::User] = QStringLiteral("赵医生");
    return clinic;
}

// A rebuild walks every herb: a few dozen keep the kills per statement few. The dictionaries
// hold what the last opening of the browse screen left.
void fewHerbsRebuilt(const QString &path)
{
    ds::openDataFile(path).execute(
        QStringLiteral("DELETE FROM 中医药材 WHERE rowid NOT IN (SELECT rowid FROM 中医药材 ORDER BY rowid LIMIT 30)"));
    bench::SilentProgress sink;
    dict::BuildDictionaries(path, sink);
}

void fewHerbsUnchanged(const QString &path)
{
    fewHerbsRebuilt(path);
    leaveScratchQueries(path);
}

// A herb in the middle changed since: fewer efficacy keywords, more indication keywords. The
// rebuild keeps the rows before it and writes both dictionaries from there.
void fewHerbsOneChanged(const QString &path)
{
    fewHerbsRebuilt(path);
    ds::openDataFile(path).execute(
        QStringLiteral("UPDATE 中医药材 SET 功效 = '补气。', 主治 = '气虚，血虚，失眠，心悸。' "
                       "WHERE rowid = (SELECT rowid FROM 中医药材 ORDER BY rowid LIMIT 1 OFFSET 15)"));
    leaveScratchQueries(path);
}

bool rebuild(const QString &path)
{
    bench::SilentProgress sink;
    dict::BuildDictionaries(path, sink);
    return true;
}

const QString kPicture = QStringLiteral("背景.bmp");
const QString kImportSource = QStringLiteral("导入源.mdb");

// Five pieces and a bit, so the picture is written through several column writes.
void makePicture(const QString &)
{
    QByteArray bytes;
    for (int i = 0; i < 5 * 4096 + 300; ++i)
        bytes.append(char(i * 7 % 251));
    QFile file(inputFile(kPicture));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw ds::RunError(ds::ErrorCode::CannotWriteFile, QStringLiteral("cannot write the picture"));
}

// A source file of the system's family with new herbs, one with its 心得 box full.
void makeImportSource(const QString &)
{
    const QString path = inputFile(kImportSource);
    QFile::remove(path);
    ds::Database db = ds::Database::create(path, maint::kImportSourceConnect);
    db.execute(QStringLiteral("CREATE TABLE zyyc (ycmc,ycgj,ycxw,ycgy,yczz,ycyf,ycyj,ycxd)"));
    db.execute(QStringLiteral("CREATE TABLE zyfj (fjmc, fjgc, fjgy, fjzz, fjyf, fjly, fjxd)"));
    for (int i = 1; i <= 5; ++i) {
        const herbs::HerbRecord row = herb(QStringLiteral("导入药%1。").arg(i), QString::number(i));
        QVariantList values;
        for (const QString &text : row)
            values.append(text);
        db.execute(QStringLiteral("INSERT INTO zyyc VALUES(?1,?2,?3,?4,?5,?6,?7,?8)"), values);
    }
}

bool storeWidths(const QString &path)
{
    browse::WriteColW(path, {1500, 2100, 2200, 2900, 3400, 3300, 3700});
    return true;
}

template <typename Body>
std::function<bool(const QString &)> onFile(Body body)
{
    return [body](const QString &path) {
        ds::Database db = ds::openDataFile(path);
        return body(db);
    };
}

} // namespace

// A new writing operation is one more row: its name, a setup from the daily file, a call of
// its logic on the file that says whether the program would report success, and what its
// state leaves out. Every harness and the kill child take every row.
const std::vector<Operation> &operations()
{
    static const std::vector<Operation> table{
        {"herb add", nothing, [](const QString &path) { return addNewHerb(ds::openDataFile(path)); }, {}},
        {"herb change", nothing,
         onFile([](ds::Database &db) { return herbs::changeHerb(db, herb(kStoredHerb, QStringLiteral("改"))) == herbs::ChangeOutcome::Changed; }),
         {}},
        {"herb delete", nothing, onFile([](ds::Database &db) { return herbs::deleteHerb(db, kStoredHerb); }), {}},
        {"password save", leaveScratchQueries,
         onFile([](ds::Database &db) {
             users::savePassword(db, QStringLiteral("王医生"), QStringLiteral("56789"));
             return true;
         }),
         {{QStringLiteral("密码表.密码")}, false}},
        {"clinic save", nothing,
         onFile([](ds::Database &db) {
             users::saveClinic(db, newClinic());
             return true;
         }),
         {}},
        {"query purge", leaveScratchQueries, onFile([](ds::Database &db) { return herbs::herbCount(db) > 0; }), {{}, true}},
        {"condition search", leaveScratchQueries,
         onFile([](ds::Database &db) {
             herbs::HerbRecord fields;
             fields[herbs::kNature] = QStringLiteral("甘");
             return !herbs::runConditionSearch(db, fields).isEmpty();
         }),
         {{}, true}},
        // The next start after a crash at a commit: its open rolls the journal back, its reads
        // make the scratch queries again.
        {"recovery at open", crashAtCommit, onFile([](ds::Database &db) { return herbs::herbCount(db) > 0; }), {{}, true}},
        {"first-use check", leaveScratchQueries,
         [](const QString &path) { return startup::checkFirstUse(path) == startup::FirstUseRoad::Normal; }, {{}, true}},
        {"dictionary rebuild, one herb changed", fewHerbsOneChanged, rebuild, {{}, true}, true},
        {"dictionary rebuild, nothing changed", fewHerbsUnchanged, rebuild, {{}, true}, true},
        // The first store adds the widths' record; a later one edits it.
        {"column widths", nothing, storeWidths, {{}, true}, true},
        {"column widths again", [](const QString &path) { browse::WriteColW(path, browse::kDefaultColumnWidths); },
         storeWidths, {{}, true}, true},
        {"picture store", makePicture,
         onFile([](ds::Database &db) { return maint::storePictureFile(db, inputFile(kPicture)) == maint::StoreResult::Stored; }),
         {}},
        {"import", makeImportSource,
         [](const QString &path) { return maint::importRecords(path, inputFile(kImportSource), maint::ImportKind::Herbs) == 5; },
         {}},
    };
    return table;
}

bool runAfterARead(const Operation &operation, const QString &path)
{
    ds::openDataFile(path).readColumn(QStringLiteral("SELECT 名称 FROM 中医药材"), 0); // writes no stored query
    return operation.run(path);
}

RunResult runOperation(const Operation &operation, const QString &path)
{
    try {
        return {runAfterARead(operation, path), {}};
    } catch (const ds::RunError &) {
        return {false, {}};
    } catch (const std::exception &error) {
        return {false, QString::fromUtf8(error.what())};
    }
}

void setInputFolder(const QString &folder)
{
    QDir().mkpath(folder);
    inputFolder() = folder;
}

QString prepareDailyFile(const QString &folder)
{
    setInputFolder(QDir(folder).filePath(QStringLiteral("inputs")));
    const QString daily = QDir(folder).filePath(QStringLiteral("daily.mdb"));
    makeDailyFile(daily);
    return daily;
}

QString inputFile(const QString &name)
{
    if (inputFolder().isEmpty())
        throw ds::RunError(ds::ErrorCode::FileNotFound, QStringLiteral("no input folder was set"));
    return QDir(inputFolder()).filePath(name);
}

QByteArray inputsFingerprint()
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QDir folder(inputFolder());
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        QFile file(folder.filePath(name));
        hash.addData(name.toUtf8() + '\1');
        if (file.open(QIODevice::ReadOnly))
            hash.addData(&file);
    }
    return hash.result();
}

const Operation *findOperation(const QString &name)
{
    for (const Operation &operation : operations()) {
        if (name == QLatin1String(operation.name))
            return &operation;
    }
    return nullptr;
}

Baseline prepareBaseline(const Operation &operation, const QString &dailyFile, const QString &folder)
{
    Baseline baseline;
    baseline.before = QDir(folder).filePath(QStringLiteral("before.mdb"));
    const QString after = QDir(folder).filePath(QStringLiteral("after.mdb"));
    try {
        if (!copyFile(dailyFile, baseline.before))
            return {{}, {}, {}, {}, QStringLiteral("cannot copy the daily file")};
        operation.setup(baseline.before);
        baseline.inputs = inputsFingerprint();
        // Read from a copy: opening the file itself would roll back a journal the setup left.
        if (!copyFile(baseline.before, after))
            return {{}, {}, {}, {}, QStringLiteral("cannot copy the file before")};
        baseline.old = checkFile(after, operation.rules);
        if (!copyFile(baseline.before, after) || !operation.run(after))
            return {{}, {}, {}, {}, QStringLiteral("the operation does not succeed without a fault")};
        baseline.fresh = checkFile(after, operation.rules);
        if (inputsFingerprint() != baseline.inputs)
            return {{}, {}, {}, {}, QStringLiteral("the operation changes a file it reads")};
    } catch (const ds::RunError &error) {
        return {{}, {}, {}, {}, error.description()};
    }
    if (baseline.old.integrity != QLatin1String("ok") || baseline.fresh.integrity != QLatin1String("ok"))
        baseline.problem = QStringLiteral("unsound baseline: %1 / %2").arg(baseline.old.integrity, baseline.fresh.integrity);
    else if (baseline.old.state == baseline.fresh.state
             && (!operation.rules.queriesWritten || baseline.old.queries == baseline.fresh.queries))
        baseline.problem = QStringLiteral("the operation changes nothing the state holds");
    return baseline;
}

QString stateProblem(const QString &path, const Baseline &baseline, const StateRules &rules, bool reportedSuccess)
{
    if (inputsFingerprint() != baseline.inputs)
        return QStringLiteral("a file the operation reads was changed");
    const bool hot = hotJournalBeside(path);
    const FileCheck check = checkFile(path, rules);
    if (check.integrity != QLatin1String("ok"))
        return QStringLiteral("integrity: ") + check.integrity;
    const bool queriesNew = !rules.queriesWritten || check.queries == baseline.fresh.queries;
    if (reportedSuccess && (check.state != baseline.fresh.state || !queriesNew))
        return QStringLiteral("success was reported but the file does not hold the new state");
    if (check.state != baseline.fresh.state && check.state != baseline.old.state)
        return QStringLiteral("the file holds neither the old state nor the new one");
    // A hot journal means the commit never ended: rolled back, it gives the old state.
    if (hot && (check.state != baseline.old.state || hotJournalBeside(path)))
        return QStringLiteral("the hot journal was not rolled back to the old state");
    // A scratch query may be purged and not yet made again, but never half made or foreign.
    for (const QString &query : rules.queriesWritten ? check.queries : QStringList()) {
        if (!baseline.old.queries.contains(query) && !baseline.fresh.queries.contains(query))
            return QStringLiteral("a stored query neither old nor new: ") + query;
    }
    return {};
}

} // namespace reliability
