#include "content/styledtextwalk.h"

#include "content/colortable.h"

namespace ledsign {

namespace {

const QString kLineBreak = QStringLiteral("\r\n");
constexpr int kRedCode = 1;

bool isBlankCell(const StyledCell& cell)
{
    for (QChar c : cell.text) {
        if (c.unicode() > 32)
            return false;
    }
    return true;
}

} // namespace

QList<StyledCell> styledCells(const RichTextDocument& document)
{
    QList<StyledCell> cells;
    const int blocks = document.blockCount();
    for (int b = 0; b < blocks; ++b) {
        const RichTextBlock block = document.block(b);
        const qsizetype firstCell = cells.size();
        for (const RichTextFragment& fragment : block.fragments) {
            const QString& text = fragment.text;
            for (qsizetype i = 0; i < text.size(); ++i) {
                StyledCell cell{QString(text.at(i)), fragment.attributes, block.alignment, fragment.line};
                if (text.at(i) == QLatin1Char('\n'))
                    cell.text = kLineBreak;
                else if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                    cell.text += text.at(++i);
                cells.append(cell);
            }
        }
        if (b + 1 < blocks) {
            if (cells.size() > firstCell) {
                StyledCell lineEnd = cells.last();
                lineEnd.text = kLineBreak;
                cells.append(lineEnd);
            } else {
                cells.append(StyledCell{kLineBreak, block.endAttributes, block.alignment, block.endLine});
            }
        }
    }
    return cells;
}

void trimTrailingBlanks(QList<StyledCell>& cells)
{
    while (!cells.isEmpty() && isBlankCell(cells.last()))
        cells.removeLast();
}

void trimLeadingBlanks(QList<StyledCell>& cells)
{
    qsizetype n = 0;
    while (n < cells.size() && isBlankCell(cells.at(n)))
        ++n;
    cells.remove(0, n);
}

QStringList nameColors(const QList<StyledCell>& cells, QString (*nameOfCode)(int))
{
    QStringList names;
    names.reserve(cells.size());
    QString previous = nameOfCode(kRedCode);
    for (const StyledCell& cell : cells) {
        const int code = colorCodeOfScreenColor(cell.attributes.color);
        if (code != 0)
            previous = nameOfCode(code);
        names << previous;
    }
    return names;
}

} // namespace ledsign
