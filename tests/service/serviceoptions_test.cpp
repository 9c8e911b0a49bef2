// ledsignd's options, its token and the comparison of the token.
#include "bearertoken.h"
#include "serviceoptions.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace ledsign::service {
namespace {

TEST(ServiceOptions, ListenAddresses)
{
    const struct {
        const char* text;
        bool ok;
        const char* address;
        quint16 port;
    } cases[] = {
        {"127.0.0.1:8901", true, "127.0.0.1", 8901},
        {"0.0.0.0:0", true, "0.0.0.0", 0},
        {"[::1]:9000", true, "::1", 9000},
        {"::1:9000", false, "", 0},
        {"127.0.0.1", false, "", 0},
        {"127.0.0.1:65536", false, "", 0},
        {"example.org:80", false, "", 0},
        {":8901", false, "", 0},
    };
    for (const auto& c : cases) {
        QHostAddress address;
        quint16 port = 1;
        ASSERT_EQ(parseListenAddress(QLatin1String(c.text), address, port), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(address, QHostAddress(QLatin1String(c.address))) << c.text;
            EXPECT_EQ(port, c.port) << c.text;
        }
    }
}

TEST(ServiceOptions, RefusesWhatCannotRun)
{
    const struct {
        QStringList args;
        ParseResult result;
    } cases[] = {
        {{}, ParseResult::Run},
        {{"--listen", "0.0.0.0:8901"}, ParseResult::Refused}, // not loopback, no token
        {{"--listen", "0.0.0.0:8901", "--token-file", "/t"}, ParseResult::Run},
        {{"--card-port", "70000"}, ParseResult::Refused},
        {{"--baud", "9600"}, ParseResult::Refused},
        {{"--rs485"}, ParseResult::Refused},
        {{"--serial", "/dev/ttyS0", "--card-port", "1"}, ParseResult::Refused},
        {{"--serial", "/dev/ttyS0", "--baud", "19200", "--rs485"}, ParseResult::Run},
        {{"--serial", "/dev/ttyS0", "--baud", "fast"}, ParseResult::Refused},
        {{"extra"}, ParseResult::Refused},
        {{"--mqtt", "127.0.0.1:1883", "--mqtt-prefix", "site/a", "--mqtt-user", "u"}, ParseResult::Run},
        {{"--mqtt-prefix", "site"}, ParseResult::Refused}, // no broker
        {{"--mqtt-password-file", "/p"}, ParseResult::Refused},
        {{"--version"}, ParseResult::Answered},
        {{"--help"}, ParseResult::Answered},
    };
    for (const auto& c : cases) {
        ServiceOptions options;
        QString out;
        QString message;
        const ParseResult r = parseServiceOptions(QStringList{QStringLiteral("ledsignd")} + c.args, options, out, message);
        EXPECT_EQ(r, c.result) << c.args.join(QLatin1Char(' ')).toStdString() << ": " << message.toStdString();
        EXPECT_EQ(message.isEmpty(), r != ParseResult::Refused) << c.args.join(QLatin1Char(' ')).toStdString();
    }
    ServiceOptions options;
    QString out;
    QString message;
    ASSERT_EQ(parseServiceOptions({QStringLiteral("ledsignd"), QStringLiteral("--serial"), QStringLiteral("/dev/ttyUSB1"),
                                   QStringLiteral("--baud"), QStringLiteral("19200"), QStringLiteral("--rs485")},
                                  options, out, message),
              ParseResult::Run);
    EXPECT_EQ(options.fleet.serialDevice, QLatin1String("/dev/ttyUSB1"));
    EXPECT_EQ(options.fleet.baudRate, 19200);
    EXPECT_TRUE(options.fleet.rs485);
    EXPECT_EQ(options.listenAddress, QHostAddress(QHostAddress::LocalHost)) << "loopback by default";
    EXPECT_EQ(options.listenPort, 8901);
}

TEST(ServiceOptions, TokenFileAndBearer)
{
    QTemporaryDir dir;
    const struct {
        QByteArray content;
        bool ok;
    } files[] = {
        {"0123456789abcdef\n", true},
        {"  0123456789abcdefXYZ  \r\n", true},
        {"short\n", false},
        {"0123456789 abcdef\n", false},
        {QByteArray(5000, 'a'), false},
    };
    for (const auto& f : files) {
        const QString path = dir.filePath(QStringLiteral("token"));
        ledsign::test::writeAll(path, f.content);
        QByteArray token;
        QString error;
        EXPECT_EQ(readTokenFile(path, token, error), f.ok) << f.content.left(30).constData();
        EXPECT_EQ(error.isEmpty(), f.ok);
    }
    QByteArray token;
    QString error;
    EXPECT_FALSE(readTokenFile(dir.filePath(QStringLiteral("missing")), token, error));

    const QByteArray t = "0123456789abcdef";
    const struct {
        QByteArray header;
        bool ok;
    } headers[] = {
        {"Bearer 0123456789abcdef", true},
        {"Bearer 0123456789abcdeg", false},
        {"Bearer 0123456789abcde", false},
        {"Bearer 0123456789abcdef0", false},
        {"bearer 0123456789abcdef", false},
        {"Basic 0123456789abcdef", false},
        {"", false},
    };
    for (const auto& h : headers)
        EXPECT_EQ(bearerMatches(h.header, t), h.ok) << h.header.constData();
    EXPECT_FALSE(bearerMatches("Bearer ", QByteArray())) << "no token matches nothing";
}

} // namespace
} // namespace ledsign::service
