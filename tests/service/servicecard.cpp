#include "servicecard.h"

#include "support/testsupport.h"

#include <QUrl>

#include <gtest/gtest.h>

namespace ledsign::test {

QStringList cardArguments(const ServiceProcess& service, const QString& code, int w, int h, const QString& png)
{
    QStringList a{QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:%1").arg(service.cardPort()), QStringLiteral("--code"),
                  code, QStringLiteral("--width"), QString::number(w), QStringLiteral("--height"), QString::number(h)};
    if (!png.isEmpty())
        a << QStringLiteral("--png") << png;
    return a;
}

QString path(const QString& card, const QString& rest)
{
    return QStringLiteral("/api/cards/") + QString::fromLatin1(QUrl::toPercentEncoding(card)) + rest;
}

QString jobOf(const HttpReply& r)
{
    return r.json().value(QStringLiteral("id")).toString();
}

QByteArray shownAfter(CardProcess& card, const QString& pngDir, const std::function<HttpReply()>& send,
                      ServiceProcess& service)
{
    const HttpReply r = send();
    EXPECT_EQ(r.status, 202) << r.body.constData();
    const QJsonObject job = service.waitForJob(jobOf(r));
    EXPECT_EQ(job.value(QStringLiteral("state")).toString(), QLatin1String("sent")) << QJsonDocument(job).toJson().constData();
    EXPECT_TRUE(card.waitForLine(QStringLiteral("png ") + pngDir + QStringLiteral("/page1.png"), 10000));
    return readAll(pngDir + QStringLiteral("/page1.png"));
}

QByteArray shownForTitle(CardProcess& card, const QString& pngDir, ServiceProcess& service, const QString& code,
                         const QString& text, int w, int h)
{
    return shownAfter(card, pngDir, [&] {
        const HttpReply put = service.put(path(code, QStringLiteral("/playbill")), titlePlaybill(text, w, h));
        EXPECT_EQ(put.status, 200) << put.body.constData();
        return service.post(path(code, QStringLiteral("/send")));
    }, service);
}

} // namespace ledsign::test
