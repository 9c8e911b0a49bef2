#include "playbilltestsupport.h"

#include "model/playbillreader.h"

#include <QBuffer>
#include <QRandomGenerator>

#include <optional>

using namespace ledsign;
using ledsign::test::PlaybillFixture;
using Status = PlaybillReader::Status;

namespace {

class ReadTest : public PlaybillFixture {
protected:
    void SetUp() override
    {
        PlaybillFixture::SetUp();
        readerStore.emplace(model, folders);
    }
    Status readText(const QString& text, QStringList* messages = nullptr)
    {
        return readBytes(windowsText(text), messages);
    }
    Status readBytes(const QByteArray& bytes, QStringList* messages = nullptr)
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        return reader().read(cardName, buffer, [messages](const QString& t) {
            if (messages)
                *messages << t;
        });
    }
    PlaybillReader& reader() { return *readerStore; }
    std::optional<PlaybillReader> readerStore;
};

// A playbill as the Windows program writes it: GBK, CR LF, base names with
// their spaces as "?*", material lines of 24 and of 30 fields.
const char* const kWindowsPlaybill = R"(// saved by hand
junk before the first header
[ProgramList]
节目 1,101010101,pnProgram3,08:00,20:00,每天
周末,101010102,pnProgram4,00:00,24:00,0;6,2024-05-01?*00:00:00,2

[RegionList]
节目 1,101010101,区域1,101010111,pnRegion5,0,0,64,32
节目 1,101010101,区域2,101010112,pnRegion6,64,0,64,32
周末,101010102,区域1,101010113,pnRegion7,0,0,128,64
[FodderList]
节目 1,区域1,101010111,图片组1,101010121,pnImg1,2,1,9,1,1,56,49,49,a?*b.bmp;c.bmp,1,1,1,1,1,1,1,0,0
节目 1,区域2,101010112,多行文本1,101010122,pnMulTxt2,1,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0,3,4,6,7,5,1
周末,区域1,101010113,动画1,101010123,pnMovie3,11,1,9,10,1,59,49,48,,1,1,1,1,1,1,1,0,0,0,0,0,0,0,0
节目 1,区域2,101010112,排队1,101010124,pnQu4,6,1,9,8,1,53,49,49,,1,3,1,1,1,1,1,0,0
[TxtContentList]
101010122=第一行*?second line
101010123=C:\LED\picFiles\flash?*1.gif
)";

} // namespace

