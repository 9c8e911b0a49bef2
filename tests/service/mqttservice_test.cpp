// ledsignd's MQTT bridge against a real mosquitto started on a free
// loopback port, with ledsign-card as the card: the card's retained state,
// a text set over MQTT that the card shows, refusals, the broker restarted.
#include "servicecard.h"

#include "mqtt/mqttclient.h"
#include "support/mosquittobroker.h"
#include "support/testsupport.h"

#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ledsign::test {
namespace {

constexpr char kCode[] = "21_22_23_24_25_26_27_28";

// A client of the broker that keeps the last message of every topic.
struct Watcher {
    MqttClient client;
    QHash<QString, QByteArray> last;

    explicit Watcher(quint16 port)
    {
        QObject::connect(&client, &MqttClient::messageReceived,
                         [this](const QString& topic, const QByteArray& payload, bool) { last.insert(topic, payload); });
        client.subscribe(QStringLiteral("site/#"));
        client.subscribe(QStringLiteral("homeassistant/#"));
        client.setRetryDelays(50, 200);
        client.start({QStringLiteral("127.0.0.1"), port, {}, {}, {}});
    }
    QJsonObject json(const QString& topic) const { return QJsonDocument::fromJson(last.value(topic)).object(); }
};

TEST(MqttService, StateTextsAndABrokerRestartedMidRun)
{
    MosquittoBroker broker;
    if (MosquittoBroker::program().isEmpty())
        GTEST_SKIP() << "mosquitto is not installed (scripts/setup installs it)";
    ASSERT_TRUE(broker.start()) << broker.output().toStdString();
    QTemporaryDir home;
    QTemporaryDir png;
    ServiceProcess service;
    ASSERT_TRUE(service.start(home.path(), {"--mqtt", QStringLiteral("127.0.0.1:%1").arg(broker.port()), "--mqtt-prefix",
                                            "site"}))
        << service.output().toStdString();
    const QString code = QString::fromLatin1(kCode);
    CardProcess card;
    ASSERT_TRUE(card.start(cardArguments(service, code, 64, 16, png.path())));
    ASSERT_TRUE(service.waitForOnline(code));
    const QByteArray setShown = shownForTitle(card, png.path(), service, code, QStringLiteral("MQTT 5"), 64, 16);
    ASSERT_NE(shownForTitle(card, png.path(), service, code, QStringLiteral("before"), 64, 16), setShown);

    const QString state = QStringLiteral("site/cards/%1/state").arg(code);
    const QString set = QStringLiteral("site/cards/%1/texts/title/set").arg(code);
    Watcher watcher(broker.port());
    ASSERT_TRUE(waitUntil([&] { return watcher.json(state)["online"].toBool(); }, 15000)) << service.output().toStdString();
    // The state may still say "sending" until the card's confirmation of the last send is published.
    waitUntil([&] { return watcher.json(state)["send"].toObject()["state"].toString() == QLatin1String("sent"); }, 15000);
    EXPECT_EQ(watcher.json(state)["send"].toObject()["state"].toString(), QLatin1String("sent"));
    EXPECT_EQ(watcher.last.value("site/status"), "online");
    ASSERT_TRUE(waitUntil([&] {
        return std::any_of(watcher.last.keyBegin(), watcher.last.keyEnd(),
                           [](const QString& t) { return t.startsWith("homeassistant/text/") && t.endsWith("/config"); });
    }, 15000)) << "the card's text is a Home Assistant text entity";

    // A text set over MQTT is what the card shows; the job's end is told.
    const QString page1 = png.filePath(QStringLiteral("page1.png"));
    ASSERT_TRUE(watcher.client.publish(set, "MQTT 5", false));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("png ") + page1, 20000)) << service.output().toStdString();
    EXPECT_EQ(readAll(page1), setShown);
    EXPECT_TRUE(waitUntil([&] {
        return std::any_of(watcher.last.keyBegin(), watcher.last.keyEnd(), [&](const QString& t) {
            return t.startsWith("site/jobs/") && watcher.json(t)["state"].toString() == QLatin1String("sent");
        });
    }, 15000));

    // What cannot be carried out is refused with the service's reason, and logged.
    const struct {
        QString topic;
        QByteArray payload;
        const char* reason;
    } refused[] = {
        {QStringLiteral("site/cards/nobody/texts/title/set"), "x", "no card named nobody"},
        {QStringLiteral("site/cards/%1/texts/nothing/set").arg(code), "x", "no material named nothing"},
        {set, "\xc3\x28", "not UTF-8"},
    };
    for (const auto& r : refused) {
        watcher.last.remove("site/refused");
        ASSERT_TRUE(watcher.client.publish(r.topic, r.payload, false));
        ASSERT_TRUE(waitUntil([&] { return watcher.last.contains("site/refused"); }, 15000)) << r.reason;
        EXPECT_TRUE(watcher.json("site/refused")["error"].toString().contains(QLatin1String(r.reason)))
            << watcher.last.value("site/refused").constData();
        EXPECT_TRUE(service.waitForOutput(QLatin1String(r.reason))) << r.reason;
    }
    // The same on the HTTP side, on one line whatever the name holds.
    EXPECT_EQ(service.put(path(QStringLiteral("no\nbody"), QStringLiteral("/texts/title")), R"({"text": "x"})").status, 404);
    EXPECT_TRUE(service.waitForOutput(QStringLiteral("PUT /api/cards/no%0Abody/texts/title refused (404): no card named no\\x0abody")))
        << service.output().toStdString();

    // A broker restarted mid-run (it kept nothing) is found again and given the state.
    broker.stop();
    ASSERT_TRUE(waitUntil([&] { return !watcher.client.isConnected(); }, 15000));
    // Without a broker the cards are served as before.
    EXPECT_FALSE(shownForTitle(card, png.path(), service, code, QStringLiteral("no broker"), 64, 16).isEmpty());
    watcher.last.clear();
    ASSERT_TRUE(broker.start()) << broker.output().toStdString();
    ASSERT_TRUE(waitUntil([&] { return watcher.json(state)["online"].toBool(); }, 30000)) << service.output().toStdString();
    ASSERT_TRUE(watcher.client.publish(set, "before", false));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("png ") + page1, 20000)) << service.output().toStdString();
    EXPECT_NE(readAll(page1), setShown) << "a text set after the restart reached the card";
    EXPECT_EQ(service.output().count(QStringLiteral(" lost (")), 1) << "the lost broker is said once" << service.output().toStdString();
    EXPECT_EQ(service.terminate(), 0);
}

// A broker that takes the connection and never answers holds up nothing:
// the card registers and a send reaches it meanwhile.
TEST(MqttService, ASilentBrokerBlocksNoCard)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    QList<QTcpSocket*> held;
    QObject::connect(&silent, &QTcpServer::newConnection, [&] { held << silent.nextPendingConnection(); });
    QTemporaryDir home;
    QTemporaryDir png;
    ServiceProcess service;
    ASSERT_TRUE(service.start(home.path(), {"--mqtt", QStringLiteral("127.0.0.1:%1").arg(silent.serverPort())}))
        << service.output().toStdString();
    ASSERT_TRUE(waitUntil([&] { return !held.isEmpty(); }, 15000)) << "the bridge is connecting";
    const QString code = QString::fromLatin1(kCode);
    CardProcess card;
    ASSERT_TRUE(card.start(cardArguments(service, code, 64, 16, png.path())));
    ASSERT_TRUE(service.waitForOnline(code)) << service.output().toStdString();
    EXPECT_FALSE(shownForTitle(card, png.path(), service, code, QStringLiteral("silent"), 64, 16).isEmpty());
    EXPECT_EQ(service.terminate(), 0);
}

} // namespace
} // namespace ledsign::test
