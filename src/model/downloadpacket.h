// The queued pieces of a playbill download that a card record owns: the
// material packets (one per material frame, or per 485 piece of a frame) and
// the header packets (one per 485 packet of the playbill header).
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace ledsign {

struct rSendFdrContent {
    quint8 sent = 0;       // 0 still to send, 1 sent
    qint32 sendNo = 0;     // the material's send number
    qint32 blockCount = 0; // frames of the material
    qint32 blockNo = 0;    // 1-based frame number within the material
    qint32 partCount = 1;  // 485 pieces of the frame
    qint32 partNo = 1;     // 1-based piece number
    qint32 typeCode = 0;   // the material's type code character
    qint32 byteCount = 0;
    QByteArray bytes;      // the whole frame, or one 485 piece of it
};

struct rPackSendProgram {
    quint8 sent = 0;        // 0 still to send, 1 acknowledged
    qint32 headerKind = 0;  // 0 playbill of the main window, 1 text program
    qint32 partCount = 0;
    qint32 partNo = 0;
    qint32 byteCount = 0;
    QByteArray bytes;       // the complete 485 packet
};

} // namespace ledsign
