// The channel state texts shown in panel 3 of the main window's status bar,
// and the fixed captions of the serial port's open/close button.
#pragma once

#include <QString>

namespace ledsign::channeltext {

inline const QString kOpenSerialCaption = QStringLiteral("打开串口");
inline const QString kCloseSerialCaption = QStringLiteral("关闭串口");

// "Serial Port[COM3]  baud rate[9600]"
QString serialOpened(const QString& port, int baudRate);
// "Serial Port[COM3]  open failed!"
QString serialOpenFailed(const QString& port);
QString serialClosed();
QString serialCloseFailed();
// "Network Port[8900]"
QString serverOpened(quint16 port);
QString serverOpenFailed();
// The server can take no more connections (the limit of open files).
QString connectionLimitReached();

} // namespace ledsign::channeltext
