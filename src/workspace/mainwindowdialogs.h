// The questions and messages of the main window. The window asks through
// this interface so that its commands run the same with real dialogs and
// with scripted answers; QtMainWindowDialogs shows the real ones.
#pragma once

#include "editing/cardbinding.h"
#include "editing/propertysession.h"
#include "editing/treecommands.h"
#include "language/language.h"
#include "model/playbillsaver.h"

#include <QPair>
#include <QPointer>
#include <QSize>
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

    // The editor windows of the materials; each returns true when it
    // changed the material. Region sizes are in LED pixels, whatever the
    // canvas zoom: the card's lines break and its pieces are cut there.
    virtual bool editText(TFodder& material, int regionWidth) = 0;
    virtual bool editTable(TFodder& material, const DataFolder& folders, QSize region) = 0;
    virtual bool editInternalCode(TFodder& material) = 0;

    // The dialogs of the property rows' "..." buttons; nothing when cancelled.
    virtual std::optional<QString> askPlayWeek(const QString& value, const QStringList& texts,
                                                const QString& note) = 0;
    // The choice (0 every day, 1 before, 2 after the date) and the date.
    virtual std::optional<QPair<int, QString>> askPlayDate(const DialogRequest& request) = 0;
    virtual std::optional<QString> askCountTime(const QString& value) = 0;

    // The offer to bind a card made in the window to the card on the line;
    // nothing when the operator declines. Without an offer window of its
    // own the plain question is asked and a Yes keeps the playbill.
    virtual std::optional<BindChoice> askBindCard(const BindOffer& offer)
    {
        if (!askYesNo(messageText(QStringLiteral("dlg_tie_card")).arg(offer.code, offer.card)))
            return std::nullopt;
        return BindChoice::KeepRegions;
    }
};

class QtMainWindowDialogs : public MainWindowDialogs {
public:
    using NewCardWindow = std::function<std::optional<NewCardInput>(
        const QString& proposedName, const std::function<QString(const QString&)>& check)>;

    explicit QtMainWindowDialogs(QWidget* parent);
    // The window that asks for a new card (the USB-disk window's new-card mode).
    void setNewCardWindow(NewCardWindow window) { newCardWindow_ = std::move(window); }

    QString askSaveFileName(const QString& title, const QString& folder, const QString& filter) override;
    bool askYesNo(const QString& question) override;
    void showMessage(const QString& text) override;
    Answer askYesNoCancel(const QString& question) override;
    QString askOpenFileName(const QString& title, const QString& folder, const QString& filter) override;
    std::optional<NewCardInput> askNewCard(const QString& proposedName,
                                           const std::function<QString(const QString&)>& check) override;
    bool editText(TFodder& material, int regionWidth) override;
    bool editTable(TFodder& material, const DataFolder& folders, QSize region) override;
    bool editInternalCode(TFodder& material) override;
    std::optional<QString> askPlayWeek(const QString& value, const QStringList& texts, const QString& note) override;
    std::optional<QPair<int, QString>> askPlayDate(const DialogRequest& request) override;
    std::optional<QString> askCountTime(const QString& value) override;
    std::optional<BindChoice> askBindCard(const BindOffer& offer) override;

private:
    QString title() const;

    QPointer<QWidget> parent_;
    NewCardWindow newCardWindow_;
};

} // namespace ledsign
