// Turns one prepared material into its material frames (command 0x31): the
// id, the descriptor tail and the content block of its kind, the end marker
// "-1," in the last frame of the card's last material, and FF FF. Each frame
// becomes a material packet of the download; on an RS-485 line a frame
// longer than one 485 payload is cut into 256-byte pieces.
#pragma once

#include "content/encodefailure.h"
#include "model/downloadpacket.h"
#include "model/tfixmodem.h"
#include "model/tfodder.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QLocale>

#include <functional>

namespace ledsign {

struct MaterialFrameOptions {
    int colorType = kColorSingle; // the card's colour depth
    int regionWidth = 0;          // of the material's region, in LED pixels
    int regionHeight = 0;
    bool rs485 = false;           // the card is reached over an RS-485 line
    QByteArray displayData;       // bit planes of rendered kinds, from the send conversion
};

struct EncodedMaterial {
    bool ok = false;
    EncodeFailure failure;
    int frameCount = 0;                 // frames built (before any 485 cutting)
    QList<rSendFdrContent> packets;     // in send order
    QString lastSerial;                 // serial text of the last frame built
};

class MaterialEncoder {
public:
    using SerialSource = std::function<quint32()>;
    using Clock = std::function<QDateTime()>;

    // Random frame serials, the local clock and the user's locale.
    MaterialEncoder();
    MaterialEncoder(SerialSource serials, Clock clock, QLocale locale = QLocale());

    // Builds the frames of the material. Uses its send number and its
    // last-of-card flag (second download flag). A count material's content
    // keeps the form its target was read in. A type code no encoder knows
    // gives no frame and no failure.
    EncodedMaterial encode(TFodder& material, const MaterialFrameOptions& options) const;

    // The frames alone, whole (no 485 cutting).
    EncodedMaterial frames(TFodder& material, const MaterialFrameOptions& options) const;

private:
    QByteArray materialFrame(const TFodder& m, const QByteArray& tailAndBlock, bool endMarker,
                             QString& serialText) const;

    SerialSource serials_;
    Clock clock_;
    QLocale locale_;
};

// The 256-byte pieces of a frame for the RS-485 line (the last holds the
// rest), as stored in material packets before each is wrapped for sending.
QList<QByteArray> cutFor485(const QByteArray& frame);

// The internal-code text cut into slices of at most 1024 UTF-16 code units;
// a slice never ends between the two halves of a surrogate pair. An empty
// text gives one slice holding a space.
QStringList internalCodeSlices(const QString& content);

} // namespace ledsign
