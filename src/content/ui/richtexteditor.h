// The rich-text editor of single-line and multi-line text materials. Each
// character keeps its colour, font, size and style; the text area is as wide
// as the region is shown on the canvas, so that its lines are the card's
// lines. However the window is closed, the text is written as text run
// markup and the dialog ends with OK.
//
//   RichTextEditor dlg(multiLine, material.content, material.textParam1,
//                      material.textParam2, material.textParam3,
//                      region.width, parent);
//   dlg.exec();
//   material.content = dlg.content();       material.textParam1 = dlg.lineSpacing();
//   material.textParam2 = dlg.verticalAlignment();  material.textParam3 = dlg.yOffset();
//   if (dlg.changed()) markModified(...);   then render the material again
#pragma once

#include "content/richtextdocument.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QLineEdit;
class QToolButton;
class QTextCharFormat;

namespace ledsign {

class QtRichTextDocument;
class RichTextArea;

class RichTextEditor : public QDialog {
    Q_OBJECT
public:
    RichTextEditor(bool multiLine, const QString& content, int lineSpacing, int verticalAlignment, int yOffset,
                   int regionWidth, QWidget* parent = nullptr);
    ~RichTextEditor() override;

    QString content() const { return content_; }
    int lineSpacing() const { return lineSpacing_; }
    int verticalAlignment() const { return verticalAlignment_; }
    int yOffset() const { return yOffset_; }
    bool changed() const { return changed_; }

    RichTextArea* textArea() const { return area_; }
    // The default font: "Arial" in English, "宋体" otherwise.
    static QString defaultFontName();

    // Toolbar commands (also reachable from tests).
    void applyFontName(const QString& name);
    void applyPointSize(const QString& listText);
    void applyColorIndex(int index); // 0 red .. 6 white
    void applyStyle();
    void applyAlignment(ParagraphAlignment alignment);
    void newText();
    bool saveTo(const QString& path, QString* error = nullptr);
    bool openFrom(const QString& path, QString* error = nullptr);

    void done(int result) override;

private:
    void buildToolbars(bool multiLine);
    void syncToolbar();
    void mergeFormat(const QTextCharFormat& format);
    void saveFile();
    void openFile();

    RichTextArea* area_ = nullptr;
    std::unique_ptr<QtRichTextDocument> doc_;
    QComboBox* fontBox_ = nullptr;
    QComboBox* sizeBox_ = nullptr;
    QComboBox* colorBox_ = nullptr;
    QToolButton* bold_ = nullptr;
    QToolButton* italic_ = nullptr;
    QToolButton* underline_ = nullptr;
    QToolButton* strike_ = nullptr;
    QToolButton* align_[3] = {};
    QLineEdit* spacingBox_ = nullptr;
    QComboBox* vAlignBox_ = nullptr;
    QComboBox* yOffsetBox_ = nullptr;
    bool updating_ = false; // the toolbar is being set from the selection
    QString originalContent_;
    QString content_;
    int lineSpacing_ = 0;
    int verticalAlignment_ = 0;
    int yOffset_ = 0;
    int originalSpacing_ = 0;
    int originalVAlign_ = 0;
    int originalYOffset_ = 0;
    bool changed_ = false;
};

} // namespace ledsign
