#include "workspace/propertyeditor.h"

#include "editing/propertycolumns.h"
#include "model/filefilters.h"
#include "model/settings.h"
#include "workspace/propertyeditordelegate.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QEvent>
#include <QHeaderView>

namespace ledsign {

namespace {

// The label column before any row is shown.
constexpr int kFirstLabelWidth = 125;

} // namespace

PropertyEditor::PropertyEditor(ProjectModel& model, const AppSettings& settings, QWidget* parent)
    : QTableWidget(parent)
    , session_(model, settings)
{
    setObjectName(QStringLiteral("vLEditor"));
    setColumnCount(2);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setColumnWidth(0, kFirstLabelWidth);
    // The values take the rest of the width and follow the column's size;
    // they never need a sideways scroll. A value longer than its cell keeps
    // its start and its end (a file's name) and shows in full as a tip.
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideMiddle);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    delegate_ = new PropertyRowDelegate(session_, this);
    setItemDelegateForColumn(1, delegate_);
    connect(delegate_, &PropertyRowDelegate::buttonClicked, this, &PropertyEditor::clickEditButton);
    connect(this, &QTableWidget::itemChanged, this, &PropertyEditor::onItemChanged);
    // A value cell that becomes current opens for typing, as in a value list.
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (column == 1 && row >= 0 && row < session_.rowCount() && !session_.rows().at(row).readOnly &&
            session_.rows().at(row).style != RowStyle::Button)
            editItem(item(row, 1));
    });
    fileChooser_ = [this](const QString& filter, const QString& startFile) {
        return QFileDialog::getOpenFileName(this, QString(), startFile, filter);
    };
}

PropertyEditor::~PropertyEditor() = default;

void PropertyEditor::fillFromSession()
{
    filling_ = true;
    const PropertyRows& rows = session_.rows();
    setRowCount(0);
    setRowCount(static_cast<int>(rows.size()));
    const QColor labelBackground = palette().color(QPalette::Window);
    for (int i = 0; i < rows.size(); ++i) {
        auto* label = new QTableWidgetItem(rows[i].label);
        label->setFlags(Qt::ItemIsEnabled);
        label->setBackground(labelBackground);
        setItem(i, 0, label);
        auto* value = new QTableWidgetItem(rows[i].value);
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (!rows[i].readOnly)
            flags |= Qt::ItemIsEditable;
        value->setFlags(flags);
        value->setToolTip(rows[i].value);
        setItem(i, 1, value);
    }
    filling_ = false;
    fitColumns();
}

void PropertyEditor::fitColumns()
{
    if (rowCount() == 0)
        return;
    int widest = 0;
    for (int r = 0; r < rowCount(); ++r)
        widest = qMax(widest, sizeHintForIndex(model()->index(r, 0)).width());
    // The grid line takes a pixel of the cell.
    const int gridLine = showGrid() ? 1 : 0;
    setColumnWidth(0, propertyLabelWidth(widest + gridLine, viewport()->width()));
}

void PropertyEditor::resizeEvent(QResizeEvent* event)
{
    QTableWidget::resizeEvent(event);
    fitColumns();
}

void PropertyEditor::changeEvent(QEvent* event)
{
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitColumns();
}

void PropertyEditor::showRows(const QList<int>& rows)
{
    filling_ = true;
    for (int r : rows) {
        if (r < 0 || r >= session_.rowCount() || r >= rowCount())
            continue;
        if (QTableWidgetItem* value = item(r, 1)) {
            value->setText(session_.rows().at(r).value);
            value->setToolTip(session_.rows().at(r).value);
        }
    }
    filling_ = false;
    viewport()->update();
}

void PropertyEditor::clearRows()
{
    session_.clear();
    fillFromSession();
}

bool PropertyEditor::showCard(const QString& nodeText)
{
    const bool found = session_.showCard(nodeText);
    fillFromSession();
    return found;
}

bool PropertyEditor::showPage(const QString& cardName, const QString& pageName)
{
    const bool found = session_.showPage(cardName, pageName);
    fillFromSession();
    return found;
}

bool PropertyEditor::showRegion(const QString& cardName, const QString& pageName, const QString& regionName)
{
    const bool found = session_.showRegion(cardName, pageName, regionName);
    fillFromSession();
    return found;
}

bool PropertyEditor::showMaterial(const QString& cardName, const QString& pageName, const QString& regionName,
                                  const QString& name)
{
    const bool found = session_.showMaterial(cardName, pageName, regionName, name);
    fillFromSession();
    return found;
}

bool PropertyEditor::reshow()
{
    const bool found = session_.reshow();
    fillFromSession();
    return found;
}

void PropertyEditor::refreshRegionRows()
{
    showRows(session_.refreshRegionRows());
}

void PropertyEditor::onItemChanged(QTableWidgetItem* changed)
{
    if (filling_ || !changed || changed->column() != 1)
        return;
    const int row = changed->row();
    lastRow_ = row;
    const RowChange change = session_.applyRowChange(row, changed->text());
    QList<int> rows = change.rowsRewritten;
    rows << row;
    showRows(rows);
    report(change);
}

void PropertyEditor::report(const RowChange& change)
{
    const PropertyTarget& t = session_.target();
    if (change.renamed)
        emit nodeRenamed(static_cast<int>(t.level), change.oldName, change.nodeText);
    if (change.geometryChanged)
        emit regionGeometryChanged(t.cardName, t.pageName, t.regionName);
    if (change.rerender || change.redraw)
        emit materialChanged(t.cardName, t.pageName, t.regionName, t.materialName, change.rerender);
    if (change.cardModified)
        emit cardModified(t.cardName);
    if (change.cardListChanged)
        emit cardListChanged(t.cardName);
    if (!change.message.isEmpty())
        emit valueRefused(change.message);
    emit rowApplied(lastRow_, change.renamed);
}

void PropertyEditor::editRow(int row, const QString& text)
{
    if (QTableWidgetItem* value = item(row, 1))
        value->setText(text);
}

QString PropertyEditor::rowValue(int row) const
{
    const QTableWidgetItem* value = item(row, 1);
    return value ? value->text() : QString();
}

void PropertyEditor::clickEditButton(int row)
{
    lastRow_ = row;
    const DialogRequest request = session_.editButtonClick(row);
    switch (request.kind) {
    case DialogKind::None:
        return;
    case DialogKind::AnimationFile: {
        // Every chooser gets the filter in the form a file dialog reads.
        const QString path = fileChooser_ ? fileChooser_(dialogFilter(request.filter), request.startFile) : QString();
        const RowChange change = session_.acceptAnimationFile(path);
        showRows(change.rowsRewritten);
        report(change);
        return;
    }
    case DialogKind::CountTime:
    case DialogKind::PlayByWeek:
    case DialogKind::PlayByDate:
        emit dialogRequested(request);
        return;
    }
}

void PropertyEditor::acceptPlayByWeek(bool byWeek, const QString& cycle)
{
    const RowChange change = session_.acceptPlayByWeek(byWeek, cycle);
    showRows(change.rowsRewritten);
    report(change);
}

void PropertyEditor::acceptPlayByDate(int choice, const QString& dateText)
{
    const RowChange change = session_.acceptPlayByDate(choice, dateText);
    showRows(change.rowsRewritten);
    report(change);
}

void PropertyEditor::acceptCountTime(const QString& text)
{
    const RowChange change = session_.acceptCountTime(text);
    showRows(change.rowsRewritten);
    report(change);
}

} // namespace ledsign
