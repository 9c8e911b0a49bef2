// The card link as a session runs it, with windows or without: the parameter
// configuration's lists, the send state from the settings, the server
// address (a chooser is asked when several adapters offer one), the UDP
// listener and the card search on it, the channel of the mode, the known
// cards told the server again, a retry while the host has no address yet,
// the release of a card that is removed, and the closing at exit. The
// editor's card-link controller and the service each drive one.
#pragma once

#include "config/paramconfig.h"
#include "transport/adapters.h"
#include "transport/cardsearch.h"
#include "transport/udpconfig.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

namespace ledsign {

class CardLink;
class WorkspaceSession;

class LinkSession : public QObject {
    Q_OBJECT
public:
    // Asked for the server address when several adapters offer one; nothing
    // keeps the stored address.
    using AdapterChooser =
        std::function<std::optional<AdapterChoice>(const QList<TAdapterInfo>& adapters, const QString& serverIp)>;

    explicit LinkSession(WorkspaceSession& session, QObject* parent = nullptr);
    ~LinkSession() override;

    // Where the adapters and the host's own address come from (tests).
    void setAdapterSource(std::function<QList<TAdapterInfo>()> adapters);
    void setLastHostSource(std::function<QString()> lastHost);

    // The first half of the start: the scan modes and internal codes of the
    // parameter configuration, the broadcast address, the send state from
    // the settings and the server address.
    void prepare(const AdapterChooser& choose = {});
    // The second half: the UDP listener on that address and the channel of
    // the mode; in network mode the known cards are told the server again.
    // Returns whether the channel opened.
    bool open();
    bool started() const { return m_started; }

    // Panel 3 as the channels last set it; empty before the link started.
    QString channelStatus() const;

    // Sending follows the mode in the settings after a search or the
    // parameter configuration changed it.
    void syncCommMode();
    // The subnet mask of the server address's adapter.
    datagram::Ipv4 subnetMask() const;

    // Asks the card for its screen parameters over its own link.
    void readScreenParameters(const QString& cardName);
    // The card is about to be removed: it is asked to report over its own
    // link, and a download running for it or behind it in the list is kept
    // pointing at the right card.
    void forgetCard(const QString& cardName);

    // Exit: the release notices for the cards of the search list, then (after
    // the settings were written) the channels are closed.
    void releaseCards();
    void closeChannels();

    CardLink& link() { return m_link; }
    UdpConfig& udp() { return m_udp; }
    CardSearch& search() { return m_search; }
    ParamConfig& params() { return m_params; }
    bool addressRetryRunning() const { return m_retry.isActive(); }

signals:
    // A notice for the status bar (or the log).
    void statusMessage(const QString& text);

private:
    void retryAddress();

    WorkspaceSession& m_session;
    CardLink& m_link;
    UdpConfig m_udp;
    CardSearch m_search;
    ParamConfig m_params;
    std::function<QList<TAdapterInfo>()> m_adapters = [] { return ListAdapters(); };
    std::function<QString()> m_lastHost = [] { return LastHostAddress(); };
    QList<TAdapterInfo> m_startAdapters;
    QTimer m_retry;
    int m_retriesLeft = 0;
    bool m_started = false;
};

} // namespace ledsign
