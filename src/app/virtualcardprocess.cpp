#include "virtualcardprocess.h"

#include <csignal>
#include <sys/prctl.h>

#include "editing/democard.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace ledsign {

VirtualCardProcess::VirtualCardProcess(QObject* parent)
    : QObject(parent)
{
    // The card's event lines are of no use to the editor's user; what it
    // says on stderr explains why it ended.
    m_process.setStandardOutputFile(QProcess::nullDevice());
    // The card belongs to this run: when the editor ends in any way (a
    // signal included), the card ends too instead of holding its port.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    connect(&m_process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        if (m_stopping)
            return;
        const QStringList said =
            QString::fromLocal8Bit(m_process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        QString message = status == QProcess::CrashExit
            ? QStringLiteral("The virtual card stopped unexpectedly.")
            : QStringLiteral("The virtual card ended with status %1.").arg(exitCode);
        // The last line that is not a Qt start-up notice.
        for (qsizetype i = said.size() - 1; i >= 0; --i) {
            if (!said[i].startsWith(QLatin1String("QStandardPaths:"))) {
                message += QLatin1Char(' ') + said[i].trimmed();
                break;
            }
        }
        emit endedEarly(message);
    });
}

VirtualCardProcess::~VirtualCardProcess() { stop(); }

QString VirtualCardProcess::program() { return QCoreApplication::applicationDirPath() + QStringLiteral("/ledsign-card"); }

namespace {

QStringList cardArguments(quint16 serverPort, const QRect& editor)
{
    QStringList args{QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:%1").arg(serverPort), QStringLiteral("--code"),
                     QString::fromLatin1(kDemoInternalCode), QStringLiteral("--width"), QString::number(kDemoWidth),
                     QStringLiteral("--height"), QString::number(kDemoHeight), QStringLiteral("--colors"),
                     QStringLiteral("2"), QStringLiteral("--window")};
    if (editor.isValid())
        args << QStringLiteral("--beside")
             << QStringLiteral("%1,%2,%3,%4").arg(editor.x()).arg(editor.y()).arg(editor.width()).arg(editor.height());
    return args;
}

} // namespace

bool VirtualCardProcess::start(quint16 serverPort, const QRect& editor, QString& error)
{
    if (!QFileInfo(program()).isExecutable()) {
        error = QStringLiteral("The virtual card %1 is missing.").arg(program());
        return false;
    }
    m_stopping = false;
    m_process.start(program(), cardArguments(serverPort, editor));
    if (!m_process.waitForStarted(5000)) {
        error = QStringLiteral("The virtual card could not be started: %1").arg(m_process.errorString());
        return false;
    }
    return true;
}

void VirtualCardProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_stopping = true;
    m_process.terminate();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

} // namespace ledsign
