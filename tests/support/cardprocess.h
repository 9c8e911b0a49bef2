// Runs ledsign-card as a child process for the integration tests and reads
// its event lines. The process is always ended when the object goes.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace ledsign::test {

class CardProcess {
public:
    CardProcess() = default;
    ~CardProcess();
    CardProcess(const CardProcess&) = delete;
    CardProcess& operator=(const CardProcess&) = delete;

    static QString program();
    bool start(const QStringList& arguments);
    // Waits for a line beginning with `prefix` that was not yet waited for.
    bool waitForLine(const QString& prefix, int timeoutMs = 5000, QString* line = nullptr);
    QStringList lines();
    int countLines(const QString& prefix);
    QStringList errorLines() { return linesStartingWith(QStringLiteral("error ")); }
    QStringList linesStartingWith(const QString& prefix);
    bool waitForExit(int timeoutMs, int* exitCode = nullptr);
    void stop();
    // The card ended through a signal (an abort, a segmentation fault).
    bool crashed() const;

private:
    void readOutput();

    QProcess m_process;
    QStringList m_lines;
    QString m_partial;
    qsizetype m_consumed = 0;
};

// Two linked pseudo-terminals made by socat: the program opens one path,
// the card the other.
class PtyLink {
public:
    PtyLink();
    ~PtyLink();
    bool isReady() const { return m_ready; }
    QString programSide() const { return m_a; }
    QString cardSide() const { return m_b; }
    // Ends the link: both sides lose their device.
    void close();

private:
    QProcess m_socat;
    QString m_dir;
    QString m_a;
    QString m_b;
    bool m_ready = false;
};

} // namespace ledsign::test
