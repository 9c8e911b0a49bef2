#include "service/cardjson.h"

#include <cstdio>

namespace ledsign {

namespace {

void appendInt(QByteArray& out, qint64 n)
{
    out += QByteArray::number(n);
}

// Days since 1970-01-01 to the civil date (proleptic Gregorian).
void civilFromDays(qint64 z, qint64& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = qint64(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2 ? 1 : 0;
}

} // namespace

QByteArray isoUtc(const QDateTime& moment)
{
    const qint64 ms = moment.toMSecsSinceEpoch();
    const qint64 dayMs = 86400000;
    const qint64 days = ms >= 0 ? ms / dayMs : -((-ms + dayMs - 1) / dayMs);
    const qint64 inDay = ms - days * dayMs;
    qint64 y = 0;
    unsigned m = 0;
    unsigned d = 0;
    civilFromDays(days, y, m, d);
    if (y < 0 || y > 9999)
        return moment.toUTC().toString(Qt::ISODateWithMs).toLatin1();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", int(y), m, d, int(inDay / 3600000),
                  int(inDay / 60000 % 60), int(inDay / 1000 % 60), int(inDay % 1000));
    return QByteArray(text);
}

void appendJsonString(QByteArray& out, const QString& text)
{
    static const char hex[] = "0123456789abcdef";
    out += '"';
    // Names and codes are mostly plain ASCII: those go in without a UTF-8
    // copy of their own.
    bool plain = true;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x20 || u >= 0x7F || u == '"' || u == '\\') {
            plain = false;
            break;
        }
    }
    if (plain) {
        const qsizetype at = out.size();
        out.resize(at + text.size());
        char* to = out.data() + at;
        for (const QChar ch : text)
            *to++ = char(ch.unicode());
        out += '"';
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        const uchar u = uchar(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            switch (c) {
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            default:
                out += "\\u00";
                out += hex[u >> 4];
                out += hex[u & 15];
            }
        } else {
            out += c;
        }
    }
    out += '"';
}

void appendCardJson(QByteArray& out, const CardStatus& card)
{
    out += "{\"name\":";
    appendJsonString(out, card.name);
    out += card.online ? ",\"online\":true,\"width\":" : ",\"online\":false,\"width\":";
    appendInt(out, card.width);
    out += ",\"height\":";
    appendInt(out, card.height);
    out += ",\"colors\":";
    appendInt(out, card.colors);
    out += ",\"internalCode\":";
    appendJsonString(out, card.internalCode);
    out += ",\"lastHeard\":";
    if (card.lastHeard.isValid()) {
        out += '"';
        out += isoUtc(card.lastHeard);
        out += '"';
    } else {
        out += "null";
    }
    out += ",\"send\":{\"state\":";
    appendJsonString(out, card.send.state);
    out += ",\"done\":";
    appendInt(out, card.send.done);
    out += ",\"total\":";
    appendInt(out, card.send.total);
    if (!card.send.message.isEmpty()) {
        out += ",\"message\":";
        appendJsonString(out, card.send.message);
    }
    out += "}}";
}

QByteArray cardListJson(const QList<CardStatus>& cards)
{
    QByteArray out;
    out.reserve(64 + cards.size() * 200);
    out += "{\"cards\":[";
    for (qsizetype i = 0; i < cards.size(); ++i) {
        if (i > 0)
            out += ',';
        appendCardJson(out, cards[i]);
    }
    out += "]}";
    return out;
}

} // namespace ledsign
