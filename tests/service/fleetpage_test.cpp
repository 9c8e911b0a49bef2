// The fleet page in a real browser (Debian's chromium, headless, through
// chromedriver) against the real ledsignd, with ledsign-card as the card.
// Screenshots go to LEDSIGN_SCREENSHOT_DIR when it is set.
#include "servicecard.h"

#include "support/cardprocess.h"
#include "support/testsupport.h"
#include "support/webbrowser.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ledsign::test {
namespace {

constexpr char kCode[] = "12_34_56_78_90_12_34_56";

void keepScreenshot(WebBrowser& browser, const char* name)
{
    const QString dir = qEnvironmentVariable("LEDSIGN_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        writeAll(QDir(dir).filePath(QLatin1String(name)), browser.screenshot());
}

// The script's condition on the table row of the card.
QString onRow(const QString& /* the card: arguments[0] */, const QString& condition)
{
    return QStringLiteral("const row = [...document.querySelectorAll('#spacer .row:not([hidden])')]"
                          ".find(r => r.dataset.name === arguments[0]); return !!row && (%1);").arg(condition);
}

class FleetPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!WebBrowser::missing().isEmpty())
            GTEST_SKIP() << WebBrowser::missing().toStdString();
    }
    bool until(const QString& script, const QJsonArray& arguments, int timeoutMs = 20000)
    {
        return waitUntil([&] { return browser.script(script, arguments).toBool(); }, timeoutMs);
    }

    QTemporaryDir home;
    ServiceProcess service;
    WebBrowser browser;
};

TEST_F(FleetPage, TheCardIsListedATextTypedReachesItAndItGoesOffLine)
{
    QTemporaryDir png;
    ASSERT_TRUE(service.start(home.path())) << service.output().toStdString();
    const QString code = QString::fromLatin1(kCode);
    CardProcess card;
    ASSERT_TRUE(card.start(cardArguments(service, code, 64, 16, png.path())));
    ASSERT_TRUE(service.waitForOnline(code)) << service.output().toStdString();

    // What the card shows for the typed text written into its playbill by hand.
    const QString page1 = png.filePath(QStringLiteral("page1.png"));
    const QByteArray typedShown = shownForTitle(card, png.path(), service, code, QStringLiteral("Typed 7"), 64, 16);
    ASSERT_NE(shownForTitle(card, png.path(), service, code, QStringLiteral("OLD"), 64, 16), typedShown);

    ASSERT_TRUE(browser.start(1280, 900)) << browser.error().toStdString();
    ASSERT_TRUE(browser.open(service.api() + QStringLiteral("/"))) << browser.error().toStdString();
    ASSERT_TRUE(until(onRow(code, "row.classList.contains('is-online')"), {code})) << browser.error().toStdString();
    EXPECT_TRUE(until("return document.getElementById('count-online').textContent.includes('1');", {}));
    // The last contact reads the same whatever the browser's language.
    EXPECT_TRUE(until(onRow(code, "/^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$/.test(row.children[4].textContent)"), {code}));

    // The card's box holds its text; a text typed there and sent is what the card shows.
    ASSERT_TRUE(browser.click(browser.element(QStringLiteral("#spacer .row[data-name='%1']").arg(code))));
    ASSERT_TRUE(until("const box = document.querySelector('#texts textarea[data-material=\"title\"]');"
                      "return !!box && box.value === 'OLD' && document.querySelectorAll('#pages img').length === 1;", {}));
    const QString box = browser.element(QStringLiteral("#texts textarea[data-material='title']"));
    ASSERT_TRUE(browser.clear(box));
    ASSERT_TRUE(browser.type(box, QStringLiteral("Typed 7")));
    // The playbill replaced meanwhile: the card is shown again, the typed text stays.
    const QString pictureFirst = browser.script("return document.querySelector('#pages img').src;").toString();
    ASSERT_EQ(service.put(path(code, QStringLiteral("/playbill")), titlePlaybill(QStringLiteral("Other"), 64, 16)).status, 200);
    ASSERT_TRUE(until("const img = document.querySelector('#pages img'); return !!img && img.src !== arguments[0];", {pictureFirst}));
    EXPECT_EQ(browser.script("return document.querySelector('#texts textarea[data-material=\"title\"]').value;").toString(),
              QLatin1String("Typed 7"));
    const QString pictureBefore = browser.script("return document.querySelector('#pages img').src;").toString();
    ASSERT_TRUE(browser.click(browser.element(QStringLiteral("#texts button[data-send='title']"))));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("png ") + page1, 20000)) << service.output().toStdString();
    EXPECT_EQ(readAll(page1), typedShown) << "the card shows the typed text";
    EXPECT_TRUE(until("return document.querySelector('#texts .result').textContent === arguments[0];",
                      {service.get("/texts.json").json()["texts"].toObject()["sent"].toString()}))
        << browser.script("return document.querySelector('#texts .result').textContent;").toString().toStdString();
    EXPECT_TRUE(until("const img = document.querySelector('#pages img'); return !!img && img.src !== arguments[0] && img.complete;",
                      {pictureBefore}))
        << "the page's picture is drawn again once the card has it";
    keepScreenshot(browser, "fleet-page-1-card.png");

    card.stop();
    EXPECT_TRUE(until(onRow(code, "!row.classList.contains('is-online')"), {code}))
        << "the page shows the card off-line without a reload";
    EXPECT_TRUE(until("return document.getElementById('count-offline').textContent.includes('1');", {}));
}

