// What the communication and parameter window does, without the window:
// choosing and opening the channel mode, reading and writing a card's screen
// parameters over UDP, a serial line, the RS-485 line or the card's TCP
// connection, giving a card a temporary address with the server's address and
// port, the send delay, and the list of internal codes of the RS-485 line.
// Checks report language texts through statusText; the window shows them.
#pragma once

#include "config/scanmodes.h"
#include "config/screenparams.h"
#include "transport/datagram.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <optional>

namespace ledsign {

struct AppSettings;
struct TFIXModem;
class CardLink;
class CommChannels;
class IniFile;
class UdpConfig;

enum ParamMode : int { kParamNetwork = 0, kParamSerial = 1, kParam485 = 2 };

enum class AfterClose { None, Search, Read };

// Window heights of the three pages, before the display scale.
inline constexpr int kNetworkPageHeight = 615;
inline constexpr int kSerialPageHeight = 475;
inline constexpr int k485PageHeight = 580;

inline constexpr int kMinServerPort = 1001;
inline constexpr int kMaxSendDelay = 15000;
inline constexpr int kMaxIpBox = 254;
inline constexpr int kDefaultSendDelay = 20;
inline constexpr char kInnerCodesSection[] = "InnerCodes";

// Where the reply that fills the window came from.
enum FillSource : int { kFillFromFrame = 1, kFillFromUdp = 2 };

// What a reply puts into the window.
struct ParamFill {
    ScreenParams params;
    QString serialPort;       // the current serial port, for cbComm
    bool fromUdp = false;
    QString serverPort;       // edtPort (UDP only)
    QStringList ip;           // edtIP1..4 (UDP only)
    QStringList mask;         // edtC1..4 (UDP only)
};

// The mode and boxes preselected on show.
struct ParamModeChoice {
    int mode = kParamNetwork;
    QString serverPort;
    QString serialPort;
    int baudIndex = 0;
};

// What the operator filled in before Write.
struct ParamInputs {
    QString widthText;
    QString heightText;
    ScreenParams params;      // indexes of the lists; width and height ignored
    int mode = kParamNetwork; // cmdComm
    bool dtu = false;         // cbDTU
    int serialBaudIndex = -1; // cbBaud
    int baud485Index = -1;    // cb485Baud
    QString serialPort;       // cbComm
    QString port485;          // cb485
};

// --- the boxes
// Digits only; a value above 254 becomes "254" (warn is set then).
QString ipBoxText(const QString& typed, bool* warn = nullptr);
// Digits only; above 15000 becomes "15000".
QString delayBoxText(const QString& typed);
QString digitsOnly(const QString& typed);

// --- internal codes
// The code of eight boxes, or nothing when a box is empty, not a number or
// above 255.
std::optional<QString> internalCodeFromBoxes(const QStringList& boxes);
QStringList internalCodeBoxes(const QString& code);
QStringList loadInnerCodes(const IniFile& ini);
void saveInnerCodes(IniFile& ini, const QStringList& codes);

// The send delay a box gives: its number within 0..15000, 20 when it is none.
int sendDelayFromText(const QString& delayText);

class ParamConfig : public QObject {
    Q_OBJECT
public:
    struct Timings {
        int confirmMs = 10000; // a write confirmation must come within
        int settleMs = 2000;   // after a write
        int addressMs = 1500;  // after a new address or port
    };

    // Frames go through the link's card commands, the send delay reaches its
    // scheduler, and its dispatcher hands over parameter replies and write
    // confirmations.
    ParamConfig(CardLink& link, AppSettings& settings, UdpConfig& udp, QObject* parent = nullptr);

    void setTimings(const Timings& timings) { m_timings = timings; }
    void setScanModes(const ScanModeTable& table) { m_scanModes = table; }
    const ScanModeTable& scanModes() const { return m_scanModes; }
    // The settings file the internal codes are saved to on close.
    void setSettingsPath(const QString& path) { m_settingsPath = path; }
    // The process-wide internal-code list (used by the RS-485 search).
    QStringList& innerCodes() { return m_innerCodes; }
    void setInnerCodes(const QStringList& codes) { m_innerCodes = codes; }
    // Tells whether a port is taken by another program (tests hand in their own).
    void setPortInUse(std::function<bool(int port)> inUse) { m_portInUse = std::move(inUse); }
    void setAddressProber(std::function<bool(const QString&)> answers) { m_answers = std::move(answers); }

