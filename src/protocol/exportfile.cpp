#include "protocol/exportfile.h"

#include "model/atomicfile.h"

#include <QDir>
#include <QIODevice>

namespace ledsign {

namespace {
const QString kNotForFile = QStringLiteral("The download was not prepared for a file.");
}

QByteArray exportDataBytes(const PreparedDownload& download)
{
    if (download.headerFrame.isEmpty())
        return {};
    QByteArray out = download.headerFrame;
    for (const rSendFdrContent& p : download.materialPackets)
        out += p.bytes;
    return out;
}

bool writeExportData(QIODevice& device, const PreparedDownload& download, QString* error)
{
    const QByteArray bytes = exportDataBytes(download);
    if (bytes.isEmpty()) {
        if (error)
            *error = kNotForFile;
        return false;
    }
    if (device.write(bytes) != bytes.size()) {
        if (error)
            *error = device.errorString();
        return false;
    }
    return true;
}

bool writeExportDataFile(const QString& folder, const PreparedDownload& download, QString* error)
{
    const QByteArray bytes = exportDataBytes(download);
    if (bytes.isEmpty()) {
        if (error)
            *error = kNotForFile;
        return false;
    }
    return writeFileAtomically(QDir(folder).filePath(QLatin1String(kExportDataFileName)), bytes, error);
}

} // namespace ledsign
