// decode: a frame stream read back one line per frame, from a USB-disk data
// file ("Vk_Data.prg") or from the trace of a send (send --trace).
#include "clioptions.h"
#include "commands.h"
#include "exportcompleteness.h"
#include "output.h"
#include "tracefile.h"

#include "protocol/conversions.h"
#include "protocol/frame.h"
#include "protocol/framestreamreader.h"

#include <QFile>
#include <QMap>

namespace ledsign::cli {

namespace {

using namespace ledsign::framestream;
using material::BlockKind;

QString decodeUsage()
{
    return QStringLiteral(
        "usage: ledsign-cli decode FILE\n\n"
        "Prints the frames in FILE one line per frame: a USB-disk data file (\"Vk_Data.prg\",\n"
        "written by export) or the trace of a send (send --trace). Each line gives where the\n"
        "frame is (byte offset, or time and direction), its command, serial and length; a\n"
        "material frame also its material id, type, send number, block number and count and\n"
        "whether its check value holds (\"check ok\" or \"check FAILED\"). RS-485 packets get a\n"
        "line of their own (address, part, CRC and XOR byte); the frames they carry follow once\n"
        "all their parts are there. A last line counts frames by command.\n\n"
        "A USB-disk file is also compared with its playbill header: a material without all its\n"
        "blocks, or a last frame without the end marker, is reported INCOMPLETE; RS-485 pieces\n"
        "that do not join into a frame are reported UNJOINED.\n\n"
        "Exit status: 0 every frame is whole and every check value holds; 1 a frame is cut\n"
        "short, malformed, fails its check or does not join, a USB-disk file lacks part of its\n"
        "playbill, the file is empty or cannot be read; 2 wrong arguments.\n");
}

QString kindName(BlockKind kind)
{
    switch (kind) {
    case BlockKind::TextProgram: return QStringLiteral("text-program text");
    case BlockKind::EmptyAttribute: return QStringLiteral("remote text");
    case BlockKind::Time: return QStringLiteral("date/time");
    case BlockKind::Count: return QStringLiteral("count");
    case BlockKind::Queue: return QStringLiteral("queue");
    case BlockKind::Acquisition: return QStringLiteral("acquisition");
    case BlockKind::TextSlice: return QStringLiteral("internal-code text");
    case BlockKind::DisplayData: return QStringLiteral("display data");
    case BlockKind::None: break;
    }
    return QStringLiteral("unknown");
}

QString typeText(int typeCode)
{
    if (typeCode >= 0x21 && typeCode < 0x7F)
        return QString(QChar(typeCode));
    return QString::number(typeCode);
}

QString hex2(int value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

// Counts what the summary line tells.
struct Tally {
    QMap<int, int> byCommand;
    int frames = 0;
    int checksHeld = 0;
    int checksFailed = 0;
    int badFrames = 0;
    int packets = 0;
    int badPackets = 0;
    int unjoined = 0;   // frames whose 485 pieces do not join
    int missing = 0;    // what a playbill file lacks
    qsizetype strayBytes = 0;
};

QString frameLine(const Frame& f, Tally& tally)
{
    ++tally.frames;
    ++tally.byCommand[f.command];
    QString line = QStringLiteral("frame %1 serial %2 length %3")
                       .arg(QStringLiteral("0x") + hex2(f.command), frame::serialText(f.serial))
                       .arg(f.bytes.size());
    if (!f.wellFormed) {
        ++tally.badFrames;
        return line + QStringLiteral(" MALFORMED: ") + f.problem;
    }
    if (f.command == frame::cmd::kHeader)
        line += QStringLiteral(" header data %1").arg(f.dataLength);
    if (!f.isMaterial)
        return line;
    const MaterialInfo& m = f.material;
    line += QStringLiteral(" material %1").arg(QString::fromLatin1(m.id));
    if (m.blockKind == BlockKind::TextProgram)
        line += QStringLiteral(" attribute %1 (%2)").arg(m.typeCode).arg(kindName(m.blockKind));
    else
        line += QStringLiteral(" type %1 (%2)").arg(typeText(m.typeCode), kindName(m.blockKind));
    if (m.sendNo >= 0)
        line += QStringLiteral(" send %1 block %2/%3").arg(m.sendNo).arg(m.blockNo).arg(m.blockCount);
    if (m.pictureCount >= 0)
        line += QStringLiteral(" pictures %1").arg(m.pictureCount);
    if (m.payloadLength >= 0)
        line += QStringLiteral(" data %1").arg(m.payloadLength);
    if (!m.problem.isEmpty()) {
        ++tally.badFrames;
        return line + QStringLiteral(" MALFORMED: ") + m.problem;
    }
    if (m.hasCheck) {
        line += m.checkOk ? QStringLiteral(" check ok") : QStringLiteral(" check FAILED");
        ++(m.checkOk ? tally.checksHeld : tally.checksFailed);
    } else {
        line += QStringLiteral(" no check value");
    }
    if (m.endMarker)
        line += QStringLiteral(" end");
    return line;
}

QString gapLine(const Gap& g, Tally& tally)
{
    tally.strayBytes += g.length;
    return QStringLiteral("%1 byte(s) outside any frame").arg(g.length);
}

QString packetLine(const Packet& p, Tally& tally)
{
    ++tally.packets;
    QString line = p.fromProgram
        ? QStringLiteral("485 to %1").arg(convert::internalCodeText(p.address))
        : QStringLiteral("485 from %1 reply %2 status %3")
              .arg(convert::internalCodeText(p.address), hex2(p.direction), hex2(p.status));
    line += QStringLiteral(" part %1/%2 length %3 crc %4 xor %5")
                .arg(p.partNumber)
                .arg(p.partCount)
                .arg(p.size)
                .arg(p.crcOk ? QStringLiteral("ok") : QStringLiteral("FAILED"),
                     p.xorOk ? QStringLiteral("ok") : QStringLiteral("FAILED"));
    if (!p.crcOk || !p.xorOk || !p.problem.isEmpty())
        ++tally.badPackets;
    if (!p.problem.isEmpty())
        line += QStringLiteral(" MALFORMED: ") + p.problem;
    return line;
}

Stream printFrames(const QString& where, const QByteArray& bytes, Tally& tally, bool offsets)
{
    Stream s = readStream(bytes);
    // Frames and gaps in the order they stand in the bytes.
    qsizetype gi = 0;
    for (const Frame& f : s.frames) {
        while (gi < s.gaps.size() && s.gaps[gi].offset < f.offset) {
            const Gap& g = s.gaps[gi++];
            printLine((offsets ? QStringLiteral("@%1 ").arg(g.offset) : where) + gapLine(g, tally));
        }
        printLine((offsets ? QStringLiteral("@%1 ").arg(f.offset) : where) + frameLine(f, tally));
    }
    for (; gi < s.gaps.size(); ++gi) {
        const Gap& g = s.gaps[gi];
        printLine((offsets ? QStringLiteral("@%1 ").arg(g.offset) : where) + gapLine(g, tally));
    }
    return s;
}

void printTrace(const QList<TraceRecord>& records, Tally& tally)
{
    // One joiner per direction and address: the program's pieces of a frame
    // and a card's pieces never mix.
    QMap<QString, PacketJoiner> joiners;
    for (const TraceRecord& r : records) {
        const QString where = r.time.toString(QStringLiteral("HH:mm:ss.zzz"))
            + (r.sent ? QStringLiteral(" sent ") : QStringLiteral(" received ")) + r.channel + u' ';
        if (!looksLikePacket(r.bytes)) {
            printFrames(where, r.bytes, tally, false);
            continue;
        }
        const PacketStream ps = readPackets(r.bytes);
        for (const Packet& p : ps.packets) {
            printLine(where + packetLine(p, tally));
            const QString key = (p.fromProgram ? QStringLiteral("to ") : QStringLiteral("from "))
                + convert::internalCodeText(p.address);
            QByteArray joined;
            if (p.fromProgram) {
                QString broken;
                const bool whole = joiners[key].add(p, joined, &broken);
                if (!broken.isEmpty()) {
                    ++tally.unjoined;
                    printLine(where + QStringLiteral("485 to %1 UNJOINED: ").arg(convert::internalCodeText(p.address))
                              + broken);
                }
                if (whole)
                    printFrames(where, joined, tally, false);
            } else if (frame::startsWithMarker(p.payload)) {
                printFrames(where, p.payload, tally, false);
            } else if (p.payload.size() == 1) {
                printLine(where + QStringLiteral("485 reply asks for part %1").arg(quint8(p.payload.at(0))));
            }
        }
        for (const Gap& g : ps.gaps)
            printLine(where + gapLine(g, tally));
    }
    for (auto it = joiners.begin(); it != joiners.end(); ++it) {
        const QString left = it->finish();
        if (!left.isEmpty()) {
            ++tally.unjoined;
            printLine(QStringLiteral("end of trace: 485 %1 UNJOINED: %2").arg(it.key(), left));
        }
    }
}

} // namespace

int runDecode(const QStringList& args)
{
    QStringList files;
    for (const QString& a : args) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            printLine(decodeUsage());
            return kExitOk;
        }
        if (a.startsWith(QLatin1String("--"))) {
            printError(QStringLiteral("ledsign-cli decode: unknown option %1").arg(a));
            printError(decodeUsage());
            return kExitUsage;
        }
        files << a;
    }
    if (files.size() != 1) {
        printError(QStringLiteral("ledsign-cli decode: ")
                   + (files.isEmpty() ? QStringLiteral("a file is needed") : QStringLiteral("only one file can be given")));
        printError(decodeUsage());
        return kExitUsage;
    }
    QFile file(files.first());
    if (!file.open(QIODevice::ReadOnly)) {
        printError(QStringLiteral("ledsign-cli decode: cannot open %1: %2").arg(files.first(), file.errorString()));
        return kExitFailure;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) {
        printError(QStringLiteral("ledsign-cli decode: %1 is empty: it holds no frame").arg(files.first()));
        return kExitFailure;
    }
    Tally tally;
    int badLines = 0;
    if (isTrace(bytes)) {
        printTrace(readTrace(bytes, badLines), tally);
    } else {
        // A USB-disk file must hold the whole playbill its header lists.
        const Stream stream = printFrames(QString(), bytes, tally, true);
        for (const QString& line : missingFromPlaybill(stream.frames)) {
            ++tally.missing;
            printLine(line);
        }
    }

