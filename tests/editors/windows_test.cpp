// The editor windows driven offscreen: what they hand back when closed.
// With LEDSIGN_SCREENSHOT_DIR set, each window is also saved there as PNG.
#include "content/imagelist.h"
#include "content/tablefile.h"
#include "content/textrunmarkup.h"
#include "content/ui/datetimedialog.h"
#include "content/ui/imagegrouppanel.h"
#include "content/ui/internalcodeeditor.h"
#include "content/ui/newtabledialog.h"
#include "content/ui/playweekdialog.h"
#include "content/ui/richtextarea.h"
#include "content/ui/richtexteditor.h"
#include "content/ui/tableeditor.h"
#include "language/language.h"
#include "model/codec.h"
#include "model/datafolder.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QListWidget>
#include <QMimeData>
#include <QTimer>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimeEdit>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {

void snapshot(QWidget* w, const char* name)
{
    w->show();
    QCoreApplication::processEvents();
    const QString dir = qEnvironmentVariable("LEDSIGN_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        w->grab().save(dir + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".png"));
}

QList<TextRun> runsOf(const QString& markup)
{
    return parseTextRuns(markup);
}

} // namespace

TEST(RichTextEditorWindow, WrapsAtTheRegionWidthAndStoresOnClose)
{
    RichTextEditor dlg(true, QStringLiteral("clGreen^宋体^12^1^0^0^0^2^1^Hi"), 3, 1, -2, 96);
    EXPECT_EQ(dlg.textArea()->width(), 116);
    QTextCursor c = dlg.textArea()->textCursor();
    c.movePosition(QTextCursor::End);
    dlg.textArea()->setTextCursor(c);
    dlg.applyColorIndex(3); // blue for what is typed next
    dlg.textArea()->insertPlainText(QStringLiteral(" 一二三四五六七八九十一二三四五六七八"));
    snapshot(&dlg, "rich_text_editor");
    dlg.close(); // the close button stores like OK
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(dlg.changed());
    EXPECT_EQ(dlg.lineSpacing(), 3);
    EXPECT_EQ(dlg.verticalAlignment(), 1);
    EXPECT_EQ(dlg.yOffset(), -2);

    const QList<TextRun> runs = runsOf(dlg.content());
    ASSERT_GE(runs.size(), 3);
    EXPECT_EQ(runs[0].text, QStringLiteral("Hi"));
    EXPECT_TRUE(runs[0].bold);
    EXPECT_EQ(runs[0].alignment, 2);
    EXPECT_EQ(runs[1].color, QColor(0, 0, 255));
    // 18 characters of 16 pixels do not fit in 96: the text wraps, and the
    // wrapped line is a run of its own with the next line number.
    int lastLine = 0;
    for (const TextRun& r : runs)
        lastLine = qMax(lastLine, r.lineNumber);
    EXPECT_GE(lastLine, 3);
}

TEST(RichTextEditorWindow, PastesPlainTextAndBreaksBeforeALeadingSpace)
{
    RichTextEditor dlg(true, QString(), 0, 0, 0, 64);
    RichTextArea* area = dlg.textArea();
    dlg.applyColorIndex(1); // green
    QMimeData mime;
    mime.setHtml(QStringLiteral("<b style='color:#0000ff'>AB</b>"));
    mime.setText(QStringLiteral("AB"));
    area->insertFromMimeData(&mime);
    const QTextCharFormat f = area->document()->begin().begin().fragment().charFormat();
    EXPECT_EQ(area->toPlainText(), QStringLiteral("AB"));
    EXPECT_EQ(f.foreground().color(), QColor(0, 128, 0));
    EXPECT_NE(f.fontWeight(), QFont::Bold);

    // Typing wraps "aaaa bbbb..." inside 64 pixels; a space at the start of
    // the wrapped line first turns the blank before it into a line break.
    area->clear();
    area->insertPlainText(QStringLiteral("aaaa bbbbbbbbbb"));
    const QTextBlock block = area->document()->begin();
    ASSERT_GT(block.layout()->lineCount(), 1);
    const int wrapAt = block.layout()->lineAt(1).textStart();
    QTextCursor c(area->document());
    c.setPosition(wrapAt);
    area->setTextCursor(c);
    area->typeSpace();
    EXPECT_EQ(area->document()->blockCount(), 2);
    EXPECT_EQ(area->document()->begin().text(), QStringLiteral("aaaa"));
    EXPECT_EQ(area->document()->lastBlock().text(), QStringLiteral(" bbbbbbbbbb"));
}

