// Editor windows in the main window's language and size rules: the
// image-group file panel follows a language switch without losing the
// material it shows, takes PNG and GIF files from its folder and from drops, and the table editor grows with inserted rows and
// columns as far as the screen allows.
#include "content/imagegroup.h"
#include "content/ui/imagegrouppanel.h"
#include "content/ui/tableeditor.h"
#include "model/datafolder.h"
#include "windowfixture.h"
#include "workspace/layoutcanvas.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QListWidget>
#include <QMimeData>
#include <QScrollArea>
#include <QTest>
#include <QHeaderView>
#include <QImage>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

namespace ledsign::test {
namespace {

QString titleOf(ImageGroupPanel* panel, const char* name)
{
    auto* box = panel->findChild<QGroupBox*>(QString::fromLatin1(name));
    return box ? box->title() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

QString buttonOf(ImageGroupPanel* panel, const char* name)
{
    auto* b = panel->findChild<QPushButton*>(QString::fromLatin1(name));
    return b ? b->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

TEST(ImageGroupPanelLanguage, TheSwitchRetitlesThePanelAndKeepsItsMaterial)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    Running run = startRun(home.path());
    ImageGroupPanel* panel = run.window->imageGroupPanel();
    EXPECT_EQ(titleOf(panel, "gbDirPath"), QStringLiteral("Directory Path"));
    EXPECT_EQ(buttonOf(panel, "bBtnAllAdd"), QStringLiteral("Add All"));
    EXPECT_EQ(panel->rows()->horizontalHeaderItem(1)->text(), QStringLiteral("File"));

    // An image group with one picture is shown in the panel.
    const QString picture = home.filePath(QStringLiteral("picFiles/a.bmp"));
    QImage image(8, 8, QImage::Format_RGB888);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(picture));
    run.dialogs->newCards.push_back(NewCardInput{"A", "64", "32", 0});
    run.trigger(ActionId::NewCard);
    run.trigger(ActionId::AddPrg);
    run.trigger(ActionId::AddRgn);
    run.window->selectNode(addMaterial(run, ActionId::Picture));
    panel->setFolder(home.filePath(QStringLiteral("picFiles")));
    panel->addAll();
    ASSERT_EQ(panel->rows()->rowCount(), 1);

    run.trigger(ActionId::SimpleChn);
    EXPECT_EQ(run.window->imageGroupPanel(), panel) << "the same panel, retitled";
    EXPECT_EQ(titleOf(panel, "gbDirPath"), QStringLiteral("目录路径"));
    EXPECT_EQ(titleOf(panel, "gbImageFileList"), QStringLiteral("图片组文件列表"));
    EXPECT_EQ(buttonOf(panel, "bBtnAllAdd"), QStringLiteral("全部添加"));
    EXPECT_EQ(buttonOf(panel, "bBtnClear"), QStringLiteral("全部删除"));
    EXPECT_EQ(panel->rows()->horizontalHeaderItem(0)->text(), QStringLiteral("序号"));
    EXPECT_TRUE(panel->isVisible());
    ASSERT_EQ(panel->rows()->rowCount(), 1);
    EXPECT_EQ(panel->rows()->item(0, 1)->text(), picture);

    run.trigger(ActionId::English);
    EXPECT_EQ(buttonOf(panel, "bBtnInsert"), QStringLiteral("Insert"));
    EXPECT_EQ(titleOf(panel, "gbOptions"), QStringLiteral("Options"));
    run.model().findCard("A").record->modified = 0;
}

// A file manager's drop of `files` at `pos` of `target`.
bool dropFiles(QWidget* target, const QPoint& pos, const QStringList& files)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& f : files)
        urls << QUrl::fromLocalFile(f);
    data.setUrls(urls);
    QDragEnterEvent enter(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(pos), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

TEST(ImageGroupPictures, PngAndGifAreListedWatchedDroppedAndConverted)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    Running run = startRun(home.path());
    const QString folder = home.filePath(QStringLiteral("picFiles"));
    // A PNG: red, with its right half transparent (unlit on the card).
    QImage png(4, 2, QImage::Format_ARGB32);
    png.fill(Qt::transparent);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            png.setPixel(x, y, qRgba(255, 0, 0, 255));
    const QString red = folder + QStringLiteral("/red.png");
    ASSERT_TRUE(png.save(red, "PNG"));

    run.dialogs->newCards.push_back(NewCardInput{"A", "64", "32", 0});
    run.trigger(ActionId::NewCard);
    run.trigger(ActionId::AddPrg);
    run.trigger(ActionId::AddRgn);
    ASSERT_EQ(run.model().regions().size(), 1);
    ASSERT_TRUE(run.model().materials().isEmpty());

    // Dropped on the region: a new image group of that region holds it.
    LayoutCanvas* canvas = run.window->canvas();
    QWidget* region = canvas->panel(run.model().regions().first().panelName);
    ASSERT_NE(region, nullptr);
    QWidget* box = canvas->scrollBox()->widget();
    const QPoint onRegion = region->mapTo(box, region->rect().center());
    EXPECT_FALSE(dropFiles(box, onRegion, {home.filePath(QStringLiteral("SetCfg.ini"))})) << "not a picture";
    EXPECT_TRUE(dropFiles(box, onRegion, {red}));
    ASSERT_EQ(run.model().materials().size(), 1);
    const TFodder& group = run.model().materials().first();
    EXPECT_EQ(group.kind, 2);
    EXPECT_EQ(group.regionName, run.model().regions().first().name);
    ASSERT_EQ(group.fileList.size(), 1);
    EXPECT_EQ(group.fileList.first().path, red);
    ImageGroupPanel* panel = run.window->imageGroupPanel();
    EXPECT_TRUE(panel->isVisible());
    ASSERT_EQ(panel->rows()->rowCount(), 1);

    // The folder lists the PNG, and a GIF saved later appears by itself.
    panel->setFolder(folder);
    auto listed = [panel] {
        QStringList names;
        for (int i = 0; i < panel->fileList()->count(); ++i)
            names << panel->fileList()->item(i)->text();
        return names;
    };
    EXPECT_EQ(listed(), QStringList{QStringLiteral("red.png")});
    // Two 1x1 frames, green then black, over a two-colour table.
    const QByteArray gif = QByteArray::fromHex("4749463839610100010080000000ff00000000"
                                               "2c0000000001000100000202440100"
                                               "2c00000000010001000002024c0100"
                                               "3b");
    const QString green = folder + QStringLiteral("/green.gif");
    QFile out(green);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(gif);
    out.close();
    const QStringList both{QStringLiteral("green.gif"), QStringLiteral("red.png")};
    EXPECT_TRUE(QTest::qWaitFor([&] { return listed() == both; }, 5000)) << listed().join(u' ').toStdString();

    // Dropped on the image list: added after the PNG, only once.
    QWidget* list = panel->rows()->viewport();
    EXPECT_TRUE(dropFiles(list, QPoint(5, 5), {green, red}));
    ASSERT_EQ(panel->rows()->rowCount(), 2);
    EXPECT_EQ(panel->rows()->item(1, 0)->text(), QStringLiteral("2"));
    EXPECT_EQ(panel->rows()->item(1, 1)->text(), green);

    // What goes to the card: the PNG over black, the GIF's first frame.
    QList<QImage> pictures;
    QString error;
    ASSERT_TRUE(loadImageGroup(run.model().materials().first(), pictures, &error)) << error.toStdString();
    ASSERT_EQ(pictures.size(), 2);
    EXPECT_EQ(pictures[0].size(), QSize(4, 2));
    EXPECT_EQ(pictures[0].pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(pictures[0].pixel(3, 0), qRgb(0, 0, 0));
    EXPECT_EQ(pictures[1].pixel(0, 0), qRgb(0, 255, 0));
}

class TableEditorGrowth : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folders = DataFolder(dir.path());
        ASSERT_TRUE(folders.ensureExists());
    }
    QTemporaryDir dir;
    DataFolder folders;
};

TEST_F(TableEditorGrowth, InsertingARowOrColumnGrowsTheWindowByItsSize)
{
    TFodder material;
    TableEditor editor(material, folders, 128, 48);
    editor.setTable(TableModel::create(2, 30, 2, 72, QStringLiteral("宋体")));
    editor.show();
    editor.resize(420, 300);
    const QSize start = editor.size();

    editor.selectRange({1, 1, 1, 1});
    editor.insertRow();
    EXPECT_EQ(editor.table().rowCount(), 4);
    EXPECT_EQ(editor.size(), start + QSize(0, 30));

    editor.insertColumn();
    EXPECT_EQ(editor.table().columnCount(), 4);
    EXPECT_EQ(editor.size(), start + QSize(72, 30));

    // Never beyond the screen: the grid scrolls instead.
    const QSize room = editor.screen()->availableGeometry().size();
    editor.resize(room.width() - 10, 300);
    const int before = editor.width();
    editor.insertColumn();
    EXPECT_EQ(editor.table().columnCount(), 5);
    EXPECT_LE(editor.width(), room.width());
    EXPECT_GE(editor.width(), before);
    editor.reject();
}

} // namespace
} // namespace ledsign::test
