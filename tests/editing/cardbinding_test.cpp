// A region cut to the size of the card it was bound to: the part inside the
// card stays; a region wholly outside is brought in at the nearer edge.
#include "editing/cardbinding.h"

#include <gtest/gtest.h>

namespace ledsign::test {
namespace {

TEST(CardBinding, RegionsAreCutToTheCardOrBroughtInAtTheNearerEdge)
{
    const struct {
        QRect region;
        QSize card;
        QRect cut;
    } cases[] = {
        {{0, 0, 64, 32}, {32, 16}, {0, 0, 32, 16}},    // wider and higher: cut at both edges
        {{8, 4, 16, 8}, {32, 16}, {8, 4, 16, 8}},      // inside: as it was
        {{24, 0, 16, 16}, {32, 16}, {24, 0, 8, 16}},   // over the right edge: 8 left
        {{40, 20, 16, 8}, {32, 16}, {16, 8, 16, 8}},   // wholly right of and below: in at the far edges
        {{40, 0, 64, 16}, {32, 16}, {0, 0, 32, 16}},   // outside and wider than the card: the whole width
        {{-8, -4, 16, 8}, {32, 16}, {0, 0, 8, 4}},     // over the top-left corner
        {{-20, 0, 16, 8}, {32, 16}, {0, 0, 16, 8}},    // wholly left: in at the left edge
    };
    for (const auto& c : cases)
        EXPECT_EQ(clippedToCard(c.region, c.card), c.cut) << c.region.x() << "," << c.region.y();
}

} // namespace
} // namespace ledsign::test
