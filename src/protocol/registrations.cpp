#include "protocol/registrations.h"

#include "model/cardtie.h"
#include "protocol/cardcommandsender.h"
#include "protocol/frame.h"
#include "protocol/sendscheduler.h"

#include <QDateTime>
#include <QPointer>
#include <QTcpSocket>

namespace ledsign {

namespace {

constexpr int kPacingPerSpeedUnit = 15;
constexpr int kUdpPacketInterval = 20;

QString joined(const QByteArray& bytes, int count, QChar separator)
{
    QStringList parts;
    for (int k = 0; k < count; ++k)
        parts.append(QString::number(k < bytes.size() ? quint8(bytes[k]) : 0));
    return parts.join(separator);
}

} // namespace

Registrations::Registrations(SendScheduler& scheduler, CardCommandSender& commands, QObject* parent)
    : QObject(parent)
    , m_s(scheduler)
    , m_commands(commands)
{
}

void Registrations::applyReport(TFIXModem& card, const CardReport& r)
{
    // A report without the seven fields carries the defaults here.
    card.width = r.width;
    card.height = r.height;
    card.colorType = r.colorType;
    card.version = r.version;
    card.fontCount = r.fontCount;
    card.fontSizeCount = kDefaultFontSizeCount;
    r.applyFeatureFlags(card.featureFlags);
    card.cardType = r.cardType;
}

QList<qsizetype> Registrations::cardsWithCode(const QString& code, QSize reported, bool* asking)
{
    *asking = m_codesAsked.contains(code);
    if (*asking)
        return {};
    QList<qsizetype> found = m_s.model().findCardsByInternalCode(code);
    if (!found.isEmpty() || !m_claim)
        return found;
    m_codesAsked << code;
    const QString taker = m_claim(code, reported);
    m_codesAsked.removeAll(code);
    // The card list may have changed while the operator was asked.
    found = m_s.model().findCardsByInternalCode(code);
    if (found.isEmpty() && !taker.isEmpty() && giveInternalCode(m_s.model(), taker, code))
        found = m_s.model().findCardsByInternalCode(code);
    return found;
}

Registrations::Result Registrations::registerTcp(QTcpSocket* connection, const QByteArray& frame)
{
    Result result;
    CardReport r;
    if (!readCardReport(frame, r) || !r.acceptableOnNewConnection()) {
        m_s.sender().sendIdentityQuery(connection);
        return result;
    }
    SendState& st = m_s.state();
    st.pacingInterval = kPacingPerSpeedUnit * r.speedUnit;
    m_s.setPacketInterval(st.pacingInterval + st.sendDelay);
    const QPointer<QTcpSocket> guarded(connection);
    bool asking = false;
    const QList<qsizetype> same = cardsWithCode(r.internalCode, QSize(r.width, r.height), &asking);
    // While the operator is asked, or when the card left meanwhile, the
    // report waits for the card's next one.
    if (asking || (connection && !guarded))
        return result;
    const QHostAddress peer = connection ? connection->peerAddress() : QHostAddress();
    bool isV4 = false;
    const quint32 v4 = peer.toIPv4Address(&isV4);
    const QString ip = isV4 ? QHostAddress(v4).toString() : peer.toString();
    const QString mac = m_macOf ? m_macOf(peer) : QString();
    const QDateTime now = QDateTime::currentDateTimeUtc();

    QList<TFIXModem>& cards = m_s.model().cards();
    for (const qsizetype i : same) {
        TFIXModem& card = cards[i];
        const bool resized = card.width != r.width || card.height != r.height;
        card.ipAddress = ip;
        // A MAC the neighbour table does not know (loopback, another subnet)
        // leaves the one a UDP detail reply gave.
        if (!mac.isEmpty())
            card.macAddress = mac;
        card.lastHeard = now;
        card.linkKind = 2;
        applyReport(card, r);
        m_s.registerConnection(card, connection);
        result.cardIndex = int(i);
        result.sizeChanged = result.sizeChanged || resized;
    }
    if (result.cardIndex < 0) {
        TFIXModem given;
        given.name = r.internalCode;
        given.internalCode = r.internalCode;
        given.linkKind = 2;
        given.ipAddress = ip;
        given.macAddress = mac;
        given.width = r.width;
        given.height = r.height;
        given.colorType = r.colorType;
        given.version = r.version;
        given.fontCount = r.fontCount;
        TFIXModem& card = m_s.model().addCard(given);
        result.cardIndex = int(cards.size()) - 1;
        m_s.registerConnection(card, connection);
        card.lastHeard = now;
        applyReport(card, r);
        m_s.addTreeCard(card.name);
        emit cardAdded(result.cardIndex);
    } else {
        emit cardUpdated(result.cardIndex, result.sizeChanged);
    }
    result.accepted = true;
    TFIXModem& card = cards[result.cardIndex];
    m_s.setNodeState(card.name, kNodeOnline);
    emit cardSelected(card.name);
    if (r.command == frame::reply::kReport)
        m_commands.sendTimeAndPoll(card);
    return result;
}

Registrations::Result Registrations::registerSerial(const CardReport& r, bool rs485)
{
    Result result;
    SendState& st = m_s.state();
    st.pacingInterval = kPacingPerSpeedUnit * r.speedUnit;
    m_s.setPacketInterval(st.pacingInterval);
    if (rs485)
        emit rs485CodeFound(r.internalCode);

    QList<TFIXModem>& cards = m_s.model().cards();
    const int linkKind = rs485 ? 1 : 0;
    bool asking = false;
    const QList<qsizetype> same = cardsWithCode(r.internalCode, QSize(r.width, r.height), &asking);
    if (asking)
        return result;
    const bool known = !same.isEmpty();
    if (!rs485 && !known) {
        m_s.setTreeCards({});
        emit treeCleared();
    }
    if (!known) {
        TFIXModem given;
        given.name = r.internalCode;
        given.internalCode = r.internalCode;
        given.linkKind = linkKind;
        given.width = r.width;
        given.height = r.height;
        given.colorType = r.colorType;
        given.version = r.version;
        given.fontCount = r.fontCount;
        TFIXModem& card = m_s.model().addCard(given);
        applyReport(card, r);
        result.cardIndex = int(cards.size()) - 1;
        m_s.addTreeCard(card.name);
        emit cardAdded(result.cardIndex);
    } else {
        for (const qsizetype i : same) {
            TFIXModem& card = cards[i];
            // A report without the seven fields still sets the size, colour
            // and version: to 64 x 32, single colour, -1.
            const bool resized = card.width != r.width || card.height != r.height;
            card.linkKind = linkKind;
            applyReport(card, r);
            result.cardIndex = int(i);
            result.sizeChanged = result.sizeChanged || resized;
        }
        m_s.addTreeCard(cards[result.cardIndex].name);
        emit cardUpdated(result.cardIndex, result.sizeChanged);
    }
    result.accepted = true;
    TFIXModem& card = cards[result.cardIndex];
    m_commands.sendTimeCalibration(card, rs485);
    m_commands.readParameters(card, rs485 ? CardCommandSender::kSerial485 : CardCommandSender::kSerialPlain);
    m_s.setNodeState(card.name, kNodeOnline);
    emit cardSelected(card.name);
    return result;
}

Registrations::Result Registrations::registerUdp(const QString& name, const QByteArray& mac,
                                                 const QByteArray& internalCode, const QByteArray& ipAddress,
                                                 int width, int height, int colorIndex, int version)
{
    Result result;
    const QString ip = joined(ipAddress, 4, u'.');
    const QString code = joined(internalCode, 8, u'_');
    const QString macText = joined(mac, 6, u':');
    const int colorType = colorIndex == 0 ? kColorSingle : colorIndex == 1 ? kColorDual : kColorTri;

    m_s.stopPacketTimer();
    m_s.setPacketInterval(kUdpPacketInterval);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<TFIXModem>& cards = m_s.model().cards();
    bool asking = false;
    const QList<qsizetype> same = cardsWithCode(code, QSize(width, height), &asking);
    if (asking)
        return result;
    for (const qsizetype i : same) {
        TFIXModem& card = cards[i];
        const bool resized = card.width != width || card.height != height;
        card.ipAddress = ip;
        card.lastHeard = now;
        card.macAddress = macText;
        card.linkKind = 2;
        card.width = width;
        card.height = height;
        card.colorType = colorType;
        card.version = version;
        result.cardIndex = int(i);
        result.sizeChanged = result.sizeChanged || resized;
    }
    if (result.cardIndex < 0) {
        TFIXModem given;
        given.name = code;
        given.internalCode = code;
        given.ipAddress = ip;
        given.macAddress = macText;
        given.linkKind = 2;
        given.width = width;
        given.height = height;
        given.colorType = colorType;
        given.version = version;
        TFIXModem& card = m_s.model().addCard(given);
        card.lastHeard = now;
        result.cardIndex = int(cards.size()) - 1;
        m_s.addTreeCard(card.name);
        emit cardAdded(result.cardIndex);
    } else {
        emit cardUpdated(result.cardIndex, result.sizeChanged);
    }
    Q_UNUSED(name); // the reply's card name is shown by the search window only
    result.accepted = true;
    // Off-line until the card connects; the presence timer and the TCP
    // registration take it from there.
    m_s.setNodeState(cards[result.cardIndex].name, kNodeOffline);
    emit cardSelected(cards[result.cardIndex].name);
    return result;
}

} // namespace ledsign
