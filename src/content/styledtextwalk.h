// The character walk shared by the markup writers: the editor's text as one
// cell per character with its look, paragraph alignment and visual line.
// Block breaks and line breaks inside a paragraph are "\r\n" cells that take
// the look of the character before them, so that a line break ends its line's
// last run; an empty line has only its break, with the line's own look.
#pragma once

#include "content/richtextdocument.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ledsign {

struct StyledCell {
    QString text; // one character (a surrogate pair stays together) or "\r\n"
    TextAttributes attributes;
    ParagraphAlignment alignment = ParagraphAlignment::Left;
    int line = 0; // 0-based visual line
};

QList<StyledCell> styledCells(const RichTextDocument& document);

// Removes cells made only of characters with codes up to 32 from the end,
// or from the start.
void trimTrailingBlanks(QList<StyledCell>& cells);
void trimLeadingBlanks(QList<StyledCell>& cells);

// The colour name of every cell: the table name of its colour; a colour
// outside the table keeps the name of the cell before it, and the first cell
// takes the name of red, the editors' default colour.
QStringList nameColors(const QList<StyledCell>& cells, QString (*nameOfCode)(int));

} // namespace ledsign
