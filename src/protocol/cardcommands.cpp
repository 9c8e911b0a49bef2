#include "protocol/cardcommands.h"

#include "protocol/conversions.h"
#include "protocol/frame.h"
#include "protocol/rs485packet.h"

namespace ledsign::commands {

namespace {

QByteArray twoDigits(int v) { return QByteArray::number(v).rightJustified(2, '0'); }

// "1#" YYYY MM DD WW HH NN SS "#"
QByteArray timeText(const QDateTime& now)
{
    const QDate d = now.date();
    const QTime t = now.time();
    QByteArray text = "1#";
    text += QByteArray::number(d.year()).rightJustified(4, '0');
    text += twoDigits(d.month());
    text += twoDigits(d.day());
    text += twoDigits(d.dayOfWeek() % 7); // Qt counts Monday 1 .. Sunday 7
    text += twoDigits(t.hour());
    text += twoDigits(t.minute());
    text += twoDigits(t.second());
    text += '#';
    return text;
}

constexpr int kCalibrationText = 19;
constexpr int kPollText = 4;

bool digits(const QByteArray& text, int at, int count, int& value)
{
    bool ok = false;
    const QByteArray part = text.mid(at, count);
    for (char c : part) {
        if (c < '0' || c > '9')
            return false;
    }
    value = part.toInt(&ok);
    return ok && part.size() == count;
}

} // namespace

QByteArray playControl(bool stop, QString& frameSerial)
{
    return frame::build(stop ? frame::cmd::kStopPlay : frame::cmd::kStartPlay, {}, frameSerial);
}

QByteArray timeCalibration(const QDateTime& now, QString& frameSerial)
{
    return frame::build(frame::cmd::kTime, timeText(now), frameSerial);
}

QByteArray timeAndPollTime(const QDateTime& now, int pollTime, QString& frameSerial)
{
    const int poll = qBound(kPollTimeMin, pollTime, kPollTimeMax);
    QByteArray text = timeText(now);
    text += QByteArray::number(poll).rightJustified(3, '0');
    text += '#';
    return frame::build(frame::cmd::kTime, text, frameSerial);
}

QByteArray readParameters(QString& frameSerial)
{
    return frame::build(frame::cmd::kReadParameters, {}, frameSerial);
}

QByteArray writeParameters(const QByteArray& block, QString& frameSerial)
{
    if (block.size() != kParameterBlockSize)
        return {};
    QByteArray data = block;
    data[kInterfaceFlagOffset] = char(kInterfaceFlagFrame);
    return frame::build(frame::cmd::kWriteParameters, data, frameSerial);
}

QByteArray in485Packet(const QByteArray& frame, const QString& internalCode)
{
    convert::InternalCode address {};
    if (!convert::internalCodeToBytes(internalCode, address))
        return {};
    if (frame.isEmpty() || frame.size() > rs485::kMaxPayload)
        return {};
    return rs485::buildPacket(address, 1, 1, frame);
}

bool readTimeFrame(const QByteArray& bytes, TimeFrame& out)
{
    if (!frame::isWellFormed(bytes) || frame::command(bytes) != frame::cmd::kTime)
        return false;
    const QByteArray text = frame::data(bytes);
    if (text.size() != kCalibrationText && text.size() != kCalibrationText + kPollText)
        return false;
    if (!text.startsWith("1#") || text[kCalibrationText - 1] != '#')
        return false;
    int year, month, day, week, hour, minute, second;
    if (!digits(text, 2, 4, year) || !digits(text, 6, 2, month) || !digits(text, 8, 2, day)
        || !digits(text, 10, 2, week) || !digits(text, 12, 2, hour)
        || !digits(text, 14, 2, minute) || !digits(text, 16, 2, second))
        return false;
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid() || week > 6)
        return false;
    out.time = QDateTime(date, time);
    out.weekDay = week;
    out.pollTime = -1;
    if (text.size() == kCalibrationText + kPollText) {
        int poll;
        if (!digits(text, kCalibrationText, 3, poll) || text.back() != '#')
            return false;
        out.pollTime = poll;
    }
    return true;
}

} // namespace ledsign::commands
