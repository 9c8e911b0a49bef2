// The text-program window forwards its fields to the text program and shows
// the messages.
#include "language/language.h"
#include "protocol/ui/textprogramwindow.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimeEdit>
#include <QTreeWidget>

using namespace ledsign;

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
    window.newMaterial();
    EXPECT_EQ(window.statusText(), GetLgText(3, QStringLiteral("warn_material_empty")));
    window.editor()->setPlainText(QStringLiteral("今天 9点, 开会"));
    window.newMaterial();
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
