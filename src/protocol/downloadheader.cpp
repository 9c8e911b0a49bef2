#include "protocol/downloadheader.h"

#include "model/codec.h"
#include "protocol/frame.h"
#include "protocol/rs485packet.h"

namespace ledsign::download {

bool fitsNetworkHeader(qsizetype dataSize)
{
    return dataSize + frame::kEmptyFrameSize <= kMaxHeaderFrameSize;
}

QByteArray networkHeaderFrame(const QByteArray& data, quint32 serial)
{
    if (!fitsNetworkHeader(data.size()))
        return {};
    return frame::build(frame::cmd::kHeader, data, serial);
}

QList<QByteArray> headerChunks(const QByteArray& description)
{
    QList<QByteArray> chunks;
    qsizetype at = 0;
    while (at < description.size()) {
        QByteArray chunk = codec::cutEncodedToBytes(description.mid(at), kHeaderChunkSize);
        if (chunk.isEmpty())
            chunk = description.mid(at, kHeaderChunkSize);
        at += chunk.size();
        chunks << chunk;
    }
    return chunks;
}

QList<rPackSendProgram> headerPackets485(const QByteArray& description, int headerKind,
                                         const convert::InternalCode& address,
                                         const std::function<quint32()>& serials)
{
    QList<rPackSendProgram> parts;
    for (const QByteArray& chunk : headerChunks(description)) {
        const quint32 serial = (serials ? serials() : frame::newSerial()) % frame::kSerialLimit;
        const QList<QByteArray> packets = rs485::cutFrame(frame::build(frame::cmd::kHeader, chunk, serial), address);
        if (packets.isEmpty())
            return {};
        for (int j = 0; j < packets.size(); ++j) {
            rPackSendProgram p;
            p.headerKind = headerKind;
            p.partCount = int(packets.size());
            p.partNo = j + 1;
            p.bytes = packets.at(j);
            p.byteCount = int(p.bytes.size());
            parts << p;
        }
    }
    return parts;
}

} // namespace ledsign::download
