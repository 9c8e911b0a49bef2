#include "mqtt/mqttoptions.h"

#include "support/testsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ledsign {
namespace {

TEST(MqttOptions, AddressesPrefixesAndCredentials)
{
    QTemporaryDir dir;
    const QString password = dir.filePath(QStringLiteral("password"));
    const QString empty = dir.filePath(QStringLiteral("empty"));
    ASSERT_TRUE(test::writeAll(password, "s3cret\r\nnot this\n"));
    ASSERT_TRUE(test::writeAll(empty, "\n"));
    const struct {
        MqttOptions options;
        const char* host; // empty: refused
        quint16 port;
        const char* error;
    } cases[] = {
        {{"127.0.0.1:1883", "ledsign", {}, {}}, "127.0.0.1", 1883, ""},
        {{"broker.local:8883", "site/hall", {}, {}}, "broker.local", 8883, ""},
        {{"[::1]:1884", "ledsign", {}, {}}, "::1", 1884, ""},
        {{"127.0.0.1", "ledsign", {}, {}}, "", 0, "HOST:PORT"},
        {{"127.0.0.1:0", "ledsign", {}, {}}, "", 0, "HOST:PORT"},
        {{"127.0.0.1:65536", "ledsign", {}, {}}, "", 0, "HOST:PORT"},
        {{"::1:1883", "ledsign", {}, {}}, "", 0, "HOST:PORT"},
        {{":1883", "ledsign", {}, {}}, "", 0, "HOST:PORT"},
        {{"h:1", "a/+/b", {}, {}}, "", 0, "--mqtt-prefix"},
        {{"h:1", "a/#", {}, {}}, "", 0, "--mqtt-prefix"},
        {{"h:1", "/a", {}, {}}, "", 0, "--mqtt-prefix"},
        {{"h:1", "a/", {}, {}}, "", 0, "--mqtt-prefix"},
        {{"h:1", "$SYS", {}, {}}, "", 0, "--mqtt-prefix"},
        {{"h:1", "", {}, {}}, "", 0, "--mqtt-prefix"},
        {{"h:1", "ledsign", {}, password}, "", 0, "needs --mqtt-user"},
        {{"h:1", "ledsign", "sign", dir.filePath("missing")}, "", 0, "missing"},
        {{"h:1", "ledsign", "sign", empty}, "", 0, "no password"},
    };
    for (const auto& c : cases) {
        MqttSettings settings;
        QString error;
        const bool ok = readMqttOptions(c.options, &settings, &error);
        EXPECT_EQ(ok, *c.host != 0) << c.options.address.toStdString() << " " << error.toStdString();
        if (ok) {
            EXPECT_EQ(settings.endpoint.host, QLatin1String(c.host));
            EXPECT_EQ(settings.endpoint.port, c.port);
            EXPECT_EQ(settings.prefix, c.options.prefix);
        } else {
            EXPECT_TRUE(error.contains(QLatin1String(c.error))) << error.toStdString();
        }
    }
    MqttSettings settings;
    QString error;
    ASSERT_TRUE(readMqttOptions({"h:1", "ledsign", "sign", password}, &settings, &error)) << error.toStdString();
    EXPECT_EQ(settings.endpoint.user, QStringLiteral("sign"));
    EXPECT_EQ(settings.endpoint.password, QStringLiteral("s3cret"));
}

} // namespace
} // namespace ledsign
