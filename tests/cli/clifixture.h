// The playbill the ledsign-cli tests work on: a data folder and one page with
// a 64 x 32 region holding a two-line text and a red-then-green image group,
// written with the model's own writer.
#pragma once

#include "clitestsupport.h"

#include "content/bitplanes.h"
#include "content/sendconversion.h"
#include "language/language.h"
#include "model/cardlist.h"
#include "model/datafolder.h"
#include "model/imagefiles.h"
#include "model/inifile.h"
#include "model/materialkinds.h"
#include "model/playbillwriter.h"
#include "model/projectmodel.h"
#include "protocol/downloadbuilder.h"
#include "protocol/frame.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace ledsign::test {


inline constexpr int kWidth = 64;
inline constexpr int kHeight = 32;

inline QString textRun(int line, const QString& text)
{
    return QStringList{QStringLiteral("clRed"), QStringLiteral("宋体"), QStringLiteral("12"), QStringLiteral("0"),
                       QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                       QString::number(line), text}
        .join(QLatin1Char('^'));
}

// A data folder and a playbill of one page and one 64 x 32 region holding a
// two-line text (two pictures) and a red-then-green image group.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        ASSERT_TRUE(dir.isValid());
        home = DataFolder(dir.filePath(QStringLiteral("home")));
        ASSERT_TRUE(home.ensureExists());
        playbill = dir.filePath(QStringLiteral("show.prg"));
        outDir = dir.filePath(QStringLiteral("out"));

        TFIXModem card;
        card.name = cardName;
        card.width = kWidth;
        card.height = kHeight;
        model.addCard(card);
        TProgram page;
        page.cardName = cardName;
        page.name = QStringLiteral("Page 1");
        page.id = QStringLiteral("100000001");
        page.panelName = QStringLiteral("pnProgram1");
        model.appendPage(page);
        TRegion region;
        region.cardName = cardName;
        region.pageName = page.name;
        region.pageId = page.id;
        region.name = QStringLiteral("Region 1");
        region.id = QStringLiteral("100000002");
        region.panelName = QStringLiteral("pnRegion1");
        region.width = kWidth;
        region.height = kHeight;
        model.appendRegion(region);

        TFodder text = defaultMaterial(kSingleText);
        place(text, region, QStringLiteral("Text 1"), QStringLiteral("100000003"));
        text.content = textRun(1, QStringLiteral("一\r\n")) + QStringLiteral("~*") + textRun(2, QStringLiteral("二"));
        model.appendMaterialToRegion(text);

        TFodder group = defaultMaterial(kImageGroup);
        place(group, region, QStringLiteral("Pictures 1"), QStringLiteral("100000004"));
        ASSERT_TRUE(addImageFile(group, picture(QStringLiteral("red.bmp"), Qt::red)));
        ASSERT_TRUE(addImageFile(group, picture(QStringLiteral("green.bmp"), Qt::green)));
        model.appendMaterialToRegion(group);

        PlaybillWriter writer(model, home);
        ASSERT_TRUE(writer.write(cardName, playbill)) << writer.errorString().toStdString();
    }

    static void place(TFodder& m, const TRegion& region, const QString& name, const QString& id)
    {
        m.cardName = region.cardName;
        m.pageName = region.pageName;
        m.regionName = region.name;
        m.regionId = region.id;
        m.name = name;
        m.id = id;
        m.panelName = QStringLiteral("pnFodder") + id.right(1);
    }

    QString picture(const QString& name, Qt::GlobalColor colour)
    {
        QImage image(16, 8, QImage::Format_RGB888);
        image.fill(colour);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }

    QStringList geometry(int colours = 2) const
    {
        return {QStringLiteral("--width"), QString::number(kWidth), QStringLiteral("--height"),
                QString::number(kHeight), QStringLiteral("--colors"), QString::number(colours)};
    }

    QStringList renderArgs() const
    {
        return QStringList{QStringLiteral("render"), playbill} + geometry()
            + QStringList{QStringLiteral("--home"), home.path(), QStringLiteral("--out"), outDir};
    }

    QTemporaryDir dir;
    DataFolder home;
    ProjectModel model;
    const QString cardName = QStringLiteral("卡 1");
    QString playbill;
    QString outDir;
};

} // namespace ledsign::test
