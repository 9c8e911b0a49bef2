#include "playbilltestsupport.h"

#include "model/imagefiles.h"
#include "model/playbillreader.h"
#include "model/playbillwriter.h"

#include <QBuffer>

using namespace ledsign;
using ledsign::test::PlaybillFixture;

namespace {

class RoundTripTest : public PlaybillFixture {
protected:
    void SetUp() override
    {
        PlaybillFixture::SetUp();
        TProgram week;
        week.cardName = cardName;
        week.name = QStringLiteral("页 A");
        week.id = QStringLiteral("080000001");
        week.panelName = QStringLiteral("pnProgram1");
        week.startTime = QStringLiteral("08:00");
        week.endTime = QStringLiteral("18:30");
        week.playCycle = QStringLiteral("1;3;5");
        week.playMode = kPlayByWeek;
        model.appendPage(week);

        TProgram dated = week;
        dated.name = QStringLiteral("Page 2");
        dated.id = QStringLiteral("080000002");
        dated.playCycle = QStringLiteral("everyday");
        dated.playDate = QStringLiteral("2024-05-01 08:00:00");
        dated.playMode = kPlayByDate;
        model.appendPage(dated);

        TProgram textProgram = week;
        textProgram.name = QStringLiteral("text page");
        textProgram.textProgramPage = 1;
        model.appendPage(textProgram);

        addRegion(week, QStringLiteral("区域 1"), QStringLiteral("080000011"), 0, 0, 64, 32);
        addRegion(week, QStringLiteral("R2"), QStringLiteral("080000012"), 64, 32, 64, 32);
        addRegion(dated, QStringLiteral("R3"), QStringLiteral("080000013"), 8, 8, 16, 16);

        makeFile(folders.tableFolder() + QStringLiteral("/t1__j0.bmp"));
        for (int kind = 0; kind < kMaterialKindCount; ++kind)
            addMaterial(kind);
        // A material of the text-program window is never stored.
        TFodder foreign = materialIn(model.regions()[0], kSingleText, QStringLiteral("foreign"));
        foreign.typeCode = 0;
        foreign.content = QStringLiteral("not stored");
        model.appendMaterialToRegion(foreign);
        // A queue added last: it plays first when read back.
        model.materials().append(materialIn(model.regions()[0], kQueue, QStringLiteral("队列 2")));
    }

    void addRegion(const TProgram& page, const QString& name, const QString& id, int l, int t, int w, int h)
    {
        TRegion r;
        r.cardName = cardName;
        r.pageName = page.name;
        r.pageId = page.id;
        r.name = name;
        r.id = id;
        r.panelName = QStringLiteral("pnRegion") + id.right(2);
        r.left = l;
        r.top = t;
        r.width = w;
        r.height = h;
        model.appendRegion(r);
    }

    TFodder materialIn(const TRegion& region, int kind, const QString& name)
    {
        TFodder m = defaultMaterial(kind, QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));
        m.cardName = cardName;
        m.pageName = region.pageName;
        m.regionName = region.name;
        m.regionId = region.id;
        m.regionNameAtCreation = region.name;
        m.name = name;
        m.id = QStringLiteral("0900000%1").arg(++idCounter, 2, 10, QLatin1Char('0'));
        m.panelName = QString::fromLatin1(materialKindInfo(kind).panelPrefix) + QString::number(idCounter);
        return m;
    }

