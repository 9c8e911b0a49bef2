#include "model/cardlist.h"

#include "model/cardsize.h"
#include "model/inifile.h"

#include <QSet>
#include <QStringList>

namespace ledsign {

namespace {

constexpr int kMinItems = 7;
constexpr int kItemWidth = 0;
constexpr int kItemHeight = 1;
constexpr int kItemFile = 2;
constexpr int kItemInternalCode = 3;
constexpr int kItemIpAddress = 4;
constexpr int kItemMacAddress = 5;
constexpr int kItemVersion = 6;
constexpr int kItemColor = 7;

constexpr int kDefaultWidth = 256;
constexpr int kDefaultHeight = 128;

int sizeItem(const QString& text, int fallback)
{
    int v = 0;
    // A panel of no pixels cannot be drawn or sent; treat it like a non-number.
    if (!parseWholeInt(text, &v) || v < 1)
        return fallback;
    return v;
}

// The last part of a stored path, written by either system.
QString baseName(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return cut < 0 ? path : path.mid(cut + 1);
}

// The file item names a file inside the playbill folder: any folder part is
// dropped so that a line cannot point outside it.
QString playbillPath(const QString& item, const QString& playbillFolder)
{
    const QString name = baseName(item).trimmed();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    return playbillFolder + u'/' + name;
}

QString restoreBlanks(QString item)
{
    return item.replace(QLatin1String(kBlankMark), QLatin1String(" "));
}

} // namespace

int colorTypeFromDigit(const QString& digit)
{
    const QString d = digit.trimmed();
    if (d == QLatin1String("2"))
        return '9';
    if (d == QLatin1String("3"))
        return ':';
    return '8';
}

QString colorDigit(int colorType)
{
    if (colorType == '9')
        return QStringLiteral("2");
    if (colorType == ':')
        return QStringLiteral("3");
    return QStringLiteral("1");
}

std::optional<CardListLine> parseCardListLine(const QString& name, const QString& value,
                                              const QString& playbillFolder)
{
    // Blanks are marked before the split; the mark is turned back into a
    // blank in every item so that names written with it are found again.
    QString text = value.trimmed();
    text.replace(u' ', QLatin1String(kBlankMark));
    QStringList items = text.split(u',');
    if (items.size() < kMinItems)
        return std::nullopt;
    for (QString& item : items)
        item = restoreBlanks(item);

    CardListLine line;
    line.name = name;
    line.width = sizeItem(items.at(kItemWidth), kDefaultWidth);
    line.height = sizeItem(items.at(kItemHeight), kDefaultHeight);
    if (!isCardSizeAllowed(line.width, line.height)) {
        line.refusedSize = QStringLiteral("%1 x %2").arg(line.width).arg(line.height);
        line.width = line.width <= kMaxCardSide ? line.width : kDefaultWidth;
        line.height = line.height <= kMaxCardSide ? line.height : kDefaultHeight;
    }
    line.programFile = playbillPath(items.at(kItemFile), playbillFolder);
    line.internalCode = items.at(kItemInternalCode).trimmed();
    line.ipAddress = items.at(kItemIpAddress).trimmed();
    line.macAddress = items.at(kItemMacAddress).trimmed();
    int version = -1;
    line.version = parseWholeInt(items.at(kItemVersion), &version) ? version : -1;
    if (line.version == -1 && !items.at(kItemVersion).trimmed().isEmpty() && items.at(kItemVersion).trimmed() != QLatin1String("-1"))
        line.refusedVersion = items.at(kItemVersion).trimmed();
    line.colorType = items.size() > kItemColor ? colorTypeFromDigit(items.at(kItemColor)) : '8';
    return line;
}

QString formatCardListLine(const CardListLine& line)
{
    QString file = baseName(line.programFile);
    file.replace(u' ', QLatin1String(kBlankMark));
    const QStringList items{
        QString::number(line.width),
        QString::number(line.height),
        file,
        line.internalCode,
        line.ipAddress,
        line.macAddress,
        QString::number(line.version),
        colorDigit(line.colorType),
    };
    return items.join(u',');
}

QList<CardListLine> readCardList(const IniFile& ini, const QString& playbillFolder)
{
    QList<CardListLine> cards;
    QSet<QString> seen;
    for (auto [key, value] : ini.keyValues(QLatin1String(kCardsInfoSection))) {
        // A card name holding "=" was split there by the reader: the part of
        // the value before the first "=" belongs to the name when it holds no
        // comma (a line's own items never come before a comma).
        const qsizetype eq = value.indexOf(u'=');
        if (eq >= 0 && !QStringView(value).left(eq).contains(u',')) {
            key += u'=' + value.left(eq);
            value = value.mid(eq + 1);
        }
        if (seen.contains(key))
            continue;
        if (auto line = parseCardListLine(key, value, playbillFolder)) {
            seen.insert(key);
            cards.append(*line);
        }
    }
    return cards;
}

void writeCardList(IniFile& ini, const QList<CardListLine>& cards)
{
    const QString section = QLatin1String(kCardsInfoSection);
    ini.eraseSection(section);
    for (const CardListLine& card : cards)
        ini.appendValue(section, card.name, formatCardListLine(card));
}

} // namespace ledsign
