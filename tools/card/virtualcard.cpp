#include "virtualcard.h"

#include "cardanswers.h"
#include "cardwire.h"

#include "config/screenparams.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace ledsign::card {

namespace {

constexpr int kHeaderChunk = 2048;     // a full 485 header chunk: more follow
constexpr quint8 kNegative = 0x01;     // status byte of a refused packet

// The block a fresh card holds: its size and colours, not inverted, 485
// address 1, 9600 baud.
QByteArray initialParameters(const CardOptions& o)
{
    QByteArray b(screenblock::kSize, '\0');
    b[screenblock::kScanMode] = 1;
    b[screenblock::kOePolarity] = 1;
    b[screenblock::kWidth] = char(o.width >> 8);
    b[screenblock::kWidth + 1] = char(o.width & 0xFF);
    b[screenblock::kHeight] = char(o.height >> 8);
    b[screenblock::kHeight + 1] = char(o.height & 0xFF);
    b[screenblock::kColour] = char(o.colorDepth);
    b[screenblock::kAddress485] = 1;
    return b;
}

// The exit status is 1 when the card met an error, else 0.
constexpr int kExitByErrors = -1;

QString hexByte(int b) { return QStringLiteral("%1").arg(b & 0xFF, 2, 16, QLatin1Char('0')).toUpper(); }

} // namespace

VirtualCard::VirtualCard(const CardOptions& options, QTextStream& log, QObject* parent, CardClock::Source clock)
    : QObject(parent)
    , m_options(options)
    , m_log(log)
    , m_download(options.colorDepth)
    , m_clock(std::move(clock))
    , m_player(m_clock, options.width, options.height, options.colorDepth,
               LiveInputs{options.acquiredValue, options.queueNumber})
    , m_parameters(initialParameters(options))
{
    m_sincePlay.start();
    connect(&m_heartbeat, &QTimer::timeout, this, &VirtualCard::sendHeartbeat);
    m_reconnect.setSingleShot(true);
    m_reconnect.setInterval(500);
    connect(&m_reconnect, &QTimer::timeout, this, &VirtualCard::connectTcp);

    connect(&m_socket, &QTcpSocket::connected, this, [this] {
        logLine(QStringLiteral("connected %1:%2").arg(m_options.tcpHost).arg(m_options.tcpPort));
        const double seconds = m_options.heartbeatSeconds > 0 ? m_options.heartbeatSeconds : m_pollTime;
        m_heartbeat.start(int(seconds * 1000));
        // A card the program has just pointed at its server reports at once.
        if (!m_localAddress.isEmpty())
            sendHeartbeat();
    });
    connect(&m_socket, &QTcpSocket::readyRead, this, &VirtualCard::onTcpReadyRead);
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] {
        logLine(QStringLiteral("disconnected"));
        m_heartbeat.stop();
        m_frames = FrameInbox();
        if (m_options.reconnect)
            m_reconnect.start();
        else
            finish(kExitByErrors);
    });
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::RemoteHostClosedError)
            return; // reported as a disconnection
        if (m_socket.state() != QAbstractSocket::ConnectedState) {
            logLine(QStringLiteral("connect-failed %1").arg(m_socket.errorString()));
            if (m_options.reconnect)
                m_reconnect.start();
            else
                finish(2);
        }
    });
    connect(&m_serial, &QSerialPort::readyRead, this, &VirtualCard::onSerialReadyRead);
    connect(&m_recorder, &CardRecorder::recorded, this, &VirtualCard::logLine);
    connect(&m_recorder, &CardRecorder::failed, this, [this](const QString& why) { error(QStringLiteral("record: ") + why); });
}

VirtualCard::~VirtualCard()
{
    m_recorder.finishAll();
    m_socket.disconnect(this);
    m_socket.abort();
}

