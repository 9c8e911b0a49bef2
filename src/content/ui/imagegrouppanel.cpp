#include "content/ui/imagegrouppanel.h"

#include "content/imagelist.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace ledsign {

ImageGroupPanel::ImageGroupPanel(QWidget* parent)
    : QWidget(parent)
{
    report_ = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };
    auto* layout = new QHBoxLayout(this);
    auto* split = new QSplitter(this);
    layout->addWidget(split);

    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folders_->setRootPath(QString());
    tree_ = new QTreeView(split);
    tree_->setModel(folders_);
    for (int c = 1; c < folders_->columnCount(); ++c)
        tree_->hideColumn(c);
    tree_->header()->hide();
    connect(tree_, &QTreeView::clicked, this,
            [this](const QModelIndex& i) { setFolder(folders_->filePath(i)); });

    files_ = new QListWidget(split);
    files_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(files_, &QListWidget::itemDoubleClicked, this, [this] { addSelected(); });

    auto* right = new QWidget(split);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, void (ImageGroupPanel::*)()> commands[] = {
        {"选中添加", &ImageGroupPanel::addSelected},      {"全部添加", &ImageGroupPanel::addAll},
        {"插入", &ImageGroupPanel::insertSelected},       {"选中删除", &ImageGroupPanel::deleteSelected},
        {"全部删除", &ImageGroupPanel::deleteAll},
    };
    for (const auto& [text, slot] : commands) {
        auto* b = new QPushButton(QString::fromUtf8(text), right);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    }
    rightLayout->addLayout(buttons);
    rows_ = new QTableWidget(0, 2, right);
    rows_->setHorizontalHeaderLabels({QStringLiteral("序号"), QStringLiteral("文件")});
    rows_->horizontalHeader()->setStretchLastSection(true);
    rows_->verticalHeader()->hide();
    rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rows_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    rows_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rows_->setStyleSheet(QStringLiteral("QTableWidget::item:selected { background: palette(highlight); color: white; }"));
    connect(rows_, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (material_ && row < material_->fileList.size())
            emit showFile(material_->fileList.at(row).path);
    });
    rightLayout->addWidget(rows_);
    split->setStretchFactor(2, 1);
    split->setSizes({180, 140, 420});
}

void ImageGroupPanel::setMaterial(TFodder* material)
{
    material_ = material;
    refreshRows();
}

void ImageGroupPanel::setFolder(const QString& folder)
{
    folder_ = folder;
    files_->clear();
    files_->addItems(bmpFilesIn(folder));
    const QModelIndex index = folders_->index(folder);
    if (index.isValid()) {
        tree_->setCurrentIndex(index);
        tree_->scrollTo(index);
    }
}

QStringList ImageGroupPanel::selectedNames() const
{
    QStringList names;
    for (int i = 0; i < files_->count(); ++i)
        if (files_->item(i)->isSelected())
            names << files_->item(i)->text();
    return names;
}

void ImageGroupPanel::refreshRows(int selectRow)
{
    rows_->clearContents();
    const QList<ImageListRow> list = material_ ? imageListRows(*material_) : QList<ImageListRow>{};
    rows_->setRowCount(int(list.size()));
    for (int r = 0; r < list.size(); ++r) {
        rows_->setItem(r, 0, new QTableWidgetItem(QString::number(list[r].number)));
        rows_->setItem(r, 1, new QTableWidgetItem(list[r].path));
    }
    if (selectRow >= 0 && selectRow < rows_->rowCount())
        rows_->selectRow(selectRow);
}

void ImageGroupPanel::changed(const QStringList& shown, int selectRow)
{
    refreshRows(selectRow);
    for (const QString& path : shown)
        emit showFile(path);
    emit listChanged();
}

void ImageGroupPanel::addSelected()
{
    if (!material_)
        return;
    const QStringList added = appendImageFiles(*material_, folder_, selectedNames(), report_);
    if (!added.isEmpty())
        changed(added);
}

void ImageGroupPanel::addAll()
{
    if (!material_)
        return;
    QStringList names;
    for (int i = 0; i < files_->count(); ++i)
        names << files_->item(i)->text();
    const QStringList added = appendImageFiles(*material_, folder_, names, report_);
    if (!added.isEmpty())
        changed(added);
}

void ImageGroupPanel::insertSelected()
{
    const int row = rows_->currentRow();
    if (!material_ || row < 0 || rows_->selectionModel()->selectedRows().isEmpty())
        return;
    int last = -1;
    const QStringList added = insertImageFiles(*material_, row, folder_, selectedNames(), report_, &last);
    if (!added.isEmpty())
        changed(added, last);
}

void ImageGroupPanel::deleteSelected()
{
    if (!material_)
        return;
    QList<int> picked;
    for (const QModelIndex& i : rows_->selectionModel()->selectedRows())
        picked << i.row();
    if (deleteImageRows(*material_, picked) > 0)
        changed({});
}

void ImageGroupPanel::deleteAll()
{
    if (!material_ || material_->fileList.isEmpty())
        return;
    clearImageList(*material_);
    changed({});
}

} // namespace ledsign
