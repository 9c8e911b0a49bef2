// A text program as the card plays it: its pages by their times, each text
// drawn by the card from its card text in the run's colour and size.
#include "cardglyphs.h"
#include "cardplayer.h"
#include "textprograminbox.h"

#include "model/materialkinds.h"
#include "protocol/textprogram.h"
#include "protocol/textprogramsender.h"

#include <gtest/gtest.h>

namespace ledsign {
namespace {

TEST(TextProgramPlay, TheCardDrawsEachTextInItsRunsColourAndSize)
{
    card::TextProgramInbox inbox;
    QString why;
    ASSERT_TRUE(inbox.takeDescription("123456789,08:00-12:00.111111111#1#071210141512;", why)) << why.toStdString();
    TFodder m;
    m.kind = kTextProgramKind;
    m.id = QStringLiteral("111111111");
    m.typeCode = 1;
    m.displayMode = 9;
    m.remainTime = 1;
    m.content = QStringLiteral("Green^宋体^12^AB");
    ASSERT_TRUE(inbox.takeMaterialFrame(textProgramMaterialFrame(m, true)).ok);
    ASSERT_TRUE(inbox.complete());

    QDateTime now(QDate(2026, 12, 9), QTime(9, 0));
    const card::CardClock clock([&now] { return now; });
    card::CardPlayer player(clock, 64, 16, 2);
    player.loadTextProgram(inbox);
    player.advanceTo(0);
    ASSERT_EQ(player.currentPage(), 0);
    // "AB" at 16 pixels (point size 12): two cells of 8 from (64 - 16) / 2.
    const QImage panel = player.picture();
    for (int i = 0; i < 2; ++i) {
        const QImage& glyph = card::glyphMask(QChar(u'A' + i), 1, 16);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 8; ++x) {
                const bool on = (glyph.pixel(x, y) & 0xFFFFFF) != 0;
                ASSERT_EQ(panel.pixel(24 + 8 * i + x, y), on ? 0xFF00FF00 : 0xFF000000) << i << " " << x << "," << y;
            }
        }
    }
    // Outside its time the page does not play.
    now = QDateTime(QDate(2026, 12, 9), QTime(12, 0));
    player.advanceTo(500);
    EXPECT_EQ(player.currentPage(), -1);
}

} // namespace
} // namespace ledsign
