#pragma once

#include <QTableView>

#include <vector>

class CellTable;
class StringGridModel;

// A grid of texts addressed as Cells(col, row), with RowCount and ColCount and fixed title
// rows and columns, on a QTableView with a light model: tables of 65,536 rows load fast and use
// little memory. The fixed rows show as the column titles, the fixed columns as row titles.
class StringGrid : public QTableView
{
    Q_OBJECT

public:
    explicit StringGrid(QWidget *parent = nullptr);
    ~StringGrid() override;

    int RowCount() const;
    int ColCount() const;
    void setRowCount(int rows);
    void setColCount(int cols);
    int FixedRows() const;
    void setFixedRows(int rows);

    QString Cells(int col, int row) const;
    void setCells(int col, int row, const QString &text);
    // Writes a whole row at once.
    void setRow(int row, const QStringList &texts);

    // All cells at once: the table to read fast, and a whole new table (a file read in) shown in
    // one step, keeping the fixed rows.
    const CellTable &table() const;
    void adoptTable(CellTable &&table);

    // The selected row in grid numbering (fixed rows included), or -1.
    int selectedRow() const;
    void selectRow(int row);
    // Every selected row in grid numbering, from the top (several with a range selection).
    std::vector<int> selectedRows() const;

Q_SIGNALS:
    // A click on a row (grid numbering).
    void rowClicked(int row);

private:
    StringGridModel *m_model;
};
