// Prepares the playbill download of one card: the checks that come first,
// the walk over the card's pages, regions and materials, the description and
// page times, the material packets (send numbers 1, 2, ...; the last
// material built again with the end marker) and the header, as one network
// frame or as RS-485 header packets. Nothing is sent here; the link drives
// the sending from the prepared download.
#pragma once

#include "content/encodefailure.h"
#include "protocol/materialencoder.h"
#include "model/downloadpacket.h"
#include "model/projectmodel.h"
#include "protocol/downloaddescription.h"
#include "protocol/pagetimebuffer.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace ledsign {

// Cards older than this cannot take a playbill download.
inline constexpr int kMinDownloadVersion = 52;

struct DownloadOptions {
    bool rs485 = false;      // the communication mode is "485"
    bool exportFile = false; // for the USB-disk file: the network header form in any mode
};

// What the send-side conversion gives back for one material: false when the
// material is empty; rendered kinds also give their display data (and set
// the material's block, byte and picture counts).
struct SendConversionResult {
    bool ok = false;
    QByteArray displayData;
    QString error; // why not, naming the file or material when one is to blame
};

using SendConversion =
    std::function<SendConversionResult(TFodder& material, const TRegion& region, const TFIXModem& card)>;

// The conversion every download uses: the material rendered for its region
// and reduced to the card's colours; its status texts go to `status`.
SendConversion standardSendConversion(const MessageSink& status = {});

struct PreparedDownload {
    QString cardName;
    PlaybillDescription description;
    PageTimeBuffer pageTimes;
    QByteArray headerFrame;                 // network and file form
    QList<rPackSendProgram> headerParts;    // RS-485 form
    QList<rSendFdrContent> materialPackets; // in send order
    int materialCount = 0;
    int blockTotal = 0;                     // frames of all materials
    QString frameSerial;                    // serial text of the last frame built

    // Puts the packets on the card: its packet lists, the first three
    // counters (the first holding the frame total) and the frame serial.
    void installInto(TFIXModem& card) const;
};

struct DownloadBuild {
    bool ok = false;
    EncodeFailure failure;
    PreparedDownload download;
};

class DownloadBuilder {
public:
    using SerialSource = std::function<quint32()>;

    explicit DownloadBuilder(SendConversion convert, MaterialEncoder encoder = MaterialEncoder(),
                             SerialSource serials = {});

    // Builds the download of the named card. The card's materials take their
    // send numbers and last-of-card flags as the card will see them.
    DownloadBuild build(ProjectModel& model, const QString& cardName, const DownloadOptions& options) const;

private:
    SendConversion convert_;
    MaterialEncoder encoder_;
    SerialSource serials_;
};

} // namespace ledsign
