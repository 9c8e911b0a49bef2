// A termination request (SIGTERM at logout or from a service manager,
// SIGINT from Ctrl+C) closes the editor as its Exit command does: the
// settings are written, the instance lock is given back, and the program
// ends normally instead of being cut off.
#include "model/cardlist.h"
#include "model/inifile.h"
#include "model/instancelock.h"
#include "support/testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

using namespace ledsign;

namespace {

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

TEST(Termination, SigtermAndSigintCloseAsTheExitCommandDoes)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        IniFile ini;
        ini.setValue("CommSet", "CommParam02", QString::number(freePort()));
        ini.setBool("IsShowTips", "IsShowTips", true);
        ini.setBool("IsShowMulNetCard", "IsShowMulNetCard", false);
        ini.setValue("CardsInfo", QStringLiteral("站台"), "128,32,,1_2_3_4_5_6_7_8,,,80,1");
        ASSERT_TRUE(ini.save(home.filePath("SetCfg.ini")));
        const QString lock = home.filePath(QString::fromLatin1(InstanceLock::kFileName));

        QProcess editor;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        editor.setProcessEnvironment(env);
        editor.setProcessChannelMode(QProcess::ForwardedChannels);
        editor.start(test::binDir() + "/ledsign", {"--home", home.path()});
        ASSERT_TRUE(editor.waitForStarted(10000));
        // Up once the lock is taken and the window has run its start-up
        // (the card list is written back by then).
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 20000 && !(QFileInfo::exists(lock) && QFileInfo(home.filePath("SetCfg.ini")).size() > 200))
            QThread::msleep(50);
        ASSERT_TRUE(QFileInfo::exists(lock)) << "the editor did not start";
        QThread::msleep(500);

        ::kill(pid_t(editor.processId()), signal);
        ASSERT_TRUE(editor.waitForFinished(20000));
        EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit) << "ended by the signal itself";
        EXPECT_EQ(editor.exitCode(), 0);
        EXPECT_FALSE(QFileInfo::exists(lock)) << "the instance lock is given back";
        IniFile after;
        ASSERT_TRUE(after.load(home.filePath("SetCfg.ini")));
        const QList<CardListLine> cards = readCardList(after, home.filePath("prgFiles"));
        ASSERT_EQ(cards.size(), 1);
        EXPECT_EQ(cards.first().name, QStringLiteral("站台"));
        EXPECT_FALSE(after.value("LgType", "LgType").isEmpty()) << "the settings were written on the way out";
    }
}

} // namespace