    // Opening from the action. `cardIndex` is the selected card (-1 when the
    // selection names none), `hasSelection` whether the tree has a selection,
    // `reported` whether the card's node shows it has reported itself.
    // False when the window is not to be shown.
    bool open(bool hasSelection, int cardIndex, int panelWidth, int panelHeight, bool reported);
    // The window shows; returns the mode to preselect and reads the card.
    ParamModeChoice shown();
    // The window was closed.
    void closed();
    // After the window closed: whether a search follows.
    AfterClose afterClose() const { return m_afterClose; }

    // cmdComm changed: the page and its height.
    int pageHeight(int mode) const;

    // btStartComm. Returns true when the window is to close.
    bool confirmInterface(int mode, const QString& portText, const QString& serialPort, const QString& baudText);

    // btRead
    void read(int mode, bool dtu);
    // A reply while the window shows.
    void FillFromBlock(int source, const datagram::Mac& mac, const datagram::Ipv4& cardIp,
                       const datagram::Ipv4& mask, const QString& internalCode, const QByteArray& block,
                       quint16 serverPort);
    void fillFromDetailReply(const datagram::DetailReply& reply);
    // btWrite; false when a check stopped it.
    bool write(const ParamInputs& inputs);
    // A card confirmed a frame write.
    void ParamsWritten();
    bool confirmationPending() const { return m_checkSpan.isActive(); }

    // btSet; false when a check stopped it.
    bool setTemporaryAddress(const QStringList& ipBoxes, const QStringList& maskBoxes, const QString& portText);

    // btnRelayTimeSet: NetDelayTime, and the delay reaches the send timers;
    // the window closes afterwards.
    int setSendDelay(const QString& delayText);

    // btnShowNetwork: the adapter chosen (empty when the chooser was not
    // answered); the listener moves to the server address.
    void adapterChosen(const QString& serverIp, bool notShowAgain);

    // Internal-code rows.
    bool addCode(const QStringList& boxes);
    bool editCode(int row, const QStringList& boxes);
    bool deleteCode(int row);

    bool noCard() const { return m_noCard; }
    bool awaitingReply() const { return m_awaiting; }
    int cardIndex() const { return m_cardIndex; }
    QString lastIp() const { return m_lastIp; }
    int keptFlag() const { return m_keptFlag; }

signals:
    void statusText(const QString& text);
    void messageBox(const QString& text);
    void filled(const ledsign::ParamFill& fill);
    void closeWanted();
    // The card's size was written and differs from its panel (the main
    // window resizes the canvas).
    void cardSizeChanged(int cardIndex, int width, int height);
    void innerCodesChanged(const QStringList& codes);

private:
    TFIXModem* card();
    bool sendReadFrame(int route);
    void onParameterReply(const QByteArray& block);
    void serialBaudChanged(int route, const QString& port, int baudIndex);

    CardLink& m_link;
    QList<TFIXModem>& m_cards;
    CommChannels& m_channels;
    AppSettings& m_settings;
    UdpConfig& m_udp;
    ScanModeTable m_scanModes;
    Timings m_timings;
    QString m_settingsPath;
    QStringList m_innerCodes;
    std::function<bool(int)> m_portInUse;
    std::function<bool(const QString&)> m_answers;
    QTimer m_checkSpan;

    int m_cardIndex = -1;
    datagram::Mac m_mac{};
    bool m_noCard = false;
    bool m_awaiting = false;
    int m_keptFlag = 0;
    QString m_lastIp;
    int m_panelWidth = 0;
    int m_panelHeight = 0;
    AfterClose m_afterClose = AfterClose::None;
};

} // namespace ledsign
