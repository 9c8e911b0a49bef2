#include "service/sendjobs.h"

#include <QJsonArray>

namespace ledsign {

namespace {

const QString kQueued = QStringLiteral("queued");
const QString kSending = QStringLiteral("sending");
const QString kSent = QStringLiteral("sent");
const QString kFailed = QStringLiteral("failed");

bool isEnd(const CardSendStatus& s) { return s.state == kSent || s.state == kFailed; }

} // namespace

QString SendJob::state() const
{
    if (running())
        return QStringLiteral("running");
    const bool allSent = std::all_of(cards.cbegin(), cards.cend(), [](const JobCard& c) { return c.status.state == kSent; });
    return allSent ? kSent : kFailed;
}

QJsonObject toJson(const SendJob& job)
{
    QJsonArray cards;
    int sent = 0;
    int failed = 0;
    for (const JobCard& c : job.cards) {
        QJsonObject o = toJson(c.status);
        o.insert(QStringLiteral("name"), c.name);
        cards.append(o);
        sent += c.status.state == kSent;
        failed += c.status.state == kFailed;
    }
    QJsonObject o{{QStringLiteral("id"), job.id},
                  {QStringLiteral("kind"), job.kind},
                  {QStringLiteral("state"), job.state()},
                  {QStringLiteral("created"), job.created.toUTC().toString(Qt::ISODateWithMs)},
                  {QStringLiteral("sent"), sent},
                  {QStringLiteral("failed"), failed},
                  {QStringLiteral("cards"), cards}};
    if (job.ended.isValid())
        o.insert(QStringLiteral("ended"), job.ended.toUTC().toString(Qt::ISODateWithMs));
    return o;
}

SendJobs::SendJobs(CardSendEngine& engine, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
{
    connect(&m_engine, &CardSendEngine::cardStarted, this, [this](const QString& card) {
        SendJob* job = nullptr;
        if (JobCard* c = cardOf(card, &job)) {
            c->status.state = kSending;
            m_last.insert(card, c->status);
            emit progressed(*job, card);
        }
    });
    connect(&m_engine, &CardSendEngine::cardProgress, this, [this](const QString& card, int done, int total) {
        SendJob* job = nullptr;
        if (JobCard* c = cardOf(card, &job)) {
            c->status.done = done;
            c->status.total = total;
            m_last.insert(card, c->status);
            emit progressed(*job, card);
        }
    });
    connect(&m_engine, &CardSendEngine::cardEnded, this, [this](const QString& card, bool sent, const QString& message) {
        SendJob* job = nullptr;
        JobCard* c = cardOf(card, &job);
        if (!c)
            return;
        c->status.state = sent ? kSent : kFailed;
        if (sent)
            c->status.done = c->status.total;
        c->status.message = message;
        m_last.insert(card, c->status);
        m_runningOf.remove(card);
        emit progressed(*job, card);
        endIfDone(*job);
    });
}

const SendJob& SendJobs::start(const QString& kind, const QList<CardSendRequest>& requests,
                               const QList<JobCard>& refused)
{
    const qint64 number = m_nextId++;
    SendJob& job = m_jobs[number];
    job.id = QString::number(number);
    job.kind = kind;
    job.created = QDateTime::currentDateTimeUtc();
    for (const CardSendRequest& r : requests) {
        JobCard c{r.card, {}};
        c.status.state = kQueued;
        job.cards.append(c);
        m_last.insert(r.card, c.status);
        m_runningOf.insert(r.card, number);
    }
    for (JobCard c : refused) {
        c.status.state = kFailed;
        job.cards.append(c);
        m_last.insert(c.name, c.status);
    }
    for (const CardSendRequest& r : requests)
        m_engine.enqueue(r);
    // A job of refused cards only ends on a later turn, after its caller saw it start.
    if (requests.isEmpty())
        QMetaObject::invokeMethod(this, [this, number] {
            if (m_jobs.contains(number))
                endIfDone(m_jobs[number]);
        }, Qt::QueuedConnection);

    // The oldest finished jobs make room.
    while (m_jobs.size() > kFinishedKept + m_runningOf.size()) {
        auto oldest = std::find_if(m_jobs.begin(), m_jobs.end(), [](const SendJob& j) { return !j.running(); });
        if (oldest == m_jobs.end() || oldest.key() == number)
            break;
        m_jobs.erase(oldest);
    }
    return job;
}

const SendJob* SendJobs::find(const QString& id) const
{
    bool ok = false;
    const qint64 number = id.toLongLong(&ok);
    const auto it = ok ? m_jobs.constFind(number) : m_jobs.constEnd();
    return it == m_jobs.constEnd() ? nullptr : &it.value();
}

bool SendJobs::busy(const QString& card) const
{
    return m_runningOf.contains(card);
}

CardSendStatus SendJobs::lastOf(const QString& card) const
{
    return m_last.value(card);
}

JobCard* SendJobs::cardOf(const QString& card, SendJob** job)
{
    const auto it = m_runningOf.constFind(card);
    if (it == m_runningOf.constEnd() || !m_jobs.contains(it.value()))
        return nullptr;
    SendJob& j = m_jobs[it.value()];
    for (JobCard& c : j.cards) {
        if (c.name == card && !isEnd(c.status)) {
            *job = &j;
            return &c;
        }
    }
    return nullptr;
}

void SendJobs::endIfDone(SendJob& job)
{
    if (!job.running())
        return;
    if (std::all_of(job.cards.cbegin(), job.cards.cend(), [](const JobCard& c) { return isEnd(c.status); })) {
        job.ended = QDateTime::currentDateTimeUtc();
        emit ended(job);
    }
}

} // namespace ledsign
