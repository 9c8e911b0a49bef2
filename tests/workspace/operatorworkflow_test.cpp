// One operator's session from an empty data folder, through the main
// window's actions and its editor windows only: a card with two pages, two
// regions and six materials, a region moved and resized on the canvas, the
// playbill saved; a new window on the same folder shows it all again, and a
// virtual card that registers is sent the playbill and shows the texts as
// the send conversion makes them.
#include "config/ui/usbdiskwindow.h"
#include "content/bitplanes.h"
#include "content/sendconversion.h"
#include "content/ui/imagegrouppanel.h"
#include "content/ui/newtabledialog.h"
#include "content/ui/richtextarea.h"
#include "content/ui/richtexteditor.h"
#include "content/ui/tableeditor.h"
#include "model/inifile.h"
#include "model/materialkinds.h"
#include "livewindow.h"
#include "workspace/bindofferdialog.h"
#include "support/cardprocess.h"
#include "support/testsupport.h"
#include "workspace/cardlinkcontroller.h"
#include "workspace/dragframe.h"
#include "workspace/propertyeditor.h"
#include "transport/cardlink.h"
#include "protocol/sendstate.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTcpServer>

namespace ledsign::test {
namespace {

const QString kCode = QStringLiteral("3_1_4_1_5_9_2_6");

quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

// A double-click on the material's panel on the canvas opens its editor.
void doubleClickNode(LiveRun& run, const NodePath& path)
{
    const auto m = run.model().findMaterial(path.card, path.page, path.region, path.material);
    ASSERT_TRUE(m);
    QWidget* panel = run.canvas()->panel(m.record->panelName);
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->isVisible());
    QTest::mouseDClick(panel, Qt::LeftButton, {}, QPoint(3, 3));
    pump(50); // the editor opens once the click is over
}

// The text material's editor, typed into line by line and closed with
// Escape (the editor keeps its text however it is closed).
void typeText(LiveRun& run, const NodePath& node, const QStringList& lines)
{
    bool opened = false;
    whenModal<RichTextEditor>([&](RichTextEditor* editor) {
        opened = true;
        for (int i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(editor->textArea(), Qt::Key_Return);
            QTest::keyClicks(editor->textArea(), lines[i]);
        }
        QTest::keyClick(editor, Qt::Key_Escape);
    });
    doubleClickNode(run, node);
    EXPECT_TRUE(opened);
}

// The table's editor: a new table of 2 x 2 with a word in its first cell.
void makeTable(LiveRun& run, const NodePath& node)
{
    bool edited = false;
    whenModal<NewTableDialog>([](NewTableDialog* d) {
        const QList<QSpinBox*> spins = d->findChildren<QSpinBox*>();
        ASSERT_GE(spins.size(), 3);
        spins[0]->setValue(2); // rows
        spins[2]->setValue(2); // columns
        QTest::mouseClick(d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    whenModal<TableEditor>([&](TableEditor* editor) {
        edited = true;
        QTableView* view = editor->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(0, 0)).center());
        QTest::keyClicks(view, QStringLiteral("Gate"));
        QTest::keyClick(view, Qt::Key_Return);
        QTest::keyClick(editor, Qt::Key_Escape);
    });
    doubleClickNode(run, node);
    EXPECT_TRUE(edited);
}

void saveAs(LiveRun& run, const QString& file)
{
    whenModal<QFileDialog>([file](QFileDialog* d) {
        chooseFile(d, file);
    });
    run.trigger(ActionId::SavePrg);
}

// What the operator made, as the records hold it.
struct Made {
    QStringList outline;
    QStringList regions;   // name and geometry
    QStringList materials; // name, kind, content, files
};

Made madeOf(LiveRun& run)
{
    Made made;
    made.outline = run.outline();
    for (const TRegion& r : run.model().regions())
        made.regions << QStringLiteral("%1/%2 %3,%4 %5x%6").arg(r.pageName, r.name).arg(r.left).arg(r.top).arg(r.width).arg(r.height);
    for (const TFodder& m : run.model().materials()) {
        QStringList files;
        for (const TFileInfo& f : m.fileList)
            files << QFileInfo(f.path).fileName();
        made.materials << QStringLiteral("%1/%2/%3 kind %4 [%5] %6")
                              .arg(m.pageName, m.regionName, m.name)
                              .arg(m.kind)
                              .arg(m.content, files.join(u';'));
    }
    return made;
}

TEST(OperatorWorkflow, ACardMadeInTheWindowsComesBackAfterARestartAndAVirtualCardShowsItsTexts)
{
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString pictures = QDir(home.path()).filePath(QStringLiteral("picFiles"));
    const QString file = QDir(home.path()).filePath(QStringLiteral("prgFiles/hall.prg"));
    const QString page1 = QStringLiteral("show_page1");
    const QString page2 = QStringLiteral("show_page2");
    const QString area = QStringLiteral("area1");

    Made before;
    {
        LiveRun run = startLive(home.path(), {.readMessages = true});
        ASSERT_TRUE(run.outline().isEmpty());
        run.addCard(QStringLiteral("Hall"), 128, 64, 1);
        ASSERT_EQ(run.outline(), QStringList{"Hall"});
        EXPECT_EQ(run.model().findCard("Hall").record->colorType, kColorDual);

        run.trigger(ActionId::AddPrg);
        run.trigger(ActionId::AddRgn);
        typeText(run, run.addMaterial(ActionId::SglTxt), {QStringLiteral("Hello")});
        typeText(run, run.addMaterial(ActionId::MulText), {QStringLiteral("Line one"), QStringLiteral("Line two")});
        run.trigger(ActionId::DateTime);

        run.clickNode(NodePath::ofCard("Hall"));
        run.trigger(ActionId::AddPrg);
        run.trigger(ActionId::AddRgn);
        run.clickNode(run.addMaterial(ActionId::Picture));
        QImage red(16, 16, QImage::Format_RGB32);
        red.fill(Qt::red);
        QImage green(16, 16, QImage::Format_RGB32);
        green.fill(Qt::green);
        ASSERT_TRUE(QDir().mkpath(pictures));
        ASSERT_TRUE(red.save(QDir(pictures).filePath(QStringLiteral("red.bmp"))));
        ASSERT_TRUE(green.save(QDir(pictures).filePath(QStringLiteral("green.bmp"))));
        ImageGroupPanel* list = run.window->imageGroupPanel();
        ASSERT_TRUE(list->isVisible());
        list->setFolder(pictures);
        ASSERT_TRUE(spinUntil([&] { return list->fileList()->count() == 2; }));
        QTest::mouseClick(list->findChild<QPushButton*>(QStringLiteral("bBtnAllAdd")), Qt::LeftButton);
        ASSERT_EQ(list->rows()->rowCount(), 2);
        makeTable(run, run.addMaterial(ActionId::Table));

        // The first page's region, dragged and then widened on the canvas.
        run.clickNode(NodePath::ofRegion("Hall", page1, area));
        DragFrame* frame = run.canvas()->dragFrame();
        ASSERT_NE(frame, nullptr);
        const QRect start = frame->geometry();
        QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(20, 10));
        QTest::mouseMove(frame, QPoint(20 + 37, 10 + 6));
        QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(20 + 37, 10 + 6));
        const QPoint corner(frame->width() - 2, frame->height() - 2);
        QTest::mousePress(frame, Qt::LeftButton, {}, corner);
        QTest::mouseMove(frame, corner + QPoint(21, 9));
        QTest::mouseRelease(frame, Qt::LeftButton, {}, corner + QPoint(21, 9));
        const TRegion* moved = run.model().findRegion("Hall", page1, area).record;
        EXPECT_EQ(moved->left, 40) << "37 pixels to the right, on the grid of 8";
        EXPECT_EQ(moved->top, 6);
        EXPECT_EQ(moved->width, start.width() + 24) << "21 pixels wider, on the grid of 8";
        EXPECT_EQ(moved->height, start.height() + 9);
        EXPECT_EQ(run.window->properties()->rowValue(2), QStringLiteral("40"));

        before = madeOf(run);
        saveAs(run, file);
        ASSERT_TRUE(QFileInfo::exists(file));
        // Nothing unsaved is left; should the window still ask, the answer
        // is not to save again.
        ModalCame answer = whenModal<QMessageBox>([](QMessageBox* box) { clickBox(box, QMessageBox::No); },
                                                  {nullptr, 1500, true});
        run.trigger(ActionId::Exit);
        dropAnswer(answer);
        EXPECT_FALSE(run.window->isVisible());
    }
    const QStringList expectedOutline{
        "Hall", "  show_page1", "    area1", "      single-text1", "      multi_text1", "      time1",
        "  show_page2", "    area1", "      image_group1", "      table1",
    };
    EXPECT_EQ(before.outline, expectedOutline);
    ASSERT_EQ(before.materials.size(), 5);
    EXPECT_TRUE(before.materials[0].contains("Hello")) << before.materials[0].toStdString();
    // Each typed line is a line of its own; in Arial's widths (Liberation Sans) neither wraps.
    EXPECT_TRUE(before.materials[1].contains("^1^Line one") && before.materials[1].contains("^2^Line two"))
        << before.materials[1].toStdString();
    EXPECT_TRUE(before.materials[3].endsWith("green.bmp;red.bmp")) << before.materials[3].toStdString();
    EXPECT_TRUE(before.materials[4].contains(".bmp")) << "the table was cut into pictures";

