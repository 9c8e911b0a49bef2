// Undo and redo through the main window: each kind of change is undone to
// the very bytes its playbill was saved with and redone to the bytes after
// it, the files a table edit wrote come and go with it, typing in one row
// and one drag of a region are one step each, a card's modified mark follows
// its history, and a long seeded session of mixed edits on two cards undoes
// to the first files and redoes to the last.
#include "windowfixture.h"

#include "content/ui/imagegrouppanel.h"
#include "editing/projectdocument.h"
#include "model/materialkinds.h"
#include "workspace/dragframe.h"
#include "workspace/layoutcanvas.h"
#include "workspace/propertyeditor.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

#include <random>

namespace ledsign::test {
namespace {

const QString kHall = QStringLiteral("Hall");
const QString kDoor = QStringLiteral("Door");

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class UndoHistory : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        run = startRun(home.path());
        addCard(kHall);
    }

    // A card with one page, one region and one single text.
    void addCard(const QString& name)
    {
        run.dialogs->newCards.push_back(NewCardInput{name, "128", "64", 0});
        run.trigger(ActionId::NewCard);
        run.trigger(ActionId::AddPrg);
        run.trigger(ActionId::AddRgn);
        run.trigger(ActionId::SglTxt);
    }

    // The card's playbill as "Save As" writes it.
    QByteArray saved(const QString& card = kHall)
    {
        const NodePath at = run.window->selection().node();
        run.window->selectCard(card);
        const QString path = home.filePath(QStringLiteral("saved%1.prg").arg(++saves));
        run.dialogs->saveNames.push_back(path);
        run.trigger(ActionId::SaveFileAs);
        if (pathExists(run.model(), at))
            run.window->selectNode(at);
        return fileBytes(path);
    }

    QString page(int i = 0, const QString& card = kHall) { return run.model().pageNames(card).value(i); }
    NodePath pageNode(int i = 0, const QString& card = kHall) { return NodePath::ofPage(card, page(i, card)); }
    NodePath regionNode(int i = 0, const QString& card = kHall)
    {
        return NodePath::ofRegion(card, page(0, card), run.model().regionNames(card, page(0, card)).value(i));
    }
    NodePath materialNode(int i = 0, const QString& card = kHall)
    {
        const NodePath r = regionNode(0, card);
        return NodePath::ofMaterial(card, r.page, r.region, run.model().materialNames(card, r.page, r.region).value(i));
    }
    void select(const NodePath& path) { run.window->selectNode(path); }
    bool modified(const QString& card = kHall) { return run.model().findCard(card).record->modified != 0; }
    void undo() { run.window->undoAction()->trigger(); }
    void redo() { run.window->redoAction()->trigger(); }
    QUndoStack& stack(const QString& card = kHall) { return *run.window->document().stackOf(card); }
    DragFrame* frameOn(const NodePath& region)
    {
        select(region);
        return run.window->canvas()->dragFrame();
    }
    void mouse(QWidget* w, QEvent::Type type, QPoint at)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }

    QTemporaryDir home;
    Running run;
    int saves = 0;
};

