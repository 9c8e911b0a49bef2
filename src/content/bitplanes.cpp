#include "content/bitplanes.h"

#include "content/renderpicture.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define LEDSIGN_HAVE_SSSE3_PATH 1
#endif

namespace ledsign {

namespace {

constexpr uchar kUnlitByte = 0xFF;

// One group of 8 pixels (24 bytes R, G, B) -> the byte of each plane.
inline void thresholdGroup(const uchar* p, uchar* out, int planes)
{
    unsigned r = 0, g = 0, b = 0;
    for (int i = 0; i < 8; ++i) {
        r = (r << 1) | unsigned(p[3 * i] <= kRedThreshold);
        g = (g << 1) | unsigned(p[3 * i + 1] <= kGreenThreshold);
        b = (b << 1) | unsigned(p[3 * i + 2] <= kBlueThreshold);
    }
    out[0] = uchar(r);
    if (planes > 1)
        out[1] = uchar(g);
    if (planes > 2)
        out[2] = uchar(b);
}

#ifdef LEDSIGN_HAVE_SSSE3_PATH

// Shuffle masks that gather one colour component of 16 pixels from the three
// 16-byte loads, with the pixels of each group of 8 in reverse order so that
// the first pixel lands in bit 7 of the movemask byte.
struct GatherMasks {
    alignas(16) signed char mask[3][3][16]; // [component][load][byte]
};

constexpr GatherMasks makeGatherMasks()
{
    GatherMasks m{};
    for (int c = 0; c < 3; ++c) {
        for (int load = 0; load < 3; ++load) {
            for (int i = 0; i < 16; ++i) {
                const int pixel = (i / 8) * 8 + (7 - i % 8);
                const int offset = 3 * pixel + c;
                m.mask[c][load][i] = offset / 16 == load ? static_cast<signed char>(offset % 16)
                                                         : static_cast<signed char>(-128);
            }
        }
    }
    return m;
}

constexpr GatherMasks kGather = makeGatherMasks();

__attribute__((target("ssse3"))) inline unsigned componentBits(__m128i a, __m128i b, __m128i c, int component,
                                                               __m128i threshold)
{
    const auto& m = kGather.mask[component];
    __m128i v = _mm_shuffle_epi8(a, _mm_load_si128(reinterpret_cast<const __m128i*>(m[0])));
    v = _mm_or_si128(v, _mm_shuffle_epi8(b, _mm_load_si128(reinterpret_cast<const __m128i*>(m[1]))));
    v = _mm_or_si128(v, _mm_shuffle_epi8(c, _mm_load_si128(reinterpret_cast<const __m128i*>(m[2]))));
    // v <= threshold (unsigned) exactly when min(v, threshold) == v.
    const __m128i atOrBelow = _mm_cmpeq_epi8(_mm_min_epu8(v, threshold), v);
    return unsigned(_mm_movemask_epi8(atOrBelow));
}

// Thresholds `pairs` times 16 pixels, writing 2 groups of `planes` bytes each.
__attribute__((target("ssse3"))) void thresholdPairsSsse3(const uchar* p, int pairs, uchar* out, int planes)
{
    const __m128i red = _mm_set1_epi8(char(kRedThreshold));
    const __m128i green = _mm_set1_epi8(char(kGreenThreshold));
    const __m128i blue = _mm_set1_epi8(char(kBlueThreshold));
    for (int k = 0; k < pairs; ++k, p += 48) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
        const unsigned r = componentBits(a, b, c, 0, red);
        switch (planes) {
        case 1:
            out[0] = uchar(r);
            out[1] = uchar(r >> 8);
            out += 2;
            break;
        case 2: {
            const unsigned g = componentBits(a, b, c, 1, green);
            out[0] = uchar(r);
            out[1] = uchar(g);
            out[2] = uchar(r >> 8);
            out[3] = uchar(g >> 8);
            out += 4;
            break;
        }
        default: {
            const unsigned g = componentBits(a, b, c, 1, green);
            const unsigned bl = componentBits(a, b, c, 2, blue);
            out[0] = uchar(r);
            out[1] = uchar(g);
            out[2] = uchar(bl);
            out[3] = uchar(r >> 8);
            out[4] = uchar(g >> 8);
            out[5] = uchar(bl >> 8);
            out += 6;
            break;
        }
        }
    }
}

bool haveSsse3()
{
    static const bool have = __builtin_cpu_supports("ssse3");
    return have;
}

#endif

// `groups` whole groups of pixels, all inside the picture.
void thresholdGroups(const uchar* p, int groups, uchar* out, int planes)
{
#ifdef LEDSIGN_HAVE_SSSE3_PATH
    if (haveSsse3() && groups >= 2) {
        const int pairs = groups / 2;
        thresholdPairsSsse3(p, pairs, out, planes);
        p += pairs * 48;
        out += pairs * 2 * planes;
        groups -= pairs * 2;
    }
#endif
    for (int g = 0; g < groups; ++g, p += 24, out += planes)
        thresholdGroup(p, out, planes);
}

// Unlit bits of one pixel: the bit of each plane, plane 1 in bit 0.
inline unsigned pixelBits(const uchar* p)
{
    return unsigned(p[0] <= kRedThreshold) | unsigned(p[1] <= kGreenThreshold) << 1
        | unsigned(p[2] <= kBlueThreshold) << 2;
}

// Widths that are not a multiple of 8: groups run on across row ends, so the
// pixels are thresholded as one sequence. A picture whose rows already lie
// end to end is read in place; any other is first fitted into such a buffer
// (black, which thresholds to unlit, fills what the picture does not cover).
void thresholdAnyWidth(const QImage& picture, int width, int height, int planes, uchar* out)
{
    const qsizetype rowBytes = qsizetype(width) * 3;
    const int groups = int(qint64(width) * height / 8);
    if (picture.width() == width && picture.height() == height && picture.bytesPerLine() == rowBytes) {
        thresholdGroups(picture.constBits(), groups, out, planes);
        return;
    }
    QByteArray buffer(rowBytes * height, '\0');
    const int rows = std::min(height, picture.height());
    const qsizetype copyBytes = qsizetype(std::min(width, picture.width())) * 3;
    for (int y = 0; y < rows; ++y)
        std::memcpy(buffer.data() + y * rowBytes, picture.constScanLine(y), size_t(copyBytes));
    thresholdGroups(reinterpret_cast<const uchar*>(buffer.constData()), groups, out, planes);
}

void thresholdInto(const QImage& picture, int width, int height, int planes, uchar* out)
{
    if (width % 8 != 0) {
        thresholdAnyWidth(picture, width, height, planes, out);
        return;
    }
    const int fitWidth = std::min(width, picture.width());
    const int fitHeight = std::min(height, picture.height());
    const int groupsPerRow = width / 8;
    const int fullGroups = fitWidth / 8; // groups wholly inside the picture
    const qsizetype rowBytes = qsizetype(groupsPerRow) * planes;
    for (int y = 0; y < height; ++y, out += rowBytes) {
        if (y >= fitHeight) {
            std::memset(out, kUnlitByte, size_t(rowBytes));
            continue;
        }
        const uchar* row = picture.constScanLine(y);
        thresholdGroups(row, fullGroups, out, planes);
        uchar* rest = out + qsizetype(fullGroups) * planes;
        for (int g = fullGroups; g < groupsPerRow; ++g, rest += planes) {
            // A group that reaches past the picture's right edge.
            unsigned acc[3] = {0, 0, 0};
            for (int i = 0; i < 8; ++i) {
                const int x = g * 8 + i;
                const unsigned bits = x < fitWidth ? pixelBits(row + 3 * x) : 7u;
                for (int c = 0; c < 3; ++c)
                    acc[c] = (acc[c] << 1) | ((bits >> c) & 1u);
            }
            for (int c = 0; c < planes; ++c)
                rest[c] = uchar(acc[c]);
        }
    }
}

} // namespace

