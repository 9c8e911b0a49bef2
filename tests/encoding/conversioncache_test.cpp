// Rendering once: cards on one playbill file with the same size and colours
// take the first card's conversion; a card of other colours, a changed text
// and a changed picture file are converted again; the cache keeps within its
// byte limit, dropping what was used longest ago.
#include "model/materialkinds.h"
#include "model/playbillreader.h"
#include "model/playbillwriter.h"
#include "protocol/conversioncache.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ledsign {
namespace {

QString run(const QString& text)
{
    return QStringLiteral("clRed^宋体^12^0^0^0^0^0^1^") + text;
}

struct SharedPlaybill {
    QTemporaryDir dir;
    ProjectModel model;
    QString picture = dir.filePath(QStringLiteral("p.bmp"));
    QString file = dir.filePath(QStringLiteral("shared.prg"));

    SharedPlaybill()
    {
        writePicture(Qt::red);
        for (const char* name : {"first", "second", "third"}) {
            TFIXModem c;
            c.name = QString::fromLatin1(name);
            c.width = 128;
            c.height = 32;
            c.version = 60;
            c.internalCode = QStringLiteral("1_2_3_4_5_6_7_8");
            c.colorType = c.name == QLatin1String("third") ? kColorDual : kColorSingle;
            model.addCard(c);
        }
        model.appendPage(TProgram{QStringLiteral("first"), QStringLiteral("page"), QStringLiteral("100000001"), {},
                                  QStringLiteral("08:00"), QStringLiteral("12:00"), {}, {}, 0, kPlayEveryDay});
        model.appendRegion(TRegion{QStringLiteral("first"), QStringLiteral("page"), QStringLiteral("region"),
                                   QStringLiteral("100000002"), {}, QStringLiteral("100000001"), 0, 0, 64, 32});
        int id = 100000003;
        for (int kind : {kSingleText, kMultiText, kImageGroup}) {
            TFodder m = defaultMaterial(kind);
            m.cardName = QStringLiteral("first");
            m.pageName = QStringLiteral("page");
            m.regionName = QStringLiteral("region");
            m.regionId = QStringLiteral("100000002");
            m.id = m.name = QString::number(id++);
            if (kind == kImageGroup)
                m.fileList.append({1, 0, picture});
            else
                m.content = run(kind == kSingleText ? QStringLiteral("欢迎") : QStringLiteral("多行文本 text"));
            model.appendMaterialToRegion(m);
        }
        const DataFolder folders(dir.path());
        EXPECT_TRUE(PlaybillWriter(model, folders).write(QStringLiteral("first"), file));
        for (const char* name : {"first", "second", "third"})
            EXPECT_EQ(PlaybillReader(model, folders).open(QString::fromLatin1(name), file),
                      PlaybillReader::Status::Loaded);
    }

    void writePicture(QColor colour, int width = 64, const QString& path = QString())
    {
        QImage image(width, 32, QImage::Format_RGB888);
        image.fill(colour);
        ASSERT_TRUE(image.save(path.isEmpty() ? picture : path, "BMP"));
    }

    TFodder& material(const QString& card, int kind)
    {
        for (TFodder& m : model.materials())
            if (m.cardName == card && m.kind == kind)
                return m;
        throw std::logic_error("no such material");
    }
};

// The display data of every material packet, by send number.
QMap<int, QByteArray> framesOf(const DownloadBuild& build)
{
    QMap<int, QByteArray> frames;
    for (const rSendFdrContent& p : build.download.materialPackets)
        frames[p.sendNo] += p.bytes.mid(17 + 9); // past the envelope head and the id (serials differ)
    return frames;
}

TEST(ConversionCache, CardsSharingAPlaybillFileAndGeometryRenderOnce)
{
    SharedPlaybill pb;
    ConversionCache cache;
    int renders = 0;
    const SendConversion standard = standardSendConversion();
    const DownloadBuilder builder(cache.wrap([&](TFodder& m, const TRegion& r, const TFIXModem& c) {
        ++renders;
        return standard(m, r, c);
    }));
    auto build = [&](const char* card) {
        const DownloadBuild b = builder.build(pb.model, QString::fromLatin1(card), {});
        EXPECT_TRUE(b.ok) << card << ": " << b.failure.message().toStdString();
        return b;
    };

    const DownloadBuild first = build("first");
    EXPECT_EQ(renders, 3);
    const DownloadBuild second = build("second");
    EXPECT_EQ(renders, 3) << "the second card on the file renders nothing";
    EXPECT_EQ(framesOf(second), framesOf(first));
    EXPECT_EQ(pb.material(QStringLiteral("second"), kMultiText).frameCount,
              pb.material(QStringLiteral("first"), kMultiText).frameCount);
    build("third");
    EXPECT_EQ(renders, 6) << "other colours are rendered for";

    // A text change renders that material alone.
    pb.material(QStringLiteral("second"), kSingleText).content = run(QStringLiteral("再见"));
    const DownloadBuild changed = build("second");
    EXPECT_EQ(renders, 7);
    EXPECT_NE(framesOf(changed).value(1), framesOf(first).value(1));
    EXPECT_EQ(framesOf(changed).value(2), framesOf(first).value(2));

    // A picture file written again is read again, and so is its new content.
    pb.writePicture(Qt::black, 48, pb.material(QStringLiteral("first"), kImageGroup).fileList.value(0).path);
    const DownloadBuild repainted = build("first");
    EXPECT_EQ(renders, 8);
    EXPECT_NE(framesOf(repainted).value(3), framesOf(first).value(3));
}

TEST(ConversionCache, KeepsWithinItsLimitDroppingTheLeastRecentlyUsed)
{
    ConversionCache cache(10'000);
    int renders = 0;
    const SendConversion converted = cache.wrap([&](TFodder& m, const TRegion&, const TFIXModem&) {
        ++renders;
        m.frameCount = 1;
        return SendConversionResult{true, QByteArray(3000, 'x'), {}};
    });
    TRegion region;
    region.width = 64;
    region.height = 16;
    TFIXModem card;
    auto convert = [&](int n) {
        TFodder m = defaultMaterial(kSingleText);
        m.content = run(QString::number(n));
        EXPECT_TRUE(converted(m, region, card).ok);
        EXPECT_EQ(m.frameCount, 1);
    };
    for (int n : {1, 2, 3})
        convert(n);
    convert(1);             // used again: now the most recent
    convert(4);             // no room for four: 2 goes
    EXPECT_EQ(renders, 4);
    EXPECT_LE(cache.bytes(), cache.maxBytes());
    EXPECT_EQ(cache.size(), 3);
    convert(1);
    EXPECT_EQ(renders, 4);
    convert(2);
    EXPECT_EQ(renders, 5);
    // Kinds the card draws itself and failures are not kept.
    TFodder clock = defaultMaterial(kDateTime);
    EXPECT_TRUE(ConversionCache::keyOf(clock, 64, 16, kColorSingle).isEmpty());
}

} // namespace
} // namespace ledsign
