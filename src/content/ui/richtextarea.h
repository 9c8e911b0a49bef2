// The text area of the rich-text editor: a QTextEdit that pastes plain text
// only, does not scroll with the mouse wheel, and turns a space typed at the
// start of a wrapped line into a line break before the space, so that the
// line starts where the card will start it.
#pragma once

#include <QTextEdit>

namespace ledsign {

class RichTextArea : public QTextEdit {
    Q_OBJECT
public:
    explicit RichTextArea(QWidget* parent = nullptr);

    // What typing a space at the caret does (also used by keyPressEvent).
    void typeSpace();

    // Paste and drop: the plain text only, in the look at the caret.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

} // namespace ledsign
