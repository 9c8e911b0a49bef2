#include "content/texteditrules.h"

#include "model/codec.h"

#include <algorithm>

namespace ledsign {

QString internalCodePasteText(const QString& clipboard)
{
    QString text = clipboard;
    text.replace(QLatin1String("\r\n"), QLatin1String("  "));
    text.replace(QLatin1Char('\r'), QLatin1String("  "));
    text.replace(QLatin1Char('\n'), QLatin1String("  "));
    text.replace(QLatin1Char('\t'), QLatin1String("  "));
    return text;
}

QString internalCodeContent(const QStringList& lines)
{
    return codec::cutToBytes(lines.join(QString()), kInternalCodeMaxBytes);
}

LineStartSpace lineStartSpaceAction(bool atWrappedLineStart, QChar previous)
{
    if (!atWrappedLineStart)
        return LineStartSpace::Plain;
    if (previous == QLatin1Char(' ') || previous == QChar(0x3000) || previous == QLatin1Char('\t'))
        return LineStartSpace::ReplaceThenSpace;
    return LineStartSpace::BreakThenSpace;
}

int integerOrZero(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

int textAreaWidth(int regionWidth)
{
    return std::max(0, regionWidth) + 20;
}

int textEditorWindowWidth(int regionWidth, int standardWidth)
{
    const int canvas = textAreaWidth(regionWidth) - 20;
    return canvas + 3 >= standardWidth ? canvas + 13 : standardWidth;
}

} // namespace ledsign
