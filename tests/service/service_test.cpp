// The real ledsignd over loopback, with ledsign-card as the card: cards
// coming on line, texts and playbills put through the API reaching the card,
// group sends.
#include "servicecard.h"

#include "support/cardprocess.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>

namespace ledsign::test {
namespace {

constexpr char kCode[] = "11_22_33_44_55_66_77_88";

TEST(Service, ACardThatConnectsIsOnlineInTheCardList)
{
    QTemporaryDir home;
    ServiceProcess service;
    ASSERT_TRUE(service.start(home.path())) << service.output().toStdString();
    EXPECT_TRUE(service.get(QStringLiteral("/api/cards")).json().value(QStringLiteral("cards")).toArray().isEmpty());

    CardProcess card;
    QStringList args = cardArguments(service, QString::fromLatin1(kCode), 96, 16);
    ASSERT_TRUE(card.start(args << QStringLiteral("--colors") << QStringLiteral("2")));
    ASSERT_TRUE(service.waitForOnline(QString::fromLatin1(kCode))) << service.output().toStdString();

    const QJsonArray cards = service.get(QStringLiteral("/api/cards")).json().value(QStringLiteral("cards")).toArray();
    ASSERT_EQ(cards.size(), 1);
    const QJsonObject c = cards.first().toObject();
    EXPECT_EQ(c.value(QStringLiteral("name")).toString(), QLatin1String(kCode)) << "a new card is named after its code";
    EXPECT_EQ(c.value(QStringLiteral("width")).toInt(), 96);
    EXPECT_EQ(c.value(QStringLiteral("height")).toInt(), 16);
    EXPECT_EQ(c.value(QStringLiteral("colors")).toInt(), 2);
    EXPECT_EQ(c.value(QStringLiteral("internalCode")).toString(), QLatin1String(kCode));
    const QDateTime heard = QDateTime::fromString(c.value(QStringLiteral("lastHeard")).toString(), Qt::ISODateWithMs);
    EXPECT_TRUE(heard.isValid() && heard.timeSpec() == Qt::UTC) << c.value(QStringLiteral("lastHeard")).toString().toStdString();
    EXPECT_EQ(c.value(QStringLiteral("send")).toObject().value(QStringLiteral("state")).toString(), QLatin1String("idle"));
    EXPECT_TRUE(card.waitForLine(QStringLiteral("time "))) << "the registration set the card's clock";

    EXPECT_EQ(service.get(QStringLiteral("/api/cards/nobody")).status, 404);
    EXPECT_EQ(service.terminate(), 0) << service.output().toStdString();
    EXPECT_TRUE(readAll(home.filePath(QStringLiteral("SetCfg.ini"))).contains(kCode)) << "the card list was written";
    EXPECT_FALSE(QFile::exists(home.filePath(QStringLiteral("ledsignd.json")))) << "the service file goes with the service";
}

TEST(Service, ATextSetThroughTheApiIsWhatTheCardShows)
{
    QTemporaryDir home;
    QTemporaryDir png;
    ServiceProcess service;
    ASSERT_TRUE(service.start(home.path())) << service.output().toStdString();
    const QString code = QString::fromLatin1(kCode);
    CardProcess card;
    ASSERT_TRUE(card.start(cardArguments(service, code, 64, 16, png.path())));
    ASSERT_TRUE(service.waitForOnline(code));

    // What the card shows for a playbill that holds each text as written by hand.
    auto putAndSend = [&](const QString& text) { return shownForTitle(card, png.path(), service, code, text, 64, 16); };
    const QByteArray shownNew = putAndSend(QStringLiteral("NEW 42"));
    const QByteArray shownOld = putAndSend(QStringLiteral("OLD"));
    ASSERT_FALSE(shownNew.isEmpty());
    ASSERT_NE(shownNew, shownOld);

    const QByteArray shownSet = shownAfter(card, png.path(), [&] {
        return service.put(path(code, QStringLiteral("/texts/title")), R"({"text": "NEW 42"})");
    }, service);
    EXPECT_EQ(shownSet, shownNew) << "the text set through the API shows as the same text written by hand";
    EXPECT_EQ(service.get(path(code, QStringLiteral("/pages/1.png"))).body, shownSet)
        << "the page picture of the API is the card's";
    const QDir playbills(home.filePath(QStringLiteral("prgFiles")));
    ASSERT_EQ(playbills.entryList(QDir::Files).size(), 1) << "the card's playbill file was made by the service";
    EXPECT_TRUE(readAll(playbills.filePath(playbills.entryList(QDir::Files).first())).contains("^NEW 42"))
        << "the text is stored in the card's playbill";

    // Refusals leave the card as it was.
    EXPECT_EQ(service.put(path(code, QStringLiteral("/texts/nothing")), R"({"text": "x"})").status, 404);
    EXPECT_EQ(service.put(path(code, QStringLiteral("/texts/title")), R"({"text": "x", "colour": "red"})").status, 400);
    EXPECT_EQ(service.put(path(code, QStringLiteral("/texts/title")), "not json").status, 400);
    EXPECT_EQ(service.put(path(code, QStringLiteral("/texts/title")), R"({"text": "   "})").status, 400);
}

TEST(Service, ADamagedPlaybillIsRefusedAndTheOldOneKept)
{
    QTemporaryDir home;
    ServiceProcess service;
    ASSERT_TRUE(service.start(home.path()));
    const QString code = QString::fromLatin1(kCode);
    CardProcess card;
    ASSERT_TRUE(card.start(cardArguments(service, code, 64, 16)));
    ASSERT_TRUE(service.waitForOnline(code));
    const QByteArray good = titlePlaybill(QStringLiteral("KEPT"), 64, 16);
    ASSERT_EQ(service.put(path(code, QStringLiteral("/playbill")), good).status, 200);

    const struct {
        const char* why;
        QByteArray bytes;
    } damaged[] = {
        {"a material line cut short", QByteArray(good).replace(",0,0,0,0,0,0,0,0\r\n", "\r\n")},
        {"a region wider than the card", titlePlaybill(QStringLiteral("WIDE"), 128, 16)},
        {"a file cut off before its last section", good.left(good.indexOf("[TxtContentList]"))},
    };
    for (const auto& d : damaged) {
        const HttpReply r = service.put(path(code, QStringLiteral("/playbill")), d.bytes);
        EXPECT_EQ(r.status, 400) << d.why;
        EXPECT_FALSE(r.error().isEmpty()) << d.why << ": the reader's reason is given";
        EXPECT_EQ(service.get(path(code, QStringLiteral("/playbill"))).body, good) << d.why << ": the old file is kept";
    }
}

TEST(Service, AGroupSendReachesEveryOnlineCardAndNamesTheOffline)
{
    QTemporaryDir home;
    QTemporaryDir pngA;
    QTemporaryDir pngB;
    // A card of the list that never connects.
    writeAll(home.filePath(QStringLiteral("SetCfg.ini")), "[CardsInfo]\r\nHall-3=64,16,,9_9_9_9_9_9_9_9,,,60,1\r\n");
    ServiceProcess service;
    ASSERT_TRUE(service.start(home.path()));
    CardProcess a;
    CardProcess b;
    ASSERT_TRUE(a.start(cardArguments(service, QStringLiteral("1_1_1_1_1_1_1_1"), 64, 16, pngA.path())));
    ASSERT_TRUE(b.start(cardArguments(service, QStringLiteral("2_2_2_2_2_2_2_2"), 64, 16, pngB.path())));
    ASSERT_TRUE(service.waitForOnline(QStringLiteral("1_1_1_1_1_1_1_1")));
    ASSERT_TRUE(service.waitForOnline(QStringLiteral("2_2_2_2_2_2_2_2")));
    for (const char* name : {"1_1_1_1_1_1_1_1", "2_2_2_2_2_2_2_2"})
        ASSERT_EQ(service.put(path(QLatin1String(name), QStringLiteral("/playbill")), titlePlaybill(QStringLiteral("GROUP"), 64, 16)).status, 200);

    const HttpReply started = service.post(QStringLiteral("/api/send"),
                                           R"({"cards": ["1_1_1_1_1_1_1_1", "2_2_2_2_2_2_2_2", "Hall-3"]})");
    ASSERT_EQ(started.status, 202) << started.body.constData();
    EXPECT_EQ(service.post(QStringLiteral("/api/send"), R"({"cards": ["2_2_2_2_2_2_2_2"]})").status, 409)
        << "a card whose send is running is not sent to twice";
    const QJsonObject job = service.waitForJob(jobOf(started), 60000);
    EXPECT_EQ(job.value(QStringLiteral("state")).toString(), QLatin1String("failed"));
    EXPECT_EQ(job.value(QStringLiteral("sent")).toInt(), 2);
    EXPECT_EQ(job.value(QStringLiteral("failed")).toInt(), 1);
    for (const QJsonValue& v : job.value(QStringLiteral("cards")).toArray()) {
        const QJsonObject c = v.toObject();
        const bool offline = c.value(QStringLiteral("name")).toString() == QLatin1String("Hall-3");
        EXPECT_EQ(c.value(QStringLiteral("state")).toString(), offline ? QLatin1String("failed") : QLatin1String("sent"));
        if (offline)
            EXPECT_TRUE(c.value(QStringLiteral("message")).toString().contains(QStringLiteral("off-line")));
    }
    EXPECT_TRUE(a.waitForLine(QStringLiteral("playbill complete")));
    EXPECT_TRUE(b.waitForLine(QStringLiteral("playbill complete")));

    const struct {
        const char* body;
        int status;
    } refused[] = {
        {R"({"cards": ["1_1_1_1_1_1_1_1", "nobody"]})", 404},
        {R"({"cards": []})", 400},
        {R"({"cards": "1_1_1_1_1_1_1_1"})", 400},
        {R"({"prefix": "Zz"})", 404},
        {R"({"cards": ["1_1_1_1_1_1_1_1"], "prefix": "1"})", 400},
    };
    for (const auto& r : refused)
        EXPECT_EQ(service.post(QStringLiteral("/api/send"), r.body).status, r.status) << r.body;
    EXPECT_EQ(service.get(QStringLiteral("/api/jobs/999")).status, 404);
}

} // namespace
} // namespace ledsign::test
