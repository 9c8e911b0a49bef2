#include "editing/projectdocument.h"

#include <QSet>
#include <QUndoGroup>
#include <QUndoStack>

namespace ledsign {

namespace {

constexpr int kMergingStep = 1;
// Steps a card keeps: each holds the card's playbill as it stood, so the oldest go
// first rather than letting a long session's history grow without end.
constexpr int kStepsPerCard = 200;

} // namespace

// One step of a card's history: the card's playbill before and after an
// edit, and the files the edit wrote. It is pushed after the edit is made,
// so its first redo has nothing to do.
class CardStep : public QUndoCommand {
public:
    CardStep(ProjectDocument& document, const QString& caption, CardSnapshot before, CardSnapshot after,
             StepOptions options)
        : QUndoCommand(caption)
        , document_(document)
        , before_(std::move(before))
        , after_(std::move(after))
        , options_(std::move(options))
    {
    }

    int id() const override { return options_.mergeKey.isEmpty() ? -1 : kMergingStep; }

    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* later = dynamic_cast<const CardStep*>(other);
        if (!later || later->options_.mergeKey != options_.mergeKey || later->before_.cardName != after_.cardName)
            return false;
        after_ = later->after_;
        options_.files.absorb(later->options_.files);
        options_.selectAfter = later->options_.selectAfter;
        // Typed back to where it started: the step is gone.
        setObsolete(samePlaybill(before_, after_) && options_.files.isEmpty());
        return true;
    }

    void undo() override
    {
        document_.restore(after_.cardName, before_, options_.files, true, options_.selectBefore);
    }

    void redo() override
    {
        if (pushed_) {
            pushed_ = false;
            return;
        }
        document_.restore(before_.cardName, after_, options_.files, false, options_.selectAfter);
    }

private:
    ProjectDocument& document_;
    CardSnapshot before_;
    CardSnapshot after_;
    StepOptions options_;
    bool pushed_ = true;
};

ProjectDocument::ProjectDocument(ProjectModel& model, QObject* parent)
    : QObject(parent)
    , model_(model)
    , group_(new QUndoGroup(this))
{
    connect(group_, &QUndoGroup::indexChanged, this, &ProjectDocument::historyChanged);
    connect(group_, &QUndoGroup::activeStackChanged, this, &ProjectDocument::historyChanged);
}

ProjectDocument::~ProjectDocument()
{
    // The stacks go before the group and the records they name.
    const QList<QUndoStack*> stacks = stacks_.values();
    stacks_.clear();
    qDeleteAll(stacks);
}

QUndoStack* ProjectDocument::stackOf(const QString& cardName) const
{
    return stacks_.value(cardName);
}

void ProjectDocument::setActiveCard(const QString& cardName)
{
    group_->setActiveStack(stacks_.value(cardName));
}

QString ProjectDocument::activeCard() const
{
    QUndoStack* active = group_->activeStack();
    return active ? active->objectName() : QString();
}

void ProjectDocument::undo()
{
    group_->undo();
}

void ProjectDocument::redo()
{
    group_->redo();
}

QUndoStack* ProjectDocument::addStack(const QString& cardName, const CardSnapshot* taken)
{
    auto* stack = new QUndoStack(this);
    stack->setObjectName(cardName);
    stack->setUndoLimit(kStepsPerCard);
    group_->addStack(stack);
    stacks_.insert(cardName, stack);
    known_.insert(cardName, taken ? *taken : takeCardSnapshot(model_, cardName));
    const auto card = model_.findCard(cardName);
    // A card that differs from its file already has no clean state to
    // return to.
    if (card && card.record->modified)
        stack->resetClean();
    connect(stack, &QUndoStack::cleanChanged, this, [this, stack] { followClean(stack); });
    connect(stack, &QUndoStack::indexChanged, this, [this, stack] { followClean(stack); });
    return stack;
}

void ProjectDocument::dropStack(const QString& cardName)
{
    known_.remove(cardName);
    if (QUndoStack* stack = stacks_.take(cardName))
        delete stack;
}

void ProjectDocument::renameStack(const QString& oldName, const QString& newName)
{
    if (oldName == newName)
        return;
    if (QUndoStack* stack = stacks_.take(oldName)) {
        stack->setObjectName(newName);
        stacks_.insert(newName, stack);
    }
    if (known_.contains(oldName))
        known_.insert(newName, known_.take(oldName));
}

void ProjectDocument::followClean(QUndoStack* stack)
{
    const auto card = model_.findCard(stack->objectName());
    if (card)
        card.record->modified = stack->isClean() ? 0 : 1;
}

void ProjectDocument::startAll()
{
    const QStringList names = stacks_.keys();
    for (const QString& name : names)
        dropStack(name);
    // One walk over the records for the whole fleet, not one per card.
    const QHash<QString, CardSnapshot> all = takeAllSnapshots(model_);
    for (const TFIXModem& card : model_.cards()) {
        if (!stacks_.contains(card.name)) {
            const auto taken = all.constFind(card.name);
            addStack(card.name, taken == all.cend() ? nullptr : &*taken);
        }
    }
    emit historyChanged();
}

