// The card's memory of a playbill download: it reads the playbill header
// (pages and the place of every material) and checks every material frame
// against it: descriptor, block length, block trailer and check value,
// block numbering, colour planes and the end marker of the last frame. The
// display data of each material is kept so that it can be shown.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace ledsign::card {

// One material entry of the playbill header.
struct PlaybillEntry {
    int page = 0;       // 0-based page number
    QString id;
    int typeCode = 0;
    int x = 0, y = 0, width = 0, height = 0; // pixels
    QString playTimes;
};

struct PlaybillPage {
    QByteArray time;    // the 11 bytes after the comma
};

// How a material plays, as its descriptor says.
struct MaterialDescriptor {
    QString id;
    int typeCode = 0;
    int displayMode = 0;
    int displaySpeed = 0;
    int remainTime = 0;
    int rotateMode = 0;
    int pictureCount = 0;
};

// What the card made of one material frame.
struct FrameVerdict {
    bool ok = false;
    QString error;
    int sendNo = 0;
    int blockNo = 0;
    int blockCount = 0;
    bool endMarker = false;
    bool textProgram = false; // a text-program text frame
    bool completesPlaybill = false; // the playbill became whole with this frame
    bool lineFault = false;   // refused as damaged on the way, or a frame before it is missing
};

class DownloadReceiver {
public:
    explicit DownloadReceiver(int colorDepth = 1) : m_colorDepth(colorDepth) {}

    // A new playbill header replaces everything received before. False when
    // the description cannot be read; the reason is in `error`.
    bool takeHeader(const QByteArray& description, QString& error);
    bool hasHeader() const { return m_hasHeader; }

    FrameVerdict takeMaterialFrame(const QByteArray& frame);

    const QString& firstPageId() const { return m_firstPageId; }
    const QList<PlaybillPage>& pages() const { return m_pages; }
    const QList<PlaybillEntry>& entries() const { return m_entries; }
    bool complete() const { return m_complete; }
    // The frame the card needs next (send number, block): the first block it
    // does not hold. False without a header or when the playbill is whole.
    bool nextWanted(int& sendNo, int& blockNo) const;

    // The display data of a material (send number 1, 2, ...), its blocks
    // joined; empty while blocks are missing.
    QByteArray displayData(int sendNo) const;
    int pictureCount(int sendNo) const;
    // The descriptor of a whole material, and the content of its block: the
    // bytes between the length and the trailer for the one-frame kinds; for
    // internal-code text the seven head bytes of its first slice followed by
    // the text of all slices. Empty while the material is not whole.
    MaterialDescriptor descriptor(int sendNo) const;
    QByteArray content(int sendNo) const;
    // The material's pictures decoded from its display data: a lit LED in its
    // colour, an unlit one black.
    QList<QImage> pictures(int sendNo) const;

private:
    struct Material {
        int typeCode = 0;
        int blockCount = 0;
        int pictureCount = 0;
        MaterialDescriptor descriptor;
        QByteArray head;              // block head of the first frame (internal-code text)
        QMap<int, QByteArray> blocks; // block number -> payload
        bool endMarkerSeen = false;
        bool whole() const { return blockCount > 0 && blocks.size() == blockCount; }
    };

    bool checkBlock(const QByteArray& frame, qsizetype blockStart, qsizetype blockEnd, int typeCode,
                    FrameVerdict& v, QByteArray& payload);
    void finishIfWhole(FrameVerdict& v);

    int m_colorDepth;
    bool m_hasHeader = false;
    bool m_complete = false;
    QString m_firstPageId;
    QList<PlaybillPage> m_pages;
    QList<PlaybillEntry> m_entries;
    QMap<int, Material> m_materials; // by send number
};

// Decodes one picture of W x H pixels from `planes` colour planes (8 pixels
// per byte, first pixel in bit 7, a 0 bit lights the LED, the plane bytes of
// each group of 8 pixels one after another).
QImage decodePicture(const QByteArray& data, int width, int height, int planes);

} // namespace ledsign::card
