#include "content/plaintextmarkup.h"

#include "content/fontresolver.h"
#include "content/fonttable.h"
#include "content/qtrichtextdocument.h"
#include "content/textprogrammarkup.h"
#include "content/textrunmarkup.h"

#include <QFont>
#include <QRegularExpression>
#include <QTextDocument>

namespace ledsign {

namespace {

QString oneLine(QString text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n|\u2028|\u2029"));
    return text.replace(breaks, QStringLiteral(" "));
}

// A document laid out as the editor lays out its text: no margin, the
// look's font, wrapped at `width` (none when negative).
void prepare(QTextDocument& doc, const TextAttributes& look, qreal width)
{
    doc.setDocumentMargin(0);
    QFont font;
    font.setFamilies(cardFontFamilies(look.fontName));
    font.setPointSize(look.pointSize);
    doc.setDefaultFont(font);
    doc.setTextWidth(width);
}

} // namespace

PlainTextLook lookOfTextRuns(const QString& markup, const PlainTextLook& fallback)
{
    const QList<TextRun> runs = parseTextRuns(markup);
    if (runs.isEmpty())
        return fallback;
    const TextRun& r = runs.first();
    PlainTextLook look;
    look.attributes.color = r.argb == 0 ? fallback.attributes.color : r.color;
    look.attributes.fontName = r.fontName.isEmpty() ? fallback.attributes.fontName : r.fontName;
    look.attributes.pointSize = r.pointSize > 0 ? r.pointSize : fallback.attributes.pointSize;
    look.attributes.bold = r.bold;
    look.attributes.italic = r.italic;
    look.attributes.underline = r.underline;
    look.attributes.strikeOut = r.strikeOut;
    switch (r.alignment) {
    case 1: look.alignment = ParagraphAlignment::Right; break;
    case 2: look.alignment = ParagraphAlignment::Centre; break;
    default: look.alignment = ParagraphAlignment::Left; break;
    }
    return look;
}

QString textRunMarkupOf(const QString& text, const PlainTextLook& look, bool multiLine, int regionWidth)
{
    QTextDocument doc;
    prepare(doc, look.attributes, multiLine ? qreal(std::max(1, regionWidth)) : -1);
    QtRichTextDocument rich(&doc);
    rich.setDefaultAttributes(look.attributes);
    rich.clear();
    rich.append(multiLine ? text : oneLine(text), look.attributes);
    for (int b = 0; b < rich.blockCount(); ++b)
        rich.setAlignment(b, look.alignment);
    return writeTextRunMarkup(rich);
}

QString textProgramMarkupOf(const QString& text, const TextAttributes& look)
{
    QTextDocument doc;
    prepare(doc, look, -1);
    QtRichTextDocument rich(&doc);
    rich.setDefaultAttributes(look);
    rich.clear();
    rich.append(text, look);
    return writeTextProgramMarkup(rich);
}

} // namespace ledsign
