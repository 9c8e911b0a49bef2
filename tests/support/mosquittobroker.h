// A mosquitto broker started by a test on a free loopback port (nothing
// kept on disk), which the test can stop and start again on the same port.
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace ledsign::test {

class MosquittoBroker {
public:
    MosquittoBroker() = default;
    ~MosquittoBroker();
    MosquittoBroker(const MosquittoBroker&) = delete;
    MosquittoBroker& operator=(const MosquittoBroker&) = delete;

    // The mosquitto program, or empty when it is not installed.
    static QString program();
    // Starts on a free port (again on the last one after stop()); `passwords`
    // (user:password lines) turns anonymous access off.
    bool start(const QString& passwords = QString());
    void stop();
    quint16 port() const { return m_port; }
    QString output();

private:
    bool startOn(quint16 port);

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_passwords;
};

} // namespace ledsign::test
