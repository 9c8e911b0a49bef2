// Speed of the send conversion on a reference playbill and of thresholding
// alone. The playbill: a 256 x 128 tri-colour card, 8 pages of 4 regions of
// 128 x 64, each region holding a 20-character single-line text, a
// 200-character multi-line text and an image group of three 128 x 64 BMP
// files. Targets: the whole playbill in under 100 ms, and at least 10 times
// faster than the same work in Pillow and numpy (render_reference.py, run
// beside it at the end when /usr/bin/python3 has both); thresholding at
// 1 GB/s of 24-bit pixels or more.
#include "content/bitplanes.h"
#include "content/renderpicture.h"
#include "content/sendconversion.h"
#include "model/imagefiles.h"
#include "model/materialkinds.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

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

double cpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Timing {
    double wallMs = 0;
    double cpuMs = 0;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The whole conversion, medians of `runs`, in milliseconds.
Timing conversionTime(ReferencePlaybill& playbill, int runs)
{
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        const double cpuStart = cpuMs();
        for (TFodder& material : playbill.materials) {
            QByteArray data;
            sendConversion(material, kRegionWidth, kRegionHeight, QStringLiteral("bench"), kTriColour, data);
        }
        cpu.push_back(cpuMs() - cpuStart);
        wall.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    return {median(wall), median(cpu)};
}

double numberAfter(const QByteArray& line, const char* word)
{
    const int at = int(line.indexOf(word));
    return at >= 0 ? line.mid(at + int(qstrlen(word))).split(' ').value(0).toDouble() : 0;
}

// The same conversion in Pillow and numpy, run now on the same machine, and
// this program's conversion timed just before and after it.
void compareWithReference()
{
    const QString script = QStringLiteral(LEDSIGN_BENCH_DIR "/render_reference.py");
    const QString python = QStringLiteral("/usr/bin/python3");
    if (!QFileInfo::exists(script) || !QFileInfo::exists(python))
        return;
    ReferencePlaybill playbill;
    const Timing before = conversionTime(playbill, 30);
    QProcess reference;
    reference.start(python, {script, QStringLiteral("20")});
    if (!reference.waitForFinished(300000) || reference.exitCode() != 0) {
        std::printf("reference: could not run %s (python3-pil and python3-numpy are installed by scripts/setup)\n%s",
                    qPrintable(script), reference.readAllStandardError().constData());
        return;
    }
    const QByteArray line = reference.readAllStandardOutput().trimmed();
    const Timing after = conversionTime(playbill, 30);
    const double referenceWall = numberAfter(line, "median ");
    const double referenceCpu = numberAfter(line, "cpu ");
    const Timing ours {std::min(before.wallMs, after.wallMs), std::min(before.cpuMs, after.cpuMs)};
    std::printf("%s\nsend conversion here: median %.2f ms, cpu %.2f ms (the better of 30 runs before and 30 after)\n",
                line.constData(), ours.wallMs, ours.cpuMs);
    if (referenceWall > 0 && ours.wallMs > 0 && referenceCpu > 0 && ours.cpuMs > 0)
        std::printf("faster than Pillow+numpy: %.0f x in wall time, %.0f x in processor time (target >= 10)\n",
                    referenceWall / ours.wallMs, referenceCpu / ours.cpuMs);
}

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
    compareWithReference();
    return 0;
}
