#include "base/ui/stringgrid.h"

#include <QAbstractTableModel>
#include <QHeaderView>

// The cells in one flat vector, rows after rows; row 0 to fixedRows - 1 are titles.
class StringGridModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rows = 1;
    int cols = 1;
    int fixedRows = 1;
    std::vector<QString> cells = std::vector<QString>(1);

    void setFixedRows(int newFixed)
    {
        beginResetModel();
        fixedRows = std::clamp(newFixed, 0, rows);
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
        std::vector<QString> next(static_cast<std::size_t>(newRows)
                                  * static_cast<std::size_t>(newCols));
        for (int r = 0; r < std::min(rows, newRows); ++r)
            for (int c = 0; c < std::min(cols, newCols); ++c)
                next[offset(r, c, newCols)] = std::move(cells[offset(r, c, cols)]);
        cells = std::move(next);
        rows = newRows;
        cols = newCols;
        endResetModel();
    }
    static std::size_t offset(int row, int col, int width)
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(width)
            + static_cast<std::size_t>(col);
    }
    bool valid(int col, int row) const { return col >= 0 && col < cols && row >= 0 && row < rows; }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : std::max(0, rows - fixedRows);
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : cols;
    }
    QVariant data(const QModelIndex &i, int role) const override
    {
        if (role != Qt::DisplayRole || !valid(i.column(), i.row() + fixedRows))
            return {};
        return cells[offset(i.row() + fixedRows, i.column(), cols)];
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return section + fixedRows;
        if (fixedRows == 0 || section >= cols)
            return {};
        return cells[offset(0, section, cols)];
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
    return m_model->rows;
}

int StringGrid::ColCount() const
{
    return m_model->cols;
}

void StringGrid::setRowCount(int rows)
{
    m_model->resize(std::max(rows, m_model->fixedRows), m_model->cols);
}

void StringGrid::setColCount(int cols)
{
    m_model->resize(m_model->rows, std::max(1, cols));
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
    return m_model->valid(col, row)
        ? m_model->cells[StringGridModel::offset(row, col, m_model->cols)]
        : QString();
}

void StringGrid::setCells(int col, int row, const QString &text)
{
    if (!m_model->valid(col, row))
        return;
    m_model->cells[StringGridModel::offset(row, col, m_model->cols)] = text;
    m_model->changed(row, col);
}

void StringGrid::setRow(int row, const QStringList &texts)
{
    for (int c = 0; c < texts.size() && c < m_model->cols; ++c)
        setCells(c, row, texts[c]);
}

int StringGrid::selectedRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + FixedRows() : -1;
}

void StringGrid::selectRow(int row)
{
    QTableView::selectRow(row - FixedRows());
    setCurrentIndex(m_model->index(row - FixedRows(), 0));
}