    // The next start talks to cards on a port of its own.
    const quint16 port = freePort();
    ASSERT_NE(port, 0);
    {
        const QString settings = QDir(home.path()).filePath(QStringLiteral("SetCfg.ini"));
        IniFile ini;
        ASSERT_TRUE(ini.load(settings));
        ini.setValue("CommSet", "CommMode", "Network");
        ini.setValue("CommSet", "CommParam02", QString::number(port));
        ASSERT_TRUE(ini.save(settings));
    }

    LiveRun run = startLive(home.path(), {.readMessages = true});
    const Made after = madeOf(run);
    EXPECT_EQ(after.outline, before.outline);
    EXPECT_EQ(after.regions, before.regions);
    EXPECT_EQ(after.materials, before.materials);

    // A card on the network registers; the operator opens the playbill into
    // it and sends.
    run.session->link().scheduler().state().timeScale = 0.1;
    run.window->cardLink().setAdapterSource(
        [] { return QList<TAdapterInfo>{{1, QStringLiteral("loopback"), QStringLiteral("127.0.0.2"), {}, {}}}; });
    run.window->cardLink().setLastHostSource([] { return QStringLiteral("127.0.0.2"); });
    run.window->openCardLink();
    QTemporaryDir shown;
    CardProcess card;
    // Hall, selected and without a code, is offered the card's: not taken,
    // the card on the line is a card of its own.
    ModalCame offer = whenModal<BindOfferDialog>([](BindOfferDialog* d) { QTest::keyClick(d, Qt::Key_Escape); },
                                                 {nullptr, 8000, true});
    ASSERT_TRUE(card.start({"--tcp", QStringLiteral("127.0.0.1:%1").arg(port), "--code", kCode, "--width", "128",
                            "--height", "64", "--colors", "2", "--png", shown.path()}));
    ASSERT_TRUE(spinUntil([&] { return run.tree()->shownState(kCode) == kNodeOnline; }, 8000))
        << run.outline().join(u'\n').toStdString();
    dropAnswer(offer);
    run.clickNode(NodePath::ofCard(kCode));
    whenModal<QFileDialog>([file](QFileDialog* d) {
        chooseFile(d, file);
    });
    run.trigger(ActionId::InsertPrg);
    ASSERT_EQ(run.model().pageNames(kCode), (QStringList{page1, page2})) << run.outline().join(u'\n').toStdString();
    run.clickNode(NodePath::ofCard(kCode));
    run.trigger(ActionId::Send);
    ASSERT_TRUE(card.waitForLine("playbill complete materials=5", 20000)) << card.lines().join(u'\n').toStdString();
    EXPECT_TRUE(card.errorLines().isEmpty()) << card.errorLines().join(u'\n').toStdString();
    // The card writes its pictures after the playbill, the pages last.
    ASSERT_TRUE(spinUntil([&] { return !card.linesStartingWith(QStringLiteral("png ")).filter("page2.png").isEmpty(); },
                          5000));
    card.stop();

