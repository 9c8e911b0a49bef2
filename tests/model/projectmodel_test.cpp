#include "language/language.h"
#include "model/projectmodel.h"
#include "model/projectoutline.h"

#include <gtest/gtest.h>

using namespace ledsign;

namespace {

class ProjectModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        for (const char* c : {"A", "B"}) {
            TFIXModem card;
            card.name = QString::fromLatin1(c);
            model.addCard(card);
            for (const char* p : {"P1", "P2"}) {
                addPage(card.name, QString::fromLatin1(p));
                for (const char* r : {"R1", "R2"}) {
                    addRegion(card.name, QString::fromLatin1(p), QString::fromLatin1(r));
                    for (const char* m : {"M1", "M2"})
                        addMaterial(card.name, QString::fromLatin1(p), QString::fromLatin1(r), QString::fromLatin1(m));
                }
            }
        }
    }
    void addPage(const QString& card, const QString& name)
    {
        TProgram p;
        p.cardName = card;
        p.name = name;
        model.appendPage(p);
    }
    void addRegion(const QString& card, const QString& page, const QString& name)
    {
        TRegion r;
        r.cardName = card;
        r.pageName = page;
        r.name = name;
        model.appendRegion(r);
    }
    TFodder material(const QString& card, const QString& page, const QString& region, const QString& name,
                     int kind = kSingleText)
    {
        TFodder m = defaultMaterial(kind);
        m.cardName = card;
        m.pageName = page;
        m.regionName = region;
        m.name = name;
        return m;
    }
    void addMaterial(const QString& card, const QString& page, const QString& region, const QString& name)
    {
        model.appendMaterialToRegion(material(card, page, region, name));
    }
    int countWhere(auto&& pred) const
    {
        int n = 0;
        for (const TFodder& m : model.materials())
            n += pred(m) ? 1 : 0;
        return n;
    }

    ProjectModel model;
};

const QString A = QStringLiteral("A");
const QString B = QStringLiteral("B");
const QString P1 = QStringLiteral("P1");
const QString P2 = QStringLiteral("P2");
const QString R1 = QStringLiteral("R1");
const QString R2 = QStringLiteral("R2");
const QString M1 = QStringLiteral("M1");
const QString M2 = QStringLiteral("M2");

} // namespace

TEST_F(ProjectModelTest, LookupsReturnRecordAndIndexAndCompareExactly)
{
    EXPECT_EQ(model.cards()[1].cardNo, 2);
    const auto card = model.findCard(B);
    ASSERT_TRUE(card);
    EXPECT_EQ(card.index, 1);
    EXPECT_FALSE(model.findCard(QStringLiteral("b")));

    const auto page = model.findPage(B, P2);
    ASSERT_TRUE(page);
    EXPECT_EQ(page.index, 3);
    const auto region = model.findRegion(B, P2, R1);
    ASSERT_TRUE(region);
    EXPECT_EQ(region.index, 6);
    EXPECT_EQ(region.record->cardName, B);
    const auto m = model.findMaterial(B, P2, R2, M2);
    ASSERT_TRUE(m);
    EXPECT_EQ(m.index, 15);
    EXPECT_FALSE(model.findMaterial(B, P2, R2, QStringLiteral("M3")));
    EXPECT_FALSE(model.findMaterial(B, P2, QStringLiteral("R3"), M1));

    const ProjectModel& constModel = model;
    EXPECT_EQ(constModel.findMaterial(A, P1, R1, M1).index, 0);
    EXPECT_EQ(model.materialNames(A, P1, R2), (QStringList{M1, M2}));
}

TEST_F(ProjectModelTest, RenameCardCarriesTheNameIntoEveryRecord)
{
    EXPECT_EQ(model.renameCard(A, QStringLiteral("控制卡 1")), QStringLiteral("控制卡 1"));
    EXPECT_FALSE(model.findCard(A));
    EXPECT_EQ(model.pageNames(QStringLiteral("控制卡 1")), (QStringList{P1, P2}));
    EXPECT_TRUE(model.findMaterial(QStringLiteral("控制卡 1"), P2, R2, M2));
    EXPECT_EQ(countWhere([](const TFodder& m) { return m.cardName == A; }), 0);
    EXPECT_EQ(countWhere([](const TFodder& m) { return m.cardName == B; }), 8);

    // Taken by another card: the word for a card and the first free number
    // from the card count + 1.
    EXPECT_EQ(model.renameCard(B, QStringLiteral("控制卡 1")), QStringLiteral("card3"));
    TFIXModem third;
    third.name = QStringLiteral("card4");
    model.addCard(third);
    EXPECT_EQ(model.renameCard(QStringLiteral("card3"), QStringLiteral("card4")), QStringLiteral("card5"));
    // Keeping its own name is not a clash.
    EXPECT_EQ(model.renameCard(QStringLiteral("card5"), QStringLiteral("card5")), QStringLiteral("card5"));
    EXPECT_EQ(model.renameCard(QStringLiteral("nobody"), QStringLiteral("x")), QString());
}

