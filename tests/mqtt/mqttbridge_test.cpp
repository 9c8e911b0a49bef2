// The bridge and its client against a real mosquitto on a free loopback
// port; another client of the same broker watches what the bridge publishes.
#include "content/textbudget.h"
#include "mqtt/mqttbridge.h"
#include "support/mosquittobroker.h"
#include "transport/waitfor.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

namespace ledsign {
namespace {

using test::waitFor;

struct FakeFleet : MqttFleet {
    QStringList names{QStringLiteral("Hall"), QStringLiteral("门/2")};
    QHash<QString, bool> online{{QStringLiteral("Hall"), true}};
    QStringList calls;

    QStringList cardNames() const override { return names; }
    QJsonObject cardState(const QString& card) const override
    {
        if (!names.contains(card))
            return {};
        return {{"name", card}, {"online", online.value(card)}, {"width", 64}, {"height", 16}, {"colors", 1}};
    }
    QStringList textMaterials(const QString&) const override { return {QStringLiteral("greeting")}; }
    Answer setText(const QString& card, const QString& material, const QString& text) override
    {
        if (!names.contains(card))
            return {{}, QStringLiteral("no card ") + card};
        calls << card + u'|' + material + u'|' + text;
        return {QStringLiteral("7"), {}};
    }
    Answer send(const QString& card) override
    {
        calls << card + QStringLiteral("|send");
        return {QStringLiteral("8"), {}};
    }
};

struct Watcher {
    MqttClient client;
    QHash<QString, QByteArray> last; // topic -> last payload
    QStringList order;

    explicit Watcher(quint16 port)
    {
        QObject::connect(&client, &MqttClient::messageReceived, [this](const QString& t, const QByteArray& p, bool) {
            last.insert(t, p);
            order << t;
        });
        client.subscribe(QStringLiteral("ls/#"));
        client.subscribe(QStringLiteral("homeassistant/#"));
        client.setRetryDelays(50, 200);
        client.start({QStringLiteral("127.0.0.1"), port, {}, {}, {}});
    }
    QJsonObject json(const QString& topic) const { return QJsonDocument::fromJson(last.value(topic)).object(); }
};

struct LogCapture {
    static inline QStringList lines;
    QtMessageHandler previous;
    LogCapture()
    {
        lines.clear();
        previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& text) {
            if (QLatin1String(context.category) == QLatin1String("ledsign.mqtt"))
                lines << text;
        });
    }
    ~LogCapture() { qInstallMessageHandler(previous); }
    static int count(const QString& part)
    {
        return int(std::count_if(lines.cbegin(), lines.cend(), [&](const QString& l) { return l.contains(part); }));
    }
};

class MqttBridgeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (test::MosquittoBroker::program().isEmpty())
            GTEST_SKIP() << "mosquitto is not installed (scripts/setup installs it)";
        ASSERT_TRUE(broker.start()) << broker.output().toStdString();
        bridge.client().setRetryDelays(50, 200);
        bridge.start({QStringLiteral("127.0.0.1"), broker.port(), {}, {}, {}});
        ASSERT_TRUE(waitFor([&] { return bridge.client().isConnected(); }, 10000));
    }

    test::MosquittoBroker broker;
    FakeFleet fleet;
    MqttBridge bridge{fleet, QStringLiteral("ls")};
};

TEST_F(MqttBridgeTest, StateAndDiscoveryAreRetained)
{
    // The watcher comes after the bridge published: what it sees was retained.
    Watcher watcher(broker.port());
    ASSERT_TRUE(waitFor([&] { return watcher.last.contains(QStringLiteral("ls/cards/门%2F2/state")); }, 10000));
    EXPECT_EQ(watcher.last.value("ls/status"), "online");
    EXPECT_TRUE(watcher.json("ls/cards/Hall/state")["online"].toBool());
    EXPECT_FALSE(watcher.json(QStringLiteral("ls/cards/门%2F2/state"))["online"].toBool());
    const auto configs = [&] {
        return std::count_if(watcher.last.keyBegin(), watcher.last.keyEnd(),
                             [](const QString& t) { return t.startsWith("homeassistant/"); });
    };
    // Retained messages come in no set order: wait for all of them.
    waitFor([&] { return configs() >= 6; }, 10000);
    EXPECT_EQ(configs(), 6); // per card: on-line sensor, send button, one text

    // A change is published; a card that goes takes its retained messages along.
    fleet.online[QStringLiteral("Hall")] = false;
    bridge.cardChanged(QStringLiteral("Hall"));
    ASSERT_TRUE(waitFor([&] { return !watcher.json("ls/cards/Hall/state")["online"].toBool(true); }, 10000));
    fleet.names.removeLast();
    bridge.cardsChanged();
    ASSERT_TRUE(waitFor([&] { return watcher.last.value(QStringLiteral("ls/cards/门%2F2/state")).isNull(); }, 10000));
    ASSERT_TRUE(waitFor([&] {
        return std::count_if(watcher.last.cbegin(), watcher.last.cend(), [](const QByteArray& p) { return p.isEmpty(); }) == 4;
    }, 10000));
}

