// The program-wide state of sending: which card is being sent to, how often
// an answer failed to come, the pacing of material packets, the group send
// under way. One instance, shared by the scheduler, the download and the
// registrations. All the designed intervals are scaled by one setting so
// that tests can run the supervision quickly.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cmath>

namespace ledsign {

// Designed intervals, in milliseconds (before scaling).
namespace sendtiming {
inline constexpr int kPacketStart = 100;       // packet timer before the first tick sets it
inline constexpr int kPacingStart = 30;        // pacing interval at start-up
inline constexpr int kRepeat = 5000;           // unanswered 485 packet
inline constexpr int kHeaderWatchdog = 5000;   // unconfirmed playbill header
inline constexpr int kPresenceFirst = 6000;
inline constexpr int kPresence = 3000;
inline constexpr int kPresenceAfterSearch = 30000;
inline constexpr int kSlowPacketExtra = 600;   // internal-code text and the repeated last packet
inline constexpr int kRequestWait = 200;       // before a requested packet is sent again
inline constexpr int kSerialPacingMin = 200;
inline constexpr int kPollTimeoutFactor = 3;   // silent for 3 poll periods: off-line
} // namespace sendtiming

// Tree state of a card's node.
enum CardNodeState : int {
    kNodeOffline = 1,
    kNodeOnline = 2,
    kNodeCompleted = 3,
};

struct SendState {
    int cardUnderSend = -1;     // index in the card list; -1 none
    int failureCount = -1;      // -1 idle
    int lastProgress = -1;
    int pacingInterval = sendtiming::kPacingStart; // ms, before the send delay
    int sendDelay = 100;        // "NetDelayTime"
    int pollTime = 30;          // "PollTime", seconds
    QString selectedCardName;
    QByteArray keptDescription; // of the running network download
    bool exportMode = false;
    bool rs485Mode = false;     // the communication mode is "485"
    bool networkMode = true;    // the communication mode is the network
    bool searchRunning = false;

    // Group send: card names in tree order; there is no limit on their number.
    QStringList groupSlots;
    int groupNext = 0;
    QStringList groupList;      // group name prefixes ("GroupName")
    bool groupSend = false;     // the check box "群发"

    // Every designed interval is multiplied by this (1 in the program).
    double timeScale = 1.0;
    int scaled(int ms) const { return int(std::lround(ms * timeScale)); }
};

} // namespace ledsign
