// Everything between the main window and the cards in one object: the
// channels, the send scheduler with its download, the card commands, the
// registrations, the reply dispatcher and the text-program sender, wired
// together. The window
// creates one and listens to its parts' signals.
#pragma once

#include "protocol/cardcommandsender.h"
#include "protocol/conversioncache.h"
#include "protocol/registrations.h"
#include "protocol/replydispatcher.h"
#include "protocol/sendscheduler.h"
#include "protocol/textprogramsender.h"
#include "model/serverport.h"
#include "transport/channelstartup.h"
#include "transport/commchannels.h"

#include <QObject>

namespace ledsign {

class ProjectModel;

class CardLink : public QObject {
    Q_OBJECT
public:
    // The model must outlive the link.
    explicit CardLink(ProjectModel& model, QObject* parent = nullptr);

    CommChannels& channels() { return m_channels; }
    SendScheduler& scheduler() { return m_scheduler; }
    CardCommandSender& commands() { return m_commands; }
    Registrations& registrations() { return m_registrations; }
    ReplyDispatcher& dispatcher() { return m_dispatcher; }
    // Text programs go out on the same channels and timers as downloads.
    TextProgramSender& textPrograms() { return m_textPrograms; }
    // What the sends rendered, kept for the next card that needs the same.
    ConversionCache& conversions() { return m_conversions; }

    // The communication mode decides the presence supervision (network) and
    // the form of card commands (RS-485).
    void setCommMode(CommModeKind mode);

    // Start-up and the parameter window's mode switch (see channelstartup.h),
    // keeping the send logic's idea of the mode in step.
    bool openAtStartup(AppSettings& settings, const QHostAddress& udpAddress, const CommModeTexts& texts);
    bool switchMode(AppSettings& settings, CommModeKind mode, const QString& param01, const QString& param02,
                    const CommModeTexts& texts, const QHostAddress& listenAddress = QHostAddress::Any);

private:
    ConversionCache m_conversions;
    CommChannels m_channels;
    SendScheduler m_scheduler;
    CardCommandSender m_commands;
    Registrations m_registrations;
    ReplyDispatcher m_dispatcher;
    TextProgramSender m_textPrograms;
};

} // namespace ledsign