// The page's own files are public, the API is not; a URL reaches no other file.
TEST(FleetPageFiles, ThePageIsPublicAndTheApiIsNot)
{
    QTemporaryDir home;
    const QString tokenFile = home.filePath(QStringLiteral("token"));
    ASSERT_TRUE(writeAll(tokenFile, "page-token-0123456789\n"));
    ServiceProcess service;
    ASSERT_TRUE(service.start(home.path(), {"--token-file", tokenFile})) << service.output().toStdString();
    const struct {
        const char* method;
        const char* path;
        int status;
    } requests[] = {
        {"GET", "/", 200}, {"GET", "/main.js", 200}, {"GET", "/texts.json", 200}, {"GET", "/api/cards", 401},
        {"GET", "/../SetCfg.ini", 404}, {"GET", "/%2E%2E/SetCfg.ini", 404}, {"GET", "/token", 404}, {"POST", "/", 404},
    };
    for (const auto& r : requests)
        EXPECT_EQ(http(r.method, service.api() + QLatin1String(r.path)).status, r.status) << r.method << " " << r.path;
}

// With a token the page asks for it once; the browser session keeps it.
TEST_F(FleetPage, TheTokenIsAskedOnceAndKeptForTheSession)
{
    const QString tokenFile = home.filePath(QStringLiteral("token"));
    ASSERT_TRUE(writeAll(tokenFile, "page-token-0123456789\n"));
    ASSERT_TRUE(writeAll(home.filePath(QStringLiteral("SetCfg.ini")), "[CardsInfo]\r\nHall=64,16,,1_1_1_1_1_1_1_1,,,80,1\r\n"));
    ASSERT_TRUE(service.start(home.path(), {"--token-file", tokenFile})) << service.output().toStdString();

    ASSERT_TRUE(browser.start(1280, 900)) << browser.error().toStdString();
    ASSERT_TRUE(browser.open(service.api() + QStringLiteral("/")));
    ASSERT_TRUE(until("return !document.getElementById('token-bar').hidden;", {}));
    ASSERT_TRUE(browser.type(browser.element("#token"), QStringLiteral("page-token-0123456789")));
    ASSERT_TRUE(browser.click(browser.element("#token-use")));
    ASSERT_TRUE(until(onRow("Hall", "true"), {"Hall"})) << "the token opened the API";
    ASSERT_TRUE(browser.open(service.api() + QStringLiteral("/")));
    ASSERT_TRUE(until(onRow("Hall", "true"), {"Hall"}));
    EXPECT_TRUE(browser.script("return document.getElementById('token-bar').hidden;").toBool()) << "not asked again";
}

