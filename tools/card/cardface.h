// What the card shows for the materials whose content it computes itself,
// read from the material's block: its clock in the chosen format and
// colours, count-up and count-down from their targets, the acquired value
// with its unit, the queue number, the internal-code text and the texts of
// a text program.
#pragma once

#include "cardglyphs.h"

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

namespace ledsign::card {

// Values the card gets from outside at run time (switches of ledsign-card).
struct LiveInputs {
    QString acquiredValue = QStringLiteral("0");
    QString queueNumber = QStringLiteral("0001");
};

struct TimeBlock {
    int timeFormat = 1;
    int displayFormat = 1;
    bool lead = false;
    int diffHours = 0;
    int diffMinutes = 0;
    int digitColor = 1;
    int charColor = 1;
    int fontCode = 1;
    int sizeCode = 1;
    bool twoDigitYear = false;
};
bool readTimeBlock(const QByteArray& content, TimeBlock& out);
// The clock's lines at the card's time `now` (its time difference applied).
QList<TextRun> clockRuns(const TimeBlock& block, const QDateTime& now);

struct CountBlock {
    int timeFormat = 1;
    int displayFormat = 1;
    bool accumulative = false;
    int digitColor = 1;
    int charColor = 1;
    int fontCode = 1;
    int sizeCode = 1;
    QDateTime target;
};
bool readCountBlock(const QByteArray& content, CountBlock& out);
// `up`: time since the target (0 before it); otherwise time left to it.
QList<TextRun> countRuns(const CountBlock& block, bool up, const QDateTime& now);

struct AcquisitionBlock {
    int dataType = 1;
    int registerByte = 0;
    int refreshSeconds = 0;
    Align align = Align::Left;
    int leftShift = 0;
    int rightShift = 0;
    int color = 1;
    int fontCode = 1;
    int sizeCode = 1;
    QString unit;
};
bool readAcquisitionBlock(const QByteArray& content, AcquisitionBlock& out);
// The value as the data type shows it (integers whole, floats with one or
// two decimals), then the unit.
QString acquisitionText(const AcquisitionBlock& block, const QString& value);

struct QueueBlock {
    int window = 1;
    int fontCode = 1;
    int sizeCode = 1;
    int flashes = 8;
    int pairing = 22;
};
bool readQueueBlock(const QByteArray& content, QueueBlock& out);
// The colours of a queue text by the dual-colour pairing code: digits and
// other characters, or lines (first, last, alternating), or all one colour.
QList<TextRun> queueRuns(const QueueBlock& block, const QString& text);

struct InternalCodeBlock {
    int width = 0;
    int height = 0;
    int color = 1;
    int fontCode = 1;
    int sizeCode = 1;
    QString text;
};
// `content` is the block head of the first slice followed by the text of
// every slice (GBK).
bool readInternalCodeBlock(const QByteArray& content, InternalCodeBlock& out);

// The runs of a text program's card text: per run "#^" attribute "#^"
// colour "#^" font "#^" size "#~" text, runs joined by ";".
QList<TextRun> cardTextRuns(const QString& cardText);

// Pages of region size for texts that fill the region line by line, turned
// as `rotateMode` says (RotateMode).
QList<QImage> textPages(const QList<TextRun>& runs, const QSize& size, int planes, int rotateMode = 0);

} // namespace ledsign::card
