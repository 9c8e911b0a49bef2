// An RS-485 line for the integration tests: one pseudo-terminal for the
// program and one for each card process. Whatever the program writes, every
// card hears, as on a shared wire, and the program hears every card (the
// cards are not made to hear each other); every write is kept with the time
// it was heard, so that tests can read back the exact bytes and the pauses
// between a card's answer and the program's next packet.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class QSocketNotifier;

namespace ledsign::test {

class Rs485Bus : public QObject {
public:
    static constexpr int kProgram = -1;

    struct Heard {
        int from;        // kProgram, or the card's number from 0
        qint64 atMs;     // since the bus was made
        QByteArray bytes;
    };

    explicit Rs485Bus(int cardCount);
    ~Rs485Bus() override;
    Rs485Bus(const Rs485Bus&) = delete;
    Rs485Bus& operator=(const Rs485Bus&) = delete;

    bool isReady() const { return m_ready; }
    QString programSide() const;
    QString cardSide(int card) const;

    const QList<Heard>& heard() const { return m_heard; }
    // Everything one side wrote, joined.
    QByteArray bytesFrom(int side) const;

private:
    struct End {
        int master = -1;
        int slave = -1;
        QString path;
        QSocketNotifier* notifier = nullptr;
    };
    void relay(int index);

    QList<End> m_ends; // [0] the program, then the cards
    QList<Heard> m_heard;
    QElapsedTimer m_clock;
    bool m_ready = false;
};

// The packets of a stream of 485 packets, cut by their length fields.
QList<QByteArray> splitRs485Packets(const QByteArray& stream);

// The three bytes that close a 485 packet whose bytes before them are
// `packet`: the CRC-16/MODBUS of everything after the start byte (low byte,
// then high byte), computed bit by bit, and the XOR of everything after the
// start byte, the CRC included.
QByteArray rs485Closing(const QByteArray& packet);

} // namespace ledsign::test