    void addMaterial(int kind)
    {
        const TRegion& region = model.regions()[kind % model.regions().size()];
        TFodder m = materialIn(region, kind, QStringLiteral("素材 %1").arg(kind));
        // Every stored number distinct from its default and its neighbours.
        m.playTimes = kind + 2;
        m.displayMode = kind;
        m.displaySpeed = kind % 9;
        m.remainTime = kind * 3;
        m.rotateMode = kind % 3;
        m.flagChars[0] = '0';
        m.digitColor = 1 + kind % 7;
        m.charColor = 7 - kind % 7;
        m.fontCode = 1 + kind % 5;
        m.sizeCode = kind % 8;
        m.timeFormat = 8;
        m.displayFormat = 2 + kind;
        m.timeDiffSign = 0;
        m.diffHours = kind;
        m.diffMinutes = 59 - kind;
        m.textParam1 = 100 + kind;
        m.textParam2 = 200 + kind;
        m.textParam3 = 300 + kind;
        m.tableParam1 = 400 + kind;
        m.tableParam2 = 500 + kind;
        switch (kind) {
        case kSingleText:
            m.content = QStringLiteral("clRed^宋体^12^0^0^0^0^0^1^Hello, world ※ = sign");
            break;
        case kMultiText:
            m.content = QStringLiteral("first line\r\n  second, with spaces\r\n\r\n第四行\tend");
            break;
        case kImageGroup:
            addImageFile(m, makeFile(sourceFolder + QStringLiteral("/图 1.bmp"), "one"));
            addImageFile(m, makeFile(sourceFolder + QStringLiteral("/b.bmp"), "two"));
            break;
        case kTable:
            addImageFile(m, folders.tableFolder() + QStringLiteral("/t1__j0.bmp"));
            break;
        case kRemoteText:
            addImageFile(m, makeFile(sourceFolder + QStringLiteral("/远程 文本.tprg"), "tprg"));
            break;
        case kCountDown:
            m.content = QStringLiteral("2025-01-01 00:00:00");
            break;
        case kInternalCodeText:
            m.content = QStringLiteral("1_2_3_4_5_6_7_8");
            break;
        case kAcquisition:
            m.content = QStringLiteral("°C");
            break;
        case kAnimation:
            m.content = makeFile(sourceFolder + QStringLiteral("/动画 1.gif"), "GIF89a");
            break;
        default:
            break;
        }
        model.appendMaterialToRegion(m);
    }

    // What a material looks like after a save and a read.
    TFodder expectedAfterRead(const TFodder& m) const
    {
        TFodder e = m;
        QStringList listed;
        for (TFileInfo& f : e.fileList) {
            if (m.kind == kImageGroup) {
                f.path = folders.pictureFolder() + QLatin1Char('/') + baseName(f.path);
                listed << baseName(f.path);
            } else if (m.kind == kTable) {
                listed << baseName(f.path);
            } else {
                listed << f.path;
            }
        }
        e.imageFiles = listed.join(QLatin1Char(';'));
        if (m.kind == kAnimation)
            e.content = folders.pictureFolder() + QLatin1Char('/') + baseName(m.content);
        return e;
    }

    int idCounter = 0;
};

} // namespace

