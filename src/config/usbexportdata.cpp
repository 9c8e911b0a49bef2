#include "config/usbexportdata.h"

#include "content/sendconversion.h"
#include "protocol/exportfile.h"

namespace ledsign {

SendConversion standardSendConversion()
{
    return [](TFodder& material, const TRegion& region, const TFIXModem& card) {
        SendConversionResult r;
        r.ok = sendConversion(material, region.width, region.height, card.name, card.colorType, r.displayData);
        return r;
    };
}

QByteArray usbExportData(ProjectModel& model, const QString& cardName, const DownloadBuilder& builder, bool rs485,
                         QString* error)
{
    DownloadOptions options;
    options.rs485 = rs485;
    options.exportFile = true;
    const DownloadBuild build = builder.build(model, cardName, options);
    if (!build.ok) {
        if (error)
            *error = build.failure.message();
        return {};
    }
    return exportDataBytes(build.download);
}

} // namespace ledsign
