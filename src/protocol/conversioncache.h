// What the send conversion made of a material, kept for the next card that
// needs the same: cards whose playbills hold the same material (two records
// on one playbill file, or a group of cards sent one playbill) on a region
// of the same size and colours are rendered for once, and a new send after a
// text change renders only the materials that changed. The key is everything
// the conversion reads: the material's text and layout values, the region's
// size, the card's colours, and for pictures and animations each file's
// path, size, time of change and inode. The cache is bounded: past its byte limit
// the entries used longest ago go.
#pragma once

#include "protocol/downloadbuilder.h"

#include <QByteArray>
#include <QHash>

#include <list>

namespace ledsign {

class ConversionCache {
public:
    static constexpr qsizetype kDefaultMaxBytes = 64 * 1024 * 1024;

    explicit ConversionCache(qsizetype maxBytes = kDefaultMaxBytes);

    // `convert` with the cache in front: a material met before is given its
    // kept display data and counts (and the status text `convert` would have
    // shown); what `convert` makes of any other rendered material is kept.
    // The cache must outlive the conversion it returns.
    SendConversion wrap(SendConversion convert, MessageSink status = {});

    qsizetype bytes() const { return m_bytes; }
    qsizetype maxBytes() const { return m_maxBytes; }
    qsizetype size() const { return m_entries.size(); }
    void clear();

    // The key of a material converted for a region of W x H on a card of
    // `colorType`; empty for kinds the conversion does not render.
    static QByteArray keyOf(const TFodder& material, int width, int height, int colorType);

private:
    struct Entry {
        QByteArray displayData;
        int frameCount = 0;
        int byteCount = 0;
        int partCount = 0;
        std::list<QByteArray>::iterator use; // place in m_uses
    };
    void keep(const QByteArray& key, const TFodder& material, const QByteArray& displayData);

    qsizetype m_maxBytes;
    qsizetype m_bytes = 0;
    QHash<QByteArray, Entry> m_entries;
    std::list<QByteArray> m_uses; // most recently used first
};

} // namespace ledsign
