// RichTextDocument over a QTextDocument, such as the document of the text
// editors' QTextEdit. Visual lines come from the document's layout, so a text
// wrapped at the editor's width gives one line number per wrapped line.
#pragma once

#include "content/richtextdocument.h"

class QTextDocument;
class QTextCharFormat;

namespace ledsign {

class QtRichTextDocument : public RichTextDocument {
public:
    // The document is not owned and must outlive this object.
    explicit QtRichTextDocument(QTextDocument* document);

    // Look of characters whose format leaves a property unset, and of text
    // typed into an empty document. Starts from the document's default font
    // with no colour.
    void setDefaultAttributes(const TextAttributes& attributes);
    TextAttributes defaultAttributes() const { return defaults_; }

    int blockCount() const override;
    RichTextBlock block(int index) const override;
    void clear() override;
    TextAttributes insertionAttributes() const override;
    void append(const QString& text, const TextAttributes& attributes) override;
    void setAlignment(int block, ParagraphAlignment alignment) override;

    // Conversions between a character format and the attributes, with unset
    // properties taken from the defaults.
    TextAttributes attributesOf(const QTextCharFormat& format) const;
    static QTextCharFormat formatOf(const TextAttributes& attributes);

    // A format draws a card font name with its packaged stand-in; the name
    // itself is kept beside the families, so that it is read back unchanged.
    static void setCardFont(QTextCharFormat& format, const QString& cardFontName);
    static QString cardFontOf(const QTextCharFormat& format);

private:
    void ensureLayout() const;
    int firstLineOfBlock(int index) const;

    QTextDocument* document_;
    TextAttributes defaults_;
};

} // namespace ledsign
