// The trace of a send: every block of bytes sent to and received from the
// card, with its time, one line each, so that "ledsign-cli decode" can read
// the exchange back frame by frame. Lines:
//   # ledsign-cli trace
//   2026-12-09T15:40:01.123 sent serial FE5C4B89...
//   2026-12-09T15:40:01.240 received tcp FE5C4B89...
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>

namespace ledsign::cli {

inline constexpr const char* kTraceHeading = "# ledsign-cli trace";

struct TraceRecord {
    QDateTime time;
    bool sent = false;        // false: received
    QString channel;          // "serial" or "tcp"
    QByteArray bytes;
};

class TraceWriter {
public:
    // Opens the file afresh and writes the heading. False with `error`.
    bool open(const QString& path, QString& error);
    bool isOpen() const { return m_file.isOpen(); }
    void record(bool sent, const QString& channel, const QByteArray& bytes);
    // False when a line could not be written.
    bool close();

private:
    QFile m_file;
    bool m_failed = false;
};

// True when the bytes are a trace (they begin with the heading).
bool isTrace(const QByteArray& bytes);

// The records of a trace; a line that is not a record is skipped and
// counted in `badLines`.
QList<TraceRecord> readTrace(const QByteArray& bytes, int& badLines);

} // namespace ledsign::cli
