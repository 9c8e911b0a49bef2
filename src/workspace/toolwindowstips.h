// The remote-text tip window shown at start-up until the user ticks "do not
// show again": it tells where remote-server texts come from. Its texts are
// taken from the language table each time it opens.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace ledsign {

class RemoteTextTipWindow : public QDialog {
    Q_OBJECT
public:
    explicit RemoteTextTipWindow(QWidget* parent = nullptr);

    // Caption, tip, check box and button in the current language.
    void retranslate();
    // The check box "I know, later not tip.": the tip is dismissed for good.
    bool dismissed() const;
    QCheckBox* checkBox() const { return check_; }

private:
    QLabel* info_ = nullptr;
    QCheckBox* check_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace ledsign
