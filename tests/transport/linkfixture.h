// A send scheduler with its download, registrations and dispatcher on a
// recording sender instead of real channels, with every interval shortened.
#pragma once

#include "language/language.h"
#include "model/projectmodel.h"
#include "protocol/cardcommandsender.h"
#include "protocol/cardsender.h"
#include "protocol/frame.h"
#include "protocol/registrations.h"
#include "protocol/replydispatcher.h"
#include "protocol/rs485packet.h"
#include "protocol/sendscheduler.h"

#include <QTcpSocket>
#include <gtest/gtest.h>

#include <memory>

namespace ledsign::test {

struct SentBytes {
    QString card;   // empty for a write to the serial port
    QByteArray bytes;
};

class RecordingSender : public CardSender {
public:
    QList<SentBytes> sent;
    QList<QTcpSocket*> identityQueries;
    int drops = 0;
    bool failConnections = false;
    bool failSerial = false;
    int baud = 9600;

    qint64 sendBytesToCard(TFIXModem& card, const QByteArray& bytes) override
    {
        if (card.linkKind != 2)
            return writeSerial(bytes) ? bytes.size() : -1;
        if (!card.socket)
            return -1;
        if (failConnections) {
            dropConnection(card);
            return -1;
        }
        sent.append({card.name, bytes});
        return bytes.size();
    }
    bool writeSerial(const QByteArray& bytes) override
    {
        if (failSerial)
            return false;
        sent.append({QString(), bytes});
        return true;
    }
    bool sendIdentityQuery(QTcpSocket* connection) override
    {
        identityQueries.append(connection);
        return true;
    }
    void dropConnection(TFIXModem& card) override
    {
        ++drops;
        card.online = 0;
        card.socket = nullptr;
    }
    int serialBaudRate() const override { return baud; }

    // Bytes sent with this command byte (frames) to this card.
    QList<QByteArray> framesTo(const QString& card, int command) const
    {
        QList<QByteArray> out;
        for (const SentBytes& s : sent) {
            if (s.card == card && frame::command(s.bytes) == command)
                out.append(s.bytes);
        }
        return out;
    }
    int count(const QByteArray& bytes) const
    {
        int n = 0;
        for (const SentBytes& s : sent)
            n += s.bytes == bytes ? 1 : 0;
        return n;
    }
};

// A material packet whose bytes say which it is.
inline rSendFdrContent packet(int sendNo, int blockCount, int blockNo, int typeCode = '8')
{
    rSendFdrContent p;
    p.sendNo = sendNo;
    p.blockCount = blockCount;
    p.blockNo = blockNo;
    p.typeCode = typeCode;
    p.bytes = frame::build(frame::cmd::kMaterial, QStringLiteral("m%1.%2").arg(sendNo).arg(blockNo).toLatin1(), 1u);
    p.byteCount = int(p.bytes.size());
    return p;
}

struct LinkFixture : ::testing::Test {
    ProjectModel model;
    RecordingSender sender;
    std::unique_ptr<SendScheduler> scheduler;
    std::unique_ptr<CardCommandSender> commands;
    std::unique_ptr<Registrations> registrations;
    std::unique_ptr<ReplyDispatcher> dispatcher;
    QList<std::shared_ptr<QTcpSocket>> sockets;

    QStringList statusTexts;
    QStringList boxes;
    QList<QPair<QString, bool>> ended;
    int prepareCalls = 0;
    QStringList prepared;
    QList<rSendFdrContent> packets;   // what the preparer hands out
    QByteArray description = "111111111,08:00-12:00.entry;";

    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        scheduler = std::make_unique<SendScheduler>(model, sender);
        commands = std::make_unique<CardCommandSender>(*scheduler);
        registrations = std::make_unique<Registrations>(*scheduler, *commands);
        dispatcher = std::make_unique<ReplyDispatcher>(*scheduler, *registrations, *commands);
        scheduler->state().timeScale = 0.01;
        QObject::connect(scheduler.get(), &SendScheduler::statusMessage, [this](const QString& t) { statusTexts << t; });
        QObject::connect(scheduler.get(), &SendScheduler::messageBox, [this](const QString& t) { boxes << t; });
        QObject::connect(scheduler.get(), &SendScheduler::downloadEnded,
                         [this](const QString& c, bool ok) { ended.append({c, ok}); });
        packets = {packet(1, 1, 1), packet(2, 2, 1), packet(2, 2, 2)};
        scheduler->download().setPreparer([this](ProjectModel& m, const QString& name, const DownloadOptions& o) {
            ++prepareCalls;
            prepared << name;
            DownloadBuild build;
            build.ok = true;
            PreparedDownload& out = build.download;
            out.cardName = name;
            out.description.text = description;
            out.materialPackets = packets;
            if (o.rs485) {
                convert::InternalCode code {};
                convert::internalCodeToBytes(m.findCard(name).record->internalCode, code);
                const QList<QByteArray> parts =
                    rs485::cutFrame(frame::build(frame::cmd::kHeader, description, 2u), code);
                for (int k = 0; k < parts.size(); ++k) {
                    rPackSendProgram h;
                    h.partCount = int(parts.size());
                    h.partNo = k + 1;
                    h.bytes = parts[k];
                    h.byteCount = int(parts[k].size());
                    out.headerParts.append(h);
                }
            } else if (description.size() + 19 <= 8191) {
                out.headerFrame = frame::build(frame::cmd::kHeader, description, 2u);
            }
            return build;
        });
    }

    // A card with one page, region and material, on-line.
    TFIXModem& addCard(const QString& name, int linkKind = 2, int code = 1, int materialCount = 1)
    {
        TFIXModem given;
        given.name = name;
        given.linkKind = linkKind;
        given.version = 60;
        given.internalCode = QStringLiteral("1_2_3_4_5_6_7_%1").arg(code);
        TFIXModem& card = model.addCard(given);
        if (linkKind == 2) {
            sockets.append(std::make_shared<QTcpSocket>());
            card.socket = sockets.last().get();
        }
        card.online = 1;
        TProgram page;
        page.cardName = name;
        page.name = QStringLiteral("page");
        page.id = QStringLiteral("111111111");
        model.appendPage(page);
        TRegion region;
        region.cardName = name;
        region.pageName = page.name;
        region.name = QStringLiteral("region");
        region.pageId = page.id;
        model.appendRegion(region);
        for (int k = 0; k < materialCount; ++k) {
            TFodder material;
            material.cardName = name;
            material.pageName = page.name;
            material.regionName = region.name;
            material.name = QStringLiteral("material%1").arg(k + 1);
            model.appendMaterialToRegion(material);
        }
        scheduler->setNodeState(name, kNodeOnline);
        return model.cards().last();
    }

    int indexOf(const QString& name) const { return int(model.findCard(name).index); }

    void confirm(const QString& name, quint8 command)
    {
        dispatcher->dispatch(indexOf(name), readFrameMessage(buildConfirmation(command)));
    }
    // The card's answers to `frames` material frames, one each, in order.
    void confirmFrames(const QString& name, int frames)
    {
        for (int k = 0; k < frames; ++k)
            confirm(name, 0x31);
    }
};

} // namespace ledsign::test
