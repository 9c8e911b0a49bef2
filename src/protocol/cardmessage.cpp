#include "protocol/cardmessage.h"

#include "protocol/frame.h"

namespace ledsign {

namespace {

bool isReportCommand(int c)
{
    return c == frame::reply::kReport || c == frame::reply::kSerialReport
        || c == frame::reply::kMaterialReport || c == frame::reply::kHeartbeat;
}

bool isLongReplyCommand(int c)
{
    return c == frame::reply::kParameters || c == frame::reply::kParametersWritten
        || c == frame::reply::kParametersRead;
}

CardMessage reportOrUnknown(const QByteArray& bytes, int command)
{
    CardReport report;
    if (readCardReport(bytes, report))
        return report;
    return UnknownFrame {command};
}

} // namespace

CardMessage readFrameMessage(const QByteArray& bytes)
{
    if (!frame::startsWithMarker(bytes))
        return UnknownFrame {};
    const int command = frame::command(bytes);
    if (command < 0)
        return UnknownFrame {};

    if (bytes.size() >= replies::kLongReplyMinSize && isLongReplyCommand(command)) {
        ParameterReply reply;
        if (readParameterReply(bytes, false, reply))
            return reply;
    }
    if (isReportCommand(command))
        return reportOrUnknown(bytes, command);

    switch (command) {
    case frame::reply::kProgramUpload:
    case frame::reply::kProgramUpload2:
    case frame::reply::kMaterialUpload:
        return UploadNotice {quint8(command)};
    case frame::reply::kException:
        return DownloadException {};
    case frame::reply::kParametersWritten:
        return ParametersWritten {};
    case frame::reply::kConfirmation:
        return readConfirmation(bytes);
    default:
        return UnknownFrame {command};
    }
}

CardMessage readRs485Message(const QByteArray& bytes)
{
    rs485::Packet packet;
    // A packet of the program's own kind is one of ours heard back on the
    // shared wire, not a card's answer.
    if (!rs485::read(bytes, packet) || packet.kind == rs485::kKindFromProgram)
        return UnknownFrame {};
    const QByteArray& carried = packet.payload;
    const int command = frame::command(carried);

    if (command == frame::reply::kReport || command == frame::reply::kSerialReport
        || command == frame::reply::kMaterialReport)
        return reportOrUnknown(carried, command);

    if (bytes.size() >= replies::kRs485LongReplyMinSize
        && (command == frame::reply::kParameters || command == frame::reply::kParametersRead)) {
        ParameterReply reply;
        if (readParameterReply(carried, true, reply))
            return reply;
        return UnknownFrame {command};
    }
    if (command == frame::reply::kParametersWritten)
        return ParametersWritten {};

    Rs485Reply reply;
    reply.packet = packet;
    reply.frameCommand = command;
    if (command == frame::reply::kConfirmation)
        reply.confirmation = readConfirmation(carried);
    return reply;
}

} // namespace ledsign
