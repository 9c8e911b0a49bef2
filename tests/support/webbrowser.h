// Debian's chromium, headless, driven through chromedriver's WebDriver HTTP
// interface: a fresh profile, no background traffic. For tests of the pages
// the service serves.
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace ledsign::test {

class WebBrowser {
public:
    WebBrowser() = default;
    ~WebBrowser();
    WebBrowser(const WebBrowser&) = delete;
    WebBrowser& operator=(const WebBrowser&) = delete;

    // Why no browser can be started here (chromium or chromedriver missing); empty when one can.
    static QString missing();
    bool start(int width, int height);
    QString error() const { return m_error; }

    bool open(const QString& url);
    // Runs the body of a function in the page and gives back what it returns.
    QJsonValue script(const QString& body, const QJsonArray& arguments = {});
    // Waits until the script returns true.
    bool waitUntil(const QString& body, int timeoutMs = 15000);
    // The WebDriver id of the first element the CSS selector finds; empty when none.
    QString element(const QString& selector);
    bool click(const QString& element);
    bool clear(const QString& element);
    bool type(const QString& element, const QString& text);
    QByteArray screenshot(); // PNG

private:
    QJsonValue command(const QByteArray& method, const QString& path, const QJsonObject& body = {});

    QProcess m_driver;
    QTemporaryDir m_profile;
    quint16 m_port = 0;
    QString m_session;
    QString m_error;
};

} // namespace ledsign::test
