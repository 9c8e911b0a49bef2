#include "workspace/cardlinkcontroller.h"

#include "config/ui/paramwindow.h"
#include "language/language.h"
#include "model/cardtie.h"
#include "model/inifile.h"
#include "model/settingsfile.h"
#include "transport/cardlink.h"
#include "transport/channelstartup.h"
#include "transport/ui/adapterchoicewindow.h"
#include "transport/ui/searchwindow.h"
#include "workspace/mainwindow.h"
#include "workspace/mainwindowdialogs.h"
#include "workspace/objecttree.h"
#include "session/workspacesession.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

namespace ledsign {

namespace {

// Border of a card panel around its LEDs.
constexpr int kCardPanelBorder = 16;

} // namespace

// ---------------------------------------------------------------- windows

QtCardLinkDialogs::QtCardLinkDialogs(QWidget* parent, AppSettings& settings)
    : m_parent(parent)
    , m_settings(settings)
{
}

std::optional<AdapterChoice> QtCardLinkDialogs::chooseAdapter(const QList<TAdapterInfo>& adapters,
                                                              const QString& serverIp)
{
    return TfrmMulNetCardChoice::choose(adapters, serverIp, m_parent);
}

void QtCardLinkDialogs::runSearch(CardSearch& search)
{
    TfrmSearch window(search, m_parent);
    window.setScale(m_settings.screenScale);
    window.exec();
}

void QtCardLinkDialogs::runParameters(ParamConfig& config)
{
    TfrmParamCfgSet window(config, m_settings, m_parent);
    window.setScale(m_settings.screenScale);
    window.exec();
}

void QtCardLinkDialogs::showMessage(const QString& text)
{
    QMessageBox::information(m_parent, m_parent ? m_parent->windowTitle() : QString(), text);
}

// ---------------------------------------------------------------- wiring

CardLinkController::CardLinkController(MainWindow& window, WorkspaceSession& session)
    : QObject(&window)
    , m_window(window)
    , m_session(session)
    , m_link(session.link())
    , m_core(session)
    , m_dialogs(std::make_unique<QtCardLinkDialogs>(&window, session.settings()))
{
    // Until a download runs, the progress panel stays empty.
    m_window.progressBar()->hide();
    wire();
}

CardLinkController::~CardLinkController() = default;

void CardLinkController::setDialogs(std::unique_ptr<CardLinkDialogs> dialogs)
{
    if (dialogs)
        m_dialogs = std::move(dialogs);
}

void CardLinkController::wire()
{
    CommChannels& channels = m_link.channels();
    SendScheduler& scheduler = m_link.scheduler();
    Registrations& registrations = m_link.registrations();

    connect(&channels, &CommChannels::channelStatusChanged, &m_window, &MainWindow::showChannelStatus);
    connect(&channels, &CommChannels::statusMessage, &m_window, &MainWindow::showStatus);
    connect(&channels, &CommChannels::controlsChanged, this, &CardLinkController::applyChannelControls);
    connect(&channels, &CommChannels::cardSearchRequested, this, [this] { searchCards(false); });

    connect(&scheduler, &SendScheduler::statusMessage, &m_window, &MainWindow::showStatus);
    connect(&scheduler, &SendScheduler::messageBox, this, [this](const QString& text) { m_dialogs->showMessage(text); });
    connect(&scheduler, &SendScheduler::progressShown, this, [this](int maximum) {
        QProgressBar* bar = m_window.progressBar();
        bar->setRange(0, std::max(1, maximum));
        bar->setValue(0);
        bar->show();
    });
    connect(&scheduler, &SendScheduler::progressMoved, this, [this](int position) {
        QProgressBar* bar = m_window.progressBar();
        bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
    });
    connect(&scheduler, &SendScheduler::progressHidden, this, [this] {
        m_window.progressBar()->setValue(0);
        m_window.progressBar()->hide();
    });
    // A card's state changes one node, not the whole fleet's.
    connect(&scheduler, &SendScheduler::cardStateChanged, this,
            [this](const QString& name, int) { m_window.refreshCardState(name); });
    connect(&scheduler, &SendScheduler::treeChanged, &m_window, &MainWindow::refreshTree);

    // A card that reports itself: a new one gets its node and panel, a known
    // one whose size changed loses its playbill with the old size.
    connect(&registrations, &Registrations::cardAdded, &m_window, &MainWindow::refreshTree);
    connect(&registrations, &Registrations::treeCleared, &m_window, &MainWindow::refreshTree);
    connect(&registrations, &Registrations::cardUpdated, this, [this](int index, bool sizeChanged) {
        const QList<TFIXModem>& cards = m_session.model().cards();
        if (index < 0 || index >= cards.size())
            return;
        const QString name = cards[index].name;
        const std::optional<BindChoice> bound = m_bindChoices.contains(name)
            ? std::optional<BindChoice>(m_bindChoices.take(name))
            : std::nullopt;
        if (!sizeChanged)
            return;
        const QSize size(cards[index].width, cards[index].height);
        if (bound)
            m_window.bindCardSize(index, size, *bound);
        else
            m_window.changeCardSize(index, size.width(), size.height());
    });
    // A card nobody knows may be the one the operator made in the window:
    // the selected off-line card without a code of its own is offered it,
    // with what becomes of its playbill when the sizes differ.
    registrations.setCodeClaim([this](const QString& code, QSize reported) {
        const QString name = tieCandidate(m_session.model(), m_window.selection().cardName());
        if (name.isEmpty())
            return QString();
        const std::optional<BindChoice> choice =
            m_window.dialogs().askBindCard(makeBindOffer(m_session.model(), name, code, reported));
        if (!choice)
            return QString();
        m_bindChoices.insert(name, *choice);
        m_session.noteChange(); // the card list keeps the code
        return name;
    });
    // A card that registers is selected only when the operator has chosen
    // nothing: a selection (and the Undo and Redo of its card) stays.
    connect(&registrations, &Registrations::cardSelected, this, [this](const QString& name) {
        if (m_window.selection().node().isNone())
            m_window.selectCard(name);
        m_window.refreshCardState(name);
    });

    connect(&m_core, &LinkSession::statusMessage, &m_window, &MainWindow::showStatus);
    connect(&m_core.udp(), &UdpConfig::searchStatus, &m_window, &MainWindow::showStatus);
    connect(&m_core.search(), &CardSearch::statusText, &m_window, &MainWindow::showStatus);

    // The parameter window shows its own messages; a refusal to open comes
    // before there is a window.
    connect(&m_core.params(), &ParamConfig::messageBox, this, [this](const QString& text) {
        if (!m_parametersShowing)
            m_dialogs->showMessage(text);
    });
    connect(&m_core.params(), &ParamConfig::cardSizeChanged, this,
            [this](int index, int width, int height) { m_window.changeCardSize(index, width, height); });
}

void CardLinkController::applyChannelControls()
{
    const CommChannels& channels = m_link.channels();
    m_window.serialButton()->setText(channels.serialButtonCaption());
    m_window.serialButton()->setVisible(channels.serialButtonVisible());
    m_window.groupSendBox()->setVisible(channels.groupSendBoxVisible());
}

QString CardLinkController::channelStatus() const
{
    return m_core.channelStatus();
}

// ---------------------------------------------------------------- start-up

void CardLinkController::startLink()
{
    m_core.prepare([this](const QList<TAdapterInfo>& adapters, const QString& serverIp) {
        return m_dialogs->chooseAdapter(adapters, serverIp);
    });

    // From now on the card nodes show the states the send supervision keeps.
    m_window.tree()->setStateSource([this](const QString& name) { return m_link.scheduler().nodeState(name); });
    // The level-0 nodes are the scheduler's: a card that registers on a
    // plain serial line may leave only itself in the tree.
    m_window.tree()->setShownCards([this] { return m_link.scheduler().treeCards(); });
    m_window.refreshCardStates();

    // The UDP listener on that address and the channel of the mode.
    m_core.open();
    m_window.showChannelStatus(m_link.channels().channelStatusText());
    applyChannelControls();
}

// ---------------------------------------------------------------- actions

QString CardLinkController::selectedCardName() const
{
    const SelectionState& selection = m_window.selection();
    return selection.level() == NodeLevel::None ? QString() : selection.cardName();
}

void CardLinkController::send()
{
    SendState& state = m_link.scheduler().state();
    state.groupSend = m_window.groupSendBox()->isChecked();
    state.groupList = m_session.settings().groupNames;
    m_link.scheduler().sendCommand(selectedCardName());
}

void CardLinkController::cardCommand(int kind, int value)
{
    m_link.commands().cardCommand(kind, value, selectedCardName());
}

void CardLinkController::startPlay() { cardCommand(CardCommandSender::kPlayControl, 0); }

void CardLinkController::stopPlay() { cardCommand(CardCommandSender::kPlayControl, 1); }

void CardLinkController::adjustTime() { cardCommand(CardCommandSender::kTimeCalibration, 0); }

void CardLinkController::readScreenParameters()
{
    m_core.readScreenParameters(selectedCardName());
}

void CardLinkController::searchCards(bool fromAction)
{
    CardSearch& search = m_core.search();
    if (!search.begin(fromAction, systemSerialPorts(), m_core.params().innerCodes(), m_core.subnetMask()))
        return;
    m_dialogs->runSearch(search);
    search.end();
    // A serial search leaves the mode of the port that answered.
    m_core.syncCommMode();
}

void CardLinkController::openParameters()
{
    const SelectionState& selection = m_window.selection();
    const bool hasSelection = selection.level() != NodeLevel::None;
    int index = -1;
    int width = 0;
    int height = 0;
    bool reported = false;
    if (hasSelection) {
        const auto found = m_session.model().findCard(selection.cardName());
        if (found) {
            index = int(found.index);
            // The size the card shows on the canvas, in LED pixels: only a
            // real change of size costs the card its playbill, whatever the
            // zoom.
            width = found.record->width + kCardPanelBorder;
            height = found.record->height + kCardPanelBorder;
            reported = m_link.scheduler().nodeState(found.record->name) > kNodeOffline;
        }
    }
    ParamConfig& params = m_core.params();
    if (!params.open(hasSelection, index, width, height, reported))
        return;
    m_parametersShowing = true;
    m_dialogs->runParameters(params);
    m_parametersShowing = false;
    m_core.syncCommMode();
    // The window stored the codes in the file; the copy written on exit must
    // carry them too, or the exit would put the old list back.
    saveInnerCodes(m_session.settingsFile().ini(), params.innerCodes());
    if (params.afterClose() == AfterClose::Search)
        searchCards(false);
}

void CardLinkController::toggleSearchSwitch()
{
    m_core.search().toggleSearchSwitch();
}

void CardLinkController::toggleSerialPort()
{
    m_link.channels().toggleSerialPort();
}

void CardLinkController::cardCreated(const QString& cardName)
{
    m_link.scheduler().addTreeCard(cardName);
}

void CardLinkController::cardDeleting(const QString& cardName)
{
    m_core.forgetCard(cardName);
}

// ---------------------------------------------------------------- exit

void CardLinkController::releaseCards()
{
    m_core.releaseCards();
}

void CardLinkController::closeChannels()
{
    m_core.closeChannels();
}

} // namespace ledsign
