#pragma once

#include <QFont>
#include <QString>

class CellTable;
class QPagedPaintDevice;
class QPaintDevice;

// A table printed as plain text: one line per row, header row first, in a fixed-pitch font, as
// many rows to a page as fit, with no title, page number or date.
//
// A line is the row's cells in column order, each followed by two blanks for every character by
// which it is shorter than its field (17 characters for column 2, 10 for the others); a text as
// long as its field or longer gets one blank, so that it does not run into the next field (a
// 10-character date into its time), and the last one none. The columns
// printed run from 0 to the last one that holds a text in any row, so that an always-empty
// column at the end is left out and none with data is.
//
// Row k of a page (k from 0) has its top at y = k * h, h being the line height, and there are
// page height / h rows to a page (rounded down), so every row ends inside the printable area.
class TablePrintout
{
public:
    static constexpr int FieldWidth = 10;
    static constexpr int WideColumn = 2;
    static constexpr int WideFieldWidth = 17;
    // Every line starts this many device pixels right of the printable area's left edge.
    static constexpr int LeftEdge = 1;
    // Added to the height of a line of text to make the line height.
    static constexpr int LineGap = 4;

    // Where the rows go: the line height and rows per page in device pixels.
    struct Layout
    {
        int lineHeight = 1;
        int rowsPerPage = 1;

        // The page (from 0) that row `row` of the table lies on, and the top of the row on it.
        int pageOf(int row) const { return row / rowsPerPage; }
        int topOf(int row) const { return (row % rowsPerPage) * lineHeight; }
    };

    // The layout for a printable area `pageHeight` high. A page lower than one line still takes
    // one row, at its top, so that a table always prints.
    static Layout layout(int pageHeight, int lineHeight);
    // The layout of `font` on `device`: the line height is the height of a line of the text
    // "String Grid Printout" in that font at the device's resolution, plus LineGap.
    static Layout layout(QPagedPaintDevice &device, const QFont &font);

    // How many columns, from 0, are printed: up to the last that holds a text in any row.
    static int printedColumns(const CellTable &table);
    // The printed line of row `row`, over its first `columns` columns.
    static QString line(const CellTable &table, int row, int columns);

    // The printout's font: the system's fixed-pitch font at 10 points.
    static QFont font();

    // Prints every row of `table` onto `device` (a printer or a PDF writer), on the pages the
    // device's page ranges choose (all when it has none). False when the device cannot be
    // opened, a new page cannot be started or the output cannot be finished.
    static bool print(QPagedPaintDevice &device, const CellTable &table, const QFont &font);
};
