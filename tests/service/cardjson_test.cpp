// The card list written as bytes directly parses to what the JSON objects of
// the same cards hold, whatever the names and times.
#include "service/cardjson.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

namespace ledsign {
namespace {

QDateTime at(int y, int mo, int d, int h, int mi, int s, int ms, int offsetSeconds)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::OffsetFromUTC, offsetSeconds);
}

TEST(CardJson, TimesAreUtcWithMillisecondsAsQtWritesThem)
{
    const QDateTime moments[] = {
        at(2026, 12, 10, 14, 5, 9, 7, 0),       at(2024, 2, 29, 23, 59, 59, 999, 0),
        at(2024, 3, 1, 0, 30, 0, 0, 3600),      // the day before in UTC
        at(1970, 1, 1, 0, 0, 0, 0, 0),          at(1969, 12, 31, 23, 59, 59, 999, 0),
        at(2100, 3, 1, 12, 0, 0, 1, -5 * 3600), at(2000, 2, 29, 8, 15, 30, 250, 19800),
        at(1999, 12, 31, 23, 0, 0, 0, -3600),   // the year after in UTC
    };
    for (const QDateTime& m : moments)
        EXPECT_EQ(isoUtc(m), m.toUTC().toString(Qt::ISODateWithMs).toLatin1()) << m.toString(Qt::ISODateWithMs).toStdString();
}

TEST(CardJson, TheListParsesToTheCardsObjects)
{
    QList<CardStatus> cards;
    const QString names[] = {
        QStringLiteral("Hall 1"), QStringLiteral("quote \" and \\ back"), QStringLiteral("line\nfeed\ttab\r"),
        QStringLiteral("ctl \x01\x1f"), QStringLiteral("\u5927\u5385 \U0001F600"), QString(),
    };
    int n = 0;
    for (const QString& name : names) {
        CardStatus c;
        c.name = name;
        c.online = n % 2 == 0;
        c.width = 64 * (n + 1);
        c.height = 16 + n;
        c.colors = 1 + n % 3;
        c.internalCode = QStringLiteral("1_2_3_4_5_6_7_%1").arg(n);
        if (n != 2)
            c.lastHeard = at(2026, 1 + n, 3, 4, 5, 6, 7 * n, 3600 * n);
        c.send.state = n == 3 ? QStringLiteral("failed") : QStringLiteral("sent");
        c.send.done = n;
        c.send.total = 2 * n;
        if (n == 3)
            c.send.message = QStringLiteral("the card said \"no\"\n");
        cards << c;
        ++n;
    }
    QJsonParseError error{};
    const QJsonDocument parsed = QJsonDocument::fromJson(cardListJson(cards), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonArray list = parsed.object().value(QStringLiteral("cards")).toArray();
    ASSERT_EQ(list.size(), cards.size());
    for (qsizetype i = 0; i < cards.size(); ++i)
        EXPECT_EQ(list[i].toObject(), toJson(cards[i])) << i;
    EXPECT_EQ(cardListJson({}), QByteArray("{\"cards\":[]}"));
}

} // namespace
} // namespace ledsign
