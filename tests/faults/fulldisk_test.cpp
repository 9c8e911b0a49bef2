// A full disk: every save that cannot be completed names the file and the
// reason the system gives, keeps the file that was there, and keeps the
// session's changes in memory (the window stays open to try again). The
// disk is a small tmpfs of its own; mounting one needs root, so without it
// the tests are skipped.
#include "model/cardlist.h"
#include "model/coalescedwriter.h"
#include "model/inifile.h"
#include "model/materialkinds.h"
#include "model/playbillsaver.h"
#include "model/playbillwriter.h"
#include "support/testsupport.h"
#include "../workspace/windowfixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace ledsign::test {
namespace {

const QString kNoSpace = QStringLiteral("No space left on device");

class SmallDisk {
public:
    explicit SmallDisk(const char* size)
    {
        if (::geteuid() != 0 || !base_.isValid())
            return;
        path_ = base_.filePath(QStringLiteral("disk"));
        QDir().mkpath(path_);
        mounted_ = QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", QStringLiteral("size=") + size,
                                                               "tmpfs", path_})
                   == 0;
    }
    ~SmallDisk()
    {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {path_});
    }
    bool ready() const { return mounted_; }
    QString path() const { return path_; }
    // Takes up every free byte.
    void fill()
    {
        QFile filler(path_ + "/filler");
        filler.open(QIODevice::WriteOnly);
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
    }
    void makeRoom() { QFile::remove(path_ + "/filler"); }
    bool grow() { return QProcess::execute("mount", {"-o", "remount,size=8m", path_}) == 0; }

private:
    QTemporaryDir base_;
    QString path_;
    bool mounted_ = false;
};

void addCards(ProjectModel& model, int count)
{
    for (int i = 0; i < count; ++i) {
        TFIXModem card;
        card.name = QStringLiteral("站台屏%1").arg(i);
        card.width = 128;
        card.height = 32;
        card.internalCode = QStringLiteral("1_2_3_4_5_6_%1_%2").arg(i / 256).arg(i % 256);
        card.version = 80;
        model.addCard(card);
    }
}

TEST(FullDisk, SettingsThatDoNotFitNameTheFileAndTheReasonAndKeepTheOldFile)
{
    SmallDisk disk("64k");
    if (!disk.ready())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    const QString settings = disk.path() + "/SetCfg.ini";
    {
        WorkspaceSession first{DataFolder(disk.path())};
        ASSERT_EQ(first.start(testStartOptions()), WorkspaceSession::StartResult::Ready);
        addCards(first.model(), 3);
        ASSERT_TRUE(first.saveSettings());
    }
    const QByteArray before = readAll(settings);

    WorkspaceSession s{DataFolder(disk.path())};
    ASSERT_EQ(s.start(testStartOptions()), WorkspaceSession::StartResult::Ready);
    s.loadCards();
    // 2000 more cards make a file several times the disk.
    for (int i = 0; i < 2000; ++i) {
        TFIXModem card;
        card.name = QStringLiteral("远端屏%1").arg(i);
        s.model().addCard(card);
    }
    EXPECT_FALSE(s.saveSettings());
    EXPECT_TRUE(s.errorString().contains(settings)) << s.errorString().toStdString();
    EXPECT_TRUE(s.errorString().contains(kNoSpace)) << s.errorString().toStdString();
    EXPECT_EQ(readAll(settings), before) << "the old file stays whole";
    for (const QString& name : QDir(disk.path()).entryList(QDir::Files))
        EXPECT_TRUE(name == "SetCfg.ini" || name == "ledsign.lock") << "a temporary file left: " << name.toStdString();

    // Nothing was lost: with room on the disk the same session saves all.
    ASSERT_TRUE(disk.grow());
    ASSERT_TRUE(s.saveSettings()) << s.errorString().toStdString();
    IniFile ini;
    ASSERT_TRUE(ini.load(settings));
    EXPECT_EQ(readCardList(ini, disk.path()).size(), 2003);
}

TEST(FullDisk, TheWindowStaysOpenWithTheReasonAndClosesOnceThereIsRoom)
{
    SmallDisk disk("256k");
    if (!disk.ready())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    Running run = startRun(disk.path());
    disk.fill();
    run.dialogs->newCards.push_back(NewCardInput{QStringLiteral("platform 1"), "128", "32", 0});
    run.trigger(ActionId::NewCard);
    ASSERT_EQ(run.model().cards().size(), 1);

    // The background write fails and says why, in the status bar.
    EXPECT_FALSE(run.session->autosave().flush());
    const QStringList panels = [&] {
        QStringList texts;
        for (QLabel* label : run.window->findChildren<QLabel*>())
            texts << label->text();
        return texts;
    }();
    EXPECT_TRUE(panels.join('\n').contains(kNoSpace)) << panels.join('|').toStdString();

    // Exit: the reason is named and the operator may stay.
    run.dialogs->asked.clear();
    run.dialogs->yesNo.push_back(false);
    run.window->close();
    EXPECT_TRUE(run.window->isVisible()) << "the window stays open";
    ASSERT_FALSE(run.dialogs->asked.isEmpty());
    EXPECT_TRUE(run.dialogs->asked.last().contains(disk.path() + "/SetCfg.ini"));
    EXPECT_TRUE(run.dialogs->asked.last().contains(kNoSpace));
    EXPECT_EQ(run.model().cards().size(), 1) << "the change stays in memory";

    disk.makeRoom();
    run.window->close();
    EXPECT_FALSE(run.window->isVisible());
    IniFile ini;
    ASSERT_TRUE(ini.load(disk.path() + "/SetCfg.ini"));
    const QList<CardListLine> cards = readCardList(ini, disk.path());
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards.first().name, QStringLiteral("platform 1"));
}

