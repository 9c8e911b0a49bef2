// Undo and redo while a playbill goes to a running ledsign-card and after:
// the queued download stays as it was built, the card receives the whole
// playbill, a send leaves no step, and undo and redo keep what the send
// wrote into the materials.
#include "cardlinkfixture.h"

#include "editing/projectdocument.h"

#include <QUndoStack>

namespace ledsign::test {
namespace {

const QString kCode = QStringLiteral("1_2_3_4_5_6_7_8");

QList<QByteArray> queuedBytes(const TFIXModem& card)
{
    QList<QByteArray> bytes;
    for (const rSendFdrContent& p : card.materialPackets)
        bytes << p.bytes;
    return bytes;
}

TEST(UndoAndSend, UndoNeverChangesWhatIsSentAndASendLeavesNoStep)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    const quint16 port = freeTcpPort();
    ASSERT_NE(port, 0);
    writeIni(home.path() + "/SetCfg.ini", {{"CommSet", "CommMode", "Network"},
                                            {"CommSet", "CommParam01", ""},
                                            {"CommSet", "CommParam02", QString::number(port)},
                                            {"LgType", "LgType", "2"}});
    LinkedRun run = startLinkedRun(home.path());
    CardProcess card;
    ASSERT_TRUE(card.start({"--tcp", QStringLiteral("127.0.0.1:%1").arg(port), "--code", kCode}));
    ASSERT_TRUE(waitFor([&] { return run.window->tree()->shownState(kCode) == kNodeOnline; }, 5000));

    run.window->selectCard(kCode);
    run.trigger(ActionId::AddPrg);
    run.trigger(ActionId::AddRgn);
    const NodePath region = run.window->selection().node();
    addMaterial(run, ActionId::SglTxt);
    run.window->selectNode(addMaterial(run, ActionId::SglTxt));
    const QString unedited = run.model().materials().at(run.window->selection().materialIndex(run.model())).content;
    run.dialogs->texts.push_back(QStringLiteral("second"));
    run.window->showMaterialEditor(run.window->selection().materialIndex(run.model()));
    const QString second = run.window->selection().node().material;
    QUndoStack& stack = *run.window->document().stackOf(kCode);
    const int steps = stack.count();
    ASSERT_EQ(run.window->undoAction()->text(), QStringLiteral("Undo Edit Text"));

    const TFIXModem* record = run.model().findCard(kCode).record;
    run.trigger(ActionId::Send);
    ASSERT_TRUE(waitFor([&] { return !record->materialPackets.isEmpty(); }, 5000));
    const QList<QByteArray> queued = queuedBytes(*record);
    // Undone while the download runs: the text goes back in the records,
    // the queued frames stay as they were built.
    run.window->undoAction()->trigger();
    EXPECT_EQ(run.model().findMaterial(kCode, region.page, region.region, second).record->content, unedited);
    EXPECT_EQ(queuedBytes(*run.model().findCard(kCode).record), queued);
    ASSERT_TRUE(waitFor([&] { return run.window->statusText(4) == GetLgText(3, "tip_program_sent"); }, 10000))
        << run.window->statusText(4).toStdString();
    ASSERT_TRUE(card.waitForLine("playbill complete materials=2", 3000));
    EXPECT_TRUE(card.errorLines().isEmpty()) << card.errorLines().join(u'\n').toStdString();
    EXPECT_EQ(stack.count(), steps);
    EXPECT_EQ(stack.index(), steps - 1);

    // What the send wrote into the materials (send numbers, the last-of-card
    // flag) stays through undo and redo.
    auto secondMaterial = [&] { return *run.model().findMaterial(kCode, region.page, region.region, second).record; };
    ASSERT_EQ(secondMaterial().sendNo, 2);
    const auto flags = secondMaterial().downloadFlags;
    run.window->redoAction()->trigger();
    EXPECT_EQ(secondMaterial().content, QStringLiteral("second"));
    EXPECT_EQ(secondMaterial().sendNo, 2);
    EXPECT_EQ(secondMaterial().downloadFlags, flags);
    run.window->undoAction()->trigger();
    EXPECT_EQ(secondMaterial().sendNo, 2);

    // A send after the edits: still no step, and the card gets it whole.
    run.window->redoAction()->trigger();
    run.trigger(ActionId::Send);
    ASSERT_TRUE(card.waitForLine("playbill complete materials=2", 10000));
    EXPECT_EQ(stack.count(), steps);
    EXPECT_EQ(stack.index(), steps);
    EXPECT_EQ(run.window->undoAction()->text(), QStringLiteral("Undo Edit Text"));
    endRun(run);
}

} // namespace
} // namespace ledsign::test
