// The main window's layout: the property editor's columns show every label
// and value in full and follow the column's width; the window's place and
// the division of its columns come back at the next start, and values that
// cannot be used give the first layout.
#include "model/inifile.h"
#include "model/materialkinds.h"
#include "model/windowlayout.h"
#include "livewindow.h"
#include "workspace/propertyeditor.h"

#include <QSplitter>

namespace ledsign::test {
namespace {

constexpr int kButtonWidth = 20; // the drop-down arrow or "..." of a row

QSplitter* splitter(Running& run, const char* name)
{
    auto* split = run.window->findChild<QSplitter*>(QString::fromLatin1(name));
    EXPECT_NE(split, nullptr) << name;
    return split;
}

// Drags the splitter's handle with the mouse.
void dragHandle(QSplitter* split, QPoint by)
{
    QSplitterHandle* handle = split->handle(1);
    const QPoint from = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, from);
    QTest::mouseMove(handle, from + by);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, from + by);
}

// Every row of the editor shows its label and its value uncut.
void expectRowsInFull(PropertyEditor* rows, const std::string& what)
{
    ASSERT_GT(rows->rowCount(), 1) << what;
    for (int r = 0; r < rows->rowCount(); ++r) {
        const QModelIndex label = rows->model()->index(r, 0);
        const QModelIndex value = rows->model()->index(r, 1);
        const int button = rows->session().rows().at(r).style == RowStyle::Plain ? 0 : kButtonWidth;
        EXPECT_LE(rows->sizeHintForIndex(label).width(), rows->columnWidth(0) - 1)
            << what << ": " << label.data().toString().toStdString();
        EXPECT_LE(rows->sizeHintForIndex(value).width() + button, rows->columnWidth(1))
            << what << ": " << value.data().toString().toStdString();
    }
}

TEST(WindowLayout, PropertyColumnsShowEveryLabelAndValueAndFollowTheColumn)
{
    for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::Chinese, QLocale::China)}) {
        QTemporaryDir home;
        Running run = startRun(home.path(), locale);
        const std::string language = locale.name().toStdString();
        run.dialogs->newCards.push_back(NewCardInput{QStringLiteral("Lobby"), QStringLiteral("192"), QStringLiteral("64"), 2});
        run.trigger(ActionId::NewCard);
        const NodePath card = run.window->selection().node();
        run.trigger(ActionId::AddPrg);
        const NodePath page = run.window->selection().node();
        run.trigger(ActionId::AddRgn);
        const NodePath region = run.window->selection().node();
        QList<NodePath> shown{card, page, region};
        for (ActionId kind : {ActionId::SglTxt, ActionId::DateTime, ActionId::CollectData}) {
            run.window->selectNode(region);
            shown << addMaterial(run, kind);
        }
        PropertyEditor* rows = run.window->properties();
        for (const NodePath& node : shown) {
            run.window->selectNode(node);
            expectRowsInFull(rows, language + " level " + std::to_string(int(node.level)));
        }

        // The values take what the column gains; a narrow column is shared.
        const int labels = rows->columnWidth(0);
        const int values = rows->columnWidth(1);
        dragHandle(splitter(run, "splMain"), QPoint(80, 0));
        EXPECT_EQ(rows->columnWidth(0), labels) << language;
        EXPECT_EQ(rows->columnWidth(1), values + 80) << language;
        dragHandle(splitter(run, "splMain"), QPoint(-400, 0));
        const int width = rows->viewport()->width();
        EXPECT_LT(width, labels + values) << language;
        EXPECT_GE(rows->columnWidth(0), width / 2) << language;
        EXPECT_LE(rows->columnWidth(0) + rows->columnWidth(1), width) << language;
    }
}

TEST(WindowLayout, PlaceAndColumnsComeBackAtTheNextStartAndBadValuesGiveTheFirstLayout)
{
    struct Seen {
        QRect geometry;
        QList<int> main;
        QList<int> left;
        bool operator==(const Seen&) const = default;
    };
    auto seen = [](Running& run) {
        return Seen{run.window->geometry(), splitter(run, "splMain")->sizes(), splitter(run, "splLeft")->sizes()};
    };
    QTemporaryDir fresh;
    QTemporaryDir home;
    Seen first;
    {
        Running run = startRun(fresh.path());
        first = seen(run);
    }
    const QString settingsFile = DataFolder(home.path()).settingsFile();
    Seen left;
    {
        Running run = startRun(home.path());
        run.window->setGeometry(QRect(30, 40, 1100, 720));
        dragHandle(splitter(run, "splMain"), QPoint(70, 0));
        dragHandle(splitter(run, "splLeft"), QPoint(0, -60));
        left = seen(run);
        EXPECT_EQ(left.geometry, QRect(30, 40, 1100, 720));
        EXPECT_NE(left.main, first.main);
        EXPECT_NE(left.left, first.left);
        // On disk soon after, by the settings writer: the program may be
        // killed rather than closed.
        EXPECT_TRUE(spinUntil([&] {
            IniFile ini;
            return ini.load(settingsFile) && WindowLayout::fromIni(ini).leftSplit == left.left
                && WindowLayout::fromIni(ini).geometry == left.geometry;
        }));
    }
    {
        Running run = startRun(home.path());
        EXPECT_EQ(seen(run), left);
    }

    // A place on no screen, and divisions that do not read, give the
    // first layout.
    IniFile ini;
    ASSERT_TRUE(ini.load(settingsFile));
    ini.setValue(QStringLiteral("WindowLayout"), QStringLiteral("Geometry"), QStringLiteral("-9000,-9000,1100,720"));
    ini.setValue(QStringLiteral("WindowLayout"), QStringLiteral("MainSplit"), QStringLiteral("430,abc"));
    ini.setValue(QStringLiteral("WindowLayout"), QStringLiteral("LeftSplit"), QStringLiteral("300,200,100"));
    ASSERT_TRUE(ini.save(settingsFile));
    {
        Running run = startRun(home.path());
        EXPECT_EQ(seen(run), first);
    }
}

} // namespace
} // namespace ledsign::test
