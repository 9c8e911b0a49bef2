// Material frames of every kind, read back by the tests' own frame reader.

#include "encoding/framereader.h"

#include "content/materialblocks.h"
#include "content/materialencoder.h"
#include "model/codec.h"
#include "model/materialkinds.h"

#include <gtest/gtest.h>

namespace ledsign {
namespace {

using test::BlockForm;
using test::readMaterialFrame;

const QDateTime kNow(QDate(2020, 1, 15), QTime(10, 0, 0));

MaterialEncoder testEncoder()
{
    auto counter = std::make_shared<quint32>(0);
    return MaterialEncoder([counter] { return ++*counter; }, [] { return kNow; }, QLocale::c());
}

TFodder materialOf(int kind, int sendNo = 3)
{
    TFodder m = defaultMaterial(kind, kNow);
    m.id = QStringLiteral("142503117");
    m.sendNo = sendNo;
    return m;
}

MaterialFrameOptions optionsFor(int colorType = kColorSingle, bool rs485 = false)
{
    MaterialFrameOptions o;
    o.colorType = colorType;
    o.regionWidth = 64;
    o.regionHeight = 32;
    o.rs485 = rs485;
    return o;
}

// The only frame of a one-frame material, read back and checked.
test::ReadMaterialFrame onlyFrame(TFodder& m, const MaterialFrameOptions& o = optionsFor())
{
    const EncodedMaterial e = testEncoder().encode(m, o);
    EXPECT_TRUE(e.ok);
    EXPECT_EQ(e.packets.size(), 1);
    if (e.packets.isEmpty())
        return {};
    const rSendFdrContent& p = e.packets.first();
    EXPECT_EQ(p.sendNo, m.sendNo);
    EXPECT_EQ(p.blockCount, 1);
    EXPECT_EQ(p.blockNo, 1);
    EXPECT_EQ(p.typeCode, m.typeCode);
    EXPECT_EQ(p.byteCount, p.bytes.size());
    const test::ReadMaterialFrame r = readMaterialFrame(p.bytes);
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    return r;
}

quint8 at(const QByteArray& b, int i) { return quint8(b.at(i)); }

TEST(DescriptorTail, FixedBytesFieldsAndColourPlanes)
{
    TFodder m = materialOf(kDateTime);
    m.displayMode = 14;
    m.displaySpeed = 3;
    m.remainTime = 255;
    m.rotateMode = 2;
    m.flagChars = {'1', '0', '1', '0', '0', '0', '0'};
    const auto r = onlyFrame(m, optionsFor(kColorDual));
    ASSERT_EQ(r.tail.size(), 34);
    EXPECT_EQ(r.id, QByteArray("142503117"));
    EXPECT_EQ(r.tail.left(4), QByteArray::fromHex("2C0E03FF"));
    EXPECT_EQ(r.tail.mid(4, 12), QByteArray("010101991231"));
    EXPECT_EQ(r.tail.mid(16, 7), QByteArray::fromHex("0E00000055AA00"));
    EXPECT_EQ(at(r.tail, 23), 2);
    EXPECT_EQ(at(r.tail, 24), '1');
    EXPECT_EQ(r.tail.mid(25, 2), QByteArray("01")); // flag character 1, then 0
    EXPECT_EQ(r.tail.mid(27, 7), QByteArray::fromHex("3132310100" "0000"));
    EXPECT_FALSE(r.endMarker);
}

TEST(DescriptorTail, ColourPlaneByteFollowsTheCardForEveryKind)
{
    const std::pair<int, quint8> depths[] = {{kColorSingle, '1'}, {kColorDual, '2'}, {kColorTri, '3'}, {'7', 0}};
    for (int kind = 0; kind < kMaterialKindCount; ++kind) {
        for (const auto& [colorType, planes] : depths) {
            TFodder m = materialOf(kind);
            m.content = kind == kCountUp || kind == kCountDown ? QString() : QStringLiteral("x");
            MaterialFrameOptions o = optionsFor(colorType);
            o.displayData = QByteArray(10, '\x5A');
            const EncodedMaterial e = testEncoder().encode(m, o);
            ASSERT_TRUE(e.ok) << kind;
            ASSERT_FALSE(e.packets.isEmpty()) << kind;
            const auto r = readMaterialFrame(e.packets.first().bytes);
            ASSERT_TRUE(r.ok) << kind << r.error.toStdString();
            EXPECT_EQ(at(r.tail, 28), planes) << "kind " << kind << " colour " << colorType;
        }
    }
}

TEST(TimeBlock, TimeDifferenceCarriesTheSignInBitSeven)
{
    TFodder m = materialOf(kDateTime, 7);
    m.diffHours = 5;
    m.diffMinutes = 30;
    m.timeDiffSign = 1; // lead
    auto r = onlyFrame(m);
    ASSERT_EQ(r.block.size, 21);
    EXPECT_EQ(r.block.head, QByteArray::fromHex("11000000"));
    EXPECT_EQ(r.block.sendNo, 7);
    EXPECT_EQ(at(r.block.payload, 2), 0x85);
    EXPECT_EQ(at(r.block.payload, 3), 0x9E);

    m.timeDiffSign = 0; // lag
    r = onlyFrame(m);
    EXPECT_EQ(at(r.block.payload, 2), 0x05);
    EXPECT_EQ(at(r.block.payload, 3), 0x1E);
}

TEST(TimeBlock, FormatsColoursFontAndYearDigits)
{
    TFodder m = materialOf(kDateTime);
    m.timeFormat = 11;
    m.displayFormat = 3;
    m.digitColor = 2;
    m.charColor = 7;
    m.fontCode = 5;
    m.sizeCode = 6;
    m.textParam2 = 1;
    const auto r = onlyFrame(m);
    EXPECT_EQ(r.block.payload.left(2), QByteArray::fromHex("0B03"));
    EXPECT_EQ(r.block.payload.mid(4, 3), QByteArray::fromHex("275601"));
    EXPECT_EQ(at(r.tail, 30), 1); // one picture for one-frame kinds
}

TEST(EmptyAttributeBlock, SevenZeroBytes)
{
    TFodder m = materialOf(kRemoteText, 258);
    const auto r = onlyFrame(m);
    EXPECT_EQ(r.block.size, 21);
    EXPECT_EQ(r.block.payload, QByteArray(7, '\0'));
    EXPECT_EQ(r.block.sendNo, 258);
}

TEST(CountBlock, CountDownTargetIsSentAsPlainNumbers)
{
    TFodder m = materialOf(kCountDown);
    m.content = QStringLiteral("2013-06-02 08:09:10"); // a Sunday
    m.timeFormat = 8;
    m.timeDiffSign = 1;
    const auto r = onlyFrame(m);
    ASSERT_EQ(r.block.size, 28);
    EXPECT_EQ(r.block.head, QByteArray::fromHex("18000000"));
    EXPECT_EQ(at(r.block.payload, 0), 8);
    EXPECT_EQ(at(r.block.payload, 2), 1);
    EXPECT_EQ(r.block.payload.mid(7, 7), QByteArray::fromHex("0A09080002060D"));
    EXPECT_EQ(at(r.tail, 24), '3');
}

TEST(CountBlock, TargetReadingRetriesEmptyMeansNowAndUnreadableFails)
{
    TFodder m = materialOf(kCountUp);
    m.content = QStringLiteral("2013/06/02 08:09:10");
    auto r = onlyFrame(m);
    EXPECT_EQ(r.block.payload.mid(7, 7), QByteArray::fromHex("0A09080002060D"));
    EXPECT_EQ(m.content, QStringLiteral("2013/06/02 08:09:10"));

    m.content.clear();
    r = onlyFrame(m);
    EXPECT_EQ(r.block.payload.mid(7, 7), QByteArray::fromHex("00000A030F0114")); // kNow, a Wednesday

    m.content = QStringLiteral("tomorrow at noon");
    const EncodedMaterial e = testEncoder().encode(m, optionsFor());
    EXPECT_FALSE(e.ok);
    EXPECT_TRUE(e.packets.isEmpty());
    EXPECT_EQ(e.failure.messageKey, QStringLiteral("warn_count_time_invalid"));
    EXPECT_EQ(m.content, QStringLiteral("tomorrow at noon"));
}

TEST(QueueBlock, WindowFlashesAndPairing)
{
    TFodder m = materialOf(kQueue);
    m.displayFormat = 4;
    m.fontCode = 3;
    m.sizeCode = 2;
    m.charColor = 24;
    const auto r = onlyFrame(m);
    ASSERT_EQ(r.block.size, 22);
    EXPECT_EQ(r.block.payload, QByteArray::fromHex("0432081800000000"));
}

TEST(AcquisitionBlock, RegisterByteLimitsAndWraps)
{
    EXPECT_EQ(material::registerByte(2, 8384), 1);
    EXPECT_EQ(material::registerByte(2, 8446), 63);
    EXPECT_EQ(material::registerByte(2, 8447), 0);
    EXPECT_EQ(material::registerByte(2, 9000), 0);      // limited to 8447
    EXPECT_EQ(material::registerByte(0, 0), 1);
    EXPECT_EQ(material::registerByte(0, 71), 70);
    EXPECT_EQ(material::registerByte(1, 11), 10);
    EXPECT_EQ(material::registerByte(3, 16576), 1);
    EXPECT_EQ(material::registerByte(3, 16000), 1);     // limited to 16384
    EXPECT_EQ(material::registerByte(4, 20480), 1);
    EXPECT_EQ(material::registerByte(4, 20600), 63);
    EXPECT_EQ(material::registerByte(5, 20606), 63);
    EXPECT_EQ(material::registerByte(5, 1), 1);
    EXPECT_EQ(material::registerByte(9, 0x1234), 0x34); // unknown type: unchanged
}

TEST(AcquisitionBlock, LayoutByteSuffixUnitAndRegister)
{
    TFodder m = materialOf(kAcquisition);
    m.displayFormat = 3; // 16-bit integer
    m.timeFormat = 8446;
    m.timeDiffSign = 5;
    m.textParam2 = 2;    // right
    m.diffMinutes = 13;  // low three bits: 5
    m.diffHours = 3;
    m.digitColor = 3;
    m.charColor = 3;
    m.content = QStringLiteral("  kg ");
    auto r = onlyFrame(m);
    ASSERT_EQ(r.block.size, 31);
    EXPECT_EQ(r.block.payload.left(7), QByteArray::fromHex("033F05D7331100"));
    EXPECT_EQ(r.block.payload.mid(7, 10), QByteArray("kg") + QByteArray(8, '\0'));

    m.textParam2 = 1; // centre
    m.diffMinutes = 0;
    m.diffHours = 0;
    m.content = QStringLiteral("a温温温温温");
    r = onlyFrame(m);
    EXPECT_EQ(at(r.block.payload, 3), 0x80);
    // 11 bytes cut to 9 (no half character) and padded.
    EXPECT_EQ(r.block.payload.mid(7, 10), codec::encode(QStringLiteral("a温温温温")) + QByteArray(1, '\0'));
}

TEST(DisplayDataBlock, ExactlyOneBlockOf2048Bytes)
{
    TFodder m = materialOf(kSingleText, 2);
    m.frameCount = 3;
    MaterialFrameOptions o = optionsFor();
    for (int i = 0; i < 2048; ++i)
        o.displayData.append(char(i * 7));
    const EncodedMaterial e = testEncoder().encode(m, o);
    ASSERT_TRUE(e.ok);
    ASSERT_EQ(e.packets.size(), 1);
    const auto r = readMaterialFrame(e.packets.first().bytes);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.block.payload, o.displayData);
    EXPECT_EQ(r.block.count, 1);
    EXPECT_EQ(r.block.number, 1);
    EXPECT_EQ(r.block.sendNo, 2);
    EXPECT_EQ(r.tail.mid(30, 4), QByteArray::fromHex("03000000"));
}

TEST(DisplayDataBlock, OneByteMoreGivesASecondFrame)
{
    TFodder m = materialOf(kAnimation, 5);
    m.frameCount = 12;
    m.downloadFlags[1] = 1; // last of the card
    MaterialFrameOptions o = optionsFor();
    for (int i = 0; i < 2049; ++i)
        o.displayData.append(char(i % 251));
    const EncodedMaterial e = testEncoder().encode(m, o);
    ASSERT_TRUE(e.ok);
    ASSERT_EQ(e.packets.size(), 2);
    QByteArray joined;
    for (int i = 0; i < 2; ++i) {
        const rSendFdrContent& p = e.packets.at(i);
        EXPECT_EQ(p.blockCount, 2);
        EXPECT_EQ(p.blockNo, i + 1);
        const auto r = readMaterialFrame(p.bytes);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_EQ(r.block.count, 2);
        EXPECT_EQ(r.block.number, i + 1);
        EXPECT_EQ(at(r.tail, 27), i == 0 ? '1' : '2');
        EXPECT_EQ(at(r.tail, 30), 12);
        EXPECT_EQ(r.endMarker, i == 1);
        joined += r.block.payload;
    }
    EXPECT_EQ(readMaterialFrame(e.packets.at(1).bytes).block.payload.size(), 1);
    EXPECT_EQ(joined, o.displayData);
}

TEST(DisplayDataBlock, EmptyDisplayDataIsRefused)
{
    TFodder m = materialOf(kImageGroup);
    const EncodedMaterial e = testEncoder().encode(m, optionsFor());
    EXPECT_FALSE(e.ok);
    EXPECT_EQ(e.failure.messageKey, QStringLiteral("warn_material_empty_send"));
}

TEST(TextSliceBlock, OneThousandAndTwentyFiveCharactersGiveTwoFrames)
{
    TFodder m = materialOf(kInternalCodeText, 4);
    m.charColor = 2;
    m.fontCode = 3;
    m.sizeCode = 1;
    m.content = QString(1000, QChar(0x4E2D)) + QString(25, QLatin1Char('b')); // 1025 units
    const EncodedMaterial e = testEncoder().encode(m, optionsFor());
    ASSERT_TRUE(e.ok);
    ASSERT_EQ(e.packets.size(), 2);
    QByteArray text;
    for (int i = 0; i < 2; ++i) {
        const auto r = readMaterialFrame(e.packets.at(i).bytes);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        ASSERT_EQ(r.tail.size(), 32);
        EXPECT_EQ(at(r.tail, 16), 0x13);
        EXPECT_EQ(r.tail.mid(30, 2), QByteArray(2, '\0'));
        EXPECT_EQ(r.block.head.left(7), QByteArray::fromHex("0800200002" "3100"));
        EXPECT_EQ(r.block.count, 2);
        EXPECT_EQ(r.block.number, i + 1);
        EXPECT_EQ(r.block.sendNo, 4);
        text += r.block.payload;
        if (i == 1) {
            EXPECT_EQ(r.block.payload, QByteArray("b"));
        }
    }
    EXPECT_EQ(codec::decode(text), m.content);
}

TEST(TextSliceBlock, EmptyTextIsOneSpaceAndSurrogatePairsStayWhole)
{
    TFodder m = materialOf(kInternalCodeText);
    m.content.clear();
    const auto r = onlyFrame(m);
    EXPECT_EQ(r.block.payload, QByteArray(" "));

    const QString pair = QString::fromUcs4(U"\U00020000");
    const QString text = QString(1023, QLatin1Char('a')) + pair + QStringLiteral("z");
    const QStringList slices = internalCodeSlices(text);
    ASSERT_EQ(slices.size(), 2);
    EXPECT_EQ(slices.at(0).size(), 1023);
    EXPECT_EQ(slices.at(1), pair + QStringLiteral("z"));
}

TEST(TextProgramFrame, CardTextAfterItsOwnDescriptor)
{
    TFodder m = materialOf(kSingleText);
    m.typeCode = 2; // content attribute code
    m.displayMode = 1;
    m.displaySpeed = 2;
    m.remainTime = 3;
    m.content = QStringLiteral("Red^宋体^12^AB>Green^黑体^24^CD");
    const QByteArray cardText("#^2#^1#^1#^1#~AB;#^2#^2#^3#^3#~CD");

    for (const bool last : {false, true}) {
        m.downloadFlags[1] = last ? 1 : 0;
        const EncodedMaterial e = testEncoder().encode(m, optionsFor());
        ASSERT_TRUE(e.ok);
        ASSERT_EQ(e.packets.size(), 1);
        const QByteArray& f = e.packets.first().bytes;
        const test::ReadFrame r = test::readFrame(f);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_EQ(r.command, 0x31);
        QByteArray expected = QByteArray("142503117") + ',' + QByteArray::fromHex("010203") + "010101991231"
            + QByteArray::fromHex("03000000") + "all" + QByteArray::fromHex("22000000") + ';' + cardText;
        if (last)
            expected += "-1,";
        EXPECT_EQ(r.data, expected);
        if (last)
            EXPECT_EQ(f.right(5), QByteArray("-1,\xFF\xFF"));
        else
            EXPECT_EQ(f.right(4), QByteArray("CD\xFF\xFF"));
    }
}

TEST(MaterialFrames, UnknownTypeCodeGivesNothingAndSerialsAreNew)
{
    TFodder m = materialOf(kSingleText);
    m.typeCode = '2';
    EncodedMaterial e = testEncoder().encode(m, optionsFor());
    EXPECT_TRUE(e.ok);
    EXPECT_TRUE(e.packets.isEmpty());

    m = materialOf(kImageGroup);
    MaterialFrameOptions o = optionsFor();
    o.displayData = QByteArray(5000, '\0');
    e = testEncoder().encode(m, o);
    ASSERT_EQ(e.packets.size(), 3);
    QList<quint32> serials;
    for (const auto& p : e.packets)
        serials << test::readFrame(p.bytes).serial;
    EXPECT_EQ(serials, (QList<quint32>{1, 2, 3}));
    EXPECT_EQ(e.lastSerial, QStringLiteral("00000003"));
}

TEST(MaterialFrames, Rs485CutsLongTextProgramFramesToo)
{
    TFodder m = materialOf(kSingleText);
    m.typeCode = 1;
    m.content = QStringLiteral("Red^宋体^12^") + QString(250, QLatin1Char('x'));
    const EncodedMaterial e = testEncoder().encode(m, optionsFor(kColorSingle, true));
    ASSERT_TRUE(e.ok);
    ASSERT_EQ(e.packets.size(), 2);
    EXPECT_EQ(e.packets.at(0).bytes.size(), 256);
    EXPECT_TRUE(test::readFrame(e.packets.at(0).bytes + e.packets.at(1).bytes).ok);
}

} // namespace
} // namespace ledsign
