#include "content/fontresolver.h"
#include "content/fonttable.h"
#include "content/ui/tableeditor.h"

#include "content/fontsizetable.h"
#include "content/tablefile.h"
#include "content/tablefilecsv.h"
#include "content/tablefilexls.h"
#include "content/richtextfile.h"
#include "content/ui/newtabledialog.h"
#include "content/ui/tablecelldelegate.h"
#include "content/ui/tablecolorlists.h"
#include "content/ui/tablegridmodel.h"
#include "language/language.h"
#include "model/datafolder.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QSpinBox>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace ledsign {

namespace {

constexpr int kTableCategory = 6;
constexpr int kOptionCategory = 11;
constexpr int kMoveSub = 2;

QString lg(const char* key)
{
    return GetLgText(kTableCategory, QString::fromLatin1(key));
}

QString defaultFont()
{
    return currentLanguage() == kEnglish ? QStringLiteral("Arial") : defaultCardFontName();
}

} // namespace

TableEditor::TableEditor(const TFodder& material, const DataFolder& folders, int regionWidth, int regionHeight,
                         QWidget* parent)
    : QDialog(parent)
    , material_(material)
    , tableFolder_(folders.tableFolder())
    , regionWidth_(regionWidth)
    , regionHeight_(regionHeight)
{
    setWindowTitle(lg("table_edit_caption"));
    messages_ = [this](const QString& text) { QMessageBox::information(this, windowTitle(), text); };
    base_ = tableBasePath(material, folders, QDateTime::currentDateTime());
    table_.lineColorIndex = qBound(0, material.tableParam1, 6);
    table_.lineWidthIndex = qBound(0, material.tableParam2, 4);

    auto* layout = new QVBoxLayout(this);
    grid_ = new TableGridModel(&table_, this);
    view_ = new QTableView(this);
    view_->setModel(grid_);
    // The cells look as the card shows them, not as a list shows text.
    view_->setItemDelegate(new TableCellDelegate(&table_, view_));
    view_->horizontalHeader()->hide();
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setMinimumSectionSize(1);
    view_->verticalHeader()->setMinimumSectionSize(1);
    buildToolbar();
    layout->addWidget(view_, 1);
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { syncToolbar(); });
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { syncToolbar(); });

    const QString file = base_ + QStringLiteral(".tbl");
    if (QFileInfo::exists(file)) {
        TableModel loaded = table_;
        if (TableFileReader::read(file, loaded, &loadError_))
            table_ = loaded;
        else
            needsNewTable_ = true;
    } else {
        needsNewTable_ = true;
    }
    opened_ = table_;
    showModeBox_->setCurrentIndex(qBound(0, material.displayMode, showModeBox_->count() - 1));
    stopTimeBox_->setText(QString::number(material.remainTime));
    showTable();
    // Never beyond the screen: the grid scrolls instead.
    const QSize room = screen() ? screen()->availableGeometry().size() : QSize(980, 560);
    resize(QSize(980, 560).boundedTo(room));
}

TableEditor::~TableEditor()
{
    // An editable box that loses the focus while its tool bar is taken
    // down would still hand its text to this half-destroyed editor.
    for (QComboBox* box : findChildren<QComboBox*>())
        box->disconnect(this);
}

