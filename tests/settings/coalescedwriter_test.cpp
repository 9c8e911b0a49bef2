// The settings written soon after a change: a burst of changes writes once,
// within the delay; a failing write is reported once per reason and tried
// again on the next change.
#include "model/coalescedwriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {

void spin(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

TEST(CoalescedWriter, ABurstOfChangesWritesOnceWithinTheDelay)
{
    int writes = 0;
    qint64 firstWriteAfter = -1;
    QElapsedTimer sinceChange;
    CoalescedWriter writer(
        [&](QString*) {
            if (writes++ == 0)
                firstWriteAfter = sinceChange.elapsed();
            return true;
        },
        200, 0);
    writer.noteChange();
    EXPECT_EQ(writes, 0) << "nothing before it is started";
    EXPECT_FALSE(writer.isPending());

    writer.start();
    sinceChange.start();
    for (int i = 0; i < 500; ++i)
        writer.noteChange();
    EXPECT_TRUE(writer.isPending());
    spin(150);
    writer.noteChange(); // still inside the delay: rides along
    spin(400);
    EXPECT_EQ(writes, 1);
    EXPECT_GE(firstWriteAfter, 190);
    // Restarting the delay on that change would write at 350 ms or later.
    EXPECT_LT(firstWriteAfter, 340) << "a change inside the delay must not postpone the write";

    // A steady stream still writes about once per delay, not never.
    writes = 0;
    QElapsedTimer stream;
    stream.start();
    while (stream.elapsed() < 1100) {
        writer.noteChange();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    spin(300);
    EXPECT_GE(writes, 3);
    EXPECT_LE(writes, 7);

    writer.stop();
    writes = 0;
    writer.noteChange();
    spin(300);
    EXPECT_FALSE(writer.isPending());
    EXPECT_EQ(writes, 0);
}

TEST(CoalescedWriter, TheSweepWritesUnannouncedChanges)
{
    int writes = 0;
    CoalescedWriter writer([&](QString*) { return ++writes > 0; }, 1000, 50);
    writer.start();
    spin(180);
    EXPECT_GE(writes, 2);
}

TEST(CoalescedWriter, FailuresAreReportedOncePerReasonAndRecover)
{
    QString reason = QStringLiteral("Cannot save /x/SetCfg.ini: No space left on device");
    bool failing = true;
    CoalescedWriter writer(
        [&](QString* error) {
            if (failing)
                *error = reason;
            return !failing;
        },
        10, 0);
    QStringList failed;
    int recovered = 0;
    QObject::connect(&writer, &CoalescedWriter::writeFailed, [&](const QString& e) { failed << e; });
    QObject::connect(&writer, &CoalescedWriter::writeRecovered, [&] { ++recovered; });
    writer.start();
    EXPECT_FALSE(writer.flush());
    EXPECT_FALSE(writer.flush());
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed.at(0), reason);
    EXPECT_EQ(writer.lastError(), reason);
    reason = QStringLiteral("Cannot save /x/SetCfg.ini: Permission denied");
    EXPECT_FALSE(writer.flush());
    EXPECT_EQ(failed.size(), 2);
    failing = false;
    writer.noteChange();
    spin(60);
    EXPECT_EQ(recovered, 1);
    EXPECT_TRUE(writer.lastError().isEmpty());
}

} // namespace
