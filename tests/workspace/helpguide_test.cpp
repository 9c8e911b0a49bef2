// Help shows the operator's guide that comes with the program, in the
// language of the window, and follows a language switch.
#include "editing/helpguide.h"
#include "windowfixture.h"
#include "workspace/helpwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>

namespace ledsign::test {
namespace {

int headings(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return int(QString::fromUtf8(f.readAll()).split(u'\n').filter(QRegularExpression(QStringLiteral("^## "))).size());
}

// A menu or action caption as the guide writes it: no mnemonic, no "(&X)", no "...".
QString plainCaption(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    text.remove(u'&');
    text.remove(QStringLiteral("..."));
    return text.trimmed();
}

// The menu paths a guide names ("**File → Save**") that the window's menu bar does not have.
QStringList missingMenuPaths(const QString& guidePath, const QMenuBar* bar)
{
    QFile f(guidePath);
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("cannot read ") + guidePath};
    const QString text = QString::fromUtf8(f.readAll());
    QStringList missing;
    static const QRegularExpression path(QStringLiteral("\\*\\*([^*→]+) → ([^*]+)\\*\\*"));
    for (auto it = path.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        bool found = false;
        for (const QAction* top : bar->actions()) {
            if (!top->menu() || plainCaption(top->text()) != m.captured(1).trimmed())
                continue;
            for (const QAction* item : top->menu()->actions())
                found = found || plainCaption(item->text()) == m.captured(2).trimmed();
        }
        if (!found)
            missing << m.captured(0);
    }
    return missing;
}

TEST(HelpGuide, EveryMenuPathTheGuideNamesIsInTheWindowInEachLanguage)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    Running run = startRun(home.path());
    const QString english = findHelpGuide(helpGuideFolders(QCoreApplication::applicationDirPath()), kEnglish);
    ASSERT_FALSE(english.isEmpty());
    const QString folder = QFileInfo(english).absolutePath();
    const std::pair<ActionId, int> languages[] = {
        {ActionId::English, kEnglish}, {ActionId::SimpleChn, kSimplifiedChinese}, {ActionId::TraditionalChn, kTraditionalChinese}};
    for (const auto& [action, language] : languages) {
        run.trigger(action);
        const QString guide = QDir(folder).filePath(helpGuideName(language));
        const QStringList missing = missingMenuPaths(guide, run.window->menuBar());
        EXPECT_TRUE(missing.isEmpty()) << guide.toStdString() << ": " << missing.join(u' ').toStdString();
    }
}

TEST(HelpGuide, HelpShowsTheGuideInTheWindowsLanguage)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    Running run = startRun(home.path());
    run.trigger(ActionId::Help);
    auto* help = run.window->findChild<HelpWindow*>();
    ASSERT_NE(help, nullptr) << "status: " << run.window->statusText(MainWindow::kMessagePanel).toStdString();
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Help View"));
    EXPECT_EQ(QFileInfo(help->guidePath()).fileName(), QStringLiteral("guide.en.md"));
    EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("Image groups")));
    EXPECT_FALSE(help->browser()->toPlainText().contains(QStringLiteral("## "))) << "Markdown is shown formatted";

    run.trigger(ActionId::SimpleChn);
    EXPECT_EQ(help->windowTitle(), QStringLiteral("帮助查看"));
    EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("图片组")));
    auto* close = help->findChild<QPushButton*>(QStringLiteral("btClose"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QStringLiteral("关闭"));
    run.trigger(ActionId::TraditionalChn);
    EXPECT_EQ(QFileInfo(help->guidePath()).fileName(), QStringLiteral("guide.zh_TW.md"));
    EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("圖片組")));
    EXPECT_EQ(run.window->findChildren<HelpWindow*>().size(), 1) << "one guide window";

    // The three guides tell the same sections.
    const QString folder = QFileInfo(help->guidePath()).absolutePath();
    const int sections = headings(QDir(folder).filePath(helpGuideName(kEnglish)));
    EXPECT_GE(sections, 5);
    EXPECT_EQ(headings(QDir(folder).filePath(helpGuideName(kSimplifiedChinese))), sections);
    EXPECT_EQ(headings(QDir(folder).filePath(helpGuideName(kTraditionalChinese))), sections);

    // A language without its guide falls back to English; none at all is
    // reported, not opened.
    QTemporaryDir only;
    ASSERT_TRUE(QFile::copy(QDir(folder).filePath(helpGuideName(kEnglish)), only.filePath(helpGuideName(kEnglish))));
    EXPECT_EQ(findHelpGuide({home.filePath(QStringLiteral("none")), only.path()}, kTraditionalChinese),
              only.filePath(helpGuideName(kEnglish)));
    EXPECT_TRUE(findHelpGuide({home.path()}, kEnglish).isEmpty());
}

} // namespace
} // namespace ledsign::test
