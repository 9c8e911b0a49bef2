#include "editingfixture.h"
#include "model/imagefiles.h"
#include "model/materialkinds.h"
#include "model/playbillwriter.h"
#include "protocol/downloadbuilder.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QRect>

namespace ledsign::test {
namespace {

class TreeCommandsTest : public EditingFixture {};

TEST_F(TreeCommandsTest, NewCardTakesTheWindowValuesAndRefusesNamesThatWouldCollide)
{
    EXPECT_EQ(commands->proposedCardName(), QStringLiteral("Card1")) << "in the language of the window";
    CommandResult r = commands->addCard({QStringLiteral(" A "), QStringLiteral("abc"), QStringLiteral("0"), 2});
    ASSERT_TRUE(r.changed);
    EXPECT_EQ(r.select, NodePath::ofCard(QStringLiteral("A")));
    const TFIXModem& a = *model->findCard(QStringLiteral("A")).record;
    EXPECT_EQ(a.width, 256);
    EXPECT_EQ(a.height, 128);
    EXPECT_EQ(a.colorType, kColorTri);
    EXPECT_EQ(a.internalCode, QStringLiteral("00_00_00_00_00_00_00_00"));
    EXPECT_TRUE(a.ipAddress.isEmpty()) << "no invented address";
    EXPECT_EQ(a.macAddress, QStringLiteral("0:0:0:0:0:0"));
    EXPECT_EQ(a.version, 80);
    EXPECT_EQ(a.linkKind, 0);
    EXPECT_EQ(a.panelName, QStringLiteral("pnCard1"));
    EXPECT_EQ(commands->proposedCardName(), QStringLiteral("Card2"));
    setCurrentLanguage(kSimplifiedChinese);
    EXPECT_EQ(commands->proposedCardName(), QStringLiteral("控制卡2"));
    setCurrentLanguage(kEnglish);

    card(QStringLiteral("B"), 64, 32);
    EXPECT_EQ(model->findCard(QStringLiteral("B")).record->width, 64);
    EXPECT_EQ(model->findCard(QStringLiteral("B")).record->colorType, kColorSingle);

    for (const QString& bad : {QStringLiteral("A"), QStringLiteral(""), QStringLiteral("x=y")}) {
        r = commands->addCard({bad, QStringLiteral("64"), QStringLiteral("32"), 1});
        EXPECT_FALSE(r.changed) << bad.toStdString();
        EXPECT_FALSE(r.message.isEmpty());
    }
    EXPECT_EQ(commands->checkNewCardName(QString()), GetLgText(3, QStringLiteral("warn_card_name_enter")));
    EXPECT_EQ(model->cards().size(), 2);
}

TEST_F(TreeCommandsTest, PagesTakeTheFirstFreeNameAndNeedACardOfVersion52)
{
    const NodePath a = card(QStringLiteral("A"));
    const NodePath p1 = page(a);
    EXPECT_EQ(p1, NodePath::ofPage(QStringLiteral("A"), QStringLiteral("show_page1")));
    const NodePath p2 = page(p1); // from a page node: the page's card
    EXPECT_EQ(p2.page, QStringLiteral("show_page2"));
    const TProgram& made = *model->findPage(QStringLiteral("A"), QStringLiteral("show_page1")).record;
    EXPECT_EQ(made.startTime, QStringLiteral("00:00"));
    EXPECT_EQ(made.endTime, QStringLiteral("24:00"));
    EXPECT_EQ(made.playCycle, QStringLiteral("everyday"));
    EXPECT_EQ(made.playMode, -1);
    EXPECT_EQ(made.id.size(), 9);
    EXPECT_TRUE(made.panelName.startsWith(QStringLiteral("pnProgram")));
    EXPECT_TRUE(model->findCard(QStringLiteral("A")).record->modified);

    commands->deletePage(p1);
    EXPECT_EQ(page(a).page, QStringLiteral("show_page1"));

    TFIXModem& c = *model->findCard(QStringLiteral("A")).record;
    c.version = 51;
    CommandResult r = commands->addPage(a);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(r.message, GetLgText(3, QStringLiteral("warn_card_version_low_add")));
    c.version = 52;
    EXPECT_TRUE(commands->addPage(a).changed);
    c.version = -1;
    EXPECT_TRUE(commands->addPage(a).changed);

    const NodePath r1 = region(p2);
    for (const NodePath& wrong : {NodePath::none(), r1}) {
        r = commands->addPage(wrong);
        EXPECT_FALSE(r.changed);
        EXPECT_EQ(r.message, GetLgText(3, QStringLiteral("warn_card_select")));
    }
}

TEST_F(TreeCommandsTest, RegionsStartAtTheOriginWithHalfThePage)
{
    EXPECT_EQ(defaultRegionSize(256, 128, 10), QSize(128, 64));
    EXPECT_EQ(defaultRegionSize(64, 32, 10), QSize(32, 32));   // low page: whole height
    EXPECT_EQ(defaultRegionSize(64, 33, 10), QSize(32, 16));
    EXPECT_EQ(defaultRegionSize(64, 48, 5), QSize(32, 48));    // 24 canvas pixels high at 0.5
    EXPECT_EQ(defaultRegionSize(256, 128, 20), QSize(128, 64));

    const NodePath p = page(card(QStringLiteral("A"), 64, 32));
    const NodePath r1 = region(p);
    const NodePath r2 = region(r1);
    EXPECT_EQ(r1.region, QStringLiteral("area1"));
    EXPECT_EQ(r2.region, QStringLiteral("area2"));
    const TRegion& made = *model->findRegion(p.card, p.page, r1.region).record;
    EXPECT_EQ(made.pageId, model->findPage(p.card, p.page).record->id);
    EXPECT_EQ(QRect(made.left, made.top, made.width, made.height), QRect(0, 0, 32, 32));
    EXPECT_EQ(commands->addRegion(p.parent()).message, GetLgText(3, QStringLiteral("warn_page_add")));
}

TEST_F(TreeCommandsTest, MaterialNamesCountPerKindAndSkipTakenNames)
{
    const NodePath p = page(card(QStringLiteral("A")));
    const NodePath ra = region(p);
    const NodePath rb = region(p);
    const NodePath t1 = material(ra, kSingleText);
    EXPECT_EQ(t1.material, QStringLiteral("single-text1"));
    // The next proposed name is taken already: it is skipped.
    model->renameMaterial(p.card, p.page, ra.region, t1.material, QStringLiteral("single-text2"));
    EXPECT_EQ(material(ra, kSingleText).material, QStringLiteral("single-text3"));
    // The counter rose by one for that add, whatever number was used.
    EXPECT_EQ(material(rb, kSingleText).material, QStringLiteral("single-text3"));
    // Each kind counts on its own.
    EXPECT_EQ(material(rb, kMultiText).material, QStringLiteral("multi_text1"));

    const TFodder& m = *model->findMaterial(p.card, p.page, rb.region, QStringLiteral("multi_text1")).record;
    EXPECT_EQ(m.kind, kMultiText);
    EXPECT_EQ(m.typeCode, '8');
    EXPECT_EQ(m.regionId, model->findRegion(p.card, p.page, rb.region).record->id);
    EXPECT_TRUE(m.panelName.startsWith(QStringLiteral("pnMulTxt")));
    const CommandResult none = commands->addMaterial(p, kSingleText);
    EXPECT_FALSE(none.changed);
    EXPECT_EQ(none.message, GetLgText(3, QStringLiteral("warn_area_add")));
}

TEST_F(TreeCommandsTest, NewMaterialsGoWhereTheSelectionSays)
{
    const NodePath p = page(card(QStringLiteral("A")));
    const NodePath r1 = region(p);
    const NodePath r2 = region(p);
    material(r1, kSingleText); // single-text1
    material(r1, kSingleText); // single-text2, appended with the region selected
    material(r2, kDateTime);   // time1
    EXPECT_EQ(materialsOf(r1), QStringList({"single-text1", "single-text2"}));

    // The last material of a region that another region follows: before it.
    const NodePath last1 = NodePath::ofMaterial(p.card, p.page, r1.region, QStringLiteral("single-text2"));
    material(last1, kMultiText);
    EXPECT_EQ(materialsOf(r1), QStringList({"single-text1", "multi_text1", "single-text2"}));
    // A queue always becomes the first of its region.
    material(last1, kQueue);
    EXPECT_EQ(materialsOf(r1).first(), QStringLiteral("window_no1"));
    material(r2, kQueue);
    EXPECT_EQ(materialsOf(r2).first(), QStringLiteral("window_no2"));

    // The last node of the whole tree: after it.
    const NodePath lastOfTree = NodePath::ofMaterial(p.card, p.page, r2.region, QStringLiteral("time1"));
    ASSERT_EQ(lastNodeOfTree(*model), lastOfTree);
    material(lastOfTree, kMultiText);
    EXPECT_EQ(materialsOf(r2), QStringList({"window_no2", "time1", "multi_text2"}));
    // The material list keeps each region's materials together in that order.
    QStringList all;
    for (const TFodder& m : model->materials())
        all << m.name;
    EXPECT_EQ(all, QStringList({"window_no1", "single-text1", "multi_text1", "single-text2", "window_no2",
                                "time1", "multi_text2"}));
}

TEST_F(TreeCommandsTest, MovesStayWithinTheRegionAndTheCardList)
{
    const NodePath a = card(QStringLiteral("A"));
    card(QStringLiteral("B"));
    card(QStringLiteral("C"));
    const NodePath p = page(a);
    const NodePath r1 = region(p);
    const NodePath r2 = region(p);
    const NodePath x = material(r1, kSingleText);
    const NodePath y = material(r1, kMultiText);
    const NodePath z = material(r2, kDateTime);
    model->findCard(QStringLiteral("A")).record->modified = 0;

    EXPECT_FALSE(commands->moveUp(x).changed);   // first of its region
    EXPECT_FALSE(commands->moveUp(z).changed);   // would cross into region 1
    EXPECT_FALSE(commands->moveDown(y).changed); // would cross into region 2
    EXPECT_FALSE(model->findCard(QStringLiteral("A")).record->modified);
    EXPECT_FALSE(commands->moveUp(p).changed);   // pages do not move
    EXPECT_FALSE(commands->moveDown(r1).changed); // nor regions

    EXPECT_TRUE(commands->moveDown(x).changed);
    EXPECT_EQ(materialsOf(r1), QStringList({y.material, x.material}));
    EXPECT_TRUE(model->findCard(QStringLiteral("A")).record->modified);
    EXPECT_EQ(model->materials().last().name, z.material);

    auto cardOrder = [&] {
        QStringList names;
        for (const TFIXModem& c : model->cards())
            names << c.name;
        return names;
    };
    EXPECT_FALSE(commands->moveUp(a).changed);
    EXPECT_FALSE(commands->moveDown(NodePath::ofCard(QStringLiteral("C"))).changed);
    const CommandResult moved = commands->moveUp(NodePath::ofCard(QStringLiteral("B")));
    EXPECT_TRUE(moved.expandAll);
    EXPECT_EQ(cardOrder(), QStringList({"B", "A", "C"}));
    commands->moveDown(NodePath::ofCard(QStringLiteral("B")));
    commands->moveDown(NodePath::ofCard(QStringLiteral("B")));
    EXPECT_EQ(cardOrder(), QStringList({"A", "C", "B"}));
}

TEST_F(TreeCommandsTest, PagesMoveWithTheirRegionsWithinTheirCardAndTheSendOrderFollows)
{
    const NodePath a = card(QStringLiteral("A"));
    const NodePath b = card(QStringLiteral("B"));
    const NodePath p1 = page(a);
    const NodePath q1 = page(b); // another card's page between A's pages
    const NodePath p2 = page(a);
    // A page of the text-program window is no child of the card.
    model->appendPage(TProgram{a.card, QStringLiteral("tp"), model->newId(), {}, {}, {}, {}, {}, 1, kPlayEveryDay});
    const NodePath p3 = page(a);
    const NodePath r1 = region(p1);
    const NodePath r2 = region(p2);
    const NodePath m1 = material(r1, kSingleText);
    const NodePath m2 = material(r2, kSingleText);
    TFIXModem& cardA = *model->findCard(a.card).record;
    cardA.internalCode = QStringLiteral("1_2_3_4_5_6_7_8");
    cardA.modified = 0;
    auto pageOrder = [&] {
        QStringList names;
        for (const TProgram& p : model->pages())
            names << p.cardName + QLatin1Char('/') + p.name;
        return names;
    };

    EXPECT_FALSE(commands->moveUp(p1).changed);
    EXPECT_FALSE(commands->moveDown(p3).changed);
    EXPECT_FALSE(cardA.modified);
    const CommandResult down = commands->moveDown(p1);
    EXPECT_TRUE(down.changed);
    EXPECT_EQ(down.select, p1);
    EXPECT_TRUE(model->findCard(a.card).record->modified);
    EXPECT_EQ(model->pageNames(a.card), QStringList({p2.page, p1.page, p3.page}));
    // Only A's two pages changed places; the others kept theirs.
    EXPECT_EQ(pageOrder(), QStringList({"A/show_page2", "B/show_page1", "A/show_page1", "A/tp", "A/show_page3"}));
    EXPECT_EQ(model->regionNames(a.card, p1.page), QStringList({r1.region}));
    EXPECT_EQ(model->materialNames(a.card, p1.page, r1.region), QStringList({m1.material}));

    // The card is sent the pages in their new order: page 2 and its text first.
    const DownloadBuilder builder([](TFodder&, const TRegion&, const TFIXModem&) {
        return SendConversionResult{true, QByteArray(16, '\x11'), {}};
    });
    const DownloadBuild build = builder.build(*model, a.card, {});
    ASSERT_TRUE(build.ok) << build.failure.messageKey.toStdString() << build.failure.detail.toStdString();
    const QByteArray sent = build.download.description.text;
    const QByteArray firstId = model->findPage(a.card, p2.page).record->id.toLatin1();
    EXPECT_TRUE(sent.startsWith(firstId)) << sent.constData();
    const QByteArray id1 = model->findMaterial(a.card, p1.page, r1.region, m1.material).record->id.toLatin1();
    const QByteArray id2 = model->findMaterial(a.card, p2.page, r2.region, m2.material).record->id.toLatin1();
    EXPECT_LT(sent.indexOf(id2), sent.indexOf(id1));

    // A drop names the sibling the page goes before, or none for the end.
    EXPECT_TRUE(commands->moveTo(p3, a, p2).changed);
    EXPECT_EQ(model->pageNames(a.card), QStringList({p3.page, p2.page, p1.page}));
    EXPECT_TRUE(commands->moveTo(p3, a, NodePath::none()).changed);
    EXPECT_EQ(model->pageNames(a.card), QStringList({p2.page, p1.page, p3.page}));
    EXPECT_FALSE(commands->moveTo(p1, a, p3).changed); // already there
    // Pages stay in their card, regions do not move, and a place must name a sibling.
    EXPECT_FALSE(commands->canMoveTo(p1, b, NodePath::none()));
    EXPECT_FALSE(commands->canMoveTo(p1, a, q1));
    EXPECT_FALSE(commands->canMoveTo(p1, NodePath::none(), a));
    EXPECT_FALSE(commands->canMoveTo(r1, p1, NodePath::none()));
    EXPECT_FALSE(commands->moveTo(r1, p1, NodePath::none()).changed);
    EXPECT_FALSE(commands->canMoveTo(m1, r2, NodePath::none()));
    EXPECT_FALSE(commands->canMoveTo(m1, r1, m2));
    EXPECT_TRUE(commands->canMoveTo(a, NodePath::none(), NodePath::none()));
    EXPECT_FALSE(commands->canMoveTo(a, NodePath::none(), p1));

    // A queue is offered on the first page only: that page keeps its place.
    material(NodePath::ofRegion(a.card, p2.page, r2.region), kQueue);
    const CommandResult refused = commands->moveDown(p2);
    EXPECT_FALSE(refused.changed);
    EXPECT_EQ(refused.status, GetLgText(3, QStringLiteral("warn_page_move_queue_first")));
    EXPECT_FALSE(refused.status.isEmpty());
    EXPECT_FALSE(commands->moveUp(p1).changed);
    EXPECT_FALSE(commands->canMoveTo(p3, a, p2));
    EXPECT_TRUE(commands->canMoveTo(p3, a, p1));
    EXPECT_TRUE(commands->moveDown(p1).changed);
    EXPECT_EQ(model->pageNames(a.card), QStringList({p2.page, p3.page, p1.page}));
}

TEST_F(TreeCommandsTest, ADropPutsMaterialsAndCardsBeforeTheNamedSibling)
{
    const NodePath a = card(QStringLiteral("A"));
    const NodePath b = card(QStringLiteral("B"));
    const NodePath c = card(QStringLiteral("C"));
    const NodePath r = region(page(a));
    const NodePath x = material(r, kSingleText);
    const NodePath y = material(r, kMultiText);
    const NodePath z = material(r, kDateTime);
    model->findCard(a.card).record->modified = 0;

    EXPECT_TRUE(commands->moveTo(z, r, x).changed);
    EXPECT_EQ(materialsOf(r), QStringList({z.material, x.material, y.material}));
    EXPECT_TRUE(model->findCard(a.card).record->modified);
    EXPECT_TRUE(commands->moveTo(z, r, NodePath::none()).changed);
    EXPECT_EQ(materialsOf(r), QStringList({x.material, y.material, z.material}));
    EXPECT_TRUE(commands->moveTo(x, r, z).changed);
    EXPECT_EQ(materialsOf(r), QStringList({y.material, x.material, z.material}));

    const CommandResult moved = commands->moveTo(c, NodePath::none(), a);
    EXPECT_TRUE(moved.changed);
    EXPECT_TRUE(moved.expandAll);
    QStringList cards;
    for (const TFIXModem& card : model->cards())
        cards << card.name;
    EXPECT_EQ(cards, QStringList({c.card, a.card, b.card}));
    // The look-ups follow the new order.
    EXPECT_EQ(model->findCard(b.card).index, 2);
    EXPECT_EQ(model->findCard(c.card).index, 0);
    EXPECT_FALSE(model->findCard(b.card).record->modified);
}

TEST_F(TreeCommandsTest, DeletingRemovesTheOwnedRecordsAndFreesTheRemoteTextSlot)
{
    const NodePath a = card(QStringLiteral("A"));
    const NodePath b = card(QStringLiteral("B"));
    const NodePath p = page(a);
    const NodePath r = region(p);
    material(r, kSingleText);
    const NodePath remote = material(r, kRemoteText);
    EXPECT_EQ(model->findCard(a.card).record->remoteTextFree, 0);
    // A second remote text on the same card is refused.
    EXPECT_FALSE(commands->addMaterial(r, kRemoteText).changed);

    CommandResult res = commands->deleteMaterial(remote);
    EXPECT_EQ(res.select, r);
    EXPECT_EQ(model->findCard(a.card).record->remoteTextFree, 1);
    material(r, kRemoteText);
    res = commands->deleteRegion(r);
    EXPECT_EQ(res.select, p);
    EXPECT_EQ(model->findCard(a.card).record->remoteTextFree, 1);
    EXPECT_TRUE(model->materials().isEmpty());
    material(region(p), kRemoteText);
    commands->deletePage(p);
    EXPECT_EQ(model->findCard(a.card).record->remoteTextFree, 1);
    EXPECT_TRUE(model->regions().isEmpty());

    material(region(page(b)), kSingleText);
    res = commands->deleteCard(a);
    EXPECT_EQ(res.select, b); // the card that took its place
    res = commands->deleteCard(b);
    EXPECT_TRUE(res.select.isNone());
    EXPECT_TRUE(model->cards().isEmpty());
    EXPECT_TRUE(model->pages().isEmpty());
    EXPECT_TRUE(model->materials().isEmpty());
}

TEST_F(TreeCommandsTest, PasteNeedsACopiedPageAndACardAtLeastAsLarge)
{
    const NodePath a = card(QStringLiteral("A"), 256, 128);
    const NodePath same = card(QStringLiteral("Same"), 256, 128);
    const NodePath narrow = card(QStringLiteral("Narrow"), 255, 128);
    const NodePath low = card(QStringLiteral("Low"), 256, 127);
    const NodePath p = page(a);
    const NodePath r = region(p);
    TRegion& src = *model->findRegion(p.card, p.page, r.region).record;
    src.left = 8;
    src.top = 4;
    src.width = 64;
    src.height = 16;
    // Pasting appends regions, which may move the list: keep the id, not the reference.
    const QString srcId = src.id;
    const NodePath t = material(r, kSingleText);
    model->findMaterial(p.card, p.page, r.region, t.material).record->content = QStringLiteral("hello");
    material(r, kRemoteText);

    EXPECT_EQ(commands->pastePage(same).message, QStringLiteral("请选择需要复制的显示页！"));
    commands->copyPage(p);
    EXPECT_EQ(commands->pastePage(narrow).message, QStringLiteral("该控制卡的尺寸小，不能复制显示页！"));
    EXPECT_EQ(commands->pastePage(low).message, QStringLiteral("该控制卡的尺寸小，不能复制显示页！"));
    EXPECT_TRUE(model->pageNames(narrow.card).isEmpty());

    const CommandResult res = commands->pastePage(same);
    ASSERT_TRUE(res.changed) << res.message.toStdString();
    EXPECT_EQ(res.select, NodePath::ofPage(same.card, QStringLiteral("show_page1")));
    const TRegion& copy = *model->findRegion(same.card, QStringLiteral("show_page1"), r.region).record;
    EXPECT_EQ(QRect(copy.left, copy.top, copy.width, copy.height), QRect(8, 4, 64, 16));
    EXPECT_NE(copy.id, srcId);
    EXPECT_EQ(copy.pageId, model->findPage(same.card, QStringLiteral("show_page1")).record->id);
    const QStringList names = model->materialNames(same.card, QStringLiteral("show_page1"), r.region);
    ASSERT_EQ(names, QStringList({"single-text2", "remote_text2"}));
    const TFodder& m = *model->findMaterial(same.card, QStringLiteral("show_page1"), r.region, names[0]).record;
    EXPECT_EQ(m.content, QStringLiteral("hello"));
    EXPECT_EQ(m.regionId, copy.id);
    EXPECT_TRUE(model->findCard(same.card).record->modified);
    EXPECT_EQ(model->findCard(same.card).record->remoteTextFree, 0);

    // Into its own card: a new page, and no second remote text for the card.
    ASSERT_TRUE(commands->pastePage(p).changed);
    EXPECT_EQ(model->materialNames(a.card, QStringLiteral("show_page2"), r.region),
              QStringList({"single-text3"}));
}

TEST_F(TreeCommandsTest, PastedTablesGetTheirOwnFiles)
{
    const QString tables = folders.tableFolder();
    const QString stem = QStringLiteral("t240101000000");
    ASSERT_TRUE(writeAll(tables + "/" + stem + ".tbl", "TPF0 table"));
    ASSERT_TRUE(writeAll(tables + "/" + stem + "__i0.bmp", "sheet 0"));
    ASSERT_TRUE(writeAll(tables + "/" + stem + "__j1.bmp", "sheet 1"));

    const NodePath a = card(QStringLiteral("A"));
    const NodePath p = page(a);
    const NodePath r = region(p);
    const NodePath t = material(r, kTable);
    TFodder& table = *model->findMaterial(p.card, p.page, r.region, t.material).record;
    ASSERT_TRUE(addImageFile(table, tables + "/" + stem + "__i0.bmp"));
    ASSERT_TRUE(addImageFile(table, tables + "/" + stem + "__j1.bmp"));

    commands->copyPage(p);
    ASSERT_TRUE(commands->pastePage(a).changed);
    ASSERT_TRUE(commands->pastePage(a).changed); // within the same second

    const QString firstCopy = tables + "/t240501123015";
    const QString secondCopy = tables + "/t240501123016";
    for (const QString& base : {firstCopy, secondCopy}) {
        EXPECT_EQ(readAll(base + ".tbl"), QByteArray("TPF0 table"));
        EXPECT_EQ(readAll(base + "__i0.bmp"), QByteArray("sheet 0"));
        EXPECT_EQ(readAll(base + "__j1.bmp"), QByteArray("sheet 1"));
    }
    const TFodder& copy = *model->findMaterial(a.card, QStringLiteral("show_page2"), r.region,
                                               model->materialNames(a.card, QStringLiteral("show_page2"), r.region)
                                                   .first())
                               .record;
    ASSERT_EQ(copy.fileList.size(), 2);
    EXPECT_EQ(copy.fileList[0].path, firstCopy + "__i0.bmp");
    EXPECT_EQ(copy.fileList[1].path, firstCopy + "__j1.bmp");
    EXPECT_EQ(copy.imageFiles, QStringLiteral("t240501123015__i0.bmp;t240501123015__j1.bmp"));
    // The original still refers to its own files.
    EXPECT_EQ(model->findMaterial(p.card, p.page, r.region, t.material).record->fileList[0].path,
              tables + "/" + stem + "__i0.bmp");
}

TEST_F(TreeCommandsTest, NewPlaybillSizeChangeAndOpenReplaceTheCardsPages)
{
    const NodePath a = card(QStringLiteral("A"));
    const NodePath b = card(QStringLiteral("B"));
    const NodePath p = page(a);
    const NodePath r = region(p);
    material(r, kSingleText);
    material(r, kQueue);

    // Open reads a file written from card A into card B.
    const QString file = folders.programFolder() + "/a.prg";
    PlaybillWriter writer(*model, folders);
    ASSERT_TRUE(writer.write(a.card, file));
    CommandResult res = commands->openPlaybill(b, file);
    EXPECT_TRUE(res.changed);
    EXPECT_EQ(model->materialNames(b.card, p.page, r.region), materialsOf(r));
    EXPECT_EQ(model->findCard(b.card).record->programFile, file);
    EXPECT_EQ(commands->openPlaybill(p, file).message, GetLgText(3, QStringLiteral("warn_card_select_open")));
    EXPECT_FALSE(commands->openPlaybill(b, file + ".missing").message.isEmpty());
    EXPECT_EQ(model->pageNames(b.card), QStringList({p.page})); // a missing file changes nothing

    res = commands->newPlaybill(b);
    EXPECT_EQ(model->pageNames(b.card), QStringList({"show_page1"}));
    EXPECT_TRUE(model->regionNames(b.card, QStringLiteral("show_page1")).isEmpty());
    EXPECT_TRUE(model->findCard(b.card).record->programFile.isEmpty());
    EXPECT_EQ(res.select, NodePath::ofPage(b.card, QStringLiteral("show_page1")));

    commands->copyPage(p);
    res = commands->changeCardSize(a.card, 64, 32);
    EXPECT_EQ(res.select, a);
    EXPECT_TRUE(model->pageNames(a.card).isEmpty());
    EXPECT_EQ(model->findCard(a.card).record->width, 64);
    EXPECT_EQ(model->findCard(a.card).record->height, 32);
    // The copied page went with it.
    EXPECT_EQ(commands->pastePage(b).message, QStringLiteral("请选择需要复制的显示页！"));
    EXPECT_FALSE(commands->changeCardSize(QStringLiteral("nobody"), 8, 8).changed);
}

} // namespace
} // namespace ledsign::test
