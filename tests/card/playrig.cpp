#include "playrig.h"

#include "protocol/materialencoder.h"

#include <gtest/gtest.h>

namespace ledsign::test {

QByteArray planesOf(const QImage& image, int planes)
{
    QByteArray out;
    const int pixels = image.width() * image.height();
    for (int group = 0; group * 8 < pixels; ++group) {
        for (int p = 0; p < planes; ++p) {
            quint8 byte = 0xFF;
            for (int bit = 0; bit < 8; ++bit) {
                const int i = group * 8 + bit;
                if (i >= pixels)
                    break;
                const QRgb c = image.pixel(i % image.width(), i / image.width());
                const int channel = p == 0 ? qRed(c) : p == 1 ? qGreen(c) : qBlue(c);
                if (channel >= 128)
                    byte &= quint8(~(0x80 >> bit));
            }
            out.append(char(byte));
        }
    }
    return out;
}

QImage lit(int w, int h, const std::function<bool(int, int)>& on, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::black);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (on(x, y))
                img.setPixel(x, y, colour);
        }
    }
    return img;
}

int litCount(const QImage& image, const QRect& rect)
{
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) != 0;
    }
    return n;
}

PlayRig::PlayRig(int w, int h, int colorType)
    : width(w)
    , height(h)
    , planes(colorType == kColorTri ? 3 : colorType == kColorDual ? 2 : 1)
    , received(planes)
{
    TFIXModem c;
    c.name = QStringLiteral("card");
    c.version = 60;
    c.width = w;
    c.height = h;
    c.colorType = colorType;
    c.internalCode = QStringLiteral("1_2_3_4_5_6_7_8");
    model.addCard(c);
}

TProgram& PlayRig::page(const QString& start, const QString& end, int playMode, const QString& cycle,
                        const QString& date)
{
    model.appendPage(TProgram{QStringLiteral("card"), id(), id(), {}, start, end, cycle, date, 0, playMode});
    return model.pages().last();
}

TRegion& PlayRig::region(const TProgram& p, int x, int y, int w, int h)
{
    model.appendRegion(TRegion{p.cardName, p.name, id(), id(), {}, p.id, x, y, w, h});
    return model.regions().last();
}

TFodder& PlayRig::material(const TRegion& r, int kind)
{
    TFodder m = defaultMaterial(kind, now);
    m.cardName = r.cardName;
    m.pageName = r.pageName;
    m.regionName = r.name;
    m.name = id();
    m.id = id();
    m.regionId = r.id;
    return model.materials()[model.appendMaterialToRegion(m)];
}

TFodder& PlayRig::pictures(const TRegion& r, const QList<QImage>& images, int displayMode, int speed, int remain,
                           int playTimes)
{
    TFodder& m = material(r, kImageGroup);
    m.displayMode = displayMode;
    m.displaySpeed = speed;
    m.remainTime = remain;
    m.playTimes = playTimes;
    QByteArray data;
    for (const QImage& image : images)
        data += planesOf(image, planes);
    displayData.insert(m.id, data);
    pictureCounts.insert(m.id, int(images.size()));
    return m;
}

DownloadBuild PlayRig::build()
{
    const DownloadBuilder builder(
        [this](TFodder& m, const TRegion&, const TFIXModem&) {
            const bool rendered = m.kind == kSingleText || m.kind == kMultiText || m.kind == kImageGroup
                || m.kind == kTable || m.kind == kAnimation;
            if (rendered) {
                const QByteArray data = displayData.value(m.id);
                m.frameCount = pictureCounts.value(m.id);
                m.byteCount = int(data.size());
                m.partCount = int((data.size() + 2047) / 2048);
                return SendConversionResult{!data.isEmpty(), data};
            }
            return SendConversionResult{true, {}};
        },
        MaterialEncoder([] { return 4711u; }, [this] { return now; }, QLocale::c()));
    return builder.build(model, QStringLiteral("card"), DownloadOptions{});
}

card::DownloadReceiver PlayRig::receive()
{
    const DownloadBuild b = build();
    EXPECT_TRUE(b.ok) << b.failure.message().toStdString();
    card::DownloadReceiver d(planes);
    QString why;
    // The header's data, as the card's frame reader cuts it out.
    const QByteArray header = b.download.headerFrame.mid(17, b.download.headerFrame.size() - 19);
    EXPECT_TRUE(d.takeHeader(header, why)) << why.toStdString();
    for (const rSendFdrContent& p : b.download.materialPackets) {
        const card::FrameVerdict v = d.takeMaterialFrame(p.bytes);
        EXPECT_TRUE(v.ok) << v.error.toStdString();
    }
    EXPECT_TRUE(d.complete());
    received = d;
    return d;
}

card::CardPlayer PlayRig::play(card::LiveInputs inputs)
{
    receive();
    card::CardPlayer player(clock, width, height, planes, std::move(inputs));
    player.loadPlaybill(received);
    return player;
}

} // namespace ledsign::test
