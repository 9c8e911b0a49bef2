#include "support/rs485bus.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace ledsign::test {

Rs485Bus::Rs485Bus(int cardCount)
{
    m_clock.start();
    for (int k = 0; k <= cardCount; ++k) {
        termios raw {};
        cfmakeraw(&raw);
        char name[256] = {};
        End end;
        if (::openpty(&end.master, &end.slave, name, &raw, nullptr) != 0)
            return;
        ::fcntl(end.master, F_SETFL, ::fcntl(end.master, F_GETFL) | O_NONBLOCK);
        end.path = QString::fromLocal8Bit(name);
        m_ends.append(end);
    }
    for (int i = 0; i < m_ends.size(); ++i) {
        m_ends[i].notifier = new QSocketNotifier(m_ends[i].master, QSocketNotifier::Read, this);
        connect(m_ends[i].notifier, &QSocketNotifier::activated, this, [this, i] { relay(i); });
    }
    m_ready = true;
}

Rs485Bus::~Rs485Bus()
{
    for (End& end : m_ends) {
        delete end.notifier;
        ::close(end.master);
        ::close(end.slave);
    }
}

QString Rs485Bus::programSide() const { return m_ends.isEmpty() ? QString() : m_ends[0].path; }

QString Rs485Bus::cardSide(int card) const { return card + 1 < m_ends.size() ? m_ends[card + 1].path : QString(); }

QByteArray Rs485Bus::bytesFrom(int side) const
{
    QByteArray out;
    for (const Heard& h : m_heard) {
        if (h.from == side)
            out += h.bytes;
    }
    return out;
}

void Rs485Bus::relay(int index)
{
    char buffer[4096];
    QByteArray got;
    ssize_t n;
    while ((n = ::read(m_ends[index].master, buffer, sizeof buffer)) > 0)
        got.append(buffer, n);
    if (got.isEmpty())
        return;
    m_heard.append({index - 1, m_clock.elapsed(), got});
    // The program's packets reach every card; a card's answer the program.
    for (int other = 0; other < m_ends.size(); ++other) {
        if (other == index || (index > 0 && other > 0))
            continue;
        qsizetype done = 0;
        int tries = 0;
        while (done < got.size() && tries < 2000) {
            const ssize_t w = ::write(m_ends[other].master, got.constData() + done, size_t(got.size() - done));
            if (w > 0) {
                done += w;
            } else {
                ++tries;
                ::usleep(1000);
            }
        }
    }
}

QList<QByteArray> splitRs485Packets(const QByteArray& stream)
{
    QList<QByteArray> out;
    qsizetype at = 0;
    while (at + 4 <= stream.size() && quint8(stream[at]) == 0xFE) {
        const qsizetype size = ((quint8(stream[at + 2]) << 8) | quint8(stream[at + 3])) + 2;
        if (at + size > stream.size())
            break;
        out.append(stream.mid(at, size));
        at += size;
    }
    return out;
}

QByteArray rs485Closing(const QByteArray& packet)
{
    quint16 crc = 0xFFFF;
    quint8 x = 0;
    for (qsizetype i = 1; i < packet.size(); ++i) {
        crc ^= quint8(packet[i]);
        x ^= quint8(packet[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    const quint8 lo = quint8(crc & 0xFF);
    const quint8 hi = quint8(crc >> 8);
    x ^= lo;
    x ^= hi;
    QByteArray out;
    out.append(char(lo));
    out.append(char(hi));
    out.append(char(x));
    return out;
}

} // namespace ledsign::test
