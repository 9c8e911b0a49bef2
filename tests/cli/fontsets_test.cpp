// The display data of texts in the common Latin card fonts is the same
// whatever fonts the machine has installed besides the program's own.
#include "clifixture.h"

#include <QFile>

using namespace ledsign;
using namespace ledsign::test;

namespace {

class FontSets : public CliTest {
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        const TRegion region = model.regions().first();
        const char* fonts[] = {"Arial", "Times New Roman", "Courier New", "Verdana"};
        int id = 5;
        for (const char* font : fonts) {
            TFodder text = defaultMaterial(kSingleText);
            place(text, region, QString::fromLatin1(font), QStringLiteral("10000000%1").arg(id++));
            text.content = QStringList{QStringLiteral("clRed"), QString::fromLatin1(font), QStringLiteral("12"),
                                       QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                                       QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1"),
                                       QStringLiteral("Wavy jump 12:30 字")}
                               .join(QLatin1Char('^'));
            model.appendMaterialToRegion(text);
        }
        PlaybillWriter writer(model, home);
        ASSERT_TRUE(writer.write(cardName, playbill)) << writer.errorString().toStdString();
    }

    // The display data of materials 03..06 (the four texts), rendered with the fontconfig file given.
    QList<QByteArray> renderWith(const QString& fontconfigFile)
    {
        const QByteArray before = qgetenv("FONTCONFIG_FILE");
        qputenv("FONTCONFIG_FILE", fontconfigFile.toLocal8Bit());
        QDir(outDir).removeRecursively();
        const CliRun run = runCli(renderArgs());
        qputenv("FONTCONFIG_FILE", before);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        QList<QByteArray> data;
        for (int m = 3; m <= 6; ++m) {
            QFile bin(QDir(outDir).filePath(QStringLiteral("%1.bin").arg(m, 2, 10, QLatin1Char('0'))));
            EXPECT_TRUE(bin.open(QIODevice::ReadOnly)) << bin.fileName().toStdString();
            data << bin.readAll();
        }
        return data;
    }

    QString writeConfig(const QString& name, const QStringList& fontDirs)
    {
        QString xml = QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig>\n");
        for (const QString& d : fontDirs)
            xml += QStringLiteral("  <dir>%1</dir>\n").arg(d);
        xml += QStringLiteral("  <cachedir prefix=\"xdg\">fontconfig</cachedir>\n"
                              "  <include ignore_missing=\"yes\">/etc/fonts/conf.d</include>\n</fontconfig>\n");
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(xml.toUtf8());
        return file.fileName();
    }
};

TEST_F(FontSets, LatinTextsGiveTheSameDisplayDataWithEveryInstalledFontAndWithDejaVuOnly)
{
    const QString urw = QStringLiteral("/usr/share/fonts/opentype/urw-base35");
    if (!QDir(urw).exists())
        GTEST_SKIP() << "fonts-urw-base35 is not installed (scripts/setup installs it)";
    const QList<QByteArray> own = renderWith(sourceDir() + QStringLiteral("/tests/support/fonts.conf"));
    ASSERT_EQ(own.size(), 4);
    // Every font draws: nothing blank, and no two of the four alike.
    for (int i = 0; i < 4; ++i) {
        EXPECT_NE(own[i].count('\0'), own[i].size()) << "material " << i + 3 << " is blank";
        for (int j = i + 1; j < 4; ++j)
            EXPECT_NE(own[i], own[j]) << "materials " << i + 3 << " and " << j + 3;
    }
    // The machine's own configuration sees every installed font, the URW ones among them.
    EXPECT_EQ(renderWith(QStringLiteral("/etc/fonts/fonts.conf")), own);
    const QString dejaVuOnly = writeConfig(QStringLiteral("dejavu.conf"), {QStringLiteral("/usr/share/fonts/truetype/dejavu")});
    EXPECT_EQ(renderWith(dejaVuOnly), own);
}

} // namespace
