// The project document: the one place an edit of the records becomes
// history. Every change an operator makes goes through it as a step: the
// document knows each card's playbill as it last stood, and after a change
// it takes the card again; the two pictures form the step, pushed on that
// card's undo stack (each playbill is its own file, so each card has its own
// history). Undo and redo put a picture back. Either way the document emits
// the record-level signals from the difference, so every route announces
// the same changes and the views follow them.
//
// A card's `modified` flag follows its stack: set while the stack is away
// from the state last saved or read, cleared when undo or redo returns to
// it. Adding, deleting or moving a card, what the card link changes and
// sending are no steps.
#pragma once

#include "editing/cardsnapshot.h"
#include "editing/selection.h"
#include "editing/stepfiles.h"

#include <QHash>
#include <QObject>
#include <QString>

class QUndoGroup;
class QUndoStack;

namespace ledsign {

struct StepOptions {
    // Steps with the same non-empty key in a row on one stack become one
    // (typing in one property row).
    QString mergeKey;
    // Where the selection goes after undo and after redo.
    NodePath selectBefore;
    NodePath selectAfter;
    // The files the edit wrote.
    StepFiles files;
};

class ProjectDocument : public QObject {
    Q_OBJECT
public:
    explicit ProjectDocument(ProjectModel& model, QObject* parent = nullptr);
    ~ProjectDocument() override;

    QUndoGroup* undoGroup() const { return group_; }
    // The card's stack; null for a card the document does not know.
    QUndoStack* stackOf(const QString& cardName) const;
    // The stack undo and redo work on follows the selected card.
    void setActiveCard(const QString& cardName);
    QString activeCard() const;
    // The card's playbill as the document last knew it.
    CardSnapshot knownPlaybill(const QString& cardName) const { return known_.value(cardName); }

    // Every card as it stands starts its history here (start-up).
    void startAll();

    // An operator's change, made in the records by a command or an editor
    // (a tree command, property rows, the canvas frame, an editor window's
    // hand-back), becomes one step per card it touched, with `caption` as
    // the step's text. True when a step was made.
    bool record(const QString& caption, StepOptions options = {});

    // The card's playbill was read again, emptied or resized: its history
    // starts anew from what it holds now.
    void restart(const QString& cardName);
    // Changes that were no edit (a card that registered, a card the link
    // updated): new cards get a history, cards that went lose theirs, and a
    // card whose records changed is taken as it stands, its history kept.
    void adopt();
    // Cards a save left unmodified are clean from here.
    void noteSaved();

    void undo();
    void redo();

signals:
    void cardAdded(const QString& card);
    void cardRemoved(const QString& card);
    void cardRenamed(const QString& oldName, const QString& newName);
    // A region's or a material's fields changed (the views place or repaint it);
    // records that come, go or move are told by `cardRecordsChanged`.
    void regionChanged(const QString& card, const QString& page, const QString& region);
    void materialChanged(const QString& card, const QString& page, const QString& region, const QString& name);
    // After the signals of one change: the card's records differ from
    // before; `outlineChanged` when nodes of the tree came, went, moved or
    // took another text (views that redraw a whole card listen here).
    void cardRecordsChanged(const QString& card, bool outlineChanged);
    // An undo or redo ran; the selection goes to `path`.
    void stepRestored(const ledsign::NodePath& path);
    // The text of the next undo or redo changed, or whether there is one.
    void historyChanged();

private:
    friend class CardStep;

    // `taken`: the card's playbill as it stands, when already taken.
    QUndoStack* addStack(const QString& cardName, const CardSnapshot* taken = nullptr);
    void dropStack(const QString& cardName);
    void renameStack(const QString& oldName, const QString& newName);
    // Undo and redo: the card now named `liveName` becomes `target`.
    void restore(const QString& liveName, const CardSnapshot& target, const StepFiles& files, bool undoFiles,
                 const NodePath& select);
    void announce(const CardSnapshot& before, const CardSnapshot& after);
    void followClean(QUndoStack* stack);

    ProjectModel& model_;
    QUndoGroup* group_ = nullptr;
    QHash<QString, QUndoStack*> stacks_;
    // Each card's playbill as the last step, restore or start left it.
    QHash<QString, CardSnapshot> known_;
};

} // namespace ledsign
