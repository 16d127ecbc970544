// Every operation that opens a data file is given every kind of damaged or foreign file in the
// place it reads from. Each must end with a numbered Chinese message, never with success, and
// must leave the clinic's data file and the given file exactly as they were. The program's own
// start-up runs with its real screens; when it offers to restore, the answer No ends it as
// above, and Yes restores yesterday's automatic backup, keeps the damaged file and starts again.
#include "app/screen_registration.h"
#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "maintenance/auto_backup.h"
#include "maintenance/backup_files.h"
#include "maintenance/backup_restore.h"
#include "maintenance/import_records.h"
#include "message_recorder.h"
#include "startup/modulanxia.h"
#include "startup/startup_logic.h"
#include "temp_data.h"
#include "windows.h"
#include "without_root_override.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>
#include <QWidget>

#include <sqlcipher/sqlite3.h>

#include <functional>
#include <optional>

#include <gtest/gtest.h>

namespace {

constexpr qint64 kPage = 1024;

// A home folder whose data file is past its first use, and a program folder with the seed.
struct Scene {
    TempHome home;
    QString dataFile;
    QString programFolder;
};

// What an operation ended with: success, or the number and text of the message it showed.
struct Outcome {
    bool succeeded = false;
    std::optional<int> number;
    QString text;
};

// The operation under test and where the damaged file goes for it.
struct Operation {
    const char *name;
    // The damaged file's place: the data file itself (start-up), or a file the operation reads.
    std::function<QString(const Scene &)> place;
    std::function<Outcome(const Scene &)> run;
    // Whether the operation writes where the file lies: a file it only reads may sit on a
    // read-only medium.
    bool writesThere;
};

// The number an error box or the restore question names.
std::optional<int> numberIn(const QString &text)
{
    const auto match = QRegularExpression(QStringLiteral("错误号码[：\\s]*(\\d+)")).match(text);
    return match.hasMatch() ? std::optional<int>(match.captured(1).toInt()) : std::nullopt;
}

// Starts the program as it ships, with that answer to a question; `road` goes on from there
// while it runs.
Outcome startProgram(const Scene &scene, ui::Answer answer = ui::Answer::Yes,
                     const std::function<void(MessageRecorder &)> &road = {})
{
    MessageRecorder recorder;
    recorder.answerNext(answer);
    ds::setProgramFolder(scene.programFolder);
    registerScreens();
    Outcome outcome;
    outcome.succeeded = Modulanxia::Main() == Modulanxia::MainOutcome::Running;
    if (outcome.succeeded && road)
        road(recorder);
    outcome.succeeded = outcome.succeeded && recorder.programEnds == 0;
    Modulanxia::shutdown();
    deleteLeftoverWindows();
    ds::setProgramFolder(QString());
    // What 否 to the restore question brings says only that the program ends: the question tells.
    if (!recorder.messages.isEmpty() && recorder.last().text == startup::restoreLaterNotice())
        recorder.messages.removeLast();
    if (!recorder.messages.isEmpty()) {
        outcome.text = recorder.last().text;
        outcome.number = numberIn(outcome.text);
    }
    return outcome;
}

Outcome refuseRestoreAtStart(const Scene &scene)
{
    return startProgram(scene, ui::Answer::No);
}

// Yes to the question, then Enter in the recovery window: the newest automatic backup comes
// back and the program starts again to its splash.
Outcome recoverAtStart(const Scene &scene)
{
    return startProgram(scene, ui::Answer::Yes, [](MessageRecorder &recorder) {
        QWidget *recovery = visibleWindow(Modulanxia::kRecoveryScreen);
        ASSERT_TRUE(recovery);
        auto *list = namedControl<QTreeWidget>(recovery, "Lstbf");
        ASSERT_EQ(list->topLevelItemCount(), 1);
        EXPECT_EQ(list->currentItem(), list->topLevelItem(0));
        QTest::keyClick(list, Qt::Key_Return);
        EXPECT_TRUE(recorder.last().text.startsWith("数据已经从 ")) << recorder.last().text.toStdString();
        EXPECT_TRUE(visibleWindow("frmSplash"));
    });
}

// Restore and import read a file the user picks, beside the data folder.
QString soundBackup(const Scene &scene)
{
    const QString backup = scene.home.file("backup.mdb");
    QFile::copy(scene.dataFile, backup);
    return backup;
}

QString importSource(const Scene &scene)
{
    const QString source = soundBackup(scene);
    ds::Database db = ds::openDataFile(source);
    db.execute("DELETE * FROM 中医药材");
    db.execute("INSERT INTO 中医药材 VALUES ('新药。', '归肝经。', '甘，平。', '补气。', '气虚。', '煎服。', ' ', ' ')");
    db.execute("VACUUM"); // no free page, where a flipped byte would never be read
    return source;
}

Outcome failedWith(const ds::RunError &error)
{
    return {false, error.number(), error.description()};
}

Outcome restoreFrom(const Scene &scene)
{
    const auto failure = maint::runCopy(maint::CopyMode::Restore, scene.dataFile, scene.home.file("backup.mdb"));
    if (failure)
        return {false, failure->number, failure->description};
    return {true, std::nullopt, {}};
}

Outcome importFrom(const Scene &scene)
{
    try {
        maint::importRecords(scene.dataFile, scene.home.file("backup.mdb"), maint::ImportKind::Herbs);
        return {true, std::nullopt, {}};
    } catch (const ds::RunError &error) {
        return failedWith(error);
    }
}

const Operation kOperations[] = {
    {"start-up", [](const Scene &scene) { return scene.dataFile; }, refuseRestoreAtStart, true},
    {"restore", soundBackup, restoreFrom, false},
    {"import", importSource, importFrom, false},
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The users, the clinic and the herbs' names of a data file.
QStringList rowsOf(const QString &path)
{
    QStringList rows;
    ds::Database db = ds::openDataFile(path);
    for (const char *sql : {"SELECT 姓名 FROM 密码表", "SELECT 单位 FROM 用户资料", "SELECT 名称 FROM 中医药材"}) {
        ds::Dynaset result = db.openDynaset(sql);
        for (result.moveFirst(); !result.eof(); result.moveNext())
            rows.append(result.text(0));
    }
    return rows;
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void truncateTo(const QString &path, qint64 size)
{
    ASSERT_TRUE(QFile::resize(path, size));
}

void flipByte(const QString &path, qint64 offset)
{
    QByteArray bytes = readAll(path);
    ASSERT_LT(offset, bytes.size());
    bytes[offset] = char(bytes[offset] ^ 0x5a);
    writeAll(path, bytes);
}

// The same tables and rows, written by the engine's export into another file.
void exportTo(const QString &from, const QString &to, const char *key)
{
    writeAll(to, QByteArray()); // the engine takes an empty file for an empty database
    ds::Database db = ds::openDataFile(from);
    const QByteArray sql = QStringLiteral("ATTACH DATABASE '%1' AS other KEY '%2'; SELECT sqlcipher_export('other'); DETACH DATABASE other;")
                               .arg(to, QLatin1String(key))
                               .toUtf8();
    char *error = nullptr;
    ASSERT_EQ(sqlite3_exec(db.handle(), sql.constData(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
}

void replaceByExport(const QString &place, const char *key)
{
    const QString sound = place + ".sound";
    ASSERT_TRUE(QFile::rename(place, sound));
    exportTo(sound, place, key);
    QFile::remove(sound);
}

// A kind of damaged or foreign file: how it is made from a sound data file in its place, the
// number every operation must answer with, and whether the file modes must hold for it.
struct FileKind {
    const char *name;
    std::function<void(const QString &place)> make;
    ds::ErrorCode expected;
    bool modesHold = false;
    bool onlyWhereWritten = false; // read-only, not damaged
};

qint64 sizeOf(const QString &path)
{
    return QFileInfo(path).size();
}

const FileKind kKinds[] = {
    {"empty", [](const QString &p) { truncateTo(p, 0); }, ds::ErrorCode::EmptyFile},
    {"cut to 1 byte", [](const QString &p) { truncateTo(p, 1); }, ds::ErrorCode::NotADatabase},
    {"cut to 512 bytes", [](const QString &p) { truncateTo(p, 512); }, ds::ErrorCode::NotADatabase},
    {"cut to half its pages", [](const QString &p) { truncateTo(p, sizeOf(p) / kPage / 2 * kPage); },
     ds::ErrorCode::DamagedFile},
    {"last page cut off", [](const QString &p) { truncateTo(p, sizeOf(p) - kPage); }, ds::ErrorCode::DamagedFile},
    // The first page holds the salt and the file's header: the key cannot be proved.
    {"byte flipped in the header", [](const QString &p) { flipByte(p, 40); }, ds::ErrorCode::WrongPassword},
    {"byte flipped in a middle page", [](const QString &p) { flipByte(p, sizeOf(p) / kPage / 2 * kPage + 300); },
     ds::ErrorCode::DamagedFile},
    {"byte flipped in the last page", [](const QString &p) { flipByte(p, sizeOf(p) - kPage + 300); },
     ds::ErrorCode::DamagedFile},
    {"unencrypted, same tables", [](const QString &p) { replaceByExport(p, ""); }, ds::ErrorCode::UnencryptedFile},
    {"another password, same tables", [](const QString &p) { replaceByExport(p, "AnotherPassword99"); },
     ds::ErrorCode::WrongPassword},
    {"text file",
     [](const QString &p) { writeAll(p, QStringLiteral("人参。\t甘、微苦。\r\n这是一个文本文件。\r\n").toUtf8()); },
     ds::ErrorCode::NotADatabase},
    {"folder in its place",
     [](const QString &p) {
         QFile::remove(p);
         QDir().mkpath(p);
     },
     ds::ErrorCode::FileCannotBeOpened},
    {"unreadable", [](const QString &p) { QFile::setPermissions(p, {}); }, ds::ErrorCode::FileCannotBeOpened, true},
    {"read-only file", [](const QString &p) { QFile::setPermissions(p, QFile::ReadOwner); }, ds::ErrorCode::FileReadOnly,
     true, true},
    {"read-only folder",
     [](const QString &p) {
         QFile::setPermissions(QFileInfo(p).absolutePath(), QFile::ReadOwner | QFile::ExeOwner);
     },
     ds::ErrorCode::CannotWriteFile, true, true},
};

// The numbers start-up answers by offering a restore: a file a backup can replace. With the
// program's own password, a key it cannot prove means a damaged first page or a foreign file.
bool offersRestore(ds::ErrorCode code)
{
    return code == ds::ErrorCode::EmptyFile || code == ds::ErrorCode::NotADatabase || code == ds::ErrorCode::DamagedFile
           || code == ds::ErrorCode::WrongPassword;
}

// What must not change: the bytes of a file or the names in a folder, and the names beside it
// (no journal or scratch file left behind).
QString snapshot(const QString &path)
{
    const QFileInfo info(path);
    const QString beside = info.absoluteDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join('|');
    if (info.isDir())
        return "folder:" + QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join('|') +
               " beside:" + beside;
    return QString::fromLatin1(readAll(path).toHex()) + " beside:" + beside;
}

void setUpScene(Scene &scene)
{
    scene.programFolder = scene.home.file("program");
    QDir().mkpath(scene.programFolder);
    QFile::copy(seedFilePath(), scene.programFolder + "/ccyc.mdb");
    scene.dataFile = scene.home.installSeed();
    ds::Database db = ds::openDataFile(scene.dataFile);
    db.execute("INSERT INTO 密码表 VALUES ('张三', 'x', '1')");
    db.execute("INSERT INTO 用户资料 VALUES ('澄川中医门诊部', '杭州', '0571-1234567', '李四')");
    // Yesterday's automatic backup, made when the program last ended.
    ASSERT_FALSE(maint::autoBackUp(scene.dataFile, QDateTime::currentDateTime().addDays(-1)).isEmpty());
    // A page on the free list is never read, so a flip there would damage nothing.
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db.handle(), "PRAGMA freelist_count", -1, &stmt, nullptr);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(stmt, 0), 0);
    sqlite3_finalize(stmt);
}

} // namespace

TEST(DamagedFiles, EveryOperationRefusesEveryKindWithItsNumberAndChangesNothing)
{
    int tried = 0;
    int recoveries = 0;
    int failures = 0;
    for (const Operation &operation : kOperations) {
        // The sound file first: the harness itself must be able to succeed.
        {
            Scene scene;
            setUpScene(scene);
            operation.place(scene);
            const Outcome sound = operation.run(scene);
            ASSERT_TRUE(sound.succeeded) << operation.name << " fails on a sound file: " << sound.text.toStdString();
        }
        for (const FileKind &kind : kKinds) {
            if (kind.onlyWhereWritten && !operation.writesThere)
                continue;
            SCOPED_TRACE(std::string(operation.name) + ", " + kind.name);
            Scene scene;
            setUpScene(scene);
            const QString place = operation.place(scene);
            kind.make(place);
            const QString placeBefore = snapshot(place);
            const QString dataBefore = snapshot(scene.dataFile);

            Outcome outcome;
            {
                std::optional<WithoutRootOverride> modesHold;
                if (kind.modesHold)
                    modesHold.emplace();
                outcome = operation.run(scene);
            }
            QFile::setPermissions(QFileInfo(place).absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QFile::setPermissions(place, QFile::ReadOwner | QFile::WriteOwner);

            ++tried;
            // The data file's messages are the catalogue's, or the question that offers a
            // restore; a file the user chose is named in words of its own.
            const ds::RunError expected(kind.expected);
            const bool offered = operation.writesThere && offersRestore(kind.expected);
            const bool worded = offered                 ? outcome.text == startup::restoreQuestion(expected, scene.dataFile)
                                : operation.writesThere ? outcome.text.contains(ds::describe(kind.expected))
                                                        : outcome.text.contains(place);
            const bool refused = !outcome.succeeded && outcome.number == int(kind.expected) && worded;
            const bool unchanged = snapshot(place) == placeBefore && snapshot(scene.dataFile) == dataBefore;
            EXPECT_TRUE(refused) << "succeeded " << outcome.succeeded << ": " << outcome.text.toStdString();
            EXPECT_TRUE(unchanged);
            bool recovered = true;
            if (offered) {
                const QByteArray damaged = readAll(place);
                const QString backup = maint::keptFiles(scene.dataFile, maint::KeptKind::Automatic).value(0).path;
                const Outcome again = recoverAtStart(scene);
                const QList<maint::KeptFile> kept = maint::keptFiles(scene.dataFile, maint::KeptKind::Damaged);
                // The start-up that follows writes its stored queries: the backup's rows, not its bytes.
                recovered = again.succeeded && rowsOf(scene.dataFile) == rowsOf(backup) && kept.size() == 1
                            && readAll(kept.value(0).path) == damaged;
                EXPECT_TRUE(recovered) << again.text.toStdString();
                ++recoveries;
            }
            failures += refused && unchanged && recovered ? 0 : 1;
        }
    }
    std::printf("damaged files: %d operations, %d files tried, %d restored at start, %d failures\n",
                int(std::size(kOperations)), tried, recoveries, failures);
}

TEST(DamagedFiles, AHalfWrittenFileWithItsJournalIsRolledBackNotRefused)
{
    // A crash in the middle of a large change: pages already spilled into the file, the old
    // ones in the journal beside it. The whole-file check must let the engine roll it back
    // and start on the old state, not call the file damaged.
    Scene scene;
    setUpScene(scene);
    const int herbs = ds::openDataFile(scene.dataFile).openTable("中医药材").recordCount();
    const QString crashed = scene.home.file("crashed.mdb");
    const QByteArray before = readAll(scene.dataFile);
    {
        ds::Database db = ds::openDataFile(scene.dataFile);
        db.execute("PRAGMA cache_size = 2");
        ds::Transaction change(db);
        db.execute("UPDATE 中医药材 SET 心得 = '改过。'");
        db.execute("DELETE * FROM 密码表");
        ASSERT_TRUE(QFile::exists(scene.dataFile + "-journal"));
        ASSERT_NE(readAll(scene.dataFile), before); // pages were spilled
        ASSERT_TRUE(QFile::copy(scene.dataFile, crashed));
        ASSERT_TRUE(QFile::copy(scene.dataFile + "-journal", crashed + "-journal"));
    }
    QFile::remove(scene.dataFile);
    ASSERT_TRUE(QFile::rename(crashed, scene.dataFile));
    ASSERT_TRUE(QFile::rename(crashed + "-journal", scene.dataFile + "-journal"));

    EXPECT_TRUE(startProgram(scene).succeeded);
    EXPECT_FALSE(QFile::exists(scene.dataFile + "-journal"));
    ds::Database db = ds::openDataFile(scene.dataFile);
    EXPECT_EQ(db.openTable("中医药材").recordCount(), herbs);
    EXPECT_EQ(db.openDynaset("SELECT * FROM 中医药材 WHERE 心得 = '改过。'").recordCount(), 0);
    EXPECT_EQ(db.openTable("密码表").recordCount(), 1);
}
