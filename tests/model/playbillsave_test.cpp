#include "playbilltestsupport.h"

#include "model/playbillsaver.h"
#include "model/playbillwriter.h"

#include <csignal>
#include <sys/resource.h>

using namespace ledsign;
using ledsign::test::PlaybillFixture;
using Result = PlaybillSaver::Result;

namespace {

// Answers the save questions from a script and records what was asked.
class ScriptedDialogs : public PlaybillSaveDialogs {
public:
    QString askSaveFileName(const QString& title, const QString& folder, const QString& filter) override
    {
        titles << title;
        folders << folder;
        filters << filter;
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }
    bool askYesNo(const QString& question) override
    {
        questions << question;
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    void showMessage(const QString& text) override { messages << text; }

    QStringList fileNames;
    QList<bool> answers;
    QStringList titles, folders, filters, questions, messages;
};

class SaveTest : public PlaybillFixture {
protected:
    void SetUp() override
    {
        PlaybillFixture::SetUp();
        addCard(model, second, 64, 32);
        addCard(model, QStringLiteral("empty card"), 64, 32);
        for (const QString& card : {cardName, second}) {
            TProgram p;
            p.cardName = card;
            p.name = QStringLiteral("page of ") + card;
            p.id = QStringLiteral("1");
            model.appendPage(p);
        }
    }
    TFIXModem& card(int i) { return model.cards()[i]; }
    QString path(const char* name) const { return dir.path() + QLatin1Char('/') + QString::fromUtf8(name); }

    ScriptedDialogs dialogs;
    const QString second = QStringLiteral("second");
};

} // namespace

TEST_F(SaveTest, SaveWithoutSelectionAsksToSelectACard)
{
    PlaybillSaver saver(model, folders, dialogs);
    EXPECT_EQ(saver.savePlaybills(kSaveSelected, QString()), Result::NothingSelected);
    EXPECT_EQ(saver.savePlaybills(kSaveSelectedAs, QStringLiteral("ghost")), Result::NothingSelected);
    EXPECT_EQ(dialogs.messages, QStringList(2, QStringLiteral("请选择要保存的控制卡！")));
    EXPECT_TRUE(dialogs.titles.isEmpty());
}

TEST_F(SaveTest, SaveAsksForANameThenShowsIt)
{
    card(0).modified = 1;
    dialogs.fileNames << path("新 节目"); // no extension: ".prg" is added
    PlaybillSaver saver(model, folders, dialogs);
    ASSERT_EQ(saver.savePlaybills(kSaveSelected, cardName), Result::Done);

    ASSERT_EQ(dialogs.titles.size(), 1);
    EXPECT_EQ(dialogs.titles[0], QStringLiteral("card[控制卡 1] playbillsave"));
    EXPECT_EQ(dialogs.folders[0], folders.programFolder());
    EXPECT_EQ(dialogs.filters[0], QStringLiteral("prg(*.prg)"));
    const QString written = path("新 节目.prg");
    EXPECT_EQ(dialogs.messages, QStringList{written});
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(card(0).programFile, written);
    EXPECT_EQ(card(0).modified, 0);
    EXPECT_TRUE(test::readAll(written).contains(codec::encode(QStringLiteral("page of 控制卡 1"))));
    EXPECT_EQ(test::readAll(folders.programFolder() + QStringLiteral("/新 节目.prg")), test::readAll(written));
    // The other card was not touched.
    EXPECT_TRUE(card(1).programFile.isEmpty());

    // Saving again with the file known and nothing modified writes nothing.
    QFile::remove(folders.programFolder() + QStringLiteral("/新 节目.prg"));
    ASSERT_EQ(saver.savePlaybills(kSaveSelected, cardName), Result::Done);
    EXPECT_EQ(dialogs.titles.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(folders.programFolder() + QStringLiteral("/新 节目.prg")));
}

TEST_F(SaveTest, SaveAsAsksBeforeOverwriting)
{
    const QString target = makeFile(path("exists.prg"), "old contents");
    PlaybillSaver saver(model, folders, dialogs);

    dialogs.fileNames << target;
    dialogs.answers << false;
    EXPECT_EQ(saver.savePlaybills(kSaveSelectedAs, second), Result::Stopped);
    EXPECT_EQ(dialogs.questions, QStringList{QStringLiteral("Whether to overwrite the existing single-file program?")});
    EXPECT_EQ(test::readAll(target), QByteArray("old contents"));

    dialogs.fileNames << target;
    dialogs.answers << true;
    EXPECT_EQ(saver.savePlaybills(kSaveSelectedAs, second), Result::Done);
    EXPECT_TRUE(test::readAll(target).startsWith("[ProgramList]\r\npage of second,"));
    EXPECT_EQ(dialogs.messages.last(),
              QStringLiteral("card[second]playbill[") + target + QStringLiteral("]saved!"));
    EXPECT_EQ(card(1).programFile, target);

    // A cancelled dialog saves nothing.
    card(1).modified = 1;
    EXPECT_EQ(saver.savePlaybills(kSaveSelectedAs, second), Result::Done);
    EXPECT_EQ(card(1).modified, 1);
}

TEST_F(SaveTest, ExitSavesModifiedCardsAndNeverLetsTwoShareAFile)
{
    const QString shared = makeFile(path("shared.prg"), "shared");
    card(0).programFile = shared;
    card(1).programFile = shared;
    card(0).modified = 1;
    card(1).modified = 0;
    card(2).modified = 1; // no pages: skipped without a question
    dialogs.fileNames << path("own.prg");

    PlaybillSaver saver(model, folders, dialogs);
    ASSERT_EQ(saver.savePlaybills(kSaveAllModified, QString()), Result::Done);
    // The modified card was asked for its own file; the other kept the shared one.
    EXPECT_EQ(dialogs.titles, QStringList{PlaybillSaver::dialogTitle(cardName)});
    EXPECT_EQ(card(0).programFile, path("own.prg"));
    EXPECT_EQ(card(1).programFile, shared);
    EXPECT_EQ(test::readAll(shared), QByteArray("shared"));
    // The operator learns why a file name is asked for.
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0], QStringLiteral("Cards %1, %2 use one playbill file, %3: saving one of them writes "
                                                  "over the playbill of the others. Save each card's playbill under "
                                                  "a name of its own.")
                                       .arg(cardName, card(1).name, shared));
    EXPECT_TRUE(dialogs.messages[1].endsWith(QStringLiteral("]saved!")));
    EXPECT_EQ(card(2).modified, 1);

    // Save As onto the other card's file names that card in the question; a
    // No keeps both files as they were.
    dialogs.fileNames << path("own.prg");
    dialogs.answers << false;
    EXPECT_EQ(saver.savePlaybills(kSaveSelectedAs, card(1).name), Result::Stopped);
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].startsWith(QStringLiteral("Cards %1, %2 use one playbill file, %3")
                                                    .arg(card(1).name, cardName, path("own.prg"))))
        << dialogs.questions[0].toStdString();
    EXPECT_EQ(card(1).programFile, shared);
}

