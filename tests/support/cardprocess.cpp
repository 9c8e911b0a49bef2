#include "support/cardprocess.h"

#include "support/testsupport.h"
#include "transport/waitfor.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace ledsign::test {

CardProcess::~CardProcess() { stop(); }

QString CardProcess::program() { return binDir() + QStringLiteral("/ledsign-card"); }

bool CardProcess::start(const QStringList& arguments)
{
    if (!QFileInfo::exists(program()))
        return false;
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { readOutput(); });
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(program(), arguments);
    return m_process.waitForStarted(5000);
}

void CardProcess::readOutput()
{
    m_partial += QString::fromUtf8(m_process.readAllStandardOutput());
    qsizetype nl;
    while ((nl = m_partial.indexOf(u'\n')) >= 0) {
        m_lines.append(m_partial.left(nl));
        m_partial.remove(0, nl + 1);
    }
}

QStringList CardProcess::lines()
{
    readOutput();
    return m_lines;
}

bool CardProcess::waitForLine(const QString& prefix, int timeoutMs, QString* line)
{
    bool found = false;
    waitFor([&] {
        readOutput();
        for (qsizetype i = m_consumed; i < m_lines.size(); ++i) {
            if (m_lines[i].startsWith(prefix)) {
                m_consumed = i + 1;
                if (line)
                    *line = m_lines[i];
                found = true;
                return true;
            }
        }
        return m_process.state() == QProcess::NotRunning;
    }, timeoutMs);
    return found;
}

int CardProcess::countLines(const QString& prefix) { return int(linesStartingWith(prefix).size()); }

QStringList CardProcess::linesStartingWith(const QString& prefix)
{
    QStringList out;
    for (const QString& l : lines()) {
        if (l.startsWith(prefix))
            out.append(l);
    }
    return out;
}

bool CardProcess::waitForExit(int timeoutMs, int* exitCode)
{
    const bool ended = waitFor([&] { return m_process.state() == QProcess::NotRunning; }, timeoutMs);
    readOutput();
    if (ended && exitCode)
        *exitCode = m_process.exitCode();
    return ended;
}

bool CardProcess::crashed() const
{
    return m_process.state() == QProcess::NotRunning && m_process.exitStatus() == QProcess::CrashExit;
}

void CardProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

PtyLink::PtyLink()
{
    const QString socat = QStandardPaths::findExecutable(QStringLiteral("socat"));
    if (socat.isEmpty())
        return;
    m_dir = QDir::tempPath() + QStringLiteral("/ledsign-pty-%1").arg(QCoreApplication::applicationPid())
        + QStringLiteral("-%1").arg(quintptr(this), 0, 16);
    QDir().mkpath(m_dir);
    m_a = m_dir + QStringLiteral("/program");
    m_b = m_dir + QStringLiteral("/card");
    m_socat.start(socat, {QStringLiteral("pty,raw,echo=0,link=") + m_a, QStringLiteral("pty,raw,echo=0,link=") + m_b});
    if (!m_socat.waitForStarted(3000))
        return;
    m_ready = waitFor([&] { return QFileInfo::exists(m_a) && QFileInfo::exists(m_b); }, 3000);
}

void PtyLink::close()
{
    if (m_socat.state() != QProcess::NotRunning) {
        m_socat.terminate();
        if (!m_socat.waitForFinished(2000)) {
            m_socat.kill();
            m_socat.waitForFinished(2000);
        }
    }
}

PtyLink::~PtyLink()
{
    close();
    if (!m_dir.isEmpty())
        QDir(m_dir).removeRecursively();
}

} // namespace ledsign::test
