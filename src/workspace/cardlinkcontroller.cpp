#include "workspace/cardlinkcontroller.h"

#include "config/scanmodes.h"
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
#include "workspace/workspacesession.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

namespace ledsign {

namespace {

// Border of a card panel around its LEDs.
constexpr int kCardPanelBorder = 16;

bool isNoAddress(const QString& ip)
{
    return ip.trimmed() == QLatin1String(kNoAddress);
}

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
    , m_dialogs(std::make_unique<QtCardLinkDialogs>(&window, session.settings()))
    , m_udp(m_link.channels(), session.settings())
    , m_search(m_link.channels(), session.settings(), m_udp)
    , m_params(m_link, session.settings(), m_udp)
{
    m_retry.setInterval(kAddressRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &CardLinkController::retryAddress);
    m_search.setLastHostProvider([this] { return m_lastHost(); });
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

void CardLinkController::setAdapterSource(std::function<QList<TAdapterInfo>()> adapters)
{
    if (adapters)
        m_adapters = std::move(adapters);
}

void CardLinkController::setLastHostSource(std::function<QString()> lastHost)
{
    if (lastHost)
        m_lastHost = std::move(lastHost);
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
        if (sizeChanged && index >= 0 && index < cards.size())
            m_window.changeCardSize(index, cards[index].width, cards[index].height);
    });
    // A card nobody knows may be the one the operator made in the window:
    // the selected off-line card without a code of its own is offered it.
    registrations.setCodeClaim([this](const QString& code) {
        const QString name = tieCandidate(m_session.model(), m_window.selection().cardName());
        if (name.isEmpty()
            || !m_window.dialogs().askYesNo(messageText(QStringLiteral("dlg_tie_card")).arg(code, name)))
            return QString();
        m_session.noteChange(); // the card list keeps the code
        return name;
    });
    connect(&registrations, &Registrations::cardSelected, this, [this](const QString& name) {
        m_window.selectCard(name);
        m_window.refreshCardState(name);
    });

    connect(&m_udp, &UdpConfig::searchStatus, &m_window, &MainWindow::showStatus);
    // A search reply outside network mode switches to it.
    connect(&m_udp, &UdpConfig::searchReplyReceived, this, &CardLinkController::syncCommMode);
    connectUdpRegistration(m_udp, registrations);

    m_search.follow(m_link);
    connect(&m_search, &CardSearch::statusText, &m_window, &MainWindow::showStatus);
    connect(&m_search, &CardSearch::cardNodesReset, this, [this] { m_link.scheduler().markTree(1); });
    connect(&m_search, &CardSearch::searchRunningChanged, this,
            [this](bool running) { m_link.scheduler().state().searchRunning = running; });
    connect(&m_search, &CardSearch::presenceTimerRestart, this,
            [this](int) { m_link.scheduler().restartPresenceAfterSearch(); });