TEST(RichTextEditorWindow, SavesAndOpensRichText)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.rtf"));
    RichTextEditor a(false, QStringLiteral("clRed^宋体^12^0^0^0^0^0^1^say “hi”"), 0, 0, 0, 128);
    ASSERT_TRUE(a.saveTo(path));
    EXPECT_TRUE(test::readAll(path).contains("say ?*hi*?"));
    RichTextEditor b(false, QString(), 0, 0, 0, 128);
    ASSERT_TRUE(b.openFrom(path));
    EXPECT_EQ(b.textArea()->toPlainText(), QStringLiteral("say “hi”"));
    b.done(QDialog::Rejected);
    a.done(QDialog::Rejected);
    EXPECT_EQ(b.content(), a.content());
    EXPECT_FALSE(a.changed());
}

TEST(InternalCodeEditorWindow, PastesLinesAndCutsOnClose)
{
    InternalCodeEditor dlg(QStringLiteral("abc"), QStringLiteral("宋体"), 12, QColor(0, 128, 0));
    dlg.pasteAsLine(QStringLiteral("x\ty\r\nz"));
    EXPECT_EQ(dlg.memo()->toPlainText(), QStringLiteral("abc\nx  y  z"));
    snapshot(&dlg, "internal_code_editor");
    dlg.memo()->appendPlainText(QString(1013, QLatin1Char('w')) + QStringLiteral("中"));
    dlg.reject();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(dlg.changed());
    EXPECT_EQ(codec::byteLength(dlg.content()), 1023);
    EXPECT_TRUE(dlg.content().startsWith(QStringLiteral("abcx  y  zwww")));
}

// A static table with more rows than 32 sheets hold: closing the editor
// tells the operator, in the editor's own message box, which rows the card
// will not get; the pictures are still made.
TEST(TableEditorWindow, TellsWhichRowsCannotBeSent)
{
    setCurrentLanguage(kEnglish);
    QTemporaryDir dir;
    const DataFolder folders(dir.path());
    ASSERT_TRUE(folders.ensureExists());
    TFodder material;
    material.displayMode = 9;
    material.remainTime = 2;
    TableEditor dlg(material, folders, 64, 48);
    NewTableDialog fresh;
    fresh.setValues(70, 24, 2, QStringLiteral("32")); // sheets of two rows
    dlg.setTable(fresh.table(QStringLiteral("宋体")));
    dlg.show();

    QStringList shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown << box->text();
            box->accept();
        }
    });
    closer.start(20);
    dlg.close();
    closer.stop();

    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    // 31 sheets hold rows 1-62; the last sheet shows rows 63 and 64 of the
    // 48-pixel region, so rows 65 to 70 never reach the card.
    ASSERT_EQ(shown.size(), 1) << shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Rows 65 to 70 of the table"))) << shown[0].toStdString();
    const TableEditResult& r = dlg.editResult();
    ASSERT_EQ(r.pieces.size(), 32);
    EXPECT_TRUE(r.pieces.last().endsWith(QStringLiteral("__j31.bmp")));
    EXPECT_EQ(QImage(r.pieces.last()).height(), 8 * 24); // every row left is on it
}

