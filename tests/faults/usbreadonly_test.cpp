// A USB drive that turns read-only in the middle of an export (a stick with a
// write-protect switch, a file system the kernel remounted after an error):
// the export fails with its message after three attempts, leaves no partial
// file on the drive and keeps the files built in the data folder.
#include "config/usbexport.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace ledsign;

namespace {

// A folder that can be made read-only. Permissions do not stop root, so
// there the folder is a small tmpfs of its own, remounted read-only.
class Drive {
public:
    Drive()
    {
        if (!m_base.isValid())
            return;
        m_path = m_base.filePath(QStringLiteral("stick"));
        QDir().mkpath(m_path);
        if (::geteuid() != 0) {
            m_ready = true;
            return;
        }
        m_mounted = QProcess::execute(QStringLiteral("mount"),
                                      {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                       QStringLiteral("size=4m"), QStringLiteral("tmpfs"), m_path})
                    == 0;
        m_ready = m_mounted;
    }
    ~Drive()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_path});
        else
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    bool isReady() const { return m_ready; }
    QString root() const { return m_path + u'/'; }

    bool makeReadOnly()
    {
        if (m_mounted)
            return QProcess::execute(QStringLiteral("mount"),
                                     {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_path})
                   == 0;
        return QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
    }

private:
    QTemporaryDir m_base;
    QString m_path;
    bool m_mounted = false;
    bool m_ready = false;
};

QByteArray bytesOfSize(int size, char seed)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(seed + i * 13);
    return b;
}

} // namespace

TEST(UsbReadOnly, ADriveTurningReadOnlyMidExportFailsWithoutPartialFiles)
{
    Drive drive;
    if (!drive.isReady())
        GTEST_SKIP() << "cannot mount a tmpfs to make read-only";
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QByteArray data = bytesOfSize(100000, 1);
    const QByteArray params = bytesOfSize(512, 2);

    UsbExport exporter(work.path(), drive.root());
    QStringList status;
    bool turned = false;
    const UsbExport::Result r = exporter.run([&] { return data; }, [&] { return params; },
                                             [&](const QString& s) {
                                                 status << s;
                                                 // The parameter file is on the drive: now it locks.
                                                 if (s == QString::fromUtf16(usbtext::kParamDone) && !turned)
                                                     turned = drive.makeReadOnly();
                                             });
    ASSERT_TRUE(turned);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.attempts, kUsbExportAttempts);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(status.last(), QString::fromUtf16(usbtext::kFailed));
    EXPECT_FALSE(status.contains(QString::fromUtf16(usbtext::kDataDone)));
    // Nothing half-written on the drive, and no data file at all.
    EXPECT_FALSE(QFileInfo::exists(exporter.dataTarget()));
    for (const QString& name : QDir(drive.root()).entryList(QDir::Files))
        EXPECT_FALSE(name.endsWith(QLatin1String(".part"))) << name.toStdString();
    // What was built stays in the data folder, whole.
    EXPECT_EQ(test::readAll(work.filePath(QString::fromLatin1(kUsbDataFileName))), data);
    EXPECT_EQ(test::readAll(work.filePath(QString::fromLatin1(kUsbParamFileName))), params);
}
