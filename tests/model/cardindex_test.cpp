// Look-ups of the card list by name, internal code and connection: they give
// what a walk over the list gives, also after cards were added, removed,
// renamed or lost their connection.
#include "model/projectmodel.h"

#include <QTcpSocket>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {

TFIXModem card(const QString& name, const QString& code)
{
    TFIXModem c;
    c.name = name;
    c.internalCode = code;
    return c;
}

// What the look-ups must give: a walk over the list.
QList<qsizetype> walkByCode(const ProjectModel& model, const QString& code)
{
    QList<qsizetype> found;
    for (qsizetype i = 0; i < model.cards().size(); ++i) {
        if (model.cards()[i].internalCode == code)
            found << i;
    }
    return found;
}

const QString kA = QStringLiteral("1_1_1_1_1_1_1_1");
const QString kB = QStringLiteral("2_2_2_2_2_2_2_2");
const QString kC = QStringLiteral("3_3_3_3_3_3_3_3");

} // namespace

TEST(CardIndex, FindsByNameAndCodeAsAWalkWouldAcrossAddsRemovesAndRenames)
{
    ProjectModel model;
    model.addCard(card(QStringLiteral("north"), kA));
    model.addCard(card(QStringLiteral("south"), kB));
    model.addCard(card(QStringLiteral("twin"), kA)); // two records of one card
    EXPECT_EQ(model.findCard(QStringLiteral("south")).index, 1);
    EXPECT_EQ(model.findCardsByInternalCode(kA), (QList<qsizetype>{0, 2}));
    EXPECT_TRUE(model.findCardsByInternalCode(kC).isEmpty());
    EXPECT_FALSE(model.findCard(QStringLiteral("east")));

    // Cards added after a look-up are found at once.
    model.addCard(card(QStringLiteral("east"), kC));
    EXPECT_EQ(model.findCard(QStringLiteral("east")).index, 3);
    EXPECT_EQ(model.findCardsByInternalCode(kC), QList<qsizetype>{3});

    // A removal moves the cards behind it.
    model.removeCard(QStringLiteral("north"));
    EXPECT_FALSE(model.findCard(QStringLiteral("north")));
    EXPECT_EQ(model.findCard(QStringLiteral("east")).index, 2);
    EXPECT_EQ(model.findCardsByInternalCode(kA), walkByCode(model, kA));
    EXPECT_EQ(model.findCardsByInternalCode(kA), QList<qsizetype>{1});

    // A rename: the old name finds nothing, the new one the card.
    EXPECT_EQ(model.renameCard(QStringLiteral("south"), QStringLiteral("harbour")), QStringLiteral("harbour"));
    EXPECT_FALSE(model.findCard(QStringLiteral("south")));
    EXPECT_EQ(model.findCard(QStringLiteral("harbour")).index, 0);
    EXPECT_EQ(model.findCard(QStringLiteral("harbour")).record, &model.cards()[0]);
}

TEST(CardIndex, FollowsCardsAppendedOrChangedBehindItsBack)
{
    ProjectModel model;
    model.addCard(card(QStringLiteral("one"), kA));
    ASSERT_TRUE(model.findCard(QStringLiteral("one")));
    // Appended to the list directly.
    model.cards().append(card(QStringLiteral("two"), kB));
    EXPECT_EQ(model.findCard(QStringLiteral("two")).index, 1);
    EXPECT_EQ(model.findCardsByInternalCode(kB), QList<qsizetype>{1});

    // A code changed in place: once the model is told, the card is found
    // under its new code and not under its old one.
    model.cards()[0].internalCode = kC;
    model.cardsChanged();
    EXPECT_EQ(model.findCardsByInternalCode(kC), QList<qsizetype>{0});
    EXPECT_TRUE(model.findCardsByInternalCode(kA).isEmpty());
    // Not told, a stale entry is still never returned.
    model.cards()[0].internalCode = kA;
    EXPECT_TRUE(model.findCardsByInternalCode(kC).isEmpty());

    // Removed from the list directly: nothing points past its end.
    model.cards().removeLast();
    EXPECT_FALSE(model.findCard(QStringLiteral("two")));
    EXPECT_TRUE(model.findCardsByInternalCode(kB).isEmpty());
}

TEST(CardIndex, FindsTheCardsOfAConnectionUntilTheyLoseIt)
{
    ProjectModel model;
    QTcpSocket first;
    QTcpSocket second;
    model.addCard(card(QStringLiteral("a"), kA));
    model.addCard(card(QStringLiteral("b"), kB));
    model.addCard(card(QStringLiteral("a2"), kA));
    EXPECT_TRUE(model.findCardsOnConnection(&first).isEmpty());
    EXPECT_TRUE(model.findCardsOnConnection(nullptr).isEmpty());

    // Registered on their connections (the second record of a code too).
    for (qsizetype i : {2, 0}) {
        model.cards()[i].socket = &first;
        model.connectionSet(model.cards()[i]);
    }
    model.cards()[1].socket = &second;
    model.connectionSet(model.cards()[1]);
    EXPECT_EQ(model.findCardsOnConnection(&first), (QList<qsizetype>{0, 2}));
    EXPECT_EQ(model.findCardsOnConnection(&second), QList<qsizetype>{1});

    // A card that lost its connection is no longer found on it.
    model.cards()[0].socket = nullptr;
    EXPECT_EQ(model.findCardsOnConnection(&first), QList<qsizetype>{2});

    // After a removal the indexes follow the list.
    model.removeCard(QStringLiteral("a"));
    EXPECT_EQ(model.findCardsOnConnection(&first), QList<qsizetype>{1});
    EXPECT_EQ(model.findCardsOnConnection(&second), QList<qsizetype>{0});
}

TEST(CardIndex, ACopiedModelLooksUpInItsOwnList)
{
    ProjectModel model;
    model.addCard(card(QStringLiteral("x"), kA));
    ASSERT_TRUE(model.findCard(QStringLiteral("x")));
    ProjectModel copy = model;
    copy.addCard(card(QStringLiteral("y"), kB));
    EXPECT_EQ(copy.findCard(QStringLiteral("y")).record, &copy.cards()[1]);
    EXPECT_FALSE(model.findCard(QStringLiteral("y")));
    EXPECT_EQ(copy.findCard(QStringLiteral("x")).record, &copy.cards()[0]);
}
