#include "language/language.h"
#include "model/codedvalues.h"
#include "model/datafolder.h"
#include "model/imagefiles.h"
#include "model/materialkinds.h"
#include "model/tfixmodem.h"

#include "support/testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;

TEST(CardRecord, CreationKeepsGivenValuesAndResetsRunTimeState)
{
    TFIXModem given;
    given.name = QStringLiteral("控制卡1");
    given.width = 320;
    given.colorType = kColorTri;
    given.programFile = QStringLiteral("/data/prgFiles/a.prg");
    // Run-time state a caller might carry over by mistake.
    given.online = given.modified = 1;
    given.sendCounter = given.sendStep = 3;
    given.zoom = 25;
    given.remoteTextFree = 0;
    given.frameSerial = given.cardType = QStringLiteral("X");
    given.featureFlags.fill(0);
    given.counters = {1, 2, 3, 4};
    given.materialPackets.append(rSendFdrContent{});

    TFIXModem expected;
    expected.name = given.name;
    expected.width = 320;
    expected.colorType = kColorTri;
    expected.programFile = given.programFile;
    const TFIXModem card = createCard(given);
    EXPECT_EQ(card.name, expected.name);
    EXPECT_EQ(card.width, expected.width);
    EXPECT_EQ(card.colorType, expected.colorType);
    EXPECT_EQ(card.programFile, expected.programFile);
    EXPECT_EQ(card.online, 0);
    EXPECT_EQ(card.modified, 0);
    EXPECT_EQ(card.sendCounter, -1);
    EXPECT_EQ(card.sendStep, -1);
    EXPECT_EQ(card.zoom, 10);
    EXPECT_EQ(card.remoteTextFree, 1);
    EXPECT_TRUE(card.frameSerial.isEmpty() && card.cardType.isEmpty());
    EXPECT_EQ(card.featureFlags, expected.featureFlags);
    EXPECT_EQ(card.counters, expected.counters);
    EXPECT_TRUE(card.materialPackets.isEmpty());
}

TEST(CardRecord, ColourDepthItemMapsBothWays)
{
    EXPECT_EQ(colorTypeFromDepthText(QStringLiteral("2")), kColorDual);
    EXPECT_EQ(colorTypeFromDepthText(QStringLiteral("3")), kColorTri);
    EXPECT_EQ(colorTypeFromDepthText(QStringLiteral("1")), kColorSingle);
    EXPECT_EQ(colorTypeFromDepthText(QString()), kColorSingle);
    EXPECT_EQ(colorTypeFromDepthText(QStringLiteral("9")), kColorSingle);
    EXPECT_EQ(depthTextFromColorType(kColorDual), QStringLiteral("2"));
    EXPECT_EQ(depthTextFromColorType(kColorTri), QStringLiteral("3"));
    EXPECT_EQ(depthTextFromColorType(kColorSingle), QStringLiteral("1"));
    EXPECT_EQ(depthTextFromColorType(0), QStringLiteral("1"));

    EXPECT_TRUE(isUnsetInternalCode(QStringLiteral("255_255_255_255_255_255_255_255")));
    EXPECT_FALSE(isUnsetInternalCode(QStringLiteral("255_255_255_255_255_255_255_254")));
    EXPECT_FALSE(isUnsetInternalCode(QStringLiteral("255_255_255")));
}

