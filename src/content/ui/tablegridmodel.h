// Shows a TableModel in a QTableView: every grid cell (header row and column
// included) with its text, font, colours and alignment; typed text goes back
// into the table. Structural edits are made on the TableModel and followed
// by refresh().
#pragma once

#include "content/tablemodel.h"

#include <QAbstractTableModel>

namespace ledsign {

class TableGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TableGridModel(TableModel* table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // After the table changed in any way.
    void refresh();

private:
    TableModel* table_;
};

} // namespace ledsign
