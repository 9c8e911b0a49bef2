// The export replaces the files on the drive in one step: a card that is
// loaded from the drive, or a drive pulled out, always finds either the
// previous export or the new one, never a drive without "Vk_Data.prg".
#include "config/usbexport.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

using namespace ledsign;

namespace {

QByteArray pattern(int size, int seed)
{
    QByteArray b;
    for (int i = 0; i < size; ++i)
        b.append(char(i * seed + 3));
    return b;
}

// Names removed from a folder while it is watched (a rename over a file is
// no removal of its name).
class RemovalWatch {
public:
    explicit RemovalWatch(const QString& folder)
    {
        fd_ = ::inotify_init1(IN_NONBLOCK);
        if (fd_ >= 0)
            ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_DELETE);
    }
    ~RemovalWatch()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool ready() const { return fd_ >= 0; }
    QStringList removed()
    {
        QStringList names;
        alignas(inotify_event) char buffer[8192];
        ssize_t n = 0;
        while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) {
            for (char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->len > 0)
                    names << QString::fromLocal8Bit(event->name);
                p += sizeof(inotify_event) + event->len;
            }
        }
        return names;
    }

private:
    int fd_ = -1;
};

} // namespace

TEST(UsbReplace, TheDataFileIsRenamedOverTheOldOneNeverRemovedFirst)
{
    QTemporaryDir work;
    QTemporaryDir drive;
    const QString target = drive.filePath(QString::fromLatin1(kUsbDataFileName));
    ASSERT_TRUE(test::writeAll(target, pattern(3000, 5)));
    ASSERT_TRUE(test::writeAll(drive.filePath(QString::fromLatin1(kUsbParamFileName)), pattern(36, 9)));
    RemovalWatch watch(drive.path());
    ASSERT_TRUE(watch.ready());

    UsbExport exporter(work.path(), drive.path() + u'/');
    const QByteArray data = pattern(9000, 11);
    const QByteArray params = pattern(36, 13);
    const auto r = exporter.run([&] { return data; }, [&] { return params; });
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(test::readAll(target), data);
    EXPECT_EQ(test::readAll(drive.filePath(QString::fromLatin1(kUsbParamFileName))), params);
    const QStringList removed = watch.removed();
    EXPECT_FALSE(removed.contains(QString::fromLatin1(kUsbDataFileName))) << removed.join(' ').toStdString();
    EXPECT_FALSE(removed.contains(QString::fromLatin1(kUsbParamFileName))) << removed.join(' ').toStdString();
}

TEST(UsbReplace, AFailedExportLeavesThePreviousExportWhole)
{
    QTemporaryDir work;
    QTemporaryDir drive;
    const QString target = drive.filePath(QString::fromLatin1(kUsbDataFileName));
    const QByteArray previous = pattern(3000, 5);
    ASSERT_TRUE(test::writeAll(target, previous));

    UsbExport exporter(work.path(), drive.path() + u'/');
    // The drive refuses every copy half-way.
    exporter.setCopy([](const QString&, const QString& to, QString* error) {
        QFile part(to + QStringLiteral(".part"));
        part.open(QIODevice::WriteOnly);
        part.write(QByteArray(1000, 'x'));
        part.close();
        QFile::remove(to + QStringLiteral(".part"));
        *error = QStringLiteral("Input/output error");
        return false;
    });
    const auto r = exporter.run([] { return pattern(9000, 11); }, {});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.attempts, kUsbExportAttempts);
    EXPECT_EQ(r.error, QStringLiteral("Input/output error"));
    EXPECT_EQ(test::readAll(target), previous);
}

TEST(UsbReplace, WithoutParametersAnEarlierParameterFileGoes)
{
    QTemporaryDir work;
    QTemporaryDir drive;
    const QString paramFile = drive.filePath(QString::fromLatin1(kUsbParamFileName));
    ASSERT_TRUE(test::writeAll(paramFile, pattern(36, 9)));
    UsbExport exporter(work.path(), drive.path() + u'/');
    ASSERT_TRUE(exporter.run([] { return pattern(100, 3); }, {}).ok);
    EXPECT_FALSE(QFile::exists(paramFile)) << "parameters of another export do not belong to this one";
    EXPECT_EQ(test::readAll(drive.filePath(QString::fromLatin1(kUsbDataFileName))), pattern(100, 3));
}
