#include "model/instancelock.h"

#include "support/testsupport.h"

#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstEnds)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("home")); // not made yet
    InstanceLock first(folder);
    ASSERT_EQ(first.tryLock(), InstanceLock::Status::Acquired) << first.errorString().toStdString();
    {
        InstanceLock second(folder);
        EXPECT_EQ(second.tryLock(), InstanceLock::Status::AlreadyRunning);
    }
    // The refused instance must not have broken the first one's lock.
    InstanceLock third(folder);
    EXPECT_EQ(third.tryLock(), InstanceLock::Status::AlreadyRunning);
    first.unlock();
    EXPECT_EQ(third.tryLock(), InstanceLock::Status::Acquired);
}

TEST(InstanceLock, LockOfADeadInstanceIsTakenOver)
{
    QTemporaryDir dir;
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    InstanceLock lock(dir.path());
    ASSERT_TRUE(test::writeAll(lock.lockFilePath(), QByteArray::number(deadPid) + "\nledsign\n"
                                                        + QSysInfo::machineHostName().toUtf8() + "\n"));
    EXPECT_EQ(lock.tryLock(), InstanceLock::Status::Acquired);
}