TEST(TableEditorWindow, EditsCutsAndReopens)
{
    QTemporaryDir dir;
    const DataFolder folders(dir.path());
    ASSERT_TRUE(folders.ensureExists());
    TFodder material;
    material.displayMode = 9;
    material.remainTime = 2;
    material.tableParam1 = 1;
    QStringList messages;

    TableEditor dlg(material, folders, 128, 48);
    dlg.setMessageSink([&](const QString& m) { messages << m; });
    EXPECT_TRUE(dlg.basePath().startsWith(folders.tableFolder() + QStringLiteral("/t")));
    NewTableDialog fresh;
    fresh.setValues(4, 24, 3, QStringLiteral("69"));
    dlg.setTable(fresh.table(QStringLiteral("宋体")));
    EXPECT_EQ(dlg.table().columnWidth(1), 72);
    dlg.table().setText(1, 1, QStringLiteral("温度"));
    dlg.table().setText(2, 1, QStringLiteral("23"));
    dlg.table().setText(1, 2, QStringLiteral("湿度"));
    dlg.setTable(dlg.table());
    dlg.selectRange({1, 3, 2, 3});
    dlg.mergeCells();
    EXPECT_EQ(dlg.view()->rowSpan(3, 1), 1);
    EXPECT_EQ(dlg.view()->columnSpan(3, 1), 2);
    dlg.selectRange({1, 1, 3, 2});
    dlg.pressStyleButton(true, true, false);
    EXPECT_EQ(dlg.selection(), (CellRange{1, 1, 3, 2})); // kept across the refresh
    dlg.pressStyleButton(true, true, true);
    EXPECT_TRUE(dlg.table().cell(3, 2).properties.underline);
    EXPECT_TRUE(dlg.table().cell(1, 1).properties.bold);
    dlg.selectRange({2, 2, 2, 2});
    dlg.deleteRows();
    EXPECT_EQ(dlg.table().rowCount(), 4);
    snapshot(&dlg, "table_editor");
    dlg.close();

    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    const TableEditResult& r = dlg.editResult();
    // Stopping table: sheets of 48 pixels: rows 1-2, then row 3 (24).
    ASSERT_EQ(r.pieces.size(), 2);
    EXPECT_TRUE(r.pieces[0].endsWith(QStringLiteral("__i0.bmp")));
    EXPECT_TRUE(r.pieces[1].endsWith(QStringLiteral("__j1.bmp")));
    EXPECT_EQ(r.lineColorIndex, 0); // the new table's
    EXPECT_EQ(r.displayMode, 9);
    EXPECT_EQ(r.remainTime, 2);
    applyTableEdit(material, r);
    ASSERT_EQ(material.fileList.size(), 2);

    // Opened again, the editor reads the table file beside the pieces and
    // takes the material's line settings.
    material.tableParam1 = 4;
    material.tableParam2 = 2;
    TableEditor again(material, folders, 128, 48);
    EXPECT_EQ(again.table().lineColorIndex, 4);
    EXPECT_EQ(again.table().lineWidthIndex, 2);
    EXPECT_EQ(again.basePath(), dlg.basePath());
    EXPECT_EQ(again.table().cell(1, 1).text, QStringLiteral("温度"));
    EXPECT_EQ(again.table().merges().size(), 1);
    QString message;
    EXPECT_FALSE(again.openTableFile(dir.filePath(QStringLiteral("none.tbl")), &message));
    EXPECT_FALSE(message.isEmpty());
    ASSERT_TRUE(test::writeAll(dir.filePath(QStringLiteral("book.xls")), "xls"));
    EXPECT_FALSE(again.openTableFile(dir.filePath(QStringLiteral("book.xls")), &message));
    EXPECT_EQ(message, GetLgText(3, QStringLiteral("warn_xls_unreadable"))
                           .arg(QStringLiteral("book.xls"), QStringLiteral("not an .xls file")));
    EXPECT_EQ(again.table().cell(1, 1).text, QStringLiteral("温度")); // the table is kept
    ASSERT_TRUE(test::writeAll(dir.filePath(QStringLiteral("book.xlsx")), "xlsx"));
    EXPECT_FALSE(again.openTableFile(dir.filePath(QStringLiteral("book.xlsx")), &message));
    EXPECT_EQ(message, GetLgText(3, QStringLiteral("warn_xls_only")));
    ASSERT_TRUE(again.openTableFile(test::sourceDir() + QStringLiteral("/tests/editors/xls/merged.xls"), &message))
        << message.toStdString();
    EXPECT_EQ(again.table().cell(1, 2).text, QStringLiteral("Hall"));
    EXPECT_EQ(again.table().merges().size(), 2);
    EXPECT_EQ(again.basePath(), dlg.basePath()); // an import keeps the table's files
    ASSERT_TRUE(test::writeAll(dir.filePath(QStringLiteral("data.csv")), "a,b,c\n1,2,3\n"));
    ASSERT_TRUE(again.openTableFile(dir.filePath(QStringLiteral("data.csv")), &message));
    EXPECT_EQ(again.table().columnCount(), 4);
    EXPECT_EQ(again.table().cell(3, 2).text, QStringLiteral("3"));
    EXPECT_EQ(again.basePath(), dlg.basePath()); // a CSV import keeps the table's files
    again.done(QDialog::Rejected);
}