TEST_F(UndoHistory, EachKindOfChangeUndoesToTheBytesBeforeItAndRedoesToTheBytesAfterIt)
{
    const QString pictures = run.session->folders().pictureFolder();
    QDir().mkpath(pictures);
    for (int i = 1; i <= 2; ++i) {
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(i == 1 ? Qt::red : Qt::green);
        ASSERT_TRUE(picture.save(pictures + QStringLiteral("/p%1.bmp").arg(i)));
    }
    struct Change {
        const char* caption;
        std::function<void()> make;
    };
    const QList<Change> changes = {
        {"Add Page", [&] { select(NodePath::ofCard(kHall)); run.trigger(ActionId::AddPrg); }},
        {"Paste Page", [&] {
             select(pageNode(0));
             run.trigger(ActionId::CopyPrg);
             run.trigger(ActionId::PastePrg);
         }},
        {"Delete Page", [&] { select(pageNode(1)); run.trigger(ActionId::DelPrg); }},
        {"Add Region", [&] { select(pageNode(0)); run.trigger(ActionId::AddRgn); }},
        {"Delete Region", [&] { select(regionNode(1)); run.trigger(ActionId::DelRegion); }},
        {"Add Material", [&] { select(regionNode(0)); run.trigger(ActionId::DateTime); }},
        {"Move Up", [&] { select(materialNode(1)); run.window->findChild<QToolButton*>("sBtnUp")->click(); }},
        {"Move Down", [&] { select(materialNode(0)); run.window->findChild<QToolButton*>("sBtnDown")->click(); }},
        {"Delete Material", [&] { select(materialNode(1)); run.trigger(ActionId::DelFodder); }},
        {"Rename", [&] { select(regionNode(0)); run.window->properties()->editRow(1, "Stage"); }},
        {"Edit Properties", [&] { select(pageNode(0)); run.window->properties()->editRow(2, "08:30"); }},
        {"Move Region", [&] { QTest::keyClick(frameOn(regionNode(0)), Qt::Key_Right); }},
        {"Resize Region", [&] { QTest::keyClick(frameOn(regionNode(0)), Qt::Key_Down, Qt::ShiftModifier); }},
        {"Edit Text", [&] {
             select(materialNode(0));
             run.dialogs->texts.push_back(QStringLiteral("Welcome"));
             run.window->showMaterialEditor(run.window->selection().materialIndex(run.model()));
         }},
        {"Edit Image Group", [&] {
             select(regionNode(0));
             select(addMaterial(run, addActionOfKind(kImageGroup)));
             run.window->imageGroupPanel()->setFolder(pictures);
             run.window->imageGroupPanel()->addAll();
         }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.caption);
        const QByteArray before = saved();
        ASSERT_FALSE(modified());
        const int steps = stack().count();
        change.make();
        const QString caption = QString::fromLatin1(change.caption);
        ASSERT_EQ(run.window->undoAction()->text(), QStringLiteral("Undo ") + caption);
        ASSERT_TRUE(modified());
        if (caption == QLatin1String("Edit Image Group")) {
            // Adding the material was a step of its own.
            EXPECT_EQ(stack().count(), steps + 2);
            undo();
            EXPECT_EQ(run.window->undoAction()->text(), QStringLiteral("Undo Add Material"));
            redo();
        } else {
            EXPECT_EQ(stack().count(), steps + 1);
        }
        const QByteArray after = saved();
        ASSERT_NE(after, before);

        undo();
        EXPECT_EQ(run.window->redoAction()->text(), QStringLiteral("Redo ") + caption);
        EXPECT_TRUE(modified()); // the saved state is the one after the change
        if (caption == QLatin1String("Edit Image Group"))
            undo();
        EXPECT_EQ(saved(), before);
        redo();
        EXPECT_TRUE(modified());
        undo();
        EXPECT_FALSE(modified()); // back at the state just saved
        redo();
        if (caption == QLatin1String("Edit Image Group"))
            redo();
        EXPECT_EQ(saved(), after);
    }
    EXPECT_EQ(run.outline().value(2), QStringLiteral("    Stage"));
}

TEST_F(UndoHistory, TheFilesATableEditWritesAreRemovedOrPutBackByItsUndoAndWrittenAgainByItsRedo)
{
    const QString tables = run.session->folders().tableFolder();
    QDir().mkpath(tables);
    const QString table = tables + QStringLiteral("/t100.tbl");
    const QString piece = tables + QStringLiteral("/t100__1.bmp");
    // A file of the folder the edit does not touch stays whatever happens.
    const QString other = tables + QStringLiteral("/t999.tbl");
    QFile f(other);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("other table");
    f.close();
    QByteArray tableBytes;
    run.dialogs->tableEdit = [&](TFodder& material, const DataFolder&) {
        QFile t(table);
        t.open(QIODevice::WriteOnly);
        t.write(tableBytes);
        t.close();
        QImage image(16, 8, QImage::Format_RGB32);
        image.fill(tableBytes.size() % 2 ? Qt::red : Qt::blue);
        image.save(piece, "BMP");
        material.fileList = {TFileInfo{1, 0, piece}};
        material.imageFiles = QStringLiteral("t100__1.bmp");
        return true;
    };
    select(regionNode(0));
    select(addMaterial(run, ActionId::Table));
    const int tableIndex = run.window->selection().materialIndex(run.model());
    ASSERT_GE(tableIndex, 0);
    const QByteArray empty = saved();

    tableBytes = "first table";
    run.window->showMaterialEditor(tableIndex);
    EXPECT_EQ(run.window->undoAction()->text(), QStringLiteral("Undo Edit Table"));
    const QByteArray firstPiece = fileBytes(piece);
    const QByteArray first = saved();
    tableBytes = "second table!";
    run.window->showMaterialEditor(run.window->selection().materialIndex(run.model()));
    const QByteArray second = saved();
    ASSERT_EQ(fileBytes(table), "second table!");

    undo();
    EXPECT_EQ(fileBytes(table), "first table");
    EXPECT_EQ(fileBytes(piece), firstPiece);
    EXPECT_EQ(saved(), first);
    undo();
    EXPECT_FALSE(QFile::exists(table));
    EXPECT_FALSE(QFile::exists(piece));
    EXPECT_EQ(saved(), empty);
    redo();
    EXPECT_EQ(fileBytes(table), "first table");
    EXPECT_EQ(fileBytes(piece), firstPiece);
    redo();
    EXPECT_EQ(fileBytes(table), "second table!");
    EXPECT_EQ(saved(), second);

    // A pasted page gives its table copies of the files; they go with the
    // undo and come back with the redo.
    const QStringList before = QDir(tables).entryList(QDir::Files);
    select(pageNode(0));
    run.trigger(ActionId::CopyPrg);
    run.trigger(ActionId::PastePrg);
    const QStringList pasted = QDir(tables).entryList(QDir::Files);
    ASSERT_EQ(pasted.size(), before.size() + 2) << pasted.join(u' ').toStdString();
    QString copy;
    for (const QString& name : pasted) {
        if (!before.contains(name) && name.endsWith(QStringLiteral(".tbl")))
            copy = tables + u'/' + name;
    }
    undo();
    EXPECT_EQ(QDir(tables).entryList(QDir::Files), before);
    redo();
    EXPECT_EQ(QDir(tables).entryList(QDir::Files), pasted);
    EXPECT_EQ(fileBytes(copy), "second table!");
    EXPECT_EQ(fileBytes(other), "other table");
}

