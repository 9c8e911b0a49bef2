#include "transport/channeltexts.h"

#include "language/language.h"

namespace ledsign::channeltext {

namespace {
constexpr int kMessages = 3;

QString lg(const char* key)
{
    return GetLgText(kMessages, QString::fromLatin1(key));
}
} // namespace

QString serialOpened(const QString& port, int baudRate)
{
    return lg("comm_param_serial_port") + u'[' + port + QStringLiteral("]  ") + lg("comm_param_baud_rate")
        + u'[' + QString::number(baudRate) + u']';
}

QString serialOpenFailed(const QString& port)
{
    return lg("comm_param_serial_port") + u'[' + port + QStringLiteral("]  ") + lg("action_open_failed");
}

QString serialClosed()
{
    return lg("comm_param_serial_port") + QStringLiteral("已关闭");
}

QString serialCloseFailed()
{
    return lg("comm_param_serial_port") + QStringLiteral("失败");
}

QString serverOpened(quint16 port)
{
    return lg("comm_param_network") + u' ' + lg("comm_param_port") + u'[' + QString::number(port) + u']';
}

QString serverOpenFailed()
{
    return lg("warn_comm_network_open_fail");
}

QString connectionLimitReached()
{
    return lg("warn_connection_limit");
}

} // namespace ledsign::channeltext