    const TFIXModem& target = *run.model().findCard(kCode).record;
    int playOrder = 0;
    for (const QString& name : {QStringLiteral("single-text1"), QStringLiteral("multi_text1")}) {
        ++playOrder;
        TFodder material = *run.model().findMaterial(kCode, page1, area, name).record;
        const TRegion& region = *run.model().findRegion(kCode, page1, area).record;
        QByteArray converted;
        ASSERT_TRUE(sendConversion(material, region.width, region.height, kCode, target.colorType, converted));
        const QStringList files = QDir(shown.path()).entryList({QStringLiteral("material*_%1_*.png").arg(material.id)},
                                                             QDir::Files, QDir::Name);
        ASSERT_EQ(files.size(), material.frameCount) << name.toStdString();
        // The card numbers its materials in play order: as they were added.
        EXPECT_TRUE(files.first().startsWith(QStringLiteral("material%1_").arg(playOrder))) << files.first().toStdString();
        QByteArray onCard;
        for (const QString& f : files) {
            const QImage picture(QDir(shown.path()).filePath(f));
            ASSERT_EQ(picture.size(), QSize(region.width, region.height)) << f.toStdString();
            appendBitPlanes(picture, region.width, region.height, planeCountOfColorType(target.colorType), onCard);
        }
        EXPECT_EQ(onCard, converted) << name.toStdString();
        // Something is lit: the typed text reached the card.
        EXPECT_NE(onCard, QByteArray(onCard.size(), char(0xFF))) << name.toStdString();
    }
    for (TFIXModem& c : run.model().cards())
        c.modified = false;
}

} // namespace
} // namespace ledsign::test
