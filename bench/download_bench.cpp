// Wall time of a network download of about 1 MB to the virtual card on
// loopback, against the floor the protocol sets: one material packet per
// tick of the packet timer, so packets x (pacing + send delay). The card
// reports speed digit 1 (pacing 15 ms); the send delay is 10 ms. Target: the
// sending phase within 5 % of the floor. Run: bench_download_bench [send delay ms].
#include "language/language.h"
#include "model/materialkinds.h"
#include "model/projectmodel.h"
#include "transport/cardlink.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

using namespace ledsign;

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 128;
constexpr int kPictures = 256; // 4096 bytes of display data each: 1 MB in all

template <class Condition>
bool waitFor(Condition condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

void addImageGroup(ProjectModel& model, const QString& cardName, const QString& picture)
{
    TProgram page;
    page.cardName = cardName;
    page.name = QStringLiteral("page");
    page.id = QStringLiteral("111111111");
    page.startTime = QStringLiteral("00:00");
    page.endTime = QStringLiteral("23:59");
    model.appendPage(page);
    TRegion region;
    region.cardName = cardName;
    region.pageName = page.name;
    region.name = QStringLiteral("region");
    region.id = QStringLiteral("300000001");
    region.pageId = page.id;
    region.width = kWidth;
    region.height = kHeight;
    model.appendRegion(region);
    TFodder material = defaultMaterial(kImageGroup);
    material.cardName = cardName;
    material.pageName = page.name;
    material.regionName = region.name;
    material.regionId = region.id;
    material.name = QStringLiteral("pictures");
    material.id = QStringLiteral("400000001");
    for (int k = 0; k < kPictures; ++k)
        material.fileList.append({k + 1, 0, picture});
    model.appendMaterialToRegion(material);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    setCurrentLanguage(kEnglish);
    const int sendDelay = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10;
    const QString cardProgram = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../bin/ledsign-card"));
    if (!QFileInfo::exists(cardProgram)) {
        std::fprintf(stderr, "bench_download: build ledsign-card first (%s)\n", qPrintable(cardProgram));
        return 2;
    }
    QTemporaryDir files;
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    picture.fill(Qt::black);
    for (int y = 0; y < kHeight; y += 2)
        for (int x = y % 7; x < kWidth; x += 7)
            picture.setPixel(x, y, qRgb(255, 0, 0));
    const QString picturePath = files.filePath(QStringLiteral("p.png"));
    picture.save(picturePath);

    ProjectModel model;
    CardLink link(model);
    link.setCommMode(CommModeKind::Network);
    if (!link.channels().openServer(0, QHostAddress::LocalHost)) {
        std::fprintf(stderr, "bench_download: no server\n");
        return 2;
    }
    QProcess card;
    card.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    card.start(cardProgram, {QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:%1").arg(link.channels().serverPort()),
                             QStringLiteral("--width"), QString::number(kWidth), QStringLiteral("--height"),
                             QString::number(kHeight), QStringLiteral("--speed"), QStringLiteral("1"),
                             QStringLiteral("--code"), QStringLiteral("9_9_9_9_1_1_1_1")});
    const QString name = QStringLiteral("9_9_9_9_1_1_1_1");
    if (!waitFor([&] { return link.scheduler().nodeState(name) == kNodeOnline; }, 10000)) {
        std::fprintf(stderr, "bench_download: the card did not register\n");
        return 2;
    }
    addImageGroup(model, name, picturePath);
    link.scheduler().setSendDelay(sendDelay);

    QElapsedTimer clock;
    qint64 sendingFrom = -1;
    qint64 ended = -1;
    bool sent = false;
    QObject::connect(&link.scheduler(), &SendScheduler::progressShown, [&](int) { sendingFrom = clock.elapsed(); });
    QObject::connect(&link.scheduler(), &SendScheduler::downloadEnded, [&](const QString&, bool ok) {
        ended = clock.elapsed();
        sent = ok;
    });
    clock.start();
    link.scheduler().sendCommand(name);
    const bool done = waitFor([&] { return ended >= 0; }, 600000);
    const int packets = link.scheduler().progressMaximum();
    qint64 bytes = 0;
    // The packets are cleared at the end; count what the card's header named.
    card.terminate();
    card.waitForFinished(3000);
    if (!done || !sent) {
        std::fprintf(stderr, "bench_download: the download %s\n", done ? "failed" : "did not end");
        return 1;
    }
    Q_UNUSED(bytes);
    const SendState& st = link.scheduler().state();
    const int interval = st.pacingInterval + st.sendDelay;
    const double floorMs = double(packets) * interval;
    const double sendingMs = double(ended - sendingFrom);
    std::printf("download ~%d KB: %d packets, interval %d ms (pacing %d + delay %d)\n",
                kPictures * kWidth * kHeight / 8 / 1024, packets, interval, st.pacingInterval, st.sendDelay);
    std::printf("  build and header: %lld ms; sending: %.0f ms; floor: %.0f ms; sending / floor = %.3f (target <= 1.05)\n",
                static_cast<long long>(sendingFrom), sendingMs, floorMs, sendingMs / floorMs);
    std::printf("  wall time in all: %lld ms\n", static_cast<long long>(ended));
    return 0;
}
