// One epoll set for the card connections, watched by the event loop through
// a single notifier. A turn of the loop then costs the same with ten or ten
// thousand connections, and only the connections that are ready are
// visited. Everything runs on the thread that owns the poller.
#pragma once

#include <QHash>
#include <QObject>

class QSocketNotifier;

namespace ledsign {

class ConnectionPoller : public QObject {
    Q_OBJECT
public:
    // What a watched socket is told when it is ready.
    class Client {
    public:
        virtual void socketReady(bool readable, bool writable, bool failed) = 0;

    protected:
        ~Client() = default;
    };

    explicit ConnectionPoller(QObject* parent = nullptr);
    ~ConnectionPoller() override;

    bool isValid() const { return m_epoll >= 0; }
    // Watches the socket for reading; returns the watch's id, 0 when the
    // socket cannot be watched.
    quint64 add(int fd, Client* client);
    // Watches for room to write as well, or no longer.
    void setWantWrite(quint64 id, bool wanted);
    // Before the socket is closed; the client hears nothing more.
    void remove(quint64 id);
    qsizetype count() const { return m_watches.size(); }

private:
    void onReady();

    struct Watch {
        int fd = -1;
        Client* client = nullptr;
        bool write = false;
    };
    int m_epoll = -1;
    QSocketNotifier* m_notifier = nullptr;
    QHash<quint64, Watch> m_watches;
    quint64 m_nextId = 1;
};

} // namespace ledsign