class Answers : public PlaybillSaveDialogs {
public:
    QString askSaveFileName(const QString&, const QString&, const QString&) override { return {}; }
    bool askYesNo(const QString&) override { return true; }
    void showMessage(const QString& text) override { messages << text; }
    QStringList messages;
};

TEST(FullDisk, APlaybillThatDoesNotFitKeepsTheOldFileAndStaysModified)
{
    SmallDisk disk("128k");
    if (!disk.ready())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    const DataFolder folders(disk.path());
    ASSERT_TRUE(folders.ensureExists());
    ProjectModel model;
    addCards(model, 1);
    const QString card = model.cards().first().name;
    TProgram page;
    page.cardName = card;
    page.name = QStringLiteral("page");
    page.id = QStringLiteral("100000001");
    model.appendPage(page);
    TRegion region;
    region.cardName = card;
    region.pageName = page.name;
    region.pageId = page.id;
    region.name = QStringLiteral("region");
    region.width = 128;
    region.height = 32;
    model.appendRegion(region);
    TFodder m = defaultMaterial(kSingleText);
    m.cardName = card;
    m.pageName = page.name;
    m.regionName = region.name;
    m.name = QStringLiteral("text");
    m.id = QStringLiteral("200000001");
    m.content = QStringLiteral("末班车 23:30");
    model.appendMaterialToRegion(m);

    const QString path = disk.path() + "/prgFiles/station.prg";
    Answers answers;
    PlaybillSaver saver(model, folders, answers);
    ASSERT_TRUE(saver.writePlaybill(card, path, true));
    const QByteArray before = readAll(path);

    // A long text makes the next version larger than the disk.
    model.materials().first().content = QStringLiteral("末班车 23:30 ").repeated(20000);
    model.markModified(card);
    disk.fill();
    answers.messages.clear();
    EXPECT_FALSE(saver.writePlaybill(card, path, true));
    ASSERT_EQ(answers.messages.size(), 1);
    EXPECT_TRUE(answers.messages.first().contains(path)) << answers.messages.first().toStdString();
    EXPECT_TRUE(answers.messages.first().contains(kNoSpace)) << answers.messages.first().toStdString();
    EXPECT_EQ(readAll(path), before);
    EXPECT_NE(model.cards().first().modified, 0) << "still to be saved";
    EXPECT_EQ(model.materials().first().content.size(), QStringLiteral("末班车 23:30 ").size() * 20000);
}

TEST(FullDisk, TheCommandLineNamesTheFileAndTheReason)
{
    SmallDisk disk("64k");
    if (!disk.ready())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    QTemporaryDir work;
    ProjectModel model;
    addCards(model, 1);
    const QString card = model.cards().first().name;
    TProgram page;
    page.cardName = card;
    page.name = QStringLiteral("page");
    page.id = QStringLiteral("100000001");
    model.appendPage(page);
    TRegion region;
    region.cardName = card;
    region.pageName = page.name;
    region.pageId = page.id;
    region.name = QStringLiteral("region");
    region.width = 128;
    region.height = 32;
    model.appendRegion(region);
    TFodder m = defaultMaterial(kMultiText);
    m.cardName = card;
    m.pageName = page.name;
    m.regionName = region.name;
    m.name = QStringLiteral("text");
    m.id = QStringLiteral("200000001");
    m.content = QStringLiteral("今日列车时刻表 ").repeated(300);
    model.appendMaterialToRegion(m);
    const QString playbill = work.filePath("station.prg");
    PlaybillWriter writer(model, DataFolder(work.path()));
    ASSERT_TRUE(writer.write(card, playbill));

    disk.fill();
    QProcess cli;
    cli.start(binDir() + "/ledsign-cli", {"render", playbill, "--width", "128", "--height", "32", "--colors", "1",
                                          "--out", disk.path() + "/out"});
    ASSERT_TRUE(cli.waitForFinished(60000));
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_TRUE(err.contains(disk.path() + "/out/")) << err.toStdString();
    EXPECT_TRUE(err.contains(kNoSpace)) << err.toStdString();
}

} // namespace
} // namespace ledsign::test
