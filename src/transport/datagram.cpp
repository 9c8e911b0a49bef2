#include "transport/datagram.h"

#include "model/codec.h"

#include <QStringList>

namespace ledsign::datagram {

namespace {

QByteArray item(quint8 type, const QByteArray& data)
{
    QByteArray out;
    out.reserve(data.size() + kItemOverhead);
    out.append(char(kItemStart));
    out.append(char(type));
    out.append(char(quint8(data.size())));
    out.append(data);
    out.append(char(kItemEnd));
    return out;
}

template <std::size_t N>
QByteArray bytesOf(const std::array<quint8, N>& a)
{
    return QByteArray(reinterpret_cast<const char*>(a.data()), qsizetype(N));
}

template <std::size_t N>
std::array<quint8, N> arrayAt(const QByteArray& bytes, qsizetype at)
{
    std::array<quint8, N> out{};
    for (std::size_t i = 0; i < N; ++i)
        out[i] = quint8(bytes.at(at + qsizetype(i)));
    return out;
}

// Length each item type of a detail reply must have to count.
int expectedLength(quint8 type)
{
    switch (type) {
    case kItemName: return 10;
    case kItemMac: return 6;
    case kItemIp: return 4;
    case kItemMask: return 4;
    case kItemExtraAddress: return 4;
    case kItemServerPort: return 2;
    case kItemByte20: return 1;
    case kItemBlock: return kBlockSize;
    case kItemInternalCode: return 8;
    default: return -1;
    }
}

} // namespace

QByteArray searchRequest()
{
    return item(kTypeSearchRequest, QByteArray(2, '\0'));
}

QByteArray detailRequest()
{
    return item(kTypeDetailRequest, QByteArray(2, '\0'));
}

QByteArray detailRequestByMac(const Mac& mac)
{
    return item(kTypeDetailByMac, bytesOf(mac));
}

QByteArray parameterWrite(const Mac& mac, const QByteArray& block)
{
    if (block.size() != kBlockSize)
        return {};
    return item(kTypeParameterTarget, bytesOf(mac)) + item(kTypeParameterBlock, block);
}

QByteArray networkSetting(const Mac& mac, const Ipv4& cardIp, const Ipv4& mask, const Ipv4& serverIp,
                          quint16 serverPort)
{
    QByteArray data = bytesOf(mac) + bytesOf(cardIp) + bytesOf(mask) + bytesOf(serverIp);
    data.append(char(serverPort >> 8));
    data.append(char(serverPort & 0xFF));
    return item(kTypeNetworkSetting, data);
}

QByteArray releaseNotice(const Mac& mac)
{
    return item(kTypeRelease, bytesOf(mac) + QByteArray(1, '\0'));
}

std::optional<SearchReply> parseSearchReply(const QByteArray& bytes)
{
    if (bytes.size() < kSearchReplyMinSize || bytes.size() > kSearchReplyMaxSize)
        return std::nullopt;
    if (quint8(bytes.at(0)) != kItemStart || quint8(bytes.at(1)) != kSearchReplyType)
        return std::nullopt;
    SearchReply reply;
    reply.cardIp = arrayAt<4>(bytes, kReplyIpOffset);
    reply.mac = arrayAt<6>(bytes, kReplyMacOffset);
    if (bytes.size() > kReplyVersionOffset) {
        reply.extraAddress = arrayAt<4>(bytes, kReplyExtraOffset);
        reply.version = quint8(bytes.at(kReplyVersionOffset));
    }
    return reply;
}

QString nameFromItem(const QByteArray& data)
{
    const qsizetype zero = data.indexOf('\0');
    const QString name = codec::decode(zero < 0 ? data : data.left(zero)).trimmed();
    if (name.contains(QLatin1String("QMV")))
        return QString::fromLatin1(kUnknownName);
    return name;
}

std::optional<DetailReply> parseDetailReply(const QByteArray& bytes)
{
    if (bytes.size() <= kSearchReplyMaxSize)
        return std::nullopt;
    DetailReply reply;
    const qsizetype size = bytes.size();
    for (qsizetype at = 0; at + kItemOverhead <= size; ++at) {
        if (quint8(bytes.at(at)) != kItemStart)
            continue;
        const quint8 type = quint8(bytes.at(at + 1));
        const int length = expectedLength(type);
        if (length < 0 || quint8(bytes.at(at + 2)) != length)
            continue;
        const qsizetype end = at + 3 + length;
        if (end >= size || quint8(bytes.at(end)) != kItemEnd)
            continue;
        const qsizetype data = at + 3;
        switch (type) {
        case kItemName: reply.name = nameFromItem(bytes.mid(data, length)); break;
        case kItemMac:
            reply.mac = arrayAt<6>(bytes, data);
            reply.hasMac = true;
            break;
        case kItemIp: reply.cardIp = arrayAt<4>(bytes, data); break;
        case kItemMask: reply.mask = arrayAt<4>(bytes, data); break;
        case kItemExtraAddress: reply.extraAddress = arrayAt<4>(bytes, data); break;
        case kItemServerPort:
            reply.serverPort = quint16((quint8(bytes.at(data)) << 8) | quint8(bytes.at(data + 1)));
            break;
        case kItemByte20: reply.byte20 = quint8(bytes.at(data)); break;
        case kItemBlock: reply.block = bytes.mid(data, length); break;
        case kItemInternalCode: reply.internalCode = arrayAt<8>(bytes, data); break;
        default: break;
        }
    }
    return reply;
}

namespace {

// The data of the item of this type and length at `at`, when it is there
// whole with its closing FF.
std::optional<QByteArray> itemAt(const QByteArray& bytes, qsizetype at, quint8 type, int length)
{
    const qsizetype end = at + 3 + length;
    if (at < 0 || end >= bytes.size() || quint8(bytes.at(at)) != kItemStart || quint8(bytes.at(at + 1)) != type
        || quint8(bytes.at(at + 2)) != length || quint8(bytes.at(end)) != kItemEnd)
        return std::nullopt;
    return bytes.mid(at + 3, length);
}

template <std::size_t N>
void putAt(QByteArray& bytes, qsizetype at, const std::array<quint8, N>& a)
{
    for (std::size_t i = 0; i < N; ++i)
        bytes[at + qsizetype(i)] = char(a[i]);
}

constexpr int kNameItemLength = 10;
constexpr int kNetworkSettingLength = 20;
constexpr int kDetailReplyPaddedSize = kSearchReplyMaxSize + 30;

} // namespace

QByteArray searchReply(const SearchReply& reply)
{
    QByteArray out(kSearchReplyBuiltSize, '\0');
    out[0] = char(kItemStart);
    out[1] = char(kSearchReplyType);
    out[2] = char(kSearchReplyBuiltSize - kItemOverhead);
    putAt(out, kReplyIpOffset, reply.cardIp);
    putAt(out, kReplyMacOffset, reply.mac);
    putAt(out, kReplyExtraOffset, reply.extraAddress);
    out[kReplyVersionOffset] = char(quint8(qBound(0, reply.version, 255)));
    out[kSearchReplyBuiltSize - 1] = char(kItemEnd);
    return out;
}

QByteArray detailReply(const DetailReply& reply)
{
    QByteArray name = codec::encode(codec::cutToBytes(reply.name, kNameItemLength));
    name.append(QByteArray(kNameItemLength - name.size(), '\0'));
    QByteArray port;
    port.append(char(reply.serverPort >> 8));
    port.append(char(reply.serverPort & 0xFF));
    QByteArray out = item(kItemName, name) + item(kItemMac, bytesOf(reply.mac)) + item(kItemIp, bytesOf(reply.cardIp))
        + item(kItemMask, bytesOf(reply.mask)) + item(kItemExtraAddress, bytesOf(reply.extraAddress))
        + item(kItemServerPort, port) + item(kItemByte20, QByteArray(1, char(reply.byte20)))
        + item(kItemInternalCode, bytesOf(reply.internalCode));
    if (reply.block.size() == kBlockSize)
        out += item(kItemBlock, reply.block);
    if (out.size() < kDetailReplyPaddedSize)
        out.append(QByteArray(kDetailReplyPaddedSize - out.size(), '\0'));
    return out;
}

std::optional<CardRequest> parseCardRequest(const QByteArray& bytes)
{
    if (bytes.size() < 3 || quint8(bytes.at(0)) != kItemStart)
        return std::nullopt;
    CardRequest r;
    const auto whole = [&](int length) { return bytes.size() == length + kItemOverhead; };
    const quint8 type = quint8(bytes.at(1));
    switch (type) {
    case kTypeSearchRequest:
    case kTypeDetailRequest:
        if (!whole(2) || !itemAt(bytes, 0, type, 2))
            return std::nullopt;
        r.kind = type == kTypeSearchRequest ? RequestKind::Search : RequestKind::Detail;
        return r;
    case kTypeDetailByMac: {
        const auto mac = itemAt(bytes, 0, type, 6);
        if (!whole(6) || !mac)
            return std::nullopt;
        r.kind = RequestKind::DetailByMac;
        r.mac = arrayAt<6>(*mac, 0);
        return r;
    }
    case kTypeParameterTarget: {
        const auto mac = itemAt(bytes, 0, type, 6);
        const auto block = itemAt(bytes, 6 + kItemOverhead, kTypeParameterBlock, kBlockSize);
        if (bytes.size() != 6 + kBlockSize + 2 * kItemOverhead || !mac || !block)
            return std::nullopt;
        r.kind = RequestKind::ParameterWrite;
        r.mac = arrayAt<6>(*mac, 0);
        r.block = *block;
        return r;
    }
    case kTypeNetworkSetting: {
        const auto data = itemAt(bytes, 0, type, kNetworkSettingLength);
        if (!whole(kNetworkSettingLength) || !data)
            return std::nullopt;
        r.kind = RequestKind::NetworkSetting;
        r.mac = arrayAt<6>(*data, 0);
        r.cardIp = arrayAt<4>(*data, 6);
        r.mask = arrayAt<4>(*data, 10);
        r.serverIp = arrayAt<4>(*data, 14);
        r.serverPort = quint16((quint8(data->at(18)) << 8) | quint8(data->at(19)));
        return r;
    }
    case kTypeRelease: {
        const auto data = itemAt(bytes, 0, type, 7);
        if (!whole(7) || !data)
            return std::nullopt;
        r.kind = RequestKind::Release;
        r.mac = arrayAt<6>(*data, 0);
        return r;
    }
    default:
        return std::nullopt;
    }
}

QString ipText(const Ipv4& ip)
{
    return QStringLiteral("%1.%2.%3.%4").arg(ip[0]).arg(ip[1]).arg(ip[2]).arg(ip[3]);
}

std::optional<Ipv4> ipFromText(const QString& text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    Ipv4 ip{};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const int v = parts[i].toInt(&ok);
        if (!ok || v < 0 || v > 255 || parts[i].isEmpty())
            return std::nullopt;
        ip[std::size_t(i)] = quint8(v);
    }
    return ip;
}

QString macDecimalText(const Mac& mac)
{
    QStringList parts;
    for (quint8 b : mac)
        parts << QString::number(b);
    return parts.join(QLatin1Char(':'));
}

std::optional<Mac> macFromDecimalText(const QString& text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 6)
        return std::nullopt;
    Mac mac{};
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        const int v = parts[i].trimmed().toInt(&ok);
        if (!ok || v < 0 || v > 255)
            return std::nullopt;
        mac[std::size_t(i)] = quint8(v);
    }
    return mac;
}

QString macHexText(const Mac& mac)
{
    QStringList parts;
    for (quint8 b : mac)
        parts << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(QLatin1Char('-'));
}

} // namespace ledsign::datagram
