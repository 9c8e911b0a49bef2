// Which font draws a card font name. Cards were composed against a known set
// of fonts, so every name maps to a packaged font with the same advance widths
// where one exists, and the choice never depends on what else the machine has
// installed: the packaged font files are registered with the application by
// path, and the name itself is never handed to fontconfig to match.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace ledsign {

struct FontStandIn {
    QString family;      // the packaged family that draws the name
    bool known = false;  // false: the name has no stand-in and the fallback draws it
};

// The stand-in of a card font name (trimmed, letter case ignored). An empty
// name is the default card font "宋体".
FontStandIn fontStandIn(const QString& cardFontName);

// The families a QFont drawing the name is given: its stand-in, then for a
// Latin stand-in the packaged font that draws the Chinese characters it lacks.
// The first use registers the packaged font files (see registerPackagedFonts).
QStringList cardFontFamilies(const QString& cardFontName);

// The card font names the editors offer: the Chinese card fonts in their code
// order, then the Latin names with a stand-in.
QStringList knownCardFontNames();

// The family every name without a stand-in is drawn with.
QString fallbackFontFamily();

// Registers the packaged font files with the application, once, on the
// application's thread (needs a QGuiApplication). Returns the font files that
// are missing on this machine; empty when all are there.
QStringList registerPackagedFonts();

// Tells the names of `cardFontNames` that have no stand-in, as drawing them would.
void tellFontsWithoutStandIn(const QStringList& cardFontNames);

// Tells, once per name, that a card font name without a stand-in was drawn,
// so that the editor can say which font it used instead.
class UnknownFontNotice : public QObject {
    Q_OBJECT
public:
    static UnknownFontNotice& instance();
signals:
    void unknownFontDrawn(const QString& cardFontName, const QString& family);
};

} // namespace ledsign