TEST(NewTableWindow, BuildsTheTable)
{
    NewTableDialog dlg;
    dlg.setValues(3, 20, 5, QStringLiteral("x"));
    snapshot(&dlg, "new_table");
    const TableModel t = dlg.table(QStringLiteral("Arial"));
    EXPECT_EQ(t.rowCount(), 4);
    EXPECT_EQ(t.columnCount(), 6);
    EXPECT_EQ(t.columnWidth(5), 64);
    EXPECT_EQ(t.rowHeight(3), 20);
    EXPECT_EQ(t.cell(5, 3).properties.fontName, QStringLiteral("Arial"));
}

TEST(DateTimeWindow, ReadsAndReturnsTheDate)
{
    DateTimeDialog dlg(QStringLiteral("2013.06.02 08:09:10"), true);
    ASSERT_TRUE(dlg.isValid());
    auto* calendar = dlg.findChild<QCalendarWidget*>();
    auto* time = dlg.findChild<QTimeEdit*>();
    EXPECT_EQ(calendar->selectedDate(), QDate(2013, 6, 2));
    EXPECT_EQ(time->time(), QTime(8, 9, 10));
    dlg.setChoice(0);
    EXPECT_FALSE(calendar->isEnabled());
    dlg.setChoice(2);
    EXPECT_TRUE(calendar->isEnabled());
    snapshot(&dlg, "date_time");
    for (QPushButton* b : dlg.findChildren<QPushButton*>())
        if (b->text() == GetLgText(14, QStringLiteral("btSure")))
            b->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.value(), QStringLiteral("2013-06-02 08:09:10"));
    EXPECT_EQ(dlg.choice(), 2);

    // A count's time: no choice and no note, as low as the whole month allows.
    DateTimeDialog count(QString(), false);
    snapshot(&count, "date_time_count");
    EXPECT_LE(count.height(), 240);
    auto* days = count.findChild<QCalendarWidget*>()->findChild<QTableView*>();
    const int last = days->model()->rowCount() - 1;
    EXPECT_LE(days->rowViewportPosition(last) + days->rowHeight(last), days->viewport()->height());
    EXPECT_TRUE(count.findChild<QCalendarWidget*>()->isEnabled());
    EXPECT_FALSE(DateTimeDialog(QStringLiteral("not a date"), true).isValid());
}

TEST(PlayWeekWindow, TicksAndReturnsDays)
{
    PlayWeekDialog dlg(QStringLiteral("0;6"), {});
    QList<QCheckBox*> boxes = dlg.findChildren<QCheckBox*>();
    QStringList ticked;
    for (QCheckBox* b : boxes)
        if (b->isChecked())
            ticked << b->text();
    ticked.sort();
    EXPECT_EQ(ticked, (QStringList{QStringLiteral("星期六"), QStringLiteral("星期日")}));
    for (QCheckBox* b : boxes)
        if (b->text() == QStringLiteral("星期三"))
            b->setChecked(true);
    snapshot(&dlg, "play_week");
    ASSERT_TRUE(dlg.set());
    EXPECT_EQ(dlg.value(), QStringLiteral("0;3;6"));

    PlayWeekDialog daily(QStringLiteral("每天"), {});
    for (QCheckBox* b : daily.findChildren<QCheckBox*>())
        EXPECT_FALSE(b->isEnabled());
    ASSERT_TRUE(daily.set());
    EXPECT_EQ(daily.value(), QStringLiteral("每天"));
}

