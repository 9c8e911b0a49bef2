#include "editing/propertyvalues.h"

#include "editing/canvasgeometry.h"

namespace ledsign {

namespace {

const QString kStartDefault = QStringLiteral("00:00");
const QString kEndDefault = QStringLiteral("24:00");
constexpr int kColonMaxPosition = 3; // 1-based position of ":" in "HH:"
constexpr int kTimeTextLength = 5;   // "HH:mm"

bool isTimeOfDay(const QString& text)
{
    if (text.size() != kTimeTextLength || text.at(2) != QLatin1Char(':'))
        return false;
    for (int i : {0, 1, 3, 4}) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    const int hours = text.left(2).toInt();
    const int minutes = text.mid(3, 2).toInt();
    return hours <= 23 && minutes <= 59;
}

// The same axis rules for both directions: `start` and `length` of the
// region, `limit` the card's size.
void applyPosition(int& start, int& length, int value, int limit)
{
    start = value < 0 || value >= limit ? 0 : value;
    if (start + length >= limit)
        length = limit - start;
}

void applyLength(int& start, int& length, int value, int limit)
{
    length = value;
    if (length < canvas::kMinRegionSide)
        length = canvas::kMinRegionSide;
    if (length >= limit)
        length = limit;
    if (start + length >= limit)
        start = qMax(0, limit - length);
}

} // namespace

QString identifierFrom(const QString& text)
{
    const int value = qMax(0, numberOr(text, 0));
    return QStringLiteral("%1").arg(value, kIdentifierDigits, 10, QLatin1Char('0')).left(kIdentifierDigits);
}

int remainTimeFrom(const QString& text, int fallback)
{
    const int value = numberOr(text, fallback);
    return value > kMaxRemainTime ? kMaxRemainTime : value;
}

QString normalisePageTime(const QString& text, bool endTime)
{
    const QString& fallback = endTime ? kEndDefault : kStartDefault;
    QString t = text.trimmed();
    int colon = static_cast<int>(t.indexOf(QLatin1Char(':'))) + 1; // 1-based, 0 when none
    if (colon == 0 || colon > kColonMaxPosition)
        return fallback;
    while (colon < kColonMaxPosition) {
        t.prepend(QLatin1Char('0'));
        ++colon;
    }
    while (t.size() < kTimeTextLength + 1)
        t.append(QLatin1Char('0'));
    t = t.left(kTimeTextLength);
    return isTimeOfDay(t) ? t : fallback;
}

TRegion applyRegionField(TRegion region, RegionField field, const QString& text, int cardWidth, int cardHeight)
{
    switch (field) {
    case RegionField::Left:
        applyPosition(region.left, region.width, canvas::snapToGrid(numberOr(text, 0)), cardWidth);
        break;
    case RegionField::Top:
        applyPosition(region.top, region.height, numberOr(text, 0), cardHeight);
        break;
    case RegionField::Width:
        applyLength(region.left, region.width, canvas::snapToGrid(numberOr(text, 0)), cardWidth);
        break;
    case RegionField::Height:
        applyLength(region.top, region.height, numberOr(text, 0), cardHeight);
        break;
    }
    return region;
}

} // namespace ledsign
