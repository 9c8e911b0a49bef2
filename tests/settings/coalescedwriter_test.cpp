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

template <typename Done>
void spinUntil(Done done, int limitMs)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

TEST(CoalescedWriter, ABurstOfChangesWritesOnceWithinTheDelay)
{
    int writes = 0;
    CoalescedWriter writer([&](QString*) { return ++writes > 0; }, 200, 0);
    writer.noteChange();
    EXPECT_EQ(writes, 0) << "nothing before it is started";
    EXPECT_FALSE(writer.isPending());

    writer.start();
    for (int i = 0; i < 500; ++i)
        writer.noteChange();
    EXPECT_TRUE(writer.isPending());
    EXPECT_EQ(writes, 0) << "a change is written later, not at once";
    spinUntil([&] { return writes > 0; }, 5000);
    spin(600);
    EXPECT_EQ(writes, 1) << "a burst writes once";
    EXPECT_FALSE(writer.isPending());

    // Changes that never stop still write about once per delay: a delay
    // restarted by every change would never write while they go on.
    writes = 0;
    QElapsedTimer stream;
    stream.start();
    while (stream.elapsed() < 1500) {
        writer.noteChange();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    const int duringStream = writes;
    EXPECT_GE(duringStream, 1);
    EXPECT_LE(duringStream, 1500 / 200 + 1) << "no more than one write per delay";
    spinUntil([&] { return !writer.isPending(); }, 5000);
    EXPECT_LE(writes, duringStream + 1);

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
