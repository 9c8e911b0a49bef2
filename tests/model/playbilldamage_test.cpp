// Damaged playbills: a file cut short at any byte, or with lines that make
// no sense, loads what it can and says what it dropped; a playbill saved
// with a byte-order mark reads as without one.
#include "playbilltestsupport.h"

#include "model/materialkinds.h"
#include "model/playbillreader.h"
#include "model/playbillwriter.h"

#include <QBuffer>
#include <QStringEncoder>

using namespace ledsign;
using ledsign::test::PlaybillFixture;
using Status = PlaybillReader::Status;

namespace {

class DamageTest : public PlaybillFixture {
protected:
    Status read(const QByteArray& bytes)
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        return reader.read(cardName, buffer);
    }
    // Pages, regions and materials of the card, one line each.
    QStringList outline() const
    {
        QStringList out;
        for (const TProgram& p : model.pages())
            out << QStringLiteral("page %1").arg(p.name);
        for (const TRegion& r : model.regions())
            out << QStringLiteral("region %1/%2 %3,%4 %5x%6").arg(r.pageName, r.name).arg(r.left).arg(r.top)
                       .arg(r.width).arg(r.height);
        for (const TFodder& m : model.materials())
            out << QStringLiteral("material %1/%2/%3 kind %4").arg(m.pageName, m.regionName, m.name).arg(m.kind);
        return out;
    }
    QHash<QString, QString> contents() const
    {
        QHash<QString, QString> out;
        for (const TFodder& m : model.materials())
            out.insert(m.id, m.content);
        return out;
    }
    PlaybillReader reader{model, folders};
};

const char* const kPlaybill = "[ProgramList]\n"
                              "早班,100000001,pnProgram1,06:00,12:00,每天\n"
                              "晚班,100000002,pnProgram2,12:00,23:59,每天,,1\n"
                              "[RegionList]\n"
                              "早班,100000001,上方,100000011,pnRegion3,0,0,128,32\n"
                              "早班,100000001,下方,100000012,pnRegion4,0,32,128,32\n"
                              "晚班,100000002,全屏,100000013,pnRegion5,0,0,128,64\n"
                              "[FodderList]\n"
                              "早班,上方,100000011,欢迎,100000021,pnTxt6,0,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0\n"
                              "早班,下方,100000012,通知,100000022,pnMulTxt7,1,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0,0,0,0,0,0,0\n"
                              "晚班,全屏,100000013,时刻,100000023,pnMulTxt8,1,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0\n"
                              "[TxtContentList]\n"
                              "100000021=欢迎光临\n"
                              "100000022=今日特价*?牛奶 5 元\n"
                              "100000023=末班车 23:30\n";

TEST_F(DamageTest, ACutAtEveryByteNeverCrashesAndSaysWhatWasDropped)
{
    const QByteArray whole = windowsText(QString::fromUtf8(kPlaybill));
    ASSERT_EQ(read(whole), Status::Loaded);
    EXPECT_TRUE(reader.damageText(QStringLiteral("x.prg")).isEmpty());
    const QStringList full = outline();
    const QHash<QString, QString> fullTexts = contents();
    ASSERT_EQ(full.size(), 8);

    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        const QByteArray part = whole.left(cut);
        ASSERT_EQ(read(part), Status::Loaded) << reader.errorString().toStdString();
        const QStringList got = outline();
        // Everything loaded is a record of the whole file, or the one the
        // cut went through (a shorter number or text).
        int differing = 0;
        for (const QString& line : got)
            differing += !full.contains(line);
        EXPECT_LE(differing, 1);
        // A text is whole, cut short or not read yet.
        const QHash<QString, QString> texts = contents();
        // (compared as stored, where a line break is the two characters "*?").
        const auto stored = [](QString t) { return t.replace(QStringLiteral("\r\n"), QStringLiteral("*?")); };
        for (auto it = texts.cbegin(); it != texts.cend(); ++it)
            EXPECT_TRUE(stored(fullTexts.value(it.key())).startsWith(stored(it.value()))) << it.value().toStdString();
        // A cut that lost anything is said, naming the file; only a cut
        // exactly between two lines of the last section cannot be told
        // from a shorter file, and an empty file is what the program writes
        // when there is nothing.
        const bool betweenContentLines = part.endsWith("\r\n") && part.contains("[TxtContentList]\r\n");
        if ((got != full || texts != fullTexts) && !betweenContentLines && cut > 0) {
            const QString said = reader.damageText(QStringLiteral("/p/station.prg"));
            EXPECT_TRUE(said.contains(QStringLiteral("/p/station.prg"))) << said.toStdString();
        }
    }
}

TEST_F(DamageTest, DroppedLinesAreCountedAndNamedWithTheFile)
{
    const QString text = QString::fromUtf8(kPlaybill)
                             .replace(QStringLiteral("[RegionList]\n"),
                                      QStringLiteral("[RegionList]\n早班,100000001,坏\n无此页,1,区,2,pn,0,0,8,8\n"))
                             .replace(QStringLiteral("[FodderList]\n"),
                                      QStringLiteral("[FodderList]\n早班,无此区,1,x,2,pn,0,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0\n"
                                                     "早班,上方,100000011,怪,100000029,pn,99,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0\n"))
                             .replace(QStringLiteral("[TxtContentList]\n"),
                                      QStringLiteral("[TxtContentList]\nno separator here\n999999999=nobody's text\n"));
    ASSERT_EQ(read(windowsText(text)), Status::Loaded);
    EXPECT_EQ(reader.skippedLines(), 6);
    EXPECT_FALSE(reader.endsEarly());
    const QString said = reader.damageText(QStringLiteral("/p/station.prg"));
    EXPECT_TRUE(said.contains(QStringLiteral("/p/station.prg")));
    EXPECT_TRUE(said.contains(QStringLiteral("6"))) << said.toStdString();
    EXPECT_EQ(model.materials().size(), 3) << "the good lines all load";

    // The program's own file with nothing odd in it says nothing.
    PlaybillWriter writer(model, folders);
    const QString saved = dir.filePath(QStringLiteral("saved.prg"));
    ASSERT_TRUE(writer.write(cardName, saved));
    ASSERT_EQ(reader.open(cardName, saved), Status::Loaded);
    EXPECT_EQ(reader.skippedLines(), 0);
    EXPECT_TRUE(reader.damageText(saved).isEmpty());
}

TEST_F(DamageTest, APlaybillInUtf8OrUtf16WithOrWithoutItsMarkReadsTheSame)
{
    const QString text = QString::fromUtf8(kPlaybill).replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    ASSERT_EQ(read(codec::encode(text)), Status::Loaded);
    const QStringList expected = outline();
    for (const auto& [encoding, mark] : {std::pair{QStringConverter::Utf8, QByteArray("\xEF\xBB\xBF")},
                                         std::pair{QStringConverter::Utf16LE, QByteArray("\xFF\xFE")},
                                         std::pair{QStringConverter::Utf16BE, QByteArray("\xFE\xFF")},
                                         std::pair{QStringConverter::Utf16LE, QByteArray()},
                                         std::pair{QStringConverter::Utf16BE, QByteArray()}}) {
        QStringEncoder encoder(encoding);
        ASSERT_EQ(read(mark + QByteArray(encoder.encode(text))), Status::Loaded);
        EXPECT_EQ(outline(), expected) << mark.toHex().toStdString() << " " << int(encoding);
        EXPECT_EQ(reader.skippedLines(), 0);
    }
}

} // namespace
