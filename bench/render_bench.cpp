// Speed of the send conversion on a reference playbill and of thresholding
// alone. The playbill: a 256 x 128 tri-colour card, 8 pages of 4 regions of
// 128 x 64, each region holding a 20-character single-line text, a
// 200-character multi-line text and an image group of three 128 x 64 BMP
// files. Targets: the whole playbill in under 100 ms; thresholding at 1 GB/s
// of 24-bit pixels or more.
#include "content/bitplanes.h"
#include "content/renderpicture.h"
#include "content/sendconversion.h"
#include "model/imagefiles.h"
#include "model/materialkinds.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace ledsign;

namespace {

constexpr int kRegionWidth = 128;
constexpr int kRegionHeight = 64;
constexpr int kPages = 8;
constexpr int kRegionsPerPage = 4;
constexpr int kTriColour = ':';

QString textRun(const char* colour, int pointSize, int alignment, int line, const QString& text)
{
    return QStringList{QString::fromLatin1(colour), QStringLiteral("宋体"), QString::number(pointSize),
                       QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                       QString::number(alignment), QString::number(line), text}
        .join(QLatin1Char('^'));
}

QString repeated(const QString& pattern, int length)
{
    QString text;
    while (text.size() < length)
        text += pattern;
    return text.left(length);
}

struct ReferencePlaybill {
    QTemporaryDir folder;
    QList<TFodder> materials;

    ReferencePlaybill()
    {
        QStringList images;
        for (int i = 0; i < 3; ++i) {
            QImage image(kRegionWidth, kRegionHeight, QImage::Format_RGB888);
            image.fill(Qt::black);
            QPainter p(&image);
            p.fillRect(8 * i, 4, 40, 30, QColor(255, 0, 0));
            p.fillRect(60, 10 + 8 * i, 50, 40, QColor(255, 255, 0));
            p.fillRect(20, 40, 90, 20 - 4 * i, QColor(0, 255, 255));
            p.end();
            const QString path = folder.filePath(QStringLiteral("picture%1.bmp").arg(i));
            image.save(path, "BMP");
            images << path;
        }
        const QString single = textRun("clRed", 12, 2, 1, repeated(QStringLiteral("欢迎光临LED显示屏ABCD"), 20));
        QString multi;
        const QString body = repeated(QStringLiteral("多行文本内容示例，Multi-line text sample. "), 200);
        for (int line = 0; line < 4; ++line) {
            if (!multi.isEmpty())
                multi += QStringLiteral("~*");
            multi += textRun(line % 2 ? "clYellow" : "clGreen", 12, line % 3, line + 1,
                             body.mid(line * 50, 50) + (line < 3 ? QStringLiteral("\r\n") : QString()));
        }
        for (int region = 0; region < kPages * kRegionsPerPage; ++region) {
            TFodder s = defaultMaterial(kSingleText);
            s.content = single;
            TFodder m = defaultMaterial(kMultiText);
            m.content = multi;
            TFodder g = defaultMaterial(kImageGroup);
            for (const QString& image : images)
                addImageFile(g, image);
            materials << s << m << g;
        }
    }
};

void BM_SendConversionPlaybill(benchmark::State& state)
{
    ReferencePlaybill playbill;
    qint64 bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (TFodder& material : playbill.materials) {
            QByteArray data;
            if (!sendConversion(material, kRegionWidth, kRegionHeight, QStringLiteral("bench"), kTriColour, data))
                state.SkipWithError("a material did not convert");
            bytes += data.size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["displayBytes"] = double(bytes);
    state.counters["materials"] = double(playbill.materials.size());
}
BENCHMARK(BM_SendConversionPlaybill)->Unit(benchmark::kMillisecond);

// Thresholding of a noisy picture (so that no branch is predictable) into
// 1, 2 or 3 planes; bytes processed are the picture's 24-bit pixels.
void BM_Thresholding(benchmark::State& state)
{
    const int planes = int(state.range(0));
    const int width = int(state.range(1));
    const int height = int(state.range(2));
    QImage picture = newPicture(width, height);
    QRandomGenerator random(42);
    for (int y = 0; y < height; ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < width * 3; ++x)
            row[x] = uchar(random.bounded(256));
    }
    QByteArray out;
    out.reserve(qsizetype(bitPlaneByteCount(width, height, planes)));
    for (auto _ : state) {
        out.resize(0);
        appendBitPlanes(picture, width, height, planes, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * qint64(width) * height * 3);
}
BENCHMARK(BM_Thresholding)
    ->Args({1, 256, 128})
    ->Args({2, 256, 128})
    ->Args({3, 256, 128})
    ->Args({3, 1024, 512})
    ->Args({3, 100, 64}); // a width that is not a multiple of 8

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
