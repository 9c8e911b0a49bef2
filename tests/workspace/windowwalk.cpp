#include "windowwalk.h"

#include "config/removabledrives.h"
#include "model/imagefiles.h"
#include "model/materialkinds.h"
#include "workspace/propertyeditor.h"
#include "workspace/toolwindows.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>
#include <QTextDocumentFragment>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

namespace ledsign::test {

namespace {

QString plain(const QString& text)
{
    // Word joiners keep a label's words whole; they are no part of the text.
    QString shown = Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
    return shown.remove(QChar(0x2060));
}

QString nameOf(const QObject* o)
{
    const QString n = o->objectName();
    return QString::fromLatin1(o->metaObject()->className()) + (n.isEmpty() ? QString() : QLatin1Char('#') + n);
}

void addActions(const QList<QAction*>& actions, const QString& where, QList<ShownText>& out)
{
    for (QAction* a : actions) {
        if (a->isSeparator() || !a->isVisible())
            continue;
        const QString at = where + QStringLiteral(" > ") + (a->objectName().isEmpty() ? a->text() : a->objectName());
        if (!a->text().isEmpty())
            out.append({at, a->text()});
        if (a->menu())
            addActions(a->menu()->actions(), at, out);
    }
}

void addHeader(const QHeaderView* header, const QString& where, QList<ShownText>& out)
{
    if (!header || !header->isVisible() || !header->model())
        return;
    const int count = header->orientation() == Qt::Horizontal ? header->model()->columnCount()
                                                              : header->model()->rowCount();
    for (int i = 0; i < count; ++i) {
        if (header->isSectionHidden(i))
            continue;
        const QString t = header->model()->headerData(i, header->orientation()).toString();
        // Row numbers of a grid are not texts.
        bool number = false;
        t.toInt(&number);
        if (!t.isEmpty() && !number)
            out.append({where + QStringLiteral(" header"), t});
    }
}

} // namespace

QList<ShownText> shownTexts(QWidget* window)
{
    QList<ShownText> out;
    out.append({nameOf(window) + QStringLiteral(" title"), window->windowTitle()});
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : std::as_const(widgets)) {
        if (w != window && !w->isVisibleTo(window))
            continue;
        const QString where = nameOf(w);
        if (!w->toolTip().isEmpty())
            out.append({where + QStringLiteral(" tip"), plain(w->toolTip())});
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (!label->text().isEmpty())
                out.append({where, plain(label->text())});
        } else if (auto* tool = qobject_cast<QToolButton*>(w)) {
            // A button of an action shows the action's texts, taken below.
            if (!tool->defaultAction() && !tool->text().isEmpty() && tool->toolButtonStyle() != Qt::ToolButtonIconOnly)
                out.append({where, tool->text()});
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (!button->text().isEmpty())
                out.append({where, button->text()});
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            if (!box->title().isEmpty())
                out.append({where, box->title()});
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                out.append({where + QStringLiteral(" tab"), tabs->tabText(i)});
        } else if (auto* view = qobject_cast<QTableView*>(w)) {
            addHeader(view->horizontalHeader(), where, out);
            addHeader(view->verticalHeader(), where, out);
            // The row labels of a property list.
            if (auto* list = qobject_cast<QTableWidget*>(w); list && list->objectName() == QLatin1String("vLEditor")) {
                for (int r = 0; r < list->rowCount(); ++r) {
                    if (QTableWidgetItem* item = list->item(r, 0); item && !list->isRowHidden(r))
                        out.append({where + QStringLiteral(" row"), item->text()});
                }
            }
        } else if (auto* tree = qobject_cast<QTreeView*>(w)) {
            addHeader(tree->header(), where, out);
        } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
            addActions(bar->actions(), where, out);
        } else if (auto* tb = qobject_cast<QToolBar*>(w)) {
            for (QAction* a : tb->actions()) {
                if (a->isSeparator() || !a->isVisible() || qobject_cast<QWidgetAction*>(a))
                    continue;
                out.append({where + QStringLiteral(" > ") + a->objectName(), a->text()});
                if (!a->toolTip().isEmpty())
                    out.append({where + QStringLiteral(" > ") + a->objectName() + QStringLiteral(" tip"), a->toolTip()});
            }
        }
    }
    // The window's own commands that a key reaches (the delete command of
    // the canvas pop-up is one); the others are in no menu and never shown.
    QList<QAction*> keyed;
    for (QAction* a : window->actions()) {
        if (!a->shortcut().isEmpty())
            keyed << a;
    }
    addActions(keyed, nameOf(window) + QStringLiteral(" actions"), out);
    // Pop-up menus of the window (the tree's), shown on a right click.
    for (QMenu* menu : window->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        addActions(menu->actions(), nameOf(menu), out);
    return out;
}

