#include "tracefile.h"

#include <QList>

namespace ledsign::cli {

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz");

} // namespace

bool TraceWriter::open(const QString& path, QString& error)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        error = QStringLiteral("cannot write the trace %1: %2").arg(path, m_file.errorString());
        return false;
    }
    m_failed = m_file.write(QByteArray(kTraceHeading) + '\n') < 0;
    return true;
}

void TraceWriter::record(bool sent, const QString& channel, const QByteArray& bytes)
{
    if (!m_file.isOpen() || bytes.isEmpty())
        return;
    const QByteArray line = QDateTime::currentDateTime().toString(kTimeFormat).toLatin1()
        + (sent ? " sent " : " received ") + channel.toLatin1() + ' ' + bytes.toHex().toUpper() + '\n';
    // Flushed at once: a trace is most wanted when the send goes wrong.
    if (m_file.write(line) != line.size() || !m_file.flush())
        m_failed = true;
}

bool TraceWriter::close()
{
    if (m_file.isOpen())
        m_file.close();
    return !m_failed;
}

bool isTrace(const QByteArray& bytes)
{
    return bytes.startsWith(kTraceHeading);
}

QList<TraceRecord> readTrace(const QByteArray& bytes, int& badLines)
{
    QList<TraceRecord> out;
    badLines = 0;
    for (QByteArray line : bytes.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.split(' ');
        TraceRecord r;
        bool ok = fields.size() == 4;
        if (ok) {
            r.time = QDateTime::fromString(QString::fromLatin1(fields[0]), kTimeFormat);
            r.sent = fields[1] == "sent";
            r.channel = QString::fromLatin1(fields[2]);
            const QByteArray hex = fields[3];
            r.bytes = QByteArray::fromHex(hex);
            ok = r.time.isValid() && (r.sent || fields[1] == "received") && hex.size() % 2 == 0
                && r.bytes.size() * 2 == hex.size() && !r.bytes.isEmpty();
        }
        if (ok)
            out.append(r);
        else
            ++badLines;
    }
    return out;
}

} // namespace ledsign::cli
