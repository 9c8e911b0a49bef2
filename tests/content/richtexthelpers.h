// Builds and reads rich-text documents for the markup tests, straight through
// QTextCursor so that the tests do not lean on the code under test.
#pragma once

#include "content/qtrichtextdocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace ledsign::test {

inline TextAttributes look(const QColor& color, const char* font, int size, bool bold = false,
                           bool italic = false, bool underline = false, bool strikeOut = false)
{
    return TextAttributes{color, QString::fromUtf8(font), size, bold, italic, underline, strikeOut};
}

inline const QColor kRed(255, 0, 0);
inline const QColor kGreen(0, 128, 0);
inline const QColor kWhite(255, 255, 255);

// Appends text at the end; "\n" starts a new block.
inline void type(QTextDocument& doc, const QString& text, const TextAttributes& a)
{
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::End);
    const QTextCharFormat f = QtRichTextDocument::formatOf(a);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            c.insertBlock(c.blockFormat(), f);
        if (c.block().length() == 1)
            c.setBlockCharFormat(f);
        c.insertText(lines.at(i), f);
    }
}

inline void align(QTextDocument& doc, int block, Qt::Alignment a)
{
    QTextCursor c(doc.findBlockByNumber(block));
    QTextBlockFormat f;
    f.setAlignment(a);
    c.mergeBlockFormat(f);
}

// Every character with its look, and every empty block as one entry with the
// block's own look; each entry also carries its block's alignment.
struct CharLook {
    QString text;
    TextAttributes attributes;
    Qt::Alignment alignment;
    friend bool operator==(const CharLook&, const CharLook&) = default;
};

inline QList<CharLook> looksOf(const QTextDocument& doc)
{
    QtRichTextDocument reader(const_cast<QTextDocument*>(&doc));
    QList<CharLook> looks;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const Qt::Alignment a = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (b.length() == 1)
            looks.append({QStringLiteral("<empty>"), reader.attributesOf(b.charFormat()), a});
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            for (QChar ch : it.fragment().text())
                looks.append({QString(ch), reader.attributesOf(it.fragment().charFormat()), a});
        }
        looks.append({QStringLiteral("<break>"), {}, a});
    }
    return looks;
}

} // namespace ledsign::test