    QStringList counts;
    for (auto it = tally.byCommand.cbegin(); it != tally.byCommand.cend(); ++it)
        counts << QStringLiteral("%1 x 0x%2").arg(it.value()).arg(hex2(it.key()));
    QString summary = QStringLiteral("%1 frame(s)").arg(tally.frames);
    if (!counts.isEmpty())
        summary += QStringLiteral(" (") + counts.join(QStringLiteral(", ")) + u')';
    summary += QStringLiteral(", %1 check value(s) hold, %2 fail, %3 malformed, %4 byte(s) outside frames")
                   .arg(tally.checksHeld)
                   .arg(tally.checksFailed)
                   .arg(tally.badFrames)
                   .arg(tally.strayBytes);
    if (tally.packets > 0)
        summary += QStringLiteral(", %1 RS-485 packet(s), %2 bad").arg(tally.packets).arg(tally.badPackets);
    if (tally.unjoined > 0)
        summary += QStringLiteral(", %1 frame(s) whose pieces do not join").arg(tally.unjoined);
    if (tally.missing > 0)
        summary += QStringLiteral(", playbill incomplete");
    if (badLines > 0)
        summary += QStringLiteral(", %1 unreadable trace line(s)").arg(badLines);
    printLine(summary);
    const bool clean = tally.checksFailed == 0 && tally.badFrames == 0 && tally.strayBytes == 0
        && tally.badPackets == 0 && badLines == 0 && tally.unjoined == 0 && tally.missing == 0;
    return clean ? kExitOk : kExitFailure;
}

} // namespace ledsign::cli
