// The text-program window's rules without the window: checks, the content
// cut, the ".tprg" file, the description and its frame.
#include "model/codec.h"
#include "protocol/frame.h"
#include "protocol/textprogram.h"
#include "protocol/textprogramfile.h"
#include "protocol/textprogramsend.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>

using namespace ledsign;

namespace {

TextMaterialForm filledForm(const QString& text = QStringLiteral("hello"))
{
    TextMaterialForm f;
    f.name = QStringLiteral(" M1 ");
    f.playTimes = QStringLiteral("2");
    f.displayMode = 1;
    f.displaySpeed = 3;
    f.remainTime = QStringLiteral("4");
    f.editorText = text;
    f.contentAttribute = 5;
    f.color = 0;
    f.font = 0;
    f.size = 1;
    return f;
}

} // namespace

TEST(TextProgram, PageTimesAndName)
{
    const QTime t(8, 30);
    EXPECT_TRUE(TextProgram::checkPage(QStringLiteral("P"), t, t).ok) << "equal start and end are accepted";
    const auto earlier = TextProgram::checkPage(QStringLiteral("P"), t, QTime(8, 29));
    EXPECT_FALSE(earlier.ok);
    EXPECT_EQ(earlier.key, QStringLiteral("warn_start_time_exceed"));
    const auto noName = TextProgram::checkPage(QStringLiteral("  "), t, QTime(9, 0));
    EXPECT_EQ(noName.key, QStringLiteral("warn_enter_page_name"));

    ProjectModel model;
    TextProgram tp(model);
    const QString id = tp.addPage(QStringLiteral(" Morning "), QTime(7, 5), QTime(9, 0), QStringLiteral("每天"));
    ASSERT_EQ(tp.pages().size(), 1);
    const TProgram* page = tp.page(id);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->name, QStringLiteral("Morning"));
    EXPECT_EQ(page->startTime, QStringLiteral("07:05"));
    EXPECT_EQ(page->textProgramPage, 1);
    EXPECT_TRUE(model.pageNames(QString()).isEmpty()) << "no card owns a text-program page";
}

TEST(TextProgram, MaterialChecksInOrder)
{
    struct Case {
        std::function<void(TextMaterialForm&)> spoil;
        const char* key;
    };
    const QList<Case> cases{
        {[](auto& f) { f.name = QStringLiteral(" "); }, "warn_material_enter_name"},
        {[](auto& f) { f.playTimes.clear(); }, "warn_play_times_empty"},
        {[](auto& f) { f.displayMode = -1; }, "warn_select_mode"},
        {[](auto& f) { f.displaySpeed = -1; }, "warn_select_speed"},
        {[](auto& f) { f.remainTime = QStringLiteral("x"); }, "warn_residence_time_empty"},
        {[](auto& f) { f.editorText = QStringLiteral(" \n"); }, "warn_material_empty"},
        {[](auto& f) { f.contentAttribute = -1; }, "warn_select_content_Attr"},
        {[](auto& f) { f.color = -1; }, "warn_select_font_color"},
        {[](auto& f) { f.font = -1; }, "warn_select_font"},
        {[](auto& f) { f.size = -1; }, "warn_select_font_size"},
    };
    for (const Case& c : cases) {
        TextMaterialForm f = filledForm();
        c.spoil(f);
        // The name failure comes first even when everything else is wrong too.
        const auto r = TextProgram::checkMaterial(f, false);
        EXPECT_FALSE(r.ok) << c.key;
        EXPECT_EQ(r.key, QString::fromLatin1(c.key));
    }
    TextMaterialForm none;
    EXPECT_EQ(TextProgram::checkMaterial(none, false).key, QStringLiteral("warn_material_enter_name"));

    EXPECT_TRUE(TextProgram::checkMaterial(filledForm(QString(256, u'a')), true).ok);
    const auto tooLong = TextProgram::checkMaterial(filledForm(QString(257, u'a')), true);
    EXPECT_EQ(tooLong.key, QStringLiteral("warn_material_485_maximum"));
    EXPECT_TRUE(tooLong.messageBox);
    EXPECT_TRUE(TextProgram::checkMaterial(filledForm(QString(257, u'a')), false).ok);
}

