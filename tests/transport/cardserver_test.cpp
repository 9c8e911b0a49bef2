// The TCP server on loopback: connections in order of arrival, departures,
// waiting data, and a port another program holds.
#include "transport/cardserver.h"
#include "transport/waitfor.h"

#include <QTcpSocket>
#include <gtest/gtest.h>

#include <memory>

using namespace ledsign;
using ledsign::test::waitFor;

namespace {

std::unique_ptr<QTcpSocket> connectTo(quint16 port)
{
    auto client = std::make_unique<QTcpSocket>();
    client->connectToHost(QHostAddress::LocalHost, port);
    return client;
}

} // namespace

TEST(CardServer, KeepsConnectionsInOrderAndForgetsThoseThatClose)
{
    CardServer server;
    QList<QTcpSocket*> accepted, closed;
    QObject::connect(&server, &CardServer::connectionAccepted, [&](QTcpSocket* c) { accepted.append(c); });
    QObject::connect(&server, &CardServer::connectionClosed, [&](QTcpSocket* c) { closed.append(c); });

    ASSERT_TRUE(server.open(0, QHostAddress::LocalHost));
    const quint16 port = server.port();
    ASSERT_NE(port, 0);

    auto first = connectTo(port);
    ASSERT_TRUE(waitFor([&] { return accepted.size() == 1; }));
    auto second = connectTo(port);
    ASSERT_TRUE(waitFor([&] { return accepted.size() == 2; }));
    EXPECT_EQ(server.connections(), accepted);
    // The peers of the accepted connections are the clients, in order.
    EXPECT_EQ(accepted[0]->peerPort(), first->localPort());
    EXPECT_EQ(accepted[1]->peerPort(), second->localPort());

    first->disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return closed.size() == 1; }));
    EXPECT_EQ(closed[0], accepted[0]);
    ASSERT_EQ(server.connections().size(), 1);
    EXPECT_EQ(server.connections()[0], accepted[1]);

    // Closing from the program's side reports the same way.
    server.closeAllConnections();
    ASSERT_TRUE(waitFor([&] { return closed.size() == 2; }));
    EXPECT_TRUE(server.connections().isEmpty());
}

TEST(CardServer, OpeningTwiceKeepsThePortAndAPortInUseFails)
{
    CardServer server;
    ASSERT_TRUE(server.open(0, QHostAddress::LocalHost));
    const quint16 port = server.port();
    EXPECT_TRUE(server.open(port == 65535 ? 1 : port + 1, QHostAddress::LocalHost));
    EXPECT_EQ(server.port(), port);

    CardServer other;
    EXPECT_FALSE(other.open(port, QHostAddress::LocalHost));
    EXPECT_FALSE(other.isListening());

    // After the first stops listening the port is free again.
    server.close();
    EXPECT_FALSE(server.isListening());
    EXPECT_TRUE(other.open(port, QHostAddress::LocalHost));
}