    // The parameter window shows its own messages; a refusal to open comes
    // before there is a window.
    connect(&m_params, &ParamConfig::messageBox, this, [this](const QString& text) {
        if (!m_parametersShowing)
            m_dialogs->showMessage(text);
    });
    connect(&m_params, &ParamConfig::cardSizeChanged, this,
            [this](int index, int width, int height) { m_window.changeCardSize(index, width, height); });
}

void CardLinkController::applyChannelControls()
{
    const CommChannels& channels = m_link.channels();
    m_window.serialButton()->setText(channels.serialButtonCaption());
    m_window.serialButton()->setVisible(channels.serialButtonVisible());
    m_window.groupSendBox()->setVisible(channels.groupSendBoxVisible());
}

void CardLinkController::syncCommMode()
{
    m_link.setCommMode(commModeKind(m_session.settings().commMode, currentCommModeTexts()));
}

QString CardLinkController::channelStatus() const
{
    return m_started ? m_link.channels().channelStatusText() : QString();
}

// ---------------------------------------------------------------- start-up

void CardLinkController::startLink()
{
    AppSettings& settings = m_session.settings();

    // The parameter window's lists and the internal codes of the 485 line.
    m_params.setScanModes(ScanModeTable::forCurrentLanguage());
    m_params.setSettingsPath(m_session.folders().settingsFile());
    m_params.setInnerCodes(loadInnerCodes(m_session.settingsFile().ini()));

    // Searches go to the broadcast address of the settings when it is an
    // IPv4 address; anything else keeps the limited broadcast.
    const QHostAddress broadcast(settings.broadcastIP);
    if (broadcast.protocol() == QAbstractSocket::IPv4Protocol)
        m_udp.setBroadcastAddress(broadcast);
    else if (!settings.broadcastIP.isEmpty())
        m_window.showStatus(QStringLiteral("BroadcastIP \"%1\" is not an IPv4 address; searching on 255.255.255.255.")
                                .arg(settings.broadcastIP));

    SendState& state = m_link.scheduler().state();
    state.sendDelay = settings.netDelayTime;
    state.pollTime = settings.pollTime;
    state.groupList = settings.groupNames;

    // The server address. The address is looked up once here; when there is
    // none yet, a timer asks again instead of holding the window.
    const QList<TAdapterInfo> adapters = m_adapters();
    bool retrying = false;
    const StartupChoice choice = chooseServerIpAtStartup(
        adapters, settings.serverIP, settings.isShowMulNetCard,
        [&] { return m_dialogs->chooseAdapter(adapters, settings.serverIP); },
        [&] { return retrying ? QString::fromLatin1(kNoAddress) : m_lastHost(); }, [&](int) { retrying = true; });
    settings.serverIP = choice.serverIp;
    settings.isShowMulNetCard = choice.isShowMulNetCard;

    // From now on the card nodes show the states the send supervision keeps.
    m_window.tree()->setStateSource([this](const QString& name) { return m_link.scheduler().nodeState(name); });
    // The level-0 nodes are the scheduler's: a card that registers on a
    // plain serial line may leave only itself in the tree.
    m_window.tree()->setShownCards([this] { return m_link.scheduler().treeCards(); });
    m_window.refreshCardStates();

    // The UDP listener on that address and the channel of the mode.
    m_started = true;
    const CommModeTexts texts = currentCommModeTexts();
    m_link.openAtStartup(settings, QHostAddress(settings.serverIP.trimmed()), texts);
    m_window.showChannelStatus(m_link.channels().channelStatusText());
    applyChannelControls();

    // Known network cards are told where the server is.
    if (commModeKind(settings.commMode, texts) == CommModeKind::Network && !isNoAddress(settings.serverIP)) {
        const datagram::Ipv4 mask = ReadSubnetMask(settings.serverIP, adapters);
        for (const TFIXModem& card : m_session.model().cards())
            m_udp.repointKnownCard(card, mask);
    }

    if (isNoAddress(settings.serverIP)) {
        m_retriesLeft = kAddressRetries;
        m_retry.start();
    }
}

void CardLinkController::retryAddress()
{
    const QString ip = m_lastHost();
    --m_retriesLeft;
    if (!isNoAddress(ip)) {
        m_session.settings().serverIP = ip;
        m_link.channels().bindUdpListener(QHostAddress(ip));
        m_retry.stop();
    } else if (m_retriesLeft <= 0) {
        m_retry.stop();
    }
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
    const auto found = m_session.model().findCard(selectedCardName());
    if (!found)
        return;
    TFIXModem& card = *found.record;
    // A network card is asked on its own connection; a read written to a
    // serial port that is not open would reach nobody.
    int mode = CardCommandSender::kSerialPlain;
    if (m_link.scheduler().state().rs485Mode)
        mode = CardCommandSender::kSerial485;
    else if (card.linkKind == 2)
        mode = CardCommandSender::kConnection;
    m_link.commands().readParameters(card, mode);
}

void CardLinkController::searchCards(bool fromAction)
{
    const AppSettings& settings = m_session.settings();
    const datagram::Ipv4 mask = ReadSubnetMask(settings.serverIP, m_adapters());
    if (!m_search.begin(fromAction, systemSerialPorts(), m_params.innerCodes(), mask))
        return;
    m_dialogs->runSearch(m_search);
    m_search.end();
    // A serial search leaves the mode of the port that answered.
    syncCommMode();
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
    if (!m_params.open(hasSelection, index, width, height, reported))
        return;
    m_parametersShowing = true;
    m_dialogs->runParameters(m_params);
    m_parametersShowing = false;
    syncCommMode();
    // The window stored the codes in the file; the copy written on exit must
    // carry them too, or the exit would put the old list back.
    saveInnerCodes(m_session.settingsFile().ini(), m_params.innerCodes());
    if (m_params.afterClose() == AfterClose::Search)
        searchCards(false);
}

void CardLinkController::toggleSearchSwitch()
{
    m_search.toggleSearchSwitch();
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
    const auto found = m_session.model().findCard(cardName);
    if (!found)
        return;
    m_link.channels().sendIdentityQueryToCard(*found.record);

    // The running download names its card by list position.
    SendScheduler& scheduler = m_link.scheduler();
    SendState& state = scheduler.state();
    const int index = int(found.index);
    if (state.cardUnderSend == index) {
        scheduler.stopPackets();
        scheduler.stopRepeatTimer();
        scheduler.stopHeaderWatchdog();
        state.cardUnderSend = -1;
        state.failureCount = -1;
        state.lastProgress = -1;
        state.keptDescription.clear();
    } else if (state.cardUnderSend > index) {
        --state.cardUnderSend;
    }
    const int slot = int(state.groupSlots.indexOf(cardName));
    if (slot >= 0) {
        state.groupSlots.removeAt(slot);
        if (slot < state.groupNext)
            --state.groupNext;
    }
}

// ---------------------------------------------------------------- exit

void CardLinkController::releaseCards()
{
    m_retry.stop();
    m_udp.releaseAll();
}

void CardLinkController::closeChannels()
{
    m_link.scheduler().stopPackets();
    m_link.scheduler().setPresenceRunning(false);
    m_link.channels().closeServer();
    if (m_link.channels().serial().isOpen())
        m_link.channels().closeSerialPort();
}

} // namespace ledsign
