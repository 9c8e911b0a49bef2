// Damaged spreadsheets opened through the table editor's Open: copies of a
// valid workbook, cut short or with bytes changed where the readers take
// lengths, offsets and counts from the file, are refused with a message
// that names the file (or read, when the change is harmless), and the editor
// keeps its table and goes on working.
#include "content/ui/tableeditor.h"
#include "language/language.h"
#include "model/datafolder.h"
#include "support/testsupport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {

// Damaged copies of `good`: each a name and the bytes.
QList<std::pair<QString, QByteArray>> damagedCopies(const QByteArray& good)
{
    QList<std::pair<QString, QByteArray>> copies;
    for (int length : {0, 8, 511, 512, 1500, int(good.size()) / 2, int(good.size()) - 512, int(good.size()) - 1})
        copies.append({QStringLiteral("cut-%1.xls").arg(length), good.left(length)});
    // The compound file's header: sector sizes, table counts and starts.
    QList<int> places{0x1E, 0x20, 0x2C, 0x30, 0x3C, 0x40, 0x44, 0x48, 0x4C, 0x50};
    // The stream sizes and starts in the directory entries.
    const QByteArray workbookName = QByteArray("W\0o\0r\0k\0b\0o\0o\0k\0", 16);
    for (qsizetype at = good.indexOf(workbookName); at >= 0; at = good.indexOf(workbookName, at + 1))
        places << int(at + 0x74) << int(at + 0x78) << int(at + 0x79);
    // Record lengths and the first fields of the records that carry counts
    // and offsets: sheet list, shared strings, formats, styles, cells.
    for (const char* type : {"\x85\x00", "\xFC\x00", "\x1E\x04", "\xE0\x00", "\xFD\x00", "\x03\x02", "\x06\x00",
                             "\x07\x02", "\xE5\x00", "\x09\x08"})
        for (qsizetype at = good.indexOf(QByteArray(type, 2)); at >= 0; at = good.indexOf(QByteArray(type, 2), at + 1))
            places << int(at + 2) << int(at + 3) << int(at + 4) << int(at + 6) << int(at + 8) << int(at + 12);
    for (int at : places)
        for (char value : {'\x00', '\x7F', '\xFF'})
            if (at < good.size() && good[at] != value) {
                QByteArray bytes = good;
                bytes[at] = value;
                copies.append({QStringLiteral("byte-%1-%2.xls").arg(at).arg(quint8(value)), bytes});
            }
    // And single bytes anywhere, the same ones every run.
    QRandomGenerator random(34);
    for (int i = 0; i < 300; ++i) {
        QByteArray bytes = good;
        const int at = int(random.bounded(quint32(good.size())));
        bytes[at] = char(bytes[at] ^ (1 + random.bounded(255)));
        copies.append({QStringLiteral("random-%1.xls").arg(i), bytes});
    }
    return copies;
}

} // namespace

TEST(TableEditorWindow, DamagedSpreadsheetsAreRefusedWithAMessageNamingThem)
{
    setCurrentLanguage(kEnglish);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const DataFolder folders(dir.path());
    ASSERT_TRUE(folders.ensureExists());
    TFodder material;
    TableEditor editor(material, folders, 128, 48);
    TableModel kept = TableModel::create(2, 24, 2, 64, QStringLiteral("Arial"));
    kept.setText(1, 1, QStringLiteral("unsaved work"));
    editor.setTable(kept);
    const TableModel before = editor.table();

    const QString valid = test::sourceDir() + QStringLiteral("/tests/editors/xls/formats.xls");
    const QByteArray good = test::readAll(valid);
    ASSERT_GT(good.size(), 4096);
    int refused = 0;
    for (const auto& [name, bytes] : damagedCopies(good)) {
        SCOPED_TRACE(name.toStdString());
        const QString path = dir.filePath(name);
        ASSERT_TRUE(test::writeAll(path, bytes));
        QString message;
        if (editor.openTableFile(path, &message)) {
            EXPECT_GE(editor.table().rowCount(), 2);
            editor.setTable(kept);
            continue;
        }
        ++refused;
        EXPECT_TRUE(message.contains(name)) << message.toStdString();
        EXPECT_EQ(editor.table(), before);
    }
    EXPECT_GT(refused, 50);
    // The editor goes on: the valid file still opens.
    QString message;
    ASSERT_TRUE(editor.openTableFile(valid, &message)) << message.toStdString();
    EXPECT_EQ(editor.table().cell(2, 2).text, QStringLiteral("553.50"));
    editor.done(QDialog::Rejected);
}
