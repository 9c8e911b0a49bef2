// The virtual card the demo starts beside the editor: ledsign-card from the
// editor's own folder, connecting to the editor's server on 127.0.0.1 as the
// sample card, with its LED-panel window beside the editor's. It is stopped
// when the editor ends.
#pragma once

#include <QObject>
#include <QProcess>
#include <QRect>
#include <QString>

namespace ledsign {

class VirtualCardProcess : public QObject {
    Q_OBJECT
public:
    explicit VirtualCardProcess(QObject* parent = nullptr);
    ~VirtualCardProcess() override;

    static QString program();
    // Starts the card for the server port, its panel beside `editor` (the
    // editor window's frame on the screen; none: where the desktop puts it);
    // false with `error`.
    bool start(quint16 serverPort, const QRect& editor, QString& error);

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
