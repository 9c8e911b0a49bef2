// The questions and messages of the main window. The window asks through
// this interface so that its commands run the same with real dialogs and
// with scripted answers; QtMainWindowDialogs shows the real ones.
#pragma once

#include "editing/treecommands.h"
#include "model/playbillsaver.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace ledsign {

class MainWindowDialogs : public PlaybillSaveDialogs {
public:
    enum class Answer { Yes, No, Cancel };

    virtual Answer askYesNoCancel(const QString& question) = 0;
    // The open dialog: starts in `folder`, offers `filter`. Empty when cancelled.
    virtual QString askOpenFileName(const QString& title, const QString& folder, const QString& filter) = 0;
    // The new-card window with the proposed name; nothing when cancelled.
    // `check` returns why a name cannot be taken (empty when it can).
    virtual std::optional<NewCardInput> askNewCard(const QString& proposedName,
                                                   const std::function<QString(const QString&)>& check) = 0;
};

class QtMainWindowDialogs : public MainWindowDialogs {
public:
    explicit QtMainWindowDialogs(QWidget* parent);

    QString askSaveFileName(const QString& title, const QString& folder, const QString& filter) override;
    bool askYesNo(const QString& question) override;
    void showMessage(const QString& text) override;
    Answer askYesNoCancel(const QString& question) override;
    QString askOpenFileName(const QString& title, const QString& folder, const QString& filter) override;
    std::optional<NewCardInput> askNewCard(const QString& proposedName,
                                           const std::function<QString(const QString&)>& check) override;

private:
    QString title() const;

    QPointer<QWidget> parent_;
};

} // namespace ledsign
