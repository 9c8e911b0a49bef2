#include "workspace/mainwindowdialogs.h"

#include "language/language.h"
#include "workspace/newcarddialog.h"

#include <QFileDialog>
#include <QMessageBox>

namespace ledsign {

QtMainWindowDialogs::QtMainWindowDialogs(QWidget* parent)
    : parent_(parent)
{
}

QString QtMainWindowDialogs::title() const
{
    return GetLgText(3, QStringLiteral("action_confirm"));
}

QString QtMainWindowDialogs::askSaveFileName(const QString& title, const QString& folder, const QString& filter)
{
    QFileDialog dialog(parent_, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("prg"));
    // The saver asks about an existing file itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

bool QtMainWindowDialogs::askYesNo(const QString& question)
{
    return QMessageBox::question(parent_, title(), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void QtMainWindowDialogs::showMessage(const QString& text)
{
    QMessageBox::information(parent_, parent_ ? parent_->windowTitle() : QString(), text);
}

MainWindowDialogs::Answer QtMainWindowDialogs::askYesNoCancel(const QString& question)
{
    switch (QMessageBox::question(parent_, title(), question,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

QString QtMainWindowDialogs::askOpenFileName(const QString& title, const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent_, title, folder, filter);
}

std::optional<NewCardInput> QtMainWindowDialogs::askNewCard(const QString& proposedName,
                                                            const std::function<QString(const QString&)>& check)
{
    NewCardDialog dialog(proposedName, check, parent_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.input();
}

} // namespace ledsign
