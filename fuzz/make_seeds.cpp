// Writes valid inputs for the fuzz targets, made by our own builders, into
// <folder>/<target>/. The results are kept in fuzz/corpus/ so that a fuzz
// run starts from inputs that reach deep into each reader.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

#include "content/tablefile.h"
#include "content/tablemodel.h"
#include "model/codec.h"
#include "model/datafolder.h"
#include "model/playbillwriter.h"
#include "model/projectmodel.h"
#include "protocol/cardreplies.h"
#include "protocol/cardreport.h"
#include "protocol/frame.h"
#include "protocol/rs485packet.h"
#include "transport/datagram.h"

using namespace ledsign;

namespace {

QString g_root;
bool g_ok = true;

void put(const char* target, const char* name, const QByteArray& bytes)
{
    const QString dir = g_root + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(dir);
    QFile file(dir + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s/%s\n", target, name);
        g_ok = false;
    }
}

// The splitter targets read their first byte as the read size.
QByteArray inReads(quint8 readSize, const QByteArray& stream)
{
    return QByteArray(1, char(readSize)) + stream;
}

QByteArray detailReply()
{
    auto item = [](quint8 type, const QByteArray& data) {
        return QByteArray(1, char(datagram::kItemStart)) + char(type) + char(data.size()) + data
               + char(datagram::kItemEnd);
    };
    QByteArray bytes;
    bytes += item(datagram::kItemName, QByteArray("card-1").leftJustified(10, '\0'));
    bytes += item(datagram::kItemMac, QByteArray::fromHex("0011223344aa"));
    bytes += item(datagram::kItemIp, QByteArray::fromHex("c0a8010a"));
    bytes += item(datagram::kItemMask, QByteArray::fromHex("ffffff00"));
    bytes += item(datagram::kItemExtraAddress, QByteArray::fromHex("c0a80101"));
    bytes += item(datagram::kItemServerPort, QByteArray::fromHex("2260"));
    bytes += item(datagram::kItemByte20, QByteArray::fromHex("01"));
    bytes += item(datagram::kItemBlock, QByteArray(datagram::kBlockSize, '\x01'));
    bytes += item(datagram::kItemInternalCode, QByteArray::fromHex("0102030405060708"));
    return bytes.leftJustified(datagram::kSearchReplyMaxSize + 20, '\0');
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    g_root = QString::fromLocal8Bit(argv[1]);
    const convert::InternalCode code {1, 2, 3, 4, 5, 6, 7, 8};

    // Card replies and reports.
    CardReportContent content;
    content.internalCode = code;
    content.cardType = QStringLiteral("A1");
    const QByteArray report = buildCardReport(content, 7);
    const QByteArray confirmation = buildConfirmation(0x31, 8);
    const QByteArray request = buildPacketRequest(3, 4, 9);
    const QByteArray block = QByteArray::fromHex("0001010080000102030005440001000000");
    const QByteArray parameters = buildParameterReply(0x52, block, 10);
    const QByteArray frame = frame::build(0x31, QByteArray("material data"), 11);
    put("card_report", "report", report);
    put("card_replies", "confirmation", confirmation);
    put("card_replies", "packet_request", request);
    put("card_replies", "parameters", parameters);
    put("card_replies", "parameters_485", rs485::buildReply(code, true, 0, parameters));

    // Splitters: frames whole, glued and cut.
    put("tcp_splitter", "one_report", inReads(255, report));
    put("tcp_splitter", "glued", inReads(255, report + confirmation + request));
    put("tcp_splitter", "cut", inReads(6, report + parameters));
    const QByteArray packet = rs485::buildReply(code, false, 0, confirmation);
    put("rs485_packet", "reply", packet);
    put("rs485_packet", "request", rs485::buildPacket(code, 1, 1, frame));
    put("serial_splitter", "frames", inReads(32, report + confirmation));
    put("serial_splitter", "packets", inReads(255, packet + rs485::buildReply(code, true, 0, parameters)));
    put("serial_splitter", "mixed", inReads(9, confirmation + packet + request));

    // Datagrams.
    QByteArray search = QByteArray::fromHex("a101");
    search = search.leftJustified(datagram::kReplyIpOffset, '\0') + QByteArray::fromHex("c0a8010a");
    search = search.leftJustified(datagram::kReplyMacOffset, '\0') + QByteArray::fromHex("0011223344aa");
    search = search.leftJustified(datagram::kReplyExtraOffset, '\0') + QByteArray::fromHex("c0a80101");
    search = search.leftJustified(datagram::kReplyVersionOffset, '\0') + char(60);
    put("udp_search", "reply", search.leftJustified(64, '\0'));
    put("udp_search", "short", search.left(datagram::kSearchReplyMinSize));
    put("udp_detail", "reply", detailReply());

    // Playbill from our own writer.
    {
        ProjectModel model;
        TFIXModem card;
        card.name = QStringLiteral("card");
        card.width = 128;
        card.height = 64;
        model.cards().append(card);
        TProgram page;
        page.cardName = card.name;
        page.name = QStringLiteral("节目 1");
        page.id = QStringLiteral("1");
        page.playCycle = QStringLiteral("1;3;5");
        page.playMode = kPlayByWeek;
        model.appendPage(page);
        TRegion region;
        region.cardName = card.name;
        region.pageName = page.name;
        region.pageId = page.id;
        region.name = QStringLiteral("区域 1");
        region.id = QStringLiteral("2");
        region.width = 64;
        region.height = 32;
        model.appendRegion(region);
        TFodder material;
        material.cardName = card.name;
        material.pageName = page.name;
        material.regionName = region.name;
        material.regionId = region.id;
        material.name = QStringLiteral("文本 1");
        material.id = QStringLiteral("3");
        material.content = QStringLiteral("Red^宋体^12^你好>Green^黑体^16^world");
        model.materials().append(material);
        put("playbill", "page_region_text", PlaybillWriter(model, DataFolder()).toBytes(card.name));
    }

    // Table file from our own writer.
    {
        TableModel table;
        table.setText(0, 0, QStringLiteral("名称"));
        table.setText(1, 0, QStringLiteral("value, \"quoted\""));
        table.setText(0, 1, QStringLiteral("12"));
        put("table_file", "small", TableFileWriter::write(table, 5));
    }

    if (!g_ok)
        return 1;
    return 0;
}