// A fleet of 2,000 cards in the service's Chinese: the page keeps only the
// rows in view, filters and scrolls.
TEST_F(FleetPage, TwoThousandCardsFilterAndScrollInChinese)
{
    QByteArray list = "[LgType]\r\nLgType=0\r\n\r\n[CardsInfo]\r\n";
    for (int c = 1; c <= 2000; ++c)
        list += "Sign-" + QByteArray::number(c) + "=128,32,,1_2_3_4_5_6_" + QByteArray::number(c >> 8) + "_" +
                QByteArray::number(c & 255) + ",,,80,2\r\n";
    ASSERT_TRUE(writeAll(home.filePath(QStringLiteral("SetCfg.ini")), list));
    const QByteArray lang = qgetenv("LANG");
    qputenv("LANG", "zh_CN.UTF-8");
    const bool started = service.start(home.path());
    qputenv("LANG", lang);
    ASSERT_TRUE(started) << service.output().toStdString();
    const QJsonObject texts = service.get("/texts.json").json()["texts"].toObject();
    ASSERT_EQ(texts["offline"].toString(), QStringLiteral("离线"));

    ASSERT_TRUE(browser.start(1280, 900)) << browser.error().toStdString();
    ASSERT_TRUE(browser.open(service.api() + QStringLiteral("/")));
    ASSERT_TRUE(until("return document.getElementById('count-offline').textContent === arguments[0];",
                      {texts["countOffline"].toString().replace("%1", "2000")}))
        << browser.script("return document.getElementById('count-offline').textContent;").toString().toStdString();
    EXPECT_EQ(browser.script("return document.querySelector('#columns span').textContent;").toString(), texts["name"].toString());
    const int rowsMade = browser.script("return document.querySelectorAll('#spacer .row').length;").toInt();
    EXPECT_GT(rowsMade, 10);
    EXPECT_LT(rowsMade, 100) << "only the rows in view are in the page";
    keepScreenshot(browser, "fleet-page-2000-cards.png");

    // Scrolled to the end, the last card is there and the page has not grown.
    browser.script("const v = document.getElementById('rows'); v.scrollTop = v.scrollHeight;");
    EXPECT_TRUE(until(onRow("Sign-2000", "true"), {"Sign-2000"}));
    EXPECT_EQ(browser.script("return document.querySelectorAll('#spacer .row').length;").toInt(), rowsMade);

    // Sign-19, Sign-190 ... Sign-199, Sign-1900 ... Sign-1999.
    ASSERT_TRUE(browser.type(browser.element("#filter"), QStringLiteral("sign-19")));
    EXPECT_TRUE(until("return document.getElementById('shown').textContent === arguments[0];",
                      {texts["shown"].toString().replace("%1", "111").replace("%2", "2000")}))
        << browser.script("return document.getElementById('shown').textContent;").toString().toStdString();
    EXPECT_TRUE(until("return [...document.querySelectorAll('#spacer .row:not([hidden])')]"
                      ".every(r => r.dataset.name.startsWith('Sign-19'));", {}));
    keepScreenshot(browser, "fleet-page-2000-cards-filtered.png");

    // The name's heading twice: by name the other way round (Sign-1999 first,
    // where the list has Sign-19); the on-line count: only on-line cards.
    const QString firstRow = QStringLiteral(
        "const rows = [...document.querySelectorAll('#spacer .row:not([hidden])')];"
        "rows.sort((a, b) => parseInt(a.style.top) - parseInt(b.style.top));"
        "return rows.length ? rows[0].dataset.name : '';");
    const QString nameHeading = browser.element("#columns [data-sort='name']");
    ASSERT_TRUE(browser.click(nameHeading));
    ASSERT_TRUE(browser.click(nameHeading));
    EXPECT_TRUE(until("return (() => {" + firstRow + "})() === 'Sign-1999';", {})) << browser.script(firstRow).toString().toStdString();
    ASSERT_TRUE(browser.click(browser.element("#count-online")));
    EXPECT_TRUE(until("return document.getElementById('shown').textContent === arguments[0] &&"
                      " !document.querySelector('#spacer .row:not([hidden])');",
                      {texts["shown"].toString().replace("%1", "0").replace("%2", "2000")}));

    // The view is kept in the address: a reload shows the same.
    ASSERT_TRUE(browser.click(browser.element("#count-online")));
    ASSERT_TRUE(browser.open(browser.script("return location.href;").toString()));
    EXPECT_TRUE(until("return document.getElementById('filter').value === 'sign-19' && (() => {" + firstRow +
                      "})() === 'Sign-1999';", {}))
        << browser.script("return location.href;").toString().toStdString();
}

} // namespace
} // namespace ledsign::test