TEST_F(SaveTest, ExitStopsWhenTheUserRefusesToOverwrite)
{
    const QString existing = makeFile(path("taken.prg"), "taken");
    card(0).programFile = path("vanished.prg"); // gone: asked for a name
    card(0).modified = 1;
    card(1).modified = 1;
    dialogs.fileNames << existing << path("never.prg");
    dialogs.answers << false;

    PlaybillSaver saver(model, folders, dialogs);
    EXPECT_EQ(saver.savePlaybills(kSaveAllModified, QString()), Result::Stopped);
    EXPECT_EQ(test::readAll(existing), QByteArray("taken"));
    // The second card was not reached.
    EXPECT_EQ(dialogs.titles.size(), 1);
    EXPECT_EQ(card(1).modified, 1);
    EXPECT_FALSE(QFileInfo::exists(path("never.prg")));
}

TEST_F(SaveTest, CancelledDialogSkipsOnlyThatCard)
{
    card(0).modified = 1;
    card(1).modified = 1;
    dialogs.fileNames << QString() << path("two.prg");
    PlaybillSaver saver(model, folders, dialogs);
    EXPECT_EQ(saver.savePlaybills(kSaveAllModified, QString()), Result::Done);
    EXPECT_EQ(card(0).modified, 1);
    EXPECT_EQ(card(1).modified, 0);
    EXPECT_TRUE(QFileInfo::exists(path("two.prg")));
}

TEST_F(SaveTest, FailedSaveLeavesTheOldFileAndTheCardAsTheyWere)
{
    const QByteArray old = "[ProgramList]\r\nold,1,pn,00:00,24:00,everyday,,-1\r\n";
    const QString target = makeFile(path("keep.prg"), old);
    card(0).programFile = target;
    card(0).modified = 1;
    // Enough content to pass a small file-size limit.
    for (int i = 0; i < 50; ++i) {
        TProgram p;
        p.cardName = cardName;
        p.name = QStringLiteral("filler page %1").arg(i);
        p.id = QString::number(i);
        model.appendPage(p);
    }

    // The process may write no file larger than 256 bytes: the write fails
    // part way, as on a full disk.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 256;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

    PlaybillSaver saver(model, folders, dialogs);
    const Result result = saver.savePlaybills(kSaveSelected, cardName);

    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(result, Result::Failed);
    EXPECT_EQ(test::readAll(target), old);
    EXPECT_EQ(card(0).modified, 1);
    EXPECT_EQ(card(0).programFile, target);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("playbill[") + target + QStringLiteral("]")));
    EXPECT_FALSE(saver.errorString().isEmpty());
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("keep.prg*")}, QDir::Files),
              QStringList{QStringLiteral("keep.prg")});

    // With room again the same save succeeds.
    dialogs.messages.clear();
    EXPECT_EQ(saver.savePlaybills(kSaveSelected, cardName), Result::Done);
    EXPECT_TRUE(test::readAll(target).contains("filler page 49"));
}