void TableEditor::buildToolbar()
{
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    auto* top = new QToolBar(this);
    top->addAction(lg("tBtnNewTbl"), this, &TableEditor::newTable);
    top->addAction(lg("tBtnOpenTbl"), this, &TableEditor::openFile);
    top->addAction(lg("tBtnSaveTbl"), this, &TableEditor::saveFile);
    top->addSeparator();
    top->addAction(lg("tBtnInsertCol"), this, &TableEditor::insertColumn);
    top->addAction(lg("tBtnInsertRow"), this, &TableEditor::insertRow);
    top->addAction(lg("tBtnDelCol"), this, &TableEditor::deleteColumns);
    top->addAction(lg("tBtnDelRow"), this, &TableEditor::deleteRows);
    top->addAction(lg("tBtnMergeCell"), this, &TableEditor::mergeCells);
    top->addAction(lg("tBtnSplitCell"), this, &TableEditor::splitCell);
    layout->addWidget(top);

    auto* look = new QToolBar(this);
    fontBox_ = new QComboBox(look);
    fontBox_->setEditable(true);
    fontBox_->addItems(knownCardFontNames());
    fontBox_->setMinimumContentsLength(8);
    fontBox_->setMaximumWidth(180);
    look->addWidget(fontBox_);
    sizeBox_ = new QComboBox(look);
    sizeBox_->setEditable(true);
    sizeBox_->addItems(fontSizeListItems());
    look->addWidget(sizeBox_);
    colorBox_ = new QComboBox(look);
    fillCardColorList(colorBox_);
    look->addWidget(colorBox_);
    auto toggle = [&](const QString& text) {
        auto* b = new QToolButton(look);
        b->setText(text);
        b->setCheckable(true);
        look->addWidget(b);
        return b;
    };
    bold_ = toggle(lg("tBtnBold"));
    italic_ = toggle(lg("tBtnItalic"));
    underline_ = toggle(lg("tBtnUnderline"));
    look->addAction(lg("tBtnLeft"), this, [this] {
        applyLook([this](const CellRange& r) { table_.setAlignment(r, CellAlignment::Left); });
    });
    look->addAction(lg("tBtnCenter"), this, [this] {
        applyLook([this](const CellRange& r) { table_.setAlignment(r, CellAlignment::Centre); });
    });
    look->addAction(lg("tBtnRight"), this, [this] {
        applyLook([this](const CellRange& r) { table_.setAlignment(r, CellAlignment::Right); });
    });
    layout->addWidget(look);

    auto* grid = new QToolBar(this);
    grid->addWidget(new QLabel(lg("lbBkColor"), grid));
    backgroundBox_ = new QComboBox(grid);
    fillBackgroundColorList(backgroundBox_);
    grid->addWidget(backgroundBox_);
    grid->addWidget(new QLabel(lg("lbLineWidth"), grid));
    lineWidthBox_ = new QComboBox(grid);
    fillLineWidthList(lineWidthBox_);
    grid->addWidget(lineWidthBox_);
    grid->addWidget(new QLabel(lg("lbLineColor"), grid));
    lineColorBox_ = new QComboBox(grid);
    fillCardColorList(lineColorBox_);
    grid->addWidget(lineColorBox_);
    grid->addWidget(new QLabel(lg("lbColWidth"), grid));
    columnWidthBox_ = new QSpinBox(grid);
    columnWidthBox_->setRange(0, kMaxTableLineSize);
    grid->addWidget(columnWidthBox_);
    grid->addWidget(new QLabel(lg("lbRowHeight"), grid));
    rowHeightBox_ = new QSpinBox(grid);
    rowHeightBox_->setRange(0, kMaxTableLineSize);
    grid->addWidget(rowHeightBox_);
    layout->addWidget(grid);

    auto* play = new QToolBar(this);
    play->addWidget(new QLabel(lg("lbShowMode"), play));
    showModeBox_ = new QComboBox(play);
    for (QString mode : GetLgList(kOptionCategory, kMoveSub)) {
        if (mode.endsWith(QLatin1Char(';')))
            mode.chop(1);
        showModeBox_->addItem(mode);
    }
    play->addWidget(showModeBox_);
    play->addWidget(new QLabel(lg("lbStopTime"), play));
    stopTimeBox_ = new QLineEdit(play);
    stopTimeBox_->setMaximumWidth(60);
    play->addWidget(stopTimeBox_);
    layout->addWidget(play);

    connect(fontBox_, &QComboBox::textActivated, this, [this](const QString& name) {
        applyLook([&](const CellRange& r) { table_.setFontName(r, name); });
    });
    connect(sizeBox_, &QComboBox::textActivated, this, [this](const QString& text) {
        applyLook([&](const CellRange& r) { table_.setFontSize(r, pointSizeFromListText(text)); });
    });
    connect(colorBox_, &QComboBox::activated, this, [this](int i) {
        applyLook([&](const CellRange& r) { table_.setFontColor(r, cardColorOfIndex(i)); });
    });
    for (QToolButton* b : {bold_, italic_, underline_})
        connect(b, &QToolButton::clicked, this,
                [this] { pressStyleButton(bold_->isChecked(), italic_->isChecked(), underline_->isChecked()); });
    connect(backgroundBox_, &QComboBox::activated, this, [this](int i) {
        applyLook([&](const CellRange& r) { table_.setBackground(r.left, r.top, backgroundColorOfIndex(i)); });
    });
    connect(lineWidthBox_, &QComboBox::activated, this, [this](int i) {
        table_.lineWidthIndex = i;
        showTable();
    });
    connect(lineColorBox_, &QComboBox::activated, this, [this](int i) {
        table_.lineColorIndex = i;
        showTable();
    });
    connect(columnWidthBox_, &QSpinBox::valueChanged, this, [this](int w) {
        if (updating_)
            return;
        const CellRange r = selection();
        for (int c = r.left; c <= r.right; ++c) {
            table_.setColumnWidth(c, w);
            view_->setColumnWidth(c, w);
        }
    });
    connect(rowHeightBox_, &QSpinBox::valueChanged, this, [this](int h) {
        if (updating_)
            return;
        const CellRange r = selection();
        for (int row = r.top; row <= r.bottom; ++row) {
            table_.setRowHeight(row, h);
            view_->setRowHeight(row, h);
        }
    });
}

