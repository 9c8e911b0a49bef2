#include "editing/panelpicture.h"
#include "editingfixture.h"
#include "model/materialkinds.h"

namespace ledsign::test {
namespace {

TEST(PanelPicture, ComputedKindsShowTheirTextAndEmptyKindsNothing)
{
    setCurrentLanguage(kEnglish);
    const QImage time = panelPicture(defaultMaterial(kDateTime), QSize(64, 16));
    ASSERT_FALSE(time.isNull());
    EXPECT_EQ(time.size(), QSize(64, 16));
    // Something is lit: the date is drawn.
    bool lit = false;
    for (int y = 0; y < time.height() && !lit; ++y) {
        for (int x = 0; x < time.width() && !lit; ++x)
            lit = qRed(time.pixel(x, y)) > 0 || qGreen(time.pixel(x, y)) > 0;
    }
    EXPECT_TRUE(lit);
    EXPECT_TRUE(panelPicture(defaultMaterial(kQueue), QSize(64, 16)).isNull());
    EXPECT_TRUE(panelPicture(defaultMaterial(kDateTime), QSize(0, 16)).isNull());
}

} // namespace
} // namespace ledsign::test
