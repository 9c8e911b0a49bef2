#include "model/codedvalues.h"

#include <array>

namespace ledsign {

namespace {

struct Rgb {
    int r, g, b;
};

constexpr std::array<Rgb, kColorCodeCount> kScreenColors{{
    {255, 0, 0},     // red
    {0, 128, 0},     // green
    {255, 255, 0},   // yellow
    {0, 0, 255},     // blue
    {128, 0, 128},   // purple
    {0, 255, 255},   // aqua
    {255, 255, 255}, // white
}};

constexpr std::array<const char*, kSizeCodeCount> kSizeNames{
    "12*12", "16*16", "24*24", "32*32", "48*48", "64*64", "80*80", "96*96"};
constexpr std::array<int, kSizeCodeCount> kPointSizes{9, 12, 18, 23, 36, 48, 60, 72};

// Count formats: list index 3 ("mmss") is stored as 8.
constexpr int kCountMmssIndex = 3;
constexpr int kCountMmssStored = 8;

QString numberRange(int from, int to, int step)
{
    QStringList items;
    for (int v = from; v <= to; v += step)
        items << QString::number(v);
    return items.join(QLatin1Char(';'));
}

} // namespace

QColor charScreenColor(int colorCode, const QColor& fallback)
{
    if (colorCode < 1 || colorCode > kColorCodeCount)
        return fallback;
    const Rgb& c = kScreenColors[colorCode - 1];
    return QColor(c.r, c.g, c.b);
}

QStringList fontSizeNames()
{
    QStringList names;
    for (const char* n : kSizeNames)
        names << QString::fromLatin1(n);
    return names;
}

QString sizeNameOf(int sizeCode)
{
    if (sizeCode < 0 || sizeCode >= kSizeCodeCount)
        return {};
    return QString::fromLatin1(kSizeNames[sizeCode]);
}

int pointSize(int sizeCode, int fallback)
{
    if (sizeCode < 0 || sizeCode >= kSizeCodeCount)
        return fallback;
    return kPointSizes[sizeCode];
}

int fontCodeFromIndex(int index)
{
    if (index == 2)
        return 3;
    if (index == 3)
        return 2;
    return index;
}

int fontIndexFromCode(int code)
{
    return fontCodeFromIndex(code); // the exchange is its own inverse
}

int countTimeFormatFromIndex(int index)
{
    if (index >= 0 && index < kCountMmssIndex)
        return index + 1;
    if (index == kCountMmssIndex)
        return kCountMmssStored;
    return index;
}

int countTimeFormatIndex(int stored)
{
    if (stored < 4)
        return stored - 1;
    if (stored == kCountMmssStored)
        return kCountMmssIndex;
    return stored;
}

void setDisplayMode(TFodder& m, int index) { m.displayMode = index; }
int getDisplayMode(const TFodder& m) { return m.displayMode; }
void setDigitColor(TFodder& m, int index) { m.digitColor = index + 1; }
int getDigitColor(const TFodder& m) { return m.digitColor - 1; }
void setCharColor(TFodder& m, int index) { m.charColor = index + 1; }
int getCharColor(const TFodder& m) { return m.charColor - 1; }
void setFontIndex(TFodder& m, int index) { m.fontCode = fontCodeFromIndex(index); }
int getFontIndex(const TFodder& m) { return fontIndexFromCode(m.fontCode); }

void setSizeName(TFodder& m, const QString& name)
{
    for (int i = 0; i < kSizeCodeCount; ++i) {
        if (name == QLatin1String(kSizeNames[i])) {
            m.sizeCode = i;
            return;
        }
    }
}

QString getSizeName(const TFodder& m) { return sizeNameOf(m.sizeCode); }
void setYearDigits(TFodder& m, int index) { m.textParam2 = index; }
int getYearDigits(const TFodder& m) { return m.textParam2; }
void setAlign(TFodder& m, int index) { m.textParam2 = index; }
int getAlign(const TFodder& m) { return m.textParam2; }
void setTimeFormat(TFodder& m, int index) { m.timeFormat = index + 1; }
int getTimeFormat(const TFodder& m) { return m.timeFormat - 1; }
void setCountTimeFormat(TFodder& m, int index) { m.timeFormat = countTimeFormatFromIndex(index); }
int getCountTimeFormat(const TFodder& m) { return countTimeFormatIndex(m.timeFormat); }
void setDisplayFormat(TFodder& m, int index) { m.displayFormat = index + 1; }
int getDisplayFormat(const TFodder& m) { return m.displayFormat - 1; }
void setTimeDiffSign(TFodder& m, int index) { m.timeDiffSign = index; }
int getTimeDiffSign(const TFodder& m) { return m.timeDiffSign; }
void setRotateMode(TFodder& m, int index) { m.rotateMode = index; }
int getRotateMode(const TFodder& m) { return m.rotateMode; }
void setColorMatch(TFodder& m, int index) { m.charColor = index + 1; }
int getColorMatch(const TFodder& m) { return m.charColor - 1; }

QString fontSizeListFor(TFodder& m, int n)
{
    m.fontSizeList = fontSizeNames().mid(0, qBound(0, n, kSizeCodeCount)).join(QLatin1Char(';'));
    return m.fontSizeList;
}

QString typeNumberChoices(const TFodder& m)
{
    switch (m.displayFormat - 1) {
    case 1: {
        QStringList ranges;
        for (int from = 0; from < 80; from += 8)
            ranges << QStringLiteral("%1-%2").arg(from).arg(from + 7);
        return ranges.join(QLatin1Char(';'));
    }
    case 2:
        return numberRange(8384, 8445, 1);
    case 3:
        return numberRange(16576, 16636, 2);
    case 4:
        return numberRange(20480, 20542, 2);
    case 5:
        return numberRange(20544, 20606, 2);
    default: // external data, and any unknown data type
        return numberRange(1, 70, 1);
    }
}

} // namespace ledsign