int planeCountOfColorType(int colorType)
{
    switch (colorType) {
    case '9':
        return 2;
    case ':':
        return 3;
    default:
        return 1;
    }
}

qint64 bitPlaneByteCount(int width, int height, int planes)
{
    if (width <= 0 || height <= 0 || planes <= 0)
        return 0;
    return qint64(width) * height / 8 * planes;
}

int displayBlockCount(qint64 byteCount)
{
    if (byteCount <= 0)
        return 0;
    return int((byteCount + kDisplayBlockSize - 1) / kDisplayBlockSize);
}

void appendBitPlanes(const QImage& picture, int width, int height, int planes, QByteArray& out)
{
    planes = std::clamp(planes, 1, 3);
    const qint64 count = bitPlaneByteCount(width, height, planes);
    if (count <= 0)
        return;
    const QImage source = picture.format() == kPictureFormat ? picture : toPicture(picture);
    const qsizetype start = out.size();
    out.resize(start + qsizetype(count));
    uchar* dest = reinterpret_cast<uchar*>(out.data()) + start;
    if (source.isNull())
        std::memset(dest, kUnlitByte, size_t(count));
    else
        thresholdInto(source, width, height, planes, dest);
}

QByteArray bitPlanes(const QImage& picture, int width, int height, int planes)
{
    QByteArray out;
    appendBitPlanes(picture, width, height, planes, out);
    return out;
}

} // namespace ledsign
