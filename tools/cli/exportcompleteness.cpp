#include "exportcompleteness.h"

#include "protocol/frame.h"

#include <QMap>
#include <QSet>

namespace ledsign::cli {

namespace {

constexpr int kPageHead = 13;   // ",", eleven bytes of play time, "."
constexpr int kEntryFixed = 32; // id, type, four places, "1000000000"
constexpr int kIdLength = 9;

struct Held {
    QByteArray id;
    int blockCount = 0;
    QSet<int> blocks;
    bool endMarker = false;
};

} // namespace

bool headerMaterialIds(const QByteArray& d, QStringList& ids)
{
    ids.clear();
    qsizetype at = d.indexOf(',');
    if (at <= 0)
        return false;
    while (at < d.size()) {
        if (d[at] == ',') {
            // The play time may be binary (the network form): skipped by length.
            if (at + kPageHead > d.size() || d[at + kPageHead - 1] != '.')
                return false;
            at += kPageHead;
            continue;
        }
        const qsizetype end = d.indexOf(';', at + kEntryFixed);
        if (end < 0)
            return false;
        ids << QString::fromLatin1(d.mid(at, kIdLength));
        at = end + 1;
    }
    return !ids.isEmpty();
}

QStringList missingFromPlaybill(const QList<framestream::Frame>& frames)
{
    const framestream::Frame* header = nullptr;
    QMap<int, Held> held;
    for (const framestream::Frame& f : frames) {
        if (!f.wellFormed)
            continue;
        if (f.command == frame::cmd::kHeader && !header) {
            header = &f;
        } else if (f.isMaterial && f.material.problem.isEmpty() && f.material.sendNo > 0) {
            Held& h = held[f.material.sendNo];
            h.id = f.material.id;
            h.blockCount = f.material.blockCount;
            h.blocks.insert(f.material.blockNo);
            h.endMarker = h.endMarker || f.material.endMarker;
        }
    }
    QStringList missing;
    if (!header) {
        if (!held.isEmpty())
            missing << QStringLiteral("INCOMPLETE: material frames without a playbill header");
        return missing;
    }
    QStringList ids;
    if (!headerMaterialIds(header->bytes.mid(frame::kHeadSize, header->dataLength), ids)) {
        missing << QStringLiteral("INCOMPLETE: the playbill header lists no material that can be read");
        return missing;
    }
    for (int n = 1; n <= ids.size(); ++n) {
        const auto it = held.constFind(n);
        if (it == held.cend()) {
            missing << QStringLiteral("INCOMPLETE: material %1 (%2) of %3 has no frame").arg(n).arg(ids[n - 1]).arg(ids.size());
            continue;
        }
        if (QString::fromLatin1(it->id) != ids[n - 1])
            missing << QStringLiteral("INCOMPLETE: material %1 is %2, the header lists %3")
                           .arg(n)
                           .arg(QString::fromLatin1(it->id), ids[n - 1]);
        if (it->blocks.size() != it->blockCount)
            missing << QStringLiteral("INCOMPLETE: material %1 (%2) has %3 of its %4 block(s)")
                           .arg(n)
                           .arg(ids[n - 1])
                           .arg(it->blocks.size())
                           .arg(it->blockCount);
    }
    const auto last = held.constFind(int(ids.size()));
    if (last != held.cend() && last->blocks.size() == last->blockCount && !last->endMarker)
        missing << QStringLiteral("INCOMPLETE: the last material has no end marker");
    return missing;
}

} // namespace ledsign::cli
