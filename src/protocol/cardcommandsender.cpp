#include "protocol/cardcommandsender.h"

#include "protocol/cardcommands.h"
#include "protocol/sendscheduler.h"

namespace ledsign {

CardCommandSender::CardCommandSender(SendScheduler& scheduler)
    : m_s(scheduler)
{
}

bool CardCommandSender::cardCommand(int kind, int value, const QString& selectedCardName)
{
    if (selectedCardName.isEmpty())
        return false;
    const Found<TFIXModem> found = m_s.model().findCard(selectedCardName);
    if (!found)
        return false;
    m_s.state().selectedCardName = selectedCardName;
    const bool rs485 = m_s.state().rs485Mode;
    bool ok = false;
    if (kind == kPlayControl) {
        ok = sendPlayControl(*found.record, rs485, value);
        m_s.showStatus(value == 0 ? QStringLiteral("tip_card_stard_play_send")
                                  : QStringLiteral("tip_card_stop_play_send"));
    } else if (kind == kTimeCalibration) {
        ok = sendTimeCalibration(*found.record, rs485);
        m_s.showStatus(QStringLiteral("tip_card_calibration_send"));
    }
    return ok;
}

bool CardCommandSender::sendShort(TFIXModem& card, const QByteArray& frame, bool rs485, const QString& address)
{
    card.sendCounter = 0;
    if (rs485) {
        const QByteArray packet = commands::in485Packet(frame, address);
        return !packet.isEmpty() && m_s.sender().writeSerial(packet);
    }
    return m_s.sender().sendBytesToCard(card, frame) > 0;
}

bool CardCommandSender::sendPlayControl(TFIXModem& card, bool rs485, int value)
{
    return sendShort(card, commands::playControl(value != 0, card.frameSerial), rs485, card.internalCode);
}

bool CardCommandSender::sendTimeCalibration(TFIXModem& card, bool rs485)
{
    return sendShort(card, commands::timeCalibration(m_clock(), card.frameSerial), rs485, card.internalCode);
}

bool CardCommandSender::sendTimeAndPoll(TFIXModem& card)
{
    const QByteArray frame = commands::timeAndPollTime(m_clock(), m_s.state().pollTime, card.frameSerial);
    card.sendCounter = 0;
    if (card.linkKind != 2)
        return m_s.sender().writeSerial(frame);
    return m_s.sender().sendBytesToCard(card, frame) > 0;
}

bool CardCommandSender::sendByMode(TFIXModem& card, const QByteArray& frame, int mode, const QString& address)
{
    card.sendCounter = 0;
    switch (mode) {
    case kSerialPlain:
        return m_s.sender().writeSerial(frame);
    case kSerial485: {
        const QByteArray packet = commands::in485Packet(frame, address);
        return !packet.isEmpty() && m_s.sender().writeSerial(packet);
    }
    case kConnection:
        return card.linkKind == 2 && m_s.sender().sendBytesToCard(card, frame) > 0;
    default:
        return false;
    }
}

bool CardCommandSender::readParameters(TFIXModem& card, int mode)
{
    return sendByMode(card, commands::readParameters(card.frameSerial), mode, card.internalCode);
}

bool CardCommandSender::writeParameters(TFIXModem& card, const QString& internalCode, int mode,
                                        const QByteArray& block)
{
    const QByteArray frame = commands::writeParameters(block, card.frameSerial);
    if (frame.isEmpty())
        return false;
    return sendByMode(card, frame, mode, internalCode);
}

} // namespace ledsign