TEST(MaterialKinds, DefaultsFollowTheKindsTable)
{
    const QDateTime now(QDate(2024, 5, 1), QTime(8, 9, 10));
    const TFodder table = defaultMaterial(kTable, now);
    EXPECT_EQ(table.remainTime, 255);
    EXPECT_EQ(table.typeCode, '8');
    const TFodder queue = defaultMaterial(kQueue, now);
    EXPECT_EQ(queue.displaySpeed, 8);
    EXPECT_EQ(queue.typeCode, '5');
    const TFodder anim = defaultMaterial(kAnimation, now);
    EXPECT_EQ(anim.displaySpeed, 10);
    EXPECT_EQ(anim.typeCode, ';');
    EXPECT_EQ(defaultMaterial(kCountUp, now).content, QStringLiteral("2024-05-01 08:09:10"));
    EXPECT_EQ(defaultMaterial(kCountDown, now).typeCode, '3');
    EXPECT_EQ(defaultMaterial(kCountUp, now).typeCode, '4');
    EXPECT_TRUE(defaultMaterial(kSingleText, now).content.isEmpty());
    EXPECT_EQ(defaultMaterial(kDateTime, now).typeCode, '1');
    EXPECT_EQ(defaultMaterial(kRemoteText, now).typeCode, '0');

    // Every kind made in the main window is stored in a playbill.
    for (int k = 0; k < kMaterialKindCount; ++k) {
        const TFodder m = defaultMaterial(k, now);
        EXPECT_EQ(m.kind, k);
        EXPECT_GE(m.typeCode, 10) << k;
        EXPECT_EQ(m.displayMode, 9);
        EXPECT_EQ(m.fontSizeList, QString::fromLatin1(kFullFontSizeList));
    }
    EXPECT_EQ(QString::fromLatin1(materialKindInfo(kQueue).panelPrefix), QStringLiteral("pnQu"));
    EXPECT_EQ(QString::fromLatin1(materialKindInfo(kAcquisition).panelPrefix), QStringLiteral("pnCData"));
    EXPECT_FALSE(isValidMaterialKind(12));
    EXPECT_FALSE(isValidMaterialKind(-1));

    setCurrentLanguage(kEnglish);
    EXPECT_EQ(materialBaseName(kQueue), QStringLiteral("window_no"));
    EXPECT_EQ(materialTypeName(kQueue), QStringLiteral("queue"));
    EXPECT_EQ(materialBaseName(kSingleText), QStringLiteral("single-text"));
}

class ImageFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        folders = DataFolder(dir.path() + QStringLiteral("/home"));
        ASSERT_TRUE(folders.ensureExists());
    }
    QString makeFile(const QString& path, const QByteArray& bytes = "img")
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(test::writeAll(path, bytes));
        return path;
    }
    QTemporaryDir dir;
    DataFolder folders;
};

TEST_F(ImageFilesTest, AddAndInsertNumberByCountAndReportMissingFiles)
{
    const QString a = makeFile(dir.path() + QStringLiteral("/a.bmp"));
    const QString b = makeFile(dir.path() + QStringLiteral("/b c.bmp"));
    TFodder m;
    QStringList messages;
    const MessageSink sink = [&](const QString& t) { messages << t; };

    EXPECT_TRUE(addImageFile(m, a, sink));
    // The protected form of a space finds the file with the space.
    EXPECT_TRUE(insertImageFile(m, 0, dir.path() + QStringLiteral("/b※c.bmp"), sink));
    ASSERT_EQ(m.fileList.size(), 2);
    EXPECT_EQ(m.fileList[0].path, b);
    EXPECT_EQ(m.fileList[0].number, 2);
    EXPECT_EQ(m.fileList[1].path, a);
    EXPECT_EQ(m.fileList[1].number, 1);

    const QString missing = dir.path() + QStringLiteral("/gone.bmp");
    EXPECT_FALSE(addImageFile(m, missing, sink));
    EXPECT_EQ(m.fileList.size(), 2);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("file[") + missing + QStringLiteral("]dose not exist!Please confirm!"));
    // No sink: still skipped, nothing else happens.
    EXPECT_FALSE(insertImageFile(m, 99, missing));
}

