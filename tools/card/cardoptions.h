// What the virtual card is told on its command line: how it is reached, what
// it reports about itself, and a few misbehaviours that let the program's
// supervision be tried out.
#pragma once

#include "protocol/conversions.h"
#include "transport/datagram.h"

#include <QString>
#include <QRect>
#include <QStringList>

namespace ledsign::card {

struct CardOptions {
    // Reached over TCP (the card connects to the program's server) ...
    QString tcpHost;
    quint16 tcpPort = 0;
    bool reconnect = true;
    // ... or over a serial line, plain or RS-485.
    QString serialDevice;
    int baudRate = 9600;
    bool rs485 = false;

    // What the card reports.
    convert::InternalCode internalCode {1, 2, 3, 4, 5, 6, 7, 8};
    int width = 64;
    int height = 32;
    int colorDepth = 1; // 1 single, 2 dual, 3 tri-colour
    int version = 60;
    int fontCount = 6;
    int speedUnit = 1;
    QString cardType = QStringLiteral("VCARD");

    // Heartbeat period in seconds; 0 follows the poll time the program sends.
    double heartbeatSeconds = 0;
    // Folder for the pictures of a received playbill; empty writes none.
    QString pngDir;
    // Ends the program after this many complete playbills (0: never).
    int exitAfterPlaybills = 0;

    // Misbehaviours.
    bool confirmHeaders = true;     // false: never confirm a playbill header
    bool confirmLast = true;        // false: never confirm the final frame
    int exceptionAt = 0;            // answer the n-th material frame with 0x34 (0: never) ...
    bool exceptionAtFinal = false;  // ... or the final frame of the playbill
    int answerDelayMs = 0;          // confirmations, requests and exceptions go this late, in order
    bool confirmTime = false;       // confirm time frames (0x62) as well
    int loseBlock = 0;              // the n-th material frame (RS-485: its first piece) never arrives
    int damageBlock = 0;            // one byte of the n-th material frame (piece) arrives changed
    int requestSendNo = 0;          // ask once for this material ...
    int requestBlockNo = 0;         // ... and block, after the final frame
    bool answerRs485 = true;        // false: stay silent on the RS-485 line
    int turnaroundMs = 0;           // RS-485: a packet sooner than this after the card's reply is not taken
    int quitAfterMaterials = 0;     // quit (the line goes dead) on this material frame
    int confirmMaterialsAs = 0;     // confirm material frames as this other command

    // Search and configuration over UDP: the card's own address (empty: no
    // UDP), the port every card of the machine shares, its MAC (derived from
    // the address unless given) and the name its detail reply carries (the
    // type name unless given).
    QString udpAddress;
    quint16 udpPort = datagram::kCardPort;
    datagram::Mac mac{};
    bool macGiven = false;
    QString name;
    // Show the LED panel playing what the card holds, beside this screen
    // area when one is given.
    bool window = false;
    QRect beside;

    // What the card plays (playoptions.h).
    QString acquiredValue = QStringLiteral("0");
    QString queueNumber = QStringLiteral("0001");
    QString storeDir;
    QString recordFile;
    double recordSeconds = 10;
    int recordFps = 10;
};

// Reads the options; false with a message for anything it cannot use.
bool parseCardOptions(const QStringList& arguments, CardOptions& options, QString& error);

} // namespace ledsign::card