TEST(TextProgram, ContentCutAt3500)
{
    const QString head = QStringLiteral("Red^Arial^10^");
    const QString oneRun = head + QString(3501 - head.size(), u'x');
    ASSERT_EQ(oneRun.size(), 3501);
    ContentCut cut = cutTextProgramContent(oneRun);
    EXPECT_EQ(cut.content.size(), 3500);
    EXPECT_EQ(cut.rest, QStringLiteral("Red^Arial^10^x")) << "one character left, with the run's look";

    // Character 3500 begins a two-byte character: the cut moves one back.
    QString wide = head + QString(3499 - head.size(), u'x') + QStringLiteral("中文");
    ASSERT_EQ(wide.size(), 3501);
    cut = cutTextProgramContent(wide);
    EXPECT_EQ(cut.content.size(), 3499);
    EXPECT_EQ(cut.rest, head + QStringLiteral("中文"));

    const QString fits = head + QString(3500 - head.size(), u'y');
    cut = cutTextProgramContent(fits);
    EXPECT_EQ(cut.content, fits);
    EXPECT_TRUE(cut.rest.isEmpty());

    // Several runs: whole runs while they fit.
    const QString runA = head + QString(2000, u'a');
    const QString runB = head + QString(1400, u'b');
    const QString runC = head + QString(100, u'c');
    cut = cutTextProgramContent(runA + u'>' + runB + u'>' + runC);
    EXPECT_EQ(cut.content, runA + u'>' + runB);
    EXPECT_EQ(cut.rest, runC);
    cut = cutTextProgramContent(runA + u'>' + runA);
    EXPECT_EQ(cut.content, runA);
    EXPECT_EQ(cut.rest, runA);
}

TEST(TextProgram, LimitsCountTheCardsBytesNotCharacters)
{
    const QString head = QStringLiteral("Red^Arial^10^"); // 13 bytes
    const QChar zhong(0x4E2D);                            // two bytes on the card
    // 13 + 1999 * 2 + 1 = 4012 bytes in 2013 characters: it must be cut.
    const QString markup = head + QString(1999, zhong) + u'x';
    ContentCut cut = cutTextProgramContent(markup);
    // 3500 bytes would end on the first byte of the 1744th character, so the
    // cut comes after byte 3499: the head and 1743 characters.
    EXPECT_EQ(cut.content, head + QString(1743, zhong));
    EXPECT_EQ(cut.rest, head + QString(256, zhong) + u'x');

    // Several runs: 2013 + 1 + 1413 = 3427 bytes fit, the third run not.
    const QString runA = head + QString(1000, zhong);
    const QString runB = head + QString(700, zhong);
    const QString runC = head + QString(50, zhong);
    cut = cutTextProgramContent(runA + u'>' + runB + u'>' + runC);
    EXPECT_EQ(cut.content, runA + u'>' + runB);
    EXPECT_EQ(cut.rest, runC);

    // On the RS-485 line at most 256 bytes: 128 Chinese characters, not 129.
    EXPECT_TRUE(TextProgram::checkMaterial(filledForm(QString(128, zhong)), true).ok);
    const auto tooLong = TextProgram::checkMaterial(filledForm(QString(129, zhong)), true);
    EXPECT_EQ(tooLong.key, QStringLiteral("warn_material_485_maximum"));
    EXPECT_FALSE(TextProgram::checkMaterial(filledForm(QString(255, u'a') + zhong), true).ok) << "257 bytes";
    EXPECT_TRUE(TextProgram::checkMaterial(filledForm(QString(129, zhong)), false).ok);
}

