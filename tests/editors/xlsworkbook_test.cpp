// The workbook records under the ".xls" import, laid out by hand: shared
// strings that go on in a CONTINUE record (and change width there), number
// formats of the cell styles, hidden sheets, and the cells a sheet holds:
// text results of formulas in the STRING record after them, booleans,
// errors, the three RK forms of MULRK.
#include "content/xlsworkbook.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <cstring>

using namespace ledsign;

namespace {

QByteArray u16s(std::initializer_list<quint16> values)
{
    QByteArray b;
    for (quint16 v : values) {
        b.append(char(v & 0xFF));
        b.append(char(v >> 8));
    }
    return b;
}

QByteArray u32s(quint32 v)
{
    return u16s({quint16(v & 0xFFFF), quint16(v >> 16)});
}

QByteArray record(quint16 type, const QByteArray& data)
{
    return u16s({type, quint16(data.size())}) + data;
}

QByteArray bof(quint16 kind)
{
    return record(0x0809, u16s({0x0600, kind, 0, 0, 0, 0, 0, 0}));
}

QByteArray style(quint16 format)
{
    return record(0x00E0, u16s({0, format}) + QByteArray(16, '\0'));
}

QByteArray sheetEntry(quint32 offset, quint8 state, char name)
{
    return record(0x0085, u32s(offset) + QByteArray(1, char(state)) + QByteArray("\0\x01\0", 3) + QByteArray(1, name));
}

QByteArray globals(quint32 hiddenAt, quint32 sheetAt)
{
    QByteArray g = bof(0x0005);
    g += record(0x041E, u16s({164, 3}) + QByteArray("\0" "0.0", 4));
    g += style(0) + style(164) + style(10);
    // "Hall", then "Zone 温": four narrow characters here, two wide ones in
    // the CONTINUE record, which starts with their flags.
    g += record(0x00FC, u32s(2) + u32s(2) + u16s({4}) + QByteArray("\0Hall", 5) + u16s({6}) + QByteArray("\0Zone", 5));
    g += record(0x003C, QByteArray("\x01", 1) + u16s({' ', 0x6E29}));
    g += sheetEntry(hiddenAt, 1, 'H') + sheetEntry(sheetAt, 0, 'S');
    return g + record(0x000A, {});
}

QByteArray formula(quint16 row, quint16 column, const QByteArray& result)
{
    return record(0x0006, u16s({row, column, 0}) + result + u16s({0}) + u32s(0) + u16s({0}));
}

QByteArray workbook()
{
    QByteArray hidden = bof(0x0010) + record(0x00FD, u16s({0, 0, 0}) + u32s(0)) + record(0x000A, {});
    QByteArray sheet = bof(0x0010);
    sheet += record(0x00FD, u16s({0, 0, 0}) + u32s(1));
    sheet += formula(0, 1, QByteArray("\0\0\0\0\0\0\xFF\xFF", 8));
    sheet += record(0x0221, QByteArray(14, '\0')); // an array formula's record before the text
    sheet += record(0x0207, u16s({5}) + QByteArray("\0Open!", 6));
    sheet += formula(0, 2, QByteArray("\x01\0\x01\0\0\0\xFF\xFF", 8));
    sheet += formula(0, 3, QByteArray("\x02\0\x07\0\0\0\xFF\xFF", 8));
    // 12 as a whole number in style "0.0", 25/100 in "0.00%", 1.5 as a cut double.
    sheet += record(0x00BD, u16s({1, 0, 1}) + u32s(12 << 2 | 2) + u16s({2}) + u32s(25 << 2 | 3) + u16s({0})
                                + u32s(0x3FF80000) + u16s({2}));
    sheet += record(0x0205, u16s({1, 3, 0}) + QByteArray("\x2A\x01", 2));
    double value = 2.25;
    quint64 bits;
    std::memcpy(&bits, &value, 8);
    sheet += record(0x0203, u16s({2, 0, 1}) + u32s(quint32(bits)) + u32s(quint32(bits >> 32)));
    sheet += record(0x000A, {});
    const qsizetype size = globals(0, 0).size();
    return globals(quint32(size), quint32(size + hidden.size())) + hidden + sheet;
}

} // namespace

