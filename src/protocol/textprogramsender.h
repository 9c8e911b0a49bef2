// Sends a text program to one card: the description first, as a text frame
// (network and serial) or as RS-485 header packets; once the card confirms
// it, one queued text material per tick. The bytes go out through the
// function handed in (the channels' send by link kind); the material frames
// come from the material encoder handed in.
#pragma once

#include "model/projectmodel.h"
#include "protocol/textprogramsend.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace ledsign {

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

    TextProgramSender(ProjectModel& model, Write write, EncodeMaterial encode, QObject* parent = nullptr);

    enum class Start { Sent, NoMaterials, NoCard, EmptyPage, TooLong, WriteFailed };

    // Starts the send of the pages (in the window's row order) to the named card.
    Start start(const QString& cardName, const QStringList& pageIds, bool rs485);

    // A confirmation (0x81) from the card; true when it was the description's
    // and the material ticks may begin.
    bool confirmed(const QString& cardName);
    // One tick of the packet timer: sends the next waiting material. False
    // when none waits.
    bool tick();
    // A material frame confirmation while materials go out; true when the
    // last material has been sent (the send is complete).
    bool materialConfirmed(const QString& cardName);

    QString cardUnderSend() const { return cardUnderSend_; }
    const QString& lastDescription() const { return description_; }

signals:
    void ticksWanted(bool running);

private:
    TFIXModem* card(const QString& name);

    ProjectModel& model_;
    Write write_;
    EncodeMaterial encode_;
    QString pendingCard_;
    QString cardUnderSend_;
    QString description_;
    bool rs485_ = false;
};

} // namespace ledsign
