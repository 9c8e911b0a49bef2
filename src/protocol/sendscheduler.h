// Decides when bytes go out and when the program gives up: starts downloads
// for one card or a group of cards one after another, paces the material
// packets of a network download, repeats unanswered RS-485 packets, watches
// for the confirmation of a playbill header, keeps the progress bar and the
// cards' tree states (off-line, on-line, sent). It reports to the windows
// with signals only.
#pragma once

#include "model/projectmodel.h"
#include "protocol/cardsender.h"
#include "protocol/downloadsession.h"
#include "protocol/sendstate.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QTcpSocket;

namespace ledsign {

class SendScheduler : public QObject {
    Q_OBJECT
public:
    SendScheduler(ProjectModel& model, CardSender& sender, QObject* parent = nullptr);

    ProjectModel& model() { return m_model; }
    CardSender& sender() { return m_sender; }
    SendState& state() { return m_state; }
    const SendState& state() const { return m_state; }
    DownloadSession& download() { return m_download; }

    // --- sending
    // The send action: export mode off, then send().
    void sendCommand(const QString& selectedCardName);
    // Sends to the selected card, or to the cards of its group when group
    // send is on. Every card that qualifies is sent to, one after another.
    void send(const QString& selectedCardName);
    // The USB-disk form of the send: the bytes of "Vk_Data.prg", the card's
    // download built as for the network, with the same preparation as a
    // send; nothing is sent and no timer runs. Empty, with the reason in
    // `error` and in the status bar, when the card cannot be built.
    QByteArray exportData(const QString& cardName, bool rs485, QString* error = nullptr);
    // Starts the download of a card on a later turn of the event loop.
    void startCard(const QString& cardName);
    // Starts the next card of a group send, if any.
    void continueGroup();

    // --- the card tree (level-0 nodes, by card name)
    // The tree follows the card list unless told otherwise.
    QStringList treeCards() const;
    void setTreeCards(const QStringList& names);
    void addTreeCard(const QString& name);
    int nodeState(const QString& name) const;
    void setNodeState(const QString& name, int state);
    // Mode 1: every card off-line; mode 2: every "sent" card back to on-line.
    void markTree(int mode);
    void markCompleted(const QString& cardName);

    // --- links
    void registerConnection(TFIXModem& card, QTcpSocket* connection);
    void dropConnection(TFIXModem& card);
    bool timedOut(const TFIXModem& card) const;
    bool timedOut(const TFIXModem& card, const QDateTime& now) const;

    // --- timers
    void stopPackets();
    void startPacketTimer();
    void stopPacketTimer() { m_packetTimer.stop(); }
    bool packetTimerActive() const { return m_packetTimer.isActive(); }
    int packetInterval() const { return m_packetInterval; }
    void setPacketInterval(int ms) { m_packetInterval = ms; }
    void startRepeatTimer() { m_repeatTimer.start(m_state.scaled(m_repeatInterval)); }
    void stopRepeatTimer() { m_repeatTimer.stop(); }
    bool repeatTimerActive() const { return m_repeatTimer.isActive(); }
    void startHeaderWatchdog() { m_watchdog.start(m_state.scaled(m_watchdogInterval)); }
    void stopHeaderWatchdog() { m_watchdog.stop(); }
    bool headerWatchdogActive() const { return m_watchdog.isActive(); }
    int repeatInterval() const { return m_repeatInterval; }
    int watchdogInterval() const { return m_watchdogInterval; }
    // The parameter window's send delay: the packet timer becomes pacing +
    // delay, the repeat timer and the watchdog grow by the delay.
    void setSendDelay(int ms);
    // Presence supervision (network mode only).
    void setPresenceRunning(bool running);
    bool presenceActive() const { return m_presence.isActive(); }
    void restartPresenceAfterSearch();

    // --- progress bar
    void showProgress(int maximum);
    void setProgress(int position);
    void hideProgress();
    int progressPosition() const { return m_progressPos; }
    int progressMaximum() const { return m_progressMax; }
    bool progressVisible() const { return m_progressVisible; }

    // --- messages (language keys, or texts already looked up)
    void showStatus(const QString& key);
    void showMessageBox(const QString& key);
    void showStatusText(const QString& text) { emit statusMessage(text); }
    void showMessageBoxText(const QString& text) { emit messageBox(text); }

    // What a packet tick does when no playbill download is running: sends
    // the next queued text-program material; false stops the timer.
    void setQueuedTextTick(std::function<bool()> tick) { m_queuedTextTick = std::move(tick); }

    // The ticks (public so that a window or a test can drive them).
    void packetTick();
    void repeatTick();
    void watchdogTick();
    void presenceTick();

signals:
    void statusMessage(const QString& text);
    void messageBox(const QString& text);
    void progressShown(int maximum);
    void progressMoved(int position);
    void progressHidden();
    void cardStateChanged(const QString& cardName, int state);
    void treeChanged();
    // A download ended: sent, or given up.
    void downloadEnded(const QString& cardName, bool sent);

private:
    void giveUp();

    ProjectModel& m_model;
    CardSender& m_sender;
    SendState m_state;
    DownloadSession m_download;

    QTimer m_packetTimer;
    QTimer m_repeatTimer;
    QTimer m_watchdog;
    QTimer m_presence;
    int m_packetInterval = sendtiming::kPacketStart;
    int m_repeatInterval = sendtiming::kRepeat;
    int m_watchdogInterval = sendtiming::kHeaderWatchdog;

    std::function<bool()> m_queuedTextTick;

    bool m_treeFollowsCards = true;
    QStringList m_tree;
    QHash<QString, int> m_states;

    int m_progressMax = 0;
    int m_progressPos = 0;
    bool m_progressVisible = false;
};

} // namespace ledsign
