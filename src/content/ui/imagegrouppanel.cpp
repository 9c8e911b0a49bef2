#include "content/ui/imagegrouppanel.h"

#include "content/imagelist.h"
#include "language/language.h"

#include <QDir>
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

// The panel's parts by the names the language table gives their texts,
// with the simplified-Chinese text where a table has none.
struct PanelText {
    const char* name;
    const char16_t* fallback;
};

constexpr PanelText kTexts[] = {
    {"gbDirPath", u"目录路径"},       {"pnDisk", u"选择磁盘："},     {"gbDirFile", u"目录文件列表"},
    {"gbOptions", u"操作选项"},       {"bBtnAddSel", u"选中添加"},   {"bBtnAllAdd", u"全部添加"},
    {"bBtnInsert", u"插入"},          {"gbImageFileList", u"图片组文件列表"},
    {"bBtnDel", u"选中删除"},         {"bBtnClear", u"全部删除"},    {"colOrderNum", u"序号"},
    {"colFile", u"文件"},
};

QString panelText(const char* name)
{
    const QString t = GetLgText(kPanelCategory, QString::fromLatin1(name)).trimmed();
    if (!t.isEmpty())
        return t;
    for (const PanelText& p : kTexts)
        if (qstrcmp(p.name, name) == 0)
            return QString::fromUtf16(p.fallback);
    return {};
}

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
    dirBox->layout()->addWidget(tree_);
    connect(tree_, &QTreeView::clicked, this,
            [this](const QModelIndex& i) { setFolder(folders_->filePath(i)); });

    QGroupBox* fileBox = group("gbDirFile");
    files_ = new QListWidget(fileBox);
    files_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fileBox->layout()->addWidget(files_);
    connect(files_, &QListWidget::itemDoubleClicked, this, [this] { addSelected(); });

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
    split->setStretchFactor(3, 1);
    split->setSizes({180, 160, 110, 420});
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
    folder_ = folder;
    showDisk();
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
