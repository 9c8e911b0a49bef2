#include "content/colortable.h"

#include <array>

namespace ledsign {

namespace {

constexpr std::array<ColorEntry, kColorCount> kColors{{
    {1, "clRed", "Red", 0xFFFF0000u},
    {2, "clGreen", "Green", 0xFF008000u},
    {3, "clYellow", "Yellow", 0xFFFFFF00u},
    {4, "clBlue", "Blue", 0xFF0000FFu},
    {5, "clPurple", "Purple", 0xFF800080u},
    {6, "clAqua", "Aqua", 0xFF00FFFFu},
    {7, "clWhite", "White", 0xFFFFFFFFu},
}};

} // namespace

const ColorEntry* colorEntry(int code)
{
    if (code < 1 || code > kColorCount)
        return nullptr;
    return &kColors[static_cast<size_t>(code - 1)];
}

int colorCodeOfMarkupName(const QString& name)
{
    for (const ColorEntry& e : kColors) {
        if (name == QLatin1String(e.markupName))
            return e.code;
    }
    return 0;
}

int colorCodeOfProgramName(const QString& name)
{
    for (const ColorEntry& e : kColors) {
        if (name == QLatin1String(e.programName))
            return e.code;
    }
    return 0;
}

int colorCodeOfScreenColor(const QColor& color)
{
    if (!color.isValid())
        return 0;
    const QRgb rgb = color.rgb() & 0x00FFFFFFu;
    for (const ColorEntry& e : kColors) {
        if ((e.rgb & 0x00FFFFFFu) == rgb)
            return e.code;
    }
    return 0;
}

QString markupColorName(int code)
{
    const ColorEntry* e = colorEntry(code);
    return e ? QString::fromLatin1(e->markupName) : QString();
}

QString programColorName(int code)
{
    const ColorEntry* e = colorEntry(code);
    return e ? QString::fromLatin1(e->programName) : QString();
}

QColor screenColor(int code, const QColor& fallback)
{
    const ColorEntry* e = colorEntry(code);
    return e ? QColor::fromRgb(e->rgb) : fallback;
}

QRgb argbColor(int code)
{
    const ColorEntry* e = colorEntry(code);
    return e ? e->rgb : 0u;
}

} // namespace ledsign
