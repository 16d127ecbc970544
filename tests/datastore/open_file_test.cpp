#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "datastore/kept_connection.h"
#include "datastore/key_cache.h"
#include "datastore/pinyin_collation.h"
#include "datastore/statement.h"
#include "fault_vfs.h"
#include "temp_data.h"
#include "without_root_override.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include <sqlcipher/sqlite3.h>

#include <gtest/gtest.h>

namespace {

int openErrorNumber(const QString &path, const QString &connect = ds::kDataFileConnect)
{
    try {
        ds::Database::open(path, connect);
    } catch (const ds::RunError &error) {
        EXPECT_FALSE(error.description().isEmpty());
        return error.number();
    }
    return 0;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(OpenDataFile, SeedOpensWithItsPasswordAndProvesTheKey)
{
    TempHome home;
    const QString path = copySeedTo(home.file("ccyc.mdb"));
    ds::Database db = ds::openDataFile(path);
    EXPECT_TRUE(db.isOpen());
    EXPECT_GT(db.openTable("中医药材").recordCount(), 0);
}

TEST(OpenDataFile, RefusesEachKindOfBadFileWithItsOwnNumber)
{
    TempHome home;
    const QString seed = copySeedTo(home.file("ccyc.mdb"));
    EXPECT_EQ(openErrorNumber(home.file("missing.mdb")), int(ds::ErrorCode::FileNotFound));
    EXPECT_EQ(openErrorNumber(seed, ";pwd=WrongPassword1234"), int(ds::ErrorCode::WrongPassword));

    writeFile(home.file("text.mdb"), "这不是数据文件，只是一段文字。\n");
    EXPECT_EQ(openErrorNumber(home.file("text.mdb")), int(ds::ErrorCode::NotADatabase));

    writeFile(home.file("empty.mdb"), QByteArray());
    EXPECT_EQ(openErrorNumber(home.file("empty.mdb")), int(ds::ErrorCode::EmptyFile));

    // A plain, unencrypted file made by the engine without a key.
    sqlite3 *plain = nullptr;
    ASSERT_EQ(sqlite3_open(home.file("plain.mdb").toUtf8().constData(), &plain), SQLITE_OK);
    sqlite3_exec(plain, "CREATE TABLE t(a); INSERT INTO t VALUES(1);", nullptr, nullptr, nullptr);
    sqlite3_close(plain);
    EXPECT_EQ(openErrorNumber(home.file("plain.mdb")), int(ds::ErrorCode::UnencryptedFile));

    // A damaged page that only a later read meets gets the same number as the whole-file check.
    QFile damaged(seed);
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    damaged.seek(damaged.size() / 2048 * 1024 + 300);
    const char flipped = char(damaged.peek(1)[0] ^ 0x5a);
    damaged.write(&flipped, 1);
    damaged.close();
    try {
        ds::Database db = ds::openDataFile(seed);
        db.openDynaset("SELECT * FROM 中医药材");
        db.openDynaset("SELECT * FROM 中医方剂");
        ADD_FAILURE() << "the damaged page was read as sound";
    } catch (const ds::RunError &error) {
        EXPECT_EQ(error.number(), int(ds::ErrorCode::DamagedFile));
    }
}

TEST(OpenDataFile, WrongPasswordAfterRightOneIsStillRefused)
{
    // The derived-key cache must not let a wrong password through once the right one was used.
    TempHome home;
    const QString path = copySeedTo(home.file("ccyc.mdb"));
    ds::openDataFile(path).close();
    EXPECT_EQ(openErrorNumber(path, ";pwd=QxPlRvTnWkBsYmHd7255"), int(ds::ErrorCode::WrongPassword));
    EXPECT_NO_THROW(ds::openDataFile(path));
}

TEST(OpenDataFile, RestoredFileWithNewSaltOpens)
{
    // A restore puts a file with another salt under the same path; the key is derived again.
    TempHome home;
    const QString path = copySeedTo(home.file("ccyc.mdb"));
    ds::openDataFile(path).close();
    QFile::remove(path);
    {
        ds::Database other = ds::Database::create(path, ds::kDataFileConnect);
        other.execute("CREATE TABLE marker (a TEXT)");
    }
    ds::Database reopened = ds::openDataFile(path);
    EXPECT_NO_THROW(reopened.openTable("marker"));
}

namespace {

int herbCount(const QString &path)
{
    return ds::openDataFile(path).openDynaset("SELECT count(*) FROM 中医药材").field(0).toInt();
}

// A herb added by another process, which opens the file afresh and ends.
void addHerbInAnotherProcess(const QString &path)
{
    const pid_t child = fork();
    if (child == 0) {
        int code = 1;
        try {
            ds::openDataFile(path).execute("INSERT INTO 中医药材 (名称) VALUES ('别处加的药')");
            code = 0;
        } catch (...) {
        }
        _exit(code);
    }
    int status = -1;
    waitpid(child, &status, 0);
    ASSERT_EQ(status, 0);
}

// The file's modification time, set as a copy that keeps times sets it.
constexpr time_t kLongAgo = 1577836800; // 2020-01-01
void setModified(const QString &path, time_t seconds)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

} // namespace

// The kept connection serves the next operation only while the file is the one it read and
// unchanged by anyone else; each change under it is met by the next operation as a fresh open
// would meet it: the new data, or the error of the file as it now is.
TEST(KeptConnection, EachChangeUnderItIsMetByTheNextOperation)
{
    struct Change {
        const char *name;
        std::function<void(const QString &path, const QString &other)> make;
        int herbsAfter; // -1: refused with the error below
        ds::ErrorCode error = ds::ErrorCode::FileNotFound;
        bool whileHeld = false; // made while an operation holds the connection, before it is kept
    };
    // `other` holds one herb more than the data file.
    const Change changes[] = {
        {"nothing", [](const QString &, const QString &) {}, 0},
        {"commit by another process", [](const QString &path, const QString &) { addHerbInAnotherProcess(path); }, 1},
        {"renamed over it", [](const QString &path, const QString &other) { QFile::remove(path), QFile::rename(other, path); }, 1},
        {"renamed over it while held",
         [](const QString &path, const QString &other) { ::rename(qPrintable(other), qPrintable(path)); }, 1, {}, true},
        {"copied over it in place",
         [](const QString &path, const QString &other) {
             QFile from(other);
             QFile to(path);
             ASSERT_TRUE(from.open(QIODevice::ReadOnly) && to.open(QIODevice::ReadWrite));
             to.write(from.readAll()); // the same inode, the same salt, other pages
         },
         1},
        {"deleted", [](const QString &path, const QString &) { QFile::remove(path); }, -1, ds::ErrorCode::FileNotFound},
        {"cut to half its pages",
         [](const QString &path, const QString &) { QFile::resize(path, QFileInfo(path).size() / 2048 * 1024); }, -1,
         ds::ErrorCode::DamagedFile},
        {"pages written in place, the first page and the size kept", // told by the time alone
         [](const QString &path, const QString &other) {
             QFile from(other);
             QFile to(path);
             ASSERT_TRUE(from.open(QIODevice::ReadOnly) && to.open(QIODevice::ReadWrite));
             ASSERT_EQ(from.size(), to.size());
             from.seek(1024), to.seek(1024);
             to.write(from.readAll()); // the engine's change counter, on the first page, stays
         },
         1},
        {"folder in its place",
         [](const QString &path, const QString &) { QFile::remove(path), QDir().mkpath(path); }, -1,
         ds::ErrorCode::FileCannotBeOpened},
    };
    for (const Change &change : changes) {
        SCOPED_TRACE(change.name);
        TempHome home;
        const QString path = copySeedTo(home.file("ccyc.mdb"));
        const QString other = copySeedTo(home.file("other.mdb"));
        ds::openDataFile(other).execute("INSERT INTO 中医药材 (名称) VALUES ('另一份的药')");
        setModified(path, kLongAgo);
        const int herbs = herbCount(path);
        const int served = ds::keptConnectionServed();
        ASSERT_EQ(herbCount(path), herbs); // its pages are now in memory
        ASSERT_EQ(ds::keptConnectionServed(), served + 1);
        if (change.whileHeld) {
            ds::Database held = ds::openDataFile(path);
            change.make(path, other);
        } else {
            change.make(path, other);
        }
        if (change.herbsAfter >= 0) {
            EXPECT_EQ(herbCount(path), herbs + change.herbsAfter);
            continue;
        }
        try {
            herbCount(path);
            ADD_FAILURE() << "read a file that is no longer there as it was";
        } catch (const ds::RunError &error) {
            EXPECT_EQ(error.number(), int(change.error)) << error.description().toStdString();
        }
    }
}

TEST(KeptConnection, AConnectionLeftBusyOrChangedIsNotHandedOn)
{
    TempHome home;
    const QString path = copySeedTo(home.file("ccyc.mdb"));
    ds::openDataFile(path).close();
    int served = ds::keptConnectionServed();
    {
        // Two operations at once: the second opens a connection of its own.
        ds::Database first = ds::openDataFile(path);
        ds::Database second = ds::openDataFile(path);
        EXPECT_EQ(ds::keptConnectionServed(), served + 1);
        second.execute("PRAGMA cache_size = 2");
        first.beginTransaction(); // ends with its rollback at close: the connection is closed
    }
    served = ds::keptConnectionServed();
    ds::Database again = ds::openDataFile(path);
    EXPECT_EQ(ds::keptConnectionServed(), served + 1); // the second's, its cache made whole again
    EXPECT_TRUE(sqlite3_get_autocommit(again.handle())); // not the first's, inside its transaction
    ds::Statement cache(again.handle(), "PRAGMA cache_size");
    cache.step();
    EXPECT_EQ(cache.integer(0), -ds::kKeptCacheKibibytes);
    again.close();
    // Another file, another password or a read-only open never take it.
    EXPECT_EQ(openErrorNumber(path, ";pwd=QxPlRvTnWkBsYmHd7255"), int(ds::ErrorCode::WrongPassword));
    const QString copy = copySeedTo(home.file("copy.mdb"));
    served = ds::keptConnectionServed();
    ds::openDataFile(copy).close();
    ds::Database::openReadOnly(path, ds::kDataFileConnect).close();
    EXPECT_EQ(ds::keptConnectionServed(), served);
}

// A mode changed while an operation holds the connection: the next write goes as the file's
// mode now allows, not as it allowed when the connection was opened.
TEST(KeptConnection, WritesAsTheFileNowAllows)
{
    TempHome home;
    const QString path = copySeedTo(home.file("ccyc.mdb"));
    const WithoutRootOverride modesHold;
    const auto addHerbAfterAModeChange = [&](QFile::Permissions mode) {
        ds::closeKeptConnection(); // opened as the file's mode is before the change
        ds::Database held = ds::openDataFile(path);
        QFile::setPermissions(path, mode);
        held.close();
        try {
            ds::openDataFile(path).execute("INSERT INTO 中医药材 (名称) VALUES (hex(randomblob(8)))");
        } catch (const ds::RunError &error) {
            return error.number();
        }
        return 0;
    };
    EXPECT_EQ(addHerbAfterAModeChange(QFile::ReadOwner), int(ds::ErrorCode::FileReadOnly));
    EXPECT_EQ(addHerbAfterAModeChange(QFile::ReadOwner | QFile::WriteOwner), 0);
}

TEST(KeptConnection, AFileLeftInTheOldPinyinOrderIsRebuiltAtTheNextOpen)
{
    reliability::installFaultVfs();
    TempHome home;
    const QString path = copySeedTo(home.file("ccyc.mdb"));
    ds::openDataFile(path).execute("PRAGMA user_version = 0"); // built by another collator
    ds::closeKeptConnection();
    reliability::arm({1, reliability::FaultAction::FailOnce}); // the rebuild cannot write
    ds::openDataFile(path).close();
    reliability::disarm();
    ASSERT_TRUE(reliability::faultHit());
    const int served = ds::keptConnectionServed();
    ds::Database again = ds::openDataFile(path);
    EXPECT_EQ(ds::keptConnectionServed(), served);
    ds::Statement version(again.handle(), "PRAGMA user_version");
    version.step();
    EXPECT_EQ(version.integer(0), ds::pinyinCollatorVersion());
}

TEST(OpenDataFile, CreatedFilesAreEncrypted)
{
    TempHome home;
    const QString path = home.file("new.mdb");
    {
        ds::Database db = ds::Database::create(path, ds::kDataFileConnect);
        db.execute("CREATE TABLE t (a TEXT)");
        db.execute("INSERT INTO t VALUES ('人参')");
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(bytes.startsWith(QByteArray("SQLite format 3\0", 16)));
    EXPECT_FALSE(bytes.contains(QStringLiteral("人参").toUtf8()));
    EXPECT_FALSE(copySeedTo(home.file("seed.mdb")).isEmpty());
    QFile seed(home.file("seed.mdb"));
    ASSERT_TRUE(seed.open(QIODevice::ReadOnly));
    EXPECT_FALSE(seed.read(16).startsWith("SQLite format 3"));
}

TEST(OpenDataFile, CipherSelfCheckFindsAVersion)
{
    EXPECT_FALSE(ds::cipherVersion().isEmpty());
}

TEST(OpenDataFile, KeyDerivedPerOpenOpensTheSameFile)
{
    TempHome home;
    const QString path = copySeedTo(home.file("ccyc.mdb"));
    ds::Database db = ds::Database::open(path, ds::kDataFileConnect, ds::KeyMode::DerivePerOpen);
    EXPECT_GT(db.openTable("中医药材").recordCount(), 0);
}

TEST(KeyCache, AFailedDerivationKeepsNothingAndOnlyTheRecentKeysStay)
{
    int derived = 0;
    bool failing = true;
    ds::KeyCache cache(
        [&](const QByteArray &, const QByteArray &salt, QByteArray &key) {
            ++derived;
            key.fill(salt.at(0));
            return !failing;
        },
        2);
    EXPECT_THROW(cache.keyFor("pw", "a"), ds::RunError);
    EXPECT_EQ(cache.size(), 0u); // no all-zero (or half-made) key kept for the next open
    failing = false;
    EXPECT_EQ(cache.keyFor("pw", "a"), QByteArray(32, 'a'));
    EXPECT_EQ(derived, 2);
    EXPECT_EQ(cache.keyFor("pw", "a"), QByteArray(32, 'a'));
    EXPECT_EQ(derived, 2); // kept

    // Restores bring new salts: only the two most recent keys stay, the oldest is dropped.
    cache.keyFor("pw", "b");
    cache.keyFor("pw", "c");
    EXPECT_EQ(cache.size(), 2u);
    cache.keyFor("pw", "c");
    EXPECT_EQ(derived, 4);
    cache.keyFor("pw", "a");
    EXPECT_EQ(derived, 5);

    // A copy handed out stays whole when the cache wipes its own.
    QByteArray kept = cache.keyFor("pw", "a");
    {
        ds::KeyCache gone([](const QByteArray &, const QByteArray &, QByteArray &key) {
            key.fill('k');
            return true;
        });
        kept = gone.keyFor("pw", "z");
    }
    EXPECT_EQ(kept, QByteArray(32, 'k'));
    EXPECT_EQ(ds::rawKeyLiteral(QByteArray::fromHex("00ff1a")), "x'00FF1A'");
}
