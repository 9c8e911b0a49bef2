// Card search and configuration over UDP: sends the search, detail,
// parameter, network-setting and release datagrams, and handles what the
// cards answer on the UDP listener. A search reply is answered with a detail
// request; a detail reply either goes to the parameter window, has a card's
// interface flag cleared, or gets the card its network setting (with a
// temporary address in the PC's subnet when its own cannot be used) and has
// it registered. Everything the windows show is reported by signals.
#pragma once

#include "model/tfixmodem.h"
#include "transport/datagram.h"
#include "transport/hostpool.h"
#include "transport/searchlist.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>

#include <functional>

namespace ledsign {

struct AppSettings;
class CommChannels;
class Registrations;

// Search kinds of the search window.
enum SearchKind : int {
    kSearch485 = 0,
    kSearchNetwork = 1,
    kSearchNetworkAnswered = 2,
    kSearchSerial = 3,
};

// The card versions from which a detail request goes by MAC.
inline constexpr int kDetailByMacVersion = 54;

// What a configured card is registered with.
struct UdpRegistration {
    QString name;
    datagram::Mac mac{};
    std::array<quint8, 8> internalCode{};
    datagram::Ipv4 cardIp{};
    int width = 0;
    int height = 0;
    int colorIndex = 0;   // 0 single, 1 dual, 2 tri-colour
    int version = 0;
};

class UdpConfig : public QObject {
    Q_OBJECT
public:
    UdpConfig(CommChannels& channels, AppSettings& settings, QObject* parent = nullptr);

    // Where datagrams for every card go (255.255.255.255 unless set) and the
    // cards' port (8800 unless set).
    void setBroadcastAddress(const QHostAddress& address) { m_broadcast = address; }
    QHostAddress broadcastAddress() const { return m_broadcast; }
    void setCardPort(quint16 port) { m_cardPort = port; }
    quint16 cardPort() const { return m_cardPort; }
    // The port the listener binds to when a search rebinds it.
    void setListenPort(quint16 port) { m_listenPort = port; }
    quint16 listenPort() const { return m_listenPort; }

    // Where the server listens when a search reply switches to network mode
    // (every local address unless set).
    void setServerListenAddress(const QHostAddress& address) { m_serverAddress = address; }
    QHostAddress serverListenAddress() const { return m_serverAddress; }

    void setAddressProber(AddressProber prober) { m_answers = std::move(prober); }
    void setArpClearer(std::function<void(const QString&)> clear) { m_clearArp = std::move(clear); }

    SearchList& searchList() { return m_list; }
    const SearchList& searchList() const { return m_list; }
    // A search begins: the PC's subnet mask and the pool of free host numbers
    // for the server IP.
    void prepareSearch(const datagram::Ipv4& mask);
    datagram::Ipv4 subnetMask() const { return m_mask; }
    const QList<int>& hostPool() const { return m_pool; }

    void setParamWindowShowing(bool showing) { m_paramWindowShowing = showing; }
    bool paramWindowShowing() const { return m_paramWindowShowing; }

    int searchKind() const { return m_kind; }
    void setSearchKind(int kind) { m_kind = kind; }

    // --- sending (errors are ignored; the results say whether a datagram left)
    bool sendSearchRequest();
    bool sendDetailRequest(bool byMac, const QString& cardIp, const datagram::Mac& mac);
    bool sendParameterWrite(const datagram::Mac& mac, const QByteArray& block);
    bool sendNetworkSetting(const datagram::Mac& mac, const datagram::Ipv4& cardIp, const datagram::Ipv4& mask,
                            const datagram::Ipv4& serverIp, quint16 serverPort);
    bool sendReleaseNotice(const datagram::Mac& mac);
    // On exit: the release notice for every listed card, two rounds.
    void releaseAll(int pauseMs = 20);

    // The listener's handler.
    void handleDatagram(const QByteArray& bytes, const QHostAddress& local);

    // Start-up: a known card of version 54 or more is told the server again
    // when it sits in the PC's subnet. False when nothing was sent.
    bool repointKnownCard(const TFIXModem& card, const datagram::Ipv4& mask);

    // The parameter window gave a card a new address.
    void updateSearchEntry(const datagram::Mac& mac, const datagram::Ipv4& cardIp);

signals:
    // Panel 4 of the main window's status bar.
    void searchStatus(const QString& text);
    // A detail reply while the parameter window shows.
    void detailReplyForWindow(const ledsign::datagram::DetailReply& reply);
    // A search reply arrived (the search kind is now 2).
    void searchReplyReceived();
    // A card was sent its network setting and is to be registered.
    void cardConfigured(const ledsign::UdpRegistration& card);

private:
    bool send(const QByteArray& datagram, const QHostAddress& to);
    void handleDetailReply(const datagram::DetailReply& reply);
    void handleSearchReply(const datagram::SearchReply& reply);
    void enterNetworkMode();

    CommChannels& m_channels;
    AppSettings& m_settings;
    SearchList m_list;
    QHostAddress m_broadcast{QHostAddress::Broadcast};
    quint16 m_cardPort = datagram::kCardPort;
    quint16 m_listenPort = 4480;
    QHostAddress m_serverAddress{QHostAddress::Any};
    AddressProber m_answers;
    std::function<void(const QString&)> m_clearArp;
    datagram::Ipv4 m_mask{255, 255, 255, 0};
    QList<int> m_pool;
    bool m_paramWindowShowing = false;
    int m_kind = kSearchNetwork;
    // Versions named by search replies, by MAC text.
    QHash<QString, int> m_versions;
};

// Registers every card the configuration has just pointed at the server.
void connectUdpRegistration(UdpConfig& udp, Registrations& registrations);

} // namespace ledsign
