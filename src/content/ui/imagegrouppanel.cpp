#include "content/ui/imagegrouppanel.h"

#include "content/imagelist.h"
#include "language/language.h"

#include <QDir>
#include <QDropEvent>
#include <QFileSystemWatcher>
#include <QMimeData>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QStorageInfo>
#include <QTableWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace ledsign {

namespace {

constexpr int kPanelCategory = 4;

QString panelText(const char* name)
{
    return GetLgText(kPanelCategory, QString::fromLatin1(name)).trimmed();
}

// Wide enough for a few levels of folder names; deeper ones scroll.
constexpr int kFolderTreeWidth = 280;

} // namespace

ImageGroupPanel::ImageGroupPanel(QWidget* parent)
    : QWidget(parent)
{
    report_ = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* split = new QSplitter(this);
    layout->addWidget(split);

    auto group = [split](const char* name) {
        auto* box = new QGroupBox(split);
        box->setObjectName(QString::fromLatin1(name));
        auto* l = new QVBoxLayout(box);
        l->setContentsMargins(4, 4, 4, 4);
        return box;
    };

    QGroupBox* dirBox = group("gbDirPath");
    disk_ = new QLabel(dirBox);
    disk_->setObjectName(QStringLiteral("pnDisk"));
    dirBox->layout()->addWidget(disk_);
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folders_->setRootPath(QString());
    tree_ = new QTreeView(dirBox);
    tree_->setModel(folders_);
    for (int c = 1; c < folders_->columnCount(); ++c)
        tree_->hideColumn(c);
    tree_->header()->hide();
    // The tree scrolls sideways instead of cutting deep folder names.
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tree_->setIndentation(tree_->fontMetrics().averageCharWidth() * 2);
    tree_->setMinimumWidth(kFolderTreeWidth * 2 / 3);
    dirBox->layout()->addWidget(tree_);
    connect(tree_, &QTreeView::clicked, this,
            [this](const QModelIndex& i) { setFolder(folders_->filePath(i)); });

    QGroupBox* fileBox = group("gbDirFile");
    files_ = new QListWidget(fileBox);
    files_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fileBox->layout()->addWidget(files_);
    connect(files_, &QListWidget::itemDoubleClicked, this, [this] { addSelected(); });
    // Pictures saved into the folder by another program appear at once.
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &ImageGroupPanel::relistFolder);

    QGroupBox* options = group("gbOptions");
    const std::pair<const char*, void (ImageGroupPanel::*)()> commands[] = {
        {"bBtnAddSel", &ImageGroupPanel::addSelected},   {"bBtnAllAdd", &ImageGroupPanel::addAll},
        {"bBtnInsert", &ImageGroupPanel::insertSelected}, {"bBtnDel", &ImageGroupPanel::deleteSelected},
        {"bBtnClear", &ImageGroupPanel::deleteAll},
    };
    for (const auto& [name, slot] : commands) {
        auto* b = new QPushButton(options);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, slot);
        options->layout()->addWidget(b);
    }
    static_cast<QVBoxLayout*>(options->layout())->addStretch();

    QGroupBox* listBox = group("gbImageFileList");
    rows_ = new QTableWidget(0, 2, listBox);
    rows_->setObjectName(QStringLiteral("lvBmpList"));
    rows_->horizontalHeader()->setStretchLastSection(true);
    rows_->verticalHeader()->hide();
    rows_->verticalHeader()->setDefaultSectionSize(rows_->fontMetrics().height() + 6);
    // Long paths keep their file name in view.
    rows_->setWordWrap(false);
    rows_->setTextElideMode(Qt::ElideLeft);
    rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rows_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    rows_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rows_->setStyleSheet(QStringLiteral("QTableWidget::item:selected { background: palette(highlight); color: white; }"));
    connect(rows_, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (material_ && row < material_->fileList.size())
            emit showFile(material_->fileList.at(row).path);
    });
    listBox->layout()->addWidget(rows_);
    // Picture files dropped from a file manager join the list.
    rows_->setAcceptDrops(true);
    rows_->viewport()->installEventFilter(this);
    split->setStretchFactor(3, 1);
    split->setSizes({kFolderTreeWidth, 170, 110, 360});
    retranslate();
}

void ImageGroupPanel::retranslate()
{
    for (auto* box : findChildren<QGroupBox*>())
        box->setTitle(panelText(box->objectName().toLatin1().constData()));
    for (auto* button : findChildren<QPushButton*>())
        button->setText(panelText(button->objectName().toLatin1().constData()));
    showDisk();
    rows_->setHorizontalHeaderLabels({panelText("colOrderNum"), panelText("colFile")});
    rows_->resizeColumnToContents(0);
}

void ImageGroupPanel::setMaterial(TFodder* material)
{
    material_ = material;
    refreshRows();
}

void ImageGroupPanel::showDisk()
{
    // The drive of the chosen folder: its mount point.
    const QString root = folder_.isEmpty() ? QString() : QStorageInfo(folder_).rootPath();
    disk_->setText(panelText("pnDisk").trimmed() + (root.isEmpty() ? QString() : QStringLiteral(" ") + root));
}

void ImageGroupPanel::setFolder(const QString& folder)
{
    if (!folder_.isEmpty())
        watcher_->removePath(folder_);
    folder_ = folder;
    if (!folder_.isEmpty())
        watcher_->addPath(folder_);
    showDisk();
    relistFolder();
    const QModelIndex index = folders_->index(folder);
    if (index.isValid()) {
        tree_->setCurrentIndex(index);
        tree_->scrollTo(index);
    }
}

void ImageGroupPanel::relistFolder()
{
    // The selection survives files coming and going around it.
    const QStringList selected = selectedNames();
    files_->clear();
    files_->addItems(imageFilesIn(folder_));
    for (int i = 0; i < files_->count(); ++i)
        files_->item(i)->setSelected(selected.contains(files_->item(i)->text()));
}

bool ImageGroupPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != rows_->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        const bool take = material_ && !imageFilesOf(drag->mimeData()->urls()).isEmpty();
        if (take)
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = imageFilesOf(drop->mimeData()->urls());
        if (material_ && !files.isEmpty()) {
            drop->acceptProposedAction();
            addFiles(files);
        }
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void ImageGroupPanel::addFiles(const QStringList& paths)
{
    if (!material_)
        return;
    const QStringList added = appendImageFiles(*material_, QString(), paths, report_);
    if (!added.isEmpty())
        changed(added);
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
    rows_->resizeColumnToContents(0);
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
