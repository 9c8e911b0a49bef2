#include "content/xlssheetlayout.h"

#include <QtEndian>

namespace ledsign {

namespace {

constexpr quint16 kBof = 0x0809;
constexpr quint16 kEof = 0x000A;
constexpr quint16 kBoundSheet = 0x0085;
constexpr quint16 kMergedCells = 0x00E5;
constexpr quint16 kColumnInfo = 0x007D;
constexpr quint16 kRow = 0x0208;
constexpr quint16 kWorksheetKind = 0x0010; // BOF substream type

constexpr int kMaxColumns = 256; // a BIFF8 sheet
constexpr int kMaxRows = 65536;

quint16 u16(const char* p)
{
    return qFromLittleEndian<quint16>(p);
}

// One record at a time, never past the end of the stream.
struct RecordWalk {
    const QByteArray& bytes;
    qsizetype at = 0;
    quint16 type = 0;
    const char* data = nullptr;
    int size = 0;

    bool next()
    {
        if (at + 4 > bytes.size())
            return false;
        type = u16(bytes.constData() + at);
        size = u16(bytes.constData() + at + 2);
        if (at + 4 + size > bytes.size())
            return false;
        data = bytes.constData() + at + 4;
        at += 4 + size;
        return true;
    }
};

// Offset of the first worksheet's BOF record; -1 when the globals name none.
qsizetype firstWorksheet(const QByteArray& workbook)
{
    RecordWalk walk {workbook};
    if (!walk.next() || walk.type != kBof)
        return -1;
    while (walk.next() && walk.type != kEof) {
        // Stream position (4), visibility (1), sheet type (1: 0 worksheet), name.
        if (walk.type == kBoundSheet && walk.size >= 6 && quint8(walk.data[5]) == 0)
            return qsizetype(qFromLittleEndian<quint32>(walk.data));
    }
    return -1;
}

// Widths are counted in 1/256 of the width of a digit of the sheet's
// default font, about 7 pixels; heights in twips (1/20 point, 96 dpi).
int columnPixels(quint16 units)
{
    return (int(units) * 7 + 128) / 256;
}

int rowPixels(quint16 twips)
{
    return (int(twips & 0x7FFF) + 7) / 15;
}

} // namespace

XlsSheetLayout readXlsSheetLayout(const QByteArray& workbook)
{
    return readXlsSheetLayout(workbook, firstWorksheet(workbook));
}

XlsSheetLayout readXlsSheetLayout(const QByteArray& workbook, qsizetype sheet)
{
    XlsSheetLayout layout;
    if (sheet < 0 || sheet >= workbook.size())
        return layout;
    RecordWalk walk {workbook, sheet};
    if (!walk.next() || walk.type != kBof || walk.size < 4 || u16(walk.data + 2) != kWorksheetKind)
        return layout;
    // Charts and other objects inside the sheet bring their own BOF ... EOF.
    int depth = 1;
    while (depth > 0 && walk.next()) {
        if (walk.type == kBof) {
            ++depth;
        } else if (walk.type == kEof) {
            --depth;
        } else if (depth == 1 && walk.type == kMergedCells && walk.size >= 2) {
            const int count = qMin<int>(u16(walk.data), (walk.size - 2) / 8);
            for (int i = 0; i < count; ++i) {
                const char* r = walk.data + 2 + 8 * i;
                const CellRange range {u16(r + 4), u16(r), u16(r + 6), u16(r + 2)};
                if (range.left <= range.right && range.top <= range.bottom && range.right < kMaxColumns)
                    layout.merges.append(range);
            }
        } else if (depth == 1 && walk.type == kColumnInfo && walk.size >= 6) {
            const int first = u16(walk.data);
            const int last = qMin<int>(u16(walk.data + 2), kMaxColumns - 1);
            for (int c = first; c <= last; ++c)
                layout.columnWidths.insert(c, columnPixels(u16(walk.data + 4)));
        } else if (depth == 1 && walk.type == kRow && walk.size >= 8) {
            const int row = u16(walk.data);
            if (row < kMaxRows)
                layout.rowHeights.insert(row, rowPixels(u16(walk.data + 6)));
        }
    }
    return layout;
}

} // namespace ledsign
