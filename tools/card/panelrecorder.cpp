#include "panelrecorder.h"

#include "cardplayer.h"

#include <QDir>
#include <QFileInfo>

#ifdef LEDSIGN_HAVE_GIFLIB
#include <gif_lib.h>
#endif

namespace ledsign::card {

namespace {

constexpr int kGifPitch = 4;
const QRgb kBackground = qRgb(16, 16, 16);
const QRgb kUnlit = qRgb(46, 46, 46);

// An LED is on or off in each of its three colours.
QRgb ledOf(QRgb c)
{
    return qRgb(qRed(c) >= 128 ? 255 : 0, qGreen(c) >= 128 ? 255 : 0, qBlue(c) >= 128 ? 255 : 0);
}

#ifdef LEDSIGN_HAVE_GIFLIB
// Palette: 0 background, 1 unlit LED, 2 + (r g b bits) the lit colours.
int paletteIndex(QRgb c)
{
    if (c == kBackground)
        return 0;
    const QRgb led = ledOf(c);
    const int bits = (qRed(led) ? 4 : 0) | (qGreen(led) ? 2 : 0) | (qBlue(led) ? 1 : 0);
    return bits == 0 ? 1 : 2 + bits;
}

bool writeGif(const Recording& r, const QString& file, QString& why)
{
    if (r.pictures.isEmpty()) {
        why = QStringLiteral("nothing to record");
        return false;
    }
    int error = 0;
    GifFileType* gif = EGifOpenFileName(QFile::encodeName(file).constData(), false, &error);
    if (!gif) {
        why = QStringLiteral("cannot create %1: %2").arg(file, QString::fromLatin1(GifErrorString(error)));
        return false;
    }
    GifColorType colours[16] = {};
    colours[0] = {16, 16, 16};
    colours[1] = {46, 46, 46};
    for (int bits = 1; bits < 8; ++bits)
        colours[2 + bits] = {GifByteType(bits & 4 ? 255 : 0), GifByteType(bits & 2 ? 255 : 0), GifByteType(bits & 1 ? 255 : 0)};
    ColorMapObject* map = GifMakeMapObject(16, colours);
    const QImage first = recordedDots(r.pictures.first(), kGifPitch);
    const int w = first.width(), h = first.height();
    bool ok = map && EGifPutScreenDesc(gif, w, h, 4, 0, map) == GIF_OK;
    EGifSetGifVersion(gif, true);
    // Loops for ever.
    const GifByteType loop[3] = {1, 0, 0};
    ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK
        && EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK && EGifPutExtensionBlock(gif, 3, loop) == GIF_OK
        && EGifPutExtensionTrailer(gif) == GIF_OK;
    QList<GifPixelType> line(w);
    for (qsizetype i = 0; ok && i < r.pictures.size();) {
        // A picture stands until the next different one.
        qsizetype j = i + 1;
        while (j < r.pictures.size() && r.pictures[j] == r.pictures[i])
            ++j;
        GraphicsControlBlock gcb;
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.UserInputFlag = false;
        gcb.DelayTime = int((j - i) * r.intervalMs / 10);
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext) == GIF_OK
            && EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
        const QImage dots = recordedDots(r.pictures[i], kGifPitch);
        for (int y = 0; ok && y < h; ++y) {
            for (int x = 0; x < w; ++x)
                line[x] = GifPixelType(paletteIndex(dots.pixel(x, y) | 0xFF000000));
            ok = EGifPutLine(gif, line.data(), w) == GIF_OK;
        }
        i = j;
    }
    if (!ok)
        why = QStringLiteral("cannot write %1: %2").arg(file, QString::fromLatin1(GifErrorString(gif->Error)));
    if (EGifCloseFile(gif, &error) != GIF_OK && ok) {
        why = QStringLiteral("cannot finish %1: %2").arg(file, QString::fromLatin1(GifErrorString(error)));
        ok = false;
    }
    GifFreeMapObject(map);
    return ok;
}
#endif

} // namespace

Recording recordPlay(CardPlayer& player, const std::function<void(qint64)>& setTime, double seconds, int fps)
{
    Recording r;
    r.intervalMs = std::max(1, 1000 / std::max(1, fps));
    const int count = std::max(1, int(seconds * 1000 / r.intervalMs));
    for (int k = 0; k < count; ++k) {
        const qint64 ms = qint64(k) * r.intervalMs;
        setTime(ms);
        player.advanceTo(ms);
        r.pictures.append(player.picture());
    }
    return r;
}

QImage recordedDots(const QImage& panel, int pitch)
{
    QImage out(panel.width() * pitch, panel.height() * pitch, QImage::Format_RGB32);
    out.fill(kBackground);
    for (int y = 0; y < panel.height(); ++y) {
        for (int x = 0; x < panel.width(); ++x) {
            QRgb c = ledOf(panel.pixel(x, y));
            if ((c & 0xFFFFFF) == 0)
                c = kUnlit;
            for (int dy = 0; dy < pitch - 1; ++dy) {
                for (int dx = 0; dx < pitch - 1; ++dx)
                    out.setPixel(x * pitch + dx, y * pitch + dy, c);
            }
        }
    }
    return out;
}

bool writeRecording(const Recording& r, const QString& file, QString& why, QStringList* written)
{
    const QFileInfo info(file);
    if (!QDir().mkpath(info.absolutePath())) {
        why = QStringLiteral("cannot create %1").arg(info.absolutePath());
        return false;
    }
    if (file.endsWith(QStringLiteral(".gif"), Qt::CaseInsensitive)) {
#ifdef LEDSIGN_HAVE_GIFLIB
        if (!writeGif(r, file, why))
            return false;
        if (written)
            written->append(file);
        return true;
#else
        why = QStringLiteral("this ledsign-card was built without giflib; record to .png instead");
        return false;
#endif
    }
    const QString stem = info.absolutePath() + u'/' + info.completeBaseName();
    for (qsizetype k = 0; k < r.pictures.size(); ++k) {
        const QString path = QStringLiteral("%1-%2.png").arg(stem).arg(k + 1, 4, 10, QLatin1Char('0'));
        if (!recordedDots(r.pictures[k], kGifPitch).save(path)) {
            why = QStringLiteral("cannot write ") + path;
            return false;
        }
        if (written)
            written->append(path);
    }
    return true;
}

} // namespace ledsign::card
