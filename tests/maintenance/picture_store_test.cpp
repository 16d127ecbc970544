// The background picture's bytes in the data file: stored in pieces, read back whole.
#include "maintenance/picture_store.h"
#include "maintenance_fixture.h"

#include <QRandomGenerator>

#include <sqlcipher/sqlite3.h>

namespace {

class PictureStore : public ::testing::Test {
protected:
    QByteArray stored()
    {
        ds::Database db = ds::openDataFile(dataFile);
        return maint::readStoredPicture(db);
    }
    maint::StoreResult store(const QString &path)
    {
        ds::Database db = ds::openDataFile(dataFile);
        return maint::storePictureFile(db, path);
    }
    int rows() { return ds::openDataFile(dataFile).openTable("系统资料").recordCount(); }

    TempHome home;
    QString dataFile = home.installSeed();
};

TEST_F(PictureStore, EveryLengthAroundThePieceSizeComesBackExactly)
{
    EXPECT_TRUE(stored().isEmpty());
    for (const qint64 size : {1LL, 4095LL, 4096LL, 4097LL, 3 * 4096LL, 3 * 4096LL + 17}) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (char &byte : bytes)
            byte = char(QRandomGenerator::global()->bounded(256));
        const QString path = home.file(QStringLiteral("图%1.bin").arg(size));
        writeBytes(path, bytes);
        ASSERT_EQ(store(path), maint::StoreResult::Stored) << size;
        EXPECT_EQ(stored(), bytes) << size;
    }
    EXPECT_EQ(rows(), 1);
}

TEST_F(PictureStore, ATableWithoutRowsGetsOne)
{
    ds::openDataFile(dataFile).execute("DELETE FROM 系统资料");
    writeBytes(home.file("a.bmp"), "BM1234");
    ASSERT_EQ(store(home.file("a.bmp")), maint::StoreResult::Stored);
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(stored(), "BM1234");
}

TEST_F(PictureStore, AnEmptyOrMissingFileLeavesTheStoredPicture)
{
    writeBytes(home.file("a.bmp"), "BM1234");
    store(home.file("a.bmp"));
    writeBytes(home.file("empty.bmp"), {});
    EXPECT_EQ(store(home.file("empty.bmp")), maint::StoreResult::EmptyFile);
    EXPECT_EQ(maint::emptyPictureMessage("/x/empty.bmp"), "/x/empty.bmp无 内 容 或 不 存 在 !");
    try {
        store(home.file("missing.bmp"));
        ADD_FAILURE() << "a missing file was stored";
    } catch (const ds::RunError &error) {
        EXPECT_EQ(error.number(), int(ds::ErrorCode::FileNotFound));
        EXPECT_TRUE(error.description().contains("missing.bmp"));
    }
    EXPECT_EQ(stored(), "BM1234");
}

TEST_F(PictureStore, APictureBeyondTheEnginesLimitIsRefusedWithItsSize)
{
    writeBytes(home.file("a.bmp"), "BM1234");
    store(home.file("a.bmp"));
    // The limit lowered on this connection stands for the engine's 10^9 bytes: a picture above
    // it, and one just below it whose row with the other columns is not.
    for (const qint64 size : {10001LL, 9995LL}) {
        const QString path = home.file(QStringLiteral("大%1.jpg").arg(size));
        writeBytes(path, QByteArray(size, 'j'));
        ds::Database db = ds::openDataFile(dataFile);
        sqlite3_limit(db.handle(), SQLITE_LIMIT_LENGTH, 10000);
        try {
            maint::storePictureFile(db, path);
            ADD_FAILURE() << size << " bytes were stored";
        } catch (const ds::RunError &error) {
            EXPECT_EQ(error.number(), int(ds::ErrorCode::ValueTooLong));
            EXPECT_TRUE(error.description().startsWith(QStringLiteral("图片文件太大，不能保存：它有 %1 字节")
                                                           .arg(QLocale(QLocale::Chinese, QLocale::China).toString(size))))
                << error.description().toStdString();
            EXPECT_TRUE(error.description().contains("最多只能有 10,000 字节")) << error.description().toStdString();
        }
    }
    EXPECT_EQ(stored(), "BM1234");
}

TEST_F(PictureStore, AFailedWriteRollsBackToTheStoredPicture)
{
    writeBytes(home.file("a.bmp"), "BM1234");
    store(home.file("a.bmp"));
    // The journal and the pages of a large picture cannot be written on a full disk.
    const QString big = home.file("big.bmp");
    writeBytes(big, QByteArray(64 * 4096, 'p'));
    const qint64 limit = QFileInfo(dataFile).size() + 8192;
    EXPECT_EQ(withFileSizeLimit(rlim_t(limit), [&] {
                  try {
                      store(big);
                  } catch (const ds::RunError &) {
                      ::_exit(0);
                  }
                  ::_exit(2);
              }),
              0);
    EXPECT_EQ(stored(), "BM1234");
}

} // namespace
