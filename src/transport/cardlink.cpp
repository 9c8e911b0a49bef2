#include "transport/cardlink.h"

#include "model/projectmodel.h"

namespace ledsign {

CardLink::CardLink(ProjectModel& model, QObject* parent)
    : QObject(parent)
    , m_channels(model.cards())
    , m_scheduler(model, m_channels)
    , m_commands(m_scheduler)
    , m_registrations(m_scheduler, m_commands)
    , m_dispatcher(m_scheduler, m_registrations, m_commands)
{
    // The channels already deliver on a later turn of the event loop.
    connect(&m_channels, &CommChannels::tcpBytesReceived, &m_dispatcher, &ReplyDispatcher::takeTcpBytes);
    connect(&m_channels, &CommChannels::serialBlockReceived, &m_dispatcher, &ReplyDispatcher::takeSerialBlock);
    connect(&m_channels, &CommChannels::connectionClosed, &m_dispatcher, &ReplyDispatcher::forgetConnection);
    connect(&m_channels, &CommChannels::presenceTimerWanted, &m_scheduler, &SendScheduler::setPresenceRunning);
}

void CardLink::setCommMode(CommModeKind mode)
{
    SendState& st = m_scheduler.state();
    st.networkMode = mode == CommModeKind::Network;
    st.rs485Mode = mode == CommModeKind::Rs485;
}

} // namespace ledsign