TEST(TextProgram, FileRoundTripKeepsFieldsAndMarksSpacesInNames)
{
    ProjectModel model;
    TextProgram tp(model);
    const QString pageId = tp.addPage(QStringLiteral("my page"), QTime(6, 0), QTime(22, 30), QStringLiteral("每天"));
    const QString content = QStringLiteral("Red^宋体^10^你好 world。");
    tp.addMaterial(pageId, filledForm(), content);
    ASSERT_TRUE(tp.hasContent());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.tprg"));
    QString error;
    ASSERT_TRUE(saveTextProgramFile(path, tp.data(), &error)) << error.toStdString();
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    EXPECT_TRUE(bytes.startsWith("[ProgramList]\r\nmy page,"));
    EXPECT_TRUE(bytes.contains(codec::encode(QStringLiteral("你好"))));
    EXPECT_TRUE(bytes.contains(",071210141512," + pageId.toLatin1() + ","));

    const QDateTime loadTime(QDate(2026, 12, 9), QTime(8, 0));
    TextProgramData read;
    ASSERT_TRUE(loadTextProgramFile(path, read, loadTime, QStringLiteral("每天"), &error));
    ASSERT_EQ(read.pages.size(), 1);
    EXPECT_EQ(read.pages[0].name, QStringLiteral("my※☆page"));
    EXPECT_EQ(read.pages[0].endTime, QStringLiteral("22:30"));
    EXPECT_EQ(read.pages[0].playDate, QStringLiteral("2026-12-02 08:00:00"));
    EXPECT_EQ(read.pages[0].textProgramPage, 1);
    ASSERT_EQ(read.materials.size(), 1);
    const TFodder& m = read.materials[0];
    EXPECT_EQ(m.name, QStringLiteral("M1"));
    EXPECT_EQ(m.content, content) << "the card's text keeps its spaces";
    EXPECT_EQ(m.spare1C, pageId);
    EXPECT_EQ(m.kind, -1);
    EXPECT_EQ(m.playTimes, 2);
    EXPECT_EQ(m.displayMode, 1);
    EXPECT_EQ(m.displaySpeed, 3);
    EXPECT_EQ(m.remainTime, 4);
    EXPECT_EQ(m.typeCode, 6);
}

TEST(TextProgram, ReadingSkipsShortAndBrokenLines)
{
    QByteArray text = "junk before,a,b,c,d\r\n[ProgramList]\r\nP1,1,08:00,09:00\r\nP2,2,08:00\r\n"
                      "P3,3,00:00,24:00,Mon\r\n[FodderList]\r\nM,071210141512,1,11,-1,1,0,0,0,1,Red^A^10^x\r\n"
                      "short,1,2\r\nBad,071210141512,1,12,-1,one,0,0,0,1,text\r\n";
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    TextProgramData out;
    ASSERT_TRUE(readTextProgram(buffer, out, QDateTime::currentDateTime(), QStringLiteral("every day")));
    ASSERT_EQ(out.pages.size(), 2);
    EXPECT_EQ(out.pages[0].name, QStringLiteral("P1"));
    EXPECT_EQ(out.pages[0].playCycle, QStringLiteral("every day"));
    EXPECT_EQ(out.pages[1].playCycle, QStringLiteral("Mon"));
    ASSERT_EQ(out.materials.size(), 1);
    EXPECT_EQ(out.materials[0].id, QStringLiteral("11"));
}

TEST(TextProgram, LoadingReplacesOnlyTextProgramRecords)
{
    ProjectModel model;
    TProgram playbillPage;
    playbillPage.cardName = QStringLiteral("C");
    playbillPage.name = QStringLiteral("main");
    model.appendPage(playbillPage);
    TFodder playbillMaterial;
    playbillMaterial.cardName = QStringLiteral("C");
    playbillMaterial.typeCode = '8';
    model.materials().append(playbillMaterial);

    TextProgram tp(model);
    tp.addMaterial(tp.addPage(QStringLiteral("old"), QTime(0, 0), QTime(1, 0), {}), filledForm(), QStringLiteral("x"));
    TextProgramData fresh;
    TProgram p;
    p.name = QStringLiteral("new");
    p.id = QStringLiteral("9");
    p.textProgramPage = 1;
    fresh.pages << p;
    tp.replaceWith(fresh);
    ASSERT_EQ(model.pages().size(), 2);
    EXPECT_EQ(model.pages()[0].name, QStringLiteral("main"));
    EXPECT_EQ(tp.pages().first().name, QStringLiteral("new"));
    ASSERT_EQ(model.materials().size(), 1);
    EXPECT_EQ(model.materials()[0].typeCode, '8');
}