bool ProjectDocument::record(const QString& caption, StepOptions options)
{
    QSet<QString> live;
    live.reserve(model_.cards().size());
    QStringList fresh;
    for (const TFIXModem& card : model_.cards()) {
        live.insert(card.name);
        if (!known_.contains(card.name) && !fresh.contains(card.name))
            fresh << card.name;
    }
    QStringList gone;
    for (auto it = known_.cbegin(); it != known_.cend(); ++it) {
        if (!live.contains(it.key()))
            gone << it.key();
    }
    // One card gone and one come in one edit: the card was renamed, and its
    // history goes with it.
    if (gone.size() == 1 && fresh.size() == 1) {
        renameStack(gone.first(), fresh.first());
        emit cardRenamed(gone.first(), fresh.first());
        gone.clear();
        fresh.clear();
    }
    for (const QString& name : std::as_const(gone)) {
        dropStack(name);
        emit cardRemoved(name);
    }
    for (const QString& name : std::as_const(fresh)) {
        addStack(name);
        emit cardAdded(name);
    }

    // Only the cards the edit changed are taken again.
    const QSet<QString> changed = cardsChangedSince(model_, known_);
    bool made = false;
    if (options.selectBefore.isNone())
        options.selectBefore = options.selectAfter;
    for (const TFIXModem& card : model_.cards()) {
        if (!changed.contains(card.name) || fresh.contains(card.name))
            continue;
        const auto was = known_.find(card.name);
        QUndoStack* stack = stacks_.value(card.name);
        if (was == known_.end() || !stack)
            continue;
        CardSnapshot after = takeCardSnapshot(model_, card.name);
        if (samePlaybill(*was, after))
            continue;
        const CardSnapshot before = *was;
        *was = after;
        StepOptions stepOptions = options;
        // The files go with the first card's step: an edit of files
        // touches one card.
        options.files = {};
        announce(before, after);
        stack->push(new CardStep(*this, caption, before, std::move(after), std::move(stepOptions)));
        made = true;
    }
    // An edit that only rewrote files (a table typed again) is a step of
    // the edited card all the same.
    const QString edited = cardNameOfNodeText(options.selectAfter.card);
    if (!made && !options.files.isEmpty() && stacks_.contains(edited)) {
        const CardSnapshot same = known_.value(edited);
        stacks_.value(edited)->push(new CardStep(*this, caption, same, same, std::move(options)));
        made = true;
    }
    emit historyChanged();
    return made;
}

void ProjectDocument::restart(const QString& cardName)
{
    if (!model_.findCard(cardName)) {
        if (stacks_.contains(cardName)) {
            dropStack(cardName);
            emit cardRemoved(cardName);
        }
        return;
    }
    const CardSnapshot before = known_.value(cardName, takeCardSnapshot(model_, cardName));
    const CardSnapshot after = takeCardSnapshot(model_, cardName);
    QUndoStack* stack = stacks_.value(cardName);
    if (!stack) {
        addStack(cardName);
        emit cardAdded(cardName);
    } else {
        const bool modified = model_.findCard(cardName).record->modified != 0;
        stack->clear();
        if (modified)
            stack->resetClean();
        followClean(stack);
        known_.insert(cardName, after);
    }
    announce(before, after);
    emit historyChanged();
}

void ProjectDocument::adopt()
{
    const QHash<QString, CardSnapshot> now = takeAllSnapshots(model_);
    const QStringList known = known_.keys();
    for (const QString& name : known) {
        if (!now.contains(name)) {
            dropStack(name);
            emit cardRemoved(name);
        }
    }
    for (const TFIXModem& card : model_.cards()) {
        if (!stacks_.contains(card.name)) {
            const auto taken = now.constFind(card.name);
            addStack(card.name, taken == now.cend() ? nullptr : &*taken);
            emit cardAdded(card.name);
        } else if (!samePlaybill(known_.value(card.name), now.value(card.name))) {
            // Taken as the card now stands, its history kept: the views
            // follow, and no step is made of it.
            const CardSnapshot before = known_.value(card.name);
            known_.insert(card.name, now.value(card.name));
            announce(before, now.value(card.name));
        }
    }
}

void ProjectDocument::noteSaved()
{
    for (const TFIXModem& card : model_.cards()) {
        QUndoStack* stack = stacks_.value(card.name);
        if (stack && card.modified == 0 && !stack->isClean())
            stack->setClean();
    }
}

void ProjectDocument::restore(const QString& liveName, const CardSnapshot& target, const StepFiles& files,
                              bool undoFiles, const NodePath& select)
{
    const CardSnapshot before = known_.value(liveName, takeCardSnapshot(model_, liveName));
    if (undoFiles)
        files.undo();
    else
        files.redo();
    restoreCardSnapshot(model_, liveName, target);
    if (target.cardName != liveName) {
        renameStack(liveName, target.cardName);
        emit cardRenamed(liveName, target.cardName);
    }
    const CardSnapshot after = takeCardSnapshot(model_, target.cardName);
    known_.insert(target.cardName, after);
    announce(before, after);
    emit stepRestored(select);
}

void ProjectDocument::announce(const CardSnapshot& before, const CardSnapshot& after)
{
    const QList<RecordChange> changes = diffSnapshots(before, after);
    for (const RecordChange& c : changes) {
        if (c.what != RecordChange::What::Changed)
            continue;
        if (c.kind == RecordChange::Kind::Region)
            emit regionChanged(c.card, c.page, c.region);
        else if (c.kind == RecordChange::Kind::Material)
            emit materialChanged(c.card, c.page, c.region, c.material);
    }
    if (!changes.isEmpty() || before.cardName != after.cardName || before.remoteTextFree != after.remoteTextFree)
        emit cardRecordsChanged(after.cardName, changesOutline(before, after, changes));
}

} // namespace ledsign
