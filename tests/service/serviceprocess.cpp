#include "serviceprocess.h"

#include "support/testsupport.h"

#include "model/codec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

#include <csignal>

namespace ledsign::test {

bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

HttpReply http(const QByteArray& method, const QString& url, const QByteArray& body, const HttpHeaders& headers,
               int timeoutMs)
{
    static QNetworkAccessManager* manager = new QNetworkAccessManager(QCoreApplication::instance());
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (!body.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    QNetworkReply* reply = manager->sendCustomRequest(request, method, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    HttpReply out;
    if (reply->isFinished()) {
        out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        out.body = reply->readAll();
        out.headers = reply->rawHeaderPairs();
    } else {
        reply->abort();
    }
    reply->deleteLater();
    return out;
}

QByteArray titlePlaybill(const QString& text, int width, int height)
{
    const QString file = QStringLiteral(
        "[ProgramList]\r\n"
        "page1,100000001,pnProgram1,00:00,24:00,everyday,,-1\r\n"
        "[RegionList]\r\n"
        "page1,100000001,area1,100000002,pnRegion2,0,0,%1,%2\r\n"
        "[FodderList]\r\n"
        "page1,area1,100000002,title,100000003,pnSglTxt3,0,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0,0,0,0,0,0,0\r\n"
        "[TxtContentList]\r\n"
        "100000003=clRed^\u5b8b\u4f53^12^0^0^0^0^0^1^%3\r\n")
                             .arg(width)
                             .arg(height)
                             .arg(text);
    // The one codec of every byte boundary (GB18030).
    return codec::encode(file);
}

ServiceProcess::~ServiceProcess() { kill(); }

QString ServiceProcess::program() { return binDir() + QStringLiteral("/ledsignd"); }

QString ServiceProcess::output()
{
    m_output += m_process.readAll();
    return QString::fromUtf8(m_output);
}

bool ServiceProcess::waitForOutput(const QString& text, int timeoutMs)
{
    return waitUntil([&] { return output().contains(text) || m_process.state() == QProcess::NotRunning; }, timeoutMs)
        && output().contains(text);
}

bool ServiceProcess::start(const QString& home, const QStringList& arguments)
{
    QStringList args{QStringLiteral("--home"), home};
    if (!arguments.contains(QStringLiteral("--card-port")) && !arguments.contains(QStringLiteral("--serial")))
        args << QStringLiteral("--card-port") << QStringLiteral("0");
    if (!arguments.contains(QStringLiteral("--listen")))
        args << QStringLiteral("--listen") << QStringLiteral("127.0.0.1:0");
    args << arguments;
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(program(), args);
    if (!m_process.waitForStarted(10000))
        return false;
    const QString serviceFile = home + QStringLiteral("/ledsignd.json");
    if (!waitForOutput(QStringLiteral("HTTP API on"), 20000))
        return false;
    QFile file(serviceFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    m_api = o.value(QStringLiteral("api")).toString();
    m_cardPort = quint16(o.value(QStringLiteral("cardPort")).toInt());
    return !m_api.isEmpty();
}

int ServiceProcess::runToExit(const QStringList& arguments, int timeoutMs)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(program(), arguments);
    if (!m_process.waitForStarted(10000))
        return -1;
    if (!waitUntil([&] { output(); return m_process.state() == QProcess::NotRunning; }, timeoutMs))
        return -1;
    output();
    return m_process.exitCode();
}

bool ServiceProcess::waitForOnline(const QString& card, bool online, int timeoutMs)
{
    const QString path = QStringLiteral("/api/cards/") + QString::fromLatin1(QUrl::toPercentEncoding(card));
    return waitUntil([&] {
        const HttpReply r = get(path);
        return r.status == 200 && r.json().value(QStringLiteral("online")).toBool() == online;
    }, timeoutMs);
}

QJsonObject ServiceProcess::waitForJob(const QString& id, int timeoutMs)
{
    QJsonObject job;
    waitUntil([&] {
        job = get(QStringLiteral("/api/jobs/") + id).json();
        return job.value(QStringLiteral("state")).toString() != QLatin1String("running") && !job.isEmpty();
    }, timeoutMs);
    return job;
}

int ServiceProcess::terminate(int timeoutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return m_process.exitCode();
    ::kill(pid_t(m_process.processId()), SIGTERM);
    if (!waitUntil([&] { return m_process.state() == QProcess::NotRunning; }, timeoutMs))
        return -1;
    output();
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

void ServiceProcess::hangUp()
{
    if (m_process.state() != QProcess::NotRunning)
        ::kill(pid_t(m_process.processId()), SIGHUP);
}

void ServiceProcess::kill()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

} // namespace ledsign::test
