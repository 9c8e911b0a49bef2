#include "transport/udpconfig.h"

#include "language/language.h"
#include "model/settings.h"
#include "protocol/registrations.h"
#include "transport/adapters.h"
#include "transport/addressprobe.h"
#include "transport/arp.h"
#include "transport/channelstartup.h"
#include "transport/commchannels.h"

#include <QThread>

#include <algorithm>

namespace ledsign {

namespace {

constexpr int kBlockInterfaceFlag = 11;
constexpr int kBlockAddress485 = 10;
constexpr int kBlockEmptyAndRows = 16;
constexpr int kBlockWidth = 2;
constexpr int kBlockHeight = 4;
constexpr int kBlockColour = 6;

std::optional<datagram::Ipv4> usableServerIp(const QString& serverIp)
{
    if (serverIp.trimmed() == QLatin1String(kNoAddress))
        return std::nullopt;
    return datagram::ipFromText(serverIp);
}

} // namespace

UdpConfig::UdpConfig(CommChannels& channels, AppSettings& settings, QObject* parent)
    : QObject(parent)
    , m_channels(channels)
    , m_settings(settings)
    , m_answers([](const QString& address) { return addressAnswers(address); })
    , m_clearArp([](const QString& address) { clearArpEntry(address); })
{
    connect(&channels, &CommChannels::datagramReceived, this,
            [this](const QByteArray& datagram, const QHostAddress&, quint16, const QHostAddress& local) {
                handleDatagram(datagram, local);
            });
}

void UdpConfig::prepareSearch(const datagram::Ipv4& mask)
{
    m_mask = mask;
    const auto server = datagram::ipFromText(m_settings.serverIP);
    m_pool = buildHostPool(mask[3], server ? (*server)[3] : 0);
}

bool UdpConfig::send(const QByteArray& datagram, const QHostAddress& to)
{
    return !datagram.isEmpty() && m_channels.udp().send(datagram, to, m_cardPort) == datagram.size();
}

bool UdpConfig::sendSearchRequest()
{
    return send(datagram::searchRequest(), m_broadcast);
}

bool UdpConfig::sendDetailRequest(bool byMac, const QString& cardIp, const datagram::Mac& mac)
{
    if (byMac)
        return send(datagram::detailRequestByMac(mac), m_broadcast);
    const QHostAddress to(cardIp.trimmed());
    if (to.isNull())
        return false;
    return send(datagram::detailRequest(), to);
}

bool UdpConfig::sendParameterWrite(const datagram::Mac& mac, const QByteArray& block)
{
    return send(datagram::parameterWrite(mac, block), m_broadcast);
}

bool UdpConfig::sendNetworkSetting(const datagram::Mac& mac, const datagram::Ipv4& cardIp,
                                   const datagram::Ipv4& mask, const datagram::Ipv4& serverIp,
                                   quint16 serverPort)
{
    return send(datagram::networkSetting(mac, cardIp, mask, serverIp, serverPort), m_broadcast);
}

bool UdpConfig::sendReleaseNotice(const datagram::Mac& mac)
{
    return send(datagram::releaseNotice(mac), m_broadcast);
}

void UdpConfig::releaseAll(int pauseMs)
{
    for (int round = 0; round < 2; ++round) {
        for (const SearchEntry& entry : m_list.entries()) {
            sendReleaseNotice(entry.mac);
            if (pauseMs > 0)
                QThread::msleep(ulong(pauseMs));
        }
    }
}

void UdpConfig::handleDatagram(const QByteArray& bytes, const QHostAddress& local)
{
    emit searchStatus(local.toString());
    if (bytes.size() > datagram::kSearchReplyMaxSize) {
        if (const auto reply = datagram::parseDetailReply(bytes))
            handleDetailReply(*reply);
        return;
    }
    if (const auto reply = datagram::parseSearchReply(bytes))
        handleSearchReply(*reply);
}

void UdpConfig::handleDetailReply(const datagram::DetailReply& reply)
{
    if (m_paramWindowShowing) {
        emit detailReplyForWindow(reply);
        return;
    }

    // A card that still carries the interface flag is written back with the
    // flag, its 485 address and its empty-display byte cleared, and is taken
    // as new when it answers again.
    if (reply.block.size() == datagram::kBlockSize && reply.block.at(kBlockInterfaceFlag) != 0) {
        QByteArray block = reply.block;
        block[kBlockInterfaceFlag] = 0;
        block[kBlockAddress485] = 0;
        block[kBlockEmptyAndRows] = 0;
        sendParameterWrite(reply.mac, block);
        m_list.forgetUpTo(m_list.indexOf(reply.mac));
        return;
    }

    const auto server = usableServerIp(m_settings.serverIP);
    // Without a MAC the card could not be told anything.
    if (!server || !reply.hasMac)
        return;

    int index = m_list.indexOf(reply.mac);
    if (index < 0) {
        index = m_list.add(reply.mac, reply.cardIp);
        datagram::Ipv4 address = reply.cardIp;
        if (checkCardAddress(*server, address, m_pool, m_answers) == kCardAddressForeign
            && pickTemporaryAddress(address, *server, m_pool, m_answers))
            m_list.at(index).cardIp = address;
    } else {
        m_list.at(index).cardIp = reply.cardIp;
    }

    SearchEntry& entry = m_list.at(index);
    if (entry.configured)
        return;
    entry.configured = true;
    const QString addressText = datagram::ipText(entry.cardIp);
    if (m_clearArp)
        m_clearArp(addressText);
    sendNetworkSetting(entry.mac, entry.cardIp, m_mask, *server, m_channels.serverPort());

    UdpRegistration card;
    card.name = reply.name;
    card.mac = entry.mac;
    card.internalCode = reply.internalCode;
    card.cardIp = entry.cardIp;
    if (reply.block.size() == datagram::kBlockSize) {
        const auto byteAt = [&](int i) { return int(quint8(reply.block.at(i))); };
        card.width = (byteAt(kBlockWidth) << 8) | byteAt(kBlockWidth + 1);
        card.height = (byteAt(kBlockHeight) << 8) | byteAt(kBlockHeight + 1);
        card.colorIndex = byteAt(kBlockColour) - 1;
    }
    card.version = m_versions.value(datagram::macDecimalText(entry.mac), 0);
    emit cardConfigured(card);
}

void UdpConfig::handleSearchReply(const datagram::SearchReply& reply)
{
    m_kind = kSearchNetworkAnswered;
    emit searchReplyReceived();
    if (commModeKind(m_settings.commMode, currentCommModeTexts()) != CommModeKind::Network)
        enterNetworkMode();
    m_versions.insert(datagram::macDecimalText(reply.mac), reply.version);
    sendDetailRequest(reply.version >= kDetailByMacVersion, datagram::ipText(reply.cardIp), reply.mac);
}

void UdpConfig::enterNetworkMode()
{
    const CommModeTexts texts = currentCommModeTexts();
    if (m_channels.openServer(quint16(m_settings.serverPort), m_serverAddress))
        m_settings.serverPort = m_channels.serverPort();
    m_settings.commMode = texts.network;
    m_settings.commParam01.clear();
    m_settings.commParam02 = QString::number(m_settings.serverPort);
}

bool UdpConfig::repointKnownCard(const TFIXModem& card, const datagram::Ipv4& mask)
{
    const auto server = usableServerIp(m_settings.serverIP);
    const auto cardIp = datagram::ipFromText(card.ipAddress);
    const auto mac = datagram::macFromDecimalText(card.macAddress);
    // A card that never reported (made in the window, MAC all zeros) has no
    // address to be told anything at.
    const bool neverHeard = mac && std::all_of(mac->begin(), mac->end(), [](quint8 b) { return b == 0; });
    if (card.version < kDetailByMacVersion || !server || !cardIp || !mac || neverHeard || m_list.indexOf(*mac) >= 0)
        return false;
    const int index = m_list.add(*mac, *cardIp);
    m_mask = mask;
    m_pool = buildHostPool(mask[3], (*server)[3]);
    const bool sameNetwork = (*server)[0] == (*cardIp)[0] && (*server)[1] == (*cardIp)[1]
        && (*server)[2] == (*cardIp)[2];
    if (!sameNetwork) {
        m_list.remove(index);
        emit searchStatus(messageText(QStringLiteral("warn_comm_IP_exception")));
        return false;
    }
    if (!m_settings.isOpenSearch)
        return false;
    return sendNetworkSetting(*mac, *cardIp, mask, *server, quint16(m_settings.serverPort));
}

void UdpConfig::updateSearchEntry(const datagram::Mac& mac, const datagram::Ipv4& cardIp)
{
    const int index = m_list.indexOf(mac);
    if (index >= 0)
        m_list.at(index).cardIp = cardIp;
    else
        m_list.add(mac, cardIp);
}

void connectUdpRegistration(UdpConfig& udp, Registrations& registrations)
{
    QObject::connect(&udp, &UdpConfig::cardConfigured, &registrations, [&registrations](const UdpRegistration& c) {
        const auto bytes = [](const auto& a) {
            return QByteArray(reinterpret_cast<const char*>(a.data()), qsizetype(a.size()));
        };
        registrations.registerUdp(c.name, bytes(c.mac), bytes(c.internalCode), bytes(c.cardIp), c.width, c.height,
                                  c.colorIndex, c.version);
    });
}

} // namespace ledsign
