// A data folder in a temporary directory and a model with one card, shared
// by the playbill tests.
#pragma once

#include "language/language.h"
#include "model/codec.h"
#include "model/datafolder.h"
#include "model/projectmodel.h"

#include "support/testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ledsign::test {

class PlaybillFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        ASSERT_TRUE(dir.isValid());
        folders = DataFolder(dir.path() + QStringLiteral("/home"));
        ASSERT_TRUE(folders.ensureExists());
        sourceFolder = dir.path() + QStringLiteral("/源 files");
        QDir().mkpath(sourceFolder);
        addCard(model, cardName, 128, 64);
    }

    static void addCard(ProjectModel& m, const QString& name, int width, int height)
    {
        TFIXModem card;
        card.name = name;
        card.width = width;
        card.height = height;
        m.addCard(card);
    }

    QString makeFile(const QString& path, const QByteArray& bytes = "picture")
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(writeAll(path, bytes));
        return path;
    }

    // Windows text: GBK and CR LF.
    static QByteArray windowsText(const QString& text)
    {
        QString t = text;
        t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        return codec::encode(t);
    }

    QTemporaryDir dir;
    DataFolder folders;
    QString sourceFolder;
    ProjectModel model;
    const QString cardName = QStringLiteral("控制卡 1");
};

} // namespace ledsign::test