TEST_F(ReadTest, PlaybillWrittenByTheWindowsProgram)
{
    makeFile(folders.pictureFolder() + QStringLiteral("/a b.bmp"));
    makeFile(folders.pictureFolder() + QStringLiteral("/c.bmp"));
    const QString path = dir.path() + QStringLiteral("/old.prg");
    makeFile(path, windowsText(QString::fromUtf8(kWindowsPlaybill)));

    QStringList messages;
    ASSERT_EQ(reader().open(cardName, path, [&](const QString& t) { messages << t; }), Status::Loaded)
        << reader().errorString().toStdString();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();

    ASSERT_EQ(model.pages().size(), 2);
    const TProgram& first = model.pages()[0];
    EXPECT_EQ(first.name, QStringLiteral("节目 1"));
    EXPECT_EQ(first.playCycle, QStringLiteral("每天"));
    EXPECT_EQ(first.playMode, kPlayEveryDay);
    EXPECT_TRUE(first.playDate.isEmpty());
    // Lines count from the first that is neither blank nor a comment.
    EXPECT_EQ(first.panelName, QStringLiteral("pnProgram3"));
    const TProgram& weekend = model.pages()[1];
    EXPECT_EQ(weekend.playCycle, QStringLiteral("0;6"));
    EXPECT_EQ(weekend.playDate, QStringLiteral("2024-05-01 00:00:00"));
    EXPECT_EQ(weekend.playMode, kPlayByWeek);

    ASSERT_EQ(model.regions().size(), 3);
    EXPECT_EQ(model.regions()[1].panelName, QStringLiteral("pnRegion7"));
    EXPECT_EQ(model.regions()[2].pageId, QStringLiteral("101010102"));
    EXPECT_EQ(model.regions()[2].width, 128);

    const auto group = model.findMaterial(cardName, QStringLiteral("节目 1"), QStringLiteral("区域1"),
                                          QStringLiteral("图片组1"));
    ASSERT_TRUE(group);
    ASSERT_EQ(group.record->fileList.size(), 2);
    EXPECT_EQ(group.record->fileList[0].path, folders.pictureFolder() + QStringLiteral("/a b.bmp"));
    EXPECT_EQ(group.record->fileList[1].path, folders.pictureFolder() + QStringLiteral("/c.bmp"));
    EXPECT_EQ(group.record->panelName, QStringLiteral("pnFodder10"));
    EXPECT_EQ(group.record->textParam1, 0);
    EXPECT_EQ(group.record->tableParam2, 0);
    EXPECT_EQ(group.record->rotateMode, 0);
    EXPECT_EQ(QByteArray(group.record->flagChars.data(), 7), QByteArray("1110000"));
    EXPECT_EQ(group.record->spare28, QStringLiteral("10"));

    const auto text = model.findMaterial(cardName, QStringLiteral("节目 1"), QStringLiteral("区域2"),
                                         QStringLiteral("多行文本1"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text.record->content, QStringLiteral("第一行\r\nsecond line"));
    EXPECT_EQ(text.record->textParam1, 3);
    EXPECT_EQ(text.record->textParam2, 4);
    EXPECT_EQ(text.record->tableParam1, 6);
    EXPECT_EQ(text.record->tableParam2, 7);
    EXPECT_EQ(text.record->textParam3, 5);
    EXPECT_EQ(text.record->rotateMode, 1);

    const auto anim = model.findMaterial(cardName, QStringLiteral("周末"), QStringLiteral("区域1"),
                                         QStringLiteral("动画1"));
    ASSERT_TRUE(anim);
    EXPECT_EQ(anim.record->content, folders.pictureFolder() + QStringLiteral("/flash 1.gif"));
    EXPECT_EQ(anim.record->typeCode, ';');
    EXPECT_EQ(anim.record->flagChars[0], '0');
    EXPECT_EQ(anim.record->flagChars[1], '1');

    // The queue came last in the file and plays first in its region.
    EXPECT_EQ(model.materialNames(cardName, QStringLiteral("节目 1"), QStringLiteral("区域2")),
              (QStringList{QStringLiteral("排队1"), QStringLiteral("多行文本1")}));
    EXPECT_EQ(model.kindCounter(kQueue), 1);
    EXPECT_EQ(model.kindCounter(kImageGroup), 1);

    EXPECT_EQ(model.cards()[0].programFile, path);
    EXPECT_EQ(test::readAll(folders.programFolder() + QStringLiteral("/old.prg")), test::readAll(path));
}

TEST_F(ReadTest, LinefeedOnlyAndMissingImagesAreAccepted)
{
    QStringList messages;
    const QByteArray text = codec::encode(QString::fromUtf8(kWindowsPlaybill));
    ASSERT_FALSE(text.contains('\r'));
    ASSERT_EQ(readBytes(text, &messages), Status::Loaded);
    EXPECT_EQ(model.materials().size(), 4);
    // Both pictures of the group are missing: reported and left out.
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("file[")));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("a b.bmp")));
    EXPECT_TRUE(model.materials()[0].fileList.isEmpty());
    // A read from a device names no file.
    EXPECT_TRUE(model.cards()[0].programFile.isEmpty());
}

