#include "protocol/downloadbuilder.h"

#include <algorithm>

#include "content/sendconversion.h"
#include "model/pagetime.h"
#include "protocol/conversions.h"
#include "protocol/downloadheader.h"
#include "protocol/frame.h"

namespace ledsign {

namespace {

constexpr int kLastOfCardFlag = 1;

struct MaterialStep {
    qsizetype region = -1;   // index in the region list
    qsizetype material = -1; // index in the material list
};

struct PageStep {
    qsizetype page = -1;
    QList<MaterialStep> materials;
};

DownloadBuild failed(const char* key, const QString& detail = QString())
{
    DownloadBuild b;
    b.failure.messageKey = QLatin1String(key);
    b.failure.detail = detail;
    return b;
}

bool isMaterialIdSendable(const QString& id)
{
    return id.size() == 9 && std::all_of(id.cbegin(), id.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

DownloadBuild failed(const EncodeFailure& failure)
{
    DownloadBuild b;
    b.failure = failure;
    return b;
}

// Pages of the card in list order (text-program pages excluded), each with
// its materials: regions in list order, materials in list order.
QList<PageStep> walk(const ProjectModel& model, const QString& cardName)
{
    QList<PageStep> steps;
    const auto& pages = model.pages();
    const auto& regions = model.regions();
    const auto& materials = model.materials();
    for (qsizetype p = 0; p < pages.size(); ++p) {
        const TProgram& page = pages.at(p);
        if (page.cardName != cardName || page.textProgramPage != 0)
            continue;
        PageStep step;
        step.page = p;
        for (qsizetype r = 0; r < regions.size(); ++r) {
            const TRegion& region = regions.at(r);
            if (region.cardName != cardName || region.pageId != page.id)
                continue;
            for (qsizetype m = 0; m < materials.size(); ++m) {
                const TFodder& material = materials.at(m);
                if (material.cardName == cardName && material.regionId == region.id)
                    step.materials << MaterialStep{r, m};
            }
        }
        steps << step;
    }
    return steps;
}

} // namespace

void PreparedDownload::installInto(TFIXModem& card) const
{
    card.counters[0] = blockTotal;
    card.counters[1] = 0;
    card.counters[2] = 0;
    card.materialPackets = materialPackets;
    card.materialPacketsItem = 0;
    card.headerParts = headerParts;
    card.headerPartsItem = 0;
    if (!frameSerial.isEmpty())
        card.frameSerial = frameSerial;
}

SendConversion standardSendConversion(const MessageSink& status)
{
    return [status](TFodder& material, const TRegion& region, const TFIXModem& card) {
        SendConversionResult r;
        r.ok = sendConversion(material, region.width, region.height, card.name, card.colorType, r.displayData,
                              status, &r.error);
        return r;
    };
}

DownloadBuilder::DownloadBuilder(SendConversion convert, MaterialEncoder encoder, SerialSource serials)
    : convert_(std::move(convert))
    , encoder_(std::move(encoder))
    , serials_(serials ? std::move(serials) : SerialSource([] { return frame::newSerial(); }))
{
}

DownloadBuild DownloadBuilder::build(ProjectModel& model, const QString& cardName,
                                     const DownloadOptions& options) const
{
    const Found<TFIXModem> found = model.findCard(cardName);
    if (!found)
        return failed("", QStringLiteral("There is no card named \"%1\".").arg(cardName));
    const TFIXModem card = *found.record;

    // The internal code addresses every RS-485 packet; the all-255 code was
    // never set, and a code that does not read cannot address anything.
    const bool networkHeader = !options.rs485 || options.exportFile;
    convert::InternalCode address{};
    if (isUnsetInternalCode(card.internalCode)
        || (!networkHeader && !convert::internalCodeToBytes(card.internalCode, address)))
        return failed("warn_innercode_error");
    if (card.version < kMinDownloadVersion)
        return failed("warn_card_version_low_send");

    // Too many pages is known from the page list alone: refused before the
    // walk over every region and material of a playbill that cannot go.
    qsizetype pageCount = 0;
    for (const TProgram& page : model.pages())
        pageCount += page.cardName == cardName && page.textProgramPage == 0;
    if (pageCount > PageTimeBuffer::kMaxPages)
        return failed("warn_pages_too_many",
                      QStringLiteral("The playbill has %1 pages; a card takes at most %2.")
                          .arg(pageCount)
                          .arg(PageTimeBuffer::kMaxPages));
    const QList<PageStep> steps = walk(model, cardName);
    qsizetype materialTotal = 0;
    for (const PageStep& s : steps)
        materialTotal += s.materials.size();
    if (materialTotal == 0)
        return failed("warn_contents_empty_Send");

    DownloadBuild result;
    PreparedDownload& d = result.download;
    d.cardName = cardName;

    int sendNo = 0;
    qsizetype lastWithFrames = -1;       // material list index
    MaterialFrameOptions lastOptions;
    for (const PageStep& step : steps) {
        const TProgram& page = model.pages().at(step.page);
        QByteArray record;
        QString error;
        if (!encodePageTime(page, &record, &error))
            return failed("warn_page_time_invalid",
                          QStringLiteral("The play date of page %1 cannot be read. %2").arg(page.name, error));
        if (networkHeader && !d.pageTimes.append(record))
            return failed("warn_page_time_invalid",
                          QStringLiteral("The play time %1-%2 of page %3 is not of the form HH:mm-HH:mm.")
                              .arg(page.startTime, page.endTime, page.name));
        d.description.appendPage(page);

        for (const MaterialStep& ms : step.materials) {
            TFodder& material = model.materials()[ms.material];
            const TRegion& region = model.regions().at(ms.region);
            // The card reads each material entry by position: an id of any
            // other form shifts the entry and the card refuses the header.
            if (!isMaterialIdSendable(material.id))
                return failed("", QStringLiteral("Material %1 has the id \"%2\"; a card takes only ids of nine digits.")
                                      .arg(material.name, material.id));
            const SendConversionResult converted =
                convert_ ? convert_(material, region, card) : SendConversionResult{true, {}, {}};
            if (!converted.ok)
                return failed("warn_material_empty_send",
                              converted.error.isEmpty() ? QStringLiteral("Material %1 is empty.").arg(material.name)
                                                        : converted.error);

            d.description.appendMaterial(material, region);
            material.sendNo = ++sendNo;
            material.downloadFlags[kLastOfCardFlag] = 0;

            MaterialFrameOptions mo;
            mo.colorType = card.colorType;
            mo.regionWidth = region.width;
            mo.regionHeight = region.height;
            mo.rs485 = options.rs485;
            mo.displayData = converted.displayData;
            const EncodedMaterial encoded = encoder_.encode(material, mo);
            if (!encoded.ok)
                return failed(encoded.failure);
            d.blockTotal += encoded.frameCount;
            d.materialPackets += encoded.packets;
            if (encoded.frameCount > 0) {
                lastWithFrames = ms.material;
                lastOptions = mo;
                d.frameSerial = encoded.lastSerial;
            }
        }
    }
    d.materialCount = sendNo;
    if (lastWithFrames < 0)
        return failed("warn_contents_empty_Send");

    // The card learns that the playbill is complete from the end marker in
    // the last frame of the last material; that material is built again with
    // it. A trailing material of no known kind sends nothing, so the marker
    // goes to the last one that does.
    TFodder& last = model.materials()[lastWithFrames];
    last.downloadFlags[kLastOfCardFlag] = 1;
    d.materialPackets.removeIf([&](const rSendFdrContent& p) { return p.sendNo == last.sendNo; });
    const EncodedMaterial again = encoder_.encode(last, lastOptions);
    if (!again.ok)
        return failed(again.failure);
    d.materialPackets += again.packets;
    d.frameSerial = again.lastSerial;

    if (networkHeader) {
        const QByteArray data = descriptionWithPageTimes(d.description, d.pageTimes);
        if (!download::fitsNetworkHeader(data.size()))
            return failed("warn_comm_send_exception",
                          QStringLiteral("The playbill description has %1 bytes; one header frame carries at most %2.")
                              .arg(data.size())
                              .arg(download::kMaxHeaderDataSize));
        const quint32 serial = serials_() % frame::kSerialLimit;
        d.headerFrame = download::networkHeaderFrame(data, serial);
        d.frameSerial = frame::serialText(serial);
    } else {
        d.headerParts = download::headerPackets485(d.description.text, download::kHeaderPlaybill, address, serials_);
        if (d.headerParts.isEmpty())
            return failed("warn_comm_send_exception");
    }

    result.ok = true;
    return result;
}

} // namespace ledsign