bool VirtualCard::start(QString& errorText)
{
    restoreMemory();
    if (!m_options.serialDevice.isEmpty()) {
        m_serial.setPortName(m_options.serialDevice);
        if (!m_serial.open(QIODevice::ReadWrite)) {
            errorText = QStringLiteral("cannot open %1: %2").arg(m_options.serialDevice, m_serial.errorString());
            return false;
        }
        m_serial.setBaudRate(m_options.baudRate);
        m_serial.setDataBits(QSerialPort::Data8);
        m_serial.setParity(QSerialPort::NoParity);
        m_serial.setStopBits(QSerialPort::OneStop);
        m_serial.setFlowControl(QSerialPort::NoFlowControl);
        m_serial.clearError();
        logLine(QStringLiteral("ready serial %1%2").arg(m_options.serialDevice,
                                                         m_options.rs485 ? QStringLiteral(" rs485") : QString()));
        return true;
    }
    if (m_options.tcpHost.isEmpty())
        return true; // waits on UDP for a server to be named
    logLine(QStringLiteral("ready tcp"));
    connectTcp();
    return true;
}

void VirtualCard::connectToServer(const QString& host, quint16 port, const QString& localAddress)
{
    m_options.tcpHost = host;
    m_options.tcpPort = port;
    m_localAddress = localAddress;
    m_reconnect.stop();
    connectTcp();
}

void VirtualCard::dropServer()
{
    m_options.tcpHost.clear();
    m_reconnect.stop();
    m_heartbeat.stop();
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        m_socket.abort();
    m_frames = FrameInbox();
}

void VirtualCard::finish(int exitCode)
{
    // What is being recorded is written before the card ends (and counts).
    m_recorder.finishAll();
    emit finished(exitCode == kExitByErrors ? (m_errors > 0 ? 1 : 0) : exitCode);
}

void VirtualCard::logLine(const QString& line)
{
    m_log << line << '\n';
    m_log.flush();
}

void VirtualCard::error(const QString& text)
{
    ++m_errors;
    logLine(QStringLiteral("error ") + text);
}

QByteArray VirtualCard::report(quint8 command) const { return answers::report(command, m_options); }

void VirtualCard::connectTcp()
{
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        m_socket.abort();
    if (m_options.tcpHost.isEmpty())
        return;
    if (!m_localAddress.isEmpty())
        m_socket.bind(QHostAddress(m_localAddress));
    m_socket.connectToHost(m_options.tcpHost, m_options.tcpPort);
}

void VirtualCard::onTcpReadyRead() { takeStreamBytes(m_socket.readAll()); }

void VirtualCard::onSerialReadyRead()
{
    const QByteArray bytes = m_serial.readAll();
    if (!m_options.rs485) {
        takeStreamBytes(bytes);
        return;
    }
    for (const InboxItem& item : m_packets.feed(bytes)) {
        if (!item.error.isEmpty()) {
            error(item.error);
            continue;
        }
        QByteArray packet = item.bytes;
        // The first piece of a frame carries its command at payload byte 8.
        const bool firstMaterialPiece = packet.size() > wire::rs485::kHead + 8
            && quint8(packet[wire::rs485::kHead - 1]) == 1 && quint8(packet[wire::rs485::kHead + 8]) == wire::cmd::kMaterial
            && wire::hasMarker(packet.mid(wire::rs485::kHead));
        if (firstMaterialPiece && !onTheWay(packet, true))
            continue;
        takePacket(packet);
    }
}

void VirtualCard::takeStreamBytes(const QByteArray& bytes)
{
    for (const InboxItem& item : m_frames.feed(bytes)) {
        if (!item.error.isEmpty()) {
            error(item.error);
            continue;
        }
        QByteArray bytes = item.bytes;
        if (wire::command(bytes) == wire::cmd::kMaterial && !onTheWay(bytes, true))
            continue;
        const Answer reply = handleFrame(bytes, false);
        if (!reply.frame.isEmpty())
            answer(reply.frame, [this, frame = reply.frame] { sendPlain(frame); });
    }
}

bool VirtualCard::onTheWay(QByteArray& bytes, bool firstPiece)
{
    if (!firstPiece)
        return true;
    ++m_materialArrivals;
    if (m_materialArrivals == m_options.loseBlock) {
        logLine(QStringLiteral("lost material frame %1").arg(m_materialArrivals));
        return false;
    }
    if (m_materialArrivals == m_options.damageBlock && bytes.size() > 40) {
        // A byte well inside the frame: its block, past the descriptor.
        const qsizetype at = bytes.size() - 16;
        bytes[at] = char(bytes[at] ^ 0x5A);
        logLine(QStringLiteral("damaged material frame %1").arg(m_materialArrivals));
    }
    return true;
}