TEST_F(MqttBridgeTest, CommandsReachTheFleetAndBadOnesAreRefused)
{
    LogCapture log;
    Watcher watcher(broker.port());
    ASSERT_TRUE(waitFor([&] { return watcher.client.isConnected(); }, 10000));
    const QByteArray tooLong(kMaxTextContentBytes + 1, 'x');
    const struct {
        const char* topic;
        QByteArray payload;
        bool retain;
        const char* call;    // what the fleet is asked, or empty
        const char* refusal; // the reason given, or empty
    } cases[] = {
        {"ls/cards/Hall/texts/greeting/set", "Hello 你好", false, "Hall|greeting|Hello 你好", ""},
        {"ls/cards/%E9/texts/greeting/set", "x", false, "", "not a command topic"},
        {"ls/cards/Hall/send", "PRESS", false, "Hall|send", ""},
        {"ls/cards/Nobody/texts/greeting/set", "x", false, "", "no card Nobody"},
        {"ls/cards/Hall/texts/greeting/set", "\xff\xfe bad", false, "", "not UTF-8"},
        {"ls/cards/Hall/texts/greeting/set", tooLong, false, "", "more than the 1048576"},
    };
    for (const auto& c : cases) {
        const int refusalsBefore = LogCapture::count("refused");
        const qsizetype callsBefore = fleet.calls.size();
        watcher.order.clear();
        ASSERT_TRUE(watcher.client.publish(QString::fromUtf8(c.topic), c.payload, c.retain));
        const bool refused = *c.refusal != 0;
        ASSERT_TRUE(waitFor([&] {
            return refused ? watcher.order.contains("ls/refused") : fleet.calls.size() > callsBefore;
        }, 10000)) << c.topic;
        if (refused) {
            EXPECT_EQ(fleet.calls.size(), callsBefore) << c.topic;
            EXPECT_TRUE(watcher.json("ls/refused")["error"].toString().contains(QLatin1String(c.refusal)))
                << c.topic << " " << watcher.json("ls/refused")["error"].toString().toStdString();
            EXPECT_EQ(LogCapture::count("refused"), refusalsBefore + 1);
        } else {
            EXPECT_EQ(fleet.calls.last(), QString::fromUtf8(c.call));
        }
    }

    // A retained command is carried out when it is published, and not again
    // when the broker hands it over at the next connect.
    ASSERT_TRUE(watcher.client.publish("ls/cards/Hall/texts/greeting/set", "kept", true));
    ASSERT_TRUE(waitFor([&] { return fleet.calls.last() == "Hall|greeting|kept"; }, 10000));
    const qsizetype calls = fleet.calls.size();
    watcher.order.clear();
    bridge.client().stop();
    bridge.client().start({QStringLiteral("127.0.0.1"), broker.port(), {}, {}, {}});
    ASSERT_TRUE(waitFor([&] { return watcher.order.contains("ls/refused"); }, 10000));
    EXPECT_TRUE(watcher.json("ls/refused")["error"].toString().contains("retained command"));
    EXPECT_EQ(fleet.calls.size(), calls);
    watcher.client.publish("ls/cards/Hall/texts/greeting/set", {}, true);
}

TEST_F(MqttBridgeTest, ABrokerRestartedIsFoundAgainAndGivenEverything)
{
    LogCapture log;
    broker.stop();
    ASSERT_TRUE(waitFor([&] { return !bridge.client().isConnected(); }, 10000));
    // Changes meanwhile are not lost, and the failed attempts are said once.
    fleet.online[QStringLiteral("门/2")] = true;
    bridge.cardChanged(QStringLiteral("门/2"));
    test::spin(700);
    ASSERT_TRUE(broker.start()) << broker.output().toStdString();
    ASSERT_TRUE(waitFor([&] { return bridge.client().isConnected(); }, 10000));
    EXPECT_EQ(LogCapture::count("lost"), 1) << LogCapture::lines.join('\n').toStdString();

    // The new broker kept nothing; the bridge gave it every state again.
    Watcher watcher(broker.port());
    ASSERT_TRUE(waitFor([&] { return watcher.last.contains(QStringLiteral("ls/cards/门%2F2/state")); }, 10000));
    EXPECT_TRUE(watcher.json(QStringLiteral("ls/cards/门%2F2/state"))["online"].toBool());
    EXPECT_EQ(watcher.last.value("ls/status"), "online");
    ASSERT_TRUE(watcher.client.publish("ls/cards/Hall/texts/greeting/set", "after", false));
    ASSERT_TRUE(waitFor([&] { return fleet.calls.contains("Hall|greeting|after"); }, 10000));
}

TEST(MqttClientTest, CredentialsAreUsedAndARefusalIsSaidOnce)
{
    if (test::MosquittoBroker::program().isEmpty())
        GTEST_SKIP() << "mosquitto is not installed (scripts/setup installs it)";
    test::MosquittoBroker broker;
    ASSERT_TRUE(broker.start(QStringLiteral("sign:s3cret\n"))) << broker.output().toStdString();
    LogCapture log;
    MqttClient wrong;
    wrong.setRetryDelays(20, 40);
    wrong.start({QStringLiteral("127.0.0.1"), broker.port(), QStringLiteral("sign"), QStringLiteral("nope"), {}});
    MqttClient right;
    right.start({QStringLiteral("127.0.0.1"), broker.port(), QStringLiteral("sign"), QStringLiteral("s3cret"), {}});
    ASSERT_TRUE(waitFor([&] { return right.isConnected(); }, 10000));
    test::spin(300); // several refused attempts of the wrong one
    EXPECT_FALSE(wrong.isConnected());
    EXPECT_EQ(LogCapture::count("not reached"), 1) << LogCapture::lines.join('\n').toStdString();
}

} // namespace
} // namespace ledsign
