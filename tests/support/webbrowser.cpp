#include "support/webbrowser.h"

#include "transport/waitfor.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace ledsign::test {

namespace {

// The WebDriver name of an element reference.
const QString kElementKey = QStringLiteral("element-6066-11e4-a52e-4f735466cecf");

QString chromium() { return QStandardPaths::findExecutable(QStringLiteral("chromium")); }
QString chromedriver() { return QStandardPaths::findExecutable(QStringLiteral("chromedriver")); }

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

} // namespace

WebBrowser::~WebBrowser()
{
    if (!m_session.isEmpty())
        command("DELETE", QStringLiteral("/session/") + m_session);
    if (m_driver.state() != QProcess::NotRunning) {
        m_driver.terminate();
        if (!m_driver.waitForFinished(5000))
            m_driver.kill();
        m_driver.waitForFinished(2000);
    }
}

QString WebBrowser::missing()
{
    if (chromium().isEmpty())
        return QStringLiteral("chromium is not installed (scripts/setup installs it)");
    if (chromedriver().isEmpty())
        return QStringLiteral("chromedriver is not installed (scripts/setup installs chromium-driver)");
    return {};
}

bool WebBrowser::start(int width, int height)
{
    if (!missing().isEmpty()) {
        m_error = missing();
        return false;
    }
    for (int tries = 0; tries < 5 && m_driver.state() == QProcess::NotRunning; ++tries) {
        m_port = freePort();
        m_driver.setProcessChannelMode(QProcess::MergedChannels);
        m_driver.start(chromedriver(), {QStringLiteral("--port=%1").arg(m_port)});
        m_driver.waitForStarted(5000);
        const bool up = waitFor([&] {
            if (m_driver.state() == QProcess::NotRunning)
                return true;
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            return probe.waitForConnected(100);
        }, 15000);
        if (!up || m_driver.state() == QProcess::NotRunning) {
            m_driver.kill();
            m_driver.waitForFinished(2000);
        }
    }
    if (m_driver.state() == QProcess::NotRunning) {
        m_error = QStringLiteral("chromedriver did not start: ") + QString::fromUtf8(m_driver.readAll());
        return false;
    }
    const QJsonArray arguments{QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
                               QStringLiteral("--disable-background-networking"), QStringLiteral("--disable-component-update"),
                               QStringLiteral("--disable-sync"), QStringLiteral("--no-first-run"),
                               QStringLiteral("--user-data-dir=") + m_profile.path(),
                               QStringLiteral("--window-size=%1,%2").arg(width).arg(height)};
    const QJsonObject options{{QStringLiteral("binary"), chromium()}, {QStringLiteral("args"), arguments}};
    const QJsonObject capabilities{
        {QStringLiteral("alwaysMatch"),
         QJsonObject{{QStringLiteral("browserName"), QStringLiteral("chrome")}, {QStringLiteral("goog:chromeOptions"), options}}}};
    const QJsonValue session = command("POST", QStringLiteral("/session"), {{QStringLiteral("capabilities"), capabilities}});
    m_session = session[QLatin1String("sessionId")].toString();
    if (m_session.isEmpty()) {
        m_error = QStringLiteral("chromium did not start: ") + m_error;
        return false;
    }
    return true;
}

QJsonValue WebBrowser::command(const QByteArray& method, const QString& path, const QJsonObject& body)
{
    QNetworkAccessManager network;
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path)));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    request.setTransferTimeout(60000);
    const QByteArray payload = method == "GET" || method == "DELETE" ? QByteArray() : QJsonDocument(body).toJson();
    QNetworkReply* reply = network.sendCustomRequest(request, method, payload);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
    reply->deleteLater();
    const QJsonValue value = answer.value(QLatin1String("value"));
    if (value.isObject() && value.toObject().contains(QLatin1String("error"))) {
        m_error = value[QLatin1String("error")].toString() + QStringLiteral(": ") + value[QLatin1String("message")].toString();
        return QJsonValue::Undefined;
    }
    if (reply->error() != QNetworkReply::NoError && answer.isEmpty()) {
        m_error = reply->errorString();
        return QJsonValue::Undefined;
    }
    return value;
}

bool WebBrowser::open(const QString& url)
{
    return !command("POST", QStringLiteral("/session/%1/url").arg(m_session), {{QStringLiteral("url"), url}}).isUndefined();
}

QJsonValue WebBrowser::script(const QString& body, const QJsonArray& arguments)
{
    return command("POST", QStringLiteral("/session/%1/execute/sync").arg(m_session),
                   {{QStringLiteral("script"), body}, {QStringLiteral("args"), arguments}});
}

bool WebBrowser::waitUntil(const QString& body, int timeoutMs)
{
    return waitFor([&] { return script(body).toBool(); }, timeoutMs);
}

QString WebBrowser::element(const QString& selector)
{
    const QJsonValue found = command("POST", QStringLiteral("/session/%1/element").arg(m_session),
                                     {{QStringLiteral("using"), QStringLiteral("css selector")}, {QStringLiteral("value"), selector}});
    return found[kElementKey].toString();
}

bool WebBrowser::click(const QString& element)
{
    return !command("POST", QStringLiteral("/session/%1/element/%2/click").arg(m_session, element)).isUndefined();
}

bool WebBrowser::clear(const QString& element)
{
    return !command("POST", QStringLiteral("/session/%1/element/%2/clear").arg(m_session, element)).isUndefined();
}

bool WebBrowser::type(const QString& element, const QString& text)
{
    return !command("POST", QStringLiteral("/session/%1/element/%2/value").arg(m_session, element),
                    {{QStringLiteral("text"), text}})
                .isUndefined();
}

QByteArray WebBrowser::screenshot()
{
    return QByteArray::fromBase64(command("GET", QStringLiteral("/session/%1/screenshot").arg(m_session)).toString().toLatin1());
}

} // namespace ledsign::test
