#include "graph/ui/figuretablemodel.h"

#include <QColor>
#include <QFont>

void FigureTableModel::setTable(FigureTable &&table)
{
    if (m_table.sortColumn() != 0 || !m_table.sortAscending())
        table.sort(m_table.sortColumn(), m_table.sortAscending());
    const int before = m_table.rowCount();
    const int after = table.rowCount();
    if (after < before || table.columnCount() != m_table.columnCount()) {
        beginResetModel();
        m_table = std::move(table);
        endResetModel();
        return;
    }
    if (after > before) {
        beginInsertRows({}, before, after - 1);
        m_table = std::move(table);
        endInsertRows();
    } else {
        m_table = std::move(table);
    }
    if (before > 0)
        Q_EMIT dataChanged(index(0, 0), index(before - 1, m_table.columnCount() - 1));
}

int FigureTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_table.rowCount();
}

int FigureTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_table.columnCount();
}

QVariant FigureTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return m_table.text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() > 0)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    // A flagged figure in italic grey, its tooltip saying why.
    if (!m_table.isFlagged(index.row(), index.column()))
        return {};
    if (role == Qt::FontRole) {
        QFont font;
        font.setItalic(true);
        return font;
    }
    if (role == Qt::ForegroundRole)
        return QColor(Qt::gray);
    if (role == Qt::ToolTipRole)
        return m_table.flagReason(index.row(), index.column());
    return {};
}

QVariant FigureTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_table.titles().value(section);
    return section + 1;
}

void FigureTableModel::sort(int column, Qt::SortOrder order)
{
    // The rows move: the selection, which named rows by their place, goes.
    beginResetModel();
    m_table.sort(column, order == Qt::AscendingOrder);
    endResetModel();
}
