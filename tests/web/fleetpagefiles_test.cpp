// The fleet page's files and texts: what a request reaches, and a text for
// every key the page asks for in every language.
#include "language/language.h"
#include "support/testsupport.h"
#include "web/fleetpagetexts.h"
#include "web/webfiles.h"

#include <QDir>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace ledsign {
namespace {

QString pageFolder() { return test::sourceDir() + QStringLiteral("/data/web"); }

TEST(FleetPageFiles, ARequestReachesOnlyTheFilesOfThePage)
{
    WebFiles files;
    ASSERT_FALSE(files.load({QDir::tempPath() + QStringLiteral("/no-such-folder")}));
    EXPECT_TRUE(files.error().contains(QLatin1String("index.html")));
    ASSERT_TRUE(files.load({QDir::tempPath() + QStringLiteral("/no-such-folder"), pageFolder()}));
    const struct {
        const char* path;
        const char* type; // empty: no file
    } cases[] = {
        {"/", "text/html; charset=utf-8"},
        {"/index.html", "text/html; charset=utf-8"},
        {"/main.js", "text/javascript; charset=utf-8"},
        {"/fleet.css", "text/css; charset=utf-8"},
        {"/../web/main.js", ""},
        {"/./main.js", ""},
        {"//etc/passwd", ""},
        {"/missing.js", ""},
        {"main.js", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        const WebFiles::File* file = files.find(QString::fromUtf8(c.path));
        if (*c.type == 0) {
            EXPECT_EQ(file, nullptr) << c.path;
        } else {
            ASSERT_NE(file, nullptr) << c.path;
            EXPECT_EQ(file->contentType, QByteArray(c.type)) << c.path;
            EXPECT_FALSE(file->body.isEmpty());
        }
    }
}

TEST(FleetPageFiles, EveryTextThePageAsksForIsThereInEveryLanguage)
{
    // The keys the page's scripts and markup ask for: t('key') and data-text="key".
    const QRegularExpression asked(QStringLiteral(R"re((?:\bt\('([A-Za-z]+)'|data-text="([A-Za-z]+)"))re"));
    QSet<QString> keys;
    for (const QFileInfo& info : QDir(pageFolder()).entryInfoList({"*.js", "*.html"}, QDir::Files)) {
        const QString source = QString::fromUtf8(test::readAll(info.filePath()));
        for (auto it = asked.globalMatch(source); it.hasNext();) {
            const auto match = it.next();
            keys.insert(match.captured(1).isEmpty() ? match.captured(2) : match.captured(1));
        }
    }
    ASSERT_GT(keys.size(), 20);
    const QStringList known = fleetPageTextKeys();
    for (const QString& key : keys)
        EXPECT_TRUE(known.contains(key)) << "the page asks for " << key.toStdString() << ", which has no text";

    const struct {
        int language;
        const char* code;
        const char* online;
    } languages[] = {{kEnglish, "en", "On-line"}, {kSimplifiedChinese, "zh-CN", "在线"}, {kTraditionalChinese, "zh-TW", "在線"}};
    const int before = currentLanguage();
    for (const auto& l : languages) {
        setCurrentLanguage(l.language);
        const QJsonObject page = fleetPageTexts();
        EXPECT_EQ(page["language"].toString(), QLatin1String(l.code));
        const QJsonObject texts = page["texts"].toObject();
        for (const QString& key : known)
            EXPECT_FALSE(texts[key].toString().isEmpty()) << l.code << " " << key.toStdString();
        EXPECT_EQ(texts["online"].toString(), QString::fromUtf8(l.online));
        EXPECT_TRUE(texts["countOnline"].toString().contains(QLatin1String("%1")));
    }
    setCurrentLanguage(kSimplifiedChinese);
    EXPECT_EQ(fleetPageTexts()["texts"].toObject()["send"].toString(), QStringLiteral("发送"));
    EXPECT_EQ(fleetPageTexts()["texts"].toObject()["size"].toString(), QStringLiteral("宽度 × 高度"));
    setCurrentLanguage(before);
}

} // namespace
} // namespace ledsign
