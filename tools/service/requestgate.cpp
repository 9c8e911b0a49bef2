#include "requestgate.h"

#include <QList>

namespace ledsign::service {

namespace {

const QByteArray kHeadEnd("\r\n\r\n");

} // namespace

RequestGate::RequestGate(Limit limit)
    : m_limit(std::move(limit))
{
}

bool RequestGate::takeContinueWanted()
{
    const bool wanted = m_continueWanted;
    m_continueWanted = false;
    return wanted;
}

bool RequestGate::refuse(int status, const QString& error)
{
    m_state = State::Refused;
    m_head.clear();
    m_refusal = {status, error};
    return false;
}

bool RequestGate::take(const char* data, qint64 size)
{
    qint64 at = 0;
    while (at < size) {
        switch (m_state) {
        case State::Refused:
            return false;
        case State::Body: {
            const qint64 n = std::min(m_bodyLeft, size - at);
            m_bodyLeft -= n;
            at += n;
            if (m_bodyLeft == 0)
                m_state = State::Head;
            break;
        }
        case State::Head: {
            // Blank lines between requests are allowed and skipped.
            if (m_head.isEmpty() && (data[at] == '\r' || data[at] == '\n')) {
                ++at;
                break;
            }
            const qsizetype before = m_head.size();
            const qint64 n = std::min<qint64>(size - at, kRequestHeadMax + 4 - before);
            m_head.append(data + at, n);
            // The end may straddle the bytes kept before and the new ones.
            const qsizetype end = m_head.indexOf(kHeadEnd, std::max<qsizetype>(0, before - 3));
            if (end < 0) {
                if (m_head.size() > kRequestHeadMax)
                    return refuse(400, QStringLiteral("the request head is over %1 KiB").arg(kRequestHeadMax / 1024));
                at += n;
                break;
            }
            const qsizetype headLength = end + kHeadEnd.size();
            at += headLength - before;
            if (!headRead(headLength))
                return false;
            break;
        }
        }
    }
    return m_state != State::Refused;
}

bool RequestGate::headRead(qsizetype headLength)
{
    const QByteArray head = m_head.left(headLength);
    m_head.clear();
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3)
        return refuse(400, QStringLiteral("the request line is not METHOD TARGET VERSION"));
    qint64 length = 0;
    bool haveLength = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "transfer-encoding")
            return refuse(400, QStringLiteral("request bodies of unknown length (chunked) are not taken: send Content-Length"));
        if (name == "expect" && value.toLower() == "100-continue")
            m_continueWanted = true;
        if (name != "content-length")
            continue;
        bool ok = value.size() <= 18 && !value.isEmpty();
        for (const char c : value)
            ok = ok && c >= '0' && c <= '9';
        const qint64 given = ok ? value.toLongLong(&ok) : -1;
        if (!ok || (haveLength && given != length))
            return refuse(400, QStringLiteral("the Content-Length is not one number"));
        length = given;
        haveLength = true;
    }
    const qint64 limit = m_limit ? m_limit(requestLine[0], requestLine[1]) : 0;
    if (length > limit) {
        m_continueWanted = false;
        return refuse(413, QStringLiteral("the request body is %1 bytes; at most %2 are taken here").arg(length).arg(limit));
    }
    m_bodyLeft = length;
    m_state = length > 0 ? State::Body : State::Head;
    return true;
}

} // namespace ledsign::service
