// The demo's pictures after a full disk: a first run that cannot write them
// names the picture and the system's reason and leaves no part of one; a
// later run draws again each picture that does not read (empty, cut short)
// and keeps one the user has redrawn.
#include "editing/democard.h"
#include "model/datafolder.h"
#include "support/testsupport.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

using namespace ledsign;

TEST(DemoPictures, AFullDiskNamesThePictureAndALaterRunDrawsTheCutOnesAgain)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const DataFolder reference(dir.filePath(QStringLiteral("reference")));
    QStringList good;
    ASSERT_TRUE(ensureDemoPictures(reference, good));
    ASSERT_EQ(good.size(), 3);

    // No file larger than 1 KiB can be written, as on a disk that is full.
    const DataFolder folders(dir.filePath(QStringLiteral("demo")));
    ASSERT_TRUE(folders.ensureExists());
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QStringList paths;
    QString error;
    const bool written = ensureDemoPictures(folders, paths, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_TRUE(error.contains(QStringLiteral("demo_heart.bmp")) && error.contains(QString::fromLocal8Bit(std::strerror(EFBIG))))
        << error.toStdString();
    EXPECT_TRUE(QDir(folders.pictureFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    // What an earlier program left: an empty picture, one cut short, and
    // one the user has drawn.
    const QString heart = QDir(folders.pictureFolder()).filePath(QStringLiteral("demo_heart.bmp"));
    const QString bars = QDir(folders.pictureFolder()).filePath(QStringLiteral("demo_bars.bmp"));
    const QString arrow = QDir(folders.pictureFolder()).filePath(QStringLiteral("demo_arrow.bmp"));
    ASSERT_TRUE(test::writeAll(heart, QByteArray()));
    ASSERT_TRUE(test::writeAll(bars, test::readAll(good[1]).left(8192)));
    QImage own(8, 8, QImage::Format_RGB888);
    own.fill(Qt::red);
    ASSERT_TRUE(own.save(arrow, "BMP"));
    const QByteArray ownBytes = test::readAll(arrow);

    ASSERT_TRUE(ensureDemoPictures(folders, paths, &error)) << error.toStdString();
    EXPECT_EQ(paths, QStringList({heart, bars, arrow}));
    EXPECT_EQ(test::readAll(heart), test::readAll(good[0]));
    EXPECT_EQ(test::readAll(bars), test::readAll(good[1]));
    EXPECT_EQ(test::readAll(arrow), ownBytes);
}
