// A text program sent through the whole link to ledsign-card: over TCP, and
// over an RS-485 line shared by two cards. The card checks the description
// and every text material against it, and holds what it received.
#include "language/language.h"
#include "model/projectmodel.h"
#include "protocol/textprogram.h"
#include "transport/cardlink.h"
#include "support/cardprocess.h"
#include "support/ptypair.h"
#include "transport/waitfor.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::test;

namespace {

TextMaterialForm form(const QString& name)
{
    TextMaterialForm f;
    f.name = name;
    f.playTimes = QStringLiteral("2");
    f.displayMode = 1;
    f.displaySpeed = 3;
    f.remainTime = QStringLiteral("4");
    f.editorText = QStringLiteral("x");
    f.contentAttribute = 5;
    f.color = 0;
    f.font = 0;
    f.size = 1;
    return f;
}

// Two pages: two materials on the first, one on the second.
struct Program {
    QStringList pages;
    QStringList materials;
};

Program addProgram(ProjectModel& model)
{
    TextProgram tp(model);
    Program p;
    p.pages << tp.addPage(QStringLiteral("morning"), QTime(8, 0), QTime(12, 0), {});
    p.pages << tp.addPage(QStringLiteral("evening"), QTime(18, 0), QTime(23, 0), {});
    p.materials << tp.addMaterial(p.pages[0], form(QStringLiteral("a")), QStringLiteral("1^1^2^Hello"));
    p.materials << tp.addMaterial(p.pages[0], form(QStringLiteral("b")), QStringLiteral("2^1^2^World"));
    p.materials << tp.addMaterial(p.pages[1], form(QStringLiteral("c")), QStringLiteral("3^1^2^Goodnight"));
    return p;
}

struct TextOverTcp : ::testing::Test {
    ProjectModel model;
    CardLink link {model};
    CardProcess card;
    QList<QPair<QString, bool>> finished;
    QStringList status;
    const QString name = QStringLiteral("10_20_30_40_50_60_70_80");

    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
        ASSERT_TRUE(link.channels().openServer(0, QHostAddress::LocalHost));
        QObject::connect(&link.textPrograms(), &TextProgramSender::finished,
                         [this](const QString& c, bool ok) { finished.append({c, ok}); });
        QObject::connect(&link.scheduler(), &SendScheduler::statusMessage, [this](const QString& t) { status << t; });
    }

    bool startCard(QStringList extra)
    {
        extra << QStringLiteral("--tcp") << QStringLiteral("127.0.0.1:%1").arg(link.channels().serverPort())
              << QStringLiteral("--code") << name;
        return card.start(extra) && waitFor([&] { return link.scheduler().nodeState(name) == kNodeOnline; }, 5000);
    }
};

} // namespace

TEST_F(TextOverTcp, TheCardHoldsEveryMaterialOfEveryPage)
{
    QTemporaryDir out;
    ASSERT_TRUE(startCard({QStringLiteral("--png"), out.path()}));
    const Program p = addProgram(model);

    ASSERT_EQ(link.textPrograms().start(name, p.pages, false), TextProgramSender::Start::Sent);
    ASSERT_TRUE(waitFor([&] { return !finished.isEmpty(); }, 10000));
    EXPECT_EQ(finished[0], qMakePair(name, true));
    EXPECT_EQ(status.last(), QStringLiteral("Playbill been sent."));
    EXPECT_EQ(link.scheduler().nodeState(name), kNodeCompleted);
    EXPECT_FALSE(link.scheduler().packetTimerActive()) << "the ticks stop with the send";

    ASSERT_TRUE(card.waitForLine(QStringLiteral("text-program complete materials=3"), 3000));
    EXPECT_TRUE(card.errorLines().isEmpty()) << card.errorLines().join(u'\n').toStdString();
    EXPECT_EQ(card.countLines(QStringLiteral("text-program pages=2 materials=3")), 1);
    // The last material of each page, and only it, carries the end marker.
    const QStringList got = card.linesStartingWith(QStringLiteral("text-program material "));
    ASSERT_EQ(got.size(), 3);
    EXPECT_TRUE(got[0].startsWith(QStringLiteral("text-program material ") + p.materials[0] + QStringLiteral(" text=")));
    EXPECT_TRUE(got[1].startsWith(QStringLiteral("text-program material ") + p.materials[1] + QStringLiteral(" end")));
    EXPECT_TRUE(got[2].startsWith(QStringLiteral("text-program material ") + p.materials[2] + QStringLiteral(" end")));
    EXPECT_TRUE(got[0].contains(QStringLiteral("Hello")));
    EXPECT_TRUE(got[2].contains(QStringLiteral("Goodnight")));

    QFile summary(out.path() + QStringLiteral("/textprogram.txt"));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("text-program complete"), 100) || summary.exists());
    ASSERT_TRUE(summary.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(summary.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("page 2 18:00-23:00")));
    EXPECT_FALSE(text.contains(QStringLiteral("(missing)")));
}

TEST_F(TextOverTcp, ADescriptionNeverConfirmedEndsWithTheCommunicationException)
{
    ASSERT_TRUE(startCard({QStringLiteral("--no-header-confirm")}));
    const Program p = addProgram(model);
    link.scheduler().state().timeScale = 0.1;

    ASSERT_EQ(link.textPrograms().start(name, p.pages, false), TextProgramSender::Start::Sent);
    ASSERT_TRUE(waitFor([&] { return !finished.isEmpty(); }, 5000));
    EXPECT_EQ(finished[0], qMakePair(name, false));
    EXPECT_EQ(status.last(), QStringLiteral("Communication exception. Failed to send!"));
    EXPECT_FALSE(link.textPrograms().busy());
    ASSERT_TRUE(card.waitForLine(QStringLiteral("text-program pages=2"), 1000));
    spin(300);
    EXPECT_EQ(card.countLines(QStringLiteral("text-program material")), 0) << "no material before the confirmation";
}

