// The small window that asks for the name, size and colour depth of a new
// card. It refuses a name the card list cannot hold and stays open until
// the name is good or the user closes it.
#pragma once

#include "editing/treecommands.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace ledsign {

class NewCardDialog : public QDialog {
    Q_OBJECT
public:
    using NameCheck = std::function<QString(const QString&)>;

    NewCardDialog(const QString& proposedName, NameCheck check, QWidget* parent = nullptr);

    NewCardInput input() const;

    QLineEdit* nameEdit() const { return name_; }
    QLineEdit* widthEdit() const { return width_; }
    QLineEdit* heightEdit() const { return height_; }
    QComboBox* colorBox() const { return color_; }
    QString problemText() const;

public slots:
    void accept() override;

private:
    NameCheck check_;
    QLineEdit* name_;
    QLineEdit* width_;
    QLineEdit* height_;
    QComboBox* color_;
    QLabel* problem_;
};

} // namespace ledsign
