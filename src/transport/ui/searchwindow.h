// The card search window: a caption, the seconds left, a progress bar and a
// stop button; after eight network ticks without a card it grows to show
// trouble-shooting hints. The search itself runs in CardSearch.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace ledsign {

class CardSearch;

// Hints shown in the enlarged window, in the current language.
QString searchHints();

class TfrmSearch : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSearch(CardSearch& search, QWidget* parent = nullptr);
    void setScale(double scale) { m_scale = scale; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void applyTexts();
    void setSize(int width, int height);
    void onProgress(int remaining, int total);

    CardSearch& m_search;
    double m_scale = 1.0;
    QLabel* m_caption = nullptr;
    QLabel* lbSurplus = nullptr;
    QLabel* lbSeconds = nullptr;
    QLabel* lbSecond = nullptr;
    QProgressBar* pbSearch = nullptr;
    QPushButton* btStop = nullptr;
    QLabel* m_hints = nullptr;
};

} // namespace ledsign
