// The server's side of card connections on the shared epoll set: what each
// client sends arrives on its own connection, in order; a write larger than
// the socket takes at once arrives whole; a client that closes leaves what
// it sent readable and reports the close; closing from the program's side
// reaches the client; and a server out of files says so once and accepts
// again when files are free.
#include "transport/cardserver.h"
#include "transport/filelimit.h"
#include "transport/waitfor.h"

#include <QTcpSocket>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <map>
#include <memory>
#include <vector>

using namespace ledsign;
using ledsign::test::spin;
using ledsign::test::waitFor;

namespace {

struct ServerFixture : ::testing::Test {
    CardServer server;
    QList<QTcpSocket*> accepted;
    QList<QTcpSocket*> closed;
    std::map<QTcpSocket*, QByteArray> received;
    // As the connection stood when it was reported closed (it is deleted
    // on a later turn of the loop).
    QList<QAbstractSocket::SocketState> closedStates;
    QList<qint64> lateWrites;

    void SetUp() override
    {
        QObject::connect(&server, &CardServer::connectionAccepted, [this](QTcpSocket* c) { accepted.append(c); });
        QObject::connect(&server, &CardServer::connectionClosed, [this](QTcpSocket* c) {
            // What was left unread goes with the connection's last words.
            received[c] += c->readAll();
            closedStates.append(c->state());
            lateWrites.append(c->write("late"));
            closed.append(c);
        });
        QObject::connect(&server, &CardServer::dataWaiting,
                         [this](QTcpSocket* c) { received[c] += c->readAll(); });
        ASSERT_TRUE(server.open(0, QHostAddress::LocalHost));
    }

    std::unique_ptr<QTcpSocket> connectClient()
    {
        auto client = std::make_unique<QTcpSocket>();
        client->connectToHost(QHostAddress::LocalHost, server.port());
        return client;
    }

    // The server's side of a client, found by its port.
    QTcpSocket* serverSideOf(const QTcpSocket& client) const
    {
        for (QTcpSocket* c : accepted) {
            if (c->peerPort() == client.localPort())
                return c;
        }
        return nullptr;
    }
};

QByteArray pattern(int seed, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((seed * 131 + i * 7) & 0xFF);
    return bytes;
}

} // namespace

TEST_F(ServerFixture, EveryClientsBytesArriveOnItsOwnConnectionInOrder)
{
    constexpr int kClients = 60;
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < kClients; ++i)
        clients.push_back(connectClient());
    ASSERT_TRUE(waitFor([&] { return accepted.size() == kClients; }, 10000)) << accepted.size();
    for (QTcpSocket* c : std::as_const(accepted)) {
        EXPECT_EQ(c->state(), QAbstractSocket::ConnectedState);
        EXPECT_EQ(c->peerAddress().toIPv4Address(), QHostAddress(QHostAddress::LocalHost).toIPv4Address());
        EXPECT_EQ(c->localPort(), server.port());
    }
    // Three pieces per client, interleaved over the clients.
    for (int piece = 0; piece < 3; ++piece) {
        for (int i = 0; i < kClients; ++i)
            clients[size_t(i)]->write(pattern(i * 3 + piece, 100 + i));
        spin(5);
    }
    auto complete = [&] {
        for (int i = 0; i < kClients; ++i) {
            QTcpSocket* side = serverSideOf(*clients[size_t(i)]);
            if (!side || received[side].size() < 3 * (100 + i))
                return false;
        }
        return true;
    };
    ASSERT_TRUE(waitFor(complete, 10000));
    for (int i = 0; i < kClients; ++i) {
        const QByteArray expected = pattern(i * 3, 100 + i) + pattern(i * 3 + 1, 100 + i) + pattern(i * 3 + 2, 100 + i);
        EXPECT_EQ(received[serverSideOf(*clients[size_t(i)])], expected) << "client " << i;
    }
}

TEST_F(ServerFixture, AWriteLargerThanTheSocketTakesArrivesWholeAndInOrder)
{
    auto client = connectClient();
    ASSERT_TRUE(waitFor([&] { return accepted.size() == 1; }));
    // Far more than the kernel buffers of a loopback pair hold while the
    // client reads nothing.
    const QByteArray first = pattern(1, 32 * 1024 * 1024);
    const QByteArray second = pattern(2, 1000);
    EXPECT_EQ(accepted[0]->write(first), first.size());
    EXPECT_EQ(accepted[0]->write(second), second.size());
    EXPECT_GT(accepted[0]->bytesToWrite(), 0);
    QByteArray got;
    ASSERT_TRUE(waitFor([&] {
        got += client->readAll();
        return got.size() >= first.size() + second.size();
    }, 20000)) << got.size();
    EXPECT_TRUE(got == first + second);
    EXPECT_TRUE(waitFor([&] { return accepted[0]->bytesToWrite() == 0; }));
}