void VirtualCard::answer(const QByteArray& frame, std::function<void()> send)
{
    const int command = wire::hasMarker(frame) ? wire::command(frame) : -1;
    const bool late = command == wire::cmd::kConfirmation || command == wire::cmd::kException;
    if (m_options.answerDelayMs <= 0 || !late) {
        send();
        return;
    }
    QTimer::singleShot(m_options.answerDelayMs, this, std::move(send));
}

void VirtualCard::sendPlain(const QByteArray& frame)
{
    logLine(QStringLiteral("tx cmd=%1 bytes=%2").arg(hexByte(wire::command(frame))).arg(frame.size()));
    if (m_serial.isOpen())
        m_serial.write(frame);
    else if (m_socket.state() == QAbstractSocket::ConnectedState)
        m_socket.write(frame);
}

void VirtualCard::sendPacketReply(bool complete, quint8 status, const QByteArray& payload)
{
    if (!m_options.answerRs485)
        return;
    const QByteArray packet = wire::buildReplyPacket(m_options.internalCode, complete, status, payload);
    const int carried = wire::hasMarker(payload) ? wire::command(payload) : -1;
    logLine(QStringLiteral("tx485 %1 status=%2%3")
                .arg(complete ? QStringLiteral("complete") : QStringLiteral("partial"))
                .arg(hexByte(status))
                .arg(carried >= 0 ? QStringLiteral(" cmd=") + hexByte(carried)
                                  : QStringLiteral(" next=%1").arg(payload.isEmpty() ? 0 : quint8(payload[0]))));
    m_serial.write(packet);
    m_sinceReply485.start();
}

void VirtualCard::sendHeartbeat()
{
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        sendPlain(report(wire::cmd::kHeartbeat));
}

void VirtualCard::takePacket(const QByteArray& bytes)
{
    wire::Packet p;
    QString why;
    const bool sound = wire::readPacket(bytes, p, why);
    if (bytes.size() >= wire::rs485::kHead && p.address != m_options.internalCode) {
        // Another card's packet (or one too short to carry an address).
        logLine(QStringLiteral("ignored packet for %1").arg(convert::internalCodeText(p.address)));
        return;
    }
    // A half-duplex line needs time to turn round after the card has
    // answered; a packet sent sooner is lost, so it is not answered.
    if (m_options.turnaroundMs > 0 && m_sinceReply485.isValid() && m_sinceReply485.elapsed() < m_options.turnaroundMs) {
        logLine(QStringLiteral("refused early packet part %1/%2 after %3 ms")
                    .arg(p.partNumber)
                    .arg(p.partCount)
                    .arg(m_sinceReply485.elapsed()));
        return;
    }
    if (!sound) {
        error(QStringLiteral("bad 485 packet: ") + why);
        sendPacketReply(false, kNegative, QByteArray(1, char(p.partNumber)));
        return;
    }
    if (p.partNumber < p.partCount && p.payload.size() != wire::rs485::kMaxPayload) {
        error(QStringLiteral("485 piece %1 of %2 carries %3 bytes").arg(p.partNumber).arg(p.partCount).arg(p.payload.size()));
        sendPacketReply(false, kNegative, QByteArray(1, char(p.partNumber)));
        return;
    }
    if (p.partNumber == 1 || p.partCount != m_partCount) {
        m_parts.clear();
        m_partCount = p.partCount;
    }
    if (p.partNumber > 1 && !m_parts.contains(p.partNumber - 1)) {
        error(QStringLiteral("485 piece %1 of %2 without piece %3").arg(p.partNumber).arg(p.partCount).arg(p.partNumber - 1));
        sendPacketReply(false, kNegative, QByteArray(1, char(m_parts.size() + 1)));
        return;
    }
    m_parts.insert(p.partNumber, p.payload);
    if (m_parts.size() < m_partCount) {
        sendPacketReply(false, 0x00, QByteArray(1, char(p.partNumber + 1)));
        return;
    }
    QByteArray whole;
    for (const QByteArray& piece : std::as_const(m_parts))
        whole += piece;
    m_parts.clear();
    m_partCount = 0;
    if (const QString problem = wire::frameProblem(whole); !problem.isEmpty()) {
        error(QStringLiteral("485 pieces make no sound frame (%1 bytes): %2").arg(whole.size()).arg(problem));
        sendPacketReply(false, kNegative, QByteArray(1, char(1)));
        return;
    }
    const Answer reply = handleFrame(whole, true);
    if (reply.rs485 == Rs485Reply::Complete)
        answer(reply.frame, [this, frame = reply.frame] { sendPacketReply(true, 0x00, frame); });
    else if (reply.rs485 == Rs485Reply::Partial)
        answer(reply.frame, [this] { sendPacketReply(false, 0x00, QByteArray(1, char(1))); });
}

