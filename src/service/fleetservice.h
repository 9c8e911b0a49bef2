// The fleet as a service: a run of the program without windows on one data
// folder. It takes the folder's lock, loads the card list and playbills,
// holds the card server (or the serial line), registers cards, keeps their
// clocks and presence as the editor does, writes the card list and settings
// as they change, and carries out what its front ends ask: card states,
// playbills in and out, texts set, sends to one card or a group as jobs,
// play, stop and time, the pictures of a page. Everything it does is told
// as events. Front ends (the HTTP API, a bridge) drive it; none of them
// holds a rule of its own.
#pragma once

#include "model/datafolder.h"
#include "service/cardstatus.h"
#include "service/fleetevents.h"
#include "service/outcome.h"
#include "service/sendjobs.h"
#include "service/textchange.h"
#include "service/textmaterials.h"

#include <QByteArray>
#include <QHostAddress>
#include <QImage>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>

namespace ledsign {

class CardSendEngine;
class CardTexts;
class LinkSession;
class PlaybillExchange;
class PlaybillStore;
class PresenceWatch;
class WorkspaceSession;

class FleetService : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultCardPort = 8900;
    // RS-485 cards of the list are asked to report one after another, this
    // far apart, so that their answers do not meet on the line.
    static constexpr int kRs485QueryGapMs = 500;

    struct Options {
        DataFolder folders;
        quint16 cardPort = kDefaultCardPort; // 0: any free port
        QHostAddress cardAddress = QHostAddress::Any;
        QString serialDevice;                // set: the cards are on this serial line
        int baudRate = 9600;
        bool rs485 = false;
    };

    explicit FleetService(const Options& options, QObject* parent = nullptr);
    ~FleetService() override;

    // False with errorString() when the folder is held by another program,
    // cannot be used, or the card channel cannot be opened.
    bool start();
    QString errorString() const { return m_error; }
    // Reads the card list again (SIGHUP).
    bool reloadCards();
    // Writes the card list and settings and closes the channels (SIGTERM).
    bool stop();

    quint16 cardPort() const;
    const DataFolder& folders() const { return m_options.folders; }

    // --- what front ends ask
    QList<CardStatus> cards() const;
    std::optional<CardStatus> card(const QString& name) const;
    Outcome playbill(const QString& cardName, QByteArray* bytes) const;
    Outcome replacePlaybill(const QString& cardName, const QByteArray& bytes);
    Outcome setText(const QString& cardName, const QString& materialName, const TextChange& change, QString* jobId);
    Outcome sendCard(const QString& cardName, QString* jobId);
    // A group: the cards named (each once), or every card whose name begins
    // with the prefix. Off-line cards of a group fail at once in the job.
    Outcome sendGroup(const QStringList& cardNames, QString* jobId);
    Outcome sendPrefix(const QString& prefix, QString* jobId);
    const SendJob* job(const QString& id) const;
    Outcome setTime(const QString& cardName);
    Outcome play(const QString& cardName, bool start);
    Outcome pagePicture(const QString& cardName, int page, QImage* picture) const;
    // The card's text materials and its number of pages.
    Outcome textMaterials(const QString& cardName, CardTextMaterials* out) const;

    FleetEvents& events() { return m_events; }
    WorkspaceSession& session() { return *m_session; }
    SendJobs& jobs() { return *m_jobs; }

private:
    bool openChannel();
    void wireEvents();
    void askRs485Cards();
    Outcome sendable(const QString& cardName) const;
    Outcome startJob(const QString& kind, const QStringList& cardNames, QString* jobId,
                     const std::optional<TextProgramData>& textProgram = {});

    Options m_options;
    std::unique_ptr<WorkspaceSession> m_session;
    std::unique_ptr<LinkSession> m_link;
    std::unique_ptr<PresenceWatch> m_presence;
    std::unique_ptr<CardSendEngine> m_engine;
    std::unique_ptr<SendJobs> m_jobs;
    std::unique_ptr<PlaybillStore> m_store;
    std::unique_ptr<CardTexts> m_texts;
    std::unique_ptr<PlaybillExchange> m_exchange;
    FleetEvents m_events;
    QStringList m_rs485Codes;
    QTimer m_rs485Query;
    QString m_error;
    bool m_started = false;
};

} // namespace ledsign
