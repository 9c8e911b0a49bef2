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

} // namespace ledsign
