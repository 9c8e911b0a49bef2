#include "model/atomicfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ledsign {

namespace {

// The system's words for the last error ("No space left on device").
QString systemReason(int number)
{
    return QString::fromLocal8Bit(std::strerror(number));
}

bool fail(QString* error, int number, const QByteArray& temp)
{
    if (error)
        *error = systemReason(number);
    if (!temp.isEmpty())
        ::unlink(temp.constData());
    return false;
}

// Permissions of the file being replaced, or those a new file gets.
mode_t modeFor(const QByteArray& target)
{
    struct stat st {};
    if (::stat(target.constData(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    const QByteArray target = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    // A temporary file beside the target, so that the rename stays on one
    // file system and is one step.
    QByteArray temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return fail(error, errno, {});
    ::fchmod(fd, modeFor(target));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int number = n < 0 ? errno : ENOSPC;
            ::close(fd);
            return fail(error, number, temp);
        }
        done += n;
    }
    // Only what reached the disk counts: a full disk or a quota may refuse
    // the blocks at this point.
    if (::fsync(fd) != 0) {
        const int number = errno;
        ::close(fd);
        return fail(error, number, temp);
    }
    if (::close(fd) != 0)
        return fail(error, errno, temp);
    if (::rename(temp.constData(), target.constData()) != 0)
        return fail(error, errno, temp);
    if (error)
        error->clear();
    return true;
}

} // namespace ledsign