TEST_F(UndoHistory, TypingInOneRowIsOneStepOneDragIsOneStepAndUndoingToTheSavedStateAsksNothingOnExit)
{
    const QByteArray start = saved();
    const int steps = stack().count();
    select(pageNode(0));
    PropertyEditor* rows = run.window->properties();
    const QString startTime = rows->rowValue(2);
    rows->editRow(2, "08:00");
    rows->editRow(2, "09:00");
    rows->editRow(2, "10:00");
    EXPECT_EQ(stack().count(), steps + 1);
    rows->editRow(3, "20:00"); // another row is another step
    EXPECT_EQ(stack().count(), steps + 2);
    undo();
    undo();
    EXPECT_EQ(rows->rowValue(2), startTime);
    EXPECT_FALSE(modified());

    // Typed back to where it started: no step is left.
    rows->editRow(2, "11:00");
    rows->editRow(2, startTime);
    EXPECT_EQ(stack().index(), steps);
    EXPECT_FALSE(modified());

    DragFrame* frame = frameOn(regionNode(0));
    ASSERT_NE(frame, nullptr);
    const int left = run.model().findRegion(kHall, page(), regionNode(0).region).record->left;
    mouse(frame, QEvent::MouseButtonPress, QPoint(10, 10));
    mouse(frame, QEvent::MouseMove, QPoint(20, 10));
    mouse(frame, QEvent::MouseMove, QPoint(30, 10));
    mouse(frame, QEvent::MouseMove, QPoint(40, 10));
    mouse(frame, QEvent::MouseButtonRelease, QPoint(40, 10));
    EXPECT_GT(run.model().findRegion(kHall, page(), regionNode(0).region).record->left, left);
    EXPECT_EQ(stack().index(), steps + 1);
    EXPECT_EQ(run.window->undoAction()->text(), QStringLiteral("Undo Move Region"));
    undo();
    EXPECT_EQ(run.model().findRegion(kHall, page(), regionNode(0).region).record->left, left);
    EXPECT_EQ(saved(), start);

    run.dialogs->asked.clear();
    EXPECT_TRUE(run.window->close());
    EXPECT_FALSE(run.dialogs->asked.contains(GetLgText(3, QStringLiteral("dlg_sys_exit"))));
}

