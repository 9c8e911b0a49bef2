#include "content/qtrichtextdocument.h"

#include "content/fontresolver.h"
#include "content/fonttable.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

namespace ledsign {

namespace {

constexpr int kCardFontNameProperty = QTextFormat::UserProperty + 1;

constexpr int kFallbackPointSize = 12;
// Largest point size put into a format; larger values come only from damaged
// text and would make the layout draw absurd glyphs.
constexpr int kLargestPointSize = 1000;

// A forced line break inside a paragraph (Shift+Enter).
constexpr QChar kLineSeparator(0x2028);
// Stands for an embedded object such as an image; it carries no text.
constexpr QChar kObjectReplacement(0xFFFC);

ParagraphAlignment alignmentOf(Qt::Alignment a)
{
    const Qt::Alignment h = a & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignRight)
        return ParagraphAlignment::Right;
    if (h & Qt::AlignHCenter)
        return ParagraphAlignment::Centre;
    return ParagraphAlignment::Left;
}

Qt::Alignment qtAlignment(ParagraphAlignment a)
{
    switch (a) {
    case ParagraphAlignment::Right:
        return Qt::AlignRight;
    case ParagraphAlignment::Centre:
        return Qt::AlignHCenter;
    case ParagraphAlignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

int lineInLayout(const QTextBlock& block, int offset)
{
    const QTextLayout* layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return 0;
    const QTextLine line = layout->lineForTextPosition(offset);
    return line.isValid() ? line.lineNumber() : layout->lineCount() - 1;
}

} // namespace

QtRichTextDocument::QtRichTextDocument(QTextDocument* document)
    : document_(document)
{
    const QFont font = document_->defaultFont();
    defaults_.fontName = font.family();
    defaults_.pointSize = font.pointSize() > 0 ? font.pointSize() : kFallbackPointSize;
    defaults_.bold = font.bold();
    defaults_.italic = font.italic();
    defaults_.underline = font.underline();
    defaults_.strikeOut = font.strikeOut();
}

void QtRichTextDocument::setDefaultAttributes(const TextAttributes& attributes)
{
    defaults_ = attributes;
}

int QtRichTextDocument::blockCount() const
{
    return document_->blockCount();
}

void QtRichTextDocument::ensureLayout() const
{
    // The layout is lazy; asking for the size lays out the whole document.
    document_->documentLayout()->documentSize();
}

int QtRichTextDocument::firstLineOfBlock(int index) const
{
    int line = 0;
    QTextBlock b = document_->begin();
    for (int i = 0; i < index && b.isValid(); ++i, b = b.next()) {
        const QTextLayout* layout = b.layout();
        line += (layout && layout->lineCount() > 0) ? layout->lineCount() : 1;
    }
    return line;
}

RichTextBlock QtRichTextDocument::block(int index) const
{
    RichTextBlock result;
    const QTextBlock b = document_->findBlockByNumber(index);
    if (!b.isValid())
        return result;
    ensureLayout();
    const int firstLine = firstLineOfBlock(index);
    result.alignment = alignmentOf(b.blockFormat().alignment());

    for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const TextAttributes attributes = attributesOf(fragment.charFormat());
        const QString text = fragment.text();
        const int start = fragment.position() - b.position();
        for (qsizetype i = 0; i < text.size(); ++i) {
            QChar c = text.at(i);
            if (c == kObjectReplacement)
                continue;
            const int line = firstLine + lineInLayout(b, start + int(i));
            QString piece(c == kLineSeparator ? QChar(QLatin1Char('\n')) : c);
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                piece += text.at(i + 1);
                ++i;
            }
            if (!result.fragments.isEmpty() && result.fragments.last().line == line
                && result.fragments.last().attributes == attributes) {
                result.fragments.last().text += piece;
            } else {
                result.fragments.append(RichTextFragment{piece, attributes, line});
            }
        }
    }

    const int textLength = b.length() - 1;
    result.endLine = firstLine + lineInLayout(b, textLength);
    if (result.fragments.isEmpty())
        result.endAttributes = attributesOf(b.charFormat());
    else
        result.endAttributes = result.fragments.last().attributes;
    return result;
}

void QtRichTextDocument::clear()
{
    document_->clear();
}

TextAttributes QtRichTextDocument::insertionAttributes() const
{
    return defaults_;
}

void QtRichTextDocument::append(const QString& text, const TextAttributes& attributes)
{
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = normalised.split(QLatin1Char('\n'));
    const QTextCharFormat format = formatOf(attributes);

    QTextCursor cursor(document_);
    cursor.movePosition(QTextCursor::End);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            cursor.insertBlock(cursor.blockFormat(), format);
        // An empty line keeps its look in the block's own format.
        if (cursor.block().length() == 1)
            cursor.setBlockCharFormat(format);
        if (!lines.at(i).isEmpty())
            cursor.insertText(lines.at(i), format);
    }
}

void QtRichTextDocument::setAlignment(int block, ParagraphAlignment alignment)
{
    const QTextBlock b = document_->findBlockByNumber(block);
    if (!b.isValid())
        return;
    QTextCursor cursor(b);
    QTextBlockFormat format;
    format.setAlignment(qtAlignment(alignment));
    cursor.mergeBlockFormat(format);
}

TextAttributes QtRichTextDocument::attributesOf(const QTextCharFormat& format) const
{
    TextAttributes a = defaults_;
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush)
        a.color = format.foreground().color();
    const QString cardFont = cardFontOf(format);
    if (!cardFont.isEmpty())
        a.fontName = cardFont;
    if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
        a.pointSize = qRound(format.fontPointSize());
    if (format.hasProperty(QTextFormat::FontWeight))
        a.bold = format.fontWeight() > QFont::Medium;
    if (format.hasProperty(QTextFormat::FontItalic))
        a.italic = format.fontItalic();
    if (format.hasProperty(QTextFormat::FontUnderline) || format.hasProperty(QTextFormat::TextUnderlineStyle))
        a.underline = format.fontUnderline();
    if (format.hasProperty(QTextFormat::FontStrikeOut))
        a.strikeOut = format.fontStrikeOut();
    return a;
}

QTextCharFormat QtRichTextDocument::formatOf(const TextAttributes& attributes)
{
    QTextCharFormat format;
    if (attributes.color.isValid())
        format.setForeground(attributes.color);
    if (!attributes.fontName.isEmpty())
        setCardFont(format, attributes.fontName);
    if (attributes.pointSize > 0)
        format.setFontPointSize(qMin(attributes.pointSize, kLargestPointSize));
    format.setFontWeight(attributes.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(attributes.italic);
    format.setFontUnderline(attributes.underline);
    format.setFontStrikeOut(attributes.strikeOut);
    return format;
}

void QtRichTextDocument::setCardFont(QTextCharFormat& format, const QString& cardFontName)
{
    format.setFontFamilies(cardFontFamilies(cardFontName));
    format.setProperty(kCardFontNameProperty, cardFontName);
}

QString QtRichTextDocument::cardFontOf(const QTextCharFormat& format)
{
    const QString name = format.stringProperty(kCardFontNameProperty);
    if (!name.isEmpty())
        return name;
    // Pasted text names its fonts only by family.
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return format.stringProperty(QTextFormat::FontFamily);
}

} // namespace ledsign
