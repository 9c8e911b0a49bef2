#include "content/ui/richtextarea.h"

#include "content/texteditrules.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextLayout>

namespace ledsign {

RichTextArea::RichTextArea(QWidget* parent)
    : QTextEdit(parent)
{
    setAcceptRichText(false);
}

void RichTextArea::typeSpace()
{
    QTextCursor cursor = textCursor();
    bool wrappedStart = false;
    QChar previous;
    if (!cursor.hasSelection()) {
        const QTextBlock block = cursor.block();
        const int pos = cursor.positionInBlock();
        if (const QTextLayout* layout = block.layout(); layout && pos > 0) {
            const QTextLine line = layout->lineForTextPosition(pos);
            wrappedStart = line.isValid() && line.lineNumber() > 0 && line.textStart() == pos;
            previous = block.text().at(pos - 1);
        }
    }
    cursor.beginEditBlock();
    switch (lineStartSpaceAction(wrappedStart, previous)) {
    case LineStartSpace::ReplaceThenSpace:
        cursor.deletePreviousChar();
        cursor.insertBlock();
        break;
    case LineStartSpace::BreakThenSpace:
        cursor.insertBlock();
        break;
    case LineStartSpace::Plain:
        break;
    }
    cursor.insertText(QStringLiteral(" "));
    cursor.endEditBlock();
    setTextCursor(cursor);
}

void RichTextArea::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        typeSpace();
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void RichTextArea::wheelEvent(QWheelEvent* event)
{
    event->ignore();
}

bool RichTextArea::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText();
}

void RichTextArea::insertFromMimeData(const QMimeData* source)
{
    // Plain text only, in the look at the caret.
    if (source->hasText())
        textCursor().insertText(source->text());
}

} // namespace ledsign
