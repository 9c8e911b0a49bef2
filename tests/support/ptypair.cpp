#include "support/ptypair.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace ledsign::test {

PtyPair::PtyPair()
{
    termios raw {};
    cfmakeraw(&raw);
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name);
    // The slave descriptor stays open here so that the pty lives while the
    // program opens and closes its side.
}

PtyPair::~PtyPair()
{
    closeMaster();
    if (m_slave >= 0)
        ::close(m_slave);
}

bool PtyPair::writeMaster(const QByteArray& bytes)
{
    qsizetype done = 0;
    QElapsedTimer clock;
    clock.start();
    while (done < bytes.size() && clock.elapsed() < 2000) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return done == bytes.size();
}

QByteArray PtyPair::readMaster(qsizetype count, int timeoutMs)
{
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    char buffer[4096];
    while (got.size() < count && clock.elapsed() < timeoutMs) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, n);
        else
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return got;
}

QByteArray PtyPair::drainMaster()
{
    QByteArray got;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(m_master, buffer, sizeof buffer)) > 0)
        got.append(buffer, n);
    return got;
}

void PtyPair::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

} // namespace ledsign::test
