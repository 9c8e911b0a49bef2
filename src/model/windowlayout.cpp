#include "model/windowlayout.h"

#include "model/inifile.h"

#include <QStringList>

namespace ledsign {

namespace {

const QString kSection = QStringLiteral("WindowLayout");
const QString kGeometryKey = QStringLiteral("Geometry");
const QString kMaximizedKey = QStringLiteral("Maximized");
const QString kMainSplitKey = QStringLiteral("MainSplit");
const QString kLeftSplitKey = QStringLiteral("LeftSplit");

// Sizes no screen has are a damaged value, not a window.
constexpr int kMinWindowSide = 100;
constexpr int kMaxWindowSide = 30000;
constexpr int kMaxPosition = 100000;
constexpr int kMaxPaneSize = 30000;
// How much of the top edge must be on a screen to grab the title bar.
constexpr int kReachableWidth = 100;
constexpr int kReachableHeight = 20;

// Comma-separated integers, exactly `count` of them, each within the bounds.
QList<int> readNumbers(const QString& text, qsizetype count, int low, int high)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != count)
        return {};
    QList<int> numbers;
    for (const QString& part : parts) {
        bool ok = false;
        const int n = part.trimmed().toInt(&ok);
        if (!ok || n < low || n > high)
            return {};
        numbers << n;
    }
    return numbers;
}

QString writeNumbers(const QList<int>& numbers)
{
    QStringList parts;
    for (int n : numbers)
        parts << QString::number(n);
    return parts.join(u',');
}

// Two panes, at least one of them with a size.
QList<int> readSplit(const IniFile& ini, const QString& key)
{
    const QList<int> sizes = readNumbers(ini.value(kSection, key), 2, 0, kMaxPaneSize);
    return sizes.size() == 2 && sizes[0] + sizes[1] > 0 ? sizes : QList<int>();
}

} // namespace

WindowLayout WindowLayout::fromIni(const IniFile& ini)
{
    WindowLayout layout;
    const QList<int> g = readNumbers(ini.value(kSection, kGeometryKey), 4, -kMaxPosition, kMaxPosition);
    if (g.size() == 4 && g[2] >= kMinWindowSide && g[2] <= kMaxWindowSide && g[3] >= kMinWindowSide
        && g[3] <= kMaxWindowSide)
        layout.geometry = QRect(g[0], g[1], g[2], g[3]);
    layout.maximized = ini.boolValue(kSection, kMaximizedKey, false);
    layout.mainSplit = readSplit(ini, kMainSplitKey);
    layout.leftSplit = readSplit(ini, kLeftSplitKey);
    return layout;
}

void WindowLayout::writeTo(IniFile& ini) const
{
    if (!geometry.isValid())
        return;
    ini.setValue(kSection, kGeometryKey,
                 writeNumbers({geometry.x(), geometry.y(), geometry.width(), geometry.height()}));
    ini.setBool(kSection, kMaximizedKey, maximized);
    if (mainSplit.size() == 2)
        ini.setValue(kSection, kMainSplitKey, writeNumbers(mainSplit));
    if (leftSplit.size() == 2)
        ini.setValue(kSection, kLeftSplitKey, writeNumbers(leftSplit));
}

bool isWindowReachable(const QRect& geometry, const QList<QRect>& screens)
{
    if (!geometry.isValid())
        return false;
    const QRect topEdge(geometry.left(), geometry.top(), geometry.width(), kReachableHeight);
    const int wanted = qMin(kReachableWidth, geometry.width());
    for (const QRect& screen : screens) {
        const QRect seen = topEdge.intersected(screen);
        if (seen.width() >= wanted && seen.height() >= kReachableHeight)
            return true;
    }
    return false;
}

} // namespace ledsign
