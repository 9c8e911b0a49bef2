// Saving through a symbolic link: the playbill, the card list and the
// settings file are written where the link points, the link stays a link,
// the file keeps its permissions and no temporary file is left.
#include "model/atomicfile.h"
#include "model/coalescedwriter.h"
#include "model/materialkinds.h"
#include "model/playbillsaver.h"
#include "support/testsupport.h"
#include "../workspace/windowfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace ledsign::test {
namespace {

class NoDialogs : public PlaybillSaveDialogs {
public:
    QString askSaveFileName(const QString&, const QString&, const QString&) override { return {}; }
    bool askYesNo(const QString&) override { return false; }
    void showMessage(const QString& text) override { messages << text; }
    QStringList messages;
};

mode_t modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(SaveThroughLink, PlaybillCardListAndSettingsWriteTheFileTheLinkNames)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString real = dir.filePath("real");
    const QString home = dir.filePath("home");
    ASSERT_TRUE(QDir().mkpath(real) && QDir().mkpath(home + "/prgFiles"));
    const QString realSettings = real + "/SetCfg.ini";
    const QString realPlaybill = real + "/hall.prg";
    ASSERT_TRUE(test::writeAll(realSettings, "[CardsInfo]\r\nhall=64,32,hall.prg,1_2_3_4_5_6_7_8,,,60,1\r\n"));
    ASSERT_TRUE(test::writeAll(realPlaybill, QByteArray()));
    // One link relative to its folder, one absolute.
    ASSERT_TRUE(QFile::link("../real/SetCfg.ini", home + "/SetCfg.ini"));
    ASSERT_TRUE(QFile::link(realPlaybill, home + "/prgFiles/hall.prg"));

    WorkspaceSession session{DataFolder(home)};
    ASSERT_EQ(session.start(testStartOptions(QLocale(QLocale::English))), WorkspaceSession::StartResult::Ready);
    session.loadCards();
    ASSERT_TRUE(session.model().findCard("hall"));
    NoDialogs dialogs;

    struct Case {
        const char* what;
        QString link, target;
        std::function<bool()> save;
        QByteArray written; // what the target holds after the save
    };
    const Case cases[] = {
        {"playbill", home + "/prgFiles/hall.prg", realPlaybill,
         [&] {
             TProgram page;
             page.cardName = "hall";
             page.name = "morning";
             page.id = "123456789";
             session.model().appendPage(page);
             session.model().findCard("hall").record->modified = 1;
             return PlaybillSaver(session.model(), session.folders(), dialogs).savePlaybills(kSaveSelected, "hall")
                    == PlaybillSaver::Result::Done;
         },
         "morning"},
        {"card list", home + "/SetCfg.ini", realSettings,
         [&] {
             TFIXModem card;
             card.name = "gate";
             card.width = 96;
             card.height = 16;
             session.model().addCard(card);
             session.startAutosave();
             return session.autosave().flush();
         },
         "gate=96,16"},
        {"settings", home + "/SetCfg.ini", realSettings,
         [&] {
             session.model().removeCard("gate");
             return session.saveSettings();
         },
         "[CommSet]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(QFile::setPermissions(c.target, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                        | QFileDevice::ReadGroup));
        ASSERT_TRUE(c.save()) << dialogs.messages.join("; ").toStdString();
        EXPECT_TRUE(QFileInfo(c.link).isSymLink());
        EXPECT_TRUE(test::readAll(c.target).contains(c.written));
        EXPECT_EQ(modeOf(c.target), mode_t(0640));
        EXPECT_EQ(QDir(real).entryList(QDir::Files | QDir::Hidden).size(), 2) << QDir(real).entryList().join(' ').toStdString();
    }
    EXPECT_FALSE(test::readAll(realSettings).contains("gate=")) << "the settings save wrote elsewhere";
}

} // namespace
} // namespace ledsign::test

namespace ledsign::test {
namespace {

// What killed saves leave: a save removes the temporary files of programs
// that have ended, and keeps those of a program still running (its save
// may be under way) and files that only look alike.
TEST(SaveLeftovers, OnlyThoseOfEndedProgramsAreRemoved)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess ended;
    ended.start(QStringLiteral("true"));
    ASSERT_TRUE(ended.waitForStarted(10000));
    const QString gone = QString::number(ended.processId());
    ASSERT_TRUE(ended.waitForFinished(10000));
    ASSERT_NE(gone, QStringLiteral("0"));
    const QString alive = QString::number(::getppid());
    const QStringList left{"a.prg.ledsign-" + gone + ".Xy12ab", "other.ini.ledsign-" + gone + ".000000"};
    const QStringList kept{"a.prg.ledsign-" + alive + ".Xy12ab", "a.prg.ledsign-" + gone + ".toolong",
                           "a.prg.ledsign-.abcdef", "notes.txt"};
    for (const QString& name : left + kept)
        ASSERT_TRUE(test::writeAll(dir.filePath(name), "x"));
    ASSERT_TRUE(writeFileAtomically(dir.filePath("a.prg"), "new"));
    QStringList expected = kept;
    expected << "a.prg";
    expected.sort();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
}

} // namespace
} // namespace ledsign::test
