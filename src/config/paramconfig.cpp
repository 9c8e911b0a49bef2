#include "config/paramconfig.h"

#include "language/language.h"
#include "model/inifile.h"
#include "model/numbertext.h"
#include "model/serverport.h"
#include "model/settings.h"
#include "model/tfixmodem.h"
#include "protocol/cardcommands.h"
#include "protocol/conversions.h"
#include "protocol/cardreplies.h"
#include "transport/addressprobe.h"
#include "transport/cardlink.h"
#include "transport/channelstartup.h"
#include "transport/commchannels.h"
#include "transport/hostpool.h"
#include "transport/udpconfig.h"

#include <algorithm>

namespace ledsign {

namespace {

constexpr int kMinCardVersion = 54;

// Routes of the parameter frames.
constexpr int kRouteSerial = CardCommandSender::kSerialPlain;
constexpr int kRoute485 = CardCommandSender::kSerial485;
constexpr int kRouteTcp = CardCommandSender::kConnection;

datagram::Ipv4 boxesToIp(const QStringList& boxes, const datagram::Ipv4& defaults)
{
    datagram::Ipv4 out = defaults;
    for (int i = 0; i < 4 && i < boxes.size(); ++i) {
        bool ok = false;
        const int v = boxes[i].trimmed().toInt(&ok);
        if (ok && v >= 0 && v <= 255)
            out[std::size_t(i)] = quint8(v);
    }
    return out;
}

QStringList ipToBoxes(const datagram::Ipv4& ip)
{
    QStringList out;
    for (quint8 b : ip)
        out << QString::number(b);
    return out;
}

bool allFilled(const QStringList& boxes, int count)
{
    if (boxes.size() < count)
        return false;
    for (int i = 0; i < count; ++i)
        if (boxes[i].trimmed().isEmpty())
            return false;
    return true;
}

} // namespace

QString digitsOnly(const QString& typed)
{
    QString out;
    for (QChar c : typed)
        if (c >= u'0' && c <= u'9')
            out.append(c);
    return out;
}

QString ipBoxText(const QString& typed, bool* warn)
{
    const QString digits = digitsOnly(typed);
    if (warn)
        *warn = false;
    if (!digits.isEmpty() && (digits.size() > 3 || digits.toInt() > kMaxIpBox)) {
        if (warn)
            *warn = true;
        return QString::number(kMaxIpBox);
    }
    return digits;
}

QString delayBoxText(const QString& typed)
{
    const QString digits = digitsOnly(typed);
    if (!digits.isEmpty() && (digits.size() > 5 || digits.toInt() > kMaxSendDelay))
        return QString::number(kMaxSendDelay);
    return digits;
}

std::optional<QString> internalCodeFromBoxes(const QStringList& boxes)
{
    if (boxes.size() != 8)
        return std::nullopt;
    QStringList parts;
    for (const QString& box : boxes) {
        const QString text = box.trimmed();
        bool ok = false;
        const int v = text.toInt(&ok);
        if (text.isEmpty() || !ok || v < 0 || v > 255)
            return std::nullopt;
        parts << QString::number(v);
    }
    return parts.join(u'_');
}

QStringList internalCodeBoxes(const QString& code)
{
    QStringList parts = code.trimmed().split(u'_');
    if (parts.size() != 8)
        return QStringList(8, QString());
    return parts;
}

QStringList loadInnerCodes(const IniFile& ini)
{
    QStringList codes;
    for (const auto& [key, value] : ini.keyValues(QString::fromLatin1(kInnerCodesSection)))
        if (!value.trimmed().isEmpty())
            codes << value.trimmed();
    return codes;
}

void saveInnerCodes(IniFile& ini, const QStringList& codes)
{
    const QString section = QString::fromLatin1(kInnerCodesSection);
    ini.eraseSection(section);
    for (int i = 0; i < codes.size(); ++i)
        ini.setValue(section, u'I' + QString::number(i + 1), codes[i]);
}

int sendDelayFromText(const QString& delayText)
{
    return std::clamp(numberOr(delayText, kDefaultSendDelay), 0, kMaxSendDelay);
}

ParamConfig::ParamConfig(CardLink& link, AppSettings& settings, UdpConfig& udp, QObject* parent)
    : QObject(parent)
    , m_link(link)
    , m_cards(link.scheduler().model().cards())
    , m_channels(link.channels())
    , m_settings(settings)
    , m_udp(udp)
    , m_portInUse([](int port) { return tryBindTcpPort(port) == BindResult::InUse; })
    , m_answers([](const QString& address) { return addressAnswers(address); })
{
    m_checkSpan.setSingleShot(true);
    connect(&m_checkSpan, &QTimer::timeout, this, [this] { emit statusText(messageText("tip_params_write_failed")); });
    connect(&udp, &UdpConfig::detailReplyForWindow, this, &ParamConfig::fillFromDetailReply);
    connect(&link.dispatcher(), &ReplyDispatcher::parametersReceived, this,
            [this](const ParameterReply& reply) { onParameterReply(reply.block); });
    connect(&link.dispatcher(), &ReplyDispatcher::parametersWritten, this, &ParamConfig::ParamsWritten);
}

void ParamConfig::onParameterReply(const QByteArray& block)
{
    FillFromBlock(kFillFromFrame, datagram::Mac{}, datagram::Ipv4{}, datagram::Ipv4{}, QString(), block, 0);
}

TFIXModem* ParamConfig::card()
{
    if (m_noCard || m_cardIndex < 0 || m_cardIndex >= m_cards.size())
        return nullptr;
    return &m_cards[m_cardIndex];
}

bool ParamConfig::open(bool hasSelection, int cardIndex, int panelWidth, int panelHeight, bool reported)
{
    m_keptFlag = 0;
    m_afterClose = AfterClose::None;
    if (!hasSelection) {
        m_noCard = true;
        m_cardIndex = -1;
        return true;
    }
    if (cardIndex < 0 || cardIndex >= m_cards.size())
        return false;
    m_noCard = false;
    m_cardIndex = cardIndex;
    m_panelWidth = panelWidth;
    m_panelHeight = panelHeight;
    const TFIXModem& c = m_cards[cardIndex];
    if (commModeKind(m_settings.commMode, currentCommModeTexts()) == CommModeKind::Network) {
        if (reported && c.version < kMinCardVersion) {
            emit messageBox(messageText("warn_card_version_low_cfg"));
            return false;
        }
    }
    m_mac = datagram::macFromDecimalText(c.macAddress).value_or(datagram::Mac{});
    return true;
}

ParamModeChoice ParamConfig::shown()
{
    m_udp.setParamWindowShowing(true);
    m_link.dispatcher().setParameterWindowShowing(true);
    m_awaiting = false;
    ParamModeChoice choice;
    switch (commModeKind(m_settings.commMode, currentCommModeTexts())) {
    case CommModeKind::Network:
        choice.mode = kParamNetwork;
        choice.serverPort = QString::number(m_channels.serverPort());
        break;
    case CommModeKind::Serial:
        choice.mode = kParamSerial;
        break;
    case CommModeKind::Rs485:
        choice.mode = kParam485;
        break;
    }
    choice.serialPort = m_settings.commParam01;
    choice.baudIndex = std::max(0, baudIndexOfText(m_settings.commParam02));
    if (choice.serverPort.isEmpty())
        choice.serverPort = QString::number(m_channels.serverPort());
    if (!m_noCard)
        read(choice.mode, false);
    return choice;
}

void ParamConfig::closed()
{
    m_udp.setParamWindowShowing(false);
    m_link.dispatcher().setParameterWindowShowing(false);
    if (!m_settingsPath.isEmpty()) {
        IniFile ini;
        if (ini.load(m_settingsPath)) {
            saveInnerCodes(ini, m_innerCodes);
            ini.save(m_settingsPath);
        }
    }
    if (m_afterClose == AfterClose::Read)
        sendReadFrame(kRouteSerial);
}

int ParamConfig::pageHeight(int mode) const
{
    switch (mode) {
    case kParamSerial: return kSerialPageHeight;
    case kParam485: return k485PageHeight;
    default: return kNetworkPageHeight;
    }
}

bool ParamConfig::confirmInterface(int mode, const QString& portText, const QString& serialPort,
                                   const QString& baudText)
{
    if (mode < kParamNetwork || mode > kParam485) {
        emit statusText(messageText("warn_comm_interface_select"));
        return false;
    }
    m_channels.closeServer();
    m_channels.closeSerialPort();
    const CommModeTexts texts = currentCommModeTexts();
    if (mode == kParamNetwork) {
        if (portText.trimmed().isEmpty()) {
            emit statusText(messageText("warn_comm_work_port"));
            return false;
        }
        m_channels.server().closeAllConnections();
        // Through the link, so that sending follows the new mode too.
        m_link.switchMode(m_settings, CommModeKind::Network, QString(), portText.trimmed(), texts,
                          m_udp.serverListenAddress());
    } else {
        if (serialPort.trimmed().isEmpty() || baudText.trimmed().isEmpty()) {
            emit statusText(messageText("warn_comm_serial_empty"));
            return false;
        }
        m_link.switchMode(m_settings, mode == kParamSerial ? CommModeKind::Serial : CommModeKind::Rs485, serialPort,
                          baudText, texts);
    }
    emit closeWanted();
    return true;
}

bool ParamConfig::sendReadFrame(int route)
{
    TFIXModem* c = card();
    return c && m_link.commands().readParameters(*c, route);
}

void ParamConfig::read(int mode, bool dtu)
{
    m_awaiting = true;
    if (!card())
        return;
    if (mode == kParamNetwork && !dtu)
        m_udp.sendDetailRequest(true, QString(), m_mac);
    else if (mode == kParamNetwork)
        sendReadFrame(kRouteTcp);
    else
        sendReadFrame(mode == kParam485 ? kRoute485 : kRouteSerial);
}

void ParamConfig::FillFromBlock(int source, const datagram::Mac&, const datagram::Ipv4& cardIp,
                                const datagram::Ipv4& mask, const QString&, const QByteArray& block,
                                quint16 serverPort)
{
    if (!m_awaiting)
        return;
    ParamFill fill;
    if (!decodeScreenBlock(block, m_scanModes, fill.params))
        return;
    m_keptFlag = fill.params.keptFlag;
    fill.serialPort = m_settings.commParam01;
    if (source == kFillFromUdp) {
        fill.fromUdp = true;
        fill.serverPort = QString::number(serverPort);
        fill.ip = ipToBoxes(cardIp);
        fill.mask = ipToBoxes(mask);
        m_lastIp = fill.ip.join(u'.');
    }
    emit filled(fill);
    emit statusText(messageText("tip_params_read"));
}

void ParamConfig::fillFromDetailReply(const datagram::DetailReply& reply)
{
    FillFromBlock(kFillFromUdp, reply.mac, reply.cardIp, reply.mask, convert::internalCodeText(
                      QByteArray(reinterpret_cast<const char*>(reply.internalCode.data()), 8)),
                  reply.block, reply.serverPort);
}

bool ParamConfig::write(const ParamInputs& in)
{
    const ScreenParams& p = in.params;
    const bool filled = !in.widthText.trimmed().isEmpty() && !in.heightText.trimmed().isEmpty()
        && p.colorIndex >= 0 && p.scanIndex >= 0 && p.dayBrightness >= 0 && p.nightBrightness >= 0
        && p.contentIndex >= 0 && p.oeIndex >= 0 && p.clockIndex >= 0 && p.rowOrderIndex >= 0
        && p.transIndex >= 0 && p.dataBitIndex >= 0;
    if (!filled) {
        emit statusText(messageText("warn_params_empty"));
        return false;
    }
    TFIXModem* c = card();
    if (!c)
        return false;
    emit statusText(messageText("tip_params_writing"));

    ScreenParams values = p;
    values.width = std::clamp(numberOr(in.widthText, 256), 0, 0xFFFF);
    values.height = std::clamp(numberOr(in.heightText, 128), 0, 0xFFFF);

    if (in.mode == kParamNetwork && !in.dtu) {
        values.interfaceFlag = 0;
        values.keptFlag = 0;
        values.baudIndex = in.serialBaudIndex;
        m_udp.sendParameterWrite(m_mac, encodeScreenBlock(values, m_scanModes));
        m_afterClose = AfterClose::Search;
    } else {
        const CommModeKind channel = commModeKind(m_settings.commMode, currentCommModeTexts());
        int route = kRouteSerial;
        if (channel == CommModeKind::Rs485)
            route = kRoute485;
        else if (channel == CommModeKind::Network && in.dtu)
            route = kRouteTcp;
        if (route == kRouteSerial)
            m_afterClose = AfterClose::Read;
        static constexpr int kColourCodes[] = {kColorSingle, kColorDual, kColorTri};
        c->colorType = kColourCodes[std::clamp(values.colorIndex, 0, 2)];
        values.interfaceFlag = screenblock::kFlagSet;
        values.keptFlag = m_keptFlag;
        values.baudIndex = route == kRoute485 ? in.baud485Index : in.serialBaudIndex;

        const bool sent = m_link.commands().writeParameters(*c, c->internalCode, route,
                                                            encodeScreenBlock(values, m_scanModes));
        if (sent && route != kRouteTcp) {
            const QString port = route == kRoute485 ? in.port485 : in.serialPort;
            const int baudIndex = values.baudIndex;
            QTimer::singleShot(m_timings.settleMs, this,
                               [this, route, port, baudIndex] { serialBaudChanged(route, port, baudIndex); });
        }
    }

    if (values.width + 16 != m_panelWidth || values.height + 16 != m_panelHeight) {
        c->width = values.width;
        c->height = values.height;
        emit cardSizeChanged(m_cardIndex, values.width, values.height);
    }

    if (in.mode == kParamSerial || in.mode == kParam485) {
        m_checkSpan.start(m_timings.confirmMs);
    } else {
        QTimer::singleShot(m_timings.settleMs, this, [this] { emit statusText(messageText("tip_params_written")); });
    }
    return true;
}

void ParamConfig::serialBaudChanged(int, const QString& port, int baudIndex)
{
    if (baudIndex < 0 || baudIndex >= int(std::size(kBlockBaudRates)))
        return;
    const QString baud = QString::number(kBlockBaudRates[baudIndex]);
    if (baud == m_settings.commParam02.trimmed())
        return;
    m_settings.commParam02 = baud;
    m_channels.openSerialPort(kAfterOpenIdentityQuery, port, kBlockBaudRates[baudIndex]);
}

void ParamConfig::ParamsWritten()
{
    m_checkSpan.stop();
    emit statusText(messageText("tip_params_written"));
}

bool ParamConfig::setTemporaryAddress(const QStringList& ipBoxes, const QStringList& maskBoxes,
                                      const QString& portText)
{
    if (!allFilled(ipBoxes, 4) || !allFilled(maskBoxes, 4)) {
        emit statusText(messageText("warn_IP_empty"));
        return false;
    }
    const int port = numberOr(portText, kDefaultServerPort);
    if (port < kMinServerPort || port > 65535) {
        emit statusText(messageText("warn_server_port_effective_num"));
        return false;
    }
    const int currentPort = m_channels.serverPort();
    if (port != currentPort && m_portInUse && m_portInUse(port)) {
        emit statusText(QStringLiteral("端口[") + QString::number(port) + u']' + messageText("action_occupied"));
        return false;
    }
    const datagram::Ipv4 mask = boxesToIp(maskBoxes, {255, 255, 255, 0});
    const datagram::Ipv4 server = datagram::ipFromText(m_settings.serverIP).value_or(datagram::Ipv4{127, 0, 0, 1});
    const QList<int> pool = buildHostPool(mask[3], server[3]);
    if (!pool.contains(numberOr(ipBoxes[3], -1))) {
        emit statusText(messageText("warn_IP_combined"));
        return false;
    }
    QStringList trimmed;
    for (int i = 0; i < 4; ++i)
        trimmed << ipBoxes[i].trimmed();
    const QString ipText = trimmed.join(u'.');
    if (ipText != m_lastIp && m_answers && m_answers(ipText)) {
        emit statusText(messageText("warn_IP_occupied"));
        return false;
    }
    emit statusText(messageText("tip_IP_config"));
    if (port == currentPort && ipText == m_lastIp) {
        emit statusText(messageText("tip_config_complete"));
        return true;
    }
    const datagram::Ipv4 ip = boxesToIp(ipBoxes, {192, 168, 0, 239});
    m_udp.sendNetworkSetting(m_mac, ip, mask, server, quint16(port));
    m_lastIp = ipText;
    m_udp.updateSearchEntry(m_mac, ip);
    m_afterClose = AfterClose::Search;
    const int wait = m_timings.addressMs;
    QTimer::singleShot(wait, this, [this, port, currentPort, wait] {
        if (port == currentPort) {
            QTimer::singleShot(wait, this, [this] { emit statusText(messageText("tip_config_complete")); });
            return;
        }
        m_channels.closeServer();
        QTimer::singleShot(wait, this, [this, port] {
            if (m_channels.openServer(quint16(port), m_udp.serverListenAddress())) {
                m_settings.serverPort = m_channels.serverPort();
                if (commModeKind(m_settings.commMode, currentCommModeTexts()) == CommModeKind::Network)
                    m_settings.commParam02 = QString::number(m_settings.serverPort);
            }
            emit statusText(messageText("tip_config_complete"));
        });
    });
    return true;
}

int ParamConfig::setSendDelay(const QString& delayText)
{
    const int delay = sendDelayFromText(delayText);
    m_settings.netDelayTime = delay;
    m_link.scheduler().setSendDelay(delay);
    emit messageBox(QStringLiteral("发送延时时长已设置"));
    emit closeWanted();
    return delay;
}

void ParamConfig::adapterChosen(const QString& serverIp, bool notShowAgain)
{
    if (!serverIp.trimmed().isEmpty()) {
        m_settings.serverIP = serverIp.trimmed();
        m_settings.isShowMulNetCard = !notShowAgain;
    }
    m_channels.bindUdpListener(QHostAddress(m_settings.serverIP.trimmed()), m_udp.listenPort());
}

bool ParamConfig::addCode(const QStringList& boxes)
{
    const auto code = internalCodeFromBoxes(boxes);
    if (!code) {
        emit statusText(messageText("warn_codes_input"));
        return false;
    }
    m_innerCodes.append(*code);
    emit innerCodesChanged(m_innerCodes);
    emit statusText(messageText("tip_codes_add"));
    return true;
}

bool ParamConfig::editCode(int row, const QStringList& boxes)
{
    if (row < 0 || row >= m_innerCodes.size())
        return false;
    const auto code = internalCodeFromBoxes(boxes);
    if (!code) {
        emit statusText(messageText("warn_codes_input"));
        return false;
    }
    m_innerCodes[row] = *code;
    emit innerCodesChanged(m_innerCodes);
    emit statusText(messageText("tip_codes_edit"));
    return true;
}

bool ParamConfig::deleteCode(int row)
{
    if (row < 0 || row >= m_innerCodes.size())
        return false;
    m_innerCodes.removeAt(row);
    emit innerCodesChanged(m_innerCodes);
    emit statusText(messageText("tip_codes_del"));
    return true;
}

} // namespace ledsign