TEST_F(ImageFilesTest, MaterialCreationBuildsTheFileListPerKind)
{
    makeFile(folders.pictureFolder() + QStringLiteral("/p1.bmp"));
    makeFile(folders.pictureFolder() + QStringLiteral("/p 2.bmp"));
    makeFile(folders.tableFolder() + QStringLiteral("/t__j0.bmp"));
    const QString elsewhere = makeFile(dir.path() + QStringLiteral("/x/remote.tprg"));

    QStringList messages;
    const MessageSink sink = [&](const QString& t) { messages << t; };

    TFodder group = defaultMaterial(kImageGroup);
    // Stored with a Windows folder and a protected space; only the base name counts.
    group.imageFiles = QStringLiteral("C:\\old\\picFiles\\p1.bmp;p※2.bmp;missing.bmp");
    group.sendNo = 7;
    group.partCount = 3;
    group.downloadFlags = {1, 1};
    group.fontSizeList = QStringLiteral("12*12");
    const TFodder g = createMaterial(group, nullptr, folders, sink);
    ASSERT_EQ(g.fileList.size(), 2);
    EXPECT_EQ(g.fileList[0].path, folders.pictureFolder() + QStringLiteral("/p1.bmp"));
    EXPECT_EQ(g.fileList[1].path, folders.pictureFolder() + QStringLiteral("/p 2.bmp"));
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(g.sendNo, 1);
    EXPECT_EQ(g.partCount, 0);
    EXPECT_EQ(g.downloadFlags[0], 0);
    EXPECT_EQ(g.downloadFlags[1], 0);
    EXPECT_EQ(g.fontSizeList, QString::fromLatin1(kFullFontSizeList));

    TFodder table = defaultMaterial(kTable);
    table.imageFiles = QStringLiteral("t__j0.bmp");
    const TFodder t = createMaterial(table, nullptr, folders, sink);
    ASSERT_EQ(t.fileList.size(), 1);
    EXPECT_EQ(t.fileList[0].path, folders.tableFolder() + QStringLiteral("/t__j0.bmp"));

    TFodder remote = defaultMaterial(kRemoteText);
    remote.imageFiles = elsewhere;
    const TFodder r = createMaterial(remote, nullptr, folders, sink);
    ASSERT_EQ(r.fileList.size(), 1);
    EXPECT_EQ(r.fileList[0].path, elsewhere);

    // A handed-in list is taken over as it is, even with missing files.
    const QList<TFileInfo> list{{1, 0, QStringLiteral("/nowhere/z.bmp")}};
    const TFodder taken = createMaterial(group, &list, folders, sink);
    EXPECT_EQ(taken.fileList, list);
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(ImageFilesTest, BaseNamesAndCopies)
{
    EXPECT_EQ(baseName(QStringLiteral("C:\\LED\\picFiles\\a b.bmp")), QStringLiteral("a b.bmp"));
    EXPECT_EQ(baseName(QStringLiteral("/home/x/图片.bmp")), QStringLiteral("图片.bmp"));
    EXPECT_EQ(baseName(QStringLiteral("plain.bmp")), QStringLiteral("plain.bmp"));
    EXPECT_EQ(baseName(QStringLiteral("dir/")), QString());

    const QString src = makeFile(dir.path() + QStringLiteral("/src/图 1.bmp"), "new");
    const QString target = folders.pictureFolder() + QStringLiteral("/图 1.bmp");
    makeFile(target, "old");
    QString error;
    ASSERT_TRUE(copyIntoFolder(src, folders.pictureFolder(), &error)) << error.toStdString();
    EXPECT_EQ(test::readAll(target), QByteArray("new"));

    // Onto itself: the file survives.
    ASSERT_TRUE(copyIntoFolder(target, folders.pictureFolder(), &error));
    EXPECT_EQ(test::readAll(target), QByteArray("new"));

    // A missing source fails and leaves the target alone.
    EXPECT_FALSE(copyIntoFolder(dir.path() + QStringLiteral("/src/none.bmp"), folders.pictureFolder(),
                                QStringLiteral("图 1.bmp"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(test::readAll(target), QByteArray("new"));
}
