// The editor's link to its cards, run from the command line: the TCP server
// the cards connect to, the registration of each card that reports itself,
// and the send of a playbill with its progress. Everything goes through the
// one CardLink the editor uses; this class only waits for its results.
#pragma once

#include "tracefile.h"

#include "model/projectmodel.h"
#include "transport/cardlink.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <functional>

namespace ledsign::cli {

// Runs the event loop until `done` holds or `timeoutMs` has passed; true
// when `done` held.
bool waitUntil(const std::function<bool()>& done, int timeoutMs);

class CardSession : public QObject {
    Q_OBJECT
public:
    // The model must outlive the session.
    explicit CardSession(ProjectModel& model, QObject* parent = nullptr);

    CardLink& link() { return m_link; }

    // Opens the server; port 0 takes any free port. False with `error`.
    bool listen(const QHostAddress& address, quint16 port, QString& error);
    quint16 port() const;

    // Opens the serial port for one card, or for an RS-485 line of cards
    // addressed by internal code. False with `error`.
    bool openSerial(const QString& device, int baudRate, bool rs485, QString& error);
    // Asks the line for its card until one (with this internal code when
    // `code` is not empty; on an RS-485 line the code is needed) registers:
    // the identity query, plain or addressed to the code. The card's name,
    // or empty when none did in time.
    QString waitForSerialCard(const QString& code, int timeoutMs);

    // Why the serial line can no longer be used ("the line ... went away"),
    // or empty.
    QString lineGone() const { return m_lineGone; }

    // Every block sent and received from now on goes to the trace.
    void setTrace(TraceWriter* trace);

    // The name of the card record that is on-line on a connection (with this
    // internal code when `code` is not empty), or empty.
    QString onlineCard(const QString& code) const;
    // Waits for such a card to register; empty when none did in time.
    QString waitForCard(const QString& code, int timeoutMs);

    struct SendResult {
        bool ok = false;
        QString message;    // the last status text, or why nothing was sent
        qint64 elapsedMs = 0;
        int packets = 0;    // material packets of the download
    };
    using Progress = std::function<void(int position, int maximum)>;
    // Sends the card's playbill as the editor's Send action does and waits
    // for the end of the download (at most `timeoutMs`).
    SendResult sendPlaybill(const QString& cardName, int timeoutMs, const Progress& progress = {});

    // Waits until everything written to the card's connection has left.
    bool flush(const QString& cardName, int timeoutMs);

private:
    ProjectModel& m_model;
    CardLink m_link;
    bool m_serial = false;
    bool m_rs485 = false;
    QString m_device;
    QString m_lineGone;
};

} // namespace ledsign::cli
