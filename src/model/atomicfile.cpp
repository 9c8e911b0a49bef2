#include "model/atomicfile.h"

#include <QFile>
#include <QHash>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <dirent.h>
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

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

// `path` with the symbolic links of its last part followed. A link to a
// file not made yet gives that file; a loop gives ELOOP.
bool followLinks(QByteArray path, QByteArray* target, int* number)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *target = path;
            return true;
        }
        QByteArray link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.constData(), link.data(), size_t(link.size()));
        if (n < 0 || n >= link.size()) {
            *number = n < 0 ? errno : ENAMETOOLONG;
            return false;
        }
        link.truncate(n);
        path = link.startsWith('/') ? link : folderOf(path) + '/' + link;
    }
    *number = ELOOP;
    return false;
}

// The process number in the name of a temporary file of ours
// ("NAME.ledsign-PID.XXXXXX"), or 0 when the name is not one.
pid_t tempOwner(const char* name)
{
    const char* marker = nullptr;
    for (const char* p = std::strstr(name, kAtomicTempMarker); p; p = std::strstr(p + 1, kAtomicTempMarker))
        marker = p;
    if (!marker || marker == name)
        return 0;
    const char* p = marker + std::strlen(kAtomicTempMarker);
    long pid = 0;
    int digits = 0;
    for (; *p >= '0' && *p <= '9' && digits < 10; ++p, ++digits)
        pid = pid * 10 + (*p - '0');
    if (digits == 0 || *p != '.' || std::strlen(p + 1) != 6 || pid <= 0 || pid > INT_MAX)
        return 0;
    return pid_t(pid);
}

bool running(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

bool sameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Folders with no temporary file of another running program at our last
// save there, with their time of change just after it: while that time
// stays, nothing came or went, and the folder need not be read again (a
// save of each of 10,000 playbills in one folder would read it 10,000 times).
std::mutex g_foldersLock;
QHash<QByteArray, timespec> g_cleanFolders;

// Removes the temporary files in the folder of `target` that programs no
// longer running left behind (a save killed inside its write). Ours and
// those of running programs stay: a save may be under way there. True when
// none of another running program is left.
bool removeLeftovers(const QByteArray& folder)
{
    struct stat st {};
    if (::stat(folder.constData(), &st) == 0) {
        std::lock_guard<std::mutex> lock(g_foldersLock);
        const auto it = g_cleanFolders.constFind(folder);
        if (it != g_cleanFolders.cend() && sameTime(*it, st.st_mtim))
            return true;
    }
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return false;
    const pid_t self = ::getpid();
    bool clean = true;
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = tempOwner(entry->d_name);
        if (owner == 0 || owner == self)
            continue;
        if (running(owner)) {
            clean = false;
            continue;
        }
        const QByteArray path = folder + '/' + entry->d_name;
        struct stat file {};
        if (::lstat(path.constData(), &file) == 0 && S_ISREG(file.st_mode))
            ::unlink(path.constData());
    }
    ::closedir(dir);
    return clean;
}

void noteFolderAfterSave(const QByteArray& folder, bool clean)
{
    struct stat st {};
    std::lock_guard<std::mutex> lock(g_foldersLock);
    if (clean && ::stat(folder.constData(), &st) == 0)
        g_cleanFolders.insert(folder, st.st_mtim);
    else
        g_cleanFolders.remove(folder);
}

} // namespace

QString atomicWriteTarget(const QString& path)
{
    QByteArray target;
    int number = 0;
    const QByteArray absolute = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    return followLinks(absolute, &target, &number) ? QFile::decodeName(target) : QFile::decodeName(absolute);
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    // Through a symbolic link the file it points to is replaced, and the
    // link stays: renaming over the link would put a plain file in its place.
    QByteArray target;
    int number = 0;
    if (!followLinks(QFile::encodeName(QFileInfo(path).absoluteFilePath()), &target, &number))
        return fail(error, number, {});
    const QByteArray folder = folderOf(target);
    const bool clean = removeLeftovers(folder);
    // A temporary file beside the target, so that the rename stays on one
    // file system and is one step.
    QByteArray temp = target + kAtomicTempMarker + QByteArray::number(qint64(::getpid())) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return fail(error, errno, {});
    // The permissions (and, where allowed, the group) of the file replaced.
    struct stat old {};
    if (::stat(target.constData(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777);
        if (old.st_gid != ::getegid())
            (void)::fchown(fd, uid_t(-1), old.st_gid);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            number = n < 0 ? errno : ENOSPC;
            ::close(fd);
            return fail(error, number, temp);
        }
        done += n;
    }
    // Only what reached the disk counts: a full disk or a quota may refuse
    // the blocks at this point.
    if (::fsync(fd) != 0) {
        number = errno;
        ::close(fd);
        return fail(error, number, temp);
    }
    if (::close(fd) != 0)
        return fail(error, errno, temp);
    if (::rename(temp.constData(), target.constData()) != 0)
        return fail(error, errno, temp);
    noteFolderAfterSave(folder, clean);
    if (error)
        error->clear();
    return true;
}

} // namespace ledsign
