#include "content/textprogrammarkup.h"

#include "content/colortable.h"
#include "content/fonttable.h"
#include "content/markupsplit.h"
#include "content/styledtextwalk.h"

namespace ledsign {

namespace {

constexpr QChar kRunDelimiter = QLatin1Char('>');
constexpr QChar kFieldDelimiter = QLatin1Char('^');
constexpr int kFieldCount = 4;

// Blanks would end an item of the delimited split; they are protected by
// these two-character escapes while the markup is cut.
const QString kSpaceEscape = QStringLiteral("※☆");
const QString kTabEscape = QStringLiteral("★◆");
const QString kCrEscape = QStringLiteral("★☆");

// Text as it may stand in the markup.
QString storedCharacter(const QString& c)
{
    if (c == QLatin1String(","))
        return QStringLiteral(".");
    if (c == QLatin1String(">"))
        return QStringLiteral(")");
    if (c == QLatin1String("^"))
        return QStringLiteral(" ");
    QString stored = c;
    for (QChar& ch : stored) {
        if (ch.unicode() < 32)
            ch = QLatin1Char(' ');
    }
    return stored;
}

} // namespace

QString writeTextProgramMarkup(const RichTextDocument& document)
{
    QList<StyledCell> cells = styledCells(document);
    trimTrailingBlanks(cells);
    trimLeadingBlanks(cells);
    const QStringList colorNames = nameColors(cells, programColorName);

    QStringList runs;
    QString colorName;
    QString fontName;
    int pointSize = 0;
    QString text;
    auto flush = [&] {
        if (text.isEmpty())
            return;
        // A text that starts with a quote would be read as a quoted item and
        // lose what follows the closing quote; quoting keeps it whole.
        const QString field = text.startsWith(QLatin1Char('"')) ? quoteForDelimitedSplit(text) : text;
        runs << QStringList{colorName, fontName, QString::number(pointSize), field}.join(kFieldDelimiter);
        text.clear();
    };
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const TextAttributes& a = cells.at(i).attributes;
        const QString font = a.fontName.isEmpty() ? defaultCardFontName() : a.fontName;
        if (i == 0 || colorNames.at(i) != colorName || font != fontName || a.pointSize != pointSize) {
            flush();
            colorName = colorNames.at(i);
            fontName = font;
            pointSize = a.pointSize;
        }
        text += storedCharacter(cells.at(i).text);
    }
    flush();
    return runs.join(kRunDelimiter);
}

MarkupLoadResult loadTextProgramMarkup(const QString& markup, RichTextDocument& document)
{
    MarkupLoadResult result;
    document.clear();

    QString escaped = markup;
    escaped.replace(QLatin1Char(' '), kSpaceEscape);
    escaped.replace(QLatin1Char('\t'), kTabEscape);
    escaped.replace(QLatin1Char('\r'), kCrEscape);
    escaped.replace(QLatin1Char(','), QStringLiteral("，"));

    TextAttributes current = document.insertionAttributes();
    for (const QString& runText : delimitedSplit(escaped, kRunDelimiter)) {
        const QStringList items = delimitedSplit(runText, kFieldDelimiter);
        if (items.size() < kFieldCount) {
            result.complete = false;
            break;
        }
        TextAttributes attributes = current;
        const int code = colorCodeOfProgramName(items.at(0));
        if (code != 0)
            attributes.color = screenColor(code);
        attributes.fontName = items.at(1);
        attributes.pointSize = markupInt(items.at(2), current.pointSize);

        QString text = items.at(3);
        text.replace(kSpaceEscape, QStringLiteral(" "));
        text.replace(kTabEscape, QStringLiteral("\t"));
        text.replace(kCrEscape, QStringLiteral("\r"));
        document.append(text, attributes);

        current = attributes;
        ++result.runsLoaded;
    }
    return result;
}

} // namespace ledsign
