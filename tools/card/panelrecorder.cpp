#include "panelrecorder.h"

#include "cardplayer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

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
    if ((c & 0xFFFFFF) == (kBackground & 0xFFFFFF))
        return 0;
    const QRgb led = ledOf(c);
    const int bits = (qRed(led) ? 4 : 0) | (qGreen(led) ? 2 : 0) | (qBlue(led) ? 1 : 0);
    return bits == 0 ? 1 : 2 + bits;
}
#endif

// The longest delay one GIF picture carries, in hundredths of a second.
constexpr int kMaxGifDelay = 65535;

} // namespace

struct RecordingWriter::Gif {
#ifdef LEDSIGN_HAVE_GIFLIB
    GifFileType* file = nullptr;
    ColorMapObject* map = nullptr;
    int width = 0;
    int height = 0;
    QString temporary;

    bool fail(QString& why, const QString& what, int error)
    {
        why = QStringLiteral("%1: %2").arg(what, QString::fromLatin1(GifErrorString(error)));
        return false;
    }

    bool open(const QString& path, const QSize& size, QString& why)
    {
        temporary = path;
        int error = 0;
        file = EGifOpenFileName(QFile::encodeName(path).constData(), false, &error);
        if (!file)
            return fail(why, QStringLiteral("cannot create ") + path, error);
        GifColorType colours[16] = {};
        colours[0] = {GifByteType(qRed(kBackground)), GifByteType(qGreen(kBackground)), GifByteType(qBlue(kBackground))};
        colours[1] = {GifByteType(qRed(kUnlit)), GifByteType(qGreen(kUnlit)), GifByteType(qBlue(kUnlit))};
        for (int bits = 1; bits < 8; ++bits)
            colours[2 + bits] = {GifByteType(bits & 4 ? 255 : 0), GifByteType(bits & 2 ? 255 : 0),
                                 GifByteType(bits & 1 ? 255 : 0)};
        map = GifMakeMapObject(16, colours);
        width = size.width();
        height = size.height();
        EGifSetGifVersion(file, true);
        // Loops for ever.
        const GifByteType loop[3] = {1, 0, 0};
        const bool ok = map && EGifPutScreenDesc(file, width, height, 4, 0, map) == GIF_OK
            && EGifPutExtensionLeader(file, APPLICATION_EXT_FUNC_CODE) == GIF_OK
            && EGifPutExtensionBlock(file, 11, "NETSCAPE2.0") == GIF_OK && EGifPutExtensionBlock(file, 3, loop) == GIF_OK
            && EGifPutExtensionTrailer(file) == GIF_OK;
        return ok || fail(why, QStringLiteral("cannot write ") + path, file->Error);
    }

    // One picture standing `delay` hundredths of a second.
    bool put(const QImage& dots, int delay, QString& why)
    {
        GraphicsControlBlock gcb;
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.UserInputFlag = false;
        gcb.DelayTime = delay;
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        bool ok = EGifPutExtension(file, GRAPHICS_EXT_FUNC_CODE, 4, ext) == GIF_OK
            && EGifPutImageDesc(file, 0, 0, width, height, false, nullptr) == GIF_OK;
        QList<GifPixelType> line(width);
        for (int y = 0; ok && y < height; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(dots.constScanLine(y));
            for (int x = 0; x < width; ++x)
                line[x] = GifPixelType(paletteIndex(row[x]));
            ok = EGifPutLine(file, line.data(), width) == GIF_OK;
        }
        return ok || fail(why, QStringLiteral("cannot write ") + temporary, file->Error);
    }

    bool close(QString& why)
    {
        int error = 0;
        const bool ok = !file || EGifCloseFile(file, &error) == GIF_OK;
        file = nullptr;
        if (map)
            GifFreeMapObject(map);
        map = nullptr;
        return ok || fail(why, QStringLiteral("cannot finish ") + temporary, error);
    }

    ~Gif()
    {
        QString ignored;
        close(ignored);
    }
#endif
};

bool recordPlay(CardPlayer& player, const std::function<void(qint64)>& setTime, double seconds, int fps,
                RecordingWriter& writer)
{
    const int intervalMs = std::max(1, 1000 / std::max(1, fps));
    const int count = std::max(1, int(seconds * 1000 / intervalMs));
    for (int k = 0; k < count; ++k) {
        const qint64 ms = qint64(k) * intervalMs;
        setTime(ms);
        player.advanceTo(ms);
        if (!writer.add(player.picture()))
            return false;
    }
    return writer.finish();
}

