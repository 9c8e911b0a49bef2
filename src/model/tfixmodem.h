// The card record: one per LED controller card, with the channel it is
// reached on, its panel size and colour depth, its playbill file and the
// run-time state of the link and of a download.
#pragma once

#include "model/downloadpacket.h"

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTcpSocket>

#include <array>

namespace ledsign {

// Colour depth codes kept in `colorType`.
inline constexpr int kColorSingle = '8';
inline constexpr int kColorDual = '9';
inline constexpr int kColorTri = ':';

// Program-wide defaults of what a card offers.
inline constexpr int kDefaultFontCount = 6;
inline constexpr int kDefaultFontSizeCount = 8;

// Indexes into `featureFlags`, one per material family.
enum FeatureFlag : int {
    kFeatureQueue = 0,
    kFeatureAcquisition = 1,
    kFeatureAnimation = 3,
    kFeatureText = 4,        // single text, multi text, image group, table
    kFeatureRemoteText = 5,
    kFeatureCount = 7,       // count-up and count-down
    kFeatureInternalCode = 8,
    kFeatureTime = 9,
};

struct TFIXModem {
    qint32 linkKind = 0;        // 0 serial, 1 serial with 485 packets, 2 the card's TCP connection
    QString ipAddress;
    QString internalCode;       // eight decimal bytes joined by "_"
    QString macAddress;         // six decimal bytes joined by ":"
    QString programFile;        // full path of the card's playbill file
    QString cardType;
    qint32 cardNo = 0;
    qint32 width = 256;
    qint32 height = 128;
    qint32 colorType = kColorSingle;
    qint32 version = -1;        // -1: not reported
    QString frameSerial;
    qint32 sendCounter = -1;
    qint32 sendStep = -1;
    std::array<quint8, 10> featureFlags{1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    QString name;
    QString panelName;          // the canvas maps this name to its panel
    quint8 online = 0;
    quint8 modified = 0;
    quint8 remoteTextFree = 1;
    QDateTime lastHeard;
    QPointer<QTcpSocket> socket; // owned by the TCP server
    double timeoutDays = 0;
    std::array<qint32, 4> counters{0, 0, 0, 0};
    QList<rPackSendProgram> headerParts;
    qsizetype headerPartsItem = 0;
    QList<rSendFdrContent> materialPackets;
    qsizetype materialPacketsItem = 0;
    qint32 fontCount = kDefaultFontCount;
    qint32 fontSizeCount = kDefaultFontSizeCount;
    qint32 zoom = 10;           // canvas zoom in tenths
};

// Creates a card from the given values: everything a caller hands in is
// kept, the run-time state starts fresh (empty packet lists, all features
// allowed, no remote text, zoom 1.0, nothing sent, off-line, unmodified).
TFIXModem createCard(const TFIXModem& given);

// The colour depth item of a card list line ("1", "2", "3") and back.
int colorTypeFromDepthText(const QString& text);
QString depthTextFromColorType(int colorType);

// True when an internal code is the "not set" value 255_255_..._255.
bool isUnsetInternalCode(const QString& code);

} // namespace ledsign
