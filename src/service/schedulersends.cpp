#include "service/schedulersends.h"

#include "language/language.h"
#include "protocol/textprogram.h"
#include "transport/cardlink.h"

namespace ledsign {

SchedulerSends::SchedulerSends(CardLink& link, QObject* parent)
    : CardSendEngine(parent)
    , m_link(link)
{
    m_stall.setSingleShot(true);
    m_stall.setInterval(kStallMs);
    connect(&m_stall, &QTimer::timeout, this, [this] {
        if (!m_current.isEmpty())
            end(m_current, false, QStringLiteral("the send made no progress for %1 s").arg(kStallMs / 1000));
    });

    SendScheduler& scheduler = m_link.scheduler();
    auto note = [this](const QString& text) {
        if (!m_current.isEmpty())
            m_lastMessage = text;
    };
    connect(&scheduler, &SendScheduler::statusMessage, this, note);
    connect(&scheduler, &SendScheduler::messageBox, this, note);
    connect(&scheduler, &SendScheduler::progressShown, this, [this](int maximum) {
        if (m_current.isEmpty())
            return;
        m_total = maximum;
        m_stall.start();
        emit cardProgress(m_current, 0, maximum);
    });
    connect(&scheduler, &SendScheduler::progressMoved, this, [this](int position) {
        if (m_current.isEmpty() || position <= 0)
            return;
        m_stall.start();
        emit cardProgress(m_current, position, std::max(m_total, position));
    });
    connect(&scheduler, &SendScheduler::downloadEnded, this, [this](const QString& card, bool sent) {
        if (card == m_current)
            end(card, sent, m_lastMessage);
    });
    connect(&m_link.textPrograms(), &TextProgramSender::finished, this, [this](const QString& card, bool sent) {
        if (card == m_current)
            end(card, sent, m_lastMessage);
    });
}

void SchedulerSends::enqueue(const CardSendRequest& request)
{
    m_waiting.append(request);
    if (m_current.isEmpty())
        QMetaObject::invokeMethod(this, &SchedulerSends::startNext, Qt::QueuedConnection);
}

bool SchedulerSends::busy(const QString& card) const
{
    if (card == m_current)
        return true;
    return std::any_of(m_waiting.cbegin(), m_waiting.cend(), [&](const CardSendRequest& r) { return r.card == card; });
}

void SchedulerSends::startNext()
{
    if (!m_current.isEmpty() || m_waiting.isEmpty())
        return;
    begin(m_waiting.takeFirst());
}

void SchedulerSends::begin(const CardSendRequest& request)
{
    m_current = request.card;
    m_total = 0;
    m_lastMessage.clear();
    m_stall.start();
    emit cardStarted(request.card);

    SendScheduler& scheduler = m_link.scheduler();
    SendState& state = scheduler.state();
    state.groupSend = false;
    if (!request.textProgram) {
        scheduler.sendCommand(request.card);
        return;
    }
    // The text program's pages and materials are the program's while it goes out.
    TextProgram program(scheduler.model());
    program.replaceWith(*request.textProgram);
    QStringList pageIds;
    for (const TProgram& page : request.textProgram->pages)
        pageIds << page.id;
    scheduler.stopPackets();
    state.selectedCardName = request.card;
    const TextProgramSender::Start started = m_link.textPrograms().start(request.card, pageIds, state.rs485Mode);
    if (started == TextProgramSender::Start::Sent)
        return;
    QString why;
    switch (started) {
    case TextProgramSender::Start::NoMaterials: why = messageText(QStringLiteral("warn_contents_empty")); break;
    case TextProgramSender::Start::NoCard: why = QStringLiteral("no such card"); break;
    case TextProgramSender::Start::EmptyPage: why = QStringLiteral("a page of the text program has no material"); break;
    case TextProgramSender::Start::TooLong: why = QStringLiteral("the text program's description is over 1024 bytes"); break;
    case TextProgramSender::Start::WriteFailed: why = QStringLiteral("the card's link did not take the text program"); break;
    case TextProgramSender::Start::Sent: break;
    }
    end(request.card, false, why);
}

void SchedulerSends::end(const QString& card, bool sent, const QString& message)
{
    m_stall.stop();
    m_current.clear();
    emit cardEnded(card, sent, message);
    QMetaObject::invokeMethod(this, &SchedulerSends::startNext, Qt::QueuedConnection);
}

} // namespace ledsign
