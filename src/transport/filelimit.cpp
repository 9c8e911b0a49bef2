#include "transport/filelimit.h"

#include <QFile>

#include <sys/resource.h>

#include <climits>

namespace ledsign {

namespace {
// The most a process may open, whatever its hard limit says.
rlim_t systemMost()
{
    QFile f(QStringLiteral("/proc/sys/fs/nr_open"));
    bool ok = false;
    const qulonglong most = f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toULongLong(&ok) : 0;
    return ok && most > 0 ? rlim_t(most) : rlim_t(1048576);
}
} // namespace

long raiseOpenFileLimit()
{
    rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return -1;
    const rlim_t wanted = limit.rlim_max == RLIM_INFINITY ? systemMost() : limit.rlim_max;
    if (limit.rlim_cur == RLIM_INFINITY)
        return LONG_MAX;
    if (limit.rlim_cur >= wanted)
        return long(limit.rlim_cur);
    rlimit raised = limit;
    raised.rlim_cur = wanted;
    if (setrlimit(RLIMIT_NOFILE, &raised) != 0)
        return long(limit.rlim_cur);
    return long(wanted);
}

} // namespace ledsign
