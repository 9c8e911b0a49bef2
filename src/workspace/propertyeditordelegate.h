// How the property editor draws and edits its value column: an editable
// drop-down list on choice rows, a line edit elsewhere, and a "..." button
// drawn at the right end of dialog rows that reports a click.
#pragma once

#include "editing/propertysession.h"

#include <QStyledItemDelegate>

class QAbstractItemView;

namespace ledsign {

class PropertyRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    PropertyRowDelegate(const PropertySession& session, QAbstractItemView* view);

    // The "..." button (or the drop-down arrow) inside a value cell.
    static QRect buttonRect(const QRect& cell);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

signals:
    void buttonClicked(int row);

private:
    const PropertyRow* rowOf(const QModelIndex& index) const;

    const PropertySession& session_;
    QAbstractItemView* view_;
};

} // namespace ledsign
