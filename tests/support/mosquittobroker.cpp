#include "support/mosquittobroker.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

namespace ledsign::test {

namespace {

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

} // namespace

MosquittoBroker::~MosquittoBroker() { stop(); }

QString MosquittoBroker::program()
{
    const QString found = QStandardPaths::findExecutable(QStringLiteral("mosquitto"));
    if (!found.isEmpty())
        return found;
    return QStandardPaths::findExecutable(QStringLiteral("mosquitto"), {QStringLiteral("/usr/sbin")});
}

bool MosquittoBroker::start(const QString& passwords)
{
    if (program().isEmpty() || !m_dir.isValid())
        return false;
    m_passwords = passwords;
    if (m_port != 0)
        return startOn(m_port);
    // Another program may take the port between the probe and the start.
    for (int tries = 0; tries < 5; ++tries) {
        if (startOn(freePort()))
            return true;
    }
    return false;
}

bool MosquittoBroker::startOn(quint16 port)
{
    if (port == 0)
        return false;
    QByteArray config = "listener " + QByteArray::number(port) + " 127.0.0.1\npersistence false\n";
    if (m_passwords.isEmpty()) {
        config += "allow_anonymous true\n";
    } else {
        const QString file = m_dir.filePath(QStringLiteral("passwords"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return false;
        out.write(m_passwords.toUtf8());
        out.close();
        // A broker started by root reads its files as the user "mosquitto".
        QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ReadOther | QFile::ExeOther);
        QFile::setPermissions(file, QFile::permissions(file) | QFile::ReadOther);
        QProcess hash;
        hash.start(QStandardPaths::findExecutable(QStringLiteral("mosquitto_passwd")), {QStringLiteral("-U"), file});
        if (!hash.waitForFinished(10000) || hash.exitCode() != 0)
            return false;
        config += "allow_anonymous false\npassword_file " + file.toUtf8() + "\n";
        QFile::setPermissions(file, QFile::permissions(file) | QFile::ReadOther);
    }
    const QString configFile = m_dir.filePath(QStringLiteral("mosquitto.conf"));
    QFile out(configFile);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(config);
    out.close();

    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(program(), {QStringLiteral("-c"), configFile});
    if (!m_process.waitForStarted(5000))
        return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        if (m_process.waitForFinished(20) || m_process.state() == QProcess::NotRunning)
            return false; // the port was taken
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        if (probe.waitForConnected(200)) {
            m_port = port;
            return true;
        }
    }
    stop();
    return false;
}

void MosquittoBroker::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

QString MosquittoBroker::output() { return QString::fromUtf8(m_process.readAll()); }

} // namespace ledsign::test