TEST_F(ProjectModelTest, RenamePageAndRegionStayWithinTheirOwner)
{
    // The same name on another card is no clash.
    EXPECT_EQ(model.renamePage(A, P1, QStringLiteral("Morning")), QStringLiteral("Morning"));
    EXPECT_EQ(model.renamePage(B, P1, QStringLiteral("Morning")), QStringLiteral("Morning"));
    EXPECT_TRUE(model.findRegion(A, QStringLiteral("Morning"), R2));
    EXPECT_EQ(model.regionNames(A, P1), QStringList());
    EXPECT_TRUE(model.findMaterial(A, QStringLiteral("Morning"), R1, M2));
    // Card B's second page kept its records.
    EXPECT_TRUE(model.findMaterial(B, P2, R1, M1));

    // Clash inside the card: fallback from the number of all pages + 1.
    EXPECT_EQ(model.renamePage(A, P2, QStringLiteral("Morning")), QStringLiteral("show_page5"));
    EXPECT_EQ(model.renamePage(A, QStringLiteral("show_page5"), QString()), QStringLiteral("show_page5"));

    EXPECT_EQ(model.renameRegion(A, QStringLiteral("Morning"), R1, R2), QStringLiteral("area9"));
    EXPECT_TRUE(model.findMaterial(A, QStringLiteral("Morning"), QStringLiteral("area9"), M1));
    EXPECT_EQ(model.materialNames(A, QStringLiteral("Morning"), R1), QStringList());
    EXPECT_EQ(model.renameRegion(A, P1, R1, QStringLiteral("x")), QString());
}

TEST_F(ProjectModelTest, RenameMaterialFallsBackToTheWordForFile)
{
    EXPECT_EQ(model.renameMaterial(A, P1, R1, M1, QStringLiteral("Clock")), QStringLiteral("Clock"));
    EXPECT_EQ(model.renameMaterial(A, P1, R1, M2, QStringLiteral("Clock")), QStringLiteral("file17"));
    // A sibling already holding the fallback moves it on.
    EXPECT_EQ(model.renameMaterial(A, P1, R2, M1, QStringLiteral("file17")), QStringLiteral("file17"));
    EXPECT_EQ(model.renameMaterial(A, P1, R2, M2, QStringLiteral("file17")), QStringLiteral("file18"));
    EXPECT_EQ(model.materialNames(A, P1, R1), (QStringList{QStringLiteral("Clock"), QStringLiteral("file17")}));
}

TEST(NextFreeName, SmallestFreeNumberAndTheHundredthCap)
{
    const QString prefix = QStringLiteral("area");
    EXPECT_EQ(ProjectModel::nextFreeName({}, prefix), QStringLiteral("area1"));
    EXPECT_EQ(ProjectModel::nextFreeName({QStringLiteral("area1"), QStringLiteral("area3")}, prefix),
              QStringLiteral("area2"));
    EXPECT_EQ(ProjectModel::nextFreeName({QStringLiteral("Area1")}, prefix), QStringLiteral("area1"));
    QStringList taken;
    for (int i = 1; i <= 100; ++i)
        taken << prefix + QString::number(i);
    EXPECT_EQ(ProjectModel::nextFreeName(taken, prefix), QStringLiteral("area100"));
    taken.removeAt(98); // area99 free again
    EXPECT_EQ(ProjectModel::nextFreeName(taken, prefix), QStringLiteral("area99"));
}

TEST_F(ProjectModelTest, QueueGoesFirstOthersAfterTheRegionsLast)
{
    model.appendMaterialToRegion(material(A, P1, R1, QStringLiteral("M3")));
    model.insertMaterialFirstInRegion(material(A, P1, R2, QStringLiteral("Q"), kQueue));
    EXPECT_EQ(model.materialNames(A, P1, R1), (QStringList{M1, M2, QStringLiteral("M3")}));
    EXPECT_EQ(model.materialNames(A, P1, R2), (QStringList{QStringLiteral("Q"), M1, M2}));
    EXPECT_EQ(model.findMaterial(A, P1, R1, QStringLiteral("M3")).index, 2);
    EXPECT_EQ(model.findMaterial(A, P1, R2, QStringLiteral("Q")).index, 3);
    // An empty region: at the end of the list.
    const qsizetype at = model.appendMaterialToRegion(material(A, P1, QStringLiteral("R9"), M1));
    EXPECT_EQ(at, model.materials().size() - 1);
}