QImage recordedDots(const QImage& panel, int pitch)
{
    QImage out(panel.width() * pitch, panel.height() * pitch, QImage::Format_RGB32);
    out.fill(kBackground);
    const QImage in = panel.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < in.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(in.constScanLine(y));
        for (int dy = 0; dy < pitch - 1; ++dy) {
            auto* row = reinterpret_cast<QRgb*>(out.scanLine(y * pitch + dy));
            for (int x = 0; x < in.width(); ++x) {
                QRgb c = ledOf(source[x]);
                if ((c & 0xFFFFFF) == 0)
                    c = kUnlit;
                std::fill(row + x * pitch, row + x * pitch + pitch - 1, c);
            }
        }
    }
    return out;
}

RecordingWriter::RecordingWriter(const QString& file, int intervalMs)
    : m_file(file)
    , m_intervalMs(std::max(1, intervalMs))
    , m_gif(file.endsWith(QStringLiteral(".gif"), Qt::CaseInsensitive))
{
    const QFileInfo info(file);
    if (!QDir().mkpath(info.absolutePath()))
        m_why = QStringLiteral("cannot create %1").arg(info.absolutePath());
#ifndef LEDSIGN_HAVE_GIFLIB
    if (m_gif)
        m_why = QStringLiteral("this ledsign-card was built without giflib; record to .png instead");
#endif
}

RecordingWriter::~RecordingWriter()
{
#ifdef LEDSIGN_HAVE_GIFLIB
    // Unfinished: what was begun goes.
    if (m_out && m_out->file) {
        m_out.reset();
        QFile::remove(m_file + QStringLiteral(".part"));
    }
#endif
}

bool RecordingWriter::add(const QImage& panel)
{
    if (!m_why.isEmpty())
        return false;
    ++m_count;
    if (!m_gif) {
        const QFileInfo info(m_file);
        const QString path = QStringLiteral("%1/%2-%3.png")
                                 .arg(info.absolutePath(), info.completeBaseName())
                                 .arg(m_count, 4, 10, QLatin1Char('0'));
        if (!recordedDots(panel, kGifPitch).save(path)) {
            m_why = QStringLiteral("cannot write ") + path;
            return false;
        }
        m_written.append(path);
        return true;
    }
    // A picture stands until the next different one.
    if (m_standingFor > 0 && panel == m_standing) {
        ++m_standingFor;
        return true;
    }
    if (!writeStanding())
        return false;
    m_standing = panel;
    m_standingFor = 1;
    return true;
}

bool RecordingWriter::writeStanding()
{
#ifdef LEDSIGN_HAVE_GIFLIB
    if (m_standingFor == 0)
        return true;
    const QImage dots = recordedDots(m_standing, kGifPitch);
    if (!m_out) {
        m_out = std::make_unique<Gif>();
        if (!m_out->open(m_file + QStringLiteral(".part"), dots.size(), m_why))
            return false;
    }
    for (qint64 delay = qint64(m_standingFor) * m_intervalMs / 10; delay > 0; delay -= kMaxGifDelay) {
        if (!m_out->put(dots, int(std::min<qint64>(delay, kMaxGifDelay)), m_why))
            return false;
    }
    m_standingFor = 0;
    return true;
#else
    return false;
#endif
}

bool RecordingWriter::finish()
{
    if (!m_why.isEmpty())
        return false;
    if (!m_gif)
        return true;
#ifdef LEDSIGN_HAVE_GIFLIB
    if (m_count == 0) {
        m_why = QStringLiteral("nothing to record");
        return false;
    }
    if (!writeStanding() || !m_out->close(m_why))
        return false;
    // The finished recording replaces an older one whole.
    if (std::rename(QFile::encodeName(m_file + QStringLiteral(".part")).constData(),
                    QFile::encodeName(m_file).constData()) != 0) {
        m_why = QStringLiteral("cannot write %1: %2").arg(m_file, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_written = {m_file};
    return true;
#else
    return false;
#endif
}

QString recordingFileFor(const QString& file, int n)
{
    if (n <= 1)
        return file;
    const QFileInfo info(file);
    const QString suffix = info.suffix();
    const QString stem = info.path() + u'/' + info.completeBaseName();
    return QStringLiteral("%1-%2%3").arg(stem).arg(n).arg(suffix.isEmpty() ? QString() : u'.' + suffix);
}

} // namespace ledsign::card
