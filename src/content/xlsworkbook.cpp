#include "content/xlsworkbook.h"

#include "content/xlsnumberformat.h"
#include "model/codec.h"

#include <QtEndian>

#include <cstring>

namespace ledsign {

namespace {

constexpr quint16 kBof = 0x0809;
constexpr quint16 kEof = 0x000A;
constexpr quint16 kContinue = 0x003C;
constexpr quint16 kFilePass = 0x002F;
constexpr quint16 kCodePage = 0x0042;
constexpr quint16 kDateMode = 0x0022;
constexpr quint16 kFormat = 0x041E;
constexpr quint16 kFormatBiff5 = 0x001E;
constexpr quint16 kStyle = 0x00E0;
constexpr quint16 kBoundSheet = 0x0085;
constexpr quint16 kSharedStrings = 0x00FC;
constexpr quint16 kLabelShared = 0x00FD;
constexpr quint16 kLabel = 0x0204;
constexpr quint16 kRichLabel = 0x00D6;
constexpr quint16 kNumber = 0x0203;
constexpr quint16 kRk = 0x027E;
constexpr quint16 kMulRk = 0x00BD;
constexpr quint16 kBoolErr = 0x0205;
constexpr quint16 kFormula = 0x0006;
constexpr quint16 kFormulaString = 0x0207;

constexpr quint16 kBiff8 = 0x0600;
constexpr quint16 kBiff5 = 0x0500;
constexpr quint16 kGlobalsKind = 0x0005;
constexpr quint16 kWorksheetKind = 0x0010;
constexpr int kMaxSheetColumns = 256;
constexpr int kMaxSheetRows = 65536;

quint16 u16(const char* p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 u32(const char* p)
{
    return qFromLittleEndian<quint32>(p);
}

double f64(const char* p)
{
    const quint64 bits = qFromLittleEndian<quint64>(p);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

bool fail(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
    return false;
}

// A record with the CONTINUE records that follow it, each part apart: a
// string that goes on in the next part starts again with its flags there.
struct Record {
    quint16 type = 0;
    QList<QByteArrayView> parts;
    QByteArray joined() const
    {
        QByteArray all;
        for (QByteArrayView p : parts)
            all += p.toByteArray();
        return all;
    }
};

class RecordWalk {
public:
    RecordWalk(const QByteArray& bytes, qsizetype at) : bytes_(bytes), at_(at) {}
    // False at the end of the stream or at a record that runs past it.
    bool next(Record& r)
    {
        if (!header(&r.type, &size_))
            return false;
        r.parts = {QByteArrayView(bytes_.constData() + at_ + 4, size_)};
        at_ += 4 + size_;
        quint16 type = 0;
        while (header(&type, &size_) && type == kContinue) {
            r.parts.append(QByteArrayView(bytes_.constData() + at_ + 4, size_));
            at_ += 4 + size_;
        }
        return true;
    }

private:
    bool header(quint16* type, int* size) const
    {
        if (at_ < 0 || at_ + 4 > bytes_.size())
            return false;
        *type = u16(bytes_.constData() + at_);
        *size = u16(bytes_.constData() + at_ + 2);
        return at_ + 4 + *size <= bytes_.size();
    }
    const QByteArray& bytes_;
    qsizetype at_;
    int size_ = 0;
};

// Reads across the parts of a record; every read checks that the bytes are there.
class PartReader {
public:
    explicit PartReader(const QList<QByteArrayView>& parts) : parts_(parts) {}
    bool atEnd()
    {
        settle();
        return part_ >= parts_.size();
    }
    bool bytes(int n, QByteArray* out = nullptr)
    {
        while (n > 0) {
            settle();
            if (part_ >= parts_.size())
                return false;
            const int take = qMin<int>(n, int(parts_[part_].size()) - at_);
            if (out)
                out->append(parts_[part_].data() + at_, take);
            at_ += take;
            n -= take;
        }
        return true;
    }
    bool u8(quint8* v)
    {
        QByteArray b;
        if (!bytes(1, &b))
            return false;
        *v = quint8(b[0]);
        return true;
    }
    bool u16v(quint16* v)
    {
        QByteArray b;
        if (!bytes(2, &b))
            return false;
        *v = u16(b.constData());
        return true;
    }
    bool u32v(quint32* v)
    {
        QByteArray b;
        if (!bytes(4, &b))
            return false;
        *v = u32(b.constData());
        return true;
    }
    // `count` characters, one or two bytes each; where a part ends inside
    // them the next part begins with a new flags byte.
    bool chars(int count, bool wide, QString* out)
    {
        while (count > 0) {
            settle();
            if (part_ >= parts_.size())
                return false;
            const int room = (int(parts_[part_].size()) - at_) / (wide ? 2 : 1);
            if (room == 0) // half a character at the end of a part
                return false;
            const int take = qMin(count, room);
            const char* p = parts_[part_].data() + at_;
            if (wide)
                for (int i = 0; i < take; ++i)
                    out->append(QChar(u16(p + 2 * i)));
            else
                out->append(QString::fromLatin1(p, take));
            at_ += take * (wide ? 2 : 1);
            count -= take;
            if (count > 0) {
                quint8 flags = 0;
                if (!nextPart() || !u8(&flags))
                    return false;
                wide = flags & 0x01;
            }
        }
        return true;
    }

private:
    void settle()
    {
        while (part_ < parts_.size() && at_ >= parts_[part_].size()) {
            ++part_;
            at_ = 0;
        }
    }
    bool nextPart()
    {
        settle();
        if (part_ >= parts_.size() || at_ != 0)
            return false;
        return true;
    }
    const QList<QByteArrayView>& parts_;
    int part_ = 0;
    int at_ = 0;
};

// A BIFF8 string: length (one or two bytes), flags, the optional counts of
// its formatting runs and extension, the characters, then runs and extension.
bool unicodeString(PartReader& r, bool shortLength, QString* out)
{
    quint16 length = 0;
    if (shortLength) {
        quint8 n = 0;
        if (!r.u8(&n))
            return false;
        length = n;
    } else if (!r.u16v(&length)) {
        return false;
    }
    quint8 flags = 0;
    if (!r.u8(&flags))
        return false;
    quint16 runs = 0;
    quint32 extension = 0;
    if ((flags & 0x08) && !r.u16v(&runs))
        return false;
    if ((flags & 0x04) && !r.u32v(&extension))
        return false;
    if (!r.chars(length, flags & 0x01, out))
        return false;
    return r.bytes(int(runs) * 4) && (extension == 0 || (extension < (1u << 24) && r.bytes(int(extension))));
}

QString byteText(const QByteArray& bytes, int codePage)
{
    if (codePage == 936 || codePage == 54936)
        return codec::decode(bytes);
    return QString::fromLatin1(bytes);
}

// A BIFF5 string: its length in one or two bytes, then the bytes in the
// workbook's code page.
bool byteString(PartReader& r, bool shortLength, int codePage, QString* out)
{
    quint16 length = 0;
    if (shortLength) {
        quint8 n = 0;
        if (!r.u8(&n))
            return false;
        length = n;
    } else if (!r.u16v(&length)) {
        return false;
    }
    QByteArray b;
    if (!r.bytes(length, &b))
        return false;
    *out = byteText(b, codePage);
    return true;
}

bool sheetString(PartReader& r, const XlsGlobals& g, bool shortLength, QString* out)
{
    return g.biff8 ? unicodeString(r, shortLength, out) : byteString(r, shortLength, g.codePage, out);
}

QString errorText(quint8 code)
{
    switch (code) {
    case 0x00: return QStringLiteral("#NULL!");
    case 0x07: return QStringLiteral("#DIV/0!");
    case 0x0F: return QStringLiteral("#VALUE!");
    case 0x17: return QStringLiteral("#REF!");
    case 0x1D: return QStringLiteral("#NAME?");
    case 0x24: return QStringLiteral("#NUM!");
    default: return QStringLiteral("#N/A");
    }
}

double rkValue(quint32 rk)
{
    double v;
    if (rk & 0x02) {
        v = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, sizeof v);
    }
    return (rk & 0x01) ? v / 100.0 : v;
}

} // namespace

bool readXlsGlobals(const QByteArray& workbook, XlsGlobals* g, QString* reason)
{
    *g = XlsGlobals{};
    RecordWalk walk(workbook, 0);
    Record r;
    if (!walk.next(r) || r.type != kBof)
        return fail(reason, QStringLiteral("not a workbook"));
    const QByteArray bof = r.joined();
    if (bof.size() < 4 || u16(bof.constData() + 2) != kGlobalsKind)
        return fail(reason, QStringLiteral("not a workbook"));
    const quint16 version = u16(bof.constData());
    if (version != kBiff8 && version != kBiff5)
        return fail(reason, QStringLiteral("a spreadsheet format older than Excel 95"));
    g->biff8 = version == kBiff8;
    bool ended = false;
    while (walk.next(r)) {
        if (r.type == kEof) {
            ended = true;
            break;
        }
        PartReader in(r.parts);
        switch (r.type) {
        case kFilePass:
            return fail(reason, QStringLiteral("protected by a password"));
        case kCodePage: {
            quint16 cp = 0;
            if (in.u16v(&cp))
                g->codePage = cp;
            break;
        }
        case kDateMode: {
            quint16 mode = 0;
            if (in.u16v(&mode))
                g->date1904 = mode == 1;
            break;
        }
        case kFormat:
        case kFormatBiff5: {
            quint16 index = 0;
            QString code;
            if (in.u16v(&index) && sheetString(in, *g, !g->biff8, &code))
                g->formats.insert(index, code);
            break;
        }
        case kStyle: {
            quint16 font = 0, format = 0;
            if (in.u16v(&font) && in.u16v(&format))
                g->styleFormats.append(format);
            break;
        }
        case kBoundSheet: {
            quint32 offset = 0;
            quint8 state = 0, kind = 0;
            XlsWorksheet sheet;
            if (!in.u32v(&offset) || !in.u8(&state) || !in.u8(&kind)
                || !sheetString(in, *g, true, &sheet.name))
                return fail(reason, QStringLiteral("a damaged sheet list"));
            if (kind != 0) // a chart, macro or module sheet
                break;
            sheet.visible = (state & 0x03) == 0;
            sheet.offset = offset;
            g->worksheets.append(sheet);
            break;
        }
        case kSharedStrings: {
            quint32 total = 0, unique = 0;
            if (!in.u32v(&total) || !in.u32v(&unique))
                return fail(reason, QStringLiteral("damaged shared strings"));
            // Each string takes three bytes at least: the count cannot
            // promise more than the record holds.
            while (quint32(g->sharedStrings.size()) < unique && !in.atEnd()) {
                QString s;
                if (!unicodeString(in, false, &s))
                    return fail(reason, QStringLiteral("damaged shared strings"));
                g->sharedStrings.append(s);
            }
            break;
        }
        default:
            break;
        }
    }
    if (!ended)
        return fail(reason, QStringLiteral("cut short"));
    return true;
}

bool readXlsCellTexts(const QByteArray& workbook, const XlsGlobals& g, const XlsWorksheet& sheet, int maxRows,
                      int maxColumns, XlsCellTexts* texts, QString* reason)
{
    *texts = XlsCellTexts{};
    if (sheet.offset <= 0 || sheet.offset >= workbook.size())
        return fail(reason, QStringLiteral("the sheet %1 lies outside the file").arg(sheet.name));
    RecordWalk walk(workbook, sheet.offset);
    Record r;
    if (!walk.next(r) || r.type != kBof)
        return fail(reason, QStringLiteral("the sheet %1 is damaged").arg(sheet.name));
    const QByteArray bof = r.joined();
    if (bof.size() < 4 || u16(bof.constData() + 2) != kWorksheetKind)
        return fail(reason, QStringLiteral("the sheet %1 is no worksheet").arg(sheet.name));

    auto shown = [&](int style, double value) {
        const int format = style >= 0 && style < g.styleFormats.size() ? g.styleFormats[style] : 0;
        const QString code = g.formats.value(format, builtInNumberFormat(format));
        return formatSpreadsheetNumber(value, code, g.date1904);
    };
    auto put = [&](int row, int column, const QString& text) {
        if (row >= kMaxSheetRows || column >= kMaxSheetColumns || text.isEmpty())
            return;
        texts->rows = qMax(texts->rows, row + 1);
        texts->columns = qMax(texts->columns, column + 1);
        if (row < maxRows && column < maxColumns)
            texts->cells.insert(XlsCellTexts::key(row, column), text);
    };
    // A formula whose result is a text finds it in the record after it.
    int pendingRow = -1, pendingColumn = -1;
    // Charts and other objects inside the sheet bring their own BOF ... EOF.
    int depth = 1;
    while (depth > 0) {
        if (!walk.next(r))
            return fail(reason, QStringLiteral("the sheet %1 is cut short").arg(sheet.name));
        if (r.type == kBof) {
            ++depth;
            continue;
        }
        if (r.type == kEof) {
            --depth;
            continue;
        }
        if (depth > 1)
            continue;
        PartReader in(r.parts);
        quint16 row = 0, column = 0, style = 0;
        const bool cell = r.type == kLabelShared || r.type == kLabel || r.type == kRichLabel || r.type == kNumber
                          || r.type == kRk || r.type == kBoolErr || r.type == kFormula || r.type == kMulRk;
        if (cell && (!in.u16v(&row) || !in.u16v(&column) || (r.type != kMulRk && !in.u16v(&style))))
            return fail(reason, QStringLiteral("a damaged cell in the sheet %1").arg(sheet.name));
        bool ok = true;
        switch (r.type) {
        case kLabelShared: {
            quint32 index = 0;
            ok = in.u32v(&index);
            if (ok && index < quint32(g.sharedStrings.size()))
                put(row, column, g.sharedStrings[int(index)]);
            break;
        }
        case kLabel:
        case kRichLabel: {
            QString s;
            ok = sheetString(in, g, false, &s);
            if (ok)
                put(row, column, s);
            break;
        }
        case kNumber: {
            QByteArray b;
            ok = in.bytes(8, &b);
            if (ok)
                put(row, column, shown(style, f64(b.constData())));
            break;
        }
        case kRk: {
            quint32 rk = 0;
            ok = in.u32v(&rk);
            if (ok)
                put(row, column, shown(style, rkValue(rk)));
            break;
        }
        case kMulRk: {
            // Pairs of style and value, then the last column.
            const QByteArray b = r.joined();
            const int pairs = (int(b.size()) - 6) / 6;
            ok = pairs >= 1 && (b.size() - 6) % 6 == 0;
            for (int i = 0; ok && i < pairs && column + i < kMaxSheetColumns; ++i) {
                const char* p = b.constData() + 4 + 6 * i;
                put(row, column + i, shown(u16(p), rkValue(u32(p + 2))));
            }
            break;
        }
        case kBoolErr: {
            quint8 value = 0, isError = 0;
            ok = in.u8(&value) && in.u8(&isError);
            if (ok)
                put(row, column, isError ? errorText(value) : QString::fromLatin1(value ? "TRUE" : "FALSE"));
            break;
        }
        case kFormula: {
            QByteArray b;
            ok = in.bytes(8, &b);
            if (!ok)
                break;
            if (u16(b.constData() + 6) != 0xFFFF) {
                put(row, column, shown(style, f64(b.constData())));
            } else if (quint8(b[0]) == 0) {
                pendingRow = row;
                pendingColumn = column;
                continue;
            } else if (quint8(b[0]) == 1) {
                put(row, column, QString::fromLatin1(b[2] ? "TRUE" : "FALSE"));
            } else if (quint8(b[0]) == 2) {
                put(row, column, errorText(quint8(b[2])));
            }
            break;
        }
        case kFormulaString: {
            QString s;
            ok = sheetString(in, g, false, &s);
            if (ok && pendingRow >= 0)
                put(pendingRow, pendingColumn, s);
            break;
        }
        default:
            break;
        }
        if (!ok)
            return fail(reason, QStringLiteral("a damaged cell in the sheet %1").arg(sheet.name));
        if (cell || r.type == kFormulaString)
            pendingRow = pendingColumn = -1;
    }
    return true;
}

} // namespace ledsign
