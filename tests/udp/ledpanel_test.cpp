// The way the demo runs: a virtual card with its LED-panel window is found
// by a search, registers, receives a two-page playbill from the program and
// shows it page by page. The window's pictures are checked for lit dots.
#include "cardrig.h"

#include "model/materialkinds.h"
#include "protocol/sendscheduler.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;
using ledsign::test::CardProcess;
using ledsign::test::CardRig;
using ledsign::test::waitFor;

namespace {

const QString kCode = QStringLiteral("7_7_7_7_7_7_7_7");

// One page holding one 64 x 32 picture with `lit` red pixels from the top
// left, row by row.
void addPage(ProjectModel& model, int number, int lit, const QString& folder)
{
    TProgram page;
    page.cardName = kCode;
    page.name = QStringLiteral("page%1").arg(number);
    page.id = QStringLiteral("11111111%1").arg(number);
    model.appendPage(page);
    TRegion region;
    region.cardName = kCode;
    region.pageName = page.name;
    region.pageId = page.id;
    region.name = QStringLiteral("region%1").arg(number);
    region.id = QStringLiteral("30000000%1").arg(number);
    region.width = 64;
    region.height = 32;
    model.appendRegion(region);
    QImage picture(64, 32, QImage::Format_RGB32);
    picture.fill(Qt::black);
    for (int i = 0; i < lit; ++i)
        picture.setPixel(i % 64, i / 64, qRgb(255, 0, 0));
    const QString path = QStringLiteral("%1/p%2.png").arg(folder).arg(number);
    picture.save(path);
    TFodder material = defaultMaterial(kImageGroup);
    material.cardName = kCode;
    material.pageName = page.name;
    material.regionName = region.name;
    material.regionId = region.id;
    material.name = QStringLiteral("pictures%1").arg(number);
    material.id = QStringLiteral("20000000%1").arg(number);
    material.fileList.append({1, 0, path});
    material.remainTime = 0; // a second a page
    material.displayMode = 9;
    model.appendMaterialToRegion(material);
}

// Pixels of the window picture that are a lit red dot.
int redPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            n += qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
        }
    return n;
}

} // namespace

TEST(LedPanel, ACardFoundBySearchShowsItsPlaybillPageByPage)
{
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    QTemporaryDir shots;
    QTemporaryDir files;
    CardRig rig;
    ASSERT_TRUE(rig.openServer());
    // The card saves its window where screenshots are collected, or in a
    // folder of its own.
    const QString wanted = qEnvironmentVariable("LEDSIGN_SCREENSHOT_DIR");
    qputenv("LEDSIGN_SCREENSHOT_DIR", (wanted.isEmpty() ? shots.path() : wanted).toLocal8Bit());
    CardProcess* card = rig.startUdpCard(QStringLiteral("127.0.0.4"),
                                         {QStringLiteral("--code"), kCode, QStringLiteral("--window")});
    if (wanted.isEmpty())
        qunsetenv("LEDSIGN_SCREENSHOT_DIR");
    else
        qputenv("LEDSIGN_SCREENSHOT_DIR", wanted.toLocal8Bit());
    ASSERT_TRUE(card);
    EXPECT_TRUE(card->waitForLine(QStringLiteral("panel VCARD [7_7_7_7_7_7_7_7] 64\u00D732 \u2014 no playbill yet")));

    ASSERT_TRUE(rig.search.begin(true, {}, {}, {255, 255, 255, 0}));
    rig.search.start();
    ASSERT_TRUE(waitFor([&] {
        const TFIXModem* c = rig.cardWithCode(kCode);
        return c && c->socket && rig.link.scheduler().nodeState(kCode) == kNodeOnline;
    }, 15000)) << card->lines().join(u'\n').toStdString();
    rig.search.stop();
    rig.search.end();

    addPage(rig.model, 1, 64 * 16, files.path()); // the upper half lit
    addPage(rig.model, 2, 8, files.path());       // eight dots
    QList<bool> ended;
    QObject::connect(&rig.link.scheduler(), &SendScheduler::downloadEnded,
                     [&](const QString&, bool ok) { ended << ok; });
    rig.link.scheduler().sendCommand(kCode);
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 20000));
    EXPECT_TRUE(ended.first());

    QString page1;
    QString page2;
    ASSERT_TRUE(card->waitForLine(QStringLiteral("panel VCARD [7_7_7_7_7_7_7_7] 64\u00D732 \u2014 page 1 of 2")));
    ASSERT_TRUE(card->waitForLine(QStringLiteral("screenshot "), 3000, &page1));
    // Read before the page comes round again and the file is rewritten.
    const QImage first(page1.mid(11));
    // The page changes by itself and comes round again.
    ASSERT_TRUE(card->waitForLine(QStringLiteral("panel VCARD [7_7_7_7_7_7_7_7] 64\u00D732 \u2014 page 2 of 2"), 3000));
    ASSERT_TRUE(card->waitForLine(QStringLiteral("screenshot "), 3000, &page2));
    const QImage second(page2.mid(11));
    EXPECT_TRUE(card->waitForLine(QStringLiteral("panel VCARD [7_7_7_7_7_7_7_7] 64\u00D732 \u2014 page 1 of 2"), 3000));
    EXPECT_TRUE(card->errorLines().isEmpty()) << card->errorLines().join(u'\n').toStdString();

    ASSERT_FALSE(first.isNull()) << page1.toStdString();
    ASSERT_FALSE(second.isNull());
    const int red1 = redPixels(first);
    const int red2 = redPixels(second);
    // 1024 lit dots against 8: the dots follow the pictures.
    EXPECT_GT(red2, 0);
    EXPECT_GT(red1, 50 * red2);
    EXPECT_LT(red1, 200 * red2);

    // New screen parameters give the panel a new size at once.
    QByteArray block = QByteArray::fromHex("0101 0020 0010 01 00 00 00 01 00 00 00 00 00 00");
    ASSERT_TRUE(rig.udp.sendParameterWrite({2, 0, 127, 0, 0, 4}, block));
    EXPECT_TRUE(card->waitForLine(QStringLiteral("panel VCARD [7_7_7_7_7_7_7_7] 32\u00D716 \u2014 page 1 of 2"), 3000));
}