TEST(ImageGroupWindow, AddsDeletesAndRenumbers)
{
    QTemporaryDir dir;
    for (const char* n : {"1.bmp", "2.bmp", "3.bmp"}) {
        QImage img(8, 8, QImage::Format_RGB888);
        img.fill(Qt::red);
        ASSERT_TRUE(img.save(dir.filePath(QString::fromLatin1(n))));
    }
    TFodder material;
    ImageGroupPanel panel;
    QStringList shown;
    QObject::connect(&panel, &ImageGroupPanel::showFile, [&](const QString& p) { shown << p; });
    panel.setMaterial(&material);
    panel.setFolder(dir.path());
    ASSERT_EQ(panel.fileList()->count(), 3);
    panel.fileList()->item(1)->setSelected(true);
    panel.addSelected();
    panel.addSelected(); // listed once
    panel.addAll();
    ASSERT_EQ(material.fileList.size(), 3);
    EXPECT_EQ(shown.size(), 3);
    EXPECT_TRUE(material.fileList[0].path.endsWith(QStringLiteral("2.bmp")));
    snapshot(&panel, "image_group");

    panel.rows()->selectRow(1);
    panel.deleteSelected();
    ASSERT_EQ(panel.rows()->rowCount(), 2);
    EXPECT_EQ(panel.rows()->item(0, 0)->text(), QStringLiteral("1"));
    EXPECT_EQ(panel.rows()->item(1, 0)->text(), QStringLiteral("2"));
    EXPECT_TRUE(panel.rows()->item(1, 1)->text().endsWith(QStringLiteral("3.bmp")));

    panel.deleteAll();
    EXPECT_EQ(panel.rows()->rowCount(), 0);
    EXPECT_TRUE(material.fileList.isEmpty());
}

TEST(RichTextEditorWindow, MarkupComesBackUnchanged)
{
    // Every attribute, two paragraphs, three alignments, in a region wide
    // enough that nothing wraps.
    const QString markup = QStringLiteral(
        "clRed^宋体^12^0^0^0^0^0^1^plain ~*"
        "clGreen^Arial^18^1^0^0^0^0^1^bold ~*"
        "clYellow^宋体^9^0^1^0^0^0^1^italic ~*"
        "clBlue^宋体^24^0^0^1^0^0^1^under ~*"
        "clPurple^宋体^36^0^0^0^1^0^1^strike\r\n~*"
        "clAqua^黑体^48^1^1^1^1^2^2^全部\r\n~*"
        "clWhite^宋体^12^0^0^0^0^1^3^right");
    RichTextEditor dlg(true, markup, 0, 0, 0, 1024);
    dlg.done(QDialog::Rejected);
    EXPECT_FALSE(dlg.changed());
    const QList<TextRun> in = parseTextRuns(markup);
    const QList<TextRun> out = parseTextRuns(dlg.content());
    ASSERT_EQ(out.size(), in.size()) << dlg.content().toStdString();
    for (qsizetype i = 0; i < in.size(); ++i) {
        EXPECT_EQ(out[i].text, in[i].text) << i;
        EXPECT_EQ(out[i].color, in[i].color) << i;
        EXPECT_EQ(out[i].fontName, in[i].fontName) << i;
        EXPECT_EQ(out[i].pointSize, in[i].pointSize) << i;
        EXPECT_EQ(out[i].bold, in[i].bold) << i;
        EXPECT_EQ(out[i].italic, in[i].italic) << i;
        EXPECT_EQ(out[i].underline, in[i].underline) << i;
        EXPECT_EQ(out[i].strikeOut, in[i].strikeOut) << i;
        EXPECT_EQ(out[i].alignment, in[i].alignment) << i;
        EXPECT_EQ(out[i].lineNumber, in[i].lineNumber) << i;
    }
}
