#include "protocol/cardreport.h"

#include "model/codec.h"
#include "protocol/frame.h"

#include <QList>

namespace ledsign {

namespace {

int digitAt(const QByteArray& bytes, int at, int fallback)
{
    const int b = frame::byteAt(bytes, at);
    return (b >= '0' && b <= '9') ? b - '0' : fallback;
}

int fieldValue(const QByteArray& field, int fallback)
{
    bool ok = false;
    const int v = field.toInt(&ok);
    return ok ? v : fallback;
}

int colorTypeOf(int depth)
{
    switch (depth) {
    case 1: return '8';
    case 2: return '9';
    default: return ':';
    }
}

QByteArray fixedDigits(int v, int width, int maxValue)
{
    return QByteArray::number(qBound(0, v, maxValue)).rightJustified(width, '0');
}

} // namespace

bool CardReport::acceptableOnNewConnection() const
{
    const bool reportCommand = command == frame::reply::kReport
        || command == frame::reply::kMaterialReport || command == frame::reply::kHeartbeat;
    return reportCommand && trailerOk && hasAllFields();
}

bool readCardReport(const QByteArray& bytes, CardReport& out, QString* error)
{
    if (!frame::startsWithMarker(bytes)) {
        if (error)
            *error = QStringLiteral("the report does not start with a frame marker");
        return false;
    }
    if (bytes.size() < report::kCodeOffset + 8) {
        if (error)
            *error = QStringLiteral("the report is too short to carry an internal code");
        return false;
    }
    CardReport r;
    r.command = quint8(bytes[frame::kCommandOffset]);
    for (int k = 0; k < 8; ++k)
        r.internalCodeBytes[k] = quint8(bytes[report::kCodeOffset + k]);
    r.internalCode = convert::internalCodeText(r.internalCodeBytes);
    r.trailerOk = frame::hasTrailer(bytes);

    const qsizetype textEnd = bytes.size() - report::kTextEndFromBack; // inclusive
    QList<QByteArray> fields;
    if (textEnd >= report::kTextOffset)
        fields = bytes.mid(report::kTextOffset, textEnd - report::kTextOffset + 1).split('#');
    r.fieldCount = int(fields.size());
    if (r.hasAllFields()) {
        r.width = fieldValue(fields[0], report::kDefaultWidth);
        r.height = fieldValue(fields[1], report::kDefaultHeight);
        r.colorDepth = fieldValue(fields[2], report::kDefaultColorDepth);
        r.version = fieldValue(fields[3], report::kDefaultVersion);
    }
    r.colorType = colorTypeOf(r.colorDepth);
    r.fontCount = digitAt(bytes, report::kFontDigitOffset, report::kDefaultFontDigit) + 1;
    r.speedUnit = digitAt(bytes, report::kSpeedDigitOffset, report::kDefaultSpeedUnit);

    const int groups[2] = {frame::byteAt(bytes, report::kFeatureOffsetA),
                           frame::byteAt(bytes, report::kFeatureOffsetB)};
    for (int g = 0; g < 2; ++g) {
        if (groups[g] < 0)
            continue;
        r.featureGroupRead[g] = true;
        // Most significant of the five bits first.
        for (int k = 0; k < 5; ++k)
            r.featureFlags[5 * g + k] = (groups[g] >> (4 - k)) & 1;
    }

    if (r.fieldCount >= report::kMinFieldsForTypeName
        && frame::byteAt(bytes, report::kTypeMarkOffset) == 0) {
        QByteArray name = bytes.mid(report::kTypeNameOffset, report::kTypeNameSize);
        const qsizetype zero = name.indexOf('\0');
        if (zero >= 0)
            name.truncate(zero);
        r.cardType = codec::decode(name);
    }
    out = r;
    return true;
}

QByteArray buildCardReport(const CardReportContent& c, quint32 serial)
{
    QByteArray data(report::kBuiltSize - frame::kEmptyFrameSize, '\0');
    auto put = [&data](int frameOffset, const QByteArray& bytes) {
        data.replace(frameOffset - frame::kDataOffset, bytes.size(), bytes);
    };
    QByteArray code;
    for (quint8 b : c.internalCode)
        code.append(char(b));
    put(report::kCodeOffset, code);

    // Fixed-width fields, so that the digits and flag bytes the reader takes by
    // position fall inside the "#" text as further fields.
    QByteArray text;
    text += fixedDigits(c.width, 4, 9999) + '#';      // 26
    text += fixedDigits(c.height, 4, 9999) + '#';     // 31
    text += fixedDigits(c.colorDepth, 1, 9) + '#';    // 36
    text += fixedDigits(c.version, 3, 999) + '#';     // 38
    text += "0#0#0#0#";                               // 42
    text += fixedDigits(c.fontCount - 1, 1, 9) + '#'; // 50
    quint8 a = 0x40, b = 0x40; // never '#', whatever the flags
    for (int k = 0; k < 5; ++k) {
        a |= quint8((c.featureFlags[k] ? 1 : 0) << (4 - k));
        b |= quint8((c.featureFlags[5 + k] ? 1 : 0) << (4 - k));
    }
    text += char(a);                                  // 52
    text += char(b);                                  // 53
    text += "#0";                                     // 54
    text += fixedDigits(c.speedUnit, 1, 9) + '#';     // 56
    text += "0#0#0#";                                 // 58
    text += '\0';                                     // 64
    QByteArray name = codec::cutEncodedToBytes(codec::encode(c.cardType), report::kTypeNameSize);
    name = name.leftJustified(report::kTypeNameSize, '\0');
    text += name;                                     // 65
    text += '#';                                      // 70
    put(report::kTextOffset, text);
    return frame::build(c.command, data, serial);
}

} // namespace ledsign
