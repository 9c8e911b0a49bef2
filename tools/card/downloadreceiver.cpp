#include "downloadreceiver.h"

#include "cardwire.h"


namespace ledsign::card {

namespace {

// Descriptor tail, relative to the byte after the material id.
constexpr int kTailComma = 0;
constexpr int kTailDigits = 4;        // "010101991231"
constexpr int kTailKindByte = 16;     // 0x0E, 0x13 for internal-code text, 0x03 text program
constexpr int kTailZeros = 17;
constexpr int kTailSignature = 20;    // 55 AA 00, "all" in a text-program frame
constexpr int kTailTypeCode = 24;
constexpr int kTailFrameOrder = 27;
constexpr int kTailPlanes = 28;
constexpr int kTailOne = 29;
constexpr int kTailPictures = 30;     // LE16
constexpr int kTailSize = 34;
constexpr int kTailSizeInternalCode = 32;
constexpr int kTextProgramLength = 23; // LE32 c + 1
constexpr int kTextProgramSemicolon = 27;
constexpr int kTextProgramText = 28;

constexpr int kTrailerSize = 8;       // FF 00 sendNo count number
constexpr int kCheckSize = 2;
constexpr int kEntryFixed = 32;       // id, type, four places, "1000000000"

const QByteArray kDigits("010101991231");
const QByteArray kEndMarker("-1,");

bool isDisplayDataType(int t) { return (t >= '8' && t <= ':') || (t >= ';' && t <= '='); }

// Length field of the one-frame blocks, by type code.
int oneFrameBlockLength(int t)
{
    switch (t) {
    case '0':
    case '1':
        return 17;
    case '3':
    case '4':
        return 24;
    case '5':
        return 18;
    case '6':
        return 27;
    default:
        return -1;
    }
}

quint16 le16(const QByteArray& b, qsizetype at) { return wire::le16(b, at); }

bool checkValueMatches(const QByteArray& b, qsizetype from, qsizetype to, qsizetype at)
{
    const quint16 crc = wire::modbusCrc(b, from, to);
    return at + 1 < b.size() && quint8(b[at]) == (crc & 0xFF) && quint8(b[at + 1]) == (crc >> 8);
}

bool readNumber(const QByteArray& text, int& out)
{
    bool ok = false;
    out = text.toInt(&ok);
    return ok && out >= 0;
}

} // namespace

bool DownloadReceiver::takeHeader(const QByteArray& description, QString& error)
{
    m_hasHeader = false;
    m_complete = false;
    m_pages.clear();
    m_entries.clear();
    m_materials.clear();
    m_firstPageId.clear();

    const qsizetype firstComma = description.indexOf(',');
    if (firstComma <= 0) {
        error = QStringLiteral("playbill header without a page");
        return false;
    }
    m_firstPageId = QString::fromLatin1(description.left(firstComma));
    qsizetype at = firstComma;
    while (at < description.size()) {
        if (description[at] == ',') {
            // A page: the 11 bytes of its play time, then a full stop.
            if (at + 12 >= description.size()) {
                error = QStringLiteral("page %1 cut short").arg(m_pages.size() + 1);
                return false;
            }
            if (description[at + 12] != '.') {
                error = QStringLiteral("page %1: no full stop after the play time").arg(m_pages.size() + 1);
                return false;
            }
            m_pages.append({description.mid(at + 1, 11)});
            at += 13;
            continue;
        }
        if (m_pages.isEmpty()) {
            error = QStringLiteral("material entry before any page");
            return false;
        }
        // The type code may itself be ';' (an animation): the fixed part is
        // read by position, the closing semicolon is looked for after it.
        const qsizetype end = description.indexOf(';', at + kEntryFixed);
        if (end < 0) {
            error = QStringLiteral("material entry %1 has no closing semicolon").arg(m_entries.size() + 1);
            return false;
        }
        const QByteArray e = description.mid(at, end - at);
        PlaybillEntry entry;
        entry.page = int(m_pages.size()) - 1;
        int x8 = 0, y = 0, w8 = 0, h = 0;
        const qsizetype hash = e.indexOf('#', kEntryFixed);
        if (e.size() < kEntryFixed + 2 || e.mid(22, 10) != "1000000000" || !readNumber(e.mid(10, 3), x8)
            || !readNumber(e.mid(13, 3), y) || !readNumber(e.mid(16, 3), w8) || !readNumber(e.mid(19, 3), h)
            || !e.mid(kEntryFixed).startsWith("#0") || hash != kEntryFixed || e.indexOf('#', hash + 1) < 0) {
            error = QStringLiteral("material entry %1 is malformed: %2")
                        .arg(m_entries.size() + 1)
                        .arg(QString::fromLatin1(e));
            return false;
        }
        entry.id = QString::fromLatin1(e.left(9));
        entry.typeCode = quint8(e[9]);
        entry.x = x8 * 8;
        entry.y = y;
        entry.width = w8 * 8;
        entry.height = h;
        const qsizetype second = e.indexOf('#', hash + 1);
        entry.playTimes = QString::fromLatin1(e.mid(hash + 2, second - hash - 2));
        m_entries.append(entry);
        at = end + 1;
    }
    if (m_entries.isEmpty()) {
        error = QStringLiteral("playbill header without materials");
        return false;
    }
    m_hasHeader = true;
    return true;
}

bool DownloadReceiver::checkBlock(const QByteArray& f, qsizetype start, qsizetype end, int typeCode,
                                  FrameVerdict& v, QByteArray& payload)
{
    auto fail = [&v](const QString& why) {
        v.error = why;
        return false;
    };
    qsizetype blockSize = 0;
    qsizetype trailerAt = 0;
    qsizetype crcFrom = 0;
    if (typeCode == '7') {
        if (end - start < 11 + kTrailerSize + kCheckSize)
            return fail(QStringLiteral("text slice block too short"));
        const quint32 t10 = wire::le32(f, start + 7);
        if (t10 < 10)
            return fail(QStringLiteral("text slice length field below 10"));
        const qsizetype t = qsizetype(t10) - 10;
        blockSize = 11 + t + kTrailerSize + kCheckSize;
        trailerAt = start + 11 + t;
        crcFrom = start + 10 + t;
        payload = f.mid(start + 11, t);
    } else if (isDisplayDataType(typeCode)) {
        const quint32 d10 = wire::le32(f, start);
        if (d10 < 10)
            return fail(QStringLiteral("display-data length field below 10"));
        const qsizetype d = qsizetype(d10) - 10;
        blockSize = 4 + d + kTrailerSize + kCheckSize;
        trailerAt = start + 4 + d;
        crcFrom = start + 3 + d;
        if (d == 0)
            return fail(QStringLiteral("display-data block without data"));
        payload = f.mid(start + 4, d);
    } else {
        const int expected = oneFrameBlockLength(typeCode);
        if (expected < 0)
            return fail(QStringLiteral("unknown type code 0x%1").arg(typeCode, 2, 16, QLatin1Char('0')));
        const quint32 length = wire::le32(f, start);
        if (length != quint32(expected))
            return fail(QStringLiteral("block length %1, expected %2 for type %3")
                            .arg(length)
                            .arg(expected)
                            .arg(QChar(typeCode)));
        blockSize = 4 + expected;
        trailerAt = start + 4 + expected - kTrailerSize - kCheckSize;
        crcFrom = start + 4;
        payload = f.mid(start + 4, expected - kTrailerSize - kCheckSize);
    }
    if (start + blockSize != end)
        return fail(QStringLiteral("block of %1 bytes where the frame leaves %2").arg(blockSize).arg(end - start));
    if (quint8(f[trailerAt]) != 0xFF || quint8(f[trailerAt + 1]) != 0x00)
        return fail(QStringLiteral("block trailer does not start FF 00"));
    v.sendNo = le16(f, trailerAt + 2);
    v.blockCount = le16(f, trailerAt + 4);
    v.blockNo = le16(f, trailerAt + 6);
    if (!checkValueMatches(f, crcFrom, trailerAt + kTrailerSize, trailerAt + kTrailerSize)) {
        v.lineFault = true;
        return fail(QStringLiteral("check value of material %1 block %2 is wrong").arg(v.sendNo).arg(v.blockNo));
    }
    if (v.blockCount < 1 || v.blockNo < 1 || v.blockNo > v.blockCount)
        return fail(QStringLiteral("block %1 of %2").arg(v.blockNo).arg(v.blockCount));
    if (oneFrameBlockLength(typeCode) > 0 && (v.blockCount != 1 || v.blockNo != 1))
        return fail(QStringLiteral("one-frame material numbered %1 of %2").arg(v.blockNo).arg(v.blockCount));
    return true;
}

FrameVerdict DownloadReceiver::takeMaterialFrame(const QByteArray& f)
{
    FrameVerdict v;
    auto fail = [&v](const QString& why) {
        v.error = why;
        return v;
    };
    const QString problem = wire::frameProblem(f);
    if (!problem.isEmpty()) {
        v.lineFault = true;
        return fail(problem);
    }
    if (wire::command(f) != wire::cmd::kMaterial)
        return fail(QStringLiteral("not a material frame"));
    const qsizetype comma = f.indexOf(',', wire::kDataAt);
    if (comma <= wire::kDataAt || comma - wire::kDataAt > 32)
        return fail(QStringLiteral("material id missing"));
    const QString id = QString::fromLatin1(f.mid(wire::kDataAt, comma - wire::kDataAt));
    const qsizetype tail = comma;
    auto at = [&f, tail](int offset) { return wire::byteAt(f, tail + offset); };
    if (f.size() < tail + kTailSizeInternalCode + 2)
        return fail(QStringLiteral("descriptor cut short"));
    if (f.mid(tail + kTailDigits, kDigits.size()) != kDigits)
        return fail(QStringLiteral("descriptor digits 010101991231 missing"));

    // A text-program text frame has a descriptor of its own.
    if (at(kTailKindByte) == 0x03 && f.mid(tail + kTailSignature, 3) == "all") {
        v.textProgram = true;
        const quint32 c1 = wire::le32(f, tail + kTextProgramLength);
        if (at(kTextProgramSemicolon) != ';' || c1 < 1)
            return fail(QStringLiteral("text-program frame without its text length"));
        const qsizetype textEnd = tail + kTextProgramText + qsizetype(c1) - 1;
        const qsizetype rest = f.size() - textEnd;
        if (rest == 5 && f.mid(textEnd, 3) == kEndMarker)
            v.endMarker = true;
        else if (rest != 2)
            return fail(QStringLiteral("text-program text length does not fit the frame"));
        v.ok = true;
        return v;
    }

    const int typeCode = at(kTailTypeCode);
    const bool internalCode = typeCode == '7';
    const int tailSize = internalCode ? kTailSizeInternalCode : kTailSize;
    if (at(kTailKindByte) != (internalCode ? 0x13 : 0x0E))
        return fail(QStringLiteral("descriptor byte 16 is 0x%1").arg(at(kTailKindByte), 2, 16, QLatin1Char('0')));
    if (at(kTailZeros) != 0 || at(kTailZeros + 1) != 0 || at(kTailZeros + 2) != 0
        || at(kTailSignature) != 0x55 || at(kTailSignature + 1) != 0xAA || at(kTailSignature + 2) != 0
        || at(kTailOne) != '1' || at(kTailComma) != ',')
        return fail(QStringLiteral("descriptor constants wrong"));
    if (at(kTailPlanes) != '0' + m_colorDepth)
        return fail(QStringLiteral("descriptor says %1 colour planes, the card has %2")
                        .arg(QChar(at(kTailPlanes)))
                        .arg(m_colorDepth));
    if (!internalCode && (at(32) != 0 || at(33) != 0))
        return fail(QStringLiteral("descriptor bytes 32-33 not zero"));
    const int pictures = wire::le16(f, tail + kTailPictures);

    // The block, then the end marker of the last frame, then FF FF.
    const qsizetype blockStart = tail + tailSize;
    qsizetype blockEnd = f.size() - 2;
    QByteArray payload;
    FrameVerdict probe;
    if (!checkBlock(f, blockStart, blockEnd, typeCode, probe, payload)) {
        // Perhaps the end marker sits before the trailer.
        v.lineFault = probe.lineFault;
        if (f.mid(blockEnd - 3, 3) != kEndMarker)
            return fail(probe.error);
        probe = FrameVerdict();
        blockEnd -= 3;
        v.endMarker = true;
        if (!checkBlock(f, blockStart, blockEnd, typeCode, probe, payload)) {
            v.lineFault = probe.lineFault;
            return fail(probe.error);
        }
        v.lineFault = false;
    }
    v.sendNo = probe.sendNo;
    v.blockNo = probe.blockNo;
    v.blockCount = probe.blockCount;

    if (at(kTailFrameOrder) != (v.blockNo == 1 ? '1' : '2'))
        return fail(QStringLiteral("frame order byte wrong for block %1").arg(v.blockNo));
    if (internalCode ? pictures != 0 : (isDisplayDataType(typeCode) ? pictures < 1 : pictures != 1))
        return fail(QStringLiteral("picture count %1 wrong for type %2").arg(pictures).arg(QChar(typeCode)));

    // Against the header.
    if (!m_hasHeader)
        return fail(QStringLiteral("material frame before any playbill header"));
    if (v.sendNo < 1 || v.sendNo > m_entries.size())
        return fail(QStringLiteral("send number %1 outside 1..%2").arg(v.sendNo).arg(m_entries.size()));
    const PlaybillEntry& entry = m_entries[v.sendNo - 1];
    if (entry.id != id || entry.typeCode != typeCode)
        return fail(QStringLiteral("material %1 is %2 type %3, the header lists %4 type %5")
                        .arg(v.sendNo)
                        .arg(id, QChar(typeCode), entry.id, QChar(entry.typeCode)));
    // Materials come in order, each whole before the next.
    if (v.sendNo > 1 && !(m_materials.contains(v.sendNo - 1) && m_materials[v.sendNo - 1].whole())) {
        v.lineFault = true;
        return fail(QStringLiteral("material %1 arrived before material %2").arg(v.sendNo).arg(v.sendNo - 1));
    }
    if (v.sendNo < m_entries.size() && v.endMarker)
        return fail(QStringLiteral("end marker in material %1 of %2").arg(v.sendNo).arg(m_entries.size()));
    if (v.endMarker && v.blockNo != v.blockCount)
        return fail(QStringLiteral("end marker in block %1 of %2").arg(v.blockNo).arg(v.blockCount));
    if (!v.endMarker && v.sendNo == m_entries.size() && v.blockNo == v.blockCount)
        return fail(QStringLiteral("the last frame of the playbill has no end marker"));
    if (internalCode) {
        if (wire::le16(f, blockStart) * 8 != entry.width || wire::le16(f, blockStart + 2) != entry.height)
            return fail(QStringLiteral("text slice size differs from the region"));
    }

    // Nothing of a refused frame is kept: its correct resend is taken as if
    // it came the first time.
    Material fresh;
    fresh.descriptor = {id, typeCode, at(1), at(2), at(3), at(23), pictures};
    if (internalCode)
        fresh.head = f.mid(blockStart, 7);
    fresh.typeCode = typeCode;
    fresh.blockCount = v.blockCount;
    fresh.pictureCount = pictures;
    const auto held = m_materials.constFind(v.sendNo);
    Material m = held == m_materials.cend() ? fresh : *held;
    if (m.blockCount != v.blockCount || m.pictureCount != pictures)
        return fail(QStringLiteral("material %1 changed its block or picture count").arg(v.sendNo));
    if (v.blockNo > 1 && !m.blocks.contains(v.blockNo - 1)) {
        v.lineFault = true;
        return fail(QStringLiteral("block %1 of material %2 arrived before block %3")
                        .arg(v.blockNo)
                        .arg(v.sendNo)
                        .arg(v.blockNo - 1));
    }
    if (isDisplayDataType(typeCode) && v.blockNo < v.blockCount && payload.size() != 2048)
        return fail(QStringLiteral("block %1 of material %2 carries %3 bytes, not 2048")
                        .arg(v.blockNo)
                        .arg(v.sendNo)
                        .arg(payload.size()));
    const auto old = m.blocks.constFind(v.blockNo);
    if (old != m.blocks.cend() && *old != payload)
        return fail(QStringLiteral("block %1 of material %2 came again with other bytes").arg(v.blockNo).arg(v.sendNo));
    m.blocks.insert(v.blockNo, payload);
    if (v.endMarker)
        m.endMarkerSeen = true;

    if (m.whole() && isDisplayDataType(typeCode)) {
        const qsizetype perPicture = qsizetype(entry.width) * entry.height * m_colorDepth / 8;
        qsizetype have = 0;
        for (const QByteArray& b : std::as_const(m.blocks))
            have += b.size();
        if (perPicture <= 0 || have != perPicture * pictures)
            return fail(QStringLiteral("material %1 has %2 bytes of display data, %3 pictures of %4x%5 need %6")
                            .arg(v.sendNo)
                            .arg(have)
                            .arg(pictures)
                            .arg(entry.width)
                            .arg(entry.height)
                            .arg(perPicture * pictures));
    }
    m_materials.insert(v.sendNo, m);
    v.ok = true;
    finishIfWhole(v);
    return v;
}

bool DownloadReceiver::nextWanted(int& sendNo, int& blockNo) const
{
    if (!m_hasHeader || m_complete)
        return false;
    for (int n = 1; n <= m_entries.size(); ++n) {
        const auto it = m_materials.constFind(n);
        if (it == m_materials.cend()) {
            sendNo = n;
            blockNo = 1;
            return true;
        }
        if (!it->whole()) {
            sendNo = n;
            blockNo = 1;
            while (it->blocks.contains(blockNo))
                ++blockNo;
            return true;
        }
    }
    // Every material is whole but the end marker never came: the last frame.
    sendNo = int(m_entries.size());
    blockNo = m_materials.last().blockCount;
    return true;
}

void DownloadReceiver::finishIfWhole(FrameVerdict& v)
{
    if (m_complete || m_materials.size() != m_entries.size())
        return;
    for (auto it = m_materials.cbegin(); it != m_materials.cend(); ++it) {
        if (!it->whole())
            return;
    }
    if (!m_materials.last().endMarkerSeen)
        return;
    m_complete = true;
    v.completesPlaybill = true;
}

QByteArray DownloadReceiver::displayData(int sendNo) const
{
    const auto it = m_materials.constFind(sendNo);
    if (it == m_materials.cend() || !it->whole())
        return {};
    QByteArray all;
    for (const QByteArray& b : it->blocks)
        all += b;
    return all;
}

MaterialDescriptor DownloadReceiver::descriptor(int sendNo) const
{
    const auto it = m_materials.constFind(sendNo);
    return it == m_materials.cend() || !it->whole() ? MaterialDescriptor() : it->descriptor;
}

QByteArray DownloadReceiver::content(int sendNo) const
{
    const auto it = m_materials.constFind(sendNo);
    if (it == m_materials.cend() || !it->whole())
        return {};
    return it->head + displayData(sendNo);
}

int DownloadReceiver::pictureCount(int sendNo) const
{
    const auto it = m_materials.constFind(sendNo);
    return it == m_materials.cend() ? 0 : it->pictureCount;
}

QList<QImage> DownloadReceiver::pictures(int sendNo) const
{
    QList<QImage> out;
    if (sendNo < 1 || sendNo > m_entries.size())
        return out;
    const auto it = m_materials.constFind(sendNo);
    if (it == m_materials.cend() || !isDisplayDataType(it->typeCode))
        return out;
    const PlaybillEntry& e = m_entries[sendNo - 1];
    const QByteArray data = displayData(sendNo);
    const qsizetype per = qsizetype(e.width) * e.height * m_colorDepth / 8;
    if (per <= 0)
        return out;
    for (int k = 0; k < it->pictureCount && (k + 1) * per <= data.size(); ++k)
        out.append(decodePicture(data.mid(k * per, per), e.width, e.height, m_colorDepth));
    return out;
}

QImage decodePicture(const QByteArray& data, int width, int height, int planes)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    if (width <= 0 || height <= 0 || planes < 1 || planes > 3)
        return image;
    const qsizetype pixels = qsizetype(width) * height;
    for (qsizetype i = 0; i < pixels; ++i) {
        const qsizetype group = i / 8;
        const int bit = 7 - int(i % 8);
        int lit[3] = {0, 0, 0};
        for (int p = 0; p < planes; ++p) {
            const qsizetype at = group * planes + p;
            if (at >= data.size())
                return image;
            lit[p] = ((quint8(data[at]) >> bit) & 1) == 0 ? 255 : 0;
        }
        image.setPixel(int(i % width), int(i / width), qRgb(lit[0], lit[1], lit[2]));
    }
    return image;
}

} // namespace ledsign::card
