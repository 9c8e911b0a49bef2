// The virtual card: reached over TCP (it connects to the program's server)
// or a serial line (plain or RS-485). It reports itself when asked, sends
// heartbeats, checks every frame it receives and answers as a card does.
// Everything it sees is written as one line per event to the log.
#pragma once

#include "cardclock.h"
#include "cardinbox.h"
#include "cardoptions.h"
#include "cardplayer.h"
#include "cardrecorder.h"
#include "downloadreceiver.h"
#include "textprograminbox.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTextStream>
#include <QTimer>

#include <functional>

namespace ledsign::card {

class VirtualCard : public QObject {
    Q_OBJECT
public:
    // `clock` is where the card's clock runs from (the system clock unless given).
    VirtualCard(const CardOptions& options, QTextStream& log, QObject* parent = nullptr,
                CardClock::Source clock = {});
    // Closing the socket reports a disconnection; its handlers must not run
    // on members that are already gone.
    ~VirtualCard() override;

    bool start(QString& error);
    int errorCount() const { return m_errors; }
    int playbillCount() const { return m_playbills; }
    const TextProgramInbox& textProgram() const { return m_textProgram; }

    // The UDP side points the card at the program's server after a network
    // setting (the connection leaves from the card's own address), and lets
    // it go after a release notice.
    void connectToServer(const QString& host, quint16 port, const QString& localAddress);
    void dropServer();
    // The screen parameter block, shared by the frame and the UDP routes.
    QByteArray parameters() const { return m_parameters; }
    void setParameters(const QByteArray& block)
    {
        m_parameters = block;
        emit parametersChanged();
    }
    const DownloadReceiver& download() const { return m_download; }
    const CardClock& clock() const { return m_clock; }
    // What the card plays; tick() brings it to the present.
    CardPlayer& player() { return m_player; }
    void tick() { m_player.advanceTo(m_sincePlay.elapsed()); }
    // Takes what a frame stream from the store holds; false (with the reason)
    // when it is no whole playbill or text program.
    bool restoreFrom(const QByteArray& frames, QString& why);
    void logEvent(const QString& line) { logLine(line); }

signals:
    // The card has done what it was asked to do (--exit-after).
    void finished(int exitCode);
    // A whole playbill arrived (the LED-panel window shows it).
    void playbillReceived();
    // The screen parameters were written (the panel may have a new size).
    void parametersChanged();

private:
    // On TCP and a plain line the frame (if any) is sent as it is. On the
    // RS-485 line a packet is answered with the frame inside a "complete"
    // reply, with a "partial" reply naming the next wanted piece, or not.
    enum class Rs485Reply { None, Partial, Complete };
    struct Answer {
        QByteArray frame;
        Rs485Reply rs485 = Rs485Reply::None;
    };

    void logLine(const QString& line);
    void error(const QString& text);
    QByteArray report(quint8 command) const;

    void connectTcp();
    void onTcpReadyRead();
    void onSerialReadyRead();
    void takeStreamBytes(const QByteArray& bytes);
    void takePacket(const QByteArray& packet);
    void sendPlain(const QByteArray& frame);
    void sendPacketReply(bool complete, quint8 status, const QByteArray& payload);
    // Sends an answer to a frame: at once, or late (--late) when it is a
    // confirmation, request or exception; late answers keep their order.
    void answer(const QByteArray& frame, std::function<void()> send);
    // What the line does to a material frame on its way (--lose-block,
    // --damage-block): false when it never arrives; may change a byte.
    bool onTheWay(QByteArray& bytes, bool firstPiece);
    // The answer to a material frame the card could not take: a request for
    // the block it needs next, or nothing while that request is under way.
    Answer askAgain(const FrameVerdict& refused);
    void sendHeartbeat();

    // Reacts to one whole frame; `rs485` when it came in 485 packets.
    Answer handleFrame(const QByteArray& frame, bool rs485);
    Answer handleHeader(const QByteArray& description);
    Answer handleMaterial(const QByteArray& frame);
    Answer handleTextDescription(const QByteArray& description);
    Answer handleTextMaterial(const QByteArray& frame);
    void writePictures();
    bool clearPngDir(QDir& dir);
    void startPlaying(bool playbill);
    void keep(const QByteArray& frame, bool first);
    void storeMemory();
    void restoreMemory();
    void storeClock();
    void record();
    void finish(int exitCode);

    CardOptions m_options;
    QTextStream& m_log;
    QTcpSocket m_socket;
    QSerialPort m_serial;
    QTimer m_heartbeat;
    QTimer m_reconnect;
    FrameInbox m_frames;
    PacketInbox m_packets;
    DownloadReceiver m_download;
    TextProgramInbox m_textProgram;

    QMap<int, QByteArray> m_parts;   // 485 pieces of the frame under way
    int m_partCount = 0;
    QByteArray m_headerText;         // 485 header chunks received so far
    QElapsedTimer m_sinceReply485;   // started by every reply on the RS-485 line

    CardClock m_clock;
    CardPlayer m_player;
    QElapsedTimer m_sincePlay;
    QList<QByteArray> m_keeping;     // frames of the download under way, for the store
    bool m_showingPlaybill = true;   // false: the text program plays
    CardRecorder m_recorder;
    int m_recordings = 0;            // recordings asked for in this run

    QByteArray m_parameters;         // the screen parameter block
    QString m_localAddress;          // where the TCP connection leaves from
    int m_pollTime = 30;
    int m_errors = 0;
    int m_playbills = 0;
    bool m_exceptionDone = false;
    int m_materialFrames = 0;        // material frames taken
    int m_materialArrivals = 0;      // material frames (RS-485: first pieces) that came down the line
    int m_askedSendNo = 0;           // the block asked for again, while it has not come
    int m_askedBlockNo = 0;
    int m_askedTimes = 0;
    bool m_requestDone = false;
};

} // namespace ledsign::card
