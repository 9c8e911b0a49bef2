// Looks at the bytes a client sends before the HTTP server reads them, one
// request after another, so that an oversized request is refused before its
// body is read into memory: a request head over 64 KiB, a body of unknown
// length (chunked), or a Content-Length over the limit of the request's
// route. Keeps only the head being read; body bytes are counted, not kept.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

namespace ledsign::service {

inline constexpr qsizetype kRequestHeadMax = 64 * 1024;

class RequestGate {
public:
    // The largest body taken for a request of this method and target.
    using Limit = std::function<qint64(QByteArrayView method, QByteArrayView target)>;

    struct Refusal {
        int status = 0; // 400 or 413
        QString error;
    };

    explicit RequestGate(Limit limit);

    // Looks at the next bytes of the stream; false once it is refused
    // (refusal() says why). Nothing is looked at after a refusal.
    bool take(const char* data, qint64 size);
    bool refused() const { return m_state == State::Refused; }
    const Refusal& refusal() const { return m_refusal; }
    // The request whose head was just read asked to be told to go on
    // ("Expect: 100-continue"); reading it clears it.
    bool takeContinueWanted();

private:
    enum class State { Head, Body, Refused };

    bool headRead(qsizetype headLength);
    bool refuse(int status, const QString& error);

    Limit m_limit;
    State m_state = State::Head;
    QByteArray m_head;
    qint64 m_bodyLeft = 0;
    bool m_continueWanted = false;
    Refusal m_refusal;
};

} // namespace ledsign::service