TEST_F(UndoHistory, TwoHundredMixedEditsOnTwoCardsUndoToTheFirstFilesAndRedoToTheLast)
{
    addCard(kDoor);
    const QByteArray firstHall = saved(kHall);
    const QByteArray firstDoor = saved(kDoor);
    const QHash<QString, int> start{{kHall, stack(kHall).index()}, {kDoor, stack(kDoor).index()}};
    std::mt19937 random(19);
    auto pick = [&](int n) { return n <= 0 ? 0 : int(random() % unsigned(n)); };
    const ActionId materialAdds[] = {ActionId::SglTxt, ActionId::MulText, ActionId::DateTime, ActionId::AddTime,
                                     ActionId::InnerInfo, ActionId::CallNo};
    int made = 0;
    for (int edit = 0; edit < 200; ++edit) {
        const QString card = pick(2) ? kDoor : kHall;
        const QStringList pages = run.model().pageNames(card);
        const QString p = pages.value(pick(int(pages.size())));
        const QStringList regions = run.model().regionNames(card, p);
        const QString r = regions.value(pick(int(regions.size())));
        const QStringList materials = run.model().materialNames(card, p, r);
        const QString m = materials.value(pick(int(materials.size())));
        const NodePath pageAt = NodePath::ofPage(card, p);
        const NodePath regionAt = NodePath::ofRegion(card, p, r);
        const NodePath materialAt = NodePath::ofMaterial(card, p, r, m);
        const bool hasRegion = !r.isEmpty();
        const bool hasMaterial = !m.isEmpty();
        const int before = stack(card).index();
        switch (pick(12)) {
        case 0: select(NodePath::ofCard(card)); run.trigger(ActionId::AddPrg); break;
        case 1: if (pages.size() > 1) { select(pageAt); run.trigger(ActionId::DelPrg); } break;
        case 2: select(pageAt); run.trigger(ActionId::CopyPrg); select(NodePath::ofCard(card)); run.trigger(ActionId::PastePrg); break;
        case 3: if (!p.isEmpty()) { select(pageAt); run.trigger(ActionId::AddRgn); } break;
        case 4: if (hasRegion && regions.size() > 1) { select(regionAt); run.trigger(ActionId::DelRegion); } break;
        case 5: if (hasRegion) { select(regionAt); run.trigger(materialAdds[pick(6)]); } break;
        case 6: if (hasMaterial) { select(materialAt); run.trigger(ActionId::DelFodder); } break;
        case 7:
            if (hasMaterial) {
                select(materialAt);
                run.window->findChild<QToolButton*>(pick(2) ? "sBtnUp" : "sBtnDown")->click();
            }
            break;
        case 8:
            if (hasMaterial) {
                select(materialAt);
                run.window->properties()->editRow(1, QStringLiteral("m%1").arg(edit));
            }
            break;
        case 9: if (!p.isEmpty()) { select(pageAt); run.window->properties()->editRow(2, QStringLiteral("0%1:15").arg(pick(10))); } break;
        case 10: if (hasRegion) QTest::keyClick(frameOn(regionAt), pick(2) ? Qt::Key_Right : Qt::Key_Down, pick(2) ? Qt::ShiftModifier : Qt::NoModifier); break;
        default:
            if (hasMaterial && run.model().findMaterial(card, p, r, m).record->kind == kSingleText) {
                select(materialAt);
                run.dialogs->texts.push_back(QStringLiteral("text %1").arg(edit));
                run.window->showMaterialEditor(run.window->selection().materialIndex(run.model()));
            }
            break;
        }
        made += stack(card).index() != before;
    }
    EXPECT_GE(made, 100);
    const QByteArray lastHall = saved(kHall);
    const QByteArray lastDoor = saved(kDoor);
    ASSERT_NE(lastHall, firstHall);
    ASSERT_NE(lastDoor, firstDoor);

    for (const QString& card : {kHall, kDoor}) {
        run.window->selectCard(card);
        while (stack(card).index() > start.value(card))
            undo();
    }
    EXPECT_EQ(saved(kHall), firstHall);
    EXPECT_EQ(saved(kDoor), firstDoor);
    for (const QString& card : {kHall, kDoor}) {
        run.window->selectCard(card);
        while (run.window->redoAction()->isEnabled())
            redo();
    }
    EXPECT_EQ(saved(kHall), lastHall);
    EXPECT_EQ(saved(kDoor), lastDoor);
    // The tree shows the records the steps put back.
    ObjectTree fresh;
    fresh.rebuild(run.model());
    EXPECT_EQ(fresh.outline(), run.outline());
}

TEST_F(UndoHistory, ACardKeepsItsLatestTwoHundredStepsAndTheSavedStateThatFellOutIsNoLongerClean)
{
    const qsizetype pagesAtStart = run.model().pageNames(kHall).size();
    for (int i = 0; i < 205; ++i) {
        select(NodePath::ofCard(kHall));
        run.trigger(ActionId::AddPrg);
    }
    ASSERT_EQ(run.model().pageNames(kHall).size(), pagesAtStart + 205);
    EXPECT_EQ(stack().count(), 200);
    while (run.window->undoAction()->isEnabled())
        undo();
    // The five oldest steps are gone: their pages stay, and the card differs from its file.
    EXPECT_EQ(run.model().pageNames(kHall).size(), pagesAtStart + 5);
    EXPECT_TRUE(modified());
}

} // namespace
} // namespace ledsign::test