TEST_F(ReadTest, MalformedLinesAreSkipped)
{
    const Status status = readText(QStringLiteral(R"([ProgramList]
short,1,2,3
P,201,pn,00:00,24:00,,bad?*date,notanumber
[Unknown]
[RegionList]
Nope,1,R0,2,pn,0,0,8,8
P,201,R1,301,pn,0,0,8
P,201,R1,301,pn,0,0,8,8,9
P,201,R1,301,pn,0,0,8,8
[FodderList]
P,R1,301,m short,401,pn,0,1
P,R9,301,orphan,402,pn,0,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0
P,R1,301,odd kind,403,pn,57,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0
P,R1,301,ok,404,pn,0,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0
[TxtContentList]
no equals sign
404=a=b=c
999=nobody
)"));
    ASSERT_EQ(status, Status::Loaded) << reader().errorString().toStdString();
    ASSERT_EQ(model.pages().size(), 1);
    EXPECT_EQ(model.pages()[0].playMode, kPlayByDateAlt);
    EXPECT_EQ(model.pages()[0].playDate, QStringLiteral("bad date"));
    EXPECT_EQ(model.pages()[0].playCycle, QStringLiteral("everyday"));
    ASSERT_EQ(model.regions().size(), 1);
    ASSERT_EQ(model.materials().size(), 1);
    EXPECT_EQ(model.materials()[0].name, QStringLiteral("ok"));
    // Everything after the first "=" is the content.
    EXPECT_EQ(model.materials()[0].content, QStringLiteral("a=b=c"));
}

TEST_F(ReadTest, NonNumberStopsTheLoadAndKeepsWhatWasRead)
{
    const Status status = readText(QStringLiteral(R"([ProgramList]
P,201,pn,00:00,24:00
[RegionList]
P,201,R1,301,pn,0,0,8,8
P,201,R2,302,pn,x1,0,8,8
P,201,R3,303,pn,0,0,8,8
[FodderList]
P,R1,301,m,401,pn,0,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0
)"));
    EXPECT_EQ(status, Status::BadNumber);
    EXPECT_EQ(reader().errorLine(), 5);
    EXPECT_TRUE(reader().errorString().contains(QStringLiteral("x1")));
    EXPECT_EQ(model.pages().size(), 1);
    EXPECT_EQ(model.regionNames(cardName, QStringLiteral("P")), QStringList{QStringLiteral("R1")});
    EXPECT_TRUE(model.materials().isEmpty());

    model.clearCard(cardName);
    EXPECT_EQ(readText(QStringLiteral(R"([ProgramList]
P,201,pn,00:00,24:00
[RegionList]
P,201,R1,301,pn,0,0,8,8
[FodderList]
P,R1,301,a,401,pn,0,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0
P,R1,301,b,402,pn,0,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0,1.5,0
)")),
              Status::BadNumber);
    EXPECT_EQ(model.materialNames(cardName, QStringLiteral("P"), QStringLiteral("R1")), QStringList{QStringLiteral("a")});
}

TEST_F(ReadTest, RegionBeyondTheCardFailsTheWholeLoad)
{
    const QString good = dir.path() + QStringLiteral("/good.prg");
    makeFile(good, windowsText(QStringLiteral("[ProgramList]\nP,1,pn,00:00,24:00\n[RegionList]\nP,1,R,2,pn,0,0,128,64\n")));
    ASSERT_EQ(reader().open(cardName, good), Status::Loaded);
    ASSERT_EQ(model.regions().size(), 1);

    const QByteArray badBytes = windowsText(QStringLiteral(R"([ProgramList]
P,201,pn,00:00,24:00
[RegionList]
P,201,R1,301,pn,0,0,8,8
P,201,R2,302,pn,120,0,16,8
[FodderList]
P,R1,301,m,401,pn,0,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0
)"));
    const QString bad = dir.path() + QStringLiteral("/bad.prg");
    makeFile(bad, badBytes);
    QStringList messages;
    EXPECT_EQ(reader().open(cardName, bad, [&](const QString& t) { messages << t; }), Status::RegionOutside);
    EXPECT_EQ(messages, QStringList{GetLgText(3, QStringLiteral("warn_open_load_fail"))});
    EXPECT_TRUE(model.pages().isEmpty());
    EXPECT_TRUE(model.regions().isEmpty());
    EXPECT_TRUE(model.materials().isEmpty());
    EXPECT_TRUE(model.cards()[0].programFile.isEmpty());
    // The failed file is not taken into the playbill folder; both files are untouched.
    EXPECT_FALSE(QFileInfo::exists(folders.programFolder() + QStringLiteral("/bad.prg")));
    EXPECT_EQ(test::readAll(bad), badBytes);

    // Height counts too; a region that exactly fills the card fits.
    model.clearCard(cardName);
    EXPECT_EQ(readText(QStringLiteral("[ProgramList]\nP,1,pn,0,0\n[RegionList]\nP,1,R,2,pn,0,60,8,5\n")),
              Status::RegionOutside);
}

TEST_F(ReadTest, MissingFileOrCardChangesNothing)
{
    TProgram keep;
    keep.cardName = cardName;
    keep.name = QStringLiteral("keep");
    model.appendPage(keep);
    model.cards()[0].programFile = QStringLiteral("/somewhere/a.prg");
    EXPECT_EQ(reader().open(cardName, dir.path() + QStringLiteral("/none.prg")), Status::FileMissing);
    EXPECT_EQ(reader().open(QStringLiteral("no card"), dir.path()), Status::FileMissing);
    const QString path = makeFile(dir.path() + QStringLiteral("/x.prg"), "[ProgramList]\r\n");
    EXPECT_EQ(reader().open(QStringLiteral("no card"), path), Status::NoSuchCard);
    EXPECT_EQ(model.pages().size(), 1);
    EXPECT_EQ(model.cards()[0].programFile, QStringLiteral("/somewhere/a.prg"));
}

TEST_F(ReadTest, TruncatedFilesLoadTheirCompleteLinesOnly)
{
    const QByteArray whole = windowsText(QString::fromUtf8(kWindowsPlaybill));
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        ProjectModel fresh;
        addCard(fresh, cardName, 128, 64);
        PlaybillReader r(fresh, folders);
        QBuffer buffer;
        buffer.setData(whole.left(cut));
        buffer.open(QIODevice::ReadOnly);
        const Status s = r.read(cardName, buffer);
        ASSERT_TRUE(s == Status::Loaded || s == Status::BadNumber) << cut;
        EXPECT_LE(fresh.pages().size(), 2);
        EXPECT_LE(fresh.regions().size(), 3);
        EXPECT_LE(fresh.materials().size(), 4);
    }
    // Cut inside the last material line: the other materials are all there.
    const qsizetype lastLine = whole.indexOf(codec::encode(QStringLiteral("节目 1,区域2,101010112,排队1")));
    ASSERT_GT(lastLine, 0);
    ASSERT_EQ(readBytes(whole.left(lastLine + 40)), Status::Loaded);
    EXPECT_EQ(model.materials().size(), 3);
    EXPECT_FALSE(model.findMaterial(cardName, QStringLiteral("节目 1"), QStringLiteral("区域2"),
                                    QStringLiteral("排队1")));
}

TEST_F(ReadTest, BinaryJunkNeverCrashes)
{
    QRandomGenerator random(1234);
    const QByteArray header = "[ProgramList]\r\nP,1,pn,00:00,24:00\r\n[RegionList]\r\n";
    for (int round = 0; round < 200; ++round) {
        QByteArray junk(static_cast<qsizetype>(random.bounded(1, 600)), '\0');
        for (char& c : junk)
            c = static_cast<char>(random.bounded(256));
        // Sprinkle separators so that some lines have many fields.
        for (int i = 0; i < junk.size(); i += 7)
            junk[i] = (round % 3 == 0) ? ',' : (round % 3 == 1 ? '\n' : '=');
        ProjectModel fresh;
        addCard(fresh, cardName, 128, 64);
        PlaybillReader r(fresh, folders);
        QBuffer buffer;
        buffer.setData(round % 2 ? header + junk : junk);
        buffer.open(QIODevice::ReadOnly);
        const Status s = r.read(cardName, buffer);
        EXPECT_NE(s, Status::ReadFailed);
        for (const TFodder& m : fresh.materials())
            EXPECT_TRUE(isValidMaterialKind(m.kind));
    }
    // Nothing recognisable: nothing loaded.
    EXPECT_EQ(readBytes(QByteArray("\x00\x01\xff\xfe garbage", 13)), Status::Loaded);
    EXPECT_TRUE(model.pages().isEmpty());
}

TEST_F(ReadTest, NegativeSizesFromOldFilesReadAsZero)
{
    ASSERT_EQ(readText(QStringLiteral("[ProgramList]\nP,1,pn,0,0\n[RegionList]\nP,1,R,2,pn,0,0,-2,8\n")),
              Status::Loaded);
    ASSERT_EQ(model.regions().size(), 1);
    EXPECT_EQ(model.regions()[0].width, 0);
    EXPECT_EQ(model.regions()[0].height, 8);
}
