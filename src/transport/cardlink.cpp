#include "transport/cardlink.h"

#include "model/projectmodel.h"
#include "protocol/downloadbuilder.h"
#include "transport/arp.h"
#include "model/settings.h"

namespace ledsign {

CardLink::CardLink(ProjectModel& model, QObject* parent)
    : QObject(parent)
    , m_channels(model.cards())
    , m_scheduler(model, m_channels)
    , m_commands(m_scheduler)
    , m_registrations(m_scheduler, m_commands)
    , m_dispatcher(m_scheduler, m_registrations, m_commands)
    , m_textPrograms(
          model, [this](TFIXModem& card, const QByteArray& bytes) { return m_channels.sendBytesToCard(card, bytes); },
          textProgramMaterialFrame)
{
    // The channels already deliver on a later turn of the event loop.
    connect(&m_channels, &CommChannels::tcpBytesReceived, &m_dispatcher, &ReplyDispatcher::takeTcpBytes);
    connect(&m_channels, &CommChannels::serialBlockReceived, &m_dispatcher, &ReplyDispatcher::takeSerialBlock);
    connect(&m_channels, &CommChannels::connectionClosed, &m_dispatcher, &ReplyDispatcher::forgetConnection);
    connect(&m_channels, &CommChannels::presenceTimerWanted, &m_scheduler, &SendScheduler::setPresenceRunning);
    // A serial device that goes away ends the download on its line at once.
    connect(&m_channels.serial(), &SerialLink::wentAway, this, [this](const QString& device) {
        if (!m_scheduler.state().networkMode)
            m_scheduler.download().failRunning(QStringLiteral("the line %1 went away").arg(device));
    });

    // A text program: the card's confirmations of the description and of
    // each material reach the sender before the download sees them, its
    // materials go out on the packet timer, and a description the card never
    // confirms ends with the header watchdog.
    m_textPrograms.attach(&m_scheduler);
    m_dispatcher.setConfirmationHook(
        [this](int cardIndex, const Confirmation& c) { return m_textPrograms.takeConfirmation(cardIndex, c); });
    m_scheduler.setQueuedTextTick([this] { return m_textPrograms.packetTimerTick(); });
    connect(&m_scheduler, &SendScheduler::downloadEnded, this, [this](const QString& cardName, bool sent) {
        if (!sent)
            m_textPrograms.abandon(cardName);
    });

    // A card's MAC comes from the PC's neighbour table.
    m_registrations.setMacLookup([](const QHostAddress& peer) {
        bool isV4 = false;
        const quint32 v4 = peer.toIPv4Address(&isV4);
        return isV4 ? macOfAddress(QHostAddress(v4).toString()) : QString();
    });

    // Downloads are built by rendering every material for the card, then
    // encoding it; the conversion's status texts go to the status bar. What
    // was rendered for one card serves every card with the same material,
    // size and colours.
    const MessageSink status = [this](const QString& text) { m_scheduler.showStatusText(text); };
    const DownloadBuilder builder(m_conversions.wrap(standardSendConversion(status), status));
    m_scheduler.download().setPreparer(
        [builder](ProjectModel& model, const QString& cardName, const DownloadOptions& options) {
            return builder.build(model, cardName, options);
        });
}

void CardLink::setCommMode(CommModeKind mode)
{
    SendState& st = m_scheduler.state();
    st.networkMode = mode == CommModeKind::Network;
    st.rs485Mode = mode == CommModeKind::Rs485;
}

} // namespace ledsign

namespace ledsign {

bool CardLink::openAtStartup(AppSettings& settings, const QHostAddress& udpAddress, const CommModeTexts& texts)
{
    const bool ok = openChannelsAtStartup(m_channels, settings, udpAddress, texts);
    setCommMode(commModeKind(settings.commMode, texts));
    return ok;
}

bool CardLink::switchMode(AppSettings& settings, CommModeKind mode, const QString& param01, const QString& param02,
                          const CommModeTexts& texts, const QHostAddress& listenAddress)
{
    const bool ok = switchChannelMode(m_channels, settings, mode, param01, param02, texts, listenAddress);
    setCommMode(mode);
    return ok;
}

} // namespace ledsign
