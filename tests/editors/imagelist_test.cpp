// The image-group file list.
#include "content/imagelist.h"

#include "support/testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {

class ImageList : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* n : {"b.bmp", "a.BMP", "c.bmp", "note.txt", "d.png"})
            ASSERT_TRUE(test::writeAll(dir.filePath(QString::fromLatin1(n)), "BM"));
        folder = dir.path();
    }
    QStringList paths() const
    {
        QStringList out;
        for (const ImageListRow& r : imageListRows(m))
            out << r.path;
        return out;
    }
    QString at(const char* n) const { return folder + QLatin1Char('/') + QString::fromLatin1(n); }

    QTemporaryDir dir;
    QString folder;
    TFodder m;
    QStringList reports;
    MessageSink sink = [this](const QString& s) { reports << s; };
};

} // namespace

TEST_F(ImageList, FolderListsThePictureFilesThatCanBeRead)
{
    for (const char* n : {"E.JPG", "f.gif", "g.jpeg", "h.svg", "png", "i.png.txt"})
        ASSERT_TRUE(test::writeAll(dir.filePath(QString::fromLatin1(n)), "x"));
    EXPECT_EQ(imageFilesIn(folder), (QStringList{"a.BMP", "b.bmp", "c.bmp", "d.png", "E.JPG", "f.gif", "g.jpeg"}));
    EXPECT_TRUE(imageFilesIn(dir.filePath(QStringLiteral("none"))).isEmpty());
}

TEST_F(ImageList, AddingSkipsDuplicatesAndMissingFiles)
{
    EXPECT_EQ(appendImageFiles(m, folder, {"b.bmp", "b.bmp"}, sink), QStringList{at("b.bmp")});
    EXPECT_TRUE(appendImageFiles(m, folder, {"b.bmp"}, sink).isEmpty());
    EXPECT_EQ(appendImageFiles(m, folder, {"gone.bmp", "a.BMP"}, sink), QStringList{at("a.BMP")});
    EXPECT_EQ(paths(), (QStringList{at("b.bmp"), at("a.BMP")}));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports.first().contains(QStringLiteral("gone.bmp")));
}

TEST_F(ImageList, InsertBeforeARow)
{
    appendImageFiles(m, folder, {"a.BMP", "b.bmp"});
    int last = 0;
    const QStringList added = insertImageFiles(m, 1, folder, {"c.bmp", "a.BMP", "d.png"}, sink, &last);
    EXPECT_EQ(added, (QStringList{at("c.bmp"), at("d.png")}));
    EXPECT_EQ(last, 2);
    EXPECT_EQ(paths(), (QStringList{at("a.BMP"), at("c.bmp"), at("d.png"), at("b.bmp")}));
    EXPECT_TRUE(insertImageFiles(m, 0, folder, {"a.BMP"}, sink, &last).isEmpty());
    EXPECT_EQ(last, -1);
}

TEST_F(ImageList, DeletingRenumbersTheRows)
{
    appendImageFiles(m, folder, {"a.BMP", "b.bmp", "c.bmp"});
    EXPECT_EQ(deleteImageRows(m, {1}), 1);
    const QList<ImageListRow> rows = imageListRows(m);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].number, 1);
    EXPECT_EQ(rows[0].path, at("a.BMP"));
    EXPECT_EQ(rows[1].number, 2);
    EXPECT_EQ(rows[1].path, at("c.bmp"));

    appendImageFiles(m, folder, {"b.bmp", "d.png"});
    EXPECT_EQ(deleteImageRows(m, {3, 0, 3, 7, -1}), 2);
    EXPECT_EQ(paths(), (QStringList{at("c.bmp"), at("b.bmp")}));
    clearImageList(m);
    EXPECT_TRUE(m.fileList.isEmpty());
}
