// The request gate: what it lets through and what it refuses before a body
// is read, whatever way the bytes are cut.
#include "requestgate.h"

#include <gtest/gtest.h>

namespace ledsign::service {
namespace {

// 100 bytes for a playbill, 10 elsewhere.
qint64 limit(QByteArrayView, QByteArrayView target)
{
    return target.toByteArray().endsWith("/playbill") ? 100 : 10;
}

struct Case {
    const char* what;
    QByteArray stream;
    int status; // 0: passes
};

TEST(RequestGate, RefusesBeforeTheBodyWhateverTheCutting)
{
    const QByteArray get = "GET /api/cards HTTP/1.1\r\nHost: x\r\n\r\n";
    const Case cases[] = {
        {"a request without a body", get, 0},
        {"two requests one after the other", get + get, 0},
        {"a body within the limit, then the next request",
         "PUT /api/cards/a/texts/t HTTP/1.1\r\nContent-Length: 10\r\n\r\n0123456789" + get, 0},
        {"a playbill's larger limit", "PUT /api/cards/a/playbill HTTP/1.1\r\ncontent-length: 100\r\n\r\n" + QByteArray(100, 'x'), 0},
        {"blank lines between requests", get + "\r\n\r\n" + get, 0},
        {"a body over the limit", "PUT /api/cards/a/texts/t HTTP/1.1\r\nContent-Length: 11\r\n\r\n", 413},
        {"the second request over the limit",
         get + "PUT /api/cards/a/texts/t HTTP/1.1\r\nContent-Length: 99999999999\r\n\r\n", 413},
        {"a body of unknown length", "PUT /x HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n", 400},
        {"two different lengths", "PUT /x HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab", 400},
        {"a length that is not a number", "PUT /x HTTP/1.1\r\nContent-Length: -1\r\n\r\n", 400},
        {"a request line that is not one", "HELLO\r\n\r\n", 400},
        {"a head that never ends", "GET /" + QByteArray(kRequestHeadMax + 10, 'a'), 400},
        {"a body longer than said runs into the next head",
         "PUT /api/cards/a/texts/t HTTP/1.1\r\nContent-Length: 2\r\n\r\nab" + QByteArray(kRequestHeadMax + 10, 'c'), 400},
    };
    for (const Case& c : cases) {
        for (const int chunk : {1, 7, 4096, 1 << 30}) {
            RequestGate gate(limit);
            bool open = true;
            for (qsizetype at = 0; at < c.stream.size() && open; at += chunk)
                open = gate.take(c.stream.constData() + at, std::min<qint64>(chunk, c.stream.size() - at));
            EXPECT_EQ(open, c.status == 0) << c.what << ", chunks of " << chunk;
            EXPECT_EQ(gate.refusal().status, c.status) << c.what << ", chunks of " << chunk;
        }
    }
}

TEST(RequestGate, SaysWhenARequestWaitsToBeToldToGoOn)
{
    RequestGate gate(limit);
    const QByteArray head = "PUT /api/cards/a/playbill HTTP/1.1\r\nExpect: 100-continue\r\nContent-Length: 50\r\n\r\n";
    ASSERT_TRUE(gate.take(head.constData(), head.size()));
    EXPECT_TRUE(gate.takeContinueWanted());
    EXPECT_FALSE(gate.takeContinueWanted()) << "once";

    RequestGate refused(limit);
    const QByteArray big = "PUT /x HTTP/1.1\r\nExpect: 100-continue\r\nContent-Length: 50\r\n\r\n";
    EXPECT_FALSE(refused.take(big.constData(), big.size()));
    EXPECT_FALSE(refused.takeContinueWanted()) << "a refused body is not asked for";
}

} // namespace
} // namespace ledsign::service
