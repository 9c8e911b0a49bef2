// An image group whose picture went missing is not sent or exported short
// of it without a word: the send names the file.
#include "content/imagelist.h"
#include "language/language.h"
#include "model/datafolder.h"
#include "model/materialkinds.h"
#include "model/playbillreader.h"
#include "model/projectmodel.h"
#include "protocol/downloadbuilder.h"
#include "support/testsupport.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {

TEST(MissingImage, TheSendAndTheExportNameTheMissingFile)
{
    setCurrentLanguage(kEnglish);
    QTemporaryDir dir;
    const DataFolder folders(dir.path());
    ASSERT_TRUE(folders.ensureExists());
    QImage picture(64, 32, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(folders.pictureFolder() + "/open.bmp"));
    ASSERT_TRUE(picture.save(folders.pictureFolder() + "/other.bmp"));

    ProjectModel model;
    TFIXModem card;
    card.name = QStringLiteral("gate");
    card.width = 64;
    card.height = 32;
    card.version = 80;
    card.internalCode = QStringLiteral("1_2_3_4_5_6_7_8");
    model.addCard(card);
    const QByteArray playbill = "[ProgramList]\r\n"
                                "p,100000001,pnProgram1,00:00,23:59\r\n"
                                "[RegionList]\r\n"
                                "p,100000001,r,100000011,pnRegion2,0,0,64,32\r\n"
                                "[FodderList]\r\n"
                                "p,r,100000011,pictures,100000021,pnImg3,2,1,9,1,1,56,49,49,open.bmp;closed.bmp,"
                                "1,1,1,1,1,1,1,0,0\r\n"
                                "[TxtContentList]\r\n";
    QBuffer buffer;
    buffer.setData(playbill);
    buffer.open(QIODevice::ReadOnly);
    PlaybillReader reader(model, folders);
    QStringList said;
    ASSERT_EQ(reader.read(QStringLiteral("gate"), buffer, [&](const QString& t) { said << t; }),
              PlaybillReader::Status::Loaded);
    ASSERT_EQ(model.materials().size(), 1);
    ASSERT_EQ(model.materials().first().fileList.size(), 1);
    EXPECT_EQ(said.size(), 1) << "the read reports it once";

    const DownloadBuilder builder(standardSendConversion());
    for (const bool exportFile : {false, true}) {
        DownloadOptions options;
        options.exportFile = exportFile;
        const DownloadBuild b = builder.build(model, QStringLiteral("gate"), options);
        EXPECT_FALSE(b.ok) << "export " << exportFile;
        EXPECT_TRUE(b.failure.message().contains(folders.pictureFolder() + "/closed.bmp"))
            << b.failure.message().toStdString();
        EXPECT_TRUE(b.failure.message().contains(QStringLiteral("pictures"))) << b.failure.message().toStdString();
    }

    // Once the operator changed the group's list, it is sent as it stands.
    TFodder& group = model.materials().first();
    ASSERT_EQ(appendImageFiles(group, folders.pictureFolder(), {QStringLiteral("other.bmp")}).size(), 1);
    EXPECT_TRUE(group.missingImages.isEmpty());
    const DownloadBuild b = builder.build(model, QStringLiteral("gate"), DownloadOptions{});
    ASSERT_TRUE(b.ok) << b.failure.message().toStdString();
    EXPECT_EQ(model.materials().first().frameCount, 2);
}

} // namespace