TEST_F(ProjectModelTest, RemovingAndClearingTakeOnlyWhatTheOwnerHolds)
{
    model.cards()[0].programFile = QStringLiteral("/x/a.prg");
    model.cards()[0].remoteTextFree = 0;
    model.removeRegion(A, P1, R1);
    EXPECT_FALSE(model.findRegion(A, P1, R1));
    EXPECT_EQ(model.materials().size(), 14);
    model.removePage(A, P2);
    EXPECT_EQ(model.pageNames(A), QStringList{P1});
    EXPECT_EQ(model.materials().size(), 10);
    model.removeMaterial(B, P1, R1, M1);
    EXPECT_EQ(model.materialNames(B, P1, R1), QStringList{M2});

    model.clearCard(A);
    EXPECT_TRUE(model.pageNames(A).isEmpty());
    EXPECT_EQ(model.cards()[0].programFile, QString());
    EXPECT_EQ(model.cards()[0].remoteTextFree, 1);
    EXPECT_EQ(model.pages().size(), 2);
    EXPECT_EQ(model.regions().size(), 4);
    EXPECT_EQ(model.materials().size(), 7);

    model.markModified(B);
    EXPECT_EQ(model.cards()[1].modified, 1);
    model.removeCard(B);
    EXPECT_EQ(model.cards().size(), 1);
    EXPECT_TRUE(model.pages().isEmpty());
    EXPECT_TRUE(model.materials().isEmpty());
}

TEST(TimeStampIds, NineDigitsOfTheTimeAndNeverTheSameTwice)
{
    EXPECT_EQ(timeStampIdAt(QDateTime(QDate(2024, 5, 1), QTime(14, 25, 3, 117))), QStringLiteral("142503117"));
    EXPECT_EQ(timeStampIdAt(QDateTime(QDate(2024, 5, 1), QTime(0, 0, 0, 5))), QStringLiteral("000000005"));

    QDateTime now(QDate(2024, 5, 1), QTime(8, 0, 0, 0));
    int pauses = 0;
    int ticks = 0;
    // A coarse clock that moves by 10 ms every fourth look.
    TimeStampIds ids([&] { if (++ticks % 4 == 0) now = now.addMSecs(10); return now; },
                     [&](int ms) { EXPECT_EQ(ms, 1); ++pauses; });
    const QString first = ids.next();
    const QString second = ids.next();
    EXPECT_EQ(first.size(), 9);
    EXPECT_NE(first, second);
    EXPECT_GE(pauses, 3);

    // A clock that never moves is not waited on forever.
    TimeStampIds stuck([] { return QDateTime(QDate(2024, 5, 1), QTime(1, 2, 3, 4)); }, [](int) {});
    EXPECT_EQ(stuck.next(), QStringLiteral("010203004"));
    EXPECT_EQ(stuck.next(), QStringLiteral("010203004"));

    // The real clock.
    ProjectModel model;
    EXPECT_NE(model.newId(), model.newId());
}

TEST_F(ProjectModelTest, OutlineAnswersAsTheLookupsDo)
{
    // A duplicate region name (first one wins), a text-program page (not a
    // child in the tree, but found), a region of a page that does not exist,
    // and names that only differ in case.
    addRegion(A, P1, R1);
    TProgram textPage;
    textPage.cardName = B;
    textPage.name = QStringLiteral("T");
    textPage.textProgramPage = 1;
    model.appendPage(textPage);
    addRegion(B, QStringLiteral("nowhere"), R1);
    addPage(A, QStringLiteral("p1"));
    addMaterial(A, P2, R2, QStringLiteral("M3"));

    const ProjectOutline outline(model);
    for (const QString& card : {A, B, QStringLiteral("C")}) {
        EXPECT_EQ(outline.pageNames(card), model.pageNames(card));
        for (const QString& page : {P1, P2, QStringLiteral("p1"), QStringLiteral("T"), QStringLiteral("nowhere")}) {
            EXPECT_EQ(outline.pageIndex(card, page), model.findPage(card, page).index);
            EXPECT_EQ(outline.regionNames(card, page), model.regionNames(card, page));
            for (const QString& region : {R1, R2}) {
                EXPECT_EQ(outline.regionIndex(card, page, region), model.findRegion(card, page, region).index);
                EXPECT_EQ(outline.materialNames(card, page, region), model.materialNames(card, page, region));
            }
        }
    }
    EXPECT_EQ(outline.regionNames(A, P1), (QStringList{R1, R2, R1}));
    EXPECT_EQ(outline.materialNames(A, P2, R2), (QStringList{M1, M2, QStringLiteral("M3")}));
    EXPECT_EQ(outline.pageIndex(B, QStringLiteral("T")), model.pages().size() - 2);
    EXPECT_FALSE(outline.pageNames(B).contains(QStringLiteral("T")));
}