VirtualCard::Answer VirtualCard::handleFrame(const QByteArray& f, bool rs485)
{
    const int command = wire::command(f);
    logLine(QStringLiteral("rx cmd=%1 bytes=%2").arg(hexByte(command)).arg(f.size()));
    switch (command) {
    case wire::cmd::kIdentityQuery:
        return {report(wire::cmd::kReport), Rs485Reply::Complete};
    case wire::cmd::kHeader:
        if (!rs485)
            return handleHeader(wire::data(f));
        m_headerText += wire::data(f);
        if (wire::data(f).size() == kHeaderChunk)
            return {{}, Rs485Reply::Partial}; // more chunks follow
        {
            const QByteArray all = m_headerText;
            m_headerText.clear();
            return handleHeader(all);
        }
    case wire::cmd::kMaterial:
        return handleMaterial(f);
    case wire::cmd::kStartPlay:
        logLine(QStringLiteral("play start"));
        tick();
        m_player.setPlaying(true);
        return {};
    case wire::cmd::kStopPlay:
        logLine(QStringLiteral("play stop"));
        tick();
        m_player.setPlaying(false);
        return {};
    case wire::cmd::kTime: {
        answers::TimeSetting t;
        QString why;
        if (!answers::readTimeFrame(f, t, why)) {
            error(QStringLiteral("time frame: ") + why);
            return {};
        }
        m_clock.set(t.time);
        storeClock();
        const Answer confirmed {answers::confirmation(wire::cmd::kTime), Rs485Reply::Complete};
        logLine(QStringLiteral("time %1 weekday=%2 poll=%3")
                    .arg(t.time.toString(Qt::ISODate))
                    .arg(t.weekDay)
                    .arg(t.pollTime));
        if (t.pollTime > 0) {
            m_pollTime = t.pollTime;
            if (m_options.heartbeatSeconds <= 0 && m_heartbeat.isActive())
                m_heartbeat.start(m_pollTime * 1000);
        }
        if (m_options.confirmTime)
            return confirmed;
        return {};
    }
    case wire::cmd::kReadParameters:
        logLine(QStringLiteral("params read"));
        return {wire::buildFrame(wire::cmd::kReadParameters, m_parameters),
                Rs485Reply::Complete};
    case wire::cmd::kWriteParameters: {
        const QByteArray block = wire::data(f);
        if (block.size() != screenblock::kSize) {
            error(QStringLiteral("parameter block of %1 bytes").arg(block.size()));
            return {};
        }
        setParameters(block);
        logLine(QStringLiteral("params written"));
        return {wire::buildFrame(wire::cmd::kWriteParameters), Rs485Reply::Complete};
    }
    default:
        error(QStringLiteral("unknown command 0x%1").arg(hexByte(command)));
        return {};
    }
}

VirtualCard::Answer VirtualCard::handleHeader(const QByteArray& description)
{
    if (TextProgramInbox::isTextProgramDescription(description))
        return handleTextDescription(description);
    QString why;
    if (!m_download.takeHeader(description, why)) {
        // The card says so at once: the program is not left waiting.
        error(QStringLiteral("header: ") + why);
        return {wire::buildFrame(wire::cmd::kException), Rs485Reply::Complete};
    }
    m_askedSendNo = m_askedBlockNo = m_askedTimes = 0;
    keep(wire::buildFrame(wire::cmd::kHeader, description), true);
    logLine(QStringLiteral("header pages=%1 materials=%2").arg(m_download.pages().size()).arg(m_download.entries().size()));
    if (!m_options.confirmHeaders)
        return {};
    return {answers::confirmation(wire::cmd::kHeader), Rs485Reply::Complete};
}

