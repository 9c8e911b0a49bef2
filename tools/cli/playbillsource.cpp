#include "playbillsource.h"

#include "content/tablepieces.h"
#include "model/cardlist.h"
#include "model/materialkinds.h"
#include "model/inifile.h"
#include "model/playbillreader.h"
#include "output.h"
#include "protocol/downloadbuilder.h"

#include <QFile>
#include <QFileInfo>

namespace ledsign::cli {

namespace {

// The name of the card made from the command line.
constexpr const char* kCommandLineCard = "card";

bool cardFromList(const CardOptions& options, const DataFolder& folders, TFIXModem& card, QString& error)
{
    IniFile ini;
    if (!ini.load(folders.settingsFile())) {
        error = QStringLiteral("cannot read %1: %2").arg(folders.settingsFile(), ini.errorString());
        return false;
    }
    const QList<CardListLine> lines = readCardList(ini, folders.programFolder());
    for (const CardListLine& line : lines) {
        if (line.name != options.cardName)
            continue;
        card.name = line.name;
        card.width = line.width;
        card.height = line.height;
        card.colorType = line.colorType;
        card.internalCode = line.internalCode;
        card.ipAddress = line.ipAddress;
        card.macAddress = line.macAddress;
        card.version = line.version;
        return true;
    }
    error = QStringLiteral("there is no card named \"%1\" in %2").arg(options.cardName, folders.settingsFile());
    return false;
}

} // namespace

bool loadPlaybill(const CardOptions& options, LoadedPlaybill& out, QString& error)
{
    out.folders = options.home.isEmpty() ? DataFolder::resolve({QString()})
                                         : DataFolder(QFileInfo(options.home).absoluteFilePath());

    TFIXModem card;
    if (!options.cardName.isEmpty()) {
        if (!cardFromList(options, out.folders, card, error))
            return false;
    } else {
        card.name = QString::fromLatin1(kCommandLineCard);
        card.width = options.width;
        card.height = options.height;
        card.colorType = colorTypeFromDigit(QString::number(options.colors));
    }
    // A card that never reported its version is taken to be one that can
    // take a playbill; a reported older version is still refused.
    if (card.version < 0)
        card.version = kMinDownloadVersion;
    out.cardName = out.model.addCard(card).name;

    return readPlaybillInto(out.model, out.folders, out.cardName, options.playbill, error);
}

bool readPlaybillInto(ProjectModel& model, const DataFolder& folders, const QString& cardName, const QString& path,
                      QString& error)
{
    QFile file(path);
    if (!file.exists()) {
        error = QStringLiteral("the playbill %1 does not exist").arg(path);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    QStringList messages;
    PlaybillReader reader(model, folders);
    const PlaybillReader::Status status =
        reader.read(cardName, file, [&messages](const QString& text) { messages << text; });
    if (status != PlaybillReader::Status::Loaded) {
        error = QStringLiteral("cannot read the playbill %1: %2").arg(path, reader.errorString());
        if (reader.errorLine() > 0)
            error += QStringLiteral(" (line %1)").arg(reader.errorLine());
        return false;
    }
    // What could not be read is said, so that a render or send with
    // materials missing is not taken for the whole playbill.
    const QString damage = reader.damageText(path);
    if (!damage.isEmpty())
        printError(damage);
    return true;
}

QStringList unsentTableRows(const ProjectModel& model, const QString& cardName)
{
    QStringList lines;
    for (const TFodder& material : model.materials()) {
        if (material.cardName != cardName || material.kind != kTable)
            continue;
        const Found<const TRegion> region = model.findRegion(material.cardName, material.pageName, material.regionName);
        if (!region)
            continue;
        const QString text = tableMaterialRowsNotSent(material, region.record->width, region.record->height);
        if (!text.isEmpty())
            lines << QStringLiteral("material %1: %2").arg(material.name, text);
    }
    return lines;
}

} // namespace ledsign::cli
