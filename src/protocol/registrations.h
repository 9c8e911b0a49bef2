// Registration of cards that report themselves: on a TCP connection, on the
// serial port (plain or RS-485) and after a UDP configuration. A report is
// matched to card records by internal code; a card nobody knows gets a new
// record named after its code. The card ends up selected and on-line.
#pragma once

#include "protocol/cardreport.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class QTcpSocket;

namespace ledsign {

class CardCommandSender;
class SendScheduler;
struct TFIXModem;

class Registrations : public QObject {
    Q_OBJECT
public:
    struct Result {
        bool accepted = false;
        int cardIndex = -1;
        bool sizeChanged = false;
    };

    Registrations(SendScheduler& scheduler, CardCommandSender& commands, QObject* parent = nullptr);

    // MAC address of a peer, six decimal numbers joined by ":" (empty when
    // unknown).
    void setMacLookup(std::function<QString(const QHostAddress&)> lookup) { m_macOf = std::move(lookup); }

    // Asked when a card reports a code no record has: the name of the card
    // record that takes that code (and so the card on the line), or empty
    // for a new record named after the code; `reported` is the size the card
    // reports. The answer may wait for the operator; reports of that code
    // meanwhile are left unanswered.
    void setCodeClaim(std::function<QString(const QString& code, QSize reported)> claim) { m_claim = std::move(claim); }

    // A frame from a connection that belongs to no card. Anything but a
    // well-formed report is answered with the identity query.
    Result registerTcp(QTcpSocket* connection, const QByteArray& frame);
    // A report on the serial port, plain or read from a 485 packet.
    Result registerSerial(const CardReport& report, bool rs485);
    // A card that the UDP configuration has just told where to connect.
    Result registerUdp(const QString& name, const QByteArray& mac, const QByteArray& internalCode,
                       const QByteArray& ipAddress, int width, int height, int colorIndex, int version);

signals:
    // A new record was appended to the card list (its canvas panel and tree
    // node are to be made).
    void cardAdded(int cardIndex);
    // A known card was updated; its canvas is resized when its size changed.
    void cardUpdated(int cardIndex, bool sizeChanged);
    void cardSelected(const QString& cardName);
    // On a plain serial line an unknown card empties the tree first.
    void treeCleared();
    // A card answered on the RS-485 line with this internal code.
    void rs485CodeFound(const QString& internalCode);

private:
    void applyReport(TFIXModem& card, const CardReport& report);
    // The records with the code; when there is none, the one the claim
    // gives the code to. `asking` is set while the claim waits.
    QList<qsizetype> cardsWithCode(const QString& code, QSize reported, bool* asking);

    SendScheduler& m_s;
    CardCommandSender& m_commands;
    std::function<QString(const QHostAddress&)> m_macOf;
    std::function<QString(const QString&, QSize)> m_claim;
    QStringList m_codesAsked;
};

} // namespace ledsign
