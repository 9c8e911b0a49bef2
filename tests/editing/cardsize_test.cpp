// Card sizes no card can have are refused with a message, wherever they
// come from: the new-card window, a size change, the stored card list.
#include "editingfixture.h"

#include "model/cardlist.h"
#include "model/cardsize.h"

namespace ledsign::test {
namespace {

using CardSize = EditingFixture;

TEST_F(CardSize, NewCardsOutsideTheBoundsAreRefused)
{
    for (const auto& [w, h] : {std::pair{"16385", "32"}, std::pair{"64", "100000"}, std::pair{"20000", "20000"}}) {
        const CommandResult r = commands->addCard({QStringLiteral("huge"), w, h, 0});
        EXPECT_FALSE(r.changed) << w << "x" << h;
        EXPECT_TRUE(r.message.contains(QString::fromLatin1(w) + " x " + h)) << r.message.toStdString();
        EXPECT_TRUE(r.message.contains("16384")) << r.message.toStdString();
        EXPECT_FALSE(model->findCard(QStringLiteral("huge")));
    }
    const CommandResult largest = commands->addCard({QStringLiteral("largest"), "16384", "16384", 0});
    EXPECT_TRUE(largest.changed) << largest.message.toStdString();
}

TEST_F(CardSize, ASizeChangeOutsideTheBoundsKeepsTheCard)
{
    const NodePath c = card(QStringLiteral("hall"), 128, 64);
    page(c);
    for (const auto& [w, h] : {std::pair{0, 64}, std::pair{128, -5}, std::pair{70000, 64}}) {
        const CommandResult r = commands->changeCardSize(QStringLiteral("hall"), w, h);
        EXPECT_FALSE(r.changed);
        EXPECT_FALSE(r.message.isEmpty());
        const TFIXModem& hall = *model->findCard(QStringLiteral("hall")).record;
        EXPECT_EQ(hall.width, 128);
        EXPECT_EQ(hall.height, 64);
        EXPECT_EQ(model->pageNames(QStringLiteral("hall")).size(), 1) << "the playbill stays";
    }
    EXPECT_TRUE(commands->changeCardSize(QStringLiteral("hall"), 256, 32).changed);
}

TEST_F(CardSize, AStoredSizeNoCardCanHaveIsNamedAndReplaced)
{
    const auto huge = parseCardListLine(QStringLiteral("hall"), QStringLiteral("99999,32,a.prg,1_2_3_4_5_6_7_8,,,80,1"),
                                        QStringLiteral("/p"));
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->refusedSize, QStringLiteral("99999 x 32"));
    EXPECT_EQ(huge->width, 256);
    EXPECT_EQ(huge->height, 32);
    const auto usual = parseCardListLine(QStringLiteral("hall"), QStringLiteral("16384,8,a.prg,1_2_3_4_5_6_7_8,,,80,1"),
                                         QStringLiteral("/p"));
    ASSERT_TRUE(usual);
    EXPECT_TRUE(usual->refusedSize.isEmpty());
    EXPECT_EQ(usual->width, 16384);
}

} // namespace
} // namespace ledsign::test
