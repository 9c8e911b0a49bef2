#include "service/fleetservice.h"

#include "model/coalescedwriter.h"
#include "model/projectmodel.h"
#include "protocol/cardcommands.h"
#include "protocol/frame.h"
#include "service/cardtexts.h"
#include "service/pagepicture.h"
#include "service/playbillexchange.h"
#include "service/playbillstore.h"
#include "service/presencewatch.h"
#include "service/schedulersends.h"
#include "service/servicelog.h"
#include "session/linksession.h"
#include "session/workspacesession.h"
#include "transport/cardlink.h"

#include <QDir>
#include <QSet>

namespace ledsign {

FleetService::FleetService(const Options& options, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_session(std::make_unique<WorkspaceSession>(options.folders))
    , m_link(std::make_unique<LinkSession>(*m_session))
    , m_presence(std::make_unique<PresenceWatch>(m_session->link(), m_session->model()))
    , m_engine(std::make_unique<SchedulerSends>(m_session->link()))
    , m_jobs(std::make_unique<SendJobs>(*m_engine))
    , m_store(std::make_unique<PlaybillStore>(m_session->model(), options.folders))
    , m_texts(std::make_unique<CardTexts>(m_session->model(), *m_store, options.folders))
    , m_exchange(std::make_unique<PlaybillExchange>(m_session->model(), *m_store, options.folders))
{
    m_rs485Query.setInterval(kRs485QueryGapMs);
    connect(&m_rs485Query, &QTimer::timeout, this, [this] {
        if (m_rs485Codes.isEmpty()) {
            m_rs485Query.stop();
            return;
        }
        const QByteArray query = commands::in485Packet(frame::identityQuery(), m_rs485Codes.takeFirst());
        if (!query.isEmpty())
            m_session->link().channels().serial().write(query);
    });
    wireEvents();
}

FleetService::~FleetService() = default;

// ---------------------------------------------------------------- run

bool FleetService::start()
{
    m_error.clear();
    const QString folder = QDir::toNativeSeparators(m_options.folders.path());
    switch (m_session->start()) {
    case WorkspaceSession::StartResult::Ready:
        break;
    case WorkspaceSession::StartResult::AlreadyRunning: {
        const QString holder = m_session->holderNote();
        m_error = holder.isEmpty() ? QStringLiteral("another program holds the data folder %1").arg(folder) : holder;
        m_error += QStringLiteral(" Nothing is written there while it runs.");
        return false;
    }
    case WorkspaceSession::StartResult::FolderError:
        m_error = QStringLiteral("the data folder %1 cannot be used: %2").arg(folder, m_session->errorString());
        return false;
    }
    if (!m_session->errorString().isEmpty())
        qCWarning(lcService).noquote() << m_session->errorString();

    const auto report = [](const QString& text) { qCWarning(lcService).noquote() << text; };
    const QStringList unread = m_session->loadCards(report);
    for (const QString& note : m_session->loadNotes())
        report(note);
    qCInfo(lcService).noquote() << QStringLiteral("data folder %1: %2 card(s)").arg(folder).arg(m_session->model().cards().size())
                                << (unread.isEmpty() ? QString() : QStringLiteral("; unread playbills: %1").arg(unread.join(QStringLiteral(", "))));

    m_link->prepare();
    if (!m_link->openWith([this] { return openChannel(); }))
        return false;
    m_session->startAutosave();
    connect(&m_session->autosave(), &CoalescedWriter::writeFailed, this,
            [](const QString& error) { qCWarning(lcService).noquote() << error; });
    m_started = true;
    return true;
}

bool FleetService::openChannel()
{
    CardLink& link = m_session->link();
    CommChannels& channels = link.channels();
    AppSettings& settings = m_session->settings();
    channels.bindUdpListener(QHostAddress(settings.serverIP.trimmed()));
    // The channel is the one the options name; the stored communication
    // settings stay as they are, for the editor.
    if (!m_options.serialDevice.isEmpty()) {
        link.setCommMode(m_options.rs485 ? CommModeKind::Rs485 : CommModeKind::Serial);
        if (!channels.openSerialPort(m_options.rs485 ? kAfterOpenNothing : kAfterOpenIdentityQuery,
                                     m_options.serialDevice, m_options.baudRate)) {
            m_error = QStringLiteral("cannot open the serial port %1: %2")
                          .arg(m_options.serialDevice, channels.serial().errorString());
            return false;
        }
        qCInfo(lcService).noquote() << QStringLiteral("cards on %1 at %2 baud%3")
                                           .arg(m_options.serialDevice)
                                           .arg(m_options.baudRate)
                                           .arg(m_options.rs485 ? QStringLiteral(" (RS-485)") : QString());
        if (m_options.rs485)
            askRs485Cards();
        return true;
    }
    link.setCommMode(CommModeKind::Network);
    if (!channels.openServer(m_options.cardPort, m_options.cardAddress)) {
        m_error = QStringLiteral("cannot listen for cards on port %1: %2")
                      .arg(m_options.cardPort)
                      .arg(channels.server().errorString());
        return false;
    }
    settings.serverPort = channels.serverPort();
    qCInfo(lcService).noquote() << QStringLiteral("cards on port %1").arg(channels.serverPort());
    return true;
}

void FleetService::askRs485Cards()
{
    QStringList codes;
    for (const TFIXModem& card : m_session->model().cards()) {
        if (!card.internalCode.isEmpty() && !isUnsetInternalCode(card.internalCode))
            codes << card.internalCode;
    }
    codes << m_link->params().innerCodes();
    codes.removeDuplicates();
    m_rs485Codes = codes;
    if (!m_rs485Codes.isEmpty())
        m_rs485Query.start();
}

bool FleetService::reloadCards()
{
    const auto report = [](const QString& text) { qCWarning(lcService).noquote() << text; };
    if (!m_session->reloadCards([this](const QString& name) { m_link->forgetCard(name); }, report)) {
        m_error = m_session->errorString();
        qCWarning(lcService).noquote() << QStringLiteral("the card list was not read again: %1").arg(m_error);
        return false;
    }
    for (const QString& note : m_session->loadNotes())
        report(note);
    m_presence->recheckAll();
    if (m_options.rs485 && !m_options.serialDevice.isEmpty())
        askRs485Cards();
    qCInfo(lcService).noquote() << QStringLiteral("card list read again: %1 card(s)").arg(m_session->model().cards().size());
    m_events.publish(QStringLiteral("cards"), {});
    return true;
}

bool FleetService::stop()
{
    if (!m_started)
        return true;
    m_started = false;
    m_rs485Query.stop();
    m_link->releaseCards();
    m_session->autosave().stop();
    const bool saved = m_session->saveSettings();
    if (!saved) {
        m_error = m_session->errorString();
        qCWarning(lcService).noquote() << m_error;
    }
    m_link->closeChannels();
    qCInfo(lcService) << "stopped";
    return saved;
}

quint16 FleetService::cardPort() const
{
    return m_session->link().channels().serverPort();
}

// ---------------------------------------------------------------- events

void FleetService::wireEvents()
{
    connect(m_presence.get(), &PresenceWatch::registered, this, [this](const QString& name, bool isNew) {
        const auto card = std::as_const(m_session->model()).findCard(name);
        const QString code = card ? card.record->internalCode : QString();
        qCInfo(lcCards).noquote() << QStringLiteral("card %1 registered%2 (internal code %3, %4)")
                                         .arg(name, isNew ? QStringLiteral(" as a new card") : QString(), code,
                                              card ? card.record->ipAddress : QString());
        m_events.publish(QStringLiteral("registered"),
                         {{QStringLiteral("name"), name}, {QStringLiteral("new"), isNew}, {QStringLiteral("internalCode"), code}});
    });
    connect(m_presence.get(), &PresenceWatch::cameOnline, this, [this](const QString& name) {
        qCInfo(lcCards).noquote() << QStringLiteral("card %1 on-line").arg(name);
        m_events.publish(QStringLiteral("online"), {{QStringLiteral("name"), name}});
    });
    connect(m_presence.get(), &PresenceWatch::wentOffline, this, [this](const QString& name) {
        qCInfo(lcCards).noquote() << QStringLiteral("card %1 off-line").arg(name);
        m_events.publish(QStringLiteral("offline"), {{QStringLiteral("name"), name}});
    });

    connect(m_engine.get(), &CardSendEngine::cardStarted, this,
            [](const QString& card) { qCInfo(lcSend).noquote() << QStringLiteral("sending to card %1").arg(card); });
    connect(m_engine.get(), &CardSendEngine::cardEnded, this, [](const QString& card, bool sent, const QString& message) {
        if (sent)
            qCInfo(lcSend).noquote() << QStringLiteral("card %1: sent").arg(card);
        else
            qCWarning(lcSend).noquote() << QStringLiteral("card %1: send failed: %2")
                                                   .arg(card, QString(message).replace(QLatin1Char('\n'), QStringLiteral("; ")));
    });
    connect(m_jobs.get(), &SendJobs::progressed, this, [this](const SendJob& job, const QString& card) {
        for (const JobCard& c : job.cards) {
            if (c.name != card)
                continue;
            QJsonObject data = toJson(c.status);
            data.insert(QStringLiteral("job"), job.id);
            data.insert(QStringLiteral("name"), card);
            m_events.publish(QStringLiteral("job-progress"), data);
        }
    });
    connect(m_jobs.get(), &SendJobs::ended, this, [this](const SendJob& job) {
        qCInfo(lcSend).noquote() << QStringLiteral("job %1 ended: %2").arg(job.id, job.state());
        m_events.publish(QStringLiteral("job-end"), toJson(job));
    });
    // What the editor shows in its status bar goes to the log, for whoever looks.
    connect(&m_session->link().scheduler(), &SendScheduler::statusMessage, this,
            [](const QString& text) { qCDebug(lcSend).noquote() << text; });
}

// ---------------------------------------------------------------- reads

QList<CardStatus> FleetService::cards() const
{
    QList<CardStatus> list;
    const SendScheduler& scheduler = m_session->link().scheduler();
    const QList<TFIXModem>& cards = std::as_const(*m_session).model().cards();
    list.reserve(cards.size());
    for (const TFIXModem& card : cards)
        list << cardStatusOf(card, scheduler, m_jobs->lastOf(card.name));
    return list;
}

std::optional<CardStatus> FleetService::card(const QString& name) const
{
    const auto found = std::as_const(*m_session).model().findCard(name);
    if (!found)
        return std::nullopt;
    return cardStatusOf(*found.record, m_session->link().scheduler(), m_jobs->lastOf(name));
}

Outcome FleetService::playbill(const QString& cardName, QByteArray* bytes) const
{
    return m_exchange->read(cardName, bytes);
}

Outcome FleetService::pagePicture(const QString& cardName, int page, QImage* picture) const
{
    return ledsign::pagePicture(std::as_const(*m_session).model(), cardName, page, picture);
}

Outcome FleetService::textMaterials(const QString& cardName, CardTextMaterials* out) const
{
    if (!textMaterialsOf(std::as_const(*m_session).model(), cardName, out))
        return Outcome::refuse(Refusal::NotFound, QStringLiteral("no card named %1").arg(cardName));
    return Outcome::done();
}

const SendJob* FleetService::job(const QString& id) const
{
    return m_jobs->find(id);
}

// ---------------------------------------------------------------- changes

Outcome FleetService::replacePlaybill(const QString& cardName, const QByteArray& bytes)
{
    const Outcome done = m_exchange->replace(cardName, bytes);
    if (done) {
        m_session->noteChange(); // a card without a file has one now
        qCInfo(lcService).noquote() << QStringLiteral("card %1: playbill replaced (%2 bytes)").arg(cardName).arg(bytes.size());
        m_events.publish(QStringLiteral("playbill"), {{QStringLiteral("name"), cardName}});
    }
    return done;
}

Outcome FleetService::sendable(const QString& cardName) const
{
    const auto card = std::as_const(*m_session).model().findCard(cardName);
    if (!card)
        return Outcome::refuse(Refusal::NotFound, QStringLiteral("no card named %1").arg(cardName));
    if (m_jobs->busy(cardName))
        return Outcome::refuse(Refusal::Conflict, QStringLiteral("a send to card %1 is already running").arg(cardName));
    if (!cardIsOnline(*card.record, m_session->link().scheduler()))
        return Outcome::refuse(Refusal::Unavailable, QStringLiteral("card %1 is off-line").arg(cardName));
    return Outcome::done();
}

Outcome FleetService::startJob(const QString& kind, const QStringList& cardNames, QString* jobId,
                               const std::optional<TextProgramData>& textProgram)
{
    QList<CardSendRequest> requests;
    QList<JobCard> refused;
    for (const QString& name : cardNames) {
        const Outcome ok = sendable(name);
        if (ok.refusal == Refusal::NotFound || ok.refusal == Refusal::Conflict)
            return ok;
        if (!ok) {
            JobCard c{name, {}};
            c.status.message = ok.message;
            refused << c;
        } else {
            requests << CardSendRequest{name, textProgram};
        }
    }
    const SendJob& job = m_jobs->start(kind, requests, refused);
    *jobId = job.id;
    qCInfo(lcSend).noquote() << QStringLiteral("job %1 (%2): %3 card(s)").arg(job.id, kind).arg(job.cards.size());
    return Outcome::done();
}

Outcome FleetService::sendCard(const QString& cardName, QString* jobId)
{
    if (Outcome ok = sendable(cardName); !ok)
        return ok;
    return startJob(QStringLiteral("send"), {cardName}, jobId);
}

Outcome FleetService::sendGroup(const QStringList& cardNames, QString* jobId)
{
    QStringList names;
    QSet<QString> seen;
    for (const QString& name : cardNames) {
        if (!seen.contains(name)) {
            seen.insert(name);
            names << name;
        }
    }
    if (names.isEmpty())
        return Outcome::refuse(Refusal::BadInput, QStringLiteral("the group names no card"));
    return startJob(QStringLiteral("send"), names, jobId);
}

Outcome FleetService::sendPrefix(const QString& prefix, QString* jobId)
{
    QStringList names;
    for (const TFIXModem& card : std::as_const(*m_session).model().cards()) {
        if (card.name.startsWith(prefix))
            names << card.name;
    }
    if (names.isEmpty())
        return Outcome::refuse(Refusal::NotFound, QStringLiteral("no card's name begins with \"%1\"").arg(prefix));
    return startJob(QStringLiteral("send"), names, jobId);
}

Outcome FleetService::setText(const QString& cardName, const QString& materialName, const TextChange& change,
                              QString* jobId)
{
    if (!std::as_const(*m_session).model().findCard(cardName))
        return Outcome::refuse(Refusal::NotFound, QStringLiteral("no card named %1").arg(cardName));
    if (m_jobs->busy(cardName))
        return Outcome::refuse(Refusal::Conflict, QStringLiteral("a send to card %1 is already running").arg(cardName));
    const bool rs485 = m_session->link().scheduler().state().rs485Mode;
    const QString fileBefore = std::as_const(*m_session).model().findCard(cardName).record->programFile;
    const TextResult set = m_texts->setText(cardName, materialName, change, rs485);
    if (!set.outcome)
        return set.outcome;
    // The card list names the card's playbill file and nothing a text
    // changes: it is written again (10,000 lines for a large fleet) only when
    // the card got a file.
    const auto after = std::as_const(*m_session).model().findCard(cardName);
    if (!after || after.record->programFile != fileBefore)
        m_session->noteChange();
    qCInfo(lcService).noquote() << QStringLiteral("card %1: text of %2 set").arg(cardName, materialName);
    if (Outcome ok = sendable(cardName); !ok)
        return Outcome::refuse(ok.refusal, ok.message + QStringLiteral("; the text is stored and goes with its next send"));
    return startJob(QStringLiteral("text"), {cardName}, jobId, set.textProgram);
}

Outcome FleetService::setTime(const QString& cardName)
{
    if (Outcome ok = sendable(cardName); !ok && ok.refusal != Refusal::Conflict)
        return ok;
    if (!m_session->link().commands().cardCommand(CardCommandSender::kTimeCalibration, 0, cardName))
        return Outcome::refuse(Refusal::Unavailable, QStringLiteral("the time could not be sent to card %1").arg(cardName));
    qCInfo(lcSend).noquote() << QStringLiteral("card %1: time set").arg(cardName);
    return Outcome::done();
}

Outcome FleetService::play(const QString& cardName, bool start)
{
    if (Outcome ok = sendable(cardName); !ok && ok.refusal != Refusal::Conflict)
        return ok;
    if (!m_session->link().commands().cardCommand(CardCommandSender::kPlayControl, start ? 0 : 1, cardName))
        return Outcome::refuse(Refusal::Unavailable,
                               QStringLiteral("the %1 command could not be sent to card %2")
                                   .arg(start ? QStringLiteral("play") : QStringLiteral("stop"), cardName));
    qCInfo(lcSend).noquote() << QStringLiteral("card %1: %2").arg(cardName, start ? QStringLiteral("play") : QStringLiteral("stop"));
    return Outcome::done();
}

} // namespace ledsign
