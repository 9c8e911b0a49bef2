// Editor windows in the main window's language and size rules: the
// image-group file panel follows a language switch without losing the
// material it shows, and the table editor grows with inserted rows and
// columns as far as the screen allows.
#include "content/ui/imagegrouppanel.h"
#include "content/ui/tableeditor.h"
#include "model/datafolder.h"
#include "windowfixture.h"

#include <QGroupBox>
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
