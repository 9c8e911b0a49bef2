// What the main window does with the cards: it starts the session's card
// link once the window shows (asking for the adapter when several offer an
// address), turns the link's signals into what the window displays (channel
// state, messages, progress bar, card node states, the serial button and the
// group-send box), runs the card actions (send, play, time, search,
// parameters, screen parameters, the release of a deleted card) and closes
// the channels on exit. The card logic itself is the LinkSession's; the
// window only forwards its actions here.
#pragma once

#include "editing/cardbinding.h"
#include "session/linksession.h"

#include <QHash>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace ledsign {

class CardLink;
class MainWindow;
class WorkspaceSession;

// The windows the card actions open; tests hand in scripted ones.
class CardLinkDialogs {
public:
    virtual ~CardLinkDialogs() = default;
    // The adapter chooser; nothing when it was not answered.
    virtual std::optional<AdapterChoice> chooseAdapter(const QList<TAdapterInfo>& adapters,
                                                       const QString& serverIp) = 0;
    // Shows the search window modally; the window starts and stops the search.
    virtual void runSearch(CardSearch& search) = 0;
    // Shows the parameter window modally.
    virtual void runParameters(ParamConfig& config) = 0;
    virtual void showMessage(const QString& text) = 0;
};

// The real windows, modal over `parent`.
class QtCardLinkDialogs : public CardLinkDialogs {
public:
    QtCardLinkDialogs(QWidget* parent, AppSettings& settings);
    std::optional<AdapterChoice> chooseAdapter(const QList<TAdapterInfo>& adapters, const QString& serverIp) override;
    void runSearch(CardSearch& search) override;
    void runParameters(ParamConfig& config) override;
    void showMessage(const QString& text) override;

private:
    QWidget* m_parent;
    AppSettings& m_settings;
};

class CardLinkController : public QObject {
    Q_OBJECT
public:
    CardLinkController(MainWindow& window, WorkspaceSession& session);
    ~CardLinkController() override;

    void setDialogs(std::unique_ptr<CardLinkDialogs> dialogs);
    // Where the adapters and the host's own address come from (tests).
    void setAdapterSource(std::function<QList<TAdapterInfo>()> adapters) { m_core.setAdapterSource(std::move(adapters)); }
    void setLastHostSource(std::function<QString()> lastHost) { m_core.setLastHostSource(std::move(lastHost)); }

    // The work done once the window shows: the scan modes and internal codes
    // of the parameter window, the server address (with the adapter chooser
    // when several addresses exist), the UDP listener on it, the channel of
    // the mode, and the known cards told the server again.
    void startLink();
    bool started() const { return m_core.started(); }

    // The card actions.
    void send();
    void startPlay();
    void stopPlay();
    void adjustTime();
    void readScreenParameters();
    // The search action (`fromAction`), or the search that follows a serial
    // open or the parameter window.
    void searchCards(bool fromAction = true);
    void openParameters();
    // Right click on the search button: the search is switched off (the
    // button greyed) or on again.
    void toggleSearchSwitch();
    void toggleSerialPort();
    // The card is about to be removed: it is asked to report over its own
    // link, and a download running for it or behind it in the list is kept
    // pointing at the right card.
    void cardDeleting(const QString& cardName);
    // A card the operator made joins the tree, whatever the tree shows.
    void cardCreated(const QString& cardName);

    // Exit: the release notices for the cards of the search list, then (after
    // the settings were written) the channels are closed.
    void releaseCards();
    void closeChannels();

    // Panel 3 as the channels last set it; empty before the link started.
    QString channelStatus() const;

    LinkSession& core() { return m_core; }
    UdpConfig& udp() { return m_core.udp(); }
    CardSearch& search() { return m_core.search(); }
    ParamConfig& params() { return m_core.params(); }
    bool addressRetryRunning() const { return m_core.addressRetryRunning(); }

private:
    void wire();
    void applyChannelControls();
    QString selectedCardName() const;
    void cardCommand(int kind, int value);

    MainWindow& m_window;
    WorkspaceSession& m_session;
    CardLink& m_link;
    LinkSession m_core;
    std::unique_ptr<CardLinkDialogs> m_dialogs;
    bool m_parametersShowing = false;
    // What the operator chose for the playbill of a card just bound, until
    // the registration applies the card's size (by card name).
    QHash<QString, BindChoice> m_bindChoices;
};

} // namespace ledsign
