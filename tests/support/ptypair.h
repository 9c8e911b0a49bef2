// A pseudo-terminal pair for serial tests: the program opens the slave path
// like any serial device, the test plays the card on the master side.
#pragma once

#include <QByteArray>
#include <QString>

namespace ledsign::test {

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isOpen() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }

    bool writeMaster(const QByteArray& bytes);
    // Reads what the program wrote until `count` bytes are there or the time
    // is up, processing Qt events meanwhile.
    QByteArray readMaster(qsizetype count, int timeoutMs = 2000);
    // Everything the program has written so far, without waiting.
    QByteArray drainMaster();
    // Closes the master side: the device goes away for the program.
    void closeMaster();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};

} // namespace ledsign::test