TEST(TextProgram, DescriptionAndQueue)
{
    ProjectModel model;
    TextProgram tp(model);
    const QString p1 = tp.addPage(QStringLiteral("A"), QTime(8, 0), QTime(12, 0), {});
    const QString p2 = tp.addPage(QStringLiteral("B"), QTime(12, 0), QTime(18, 0), {});
    const QString m1 = tp.addMaterial(p1, filledForm(), QStringLiteral("a"));
    const QString m2 = tp.addMaterial(p1, filledForm(), QStringLiteral("b"));
    const QString m3 = tp.addMaterial(p2, filledForm(), QStringLiteral("c"));

    TextProgramDescription d = buildTextProgramDescription(model, {p1, p2});
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.text, p1 + QStringLiteral(",08:00-12:00.") + m1 + QStringLiteral("#2#071210141512;") + m2 +
                          QStringLiteral("#2#071210141512;,12:00-18:00.") + m3 + QStringLiteral("#2#071210141512;"));
    EXPECT_EQ(tp.material(m1)->downloadFlags[1], 0);
    EXPECT_EQ(tp.material(m2)->downloadFlags[1], 1) << "last of its page";
    EXPECT_EQ(tp.material(m3)->downloadFlags[1], 1);

    // One material per tick, in program order, until none waits.
    QStringList sent;
    while (TFodder* next = nextWaitingTextMaterial(model)) {
        sent << next->id;
        next->downloadFlags[0] = 1;
    }
    EXPECT_EQ(sent, (QStringList{m1, m2, m3}));
}

TEST(TextProgram, SecondPageWithoutMaterialSendsNothing)
{
    ProjectModel model;
    TextProgram tp(model);
    const QString p1 = tp.addPage(QStringLiteral("A"), QTime(8, 0), QTime(12, 0), {});
    const QString p2 = tp.addPage(QStringLiteral("B"), QTime(12, 0), QTime(18, 0), {});
    tp.addMaterial(p1, filledForm(), QStringLiteral("a"));
    const TextProgramDescription d = buildTextProgramDescription(model, {p1, p2});
    EXPECT_FALSE(d.ok);
    EXPECT_TRUE(d.text.isEmpty());
}

TEST(TextProgram, DescriptionFrameLimit)
{
    const QByteArray ok = textProgramDescriptionFrame(QString(1005, u'1'), 7);
    ASSERT_EQ(ok.size(), 1024);
    EXPECT_TRUE(frame::isWellFormed(ok));
    EXPECT_EQ(frame::command(ok), 0x22);
    EXPECT_EQ(frame::data(ok), QByteArray(1005, '1'));
    EXPECT_TRUE(textProgramDescriptionFrame(QString(1006, u'1'), 7).isEmpty());
    // Bytes count, not characters: 503 two-byte characters are 1006 bytes.
    EXPECT_TRUE(textProgramDescriptionFrame(QString(503, u'中'), 7).isEmpty());
}

TEST(TextProgram, RemoteTextMaterialKeepsTheLastFile)
{
    TFodder remote;
    EXPECT_TRUE(textProgramFileOf(remote).isEmpty());
    keepTextProgramFile(remote, QStringLiteral("/data/a.tprg"));
    EXPECT_EQ(textProgramFileOf(remote), QStringLiteral("/data/a.tprg"));
    keepTextProgramFile(remote, QString());
    EXPECT_EQ(textProgramFileOf(remote), QStringLiteral("/data/a.tprg")) << "closing without a file keeps it";
    keepTextProgramFile(remote, QStringLiteral("/data/b.tprg"));
    ASSERT_EQ(remote.fileList.size(), 1);
    EXPECT_EQ(textProgramFileOf(remote), QStringLiteral("/data/b.tprg"));
}
