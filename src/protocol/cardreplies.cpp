#include "protocol/cardreplies.h"

#include "protocol/cardcommands.h"
#include "protocol/frame.h"

#include <QtEndian>

namespace ledsign {

Confirmation readConfirmation(const QByteArray& bytes)
{
    Confirmation c;
    // Only data bytes count: the trailer of a short frame is not a field.
    const qsizetype dataEnd = bytes.size() - frame::kTrailerSize;
    if (dataEnd > replies::kConfirmedCommandOffset)
        c.confirmedCommand = quint8(bytes[replies::kConfirmedCommandOffset]);
    if (dataEnd >= replies::kRequestEnd) {
        c.requestComplete = true;
        c.sendNo = frame::readLe16(bytes, replies::kRequestSendNoOffset);
        c.blockNo = frame::readLe16(bytes, replies::kRequestBlockOffset);
    }
    return c;
}

bool readParameterReply(const QByteArray& bytes, bool viaRs485, ParameterReply& out)
{
    const int command = frame::command(bytes);
    if (command != frame::reply::kParameters && command != frame::reply::kParametersWritten
        && command != frame::reply::kParametersRead)
        return false;
    if (bytes.size() < replies::kLongReplyMinSize)
        return false;
    out.command = quint8(command);
    out.block = bytes.mid(replies::kBlockOffset, commands::kParameterBlockSize);
    if (viaRs485)
        out.interfaceFlag = 2;
    else
        out.interfaceFlag = out.block[commands::kInterfaceFlagOffset] == 0 ? 0 : 1;
    return true;
}

QByteArray buildConfirmation(quint8 command, quint32 serial)
{
    return frame::build(frame::reply::kConfirmation, QByteArray(1, char(command)), serial);
}

QByteArray buildPacketRequest(quint16 sendNo, quint16 blockNo, quint32 serial)
{
    QByteArray data(1, char(frame::reply::kPacketRequest));
    char n[2];
    qToLittleEndian(sendNo, n);
    data.append(n, 2);
    qToLittleEndian(blockNo, n);
    data.append(n, 2);
    return frame::build(frame::reply::kConfirmation, data, serial);
}

QByteArray buildParameterReply(quint8 command, const QByteArray& block, quint32 serial)
{
    if (block.size() != commands::kParameterBlockSize)
        return {};
    return frame::build(command, block, serial);
}

} // namespace ledsign
