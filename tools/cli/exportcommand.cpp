// export: the playbill data file of a USB-disk export, built by the same
// download builder a send uses.
#include "commands.h"
#include "exportparams.h"
#include "output.h"
#include "playbillsource.h"

#include "config/scanmodes.h"
#include "config/usbexport.h"
#include "model/atomicfile.h"
#include "protocol/downloadbuilder.h"
#include "protocol/exportfile.h"

#include <QDir>

namespace ledsign::cli {

namespace {

QString exportUsage()
{
    return QStringLiteral("usage: ledsign-cli export PLAYBILL (--card NAME | --width W --height H --colors 1|2|3)"
                          " --out DIR [--params LIST]\n\n"
                          "Writes the playbill data file \"%1\" a card reads from a USB disk and, with\n"
                          "--params, the screen parameter file \"%2\".\n\n")
               .arg(QString::fromLatin1(kExportDataFileName), QString::fromLatin1(kUsbParamFileName))
        + cardOptionsHelp() + QStringLiteral("  --out DIR          the folder the files are written to\n")
        + exportParametersHelp()
        + QStringLiteral("\nExit status: 0 done; 1 failed (a file could not be read or written); 2 wrong arguments.\n");
}

} // namespace

int runExport(const QStringList& args)
{
    CardOptions options;
    QString error;
    if (!parseCardOptions(args, true, options, error)) {
        printError(QStringLiteral("ledsign-cli export: ") + error);
        printError(exportUsage());
        return kExitUsage;
    }
    if (options.help) {
        printLine(exportUsage());
        return kExitOk;
    }
    LoadedPlaybill loaded;
    if (!loadPlaybill(options, loaded, error)) {
        printError(QStringLiteral("ledsign-cli export: ") + error);
        return kExitFailure;
    }
    // The parameters are checked before anything is written.
    QByteArray paramFile;
    if (!options.params.isEmpty()) {
        const TFIXModem& card = *loaded.model.findCard(loaded.cardName).record;
        const int colors = card.colorType == kColorSingle ? 1 : card.colorType == kColorDual ? 2 : 3;
        ExportParameters parameters;
        if (!parseExportParameters(options.params, card.width, card.height, colors, parameters, error)) {
            printError(QStringLiteral("ledsign-cli export: ") + error);
            printError(exportUsage());
            return kExitUsage;
        }
        QString serial;
        paramFile = exportParameterFile(parameters, ScanModeTable::forCurrentLanguage(), serial);
    }

    for (const QString& line : unsentTableRows(loaded.model, loaded.cardName))
        printError(QStringLiteral("ledsign-cli export: ") + line);
    QString convertError;
    DownloadBuilder builder([&convertError, convert = standardSendConversion()](
                                TFodder& material, const TRegion& region, const TFIXModem& card) {
        SendConversionResult result = convert(material, region, card);
        convertError = result.error;
        return result;
    });
    DownloadOptions downloadOptions;
    downloadOptions.exportFile = true;
    const DownloadBuild build = builder.build(loaded.model, loaded.cardName, downloadOptions);
    if (!build.ok) {
        QString message = build.failure.message();
        if (!convertError.isEmpty() && !message.contains(convertError))
            message += QStringLiteral("\n") + convertError;
        printError(QStringLiteral("ledsign-cli export: ") + message);
        return kExitFailure;
    }
    if (!QDir().mkpath(options.outDir)) {
        printError(QStringLiteral("ledsign-cli export: cannot create %1").arg(options.outDir));
        return kExitFailure;
    }
    if (!writeExportDataFile(options.outDir, build.download, &error)) {
        printError(QStringLiteral("ledsign-cli export: cannot write %1: %2")
                       .arg(QDir(options.outDir).filePath(QString::fromLatin1(kExportDataFileName)), error));
        return kExitFailure;
    }
    if (!paramFile.isEmpty()) {
        const QString path = QDir(options.outDir).filePath(QString::fromLatin1(kUsbParamFileName));
        if (!writeFileAtomically(path, paramFile, &error)) {
            printError(QStringLiteral("ledsign-cli export: cannot write %1: %2").arg(path, error));
            return kExitFailure;
        }
        printLine(QStringLiteral("%1: screen parameters, %2 bytes").arg(path).arg(paramFile.size()));
    }
    printLine(QStringLiteral("%1: %2 material(s), %3 frame(s)")
                  .arg(QDir(options.outDir).filePath(QString::fromLatin1(kExportDataFileName)))
                  .arg(build.download.materialCount)
                  .arg(build.download.blockTotal + 1));
    return kExitOk;
}

} // namespace ledsign::cli