namespace {

TFodder* materialAt(LiveRun& run, const NodePath& p)
{
    return run.model().findMaterial(p.card, p.page, p.region, p.material).record;
}

// Visits the next modal window and closes it afterwards.
std::shared_ptr<bool> visitNextModal(const WindowVisitor& visit, const QString& name, QWidget* after = nullptr)
{
    return whenModal(
        [visit, name](QWidget* w) {
            pump(150);
            visit(w, name);
            static_cast<QDialog*>(w)->reject();
        },
        after);
}

} // namespace

void walkEveryWindow(LiveRun& run, const QString& home, const WindowVisitor& visit, QStringList* data)
{
    MainWindow& main = *run.window;
    // The new-card window, typed into and confirmed.
    auto came = whenModal([&](QWidget* w) {
        visit(w, QStringLiteral("new_card"));
        const QList<QLineEdit*> edits = w->findChildren<QLineEdit*>();
        edits[0]->setText(QStringLiteral("Lobby"));
        edits[1]->setText(QStringLiteral("192"));
        edits[2]->setText(QStringLiteral("64"));
        w->findChildren<QComboBox*>().first()->setCurrentIndex(2);
        static_cast<QDialog*>(w)->accept();
    });
    run.trigger(ActionId::NewCard);
    EXPECT_TRUE(*came) << "new-card window";

    // Page 1: texts, a table, the date and an image group; page 2 the rest.
    run.trigger(ActionId::AddPrg);
    const NodePath page1 = run.selected();
    run.trigger(ActionId::AddRgn);
    const NodePath region1 = run.selected();
    const NodePath single = run.addMaterial(ActionId::SglTxt);
    if (TFodder* m = materialAt(run, single))
        m->content = QStringLiteral("clRed^宋体^12^0^0^0^0^2^1^Welcome 欢迎光临");
    const NodePath multi = run.addMaterial(ActionId::MulText);
    const NodePath table = run.addMaterial(ActionId::Table);
    run.window->selectNode(page1);
    run.trigger(ActionId::AddRgn);
    const NodePath region2 = run.selected();
    run.addMaterial(ActionId::DateTime);
    const NodePath images = run.addMaterial(ActionId::Picture);
    const QString picture = QDir(home).filePath(QStringLiteral("picFiles/stripes.bmp"));
    QImage image(96, 32, QImage::Format_RGB888);
    image.fill(Qt::black);
    QPainter painter(&image);
    for (int x = 0; x < 96; x += 24)
        painter.fillRect(x, 4, 12, 24, Qt::green);
    painter.end();
    image.save(picture);
    if (TFodder* m = materialAt(run, images))
        addImageFile(*m, picture);
    run.trigger(ActionId::CallNo);
    run.trigger(ActionId::TxtSet);
    run.window->selectCard(page1.card);
    run.trigger(ActionId::AddPrg);
    run.trigger(ActionId::AddRgn);
    const NodePath code = run.addMaterial(ActionId::InnerInfo);
    if (TFodder* m = materialAt(run, code))
        m->content = QStringLiteral("A1B2");
    const NodePath count = run.addMaterial(ActionId::DelTime);
    run.trigger(ActionId::AddTime);
    run.trigger(ActionId::Movie);
    run.trigger(ActionId::CollectData);
    run.window->tree()->expandAll();

    // The main window with each kind of node selected.
    run.window->selectCard(page1.card);
    visit(&main, QStringLiteral("main_card"));
    run.window->selectNode(page1);
    visit(&main, QStringLiteral("main_page"));
    run.window->selectNode(region1);
    visit(&main, QStringLiteral("main_region"));
    for (const TFodder& m : run.model().materials()) {
        run.window->selectNode(NodePath::ofMaterial(m.cardName, m.pageName, m.regionName, m.name));
        visit(&main, QStringLiteral("main_material_kind%1").arg(m.kind));
    }

    // The editors, opened by a double click on their nodes.
    auto editor = [&](const NodePath& p, const QString& name) {
        auto came = visitNextModal(visit, name);
        run.doubleClickNode(p);
        EXPECT_TRUE(*came) << name.toStdString();
    };
    editor(single, QStringLiteral("single_text_editor"));
    editor(multi, QStringLiteral("multi_text_editor"));
    editor(code, QStringLiteral("internal_code_editor"));
    {
        // The table: its new-table window first, then the editor.
        auto made = whenModal([&](QWidget* newTable) {
            pump(100);
            visit(newTable, QStringLiteral("new_table"));
            visitNextModal(visit, QStringLiteral("table_editor"), newTable);
            static_cast<QDialog*>(newTable)->accept();
        });
        run.doubleClickNode(table);
        EXPECT_TRUE(*made) << "table editor";
    }

    // The dialogs of the property rows.
    run.window->selectNode(page1);
    came = visitNextModal(visit, QStringLiteral("play_week"));
    run.window->properties()->clickEditButton(4);
    EXPECT_TRUE(*came) << "play week";
    came = visitNextModal(visit, QStringLiteral("play_date"));
    run.window->properties()->clickEditButton(5);
    EXPECT_TRUE(*came) << "play date";
    run.window->selectNode(count);
    came = visitNextModal(visit, QStringLiteral("count_time"));
    run.window->properties()->clickEditButton(9);
    EXPECT_TRUE(*came) << "count time";

    // The tool windows.
    run.window->selectCard(page1.card);
    came = whenModal([&](QWidget* w) {
        if (auto* play = w->findChild<QPushButton*>(QStringLiteral("tBtnPlay")))
            QTest::mouseClick(play, Qt::LeftButton);
        pump(600);
        visit(w, QStringLiteral("preview"));
        static_cast<QDialog*>(w)->reject();
    });
    run.trigger(ActionId::Preview);
    EXPECT_TRUE(*came) << "preview";
    came = visitNextModal(visit, QStringLiteral("text_program"));
    run.trigger(ActionId::SendPrg);
    EXPECT_TRUE(*came) << "text program";
    came = whenModal([&](QWidget* w) {
        pump(300);
        visit(w, QStringLiteral("search"));
        static_cast<QDialog*>(w)->reject();
    });
    run.trigger(ActionId::Search);
    EXPECT_TRUE(*came) << "search window";
    came = visitNextModal(visit, QStringLiteral("parameters"));
    run.trigger(ActionId::CmmParaSet);
    EXPECT_TRUE(*came) << "parameter window";
    came = visitNextModal(visit, QStringLiteral("tips"));
    run.window->tools().showTips();
    EXPECT_TRUE(*came) << "tip window";

    const QString stick = QDir(home).filePath(QStringLiteral("media/USBDISK"));
    QDir().mkpath(stick);
    run.window->tools().drives().setWatchedFolders({QDir(home).filePath(QStringLiteral("media"))});
    run.window->tools().drives().setStandIns({stick});
    run.window->selectCard(page1.card);
    came = visitNextModal(visit, QStringLiteral("usb_export"));
    run.trigger(ActionId::Export2UDisk);
    EXPECT_TRUE(*came) << "USB-disk window";

    if (data) {
        for (const TFIXModem& c : run.model().cards())
            *data << c.name;
        for (const TProgram& p : run.model().pages())
            *data << p.name;
        for (const TRegion& r : run.model().regions())
            *data << r.name;
        for (const TFodder& m : run.model().materials()) {
            *data << m.name;
            for (const TFileInfo& f : m.fileList)
                *data << f.path << QDir::toNativeSeparators(f.path);
        }
        *data << picture << QDir(home).filePath(QStringLiteral("picFiles")) << stick;
    }
    for (TFIXModem& c : run.model().cards())
        c.modified = 0;
}

} // namespace ledsign::test