VirtualCard::Answer VirtualCard::handleMaterial(const QByteArray& f)
{
    const FrameVerdict v = m_download.takeMaterialFrame(f);
    if (!v.ok && !v.textProgram) {
        // Damage on the way, or a frame missing before this one: the card
        // asks for what it needs. Anything else is the program's fault.
        if (v.lineFault)
            logLine(QStringLiteral("refused material: ") + v.error);
        else
            error(QStringLiteral("material: ") + v.error);
        return askAgain(v);
    }
    if (!v.ok) {
        error(QStringLiteral("material: ") + v.error);
        return {};
    }
    if (v.textProgram)
        return handleTextMaterial(f);
    if (v.sendNo == m_askedSendNo && v.blockNo == m_askedBlockNo)
        m_askedSendNo = m_askedBlockNo = m_askedTimes = 0;
    keep(f, false);
    logLine(QStringLiteral("material send=%1 block=%2/%3%4")
                .arg(v.sendNo)
                .arg(v.blockNo)
                .arg(v.blockCount)
                .arg(v.endMarker ? QStringLiteral(" end") : QString()));
    ++m_materialFrames;
    if (m_options.quitAfterMaterials > 0 && m_materialFrames == m_options.quitAfterMaterials) {
        logLine(QStringLiteral("quitting"));
        finish(0);
        return {};
    }
    if (!m_exceptionDone
        && (m_materialFrames == m_options.exceptionAt || (m_options.exceptionAtFinal && v.endMarker))) {
        m_exceptionDone = true;
        logLine(QStringLiteral("exception at material send=%1 block=%2").arg(v.sendNo).arg(v.blockNo));
        return {wire::buildFrame(wire::cmd::kException), Rs485Reply::Complete};
    }
    const bool last = v.endMarker;
    if (last && m_options.requestSendNo > 0 && !m_requestDone) {
        m_requestDone = true;
        logLine(QStringLiteral("request send=%1 block=%2").arg(m_options.requestSendNo).arg(m_options.requestBlockNo));
        return {answers::packetRequest(quint16(m_options.requestSendNo), quint16(m_options.requestBlockNo)),
                Rs485Reply::Complete};
    }
    if (v.completesPlaybill) {
        ++m_playbills;
        logLine(QStringLiteral("playbill complete materials=%1").arg(m_download.entries().size()));
        storeMemory();
        startPlaying(true);
        writePictures();
        emit playbillReceived();
    }
    if (last && !m_options.confirmLast)
        return {};
    // The final frame is confirmed only when the card holds every block.
    if (last && !m_download.complete())
        return askAgain(v);
    // Every material frame is confirmed; on the RS-485 line only the whole
    // playbill is, the pieces before are answered as partial.
    const quint8 confirmed = m_options.confirmMaterialsAs > 0 ? quint8(m_options.confirmMaterialsAs) : wire::cmd::kMaterial;
    const Answer answer {answers::confirmation(confirmed),
                         last && m_download.complete() ? Rs485Reply::Complete : Rs485Reply::Partial};
    if (v.completesPlaybill && m_options.exitAfterPlaybills > 0 && m_playbills >= m_options.exitAfterPlaybills) {
        QTimer::singleShot(200, this, [this] { finish(kExitByErrors); });
    }
    return answer;
}

VirtualCard::Answer VirtualCard::askAgain(const FrameVerdict& refused)
{
    constexpr int kAskLimit = 3;
    int sendNo = 0;
    int blockNo = 0;
    if (!m_download.nextWanted(sendNo, blockNo))
        return {};
    // One request per missing block; the frames behind it that were already
    // on their way are not answered. It is asked again when the final frame
    // comes and the block is still missing, a few times at most.
    const bool same = sendNo == m_askedSendNo && blockNo == m_askedBlockNo;
    if (same && (!refused.endMarker || m_askedTimes >= kAskLimit))
        return {};
    m_askedTimes = same ? m_askedTimes + 1 : 1;
    m_askedSendNo = sendNo;
    m_askedBlockNo = blockNo;
    logLine(QStringLiteral("request send=%1 block=%2").arg(sendNo).arg(blockNo));
    return {answers::packetRequest(quint16(sendNo), quint16(blockNo)), Rs485Reply::Complete};
}

