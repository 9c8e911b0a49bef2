#include "session/linksession.h"

#include "config/scanmodes.h"
#include "model/inifile.h"
#include "model/settingsfile.h"
#include "session/workspacesession.h"
#include "transport/cardlink.h"
#include "transport/channelstartup.h"

namespace ledsign {

namespace {

bool isNoAddress(const QString& ip)
{
    return ip.trimmed() == QLatin1String(kNoAddress);
}

} // namespace

LinkSession::LinkSession(WorkspaceSession& session, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_link(session.link())
    , m_udp(m_link.channels(), session.settings())
    , m_search(m_link.channels(), session.settings(), m_udp)
    , m_params(m_link, session.settings(), m_udp)
{
    m_retry.setInterval(kAddressRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &LinkSession::retryAddress);
    m_search.setLastHostProvider([this] { return m_lastHost(); });

    // A search reply outside network mode switches to it.
    connect(&m_udp, &UdpConfig::searchReplyReceived, this, &LinkSession::syncCommMode);
    connectUdpRegistration(m_udp, m_link.registrations());

    m_search.follow(m_link);
    connect(&m_search, &CardSearch::cardNodesReset, this, [this] { m_link.scheduler().markTree(1); });
    connect(&m_search, &CardSearch::searchRunningChanged, this,
            [this](bool running) { m_link.scheduler().state().searchRunning = running; });
    connect(&m_search, &CardSearch::presenceTimerRestart, this,
            [this](int) { m_link.scheduler().restartPresenceAfterSearch(); });
}

LinkSession::~LinkSession() = default;

void LinkSession::setAdapterSource(std::function<QList<TAdapterInfo>()> adapters)
{
    if (adapters)
        m_adapters = std::move(adapters);
}

void LinkSession::setLastHostSource(std::function<QString()> lastHost)
{
    if (lastHost)
        m_lastHost = std::move(lastHost);
}

QString LinkSession::channelStatus() const
{
    return m_started ? m_link.channels().channelStatusText() : QString();
}

void LinkSession::syncCommMode()
{
    m_link.setCommMode(commModeKind(m_session.settings().commMode, currentCommModeTexts()));
}

datagram::Ipv4 LinkSession::subnetMask() const
{
    return ReadSubnetMask(m_session.settings().serverIP, m_adapters());
}

// ---------------------------------------------------------------- start-up

void LinkSession::prepare(const AdapterChooser& choose)
{
    AppSettings& settings = m_session.settings();

    // The parameter configuration's lists and the internal codes of the 485 line.
    m_params.setScanModes(ScanModeTable::forCurrentLanguage());
    m_params.setSettingsPath(m_session.folders().settingsFile());
    m_params.setInnerCodes(loadInnerCodes(m_session.settingsFile().ini()));

    // Searches go to the broadcast address of the settings when it is an
    // IPv4 address; anything else keeps the limited broadcast.
    const QHostAddress broadcast(settings.broadcastIP);
    if (broadcast.protocol() == QAbstractSocket::IPv4Protocol)
        m_udp.setBroadcastAddress(broadcast);
    else if (!settings.broadcastIP.isEmpty())
        emit statusMessage(QStringLiteral("BroadcastIP \"%1\" is not an IPv4 address; searching on 255.255.255.255.")
                               .arg(settings.broadcastIP));

    SendState& state = m_link.scheduler().state();
    state.sendDelay = settings.netDelayTime;
    state.pollTime = settings.pollTime;
    state.groupList = settings.groupNames;

    // The server address. The address is looked up once here; when there is
    // none yet, a timer asks again instead of holding the start.
    m_startAdapters = m_adapters();
    bool retrying = false;
    const StartupChoice choice = chooseServerIpAtStartup(
        m_startAdapters, settings.serverIP, settings.isShowMulNetCard,
        [&]() -> std::optional<AdapterChoice> {
            return choose ? choose(m_startAdapters, settings.serverIP) : std::nullopt;
        },
        [&] { return retrying ? QString::fromLatin1(kNoAddress) : m_lastHost(); }, [&](int) { retrying = true; });
    settings.serverIP = choice.serverIp;
    settings.isShowMulNetCard = choice.isShowMulNetCard;
}

bool LinkSession::open()
{
    AppSettings& settings = m_session.settings();
    m_started = true;
    const CommModeTexts texts = currentCommModeTexts();
    const bool opened = m_link.openAtStartup(settings, QHostAddress(settings.serverIP.trimmed()), texts);

    // Known network cards are told where the server is.
    if (commModeKind(settings.commMode, texts) == CommModeKind::Network && !isNoAddress(settings.serverIP)) {
        const datagram::Ipv4 mask = ReadSubnetMask(settings.serverIP, m_startAdapters);
        for (const TFIXModem& card : m_session.model().cards())
            m_udp.repointKnownCard(card, mask);
    }

    if (isNoAddress(settings.serverIP)) {
        m_retriesLeft = kAddressRetries;
        m_retry.start();
    }
    return opened;
}

void LinkSession::retryAddress()
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

// ---------------------------------------------------------------- card actions

void LinkSession::readScreenParameters(const QString& cardName)
{
    const auto found = m_session.model().findCard(cardName);
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

void LinkSession::forgetCard(const QString& cardName)
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

void LinkSession::releaseCards()
{
    m_retry.stop();
    m_udp.releaseAll();
}

void LinkSession::closeChannels()
{
    m_link.scheduler().stopPackets();
    m_link.scheduler().setPresenceRunning(false);
    m_link.channels().closeServer();
    if (m_link.channels().serial().isOpen())
        m_link.channels().closeSerialPort();
}

} // namespace ledsign
