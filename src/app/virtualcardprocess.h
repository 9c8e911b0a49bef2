// The virtual card the demo starts beside the editor: ledsign-card from the
// editor's own folder, connecting to the editor's server on 127.0.0.1 as the
// sample card, with its LED-panel window. It is stopped when the editor ends.
#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

namespace ledsign {

class VirtualCardProcess : public QObject {
    Q_OBJECT
public:
    explicit VirtualCardProcess(QObject* parent = nullptr);
    ~VirtualCardProcess() override;

    static QString program();
    // Starts the card for the server port; false with `error`.
    bool start(quint16 serverPort, QString& error);
    void stop();
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

signals:
    // The card ended on its own (a crash or a refused option).
    void endedEarly(const QString& message);

private:
    QProcess m_process;
    bool m_stopping = false;
};

} // namespace ledsign
