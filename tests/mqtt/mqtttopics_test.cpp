#include "mqtt/mqttdiscovery.h"
#include "mqtt/mqtttopics.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace ledsign {
namespace {

using mqtttopics::Command;

TEST(MqttTopics, NamesAreOneLevelAndReadBack)
{
    const struct {
        const char* name;
        const char* level;
    } cases[] = {
        {"Hall", "Hall"},
        {"a/b", "a%2Fb"},
        {"+#", "%2B%23"},
        {"100%", "100%25"},
        {"%2F", "%252F"}, // a name that looks escaped stays itself
        {"大厅 1", "大厅 1"},
    };
    for (const auto& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        EXPECT_EQ(mqtttopics::escapeLevel(name), QString::fromUtf8(c.level)) << c.name;
        QString back;
        ASSERT_TRUE(mqtttopics::unescapeLevel(QString::fromUtf8(c.level), &back)) << c.name;
        EXPECT_EQ(back, name);
    }
    QString ignored;
    EXPECT_FALSE(mqtttopics::unescapeLevel(QStringLiteral("a%41"), &ignored));
    EXPECT_FALSE(mqtttopics::unescapeLevel(QStringLiteral("a%2"), &ignored));
}

TEST(MqttTopics, CommandsAreReadFromTheirTopics)
{
    const struct {
        const char* topic;
        Command::Kind kind;
        const char* card;
        const char* material;
    } cases[] = {
        {"ls/cards/Hall/send", Command::Send, "Hall", ""},
        {"ls/cards/a%2Fb/texts/single-text1/set", Command::SetText, "a/b", "single-text1"},
        {"ls/cards/大厅/texts/文本%25/set", Command::SetText, "大厅", "文本%"},
        {"ls/cards/Hall/state", Command::None, "", ""},
        {"ls/cards/Hall/texts/x/get", Command::None, "", ""},
        {"ls/cards//send", Command::None, "", ""},
        {"ls/cards/Hall/texts//set", Command::None, "", ""},
        {"ls/cards/a%zz/send", Command::None, "", ""},
        {"other/cards/Hall/send", Command::None, "", ""},
        {"ls/cards/Hall/extra/send", Command::None, "", ""},
    };
    for (const auto& c : cases) {
        const Command command = mqtttopics::parseCommand(QStringLiteral("ls"), QString::fromUtf8(c.topic));
        EXPECT_EQ(command.kind, c.kind) << c.topic;
        if (c.kind != Command::None) {
            EXPECT_EQ(command.card, QString::fromUtf8(c.card)) << c.topic;
            EXPECT_EQ(command.material, QString::fromUtf8(c.material)) << c.topic;
        }
    }
}

TEST(MqttDiscovery, EachCardADeviceWithItsTexts)
{
    const QJsonObject card{{"name", "Hall/1"}, {"width", 128}, {"height", 32}, {"colors", 2}};
    const auto messages = mqttdiscovery::cardMessages(QStringLiteral("ls"), card, {QStringLiteral("greeting")});
    ASSERT_EQ(messages.size(), 3);
    const QRegularExpression topic(QStringLiteral("^homeassistant/(binary_sensor|button|text)/[A-Za-z0-9_-]+/[A-Za-z0-9_-]+/config$"));
    for (const auto& m : messages)
        EXPECT_TRUE(topic.match(m.topic).hasMatch()) << m.topic.toStdString();

    const QJsonObject online = QJsonDocument::fromJson(messages[0].payload).object();
    EXPECT_EQ(online["state_topic"].toString(), QStringLiteral("ls/cards/Hall%2F1/state"));
    EXPECT_EQ(online["device_class"].toString(), QStringLiteral("connectivity"));
    EXPECT_EQ(online["availability_topic"].toString(), QStringLiteral("ls/status"));
    EXPECT_EQ(online["device"].toObject()["name"].toString(), QStringLiteral("Hall/1"));
    const QJsonObject send = QJsonDocument::fromJson(messages[1].payload).object();
    EXPECT_EQ(send["command_topic"].toString(), QStringLiteral("ls/cards/Hall%2F1/send"));
    const QJsonObject text = QJsonDocument::fromJson(messages[2].payload).object();
    EXPECT_EQ(text["command_topic"].toString(), QStringLiteral("ls/cards/Hall%2F1/texts/greeting/set"));
    EXPECT_EQ(text["name"].toString(), QStringLiteral("greeting"));

    // Identifiers of different names never meet, and two entities of one card never share one.
    EXPECT_NE(mqttdiscovery::objectId(QStringLiteral("a b")), mqttdiscovery::objectId(QStringLiteral("a_b")));
    EXPECT_NE(online["unique_id"], text["unique_id"]);
    EXPECT_EQ(online["device"], text["device"]);
}

} // namespace
} // namespace ledsign
