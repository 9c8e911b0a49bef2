// What the styled-text markups need of a rich-text editor: its text as blocks
// (paragraphs) of fragments that share one look and lie on one visual line,
// and a way to clear it, append styled text and align paragraphs. The text
// editors implement it over their editor's document (see QtRichTextDocument).
#pragma once

#include <QColor>
#include <QList>
#include <QString>

namespace ledsign {

// Paragraph alignment with the values the text run markup stores.
enum class ParagraphAlignment : int {
    Left = 0,
    Right = 1,
    Centre = 2,
};

// The look of a character.
struct TextAttributes {
    QColor color;           // invalid when the character has no colour of its own
    QString fontName;
    int pointSize = 12;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    friend bool operator==(const TextAttributes&, const TextAttributes&) = default;
};

// Characters of one block that share their attributes and their visual line.
// A "\n" inside the text is a line break within the paragraph.
struct RichTextFragment {
    QString text;
    TextAttributes attributes;
    int line = 0; // 0-based visual line of the document that holds the text
};

struct RichTextBlock {
    QList<RichTextFragment> fragments;
    ParagraphAlignment alignment = ParagraphAlignment::Left;
    // Look and visual line of the block's end; an empty line has only these.
    TextAttributes endAttributes;
    int endLine = 0;
};

class RichTextDocument {
public:
    virtual ~RichTextDocument();

    virtual int blockCount() const = 0;
    virtual RichTextBlock block(int index) const = 0;

    // Empties the document (one empty block remains).
    virtual void clear() = 0;
    // The look that text typed into the empty document gets.
    virtual TextAttributes insertionAttributes() const = 0;
    // Appends text at the end with the given look; "\r\n", "\r" and "\n" each
    // start a new block.
    virtual void append(const QString& text, const TextAttributes& attributes) = 0;
    virtual void setAlignment(int block, ParagraphAlignment alignment) = 0;
};

} // namespace ledsign
