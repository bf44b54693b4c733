#pragma once

#include <QString>
#include <QStringView>

#include <algorithm>
#include <vector>

// The texts of a grid of cells, addressed (col, row). All texts live in one buffer, each cell
// being an offset and a length into it, so a table of 65,536 rows costs a few megabytes rather
// than a string object per cell. Cells outside the table read as empty and ignore writes.
class CellTable
{
public:
    explicit CellTable(int cols = 1, int rows = 1);

    int colCount() const { return m_cols; }
    int rowCount() const { return m_rows; }
    // Keeps the cells that still fit; new cells are empty.
    void resize(int cols, int rows);
    // Adds rows at the end; cheap when done one row at a time.
    void setRowCount(int rows);
    // Room for about this many characters of text, for a table about to be filled.
    void reserveText(qsizetype characters) { m_text.reserve(characters); }
    // Room for this many rows, for a table about to grow row by row.
    void reserveRows(int rows) { m_spans.reserve(index(0, std::max(rows, 0))); }
    // The characters the texts take.
    qsizetype textSize() const { return m_text.size(); }

    // The cell's text, valid until the table changes.
    QStringView cell(int col, int row) const;
    void setCell(int col, int row, QStringView text);
    void setCell(int col, int row, int number);

    bool contains(int col, int row) const
    {
        return col >= 0 && col < m_cols && row >= 0 && row < m_rows;
    }

private:
    struct Span
    {
        quint32 offset = 0;
        quint32 length = 0;
    };
    std::size_t index(int col, int row) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(m_cols)
            + static_cast<std::size_t>(col);
    }
    // Rewrites the buffer with only the texts still in use, once overwritten texts fill most
    // of it.
    void compactIfWasteful();

    int m_cols;
    int m_rows;
    std::vector<Span> m_spans;
    QString m_text;
    qsizetype m_unused = 0;
};
