#include "config/usbexportdata.h"

#include "content/sendconversion.h"
#include "protocol/exportfile.h"

namespace ledsign {

SendConversion standardSendConversion()
{
    return [](TFodder& material, const TRegion& region, const TFIXModem& card) {
        SendConversionResult r;
        r.ok = sendConversion(material, region.width, region.height, card.name, card.colorType, r.displayData, {},
                              &r.error);
        return r;
    };
}

} // namespace ledsign
