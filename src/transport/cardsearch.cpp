#include "transport/cardsearch.h"

#include "language/language.h"
#include "model/settings.h"
#include "protocol/cardcommands.h"
#include "protocol/frame.h"
#include "transport/adapters.h"
#include "transport/cardlink.h"
#include "transport/channelstartup.h"
#include "transport/commchannels.h"
#include "transport/udpconfig.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace ledsign {

QList<SerialCandidate> buildSerialCandidates(const QString& commParam01, const QString& commParam02,
                                             const QStringList& systemPorts)
{
    QList<SerialCandidate> out;
    const QString stored = commParam01.trimmed();
    const bool haveStored = !stored.isEmpty() && !commParam02.trimmed().isEmpty();
    if (haveStored) {
        out.append({stored, baudRateFromText(commParam02)});
        for (int baud : kSearchBaudRates)
            out.append({stored, baud});
    }
    for (const QString& port : systemPorts) {
        if (haveStored && port.trimmed() == stored)
            continue;
        for (int baud : kSearchBaudRates)
            out.append({port.trimmed(), baud});
    }
    return out;
}

SearchTiming searchTiming(int kind, int codeCount, int candidateCount)
{
    switch (kind) {
    case kSearch485: return {std::max(20, 3 * codeCount + 3), 3, 2};
    case kSearchSerial: return {std::max(20, 3 * candidateCount), 3, 3};
    default: return {30, 2, 2};
    }
}

QStringList systemSerialPorts()
{
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names << info.portName();
    return names;
}

CardSearch::CardSearch(CommChannels& channels, AppSettings& settings, UdpConfig& udp, QObject* parent)
    : QObject(parent)
    , m_channels(channels)
    , m_settings(settings)
    , m_udp(udp)
    , m_lastHost(&LastHostAddress)
{
    connect(&m_timer, &QTimer::timeout, this, &CardSearch::onTick);
    connect(&udp, &UdpConfig::searchReplyReceived, this, [this] { m_kind = kSearchNetworkAnswered; });
}

void CardSearch::follow(CardLink& link)
{
    connect(&link.dispatcher(), &ReplyDispatcher::cardAnsweredOnSerial, this, &CardSearch::serialReplyArrived);
    connect(&link.registrations(), &Registrations::rs485CodeFound, this, &CardSearch::codeAnswered);
}

bool CardSearch::begin(bool fromAction, const QStringList& systemPorts, const QStringList& internalCodes,
                       const datagram::Ipv4& mask)
{
    if (fromAction)
        m_channels.setReceiveChannel(ReceiveChannel::None);
    if (!m_settings.isOpenSearch) {
        emit statusText(messageText("tip_card_search_close_enable"));
        return false;
    }
    m_udp.searchList().clear();
    emit cardNodesReset();
    m_systemPorts = systemPorts;
    m_internalCodes = internalCodes;

    const CommModeKind mode = commModeKind(m_settings.commMode, currentCommModeTexts());
    if (mode == CommModeKind::Rs485)
        m_kind = kSearch485;
    else if (!fromAction || mode == CommModeKind::Network)
        m_kind = kSearchNetwork;
    else
        m_kind = kSearchSerial;
    m_udp.setSearchKind(m_kind);

    if (m_kind != kSearch485) {
        m_udp.prepareSearch(mask);
        m_running = true;
        emit searchRunningChanged(true);
    }
    return true;
}

void CardSearch::start()
{
    m_found = false;
    m_networkTicks = 0;
    m_codePosition = 0;
    m_candidates.clear();
    m_codes.clear();
    if (m_kind == kSearch485 || m_kind == kSearchSerial)
        m_candidates = buildSerialCandidates(m_settings.commParam01, m_settings.commParam02, m_systemPorts);
    if (m_kind == kSearch485) {
        for (const QString& code : m_internalCodes)
            m_codes.append({code.trimmed(), false});
        if (m_codes.isEmpty())
            m_codes.append({QString::fromLatin1(kNoInternalCode), false});
    }
    const SearchTiming timing = searchTiming(m_kind, int(m_codes.size()), int(m_candidates.size()));
    m_total = timing.totalSeconds;
    m_remaining = m_total;
    m_step = timing.step;
    emit progressChanged(m_remaining, m_total);
    m_timer.start(timing.tickSeconds * m_unitMs);
}

