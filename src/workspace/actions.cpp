#include "workspace/actions.h"

#include "language/language.h"
#include "language/languagetable.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QKeySequence>
#include <QIcon>

// The icon drawings live in the core library's resources; a static library
// needs to be told to keep them.
static void initWorkspaceIcons()
{
    Q_INIT_RESOURCE(workspaceicons);
}

namespace ledsign {

namespace {

constexpr int kActionCategory = 1;
constexpr int kUsbDiskCategory = 10; // the USB-disk window's texts

QKeySequence shortcutOf(ActionId id)
{
    switch (id) {
    case ActionId::NewPrg:
        return QKeySequence::New;
    case ActionId::InsertPrg:
        return QKeySequence::Open;
    case ActionId::SavePrg:
        return QKeySequence::Save;
    case ActionId::SaveFileAs:
        return QKeySequence(QStringLiteral("Ctrl+Shift+S"));
    case ActionId::Exit:
        return QKeySequence(QStringLiteral("Ctrl+Q"));
    case ActionId::SglTxt:
        return QKeySequence(QStringLiteral("Ctrl+T"));
    case ActionId::MulText:
        return QKeySequence(QStringLiteral("Ctrl+M"));
    case ActionId::Search:
        return QKeySequence(QStringLiteral("F3"));
    case ActionId::CmmParaSet:
        return QKeySequence(QStringLiteral("F4"));
    case ActionId::Preview:
        return QKeySequence(QStringLiteral("F5"));
    case ActionId::Send:
        return QKeySequence(QStringLiteral("F9"));
    case ActionId::SendPrg:
        return QKeySequence(QStringLiteral("Shift+F9"));
    case ActionId::CopyPrg:
        return QKeySequence(QStringLiteral("Ctrl+C"));
    case ActionId::PastePrg:
        return QKeySequence(QStringLiteral("Ctrl+V"));
    case ActionId::NewCard:
        return QKeySequence(QStringLiteral("Ctrl+Shift+N"));
    case ActionId::AddPrg:
        return QKeySequence(QStringLiteral("Ctrl+Shift+P"));
    case ActionId::AddRgn:
        return QKeySequence(QStringLiteral("Ctrl+Shift+A"));
    case ActionId::Help:
        return QKeySequence::HelpContents;
    default:
        return {};
    }
}

// Our own drawings (src/workspace/data/icons), made for 16 and 24 pixels.
const char* iconName(ActionId id)
{
    switch (id) {
    case ActionId::NewPrg: return "new";
    case ActionId::InsertPrg: return "open";
    case ActionId::SavePrg: return "save";
    case ActionId::SaveFileAs: return "saveas";
    case ActionId::Export2UDisk: return "usb";
    case ActionId::Exit: return "exit";
    case ActionId::SglTxt: return "singletext";
    case ActionId::MulText: return "multitext";
    case ActionId::DateTime: return "datetime";
    case ActionId::AddTime: return "countup";
    case ActionId::DelTime: return "countdown";
    case ActionId::Table: return "table";
    case ActionId::Picture: return "picture";
    case ActionId::Movie:
    case ActionId::MovieTool: return "movie";
    case ActionId::InnerInfo: return "code";
    case ActionId::CallNo: return "queue";
    case ActionId::CollectData: return "collect";
    case ActionId::TxtSet: return "remotetext";
    case ActionId::Bmp: return "paint";
    case ActionId::Note: return "notepad";
    case ActionId::Search: return "search";
    case ActionId::Send: return "send";
    case ActionId::SendPrg: return "sendtext";
    case ActionId::StopPlay: return "stop";
    case ActionId::BeginPlay: return "play";
    case ActionId::AdjTime: return "adjtime";
    case ActionId::DelCard: return "delcard";
    case ActionId::NewCard: return "newcard";
    case ActionId::Preview: return "preview";
    case ActionId::AddPrg: return "addpage";
    case ActionId::DelPrg: return "delpage";
    case ActionId::CopyPrg: return "copypage";
    case ActionId::PastePrg: return "pastepage";
    case ActionId::AddRgn: return "addregion";
    case ActionId::DelRegion: return "delregion";
    case ActionId::DelFodder: return "delmaterial";
    case ActionId::CmmParaSet: return "settings";
    case ActionId::Help: return "help";
    default: return nullptr;
    }
}

QIcon iconOf(ActionId id)
{
    const char* name = iconName(id);
    if (!name)
        return {};
    return QIcon(QStringLiteral(":/workspace/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace

ActionSet::ActionSet(QObject* parent)
    : QObject(parent)
{
    initWorkspaceIcons();
    for (int i = 0; i < kActionCount; ++i) {
        const auto id = static_cast<ActionId>(i);
        auto* a = new QAction(actionDefaultCaption(id), this);
        a->setObjectName(actionName(id));
        a->setShortcut(shortcutOf(id));
        a->setIcon(iconOf(id));
        // Ctrl+C and Ctrl+V copy and paste pages anywhere in the window; a
        // text box that has the focus still gets them first.
        a->setShortcutContext(Qt::WindowShortcut);
        actions_.insert(id, a);
        if (!isMenuHeading(id))
            connect(a, &QAction::triggered, this, [this, id] { emit triggered(id); });
    }
    action(ActionId::Colck)->setVisible(false);
    action(ActionId::MovieTool)->setEnabled(false);

    languages_ = new QActionGroup(this);
    languages_->setExclusive(true);
    for (ActionId id : {ActionId::SimpleChn, ActionId::TraditionalChn, ActionId::English}) {
        action(id)->setCheckable(true);
        languages_->addAction(action(id));
    }

    const PopupItem items[] = {
        PopupItem::NewCard, PopupItem::DelCard,   PopupItem::ReName, PopupItem::SendPrg,   PopupItem::Send,
        PopupItem::NewPrg,  PopupItem::InsertPrg, PopupItem::SavePrg, PopupItem::AddPrg,   PopupItem::DelPrg,
        PopupItem::AddRgn,  PopupItem::DelRegion, PopupItem::DelFodder, PopupItem::Export, PopupItem::Collapse,
    };
    // Captions are the actions' ones, and the collapse entry's own, set by
    // retranslate().
    for (const PopupItem item : items) {
        const auto target = actionOfPopupItem(item);
        auto* a = new QAction(target ? action(*target)->text() : QString(), this);
        a->setObjectName(QStringLiteral("pm") + (target ? actionName(*target).mid(3) : QStringLiteral("Collapse")));
        if (target)
            a->setIcon(action(*target)->icon());
        popup_.insert(item, a);
        connect(a, &QAction::triggered, this, [this, item] { emit popupTriggered(item); });
    }
    // Copy and paste page share the actions themselves.
    popup_.insert(PopupItem::CopyPrg, action(ActionId::CopyPrg));
    popup_.insert(PopupItem::PastePrg, action(ActionId::PastePrg));
    popupItem(PopupItem::ReName)->setVisible(false);
}

QList<QAction*> ActionSet::all() const
{
    QList<QAction*> list;
    for (int i = 0; i < kActionCount; ++i)
        list << actions_.value(static_cast<ActionId>(i));
    return list;
}

void ActionSet::retranslate()
{
    const LanguageTable& table = currentLanguageTable();
    for (QAction* a : all()) {
        if (const rLgMap* row = table.rowForName(kActionCategory, a->objectName())) {
            a->setText(row->text);
            a->setToolTip(row->text);
        }
    }
    // A table without an export row (the traditional one) names it as the
    // USB-disk window does.
    if (!table.rowForName(kActionCategory, QStringLiteral("actExport2UDisk"))) {
        const QString exportText = table.text(kUsbDiskCategory, QStringLiteral("udisk_export"));
        if (!exportText.isEmpty()) {
            action(ActionId::Export2UDisk)->setText(exportText);
            action(ActionId::Export2UDisk)->setToolTip(exportText);
        }
    }
    for (auto it = popup_.cbegin(); it != popup_.cend(); ++it) {
        const auto target = actionOfPopupItem(it.key());
        if (it.key() == PopupItem::Collapse) {
            const QString collapse = table.text(kMessageCategory, QStringLiteral("popup_collapse"));
            if (!collapse.isEmpty())
                it.value()->setText(collapse);
            continue;
        }
        if (!target || it.value() == action(*target))
            continue;
        it.value()->setText(action(*target)->text());
    }
}

void ActionSet::applyStates(const QList<QPair<ActionId, bool>>& states)
{
    for (const auto& s : states) {
        if (QAction* a = action(s.first))
            a->setEnabled(s.second);
    }
}

void ActionSet::applyPopupStates(const QList<QPair<PopupItem, bool>>& states)
{
    for (const auto& s : states) {
        if (QAction* a = popupItem(s.first))
            a->setEnabled(s.second);
    }
}

} // namespace ledsign
