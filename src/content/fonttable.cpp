#include "content/fonttable.h"

#include <array>

namespace ledsign {

namespace {

// Code 1..5 -> name, used wherever a material's font code becomes a font.
constexpr std::array<const char*, 5> kCodeToName{
    "宋体", "楷体_GB2312", "黑体", "隶书", "行书",
};

// Name -> code as the card text coder knows them; its fifth font differs.
struct NamedCode {
    const char* name;
    int code;
};
constexpr std::array<NamedCode, 5> kNameToCode{{
    {"宋体", 1}, {"楷体_GB2312", 2}, {"黑体", 3}, {"隶书", 4}, {"华文行楷", 5},
}};

struct FontStandIn {
    const char* cardName;
    const char* family;
};
constexpr std::array<FontStandIn, 6> kStandIns{{
    {"宋体", "AR PL UMing CN"},
    {"黑体", "WenQuanYi Zen Hei"},
    {"楷体_GB2312", "AR PL UKai CN"},
    {"隶书", "AR PL UKai CN"},
    {"行书", "AR PL UKai CN"},
    {"华文行楷", "AR PL UKai CN"},
}};

} // namespace

QStringList textFontChoices()
{
    QStringList names;
    for (const NamedCode& f : kNameToCode)
        names << QString::fromUtf8(f.name);
    names << QStringLiteral("Arial");
    return names;
}

QString defaultCardFontName()
{
    return QString::fromUtf8(kCodeToName[0]);
}

QString cardFontName(int code)
{
    if (code < 1 || code > static_cast<int>(kCodeToName.size()))
        return defaultCardFontName();
    return QString::fromUtf8(kCodeToName[static_cast<size_t>(code - 1)]);
}

int cardFontCodeOfName(const QString& name)
{
    for (const NamedCode& n : kNameToCode) {
        if (name == QString::fromUtf8(n.name))
            return n.code;
    }
    return 1;
}

int fontCodeFromListIndex(int index)
{
    if (index == 2)
        return 3;
    if (index == 3)
        return 2;
    return index;
}

int fontListIndexFromCode(int code)
{
    return fontCodeFromListIndex(code);
}

QString installedFontFamily(const QString& fontName)
{
    for (const FontStandIn& s : kStandIns) {
        if (fontName == QString::fromUtf8(s.cardName))
            return QString::fromLatin1(s.family);
    }
    return fontName;
}

QStringList fontFamiliesFor(const QString& fontName)
{
    QStringList families{fontName};
    const QString installed = installedFontFamily(fontName);
    if (installed != fontName)
        families << installed;
    return families;
}

} // namespace ledsign