TEST(XlsWorkbook, ReadsStringsFormatsSheetsAndCellsAsShown)
{
    const QByteArray book = workbook();
    XlsGlobals g;
    QString reason;
    ASSERT_TRUE(readXlsGlobals(book, &g, &reason)) << reason.toStdString();
    EXPECT_EQ(g.sharedStrings, QStringList({"Hall", QStringLiteral("Zone 温")}));
    EXPECT_EQ(g.styleFormats, QList<int>({0, 164, 10}));
    ASSERT_EQ(g.worksheets.size(), 2);
    EXPECT_FALSE(g.worksheets[0].visible);
    EXPECT_TRUE(g.worksheets[1].visible);

    XlsCellTexts cells;
    ASSERT_TRUE(readXlsCellTexts(book, g, g.worksheets[1], 100, 100, &cells, &reason)) << reason.toStdString();
    const struct {
        int row, column;
        QString text;
    } expected[] = {
        {0, 0, QStringLiteral("Zone 温")}, {0, 1, "Open!"}, {0, 2, "TRUE"}, {0, 3, "#DIV/0!"},
        {1, 0, "12.0"}, {1, 1, "25.00%"}, {1, 2, "1.5"}, {1, 3, "#N/A"}, {2, 0, "2.3"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(cells.text(e.row, e.column), e.text) << e.row << "," << e.column;
    EXPECT_EQ(cells.cells.size(), 9);
    EXPECT_EQ(cells.rows, 3);
    EXPECT_EQ(cells.columns, 4);
    // Outside the bounds asked for, cells are only counted.
    ASSERT_TRUE(readXlsCellTexts(book, g, g.worksheets[1], 1, 2, &cells, &reason));
    EXPECT_EQ(cells.cells.size(), 2);
    EXPECT_EQ(cells.rows, 3);
}

TEST(XlsWorkbook, RefusesDamagedRecordsWithTheReason)
{
    const QByteArray book = workbook();
    const qsizetype sst = book.indexOf(QByteArray("\xFC\x00", 2));
    const qsizetype sheetEnd = book.size() - 4;
    QByteArray longString = book; // the second string claims 200 characters
    longString[sst + 4 + 8 + 7] = char(200);
    QByteArray password = book;
    password.replace(4 + 16, 0, record(0x002F, QByteArray(6, '\0')));
    const struct {
        const char* what;
        QByteArray bytes;
        const char* reason;
    } cases[] = {
        {"no workbook", QByteArray("not a workbook"), "not a workbook"},
        {"string past its records", longString, "damaged shared strings"},
        {"encrypted", password, "protected by a password"},
        {"globals cut", book.left(sst + 20), "cut short"},
    };
    for (const auto& c : cases) {
        XlsGlobals g;
        QString reason;
        EXPECT_FALSE(readXlsGlobals(c.bytes, &g, &reason)) << c.what;
        EXPECT_EQ(reason, QString::fromLatin1(c.reason)) << c.what;
    }
    XlsGlobals g;
    QString reason;
    ASSERT_TRUE(readXlsGlobals(book, &g, &reason));
    XlsCellTexts cells;
    EXPECT_FALSE(readXlsCellTexts(book.left(sheetEnd), g, g.worksheets[1], 100, 100, &cells, &reason));
    EXPECT_EQ(reason, QStringLiteral("the sheet S is cut short"));
    XlsWorksheet outside = g.worksheets[1];
    outside.offset = book.size() + 10;
    EXPECT_FALSE(readXlsCellTexts(book, g, outside, 100, 100, &cells, &reason));
    EXPECT_EQ(reason, QStringLiteral("the sheet S lies outside the file"));
}
