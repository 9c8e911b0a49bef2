// The serial port the program talks to a card (or an RS-485 line of cards)
// through: 8 data bits, no parity, 1 stop bit, DTR and RTS on, no flow
// control. Received bytes are gathered into blocks the way the card's
// replies arrive: a block ends after 100 ms without a byte, and a block of
// more than 3000 bytes is dropped whole.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

namespace ledsign {

class SerialLink : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxBlock = 3000;         // longer blocks are dropped
    static constexpr int kReadIntervalMs = 100;    // silence that ends a block
    static constexpr int kDefaultBaud = 9600;
    static inline const QString kDefaultPort = QStringLiteral("COM1");

    explicit SerialLink(QObject* parent = nullptr);
    ~SerialLink() override;

    // Opens the port (a bare name such as "ttyUSB0" is looked up under /dev,
    // a path such as "/dev/pts/3" is used as it is). An open port is closed
    // first. False when the device cannot be opened or configured; lines the
    // device does not have (DTR and RTS of a pty) are not an error.
    bool open(const QString& portName, int baudRate);
    // False when closing reported an error; the port is closed afterwards.
    bool close();
    bool isOpen() const { return m_port.isOpen(); }
    QString portName() const { return m_port.portName(); }
    QString errorString() const { return m_error; }

    // Queues the bytes for the port and returns at once; false when the port
    // is not open, the block is empty or the device refused it.
    bool write(const QByteArray& bytes);

    // Silence that ends a received block (tests may shorten it).
    void setReadInterval(int ms) { m_silence.setInterval(ms); }

signals:
    // One received block of at most kMaxBlock bytes, emitted from the
    // silence timer, never from inside the port's own read event.
    void blockReceived(const QByteArray& block);
    // Bytes that write() queued for the port (for a trace of the line).
    void written(const QByteArray& bytes);
    // The device went away (unplugged, its other end closed): the port is
    // closed and stays so until opened again.
    void wentAway(const QString& device);

private:
    void onReadyRead();
    void onSilence();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    QTimer m_silence;
    QByteArray m_pending;
    bool m_overflow = false;
    QString m_error;
    QString m_device;
};

} // namespace ledsign
