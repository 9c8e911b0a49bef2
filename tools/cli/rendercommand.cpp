// render: every material of the playbill as the card will show it: its
// pictures as PNG files and its display data, exactly the bytes the card
// receives for it, as one .bin file.
#include "commands.h"
#include "output.h"
#include "playbillsource.h"

#include "content/picturefit.h"
#include "content/previewconversion.h"
#include "content/sendconversion.h"
#include "language/language.h"
#include "model/atomicfile.h"
#include "protocol/pagetimebuffer.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>

namespace ledsign::cli {

namespace {

QString renderUsage()
{
    return QStringLiteral("usage: ledsign-cli render PLAYBILL (--card NAME | --width W --height H --colors 1|2|3)"
                          " --out DIR\n\n"
                          "Writes every material's pictures as PNG files (MM-PPP.png) and the display data\n"
                          "the card receives for it (MM.bin), MM being the material's place in the playbill.\n\n")
        + cardOptionsHelp() + QStringLiteral("  --out DIR          the folder the files are written to\n")
        + QStringLiteral("\nExit status: 0 done; 1 failed (a material could not be rendered, a file could not be\n"
                         "read or written); 2 wrong arguments.\n");
}

// The pictures the material shows, each W x H.
QList<QImage> materialPictures(const TFodder& material, int width, int height, QString& error)
{
    const PreviewPictures preview = previewConversion(material, width, height, -1);
    QList<QImage> pictures;
    if (!preview.ok) {
        error = preview.error;
        return pictures;
    }
    for (const QImage& picture : preview.pictures)
        pictures << fitPictureToRegion(picture, width, height);
    for (const QString& path : preview.imageFiles) {
        QImageReader reader(path);
        const QImage image = reader.read();
        if (image.isNull()) {
            error = QStringLiteral("cannot read the picture %1: %2").arg(path, reader.errorString());
            return {};
        }
        pictures << fitPictureToRegion(image, width, height);
    }
    return pictures;
}

} // namespace

int runRender(const QStringList& args)
{
    CardOptions options;
    QString error;
    bool parsed = parseCardOptions(args, true, options, error);
    if (parsed && !options.params.isEmpty()) {
        error = QStringLiteral("--params belongs to export");
        parsed = false;
    }
    if (!parsed) {
        printError(QStringLiteral("ledsign-cli render: ") + error);
        printError(renderUsage());
        return kExitUsage;
    }
    if (options.help) {
        printLine(renderUsage());
        return kExitOk;
    }
    LoadedPlaybill loaded;
    if (!loadPlaybill(options, loaded, error)) {
        printError(QStringLiteral("ledsign-cli render: ") + error);
        return kExitFailure;
    }
    if (!QDir().mkpath(options.outDir)) {
        printError(QStringLiteral("ledsign-cli render: cannot create %1").arg(options.outDir));
        return kExitFailure;
    }
    const QDir out(options.outDir);
    // A table's rows below its last picture never reach the card.
    for (const QString& line : unsentTableRows(loaded.model, loaded.cardName))
        printError(QStringLiteral("ledsign-cli render: ") + line);
    const TFIXModem card = *loaded.model.findCard(loaded.cardName).record;
    // Said before the work: such a playbill renders, but no card takes it.
    const int pages = int(loaded.model.pageNames(loaded.cardName).size());
    if (pages > PageTimeBuffer::kMaxPages) {
        printError(QStringLiteral("ledsign-cli render: ") + GetLgText(3, QStringLiteral("warn_pages_too_many"))
                   + QStringLiteral(" (%1 pages; a card takes at most %2)").arg(pages).arg(PageTimeBuffer::kMaxPages));
    }

    int index = 0;
    int failures = 0;
    for (TFodder& material : loaded.model.materials()) {
        if (material.cardName != loaded.cardName)
            continue;
        ++index;
        const Found<const TRegion> region = std::as_const(loaded.model)
                                                .findRegion(material.cardName, material.pageName, material.regionName);
        if (!region) {
            printError(QStringLiteral("ledsign-cli render: material %1 has no region").arg(material.name));
            ++failures;
            continue;
        }
        const int w = region.record->width;
        const int h = region.record->height;
        const QString stem = QStringLiteral("%1").arg(index, 2, 10, QLatin1Char('0'));

        QByteArray displayData;
        QString convertError;
        if (!sendConversion(material, w, h, card.name, card.colorType, displayData, {}, &convertError)) {
            printError(QStringLiteral("ledsign-cli render: material %1: %2").arg(material.name, convertError));
            ++failures;
            continue;
        }
        QString writeError;
        const QString binPath = out.filePath(stem + QStringLiteral(".bin"));
        if (!writeFileAtomically(binPath, displayData, &writeError)) {
            printError(QStringLiteral("ledsign-cli render: cannot write %1: %2").arg(binPath, writeError));
            return kExitFailure;
        }

        QString pictureError;
        const QList<QImage> pictures = materialPictures(material, w, h, pictureError);
        if (!pictureError.isEmpty()) {
            printError(QStringLiteral("ledsign-cli render: material %1: %2").arg(material.name, pictureError));
            ++failures;
            continue;
        }
        for (qsizetype p = 0; p < pictures.size(); ++p) {
            const QString name = stem + QStringLiteral("-%1.png").arg(p + 1, 3, 10, QLatin1Char('0'));
            QBuffer png;
            png.open(QIODevice::WriteOnly);
            pictures.at(p).save(&png, "PNG");
            if (!writeFileAtomically(out.filePath(name), png.data(), &writeError)) {
                printError(QStringLiteral("ledsign-cli render: cannot write %1: %2").arg(out.filePath(name), writeError));
                return kExitFailure;
            }
        }
        printLine(QStringLiteral("%1 %2: %3 x %4, %5 picture(s), %6 bytes of display data")
                      .arg(stem, material.name)
                      .arg(w)
                      .arg(h)
                      .arg(pictures.size())
                      .arg(displayData.size()));
    }
    if (index == 0) {
        printError(QStringLiteral("ledsign-cli render: the playbill has no materials"));
        return kExitFailure;
    }
    return failures ? kExitFailure : kExitOk;
}

} // namespace ledsign::cli
