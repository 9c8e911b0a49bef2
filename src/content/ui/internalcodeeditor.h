// The internal-code text editor: a memo in the material's font, size and
// colour on black, with new / open / save of ".txt" files and a context menu
// whose paste adds the clipboard text as one new line. However it closes, the
// lines are joined and cut to 1024 bytes and the dialog ends with OK.
//
//   InternalCodeEditor dlg(material.content, cardFontName(material.fontCode),
//                          pointSizeOfSizeCode(material.sizeCode, 12),
//                          screenColor(material.charColor), parent);
//   dlg.exec();
//   material.content = dlg.content();   // dlg.changed(): mark modified
#pragma once

#include <QColor>
#include <QDialog>

class QPlainTextEdit;

namespace ledsign {

class InternalCodeEditor : public QDialog {
    Q_OBJECT
public:
    InternalCodeEditor(const QString& content, const QString& fontName, int pointSize, const QColor& color,
                       QWidget* parent = nullptr);

    QString content() const { return content_; }
    bool changed() const { return changed_; }

    // Clipboard text added as a new last line (TAB and line breaks as two spaces).
    void pasteAsLine(const QString& clipboard);
    QPlainTextEdit* memo() const { return memo_; }

    void done(int result) override;

private:
    void newText();
    void openText();
    void saveText();
    QStringList lines() const;

    QPlainTextEdit* memo_ = nullptr;
    QString original_;
    QString content_;
    bool changed_ = false;
};

} // namespace ledsign
