// Pictures of the main window and its tool windows with a card full of
// content, for a look at layout, icons and texts. Runs when
// LEDSIGN_SCREENSHOT_DIR names a folder; each picture is checked not to be
// empty before it is saved.
#include "config/removabledrives.h"
#include "config/ui/usbdiskwindow.h"
#include "content/ui/imagegrouppanel.h"
#include "model/imagefiles.h"
#include "model/materialkinds.h"
#include "preview/ui/previewwindow.h"
#include "protocol/ui/textprogramwindow.h"
#include "textprogramfill.h"
#include "windowfixture.h"
#include "workspace/toolwindows.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTextEdit>
#include <QThread>
#include <QTimeEdit>
#include <QTreeWidget>

namespace ledsign::test {
namespace {

void settle(int ms = 0)
{
    QDeadlineTimer deadline(ms);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (ms > 0)
            QThread::msleep(10);
    } while (!deadline.hasExpired());
}

// More than one colour in the picture: something was drawn.
bool drawn(const QImage& image)
{
    if (image.isNull())
        return false;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            if (image.pixel(x, y) != first)
                return true;
    return false;
}

class Screenshots : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = qEnvironmentVariable("LEDSIGN_SCREENSHOT_DIR");
        if (folder.isEmpty())
            GTEST_SKIP() << "LEDSIGN_SCREENSHOT_DIR is not set";
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(home.isValid());
    }

    void save(QWidget& w, const QString& name)
    {
        w.show();
        w.raise();
        settle(150);
        const QImage image = w.grab().toImage();
        EXPECT_TRUE(drawn(image)) << name.toStdString();
        EXPECT_TRUE(image.save(QDir(folder).filePath(name + QStringLiteral(".png")))) << name.toStdString();
    }

    TFodder* material(Running& run, const NodePath& p)
    {
        return run.model().findMaterial(p.card, p.page, p.region, p.material).record;
    }

    // A tri-colour card of 192 x 64 with two pages: a moving greeting, the
    // date and time and an image group on the first; an internal-code text
    // and a count-down on the second.
    void fill(Running& run)
    {
        run.dialogs->newCards.push_back(NewCardInput{"Lobby", "192", "64", 2});
        run.trigger(ActionId::NewCard);
        run.trigger(ActionId::AddPrg);
        const NodePath page1 = run.window->selection().node();
        run.trigger(ActionId::AddRgn);
        const NodePath left = run.window->selection().node();
        if (TFodder* m = material(run, addMaterial(run, ActionId::SglTxt))) {
            m->content = QStringLiteral("clRed^宋体^12^0^0^0^0^2^1^Welcome to the lobby  欢迎光临");
            m->displayMode = 1;
            m->displaySpeed = 0;
            m->remainTime = 0;
        }
        run.window->selectNode(page1);
        run.trigger(ActionId::AddRgn);
        const NodePath right = run.window->selection().node();
        run.trigger(ActionId::DateTime);
        run.window->selectNode(page1);
        run.trigger(ActionId::AddRgn);
        const NodePath bottom = run.window->selection().node();
        const NodePath images = addMaterial(run, ActionId::Picture);
        const QString picture = home.filePath(QStringLiteral("picFiles/stripes.bmp"));
        QImage image(192, 32, QImage::Format_RGB888);
        image.fill(Qt::black);
        QPainter painter(&image);
        for (int x = 0; x < 192; x += 24)
            painter.fillRect(x, 4, 12, 24, x % 48 ? Qt::green : Qt::yellow);
        painter.end();
        ASSERT_TRUE(image.save(picture));
        if (TFodder* m = material(run, images))
            addImageFile(*m, picture);

        run.window->selectCard("Lobby");
        run.trigger(ActionId::AddPrg);
        run.trigger(ActionId::AddRgn);
        if (TFodder* m = material(run, addMaterial(run, ActionId::InnerInfo)))
            m->content = QStringLiteral("A1B2");
        run.trigger(ActionId::DelTime);

        auto place = [&](const NodePath& p, int l, int t, int w, int h) {
            if (auto r = run.model().findRegion(p.card, p.page, p.region)) {
                r.record->left = l;
                r.record->top = t;
                r.record->width = w;
                r.record->height = h;
            }
        };
        place(left, 0, 0, 96, 32);
        place(right, 96, 0, 96, 32);
        place(bottom, 0, 32, 192, 32);
        run.window->refreshTree();
        run.window->tree()->expandAll();
        run.window->selectNode(left.isNone() ? page1 : NodePath::ofPage(page1.card, page1.page));
    }

    QString folder;
    QTemporaryDir home;
};

