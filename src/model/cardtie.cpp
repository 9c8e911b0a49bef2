#include "model/cardtie.h"

#include "language/language.h"
#include "model/projectmodel.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace ledsign {

namespace {

constexpr int kCodeBytes = 8;
constexpr int kNewCardVersion = 80;

} // namespace

void giveNewCardDefaults(TFIXModem& card)
{
    card.internalCode = QStringLiteral("00_00_00_00_00_00_00_00");
    // An invented address would be offered the server at every start, and
    // refused as outside the network; the card's own comes when it reports.
    card.ipAddress.clear();
    card.macAddress = QStringLiteral("0:0:0:0:0:0");
    card.version = kNewCardVersion;
}

std::optional<QString> parseInternalCode(const QString& text)
{
    const QStringList parts = text.trimmed().split(u'_');
    if (parts.size() != kCodeBytes)
        return std::nullopt;
    QStringList values;
    for (const QString& part : parts) {
        const QString digits = part.trimmed();
        bool ok = false;
        const int v = digits.toInt(&ok, 10);
        if (digits.isEmpty() || !ok || v < 0 || v > 255 || digits.startsWith(u'+') || digits.startsWith(u'-'))
            return std::nullopt;
        values << QString::number(v);
    }
    return values.join(u'_');
}

bool isPlaceholderCode(const QString& code)
{
    if (code.trimmed().isEmpty())
        return true;
    const std::optional<QString> parsed = parseInternalCode(code);
    return parsed
        && (*parsed == QStringLiteral("0_0_0_0_0_0_0_0")
            || *parsed == QStringLiteral("255_255_255_255_255_255_255_255"));
}

QString tieCandidate(const ProjectModel& model, const QString& selectedCard)
{
    const auto card = model.findCard(selectedCard);
    if (!card || !isPlaceholderCode(card.record->internalCode) || card.record->online || card.record->socket)
        return {};
    return card.record->name;
}

bool giveInternalCode(ProjectModel& model, const QString& cardName, const QString& code)
{
    const auto card = model.findCard(cardName);
    const std::optional<QString> parsed = parseInternalCode(code);
    if (!card || !parsed)
        return false;
    card.record->internalCode = *parsed;
    model.cardsChanged();
    return true;
}

namespace {

QString playbillKey(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

QList<SharedPlaybill> sharedPlaybills(const ProjectModel& model)
{
    // One pass with the files as keys: a fleet of cards is no square walk.
    QHash<QString, qsizetype> groupOfFile;
    QList<SharedPlaybill> groups;
    for (const TFIXModem& card : model.cards()) {
        if (card.programFile.isEmpty())
            continue;
        const QString key = playbillKey(card.programFile);
        const auto found = groupOfFile.constFind(key);
        if (found == groupOfFile.cend()) {
            groupOfFile.insert(key, groups.size());
            groups.append(SharedPlaybill{card.programFile, {card.name}});
        } else {
            groups[*found].cards << card.name;
        }
    }
    groups.removeIf([](const SharedPlaybill& g) { return g.cards.size() < 2; });
    return groups;
}

QStringList cardsSharingPlaybill(const ProjectModel& model, const QString& cardName, const QString& path)
{
    QStringList names;
    if (path.isEmpty())
        return names;
    const auto key = playbillKey;
    const QString wanted = key(path);
    for (const TFIXModem& other : model.cards()) {
        if (other.name != cardName && !other.programFile.isEmpty() && key(other.programFile) == wanted)
            names << other.name;
    }
    return names;
}

QString sharedPlaybillText(const QStringList& cards, const QString& path)
{
    return messageText(QStringLiteral("warn_playbill_shared")).arg(cards.join(QStringLiteral(", ")), path);
}

} // namespace ledsign
