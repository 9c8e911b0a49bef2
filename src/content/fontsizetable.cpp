#include "content/fontsizetable.h"

#include "content/markupsplit.h"

#include <array>

namespace ledsign {

namespace {

struct SizeEntry {
    const char* glyph;
    int pointSize; // drawn on screen
    int listSize;  // number of the list entry and of the card text coder
};

constexpr std::array<SizeEntry, kSizeCodeCount> kSizes{{
    {"12*12", 9, 9},
    {"16*16", 12, 12},
    {"24*24", 18, 18},
    {"32*32", 23, 24},
    {"48*48", 36, 36},
    {"64*64", 48, 48},
    {"80*80", 60, 60},
    {"96*96", 72, 72},
}};

constexpr int kSmallestListSize = 9;
constexpr int kLargestListSize = 72;
constexpr int kFallbackListSize = 9;

const SizeEntry* entry(int sizeCode)
{
    if (sizeCode < 0 || sizeCode >= kSizeCodeCount)
        return nullptr;
    return &kSizes[static_cast<size_t>(sizeCode)];
}

int sizeCodeOfListSize(int listSize)
{
    for (int code = 0; code < kSizeCodeCount; ++code) {
        if (kSizes[static_cast<size_t>(code)].listSize == listSize)
            return code;
    }
    return -1;
}

} // namespace

QString glyphName(int sizeCode)
{
    const SizeEntry* e = entry(sizeCode);
    return e ? QString::fromLatin1(e->glyph) : QString();
}

int sizeCodeOfGlyphName(const QString& name, int current)
{
    for (int code = 0; code < kSizeCodeCount; ++code) {
        if (name == QLatin1String(kSizes[static_cast<size_t>(code)].glyph))
            return code;
    }
    return current;
}

int pointSizeOfSizeCode(int sizeCode, int defaultPointSize)
{
    const SizeEntry* e = entry(sizeCode);
    return e ? e->pointSize : defaultPointSize;
}

QString fontSizeListEntry(int sizeCode)
{
    const SizeEntry* e = entry(sizeCode);
    if (!e)
        return {};
    return QStringLiteral("%1[%2]").arg(e->listSize).arg(QLatin1String(e->glyph));
}

int sizeCodeOfPointText(const QString& pointText)
{
    for (int code = 0; code < kSizeCodeCount; ++code) {
        if (pointText == QString::number(kSizes[static_cast<size_t>(code)].listSize))
            return code;
    }
    return 1;
}

QString glyphNameList(int n)
{
    n = qBound(0, n, kSizeCodeCount);
    QStringList names;
    for (int code = 0; code < n; ++code)
        names << glyphName(code);
    return names.join(QLatin1Char(';'));
}

QStringList fontSizeListItems()
{
    QStringList items;
    for (int size = kSmallestListSize; size <= kLargestListSize; ++size)
        items << fontSizeDisplayText(size);
    return items;
}

QString fontSizeDisplayText(int pointSize)
{
    const int code = sizeCodeOfListSize(pointSize);
    if (code >= 0)
        return fontSizeListEntry(code);
    if (pointSize == 0)
        return QString::number(kFallbackListSize);
    return QString::number(pointSize);
}

int pointSizeFromListText(const QString& text)
{
    const qsizetype bracket = text.indexOf(QLatin1Char('['));
    const QString number = bracket >= 0 ? text.left(bracket) : text;
    return markupInt(number, kFallbackListSize);
}

} // namespace ledsign