TEST_F(Screenshots, MainWindowAndToolWindows)
{
    Running run = startRun(home.path());
    run.window->resize(1280, 800);
    fill(run);
    ToolWindowsController& tools = run.window->tools();

    for (int zoom : {10, 20}) {
        run.model().findCard("Lobby").record->zoom = zoom;
        run.window->refreshTree();
        run.window->selectCard("Lobby");
        save(*run.window, QStringLiteral("main_en_zoom%1").arg(zoom / 10));
    }
    // The property rows of a page and of a text, labels and values in full.
    auto saveRows = [&](const QString& language) {
        run.window->selectNode(NodePath::ofPage("Lobby", run.model().pageNames("Lobby").value(0)));
        save(*run.window, QStringLiteral("main_%1_page").arg(language));
        for (const TFodder& m : run.model().materials()) {
            if (m.kind == kSingleText) {
                run.window->selectNode(NodePath::ofMaterial(m.cardName, m.pageName, m.regionName, m.name));
                save(*run.window, QStringLiteral("main_%1_text").arg(language));
            }
        }
    };
    saveRows(QStringLiteral("en"));
    run.trigger(ActionId::SimpleChn);
    for (int zoom : {10, 20}) {
        run.model().findCard("Lobby").record->zoom = zoom;
        run.window->refreshTree();
        run.window->selectCard("Lobby");
        save(*run.window, QStringLiteral("main_zh_zoom%1").arg(zoom / 10));
    }
    // The image group selected: its file panel under the canvas.
    for (const TFodder& m : run.model().materials()) {
        if (m.kind == kImageGroup) {
            run.window->selectNode(NodePath::ofMaterial(m.cardName, m.pageName, m.regionName, m.name));
            run.window->imageGroupPanel()->setFolder(home.filePath(QStringLiteral("picFiles")));
            save(*run.window, QStringLiteral("main_zh_imagegroup"));
        }
    }
    // A page of the card selected, with its regions on the canvas.
    saveRows(QStringLiteral("zh"));

    tools.setModalRunner([&](QDialog& w) {
        if (auto* preview = qobject_cast<PreviewWindow*>(&w)) {
            preview->show();
            preview->play();
            settle(1800); // the greeting half way through the region
            save(w, QStringLiteral("preview_playing"));
            preview->stop();
        } else if (auto* tp = qobject_cast<TextProgramWindow*>(&w)) {
            tp->pageNameField()->setText(QStringLiteral("Morning"));
            tp->startField()->setTime(QTime(8, 0));
            tp->endField()->setTime(QTime(12, 0));
            tp->newPage();
            tp->pageList()->setCurrentItem(tp->pageList()->topLevelItem(0));
            tp->materialNameField()->setText(QStringLiteral("News"));
            tp->editor()->setPlainText(QStringLiteral("今日营业时间 9:00-18:00"));
            addTextProgramMaterial(*tp);
            tp->materialNameField()->setText(QStringLiteral("Offer"));
            save(w, QStringLiteral("textprogram"));
        } else {
            save(w, QString::fromLatin1(w.metaObject()->className()).section(u':', -1).toLower());
        }
        return int(QDialog::Rejected);
    });
    run.window->selectCard("Lobby");
    run.trigger(ActionId::Preview);
    run.trigger(ActionId::SendPrg);
    tools.showTips();
    tools.askNewCard(QStringLiteral("控制卡2"), {});

    QTemporaryDir media;
    const QString stick = media.filePath(QStringLiteral("USBDISK"));
    ASSERT_TRUE(QDir().mkpath(stick));
    tools.drives().setWatchedFolders({media.path()});
    tools.drives().setStandIns({stick});
    run.window->selectCard("Lobby");
    tools.setModalRunner([&](QDialog& w) {
        save(w, QStringLiteral("usbexport"));
        return int(QDialog::Rejected);
    });
    run.trigger(ActionId::Export2UDisk);

    // Every action's icon at 16 and 24 pixels, on light and on a selected row.
    const QList<QAction*> actions = run.window->actions().all();
    QImage sheet(6 * 200, ((actions.size() + 5) / 6) * 34 + 8, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    int shown = 0;
    for (QAction* a : actions) {
        if (a->icon().isNull())
            continue;
        const int x = (shown % 6) * 200 + 6;
        const int y = (shown / 6) * 34 + 6;
        p.drawPixmap(x, y + 4, a->icon().pixmap(16, 16));
        p.drawPixmap(x + 22, y, a->icon().pixmap(24, 24));
        p.drawPixmap(x + 50, y + 4, a->icon().pixmap(16, 16, QIcon::Disabled));
        p.drawText(x + 72, y + 17, a->objectName());
        ++shown;
    }
    p.end();
    EXPECT_GE(shown, 38);
    EXPECT_TRUE(sheet.save(QDir(folder).filePath(QStringLiteral("icons.png"))));

    run.model().findCard("Lobby").record->modified = 0;
}

} // namespace
} // namespace ledsign::test
