#include "transport/seriallink.h"

namespace ledsign {

SerialLink::SerialLink(QObject* parent)
    : QObject(parent)
{
    m_silence.setSingleShot(true);
    m_silence.setInterval(kReadIntervalMs);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialLink::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialLink::onError);
    connect(&m_silence, &QTimer::timeout, this, &SerialLink::onSilence);
}

SerialLink::~SerialLink()
{
    if (m_port.isOpen())
        m_port.close();
}

bool SerialLink::open(const QString& portName, int baudRate)
{
    if (m_port.isOpen())
        close();
    m_error.clear();
    m_pending.clear();
    m_overflow = false;

    m_port.setPortName(portName.trimmed());
    // The device as the system names it: a bare name lives under /dev.
    m_device = portName.trimmed().contains(u'/') ? portName.trimmed() : QStringLiteral("/dev/") + portName.trimmed();
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_error = m_port.errorString();
        m_port.clearError();
        return false;
    }
    const bool configured = m_port.setBaudRate(baudRate) && m_port.setDataBits(QSerialPort::Data8)
        && m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop)
        && m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        m_error = m_port.errorString();
        m_port.close();
        m_port.clearError();
        return false;
    }
    // Some devices (a pty, some USB adapters) have no modem lines; the card
    // does not need them, so a refusal is not an error.
    m_port.setDataTerminalReady(true);
    m_port.setRequestToSend(true);
    m_port.clearError();
    return true;
}

bool SerialLink::close()
{
    m_silence.stop();
    m_pending.clear();
    m_overflow = false;
    if (!m_port.isOpen())
        return true;
    m_port.clearError();
    m_port.close();
    const bool ok = m_port.error() == QSerialPort::NoError;
    if (!ok)
        m_error = m_port.errorString();
    m_port.clearError();
    return ok;
}

bool SerialLink::write(const QByteArray& bytes)
{
    if (!m_port.isOpen() || bytes.isEmpty())
        return false;
    const bool ok = m_port.write(bytes) == bytes.size();
    if (ok)
        emit written(bytes);
    return ok;
}

void SerialLink::onReadyRead()
{
    const QByteArray bytes = m_port.readAll();
    if (bytes.isEmpty())
        return;
    // Once a block is too long it is dropped whole; keep nothing of it.
    if (!m_overflow && m_pending.size() + bytes.size() <= kMaxBlock) {
        m_pending.append(bytes);
    } else {
        m_overflow = true;
        m_pending.clear();
    }
    m_silence.start();
}

void SerialLink::onSilence()
{
    const QByteArray block = m_pending;
    const bool dropped = m_overflow;
    m_pending.clear();
    m_overflow = false;
    if (!dropped && !block.isEmpty())
        emit blockReceived(block);
}

void SerialLink::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError)
        return;
    m_error = m_port.errorString();
    // A device that went away (a USB adapter pulled out) cannot be used
    // again; close it so that writes report failure.
    // The close waits for a later turn: the port is still inside its own
    // event here.
    if (error == QSerialPort::ResourceError && m_port.isOpen()) {
        QMetaObject::invokeMethod(this, [this] {
            if (m_port.isOpen()) {
                m_silence.stop();
                m_pending.clear();
                m_port.close();
                m_port.clearError();
                emit wentAway(m_device);
            }
        }, Qt::QueuedConnection);
    }
}

} // namespace ledsign