TEST_F(TextOverTcp, MaterialsNeverConfirmedAreGivenUp)
{
    ASSERT_TRUE(startCard({QStringLiteral("--no-final-confirm")}));
    const Program p = addProgram(model);
    link.scheduler().state().timeScale = 0.2;

    ASSERT_EQ(link.textPrograms().start(name, p.pages, false), TextProgramSender::Start::Sent);
    ASSERT_TRUE(waitFor([&] { return !finished.isEmpty(); }, 8000));
    EXPECT_EQ(finished[0], qMakePair(name, false));
    EXPECT_EQ(status.last(), QStringLiteral("Fail to send the program!"));
    EXPECT_EQ(card.countLines(QStringLiteral("text-program material")), 3);
    EXPECT_FALSE(link.scheduler().packetTimerActive());
}

namespace {

// An RS-485 line with the program and two cards on it: whatever one side
// writes, every other side reads.
class Rs485Bus {
public:
    Rs485Bus()
    {
        for (PtyLink* l : {&m_a, &m_b}) {
            auto* port = new QSerialPort(l->programSide());
            m_ports.push_back(std::unique_ptr<QSerialPort>(port));
            if (!l->isReady() || !port->open(QIODevice::ReadWrite))
                return;
            port->setBaudRate(115200);
            QObject::connect(port, &QSerialPort::readyRead, [this, port] { m_program.writeMaster(port->readAll()); });
        }
        QObject::connect(&m_pump, &QTimer::timeout, [this] {
            const QByteArray bytes = m_program.drainMaster();
            if (bytes.isEmpty())
                return;
            for (auto& port : m_ports)
                port->write(bytes);
        });
        m_pump.start(1);
        m_ready = m_program.isOpen();
    }
    bool isReady() const { return m_ready; }
    QString programSide() const { return m_program.slavePath(); }
    QString cardA() const { return m_a.cardSide(); }
    QString cardB() const { return m_b.cardSide(); }

private:
    PtyPair m_program;
    PtyLink m_a;
    PtyLink m_b;
    std::vector<std::unique_ptr<QSerialPort>> m_ports;
    QTimer m_pump;
    bool m_ready = false;
};

} // namespace

TEST(TextOverRs485, OnlyTheAddressedCardOfTwoTakesTheProgram)
{
    setCurrentLanguage(kEnglish);
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    Rs485Bus bus;
    ASSERT_TRUE(bus.isReady()) << "socat and a pty are needed";
    CardProcess hall;
    CardProcess gate;
    ASSERT_TRUE(hall.start({QStringLiteral("--serial"), bus.cardA(), QStringLiteral("--rs485"), QStringLiteral("--code"),
                            QStringLiteral("8_8_8_8_1_2_3_4")}));
    ASSERT_TRUE(gate.start({QStringLiteral("--serial"), bus.cardB(), QStringLiteral("--rs485"), QStringLiteral("--code"),
                            QStringLiteral("8_8_8_8_5_6_7_8")}));
    ASSERT_TRUE(hall.waitForLine(QStringLiteral("ready serial"), 5000));
    ASSERT_TRUE(gate.waitForLine(QStringLiteral("ready serial"), 5000));

    ProjectModel model;
    CardLink link(model);
    link.setCommMode(CommModeKind::Rs485);
    ASSERT_TRUE(link.channels().openSerialPort(kAfterOpenNothing, bus.programSide(), 115200));
    for (const auto& [name, code] : {std::pair{QStringLiteral("hall"), QStringLiteral("8_8_8_8_1_2_3_4")},
                                     std::pair{QStringLiteral("gate"), QStringLiteral("8_8_8_8_5_6_7_8")}}) {
        TFIXModem given;
        given.name = name;
        given.linkKind = 1;
        given.version = 60;
        given.internalCode = code;
        model.addCard(given);
    }
    const Program p = addProgram(model);
    QList<QPair<QString, bool>> ended;
    QObject::connect(&link.scheduler(), &SendScheduler::downloadEnded,
                     [&](const QString& c, bool ok) { ended.append({c, ok}); });

    ASSERT_EQ(link.textPrograms().start(QStringLiteral("gate"), p.pages, true), TextProgramSender::Start::Sent);
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 20000));
    EXPECT_EQ(ended[0], qMakePair(QStringLiteral("gate"), true));
    ASSERT_TRUE(gate.waitForLine(QStringLiteral("text-program complete materials=3"), 3000));
    EXPECT_TRUE(gate.errorLines().isEmpty()) << gate.errorLines().join(u'\n').toStdString();
    EXPECT_EQ(gate.countLines(QStringLiteral("text-program material ")), 3);
    EXPECT_GT(hall.countLines(QStringLiteral("ignored packet for 8_8_8_8_5_6_7_8")), 0);
    EXPECT_EQ(hall.countLines(QStringLiteral("text-program")), 0);
    EXPECT_TRUE(hall.errorLines().isEmpty()) << hall.errorLines().join(u'\n').toStdString();
}
