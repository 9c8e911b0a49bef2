// The text-program window forwards its fields to the text program and shows
// the messages.
#include "language/language.h"
#include "protocol/ui/textprogramwindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimeEdit>
#include <QTreeWidget>

using namespace ledsign;

namespace {

// Makes every choice a material needs, as the operator would in the lists.
void chooseAll(TextProgramWindow& w)
{
    w.modeList()->setCurrentIndex(1);
    w.speedList()->setCurrentIndex(2);
    w.attributeList()->setCurrentIndex(5);
    w.colorList()->setCurrentIndex(0);
    w.fontList()->setCurrentIndex(0);
    w.sizeList()->setCurrentIndex(1);
}

// Runs the event loop until the window has made the material it was asked
// for; false when it did not within two seconds.
bool waitForMaterial(TextProgramWindow& w, const bool& made)
{
    QDeadlineTimer deadline(2000);
    while (!made && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return made;
}

// Asks for a material and waits until the window has made it.
bool addMaterial(TextProgramWindow& w)
{
    bool made = false;
    QObject::connect(&w, &TextProgramWindow::materialCreated, &w, [&made] { made = true; });
    w.newMaterial();
    const bool ok = waitForMaterial(w, made);
    QObject::disconnect(&w, &TextProgramWindow::materialCreated, &w, nullptr);
    return ok;
}

} // namespace

TEST(TextProgramWindow, PagesMaterialsAndFile)
{
    setCurrentLanguage(kSimplifiedChinese);
    ProjectModel model;
    TextProgramWindow window(model, nullptr);
    window.prepare({}, QStringLiteral("card"), false);

    window.pageNameField()->setText(QStringLiteral("早间"));
    window.startField()->setTime(QTime(9, 0));
    window.endField()->setTime(QTime(8, 0));
    window.newPage();
    EXPECT_EQ(window.statusText(), GetLgText(3, QStringLiteral("warn_start_time_exceed")));
    EXPECT_EQ(window.pageList()->topLevelItemCount(), 0);

    window.endField()->setTime(QTime(9, 0));
    window.newPage();
    ASSERT_EQ(window.pageList()->topLevelItemCount(), 1);
    EXPECT_EQ(window.pageList()->topLevelItem(0)->text(2), QStringLiteral("早间"));
    EXPECT_EQ(window.pageList()->topLevelItem(0)->text(3), QStringLiteral("09:00"));

    window.pageList()->setCurrentItem(window.pageList()->topLevelItem(0));
    window.materialNameField()->setText(QStringLiteral("通知"));
    chooseAll(window);
    window.newMaterial();
    EXPECT_EQ(window.statusText(), GetLgText(3, QStringLiteral("warn_material_empty")));
    window.editor()->setPlainText(QStringLiteral("今天 9点, 开会"));
    ASSERT_TRUE(addMaterial(window));
    ASSERT_EQ(window.materialList()->topLevelItemCount(), 1);
    const QString content = window.materialList()->topLevelItem(0)->text(3);
    EXPECT_TRUE(content.contains(QStringLiteral("开会"))) << content.toStdString();
    EXPECT_FALSE(content.contains(u',')) << "a typed comma is stored as a full stop";
    EXPECT_TRUE(window.editor()->toPlainText().isEmpty());

    const QByteArray dir = qgetenv("LEDSIGN_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        window.editor()->setPlainText(QStringLiteral("欢迎光临"));
        window.show();
        window.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("textprogram.png")));
    }

    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("t.tprg"));
    ASSERT_TRUE(window.saveFile(path));
    EXPECT_EQ(window.lastFile(), path);

    ProjectModel other;
    TextProgramWindow second(other, nullptr);
    second.prepare(path, QStringLiteral("card"), false);
    EXPECT_EQ(second.lastFile(), path);
    ASSERT_EQ(second.pageList()->topLevelItemCount(), 1);
    second.send();
    EXPECT_TRUE(second.statusText().isEmpty()) << "materials exist; no sender, nothing shown";

    ProjectModel empty;
    TextProgramWindow third(empty, nullptr);
    third.send();
    EXPECT_EQ(third.statusText(), GetLgText(3, QStringLiteral("warn_contents_empty")));
}

// Nothing is chosen for the operator: each "select ..." warning stops the
// material in its turn, and a material that passes is made on a later
// turn of the event loop while the window says to wait.
TEST(TextProgramWindow, EveryChoiceIsTheOperatorsAndTheWindowSaysWait)
{
    setCurrentLanguage(kEnglish);
    ProjectModel model;
    TextProgramWindow window(model, nullptr);
    window.prepare({}, QStringLiteral("card"), false);
    window.show();
    for (QComboBox* list : {window.modeList(), window.speedList(), window.attributeList(), window.colorList(),
                            window.fontList(), window.sizeList()})
        EXPECT_EQ(list->currentIndex(), -1) << list->count();

    window.pageNameField()->setText(QStringLiteral("Noon"));
    window.newPage();
    ASSERT_EQ(window.pageList()->topLevelItemCount(), 1);
    window.pageList()->setCurrentItem(window.pageList()->topLevelItem(0));
    window.materialNameField()->setText(QStringLiteral("Menu"));
    auto expectStop = [&](const char* key) {
        window.newMaterial();
        EXPECT_EQ(window.statusText(), GetLgText(3, QString::fromLatin1(key))) << key;
        EXPECT_TRUE(window.isEnabled());
        EXPECT_EQ(window.materialList()->topLevelItemCount(), 0) << key;
    };
    expectStop("warn_select_mode");
    window.modeList()->setCurrentIndex(1);
    expectStop("warn_select_speed");
    window.speedList()->setCurrentIndex(0);
    expectStop("warn_material_empty");
    // The text comes from the clipboard (Ctrl+V), with the editor's look.
    QApplication::clipboard()->setText(QStringLiteral("Soup 3"));
    QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    QApplication::sendEvent(window.editor(), &paste);
    ASSERT_FALSE(window.editor()->toPlainText().trimmed().isEmpty());
    expectStop("warn_select_content_Attr");
    window.attributeList()->setCurrentIndex(0);
    expectStop("warn_select_font_color");
    window.colorList()->setCurrentIndex(2);
    expectStop("warn_select_font");
    window.fontList()->setCurrentIndex(2);
    expectStop("warn_select_font_size");
    window.sizeList()->setCurrentIndex(3);

    bool made = false;
    QObject::connect(&window, &TextProgramWindow::materialCreated, &window, [&made] { made = true; });
    window.newMaterial();
    EXPECT_EQ(window.statusText(), GetLgText(3, QStringLiteral("tip_wait")));
    EXPECT_FALSE(window.isEnabled());
    EXPECT_EQ(window.materialList()->topLevelItemCount(), 0) << "made on a later turn";
    ASSERT_TRUE(waitForMaterial(window, made));
    EXPECT_EQ(window.statusText(), GetLgText(3, QStringLiteral("tip_done")));
    EXPECT_TRUE(window.isEnabled());
    ASSERT_EQ(window.materialList()->topLevelItemCount(), 1);
    EXPECT_TRUE(window.materialList()->topLevelItem(0)->text(3).contains(QStringLiteral("Soup")));
    EXPECT_TRUE(window.editor()->toPlainText().isEmpty());
}
