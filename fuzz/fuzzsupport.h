// Shared set-up for the fuzz targets: a GUI application on the offscreen
// platform (fonts and text documents need one) and a way to cut the fuzz
// input into the pieces a socket or serial port would hand us.
#pragma once

#include <QByteArray>
#include <QGuiApplication>
#include <QList>
#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace ledsign::fuzz {

inline void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "ledsign-fuzz";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit the font database it would tidy up is gone
    // already, and a fuzz run would end in a crash that no input caused.
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// The first byte picks the read size (1..256), so that one input exercises
// frames that arrive whole, split, or glued to the next one.
inline QList<QByteArray> readsOf(const uint8_t* data, size_t size)
{
    QList<QByteArray> reads;
    if (size == 0)
        return reads;
    const size_t step = size_t(data[0]) + 1;
    for (size_t at = 1; at < size; at += step)
        reads.append(bytesOf(data + at, std::min(step, size - at)));
    return reads;
}

// A check that stays on in every build type: a fuzz finding, not a silent pass.
#define LEDSIGN_FUZZ_CHECK(cond) \
    do { if (!(cond)) __builtin_trap(); } while (0)

} // namespace ledsign::fuzz
