// Sending a text program: the description first, the materials one per tick
// after the card's confirmation, and the RS-485 route.
#include "model/codec.h"
#include "protocol/frame.h"
#include "protocol/rs485packet.h"
#include "protocol/textprogram.h"
#include "protocol/textprogramsender.h"

#include <gtest/gtest.h>


using namespace ledsign;

namespace {

struct SendFixture {
    ProjectModel model;
    TextProgram tp{model};
    QList<QByteArray> written;
    QStringList page;
    QStringList materialIds;
    TextProgramSender sender{model,
                             [this](TFIXModem&, const QByteArray& b) {
                                 written << b;
                                 return qint64(b.size());
                             },
                             [](TFodder& m, bool last) {
                                 return QByteArray("M:") + m.id.toLatin1() + (last ? ":end" : "");
                             }};

    SendFixture()
    {
        TFIXModem card;
        card.name = QStringLiteral("Card1");
        card.internalCode = QStringLiteral("1_0_0_0_0_0_0_2");
        card.linkKind = 2;
        model.addCard(card);
        TextMaterialForm f;
        f.name = QStringLiteral("m");
        f.playTimes = QStringLiteral("1");
        f.displayMode = 0;
        f.displaySpeed = 0;
        f.remainTime = QStringLiteral("0");
        f.editorText = QStringLiteral("x");
        f.contentAttribute = 0;
        page << tp.addPage(QStringLiteral("P"), QTime(0, 0), QTime(23, 59), {});
        materialIds << tp.addMaterial(page[0], f, QStringLiteral("Red^Arial^10^a"));
        materialIds << tp.addMaterial(page[0], f, QStringLiteral("Red^Arial^10^b"));
    }
};

} // namespace

TEST(TextProgramSender, DescriptionThenOneMaterialPerTick)
{
    SendFixture f;
    QList<bool> ticks;
    QObject::connect(&f.sender, &TextProgramSender::ticksWanted, [&](bool running) { ticks << running; });
    ASSERT_EQ(f.sender.start(QStringLiteral("Card1"), f.page, false), TextProgramSender::Start::Sent);
    ASSERT_EQ(f.written.size(), 1);
    EXPECT_EQ(frame::command(f.written[0]), 0x22);
    EXPECT_EQ(codec::decode(frame::data(f.written[0])), f.sender.lastDescription());

    EXPECT_FALSE(f.sender.tick()) << "nothing before the confirmation";
    EXPECT_FALSE(f.sender.confirmed(QStringLiteral("Other")));
    ASSERT_TRUE(f.sender.confirmed(QStringLiteral("Card1")));
    EXPECT_EQ(ticks, QList<bool>{true});

    ASSERT_TRUE(f.sender.tick());
    EXPECT_FALSE(f.sender.materialConfirmed(QStringLiteral("Card1"))) << "one material still waits";
    ASSERT_TRUE(f.sender.tick());
    EXPECT_FALSE(f.sender.tick());
    ASSERT_EQ(f.written.size(), 3);
    EXPECT_EQ(f.written[1], "M:" + f.materialIds[0].toLatin1());
    EXPECT_EQ(f.written[2], "M:" + f.materialIds[1].toLatin1() + ":end");
    EXPECT_TRUE(f.sender.materialConfirmed(QStringLiteral("Card1")));
    EXPECT_EQ(ticks, (QList<bool>{true, false}));
}

TEST(TextProgramSender, RefusesWhatCannotBeSent)
{
    SendFixture f;
    EXPECT_EQ(f.sender.start(QStringLiteral("Nobody"), f.page, false), TextProgramSender::Start::NoCard);
    f.page << f.tp.addPage(QStringLiteral("Empty"), QTime(0, 0), QTime(1, 0), {});
    EXPECT_EQ(f.sender.start(QStringLiteral("Card1"), f.page, false), TextProgramSender::Start::EmptyPage);
    EXPECT_TRUE(f.written.isEmpty());
    ProjectModel empty;
    TextProgramSender none(empty, [](TFIXModem&, const QByteArray&) { return qint64(0); }, {});
    EXPECT_EQ(none.start(QStringLiteral("Card1"), {}, false), TextProgramSender::Start::NoMaterials);
}

TEST(TextProgramSender, Rs485QueuesHeaderPacketsAndEncodesMaterialsAtOnce)
{
    SendFixture f;
    ASSERT_EQ(f.sender.start(QStringLiteral("Card1"), f.page, true), TextProgramSender::Start::Sent);
    const TFIXModem* card = f.model.findCard(QStringLiteral("Card1")).record;
    ASSERT_EQ(card->headerParts.size(), 1);
    EXPECT_EQ(card->headerParts[0].headerKind, 1);
    ASSERT_EQ(f.written.size(), 1);
    EXPECT_EQ(f.written[0], card->headerParts[0].bytes);
    rs485::Packet packet;
    ASSERT_TRUE(rs485::read(f.written[0], packet));
    EXPECT_TRUE(packet.crcOk);
    EXPECT_EQ(packet.address[0], 1);
    EXPECT_EQ(packet.address[7], 2);
    EXPECT_EQ(frame::command(packet.payload), 0x22);
    ASSERT_EQ(card->materialPackets.size(), 2);
    EXPECT_TRUE(card->materialPackets[1].bytes.endsWith(":end"));
}

TEST(TextProgramSender, MaterialFrameCarriesTheEndMarkerOnlyWhenLast)
{
    SendFixture f;
    TFodder m = *f.tp.material(f.materialIds[0]);
    const QByteArray plain = textProgramMaterialFrame(m, false);
    ASSERT_TRUE(frame::isWellFormed(plain));
    EXPECT_EQ(frame::command(plain), 0x31);
    EXPECT_TRUE(frame::data(plain).startsWith(m.id.toLatin1()));
    const QByteArray last = textProgramMaterialFrame(m, true);
    ASSERT_TRUE(frame::isWellFormed(last));
    EXPECT_EQ(frame::data(last).size(), frame::data(plain).size() + 3);
    EXPECT_TRUE(frame::data(last).contains("-1,"));
    EXPECT_FALSE(frame::data(plain).contains("-1,"));
}