TEST_F(RoundTripTest, EveryKindComesBackTheSame)
{
    const QString path = dir.path() + QStringLiteral("/节目 单.prg");
    PlaybillWriter writer(model, folders);
    ASSERT_TRUE(writer.write(cardName, path)) << writer.errorString().toStdString();
    EXPECT_TRUE(writer.warnings().isEmpty()) << writer.warnings().join(QLatin1Char('\n')).toStdString();

    // Pictures and the animation went to the picture folder under their base names.
    EXPECT_EQ(test::readAll(folders.pictureFolder() + QStringLiteral("/图 1.bmp")), QByteArray("one"));
    EXPECT_EQ(test::readAll(folders.pictureFolder() + QStringLiteral("/动画 1.gif")), QByteArray("GIF89a"));

    ProjectModel loaded;
    addCard(loaded, cardName, 128, 64);
    loaded.cards()[0].modified = 1;
    PlaybillReader reader(loaded, folders);
    QStringList messages;
    ASSERT_EQ(reader.open(cardName, path, [&](const QString& t) { messages << t; }),
              PlaybillReader::Status::Loaded)
        << reader.errorString().toStdString();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(loaded.cards()[0].programFile, path);
    EXPECT_EQ(loaded.cards()[0].modified, 0);
    EXPECT_EQ(loaded.cards()[0].remoteTextFree, 0); // it holds a remote text
    EXPECT_EQ(test::readAll(folders.programFolder() + QStringLiteral("/节目 单.prg")), test::readAll(path));

    ASSERT_EQ(loaded.pages().size(), 2);
    for (int i = 0; i < 2; ++i) {
        TProgram expected = model.pages()[i];
        EXPECT_TRUE(loaded.pages()[i].panelName.startsWith(QStringLiteral("pnProgram")));
        expected.panelName = loaded.pages()[i].panelName;
        EXPECT_EQ(loaded.pages()[i], expected) << i;
    }
    ASSERT_EQ(loaded.regions().size(), model.regions().size());
    for (int i = 0; i < model.regions().size(); ++i) {
        TRegion expected = model.regions()[i];
        EXPECT_TRUE(loaded.regions()[i].panelName.startsWith(QStringLiteral("pnRegion")));
        expected.panelName = loaded.regions()[i].panelName;
        EXPECT_EQ(loaded.regions()[i], expected) << i;
    }

    // The text-program material is not stored; all others are.
    ASSERT_EQ(loaded.materials().size(), model.materials().size() - 1);
    for (const TFodder& original : model.materials()) {
        const auto found = loaded.findMaterial(cardName, original.pageName, original.regionName, original.name);
        if (original.typeCode < 10) {
            EXPECT_FALSE(found);
            continue;
        }
        ASSERT_TRUE(found) << original.name.toStdString();
        TFodder expected = expectedAfterRead(original);
        EXPECT_EQ(found.record->panelName.left(8), QStringLiteral("pnFodder"));
        expected.panelName = found.record->panelName;
        EXPECT_EQ(*found.record, expected) << original.name.toStdString();
    }
    // The queue plays first in its region.
    const QStringList names = loaded.materialNames(cardName, QStringLiteral("页 A"), QStringLiteral("区域 1"));
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(names.first(), QStringLiteral("队列 2"));
    EXPECT_EQ(loaded.kindCounter(kQueue), 2);

    // Writing what was read gives the same lines again, apart from the new
    // panel names and the queue that moved to the front.
    auto normalised = [](const QByteArray& bytes) {
        QStringList lines = codec::decode(bytes).split(QStringLiteral("\r\n"));
        for (QString& line : lines) {
            QStringList f = line.split(QLatin1Char(','));
            const int panel = f.size() == 8 ? 2 : f.size() == 9 ? 4 : f.size() == 30 ? 5 : -1;
            if (panel >= 0)
                f[panel].clear();
            line = f.join(QLatin1Char(','));
        }
        lines.sort();
        return lines;
    };
    const QByteArray first = writer.toBytes(cardName);
    const QByteArray second = PlaybillWriter(loaded, folders).toBytes(cardName);
    EXPECT_NE(first, second);
    EXPECT_EQ(normalised(second), normalised(first));
}

TEST_F(RoundTripTest, FileIsGbkWithCrLfAndTheDocumentedFields)
{
    PlaybillWriter writer(model, folders);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(writer.write(cardName, buffer));
    const QByteArray bytes = buffer.data();

    EXPECT_TRUE(bytes.startsWith("[ProgramList]\r\n"));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    // "页 A" in GBK, and the date with its space protected.
    EXPECT_TRUE(bytes.contains(test::hex("d2b3 20 41") + ",080000001,pnProgram1,08:00,18:30,1;3;5,,2\r\n"));
    EXPECT_TRUE(bytes.contains("Page 2,080000002,pnProgram1,08:00,18:30,everyday,2024-05-01?*08:00:00,0\r\n"));
    EXPECT_FALSE(bytes.contains("text page"));
    EXPECT_TRUE(bytes.contains("\r\n[RegionList]\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n[FodderList]\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n[TxtContentList]\r\n"));
    EXPECT_FALSE(bytes.contains("not stored"));

    const QStringList lines = codec::decode(bytes).split(QStringLiteral("\r\n"));
    const qsizetype fodder = lines.indexOf(QStringLiteral("[FodderList]"));
    const qsizetype contents = lines.indexOf(QStringLiteral("[TxtContentList]"));
    ASSERT_GT(contents, fodder);
    for (qsizetype i = fodder + 1; i < contents; ++i)
        EXPECT_EQ(lines[i].split(QLatin1Char(',')).size(), 30) << lines[i].toStdString();
    // The image group: type code '8' as 56, flag 1 then flag 0 as character codes, base names.
    const QString group = lines.filter(QStringLiteral(",素材 2,")).value(0);
    const QStringList f = group.split(QLatin1Char(','));
    ASSERT_EQ(f.size(), 30);
    EXPECT_EQ(f[6], QStringLiteral("2"));
    EXPECT_EQ(f[11], QStringLiteral("56"));
    EXPECT_EQ(f[12], QStringLiteral("49"));
    EXPECT_EQ(f[13], QStringLiteral("48"));
    EXPECT_EQ(f[14], QStringLiteral("图 1.bmp;b.bmp"));
    // Line breaks of a content are "*?"; a comma in a content is kept.
    EXPECT_TRUE(lines.contains(QStringLiteral("090000002=first line*?  second, with spaces*?*?第四行\tend")));
    EXPECT_TRUE(lines.contains(QStringLiteral("090000012=动画 1.gif")));
}

