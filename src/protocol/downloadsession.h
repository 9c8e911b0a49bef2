// A playbill download to one card: the checks before it starts, the header
// (one frame on the network, 485 packets on an RS-485 line), the material
// packets in order, the card's confirmations and requests, and the end. The
// bytes come prepared from the download builder; this class only decides
// what goes out when. Timers, progress and messages belong to the scheduler,
// except the send delay that the RS-485 exchange keeps between packets.
#pragma once

#include "model/downloadpacket.h"
#include "model/tfixmodem.h"
#include "protocol/cardmessage.h"
#include "protocol/downloadbuilder.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QString>
#include <QTimer>

#include <functional>

namespace ledsign {

class SendScheduler;

// Builds the download of the named card (rendering and encoding every
// material): the download builder, or a stand-in in tests.
using DownloadPreparer =
    std::function<DownloadBuild(ProjectModel& model, const QString& cardName, const DownloadOptions& options)>;

// What sending one material packet did.
struct PacketSent {
    bool found = false;   // a packet matched
    int position = 0;     // 1-based position; 0-based when the send failed
    int typeCode = 0;
    bool last = false;    // it was the last packet of the list (left unsent)
    qint64 written = -1;  // bytes taken by the channel
};

class DownloadSession {
public:
    static constexpr int kMinimumVersion = 52;
    static constexpr int kMaxHeaderFrame = 8191;
    // A card that asks for the same packet again (or refuses it) more often
    // than this does not get it: the download fails.
    static constexpr int kMaxAsked = 3;

    explicit DownloadSession(SendScheduler& scheduler);

    void setPreparer(DownloadPreparer preparer) { m_prepare = std::move(preparer); }
    // The download of the named card as it would be sent; not ok without a preparer.
    DownloadBuild prepare(const QString& cardName, const DownloadOptions& options);

    // The checks, then the build and the header (runs for the card's name).
    void startDownload(const QString& cardName);
    void buildAndSend(int cardIndex);

    // Network header (0x22); false when nothing could be sent.
    bool sendPlaybillHeader(TFIXModem& card);
    // RS-485 header packet of kind `kind` and part `partNo`, if unsent;
    // false when there is no such packet.
    bool sendHeaderPacket(TFIXModem& card, int kind, int partNo);
    // The header packet being sent, once more (the repeat timer keeps
    // running even when it has been acknowledged meanwhile). Returns its
    // part number.
    int resendHeaderPacket(TFIXModem& card);

    // Network form: mode 0 the next unsent packet, mode 1 the requested one
    // (restarting the sequence there).
    PacketSent sendMaterialPacket(TFIXModem& card, int mode, int sendNo = 0, int blockNo = 0);
    // RS-485 form: -1, -1 the next unsent piece; otherwise the given piece,
    // restarting the sequence there.
    PacketSent sendMaterialPacket485(TFIXModem& card, int sendNo, int partNo, bool markSent);

    // RS-485: the piece sent last, once more (it stays unanswered), or the
    // first unsent one when none was sent yet.
    PacketSent resendLastPiece(TFIXModem& card);

    // A card asked for one packet again.
    void handleRequest(int cardIndex, int sendNo, int blockNo, bool rs485);

    // Replies that concern a download. On the RS-485 line the answer to a
    // reply goes out only after the send delay (see pace()); replies that
    // arrive meanwhile are taken in order once it has gone.
    void onConfirmation(int cardIndex, const Confirmation& confirmation);
    void on485Reply(int cardIndex, const Rs485Reply& reply);
    void onException(int cardIndex);

    // Drops an RS-485 step still waiting for the send delay, and the replies
    // held behind it (a new send, an exception, giving up).
    void cancelPendingStep();
    // An exchange that is not a playbill download (a text program on the
    // RS-485 line) starts: replies are taken from now on.
    void beginExchange();
    // The download was given up: nothing that arrives later completes it.
    void abandon();
    // Ends the running download (if any) as failed, with this text.
    void failRunning(const QString& text);
    bool active() const { return m_active; }
    bool stepPending() const { return m_pace.isActive(); }

    // The header bytes kept for the watchdog's second try.
    const QByteArray& keptHeader() const { return m_keptHeader; }

private:
    struct HeldReply {
        int cardIndex;
        Rs485Reply reply;
    };

    TFIXModem* card(int index);
    void finishSuccessfully(int cardIndex);
    // Ends the running download as failed with the message of `key` and why.
    void fail(int cardIndex, const QString& key, const QString& why);
    // Counts one more request or refusal of the same packet; false (and the
    // download has failed) when the card has asked too often.
    bool countAsked(int cardIndex, int sendNo, int blockNo, const char* what);
    bool isCardsAddress(const TFIXModem& card, const Rs485Reply& reply) const;
    void handle485Reply(int cardIndex, const Rs485Reply& reply);
    // Writes a 485 packet and notes when, for the send delay.
    bool write485(const QByteArray& packet);
    // Runs `step` once the line has had its send delay: the delay after the
    // last 485 write must have passed, and with `extraDelay` a further delay
    // from then (the card's turnaround before the next exchange).
    void pace(bool extraDelay, std::function<void()> step);
    void runPacedStep();

    SendScheduler& m_s;
    DownloadPreparer m_prepare;
    QByteArray m_keptHeader;
    int m_headerPartSending = 1;  // header packet being sent
    int m_headerKindSending = 0;
    int m_lastPiece = -1;         // RS-485: index of the piece sent last
    bool m_active = false;        // a download runs and may still complete
    // Network: list positions of the material frames written, in order, that
    // the card has not answered yet. A card answers every frame in order, so
    // a confirmation belongs to the oldest of them.
    QList<int> m_awaiting;
    QHash<quint32, int> m_asked;  // (send number, block) -> requests and refusals

    QElapsedTimer m_lastWrite485; // started by every 485 write
    QTimer m_pace;                // a step waiting for the send delay
    std::function<void()> m_pacedStep;
    QList<HeldReply> m_heldReplies;
};

} // namespace ledsign
