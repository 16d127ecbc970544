#include "datastore/errors.h"
#include "startup/instance_lock.h"
#include "temp_data.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstLetsGo)
{
    TempHome home;
    auto first = std::make_unique<startup::InstanceLock>(startup::instanceLockPath(home.path()));
    ASSERT_TRUE(first->tryAcquire());
    EXPECT_TRUE(first->tryAcquire()); // asking again keeps it
    startup::InstanceLock second(startup::instanceLockPath(home.path()));
    EXPECT_FALSE(second.tryAcquire());
    first.reset();
    EXPECT_TRUE(second.tryAcquire());
}

TEST(InstanceLock, ARunningCopyBlocksAndACrashedOneDoesNot)
{
    TempHome home;
    QProcess holder;
    holder.start(QStringLiteral(LOCK_HOLDER), {home.path()});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_EQ(holder.readLine().trimmed(), "locked");

    startup::InstanceLock mine(startup::instanceLockPath(home.path()));
    EXPECT_FALSE(mine.tryAcquire());

    holder.kill(); // dies without releasing: its lock file stays behind
    holder.waitForFinished();
    EXPECT_TRUE(QFile::exists(startup::instanceLockPath(home.path())));
    EXPECT_TRUE(mine.tryAcquire());
}

TEST(InstanceLock, AFailureOtherThanARunningCopyIsAnErrorWithItsOwnNumber)
{
    TempHome home;
    QDir(home.path()).mkdir(QStringLiteral("folder-in-the-way"));
    const struct {
        const char *what;
        QString lockPath;
    } cases[] = {
        {"no home folder", home.file(QStringLiteral("missing/.ccdata.lock"))},
        {"a folder in the lock file's place", home.file(QStringLiteral("folder-in-the-way"))},
    };
    for (const auto &each : cases) {
        SCOPED_TRACE(each.what);
        startup::InstanceLock lock(each.lockPath);
        try {
            lock.tryAcquire();
            ADD_FAILURE() << "no error";
        } catch (const ds::RunError &error) {
            EXPECT_EQ(error.number(), int(ds::ErrorCode::CannotWriteFile));
            EXPECT_TRUE(error.description().contains(QFileInfo(each.lockPath).absolutePath()))
                << error.description().toStdString();
        }
    }
}

TEST(InstanceLock, ALockFileNamingNoOwnerIsTakenOverUnlessARunningCopyHoldsIt)
{
    TempHome home;
    const QString lockPath = startup::instanceLockPath(home.path());
    for (const QByteArray &left : {QByteArray(), QByteArray("\0\0\0\0", 4), QByteArray("不是进程号\n")}) {
        QFile file(lockPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(left);
        file.close();
        startup::InstanceLock mine(lockPath);
        EXPECT_TRUE(mine.tryAcquire()) << left.toHex().toStdString();
    }

    // A running copy whose lock file lost its contents still holds it.
    QProcess holder;
    holder.start(QStringLiteral(LOCK_HOLDER), {home.path()});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_TRUE(QFile::resize(lockPath, 0));
    startup::InstanceLock mine(lockPath);
    EXPECT_FALSE(mine.tryAcquire());
    holder.kill();
    holder.waitForFinished();
    EXPECT_TRUE(mine.tryAcquire());
}
