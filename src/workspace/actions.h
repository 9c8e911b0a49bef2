// Every command of the main window as a QAction: its object name is the
// action name the language table keys its caption and hint by, with a
// keyboard shortcut, the three language entries as radio items, and the
// items of the tree's pop-up menu. Captions are taken again from the
// current language on every switch.
#pragma once

#include "editing/commandenabling.h"
#include "editing/commandids.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>

class QAction;
class QActionGroup;

namespace ledsign {

class ActionSet : public QObject {
    Q_OBJECT
public:
    explicit ActionSet(QObject* parent);

    QAction* action(ActionId id) const { return actions_.value(id); }
    QAction* popupItem(PopupItem item) const { return popup_.value(item); }
    QList<QAction*> all() const;
    QActionGroup* languageGroup() const { return languages_; }

    // Caption and hint of every action from category 1 of the current
    // language; actions without a row keep the texts they have. The pop-up
    // items follow their actions.
    void retranslate();

    void applyStates(const QList<QPair<ActionId, bool>>& states);
    void applyPopupStates(const QList<QPair<PopupItem, bool>>& states);

signals:
    void triggered(ledsign::ActionId id);
    void popupTriggered(ledsign::PopupItem item);

private:
    QHash<ActionId, QAction*> actions_;
    QHash<PopupItem, QAction*> popup_;
    QActionGroup* languages_ = nullptr;
};

} // namespace ledsign
