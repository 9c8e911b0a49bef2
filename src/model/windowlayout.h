// Where the main window was and how its columns were divided, kept in the
// settings file so that the next start looks as the operator left it. A
// value that is missing or cannot be read is left out, and the window then
// uses its own first layout for that part.
#pragma once

#include <QList>
#include <QRect>

namespace ledsign {

class IniFile;

struct WindowLayout {
    QRect geometry;          // the window's normal place and size; null when unknown
    bool maximized = false;
    QList<int> mainSplit;    // tree and property column | canvas column; empty when unknown
    QList<int> leftSplit;    // tree | property editor; empty when unknown

    bool operator==(const WindowLayout&) const = default;

    // Section "WindowLayout"; nothing is written while the geometry is
    // unknown, so a file of a program that never showed its window keeps
    // only the keys it always had.
    static WindowLayout fromIni(const IniFile& ini);
    void writeTo(IniFile& ini) const;
};

// True when the operator can reach a window of that geometry: a stretch of
// its top edge, where the title bar is, lies on one of the screens (their
// available areas).
bool isWindowReachable(const QRect& geometry, const QList<QRect>& screens);

} // namespace ledsign