TEST_F(PlaybillFixture, RegionsAreClippedToTheCardWhenWritten)
{
    TProgram page;
    page.cardName = cardName;
    page.name = QStringLiteral("P");
    page.id = QStringLiteral("1");
    model.appendPage(page);
    auto region = [&](const char* name, int l, int t, int w, int h) {
        TRegion r;
        r.cardName = cardName;
        r.pageName = page.name;
        r.pageId = page.id;
        r.name = QString::fromLatin1(name);
        r.id = QStringLiteral("9");
        r.panelName = QStringLiteral("pn");
        r.left = l;
        r.top = t;
        r.width = w;
        r.height = h;
        model.appendRegion(r);
    };
    region("over", 120, 0, 40, 16);
    region("exact", 0, 32, 128, 32);
    region("beyond", 130, 70, 10, 8);

    PlaybillWriter writer(model, folders);
    const QByteArray bytes = writer.toBytes(cardName);
    EXPECT_TRUE(bytes.contains("P,1,over,9,pn,120,0,8,16\r\n"));
    EXPECT_TRUE(bytes.contains("P,1,exact,9,pn,0,32,128,32\r\n"));
    // A start beyond the edge moves to 0; the size is then kept, never negative.
    EXPECT_TRUE(bytes.contains("P,1,beyond,9,pn,0,0,10,8\r\n"));

    // With no material anywhere the file is still written.
    EXPECT_TRUE(model.materials().isEmpty());
    const QString path = dir.path() + QStringLiteral("/p.prg");
    ASSERT_TRUE(writer.write(cardName, path));
    EXPECT_EQ(test::readAll(path), bytes);

    // A card that is not in the list is clipped to 1024 x 512.
    ProjectModel other;
    TRegion wide = model.regions()[0];
    wide.cardName = QStringLiteral("ghost");
    wide.left = 1000;
    wide.width = 100;
    other.appendRegion(wide);
    EXPECT_TRUE(PlaybillWriter(other, folders).toBytes(QStringLiteral("ghost")).contains(",1000,0,24,16\r\n"));
}

TEST_F(PlaybillFixture, NamesWithCommasOrLineBreaksCannotBreakTheFile)
{
    TProgram page;
    page.cardName = cardName;
    page.name = QStringLiteral("a,b\r\nc");
    page.id = QStringLiteral("1");
    model.appendPage(page);
    const QByteArray bytes = PlaybillWriter(model, folders).toBytes(cardName);
    EXPECT_TRUE(bytes.contains(codec::encode(QStringLiteral("a，b c,1,"))));

    ProjectModel loaded;
    addCard(loaded, cardName, 128, 64);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ASSERT_EQ(PlaybillReader(loaded, folders).read(cardName, buffer), PlaybillReader::Status::Loaded);
    ASSERT_EQ(loaded.pages().size(), 1);
    EXPECT_EQ(loaded.pages()[0].name, QStringLiteral("a，b c"));
    EXPECT_EQ(loaded.pages()[0].id, QStringLiteral("1"));
}
