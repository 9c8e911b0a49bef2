// Sends a text program to one card: the description first, as a text frame
// (network and serial) or as RS-485 header packets; once the card confirms
// it, one queued text material per tick. The bytes go out through the
// function handed in (the channels' send by link kind); the material frames
// come from the material encoder handed in. Attached to the send scheduler,
// the send shares the program's send state: the header watchdog guards the
// description, the packet timer paces the materials, the RS-485 route runs
// on the download's packets and repeat timer, and progress and status texts
// go where a playbill download's go.
#pragma once

#include "model/projectmodel.h"
#include "protocol/cardreplies.h"
#include "protocol/textprogramsend.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace ledsign {

class SendScheduler;

// Send steps of the card record while a text program goes out.
inline constexpr int kTextSendDescription = 0;
inline constexpr int kTextSendMaterials = 4;

// The material encoder's text-program text frame, whole (RS-485 sending
// cuts it when it is written), with the end marker when `last` is set.
QByteArray textProgramMaterialFrame(TFodder& material, bool last);

class TextProgramSender : public QObject {
    Q_OBJECT
public:
    using Write = std::function<qint64(TFIXModem& card, const QByteArray& bytes)>;
    // The text-program text frame of a material; `last` adds the end marker.
    using EncodeMaterial = std::function<QByteArray(TFodder& material, bool last)>;

    // Ticks without a material to send (all sent, not all confirmed) before
    // the send is given up; the same count, at the same slower pace, that a
    // download's last packet gets.
    static constexpr int kIdleTicksAllowed = 4;

    TextProgramSender(ProjectModel& model, Write write, EncodeMaterial encode, QObject* parent = nullptr);

    // Shares the scheduler's timers, progress bar and messages (the
    // scheduler must outlive the sender).
    void attach(SendScheduler* scheduler) { scheduler_ = scheduler; }

    enum class Start { Sent, NoMaterials, NoCard, EmptyPage, TooLong, WriteFailed };

    // Starts the send of the pages (in the window's row order) to the named card.
    Start start(const QString& cardName, const QStringList& pageIds, bool rs485);

    // A confirmation (0x81) from the card; true when it was the description's
    // and the material ticks may begin.
    bool confirmed(const QString& cardName);
    // One tick of the packet timer: sends the next waiting material. False
    // when none waits.
    bool tick();
    // A material frame confirmation while materials go out; true when every
    // material has been sent (the send is complete).
    bool materialConfirmed(const QString& cardName);

    // A confirmation from the card at `cardIndex`, as the reply dispatcher
    // hands it over; true when it belonged to this send (the playbill
    // download must not act on it).
    bool takeConfirmation(int cardIndex, const Confirmation& confirmation);
    // The packet timer's tick for a text program: sends the next material, or
    // counts an idle tick and gives up after too many. True while the timer
    // should keep running.
    bool packetTimerTick();
    // The send under way to that card was given up elsewhere (watchdog).
    void abandon(const QString& cardName);

    bool busy() const { return !pendingCard_.isEmpty() || !cardUnderSend_.isEmpty(); }
    QString cardUnderSend() const { return cardUnderSend_; }
    const QString& lastDescription() const { return description_; }

signals:
    void ticksWanted(bool running);
    // The send ended: every material confirmed, or given up.
    void finished(const QString& cardName, bool sent);

private:
    TFIXModem* card(const QString& name);
    int cardIndex(const QString& name) const;
    Start startRs485(TFIXModem& target, const TextProgramDescription& d);
    void giveUp();

    ProjectModel& model_;
    Write write_;
    EncodeMaterial encode_;
    SendScheduler* scheduler_ = nullptr;
    QString pendingCard_;
    QString cardUnderSend_;
    QString description_;
    bool rs485_ = false;
    int materialsSent_ = 0;
    int materialCount_ = 0;
    int idleTicks_ = 0;
};

} // namespace ledsign