int TableEditor::exec()
{
    if (!loadError_.isEmpty())
        messages_(loadError_);
    if (needsNewTable_) {
        NewTableDialog dlg(this);
        if (dlg.exec() != QDialog::Accepted)
            return QDialog::Rejected;
        setTable(dlg.table(defaultFont()));
    }
    return QDialog::exec();
}

void TableEditor::setTable(const TableModel& table)
{
    table_ = table;
    needsNewTable_ = false;
    showTable();
}

void TableEditor::showTable()
{
    const CellRange keep = selection();
    grid_->refresh();
    view_->clearSpans();
    for (const CellRange& m : table_.merges())
        view_->setSpan(m.top, m.left, m.bottom - m.top + 1, m.right - m.left + 1);
    for (int c = 0; c < table_.columnCount(); ++c)
        view_->setColumnWidth(c, table_.columnWidth(c));
    for (int r = 0; r < table_.rowCount(); ++r)
        view_->setRowHeight(r, table_.rowHeight(r));
    const QColor line = QColor::fromRgb(tableColorToRgb(cardColorOfIndex(table_.lineColorIndex)));
    const QColor bg = QColor::fromRgb(tableColorToRgb(backgroundColorOfIndex(table_.backgroundIndex)));
    view_->setStyleSheet(QStringLiteral("QTableView { gridline-color: %1; background: %2; }")
                             .arg(line.name(), bg.name()));
    if (table_.isValidCell(keep.right, keep.bottom))
        selectRange(keep);
    syncToolbar();
}

CellRange TableEditor::selection() const
{
    const QModelIndexList picked = view_->selectionModel() ? view_->selectionModel()->selectedIndexes()
                                                           : QModelIndexList{};
    if (picked.isEmpty()) {
        const QModelIndex cur = view_->currentIndex();
        const int c = cur.isValid() ? cur.column() : 1;
        const int r = cur.isValid() ? cur.row() : 1;
        return CellRange{c, r, c, r};
    }
    CellRange range{picked.first().column(), picked.first().row(), picked.first().column(), picked.first().row()};
    for (const QModelIndex& i : picked) {
        range.left = qMin(range.left, i.column());
        range.right = qMax(range.right, i.column());
        range.top = qMin(range.top, i.row());
        range.bottom = qMax(range.bottom, i.row());
    }
    return range;
}

void TableEditor::selectRange(const CellRange& r)
{
    if (!table_.isValidCell(r.left, r.top) || !table_.isValidCell(r.right, r.bottom))
        return;
    view_->setCurrentIndex(grid_->index(r.top, r.left));
    view_->selectionModel()->select(QItemSelection(grid_->index(r.top, r.left), grid_->index(r.bottom, r.right)),
                                    QItemSelectionModel::ClearAndSelect);
}

void TableEditor::syncToolbar()
{
    if (!fontBox_)
        return;
    updating_ = true;
    const CellRange r = selection();
    const TableCell& cell = table_.cell(r.left, r.top);
    fontBox_->setCurrentText(cell.hasProperties ? cell.properties.fontName : QString());
    sizeBox_->setCurrentText(fontSizeDisplayText(cell.hasProperties ? cell.properties.fontSize : 0));
    colorBox_->setCurrentIndex(cell.hasProperties ? cardColorIndexOfColor(cell.properties.fontColor) : -1);
    backgroundBox_->setCurrentIndex(cell.hasProperties ? backgroundIndexOfColor(cell.properties.brushColor) : -1);
    lineWidthBox_->setCurrentIndex(table_.lineWidthIndex);
    lineColorBox_->setCurrentIndex(table_.lineColorIndex);
    columnWidthBox_->setValue(table_.columnWidth(r.left));
    rowHeightBox_->setValue(table_.rowHeight(r.top));
    updating_ = false;
}

void TableEditor::applyLook(const std::function<void(const CellRange&)>& change)
{
    if (updating_)
        return;
    change(selection());
    showTable(); // keeps the selection across the refresh
}

void TableEditor::pressStyleButton(bool bold, bool italic, bool underline)
{
    bold_->setChecked(bold);
    italic_->setChecked(italic);
    underline_->setChecked(underline);
    applyLook([&](const CellRange& r) { table_.setStyle(r, bold, italic, underline); });
}

void TableEditor::mergeCells()
{
    const CellRange r = selection();
    if (table_.merge(r)) {
        showTable();
        selectRange(r);
    }
}

