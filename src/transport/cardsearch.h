// The run of a card search behind the search window: which kind of search,
// how long it lasts, and what each tick does — a broadcast search request on
// the network, the next port and baud rate to try on a serial line, or the
// next internal code to ask on an RS-485 line. Replies that arrive between
// ticks change the kind and end the search.
#pragma once

#include "transport/datagram.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace ledsign {

struct AppSettings;
class CardLink;
class CommChannels;
class UdpConfig;

inline constexpr int kSearchBaudRates[] = {9600, 19200, 38400, 57600, 115200};
inline constexpr int kEnlargeAtTick = 8;
inline constexpr int kPresenceIntervalAfterSearch = 30000;
inline constexpr char kNoInternalCode[] = "0_0_0_0_0_0_0_0";

struct SerialCandidate {
    QString port;
    int baud = 9600;
    bool operator==(const SerialCandidate&) const = default;
};

// The stored port first (with the stored rate, then the five rates), then
// the five rates of every other system port.
QList<SerialCandidate> buildSerialCandidates(const QString& commParam01, const QString& commParam02,
                                             const QStringList& systemPorts);

// Length of a search in seconds, the tick period in time units (1000 ms in
// use) per second, and the seconds taken off per tick.
struct SearchTiming {
    int totalSeconds = 30;
    int tickSeconds = 2;
    int step = 2;
};
SearchTiming searchTiming(int kind, int codeCount, int candidateCount);

// The serial ports of the system, by name.
QStringList systemSerialPorts();

class CardSearch : public QObject {
    Q_OBJECT
public:
    CardSearch(CommChannels& channels, AppSettings& settings, UdpConfig& udp, QObject* parent = nullptr);

    // Serial replies and RS-485 reports of the link reach the search.
    void follow(CardLink& link);

    // Milliseconds per second of search time (tests shorten it).
    void setTimeUnit(int ms) { m_unitMs = ms; }
    void setLastHostProvider(std::function<QString()> lastHost) { m_lastHost = std::move(lastHost); }

    // The search action before the window shows. `fromAction`: started by
    // the operator (the receive channel is reset and the mode decides the
    // kind) rather than after a serial open or the parameter window. False
    // when search is switched off.
    bool begin(bool fromAction, const QStringList& systemPorts, const QStringList& internalCodes,
               const datagram::Ipv4& mask);
    // The window shows: the timer starts.
    void start();
    // The stop button or the window closing.
    void stop();
    // The window has closed.
    void end();

    // Right click on the search button: switches search off or on.
    void toggleSearchSwitch();

    // A frame reply on the serial port during a search.
    void serialReplyArrived();
    // A card on the RS-485 line reported this internal code.
    void codeAnswered(const QString& code);

    int kind() const { return m_kind; }
    bool isRunning() const { return m_running; }
    bool isTicking() const { return m_timer.isActive(); }
    bool found() const { return m_found; }
    int totalSeconds() const { return m_total; }
    int remainingSeconds() const { return m_remaining; }
    int networkTicks() const { return m_networkTicks; }
    const QList<SerialCandidate>& candidates() const { return m_candidates; }
    QStringList codeCycle() const;

signals:
    void captionChanged(const QString& caption);
    void progressChanged(int remainingSeconds, int totalSeconds);
    void enlargeWanted();
    void closeWanted();
    // Panel 4 of the main window's status bar.
    void statusText(const QString& text);
    // Every card node back to its first state image.
    void cardNodesReset();
    void searchRunningChanged(bool running);
    void presenceTimerRestart(int intervalMs);

private:
    void onTick();
    void tickNetwork();
    void tickSerial();
    void tick485();

    struct CodeEntry {
        QString code;
        bool answered = false;
    };

    CommChannels& m_channels;
    AppSettings& m_settings;
    UdpConfig& m_udp;
    QTimer m_timer;
    int m_unitMs = 1000;
    std::function<QString()> m_lastHost;

    int m_kind = 1;
    bool m_running = false;
    bool m_found = false;
    int m_total = 0;
    int m_remaining = 0;
    int m_step = 2;
    int m_networkTicks = 0;
    QStringList m_systemPorts;
    QStringList m_internalCodes;
    QList<SerialCandidate> m_candidates;
    QList<CodeEntry> m_codes;
    int m_codePosition = 0;
};

} // namespace ledsign