bool VirtualCard::clearPngDir(QDir& dir)
{
    if (!dir.mkpath(QStringLiteral("."))) {
        error(QStringLiteral("cannot create %1").arg(m_options.pngDir));
        return false;
    }
    // What the card wrote for what it held before goes; other files stay.
    static const QRegularExpression written(QStringLiteral("^(material\\d+_.*_\\d+\\.png|page\\d+\\.png|textprogram\\.txt)$"));
    for (const QString& name : dir.entryList(QDir::Files)) {
        if (written.match(name).hasMatch() && !dir.remove(name))
            error(QStringLiteral("cannot remove ") + dir.filePath(name));
    }
    return true;
}

void VirtualCard::writePictures()
{
    if (m_options.pngDir.isEmpty())
        return;
    QDir dir(m_options.pngDir);
    if (!clearPngDir(dir))
        return;
    const QList<PlaybillEntry>& entries = m_download.entries();
    for (int i = 0; i < entries.size(); ++i) {
        const QList<QImage> shown = m_download.pictures(i + 1);
        for (int k = 0; k < shown.size(); ++k) {
            const QString path = dir.filePath(QStringLiteral("material%1_%2_%3.png").arg(i + 1).arg(entries[i].id).arg(k + 1));
            if (shown[k].save(path))
                logLine(QStringLiteral("png ") + path);
            else
                error(QStringLiteral("cannot write ") + path);
        }
    }
    for (int page = 0; page < m_download.pages().size(); ++page) {
        const QString path = dir.filePath(QStringLiteral("page%1.png").arg(page + 1));
        if (m_player.pageStartPicture(page).save(path))
            logLine(QStringLiteral("png ") + path);
        else
            error(QStringLiteral("cannot write ") + path);
    }
}

} // namespace ledsign::card

namespace ledsign::card {

VirtualCard::Answer VirtualCard::handleTextDescription(const QByteArray& description)
{
    QString why;
    if (!m_textProgram.takeDescription(description, why)) {
        error(QStringLiteral("text program: ") + why);
        return {};
    }
    keep(wire::buildFrame(wire::cmd::kHeader, description), true);
    logLine(QStringLiteral("text-program pages=%1 materials=%2")
                .arg(m_textProgram.pages().size())
                .arg(m_textProgram.expectedCount()));
    if (!m_options.confirmHeaders)
        return {};
    return {answers::confirmation(wire::cmd::kHeader), Rs485Reply::Complete};
}

VirtualCard::Answer VirtualCard::handleTextMaterial(const QByteArray& f)
{
    const TextMaterialVerdict v = m_textProgram.takeMaterialFrame(f);
    if (!v.ok) {
        error(QStringLiteral("text material: ") + v.error);
        return {};
    }
    keep(f, false);
    QString text;
    for (const TextProgramMaterial& m : m_textProgram.materials()) {
        if (m.id == v.id)
            text = m.text;
    }
    logLine(QStringLiteral("text-program material %1%2 text=%3")
                .arg(v.id, v.endMarker ? QStringLiteral(" end") : QString(), text));
    if (v.completesProgram) {
        logLine(QStringLiteral("text-program complete materials=%1").arg(m_textProgram.expectedCount()));
        storeMemory();
        startPlaying(false);
        emit playbillReceived();
        if (QDir dir(m_options.pngDir); !m_options.pngDir.isEmpty() && clearPngDir(dir)) {
            QFile file(dir.filePath(QStringLiteral("textprogram.txt")));
            if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                file.write(m_textProgram.summary().toUtf8());
            else
                error(QStringLiteral("cannot write ") + file.fileName());
        }
    }
    if (v.completesProgram && !m_options.confirmLast)
        return {};
    // Every text material is confirmed; on the RS-485 line only the whole
    // program is, the materials before are answered as partial.
    return {answers::confirmation(wire::cmd::kMaterial),
            m_textProgram.complete() ? Rs485Reply::Complete : Rs485Reply::Partial};
}

} // namespace ledsign::card