void TableEditor::splitCell()
{
    const CellRange r = selection();
    if (table_.split(r.left, r.top))
        showTable();
}

void TableEditor::insertRow()
{
    const CellRange r = selection();
    if (!table_.insertRow(r.top))
        return;
    showTable();
    growBy(QSize(0, table_.rowHeight(r.top)));
}

void TableEditor::insertColumn()
{
    const CellRange r = selection();
    if (!table_.insertColumn(r.left))
        return;
    showTable();
    growBy(QSize(table_.columnWidth(r.left), 0));
}

void TableEditor::growBy(const QSize& extra)
{
    // The window grows with the grid so that the new row or column shows
    // without scrolling, but never past the screen it is on.
    QSize wanted = size() + extra;
    if (const QScreen* s = screen()) {
        const QSize room = s->availableGeometry().size() - (frameGeometry().size() - size());
        wanted = wanted.boundedTo(room).expandedTo(size());
    }
    resize(wanted);
}

void TableEditor::deleteRows()
{
    const CellRange r = selection();
    if (table_.deleteRows(r.top, r.bottom)) {
        showTable();
        selectRange(CellRange{r.left, qMin(r.top, table_.rowCount() - 1), r.left, qMin(r.top, table_.rowCount() - 1)});
    }
}

void TableEditor::deleteColumns()
{
    const CellRange r = selection();
    if (table_.deleteColumns(r.left, r.right)) {
        showTable();
        const int c = qMin(r.left, table_.columnCount() - 1);
        selectRange(CellRange{c, r.top, c, r.top});
    }
}

void TableEditor::setShowMode(int displayMode, const QString& stopTime)
{
    showModeBox_->setCurrentIndex(displayMode);
    stopTimeBox_->setText(stopTime);
}

bool TableEditor::openTableFile(const QString& path, QString* message)
{
    if (!QFileInfo::exists(path)) {
        *message = messageText(QStringLiteral("warn_file_not_exist"));
        return false;
    }
    TableModel loaded = table_;
    switch (tableFileKind(path)) {
    case TableFileKind::Table:
        if (!TableFileReader::read(path, loaded, message))
            return false;
        base_ = tableBaseOfFile(path);
        break;
    case TableFileKind::Csv: {
        QByteArray bytes;
        if (!readFileBytes(path, &bytes, message) || !importCsvTable(bytes, defaultFont(), loaded, message))
            return false;
        break;
    }
    case TableFileKind::Xls:
        if (!importXlsTable(path, defaultFont(), loaded, message))
            return false;
        break;
    case TableFileKind::Spreadsheet:
    case TableFileKind::Unknown:
        *message = spreadsheetRefusedMessage();
        return false;
    }
    setTable(loaded);
    return true;
}

void TableEditor::newTable()
{
    NewTableDialog dlg(this);
    if (dlg.exec() == QDialog::Accepted)
        setTable(dlg.table(defaultFont()));
}

void TableEditor::openFile()
{
    const QString path = QFileDialog::getOpenFileName(this, QString(), tableFolder_,
                                                      QStringLiteral("Table(*.tbl *.csv *.xls);;All(*.*)"));
    if (path.isEmpty())
        return;
    QString message;
    if (!openTableFile(path, &message))
        messages_(message);
}

void TableEditor::saveFile()
{
    QString path = QFileDialog::getSaveFileName(this, QString(), tableFolder_, QStringLiteral("Table(*.tbl)"),
                                                nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".tbl");
    if (QFileInfo::exists(path)
        && QMessageBox::question(this, windowTitle(),
                                 messageText(QStringLiteral("dlg_overwrite_exist_file")))
            != QMessageBox::Yes)
        return;
    QString error;
    if (!TableFileWriter::write(table_, path, &error))
        messages_(error);
}

void TableEditor::done(int)
{
    // Moving the current cell away commits a cell that is being typed into.
    view_->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    result_ = TableEditResult{};
    result_.lineColorIndex = table_.lineColorIndex;
    result_.lineWidthIndex = table_.lineWidthIndex;
    result_.displayMode = qMax(0, showModeBox_->currentIndex());
    result_.remainTime = stopTimeFromText(stopTimeBox_->text());
    const TablePiecesResult made = makeTablePieces(table_, base_, result_.displayMode, result_.remainTime,
                                                   regionWidth_, regionHeight_);
    // A failed save leaves the material's pictures as they were.
    result_.pieces = made.ok ? made.files : QStringList{};
    if (!made.message.isEmpty())
        messages_(made.message);
    if (!made.unsentRows.isEmpty())
        messages_(made.unsentRows);
    if (!made.ok)
        messages_(made.error);
    QDialog::done(QDialog::Accepted);
}

} // namespace ledsign
