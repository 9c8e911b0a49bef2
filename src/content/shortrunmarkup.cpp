#include "content/shortrunmarkup.h"

#include "content/colortable.h"
#include "content/fonttable.h"
#include "content/fontsizetable.h"
#include "content/markupsplit.h"

namespace ledsign {

namespace {

const QString kRunSeparator = QStringLiteral("~*");
constexpr QChar kFieldDelimiter = QLatin1Char('^');
// Spaces would end an item of the delimited split; they travel as "*?".
const QString kSpaceEscape = QStringLiteral("*?");
constexpr int kFieldCount = 4;
constexpr int kDefaultPointSize = 10;
constexpr int kFormatterPointSize = 12;

bool needsQuoting(const QString& text)
{
    if (text.startsWith(QLatin1Char('"')))
        return true;
    for (QChar c : text) {
        if (c == kFieldDelimiter || c.unicode() < 32)
            return true;
    }
    return false;
}

} // namespace

QList<ShortRun> parseShortRuns(const QString& markup)
{
    QList<ShortRun> runs;
    // Runs are cut before spaces are escaped, so that a "~" before a space in
    // the text cannot form a run separator with the escape.
    for (QString runText : separatorSplit(markup, kRunSeparator)) {
        runText.replace(QLatin1Char(' '), kSpaceEscape);
        const QStringList items = delimitedSplit(runText, kFieldDelimiter);
        if (items.size() < kFieldCount)
            continue;
        ShortRun run;
        run.color = screenColor(colorCodeOfMarkupName(items.at(0)), QColor(0, 0, 0));
        run.fontName = items.at(1);
        run.pointSize = markupInt(items.at(2), kDefaultPointSize);
        run.text = items.at(3);
        run.text.replace(kSpaceEscape, QStringLiteral(" "));
        run.length = int(run.text.size());
        runs.append(run);
    }
    return runs;
}

QString formatShortRun(const QString& colorName, const QString& fontName, int pointSize,
                       const QString& text)
{
    const QString field = needsQuoting(text) ? quoteForDelimitedSplit(text) : text;
    return colorName + kFieldDelimiter + fontName + kFieldDelimiter + QString::number(pointSize)
        + kFieldDelimiter + field;
}

QString shortRunText(int colorCode, int fontCode, int sizeCode, const QString& content)
{
    const QString colorName = colorEntry(colorCode) ? markupColorName(colorCode) : markupColorName(1);
    return formatShortRun(colorName, cardFontName(fontCode),
                          pointSizeOfSizeCode(sizeCode, kFormatterPointSize), content);
}

} // namespace ledsign