TEST_F(ServerFixture, AClientThatClosesLeavesItsLastBytesAndIsReportedClosed)
{
    auto client = connectClient();
    ASSERT_TRUE(waitFor([&] { return accepted.size() == 1; }));
    QTcpSocket* side = accepted[0];
    int disconnects = 0;
    QObject::connect(side, &QTcpSocket::disconnected, [&] { ++disconnects; });
    client->write("last words");
    client->flush();
    client->disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return closed.size() == 1; }));
    EXPECT_EQ(closed[0], side);
    EXPECT_EQ(received[side], QByteArray("last words"));
    EXPECT_EQ(disconnects, 1);
    EXPECT_TRUE(server.connections().isEmpty());
    EXPECT_EQ(closedStates, QList<QAbstractSocket::SocketState>{QAbstractSocket::UnconnectedState});
    // Writing to a connection that is gone fails instead of pretending.
    EXPECT_EQ(lateWrites, QList<qint64>{-1});
}

TEST_F(ServerFixture, ClosingFromTheProgramsSideReachesTheClient)
{
    auto client = connectClient();
    ASSERT_TRUE(waitFor([&] { return accepted.size() == 1; }));
    accepted[0]->write("bye");
    accepted[0]->abort();
    ASSERT_TRUE(waitFor([&] { return closed.size() == 1; }));
    EXPECT_EQ(closedStates, QList<QAbstractSocket::SocketState>{QAbstractSocket::UnconnectedState});
    QByteArray got;
    EXPECT_TRUE(waitFor([&] {
        got += client->readAll();
        return client->state() == QAbstractSocket::UnconnectedState;
    }));
    EXPECT_EQ(got, QByteArray("bye"));
}

namespace {

// Lowers the soft limit of open files of this test process for a while.
class FileLimit {
public:
    explicit FileLimit(rlim_t soft)
    {
        getrlimit(RLIMIT_NOFILE, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = soft;
        m_ok = setrlimit(RLIMIT_NOFILE, &lowered) == 0;
    }
    ~FileLimit() { restore(); }
    void restore()
    {
        if (m_ok)
            setrlimit(RLIMIT_NOFILE, &m_saved);
        m_ok = false;
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_saved {};
    bool m_ok = false;
};

// The lowest descriptor number that is free: with the limit set just above
// it, the process can open that many more files.
int nextFreeDescriptor()
{
    const int fd = dup(0);
    if (fd >= 0)
        close(fd);
    return fd;
}

} // namespace

TEST_F(ServerFixture, OutOfFilesItSaysSoOnceAndAcceptsWhenFilesAreFreeAgain)
{
    int reports = 0;
    QObject::connect(&server, &CardServer::connectionLimitReached, [&] { ++reports; });
    // Three clients connect while the process has files to spare; the
    // system completes their connections before the server accepts them.
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < 3; ++i) {
        clients.push_back(connectClient());
        ASSERT_TRUE(clients.back()->waitForConnected(3000));
    }
    {
        // Room for one accepted connection only.
        FileLimit limit(rlim_t(nextFreeDescriptor() + 1));
        ASSERT_TRUE(limit.ok());
        ASSERT_TRUE(waitFor([&] { return reports > 0; }, 5000));
        // The server keeps trying; the notice is not repeated.
        spin(2500);
        EXPECT_EQ(reports, 1);
        EXPECT_LE(accepted.size(), 1);
    }
    // Files are free again: the waiting cards are taken.
    EXPECT_TRUE(waitFor([&] { return accepted.size() == 3; }, 5000)) << accepted.size();
    EXPECT_EQ(reports, 1);
}

TEST(OpenFileLimit, IsRaisedToTheHardLimit)
{
    rlimit before {};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &before), 0);
    if (before.rlim_max == RLIM_INFINITY || before.rlim_max < 64)
        GTEST_SKIP() << "no finite hard limit to raise to";
    {
        rlimit lowered = before;
        lowered.rlim_cur = std::min<rlim_t>(before.rlim_max, 64);
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    }
    const long now = raiseOpenFileLimit();
    rlimit after {};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &after), 0);
    EXPECT_EQ(after.rlim_cur, before.rlim_max);
    EXPECT_EQ(now, long(before.rlim_max));
    setrlimit(RLIMIT_NOFILE, &before);
}
