// Typed internal codes, the card that may take a reported code, and cards
// that share a playbill file.
#include "language/language.h"
#include "model/cardtie.h"
#include "model/projectmodel.h"

#include <gtest/gtest.h>

using namespace ledsign;

TEST(CardTie, TypedCodesAreCheckedAndOnlyAnOfflineCardWithoutACodeMayTakeOne)
{
    EXPECT_EQ(parseInternalCode(QStringLiteral(" 1_0_0_0_0_0_0_2 ")), QStringLiteral("1_0_0_0_0_0_0_2"));
    EXPECT_EQ(parseInternalCode(QStringLiteral("01_002_255_0_ 9_0_0_0")), QStringLiteral("1_2_255_0_9_0_0_0"));
    for (const char* bad : {"", "1_2_3_4_5_6_7", "1_2_3_4_5_6_7_8_9", "1_2_3_256_5_6_7_8", "1_2_3_-4_5_6_7_8",
                            "1_2_3_+4_5_6_7_8", "1_2_3__5_6_7_8", "1_2_3_x_5_6_7_8", "1.2.3.4.5.6.7.8", "0x1_2_3_4_5_6_7_8"})
        EXPECT_FALSE(parseInternalCode(QString::fromLatin1(bad))) << bad;
    EXPECT_TRUE(isPlaceholderCode(QStringLiteral("00_00_00_00_00_00_00_00")));
    EXPECT_TRUE(isPlaceholderCode(QStringLiteral("255_255_255_255_255_255_255_255")));
    EXPECT_TRUE(isPlaceholderCode(QString()));
    EXPECT_FALSE(isPlaceholderCode(QStringLiteral("0_0_0_0_0_0_0_1")));

    ProjectModel model;
    TFIXModem made;
    made.name = QStringLiteral("Hall");
    giveNewCardDefaults(made);
    EXPECT_TRUE(made.ipAddress.isEmpty());
    model.addCard(made);
    TFIXModem known = made;
    known.name = QStringLiteral("Gate");
    known.internalCode = QStringLiteral("1_2_3_4_5_6_7_8");
    model.addCard(known);
    EXPECT_EQ(tieCandidate(model, QStringLiteral("Hall")), QStringLiteral("Hall"));
    EXPECT_EQ(tieCandidate(model, QStringLiteral("Gate")), QString()) << "has a code of its own";
    EXPECT_EQ(tieCandidate(model, QString()), QString()) << "nothing selected";
    model.findCard(QStringLiteral("Hall")).record->online = 1;
    EXPECT_EQ(tieCandidate(model, QStringLiteral("Hall")), QString()) << "on the line already";

    // The index hears of the new code: the card is found by it at once.
    EXPECT_TRUE(model.findCardsByInternalCode(QStringLiteral("9_9_9_9_9_9_9_9")).isEmpty());
    EXPECT_FALSE(giveInternalCode(model, QStringLiteral("Hall"), QStringLiteral("9_9_9")));
    EXPECT_TRUE(giveInternalCode(model, QStringLiteral("Hall"), QStringLiteral("09_9_9_9_9_9_9_9")));
    EXPECT_EQ(model.findCardsByInternalCode(QStringLiteral("9_9_9_9_9_9_9_9")), QList<qsizetype>{0});
    EXPECT_FALSE(giveInternalCode(model, QStringLiteral("Nobody"), QStringLiteral("9_9_9_9_9_9_9_9")));
}

TEST(CardTie, CardsOnOnePlaybillFileAreNamed)
{
    setCurrentLanguage(kEnglish);
    ProjectModel model;
    for (const char* name : {"A", "B", "C"}) {
        TFIXModem c;
        c.name = QString::fromLatin1(name);
        model.addCard(c);
    }
    model.cards()[0].programFile = QStringLiteral("/data/prgFiles/show.prg");
    model.cards()[1].programFile = QStringLiteral("/data/prgFiles/../prgFiles/show.prg");
    model.cards()[2].programFile = QStringLiteral("/data/prgFiles/other.prg");
    EXPECT_EQ(cardsSharingPlaybill(model, QStringLiteral("A"), model.cards()[0].programFile), QStringList{"B"});
    EXPECT_EQ(cardsSharingPlaybill(model, QStringLiteral("C"), QStringLiteral("/data/prgFiles/show.prg")),
              (QStringList{"A", "B"}));
    EXPECT_TRUE(cardsSharingPlaybill(model, QStringLiteral("C"), model.cards()[2].programFile).isEmpty());
    EXPECT_TRUE(cardsSharingPlaybill(model, QStringLiteral("C"), QString()).isEmpty());
    EXPECT_EQ(sharedPlaybillText({QStringLiteral("A"), QStringLiteral("B")}, QStringLiteral("/x.prg")),
              QStringLiteral("Cards A, B use one playbill file, /x.prg: saving one of them writes over the playbill "
                             "of the others. Save each card's playbill under a name of its own."));
}
