#include "transport/channeltexts.h"

#include "language/language.h"

namespace ledsign::channeltext {

QString serialOpened(const QString& port, int baudRate)
{
    return messageText("comm_param_serial_port") + u'[' + port + QStringLiteral("]  ") + messageText("comm_param_baud_rate")
        + u'[' + QString::number(baudRate) + u']';
}

QString serialOpenFailed(const QString& port)
{
    return messageText("comm_param_serial_port") + u'[' + port + QStringLiteral("]  ") + messageText("action_open_failed");
}

QString serialClosed()
{
    return messageText("comm_param_serial_port") + QStringLiteral("已关闭");
}

QString serialCloseFailed()
{
    return messageText("comm_param_serial_port") + QStringLiteral("失败");
}

QString serverOpened(quint16 port)
{
    return messageText("comm_param_network") + u' ' + messageText("comm_param_port") + u'[' + QString::number(port) + u']';
}

QString serverOpenFailed()
{
    return messageText("warn_comm_network_open_fail");
}

QString connectionLimitReached()
{
    return messageText("warn_connection_limit");
}

} // namespace ledsign::channeltext
