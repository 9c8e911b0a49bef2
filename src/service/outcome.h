// How a request to the service ended, for any front end: done, or refused
// with a kind (bad input, no such thing, a conflict with a running send, the
// card or the disk not available) and a message for the caller. The HTTP API
// turns the kinds into status codes; other front ends log them.
#pragma once

#include <QString>

namespace ledsign {

enum class Refusal {
    None,
    BadInput,     // the request cannot be carried out as given
    NotFound,     // no such card, material, page or job
    Conflict,     // a send is already running for that card, or a name is ambiguous
    Unavailable,  // the card is off-line, or a file could not be written
};

struct Outcome {
    Refusal refusal = Refusal::None;
    QString message;

    explicit operator bool() const { return refusal == Refusal::None; }
    static Outcome done() { return {}; }
    static Outcome refuse(Refusal kind, const QString& text) { return {kind, text}; }
};

} // namespace ledsign
