// What the canvas and the preview show for the materials whose content the
// card computes itself: date and time, count-up, count-down, real-time
// acquisition and internal-code text. Each text is short run markup: digits
// in the digit colour, unit words and separators in the character colour.
#pragma once

#include "model/tfodder.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <functional>

namespace ledsign {

struct DisplayTextContext {
    using Clock = std::function<QDateTime()>;
    using Lookup = std::function<QString(int category, const QString& key)>;

    Clock clock;        // now; the local clock when empty
    QLocale locale;     // weekday names and separators
    Lookup lookup;      // language texts; the current language table when empty
    QChar dateSeparator; // the locale's when null
    QChar timeSeparator; // the locale's when null

    QDateTime now() const;
    QString text(int category, const QString& key) const;
    QChar dateSep() const;
    QChar timeSep() const;
};

// Colour name, font name and point size, each followed by "^": the start of
// a run. A colour code outside 1..7 gives no colour name.
QString displayRunPrefix(int colorCode, int fontCode, int sizeCode);

// The time formatted with a pattern of YYYY, YY, MM, DD, ddd, HH, nn, ss and
// the locale's "/" and ":"; any other character is copied.
QString formatDisplayPattern(const QString& pattern, const QDateTime& time, const DisplayTextContext& ctx);

// The plain (uncoloured) text of a date/time material at `time`.
QString dateTimePlainText(int timeFormat, int displayFormat, bool twoDigitYear, const QDateTime& time,
                          const DisplayTextContext& ctx);

// The plain text of a count material: `countUp` counts from the target, a
// count-down towards it; a span that has not begun (or is over) is zero.
QString countPlainText(int timeFormat, bool accumulative, bool countUp, const QDateTime& target,
                       const QDateTime& now, const DisplayTextContext& ctx);

// Puts every unit word and every "-", "/" and ":" of the text in the
// character colour and the rest in the digit colour. Each occurrence is
// coloured once, also when several unit words are the same text.
QString colourDisplayText(const QString& plain, const QString& digitPrefix, const QString& charPrefix,
                          const DisplayTextContext& ctx);

// The display texts of the material kinds.
QString dateTimeDisplayText(const TFodder& m, const DisplayTextContext& ctx = {});
QString countDisplayText(const TFodder& m, const DisplayTextContext& ctx = {});
QString acquisitionDisplayText(const TFodder& m, const DisplayTextContext& ctx = {});
QString internalCodeDisplayText(const TFodder& m);
// A queue number as the card shows it in the material's font, size and the
// digit colour of its dual-colour pairing.
QString queueDisplayText(const TFodder& m, const QString& number);

// The display text by the material's kind; empty for kinds drawn otherwise.
QString materialDisplayText(const TFodder& m, const DisplayTextContext& ctx = {});

} // namespace ledsign