void CardSearch::stop()
{
    const bool wasTicking = m_timer.isActive();
    m_timer.stop();
    if (wasTicking)
        emit closeWanted();
}

void CardSearch::end()
{
    m_timer.stop();
    if (m_running) {
        m_running = false;
        emit searchRunningChanged(false);
    }
    if (m_kind == kSearchNetwork || m_kind == kSearchNetworkAnswered)
        emit presenceTimerRestart(kPresenceIntervalAfterSearch);
}

void CardSearch::toggleSearchSwitch()
{
    m_settings.isOpenSearch = !m_settings.isOpenSearch;
    emit statusText(messageText(m_settings.isOpenSearch ? "tip_card_search_enable" : "tip_card_search_close"));
}

void CardSearch::serialReplyArrived()
{
    if (!m_timer.isActive() || m_kind == kSearch485)
        return;
    m_kind = kSearchSerial;
    m_found = true;
}

void CardSearch::codeAnswered(const QString& code)
{
    for (CodeEntry& entry : m_codes)
        if (entry.code == code.trimmed())
            entry.answered = true;
}

QStringList CardSearch::codeCycle() const
{
    QStringList out;
    for (const CodeEntry& entry : m_codes)
        out << entry.code;
    return out;
}

void CardSearch::onTick()
{
    const bool serialDone = m_kind == kSearchSerial && m_candidates.isEmpty();
    if (m_remaining <= 0 || m_found || serialDone) {
        stop();
        return;
    }
    m_remaining -= m_step;
    emit progressChanged(std::max(0, m_remaining), m_total);
    switch (m_kind) {
    case kSearchNetwork:
    case kSearchNetworkAnswered: tickNetwork(); break;
    case kSearchSerial: tickSerial(); break;
    case kSearch485: tick485(); break;
    default: break;
    }
}

void CardSearch::tickNetwork()
{
    emit captionChanged(u'[' + currentCommModeTexts().network + u']' + messageText("tip_search_card"));
    if (m_settings.serverIP.trimmed() == QLatin1String(kNoAddress) && m_lastHost)
        m_settings.serverIP = m_lastHost();
    const QString server = m_settings.serverIP.trimmed();
    if (server == QLatin1String(kNoAddress) || !datagram::ipFromText(server))
        return;
    // Rebinding drops datagrams in flight; only move when the address changed.
    UdpListener& listener = m_channels.udp();
    const QHostAddress address(server);
    if (!listener.isBound() || listener.localAddress() != address)
        m_channels.bindUdpListener(address, m_udp.listenPort());
    m_udp.sendSearchRequest();
    if (++m_networkTicks == kEnlargeAtTick)
        emit enlargeWanted();
}

void CardSearch::tickSerial()
{
    if (m_candidates.isEmpty())
        return;
    const SerialCandidate candidate = m_candidates.takeFirst();
    const bool opened = m_channels.openSerialPort(kAfterOpenIdentityQuery, candidate.port, candidate.baud);
    emit captionChanged(u'[' + currentCommModeTexts().serial + QStringLiteral("][") + candidate.port
                        + QStringLiteral("][") + QString::number(candidate.baud) + u']' + messageText("tip_search_card"));
    m_settings.commMode = currentCommModeTexts().serial;
    m_settings.commParam01 = candidate.port;
    m_settings.commParam02 = QString::number(candidate.baud);
    if (!opened)
        m_candidates.removeIf([&](const SerialCandidate& c) { return c.port == candidate.port; });
}

void CardSearch::tick485()
{
    // With no internal codes kept there is no card to ask.
    if (m_internalCodes.isEmpty() || m_codes.isEmpty()) {
        stop();
        return;
    }
    if (std::all_of(m_codes.cbegin(), m_codes.cend(), [](const CodeEntry& e) { return e.answered; })) {
        // Every card on the line has reported itself.
        m_found = true;
        stop();
        return;
    }
    const int count = int(m_codes.size());
    int index = m_codePosition % count;
    while (m_codes[index].answered)
        index = (index + 1) % count;
    const QByteArray packet = commands::in485Packet(frame::identityQuery(), m_codes[index].code);
    if (!packet.isEmpty())
        m_channels.serial().write(packet);
    emit captionChanged(QStringLiteral("[485][") + m_settings.commParam01 + QStringLiteral("][")
                        + m_settings.commParam02 + u']' + messageText("tip_search_card"));
    m_codePosition = (index + 1) % count;
}

} // namespace ledsign
