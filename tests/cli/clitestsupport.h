// Runs the built ledsign-cli as a process and makes small playbills for it
// with the model's own writer.
#pragma once

#include "support/testsupport.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QThread>
#include <QString>
#include <QStringList>

namespace ledsign::test {

struct CliRun {
    int exitCode = -1;
    bool finished = false;
    QString out;
    QString err;
};

inline CliRun runCli(const QStringList& args, int timeoutMs = 120000)
{
    QProcess process;
    process.start(binDir() + QStringLiteral("/ledsign-cli"), args);
    CliRun run;
    if (!process.waitForStarted(10000))
        return run;
    run.finished = process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit;
    if (!run.finished)
        process.kill();
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// A TCP port nobody listens on at the moment of asking.
inline quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

// ledsign-card as a child process that keeps reconnecting to 127.0.0.1:port
// until a server is there; its event lines are read when it has ended.
class CardChild {
public:
    CardChild() = default;
    CardChild(const CardChild&) = delete;
    CardChild& operator=(const CardChild&) = delete;
    ~CardChild() { stop(); }

    bool start(quint16 port, const QStringList& extra = {})
    {
        m_process.start(binDir() + QStringLiteral("/ledsign-card"),
                        QStringList{QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:%1").arg(port),
                                    QStringLiteral("--code"), QStringLiteral("9_8_7_6_5_4_3_2")}
                            + extra);
        return m_process.waitForStarted(5000);
    }
    // Waits until the card has written a line containing `text`.
    bool waitForText(const QString& text, int timeoutMs = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            m_out += QString::fromUtf8(m_process.readAllStandardOutput());
            if (m_out.contains(text))
                return true;
            if (clock.elapsed() > timeoutMs || m_process.state() == QProcess::NotRunning)
                return false;
            m_process.waitForReadyRead(100);
        }
    }
    // Ends the card and returns every line it wrote.
    QStringList stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000)) {
                m_process.kill();
                m_process.waitForFinished(3000);
            }
        }
        m_out += QString::fromUtf8(m_process.readAllStandardOutput());
        return m_out.split(u'\n', Qt::SkipEmptyParts);
    }

private:
    QProcess m_process;
    QString m_out;
};

} // namespace ledsign::test
