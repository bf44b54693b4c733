#pragma once

#include "survey/figuretable.h"

#include <QAbstractTableModel>

// A FigureTable for a table view: its texts, its titles as the column headers, numbers right
// aligned, flagged figures in italic grey with the reason as their tooltip; a click on a header
// sorts the table by that column (the view asks sort()).
class FigureTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    const FigureTable &table() const { return m_table; }
    // New rows, in the order the table is sorted by. Rows that stay where they were keep their
    // place in the view (the selection, the scrolled position), as when a recording adds
    // points to its last period.
    void setTable(FigureTable &&table);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    FigureTable m_table = FigureTable::ofDays({});
};
