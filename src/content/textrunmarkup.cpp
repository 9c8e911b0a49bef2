#include "content/textrunmarkup.h"

#include "content/colortable.h"
#include "content/fonttable.h"
#include "content/markupsplit.h"
#include "content/styledtextwalk.h"

namespace ledsign {

namespace {

const QString kRunSeparator = QStringLiteral("~*");
const QString kFieldSeparator = QStringLiteral("^");
const QString kLineBreak = QStringLiteral("\r\n");

enum Field {
    kColorField = 0,
    kFontField = 1,
    kSizeField = 2,
    kBoldField = 3,
    kItalicField = 4,
    kUnderlineField = 5,
    kStrikeOutField = 6,
    kAlignmentField = 7,
    kLineField = 8,
    kTextField = 9,
};

constexpr int kDefaultPointSize = 10;

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

ParagraphAlignment alignmentOfValue(int value)
{
    switch (value) {
    case 1:
        return ParagraphAlignment::Right;
    case 2:
        return ParagraphAlignment::Centre;
    default:
        return ParagraphAlignment::Left;
    }
}

// The attributes that split runs, with the colour already named.
struct RunKey {
    QString colorName;
    QString fontName;
    int pointSize;
    bool bold, italic, underline, strikeOut;
    int alignment;
    int line;
    friend bool operator==(const RunKey&, const RunKey&) = default;
};

} // namespace

QList<TextRun> parseTextRuns(const QString& markup)
{
    QList<TextRun> runs;
    for (const QString& runText : separatorSplit(markup, kRunSeparator)) {
        const QStringList fields = separatorSplit(runText, kFieldSeparator);
        if (fields.size() < kTextRunFieldCount)
            continue;
        TextRun run;
        const int code = colorCodeOfMarkupName(fields.at(kColorField));
        run.color = screenColor(code, QColor(0, 0, 0));
        run.argb = argbColor(code);
        run.fontName = fields.at(kFontField);
        run.pointSize = markupInt(fields.at(kSizeField), kDefaultPointSize);
        run.bold = markupInt(fields.at(kBoldField), 0) != 0;
        run.italic = markupInt(fields.at(kItalicField), 0) != 0;
        run.underline = markupInt(fields.at(kUnderlineField), 0) != 0;
        run.strikeOut = markupInt(fields.at(kStrikeOutField), 0) != 0;
        run.alignment = markupInt(fields.at(kAlignmentField), 0);
        run.lineNumber = markupInt(fields.at(kLineField), 0);
        run.text = fields.at(kTextField);
        if (run.text == kLineBreak)
            run.text = QLatin1Char(' ') + kLineBreak;
        run.length = int(run.text.size());
        runs.append(run);
    }
    return runs;
}

QString writeTextRunMarkup(const RichTextDocument& document)
{
    QList<StyledCell> cells = styledCells(document);
    trimTrailingBlanks(cells);

    // "^" would cut the fields and "*?" is the space escape of the short run
    // markup: both are stored as a space. "~*" would cut the run, and all that
    // follows it would be lost, so its "*" is stored as a space as well.
    for (qsizetype i = 0; i < cells.size(); ++i) {
        StyledCell& cell = cells[i];
        if (cell.text == QLatin1String("^")) {
            cell.text = QStringLiteral(" ");
        } else if (cell.text == QLatin1String("*") && i + 1 < cells.size()
                   && cells.at(i + 1).text == QLatin1String("?")) {
            cell.text = QStringLiteral(" ");
            cells.removeAt(i + 1);
        }
    }
    for (qsizetype i = 1; i < cells.size(); ++i) {
        if (cells.at(i).text == QLatin1String("*") && cells.at(i - 1).text == QLatin1String("~"))
            cells[i].text = QStringLiteral(" ");
    }

    const QStringList colorNames = nameColors(cells, markupColorName);

    QStringList runs;
    RunKey current;
    QString text;
    auto flush = [&] {
        if (text.isEmpty())
            return;
        runs << QStringList{current.colorName,
                            current.fontName,
                            QString::number(current.pointSize),
                            flag(current.bold),
                            flag(current.italic),
                            flag(current.underline),
                            flag(current.strikeOut),
                            QString::number(current.alignment),
                            QString::number(current.line),
                            text}
                    .join(kFieldSeparator);
        text.clear();
    };
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const StyledCell& cell = cells.at(i);
        const TextAttributes& a = cell.attributes;
        const RunKey key{colorNames.at(i),
                         a.fontName.isEmpty() ? defaultCardFontName() : a.fontName,
                         a.pointSize,
                         a.bold,
                         a.italic,
                         a.underline,
                         a.strikeOut,
                         static_cast<int>(cell.alignment),
                         cell.line + 1};
        if (i == 0 || !(key == current)) {
            flush();
            current = key;
        }
        text += cell.text;
    }
    flush();
    return runs.join(kRunSeparator);
}

MarkupLoadResult loadTextRunMarkup(const QString& markup, RichTextDocument& document)
{
    MarkupLoadResult result;
    document.clear();
    TextAttributes current = document.insertionAttributes();
    for (const QString& runText : separatorSplit(markup, kRunSeparator)) {
        const QStringList fields = separatorSplit(runText, kFieldSeparator);
        if (fields.size() < kTextRunFieldCount) {
            result.complete = false;
            break;
        }
        bool sizeOk = false;
        bool alignmentOk = false;
        const int pointSize = markupInt(fields.at(kSizeField), 0, &sizeOk);
        const int alignmentValue = markupInt(fields.at(kAlignmentField), 0, &alignmentOk);
        if (!sizeOk || !alignmentOk) {
            result.complete = false;
            break;
        }
        TextAttributes attributes = current;
        const int code = colorCodeOfMarkupName(fields.at(kColorField));
        if (code != 0)
            attributes.color = screenColor(code);
        attributes.fontName = fields.at(kFontField);
        attributes.pointSize = pointSize;
        attributes.bold = fields.at(kBoldField) == QLatin1String("1");
        attributes.italic = fields.at(kItalicField) == QLatin1String("1");
        attributes.underline = fields.at(kUnderlineField) == QLatin1String("1");
        attributes.strikeOut = fields.at(kStrikeOutField) == QLatin1String("1");

        // The paragraph that receives the text, and every one the text opens,
        // take the run's alignment.
        const ParagraphAlignment alignment = alignmentOfValue(alignmentValue);
        const int firstBlock = qMax(0, document.blockCount() - 1);
        document.setAlignment(firstBlock, alignment);
        document.append(fields.at(kTextField), attributes);
        for (int b = firstBlock; b < document.blockCount(); ++b)
            document.setAlignment(b, alignment);

        current = attributes;
        ++result.runsLoaded;
    }
    return result;
}

} // namespace ledsign
