// The stored card list: one line per card in the "CardsInfo" section of the
// settings file, keyed by the card's name, in the order of the card list.
// A line is "width,height,file,internalCode,ipAddress,macAddress,version,colour".
#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace ledsign {

class IniFile;

// One card of the stored list; the fields carry the card record's names.
struct CardListLine {
    QString name;
    int width = 256;
    int height = 128;
    QString programFile;   // full path inside the playbill folder, or empty
    QString internalCode;
    QString ipAddress;
    QString macAddress;
    int version = -1;      // -1: not reported
    int colorType = '8';   // '8' single, '9' dual, ':' tri-colour
    // The stored size was a number no card can have (see cardsize.h); the
    // defaults stand in for it. Empty when the size was usable.
    QString refusedSize;
    // The stored version item as read, when it was there but no whole
    // number (the version then counts as not reported).
    QString refusedVersion;
};

inline constexpr char kCardsInfoSection[] = "CardsInfo";

// Blanks inside a stored line are written as this pair so that the line
// never holds a blank; neither character can appear in a Windows file name.
inline constexpr char kBlankMark[] = "?*";

// Colour item of a line ("1", "2", "3") and the colorType it stands for.
int colorTypeFromDigit(const QString& digit);
QString colorDigit(int colorType);

// Parses one line; nothing when it has fewer than seven items.
// playbillFolder is the folder the file item is relative to.
std::optional<CardListLine> parseCardListLine(const QString& name, const QString& value,
                                              const QString& playbillFolder);
// The stored value of a line: exactly eight items.
QString formatCardListLine(const CardListLine& line);

// Every usable line of the section in file order. A name that appears twice
// keeps its first line, as a look-up by name would.
QList<CardListLine> readCardList(const IniFile& ini, const QString& playbillFolder);
// Replaces the section with the given cards, in order.
void writeCardList(IniFile& ini, const QList<CardListLine>& cards);

} // namespace ledsign
