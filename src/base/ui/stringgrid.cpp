#include "base/ui/stringgrid.h"

#include "base/celltable.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelectionModel>

#include <algorithm>

// The grid's cells, in a CellTable; rows 0 to fixedRows - 1 are titles.
class StringGridModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    CellTable cells;
    int fixedRows = 1;

    void setFixedRows(int newFixed)
    {
        beginResetModel();
        fixedRows = std::clamp(newFixed, 0, cells.rowCount());
        endResetModel();
    }
    void changed(int row, int col)
    {
        if (row < fixedRows)
            Q_EMIT headerDataChanged(Qt::Horizontal, col, col);
        else
            Q_EMIT dataChanged(index(row - fixedRows, col), index(row - fixedRows, col));
    }
    void resize(int newRows, int newCols)
    {
        beginResetModel();
        cells.resize(newCols, newRows);
        endResetModel();
    }
    void adopt(CellTable &&table)
    {
        beginResetModel();
        cells = std::move(table);
        fixedRows = std::clamp(fixedRows, 0, cells.rowCount());
        endResetModel();
    }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : std::max(0, cells.rowCount() - fixedRows);
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : cells.colCount();
    }
    QVariant data(const QModelIndex &i, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return cells.cell(i.column(), i.row() + fixedRows).toString();
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return section + fixedRows;
        if (fixedRows == 0)
            return {};
        return cells.cell(section, 0).toString();
    }
};

StringGrid::StringGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new StringGridModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    setWordWrap(false);
    connect(this, &QTableView::clicked, this,
            [this](const QModelIndex &index) { Q_EMIT rowClicked(index.row() + FixedRows()); });
}

StringGrid::~StringGrid() = default;

int StringGrid::RowCount() const
{
    return m_model->cells.rowCount();
}

int StringGrid::ColCount() const
{
    return m_model->cells.colCount();
}

void StringGrid::setRowCount(int rows)
{
    m_model->resize(std::max(rows, m_model->fixedRows), ColCount());
}

void StringGrid::setColCount(int cols)
{
    m_model->resize(RowCount(), std::max(1, cols));
}

int StringGrid::FixedRows() const
{
    return m_model->fixedRows;
}

void StringGrid::setFixedRows(int rows)
{
    m_model->setFixedRows(rows);
}

QString StringGrid::Cells(int col, int row) const
{
    return m_model->cells.cell(col, row).toString();
}

void StringGrid::setCells(int col, int row, const QString &text)
{
    if (!m_model->cells.contains(col, row))
        return;
    m_model->cells.setCell(col, row, text);
    m_model->changed(row, col);
}

void StringGrid::setRow(int row, const QStringList &texts)
{
    for (int c = 0; c < texts.size() && c < ColCount(); ++c)
        setCells(c, row, texts[c]);
}

const CellTable &StringGrid::table() const
{
    return m_model->cells;
}

void StringGrid::adoptTable(CellTable &&table)
{
    m_model->adopt(std::move(table));
}

int StringGrid::selectedRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + FixedRows() : -1;
}

std::vector<int> StringGrid::selectedRows() const
{
    std::vector<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        rows.push_back(index.row() + FixedRows());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void StringGrid::selectRow(int row)
{
    QTableView::selectRow(row - FixedRows());
    setCurrentIndex(m_model->index(row - FixedRows(), 0));
}
