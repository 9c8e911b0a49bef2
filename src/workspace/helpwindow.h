// The window that shows the operator's guide (a Markdown file) beside the
// main window; links to other places open in the desktop's browser.
#pragma once

#include <QDialog>

class QPushButton;
class QTextBrowser;

namespace ledsign {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the guide file under the title; the button takes the current
    // language.
    void showGuide(const QString& path, const QString& title);
    QString guidePath() const { return path_; }
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_ = nullptr;
    QPushButton* close_ = nullptr;
    QString path_;
};

} // namespace ledsign
