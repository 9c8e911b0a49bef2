// The short command frames the program sends a card: play control, the two
// time frames, the screen-parameter read and write, and the 485 wrapping that
// carries any of them on an RS-485 line. The time frames can be read back, as
// a card does.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace ledsign::commands {

// The screen parameter block carried by the write frame and the long replies.
inline constexpr int kParameterBlockSize = 17;
inline constexpr int kInterfaceFlagOffset = 11;    // inside the block
inline constexpr quint8 kInterfaceFlagFrame = 0x22; // written inside a frame

inline constexpr int kPollTimeMin = 30;
inline constexpr int kPollTimeMax = 999;

// Sizes of the frames, for the callers that check what they send.
inline constexpr int kTimeCalibrationSize = 38;
inline constexpr int kTimeAndPollSize = 42;
inline constexpr int kWriteParametersSize = 36;

// Start (0x51) or stop (0x52) play: 19 bytes, no data.
QByteArray playControl(bool stop, QString& frameSerial);

// Time calibration (0x62): "1#" YYYYMMDDWWHHNNSS "#", the week day 0 for
// Sunday, all of the PC time given.
QByteArray timeCalibration(const QDateTime& now, QString& frameSerial);

// Current time and poll time (0x62): as the calibration, followed by the poll
// time in three digits and "#". The poll time is kept within 30..999 seconds
// so that the frame always has its 42 bytes.
QByteArray timeAndPollTime(const QDateTime& now, int pollTime, QString& frameSerial);

// Parameter read (0xF2): 19 bytes, no data.
QByteArray readParameters(QString& frameSerial);

// Parameter write (0xF1): the 17-byte block with its interface flag set to
// 0x22 (36 bytes). Empty when the block does not have 17 bytes.
QByteArray writeParameters(const QByteArray& block, QString& frameSerial);

// A short command in the single 485 packet that carries it on an RS-485 line,
// addressed by the card's internal-code text. Empty when the code text is not
// eight numbers joined by "_" (the packet would reach no card or the wrong
// one) or the frame does not fit one packet.
QByteArray in485Packet(const QByteArray& frame, const QString& internalCode);

// What a time frame tells the card.
struct TimeFrame {
    QDateTime time;
    int weekDay = 0;      // 0 = Sunday
    int pollTime = -1;    // -1 in a calibration frame
};

// Reads a 0x62 frame of either size; false for anything else.
bool readTimeFrame(const QByteArray& frame, TimeFrame& out);

} // namespace ledsign::commands
