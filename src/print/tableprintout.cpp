#include "print/tableprintout.h"

#include "base/celltable.h"
#include "print/pageglyphs.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPageRanges>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {

// The text the line height is measured on.
constexpr auto MeasuredText = "String Grid Printout";

int fieldWidth(int col)
{
    return col == TablePrintout::WideColumn ? TablePrintout::WideFieldWidth
                                            : TablePrintout::FieldWidth;
}

// Writes the printed line of `row` into `out`, reusing its memory.
void buildLine(const CellTable &table, int row, int columns, QString &out)
{
    out.clear();
    for (int col = 0; col < columns; ++col) {
        const QStringView text = table.cell(col, row);
        out.append(text);
        const qsizetype missing = fieldWidth(col) - text.size();
        if (missing > 0)
            out.resize(out.size() + 2 * missing, QLatin1Char(' '));
        else if (col + 1 < columns)
            out.append(QLatin1Char(' ')); // a full field never runs into the next one
    }
}

} // namespace

TablePrintout::Layout TablePrintout::layout(int pageHeight, int lineHeight)
{
    Layout result;
    result.lineHeight = std::max(1, lineHeight);
    result.rowsPerPage = std::max(1, pageHeight / result.lineHeight);
    return result;
}

TablePrintout::Layout TablePrintout::layout(QPagedPaintDevice &device, const QFont &font)
{
    const QFontMetrics metrics(font, &device);
    const int textHeight
        = metrics.size(Qt::TextSingleLine, QString::fromLatin1(MeasuredText)).height();
    return layout(device.height(), textHeight + LineGap);
}

int TablePrintout::printedColumns(const CellTable &table)
{
    int columns = 0;
    for (int row = 0; row < table.rowCount(); ++row)
        for (int col = table.colCount() - 1; col >= columns; --col)
            if (!table.cell(col, row).isEmpty()) {
                columns = col + 1;
                break;
            }
    return columns;
}

QString TablePrintout::line(const CellTable &table, int row, int columns)
{
    QString out;
    buildLine(table, row, columns, out);
    return out;
}

QFont TablePrintout::font()
{
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setFixedPitch(true);
    fixed.setPointSize(10);
    return fixed;
}

bool TablePrintout::print(QPagedPaintDevice &device, const CellTable &table, const QFont &font)
{
    const Layout rows = layout(device, font);
    const QPageRanges pages = device.pageRanges();
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setFont(font);
    // drawText places the baseline; a row's top lies one ascent above it.
    const int ascent = painter.fontMetrics().ascent();
    const int columns = printedColumns(table);
    int pageOnDevice = -1; // the table's page now on the device (the first one begin opened)
    PageGlyphs glyphs(painter, font, device);
    QString text;
    for (int row = 0; row < table.rowCount(); ++row) {
        const int page = rows.pageOf(row);
        if (!pages.isEmpty() && !pages.contains(page + 1))
            continue;
        if (page != pageOnDevice) {
            glyphs.flush();
            if (pageOnDevice >= 0 && !device.newPage()) {
                painter.end();
                return false;
            }
            pageOnDevice = page;
        }
        buildLine(table, row, columns, text);
        glyphs.add(text, QPointF(LeftEdge, rows.topOf(row) + ascent));
    }
    glyphs.flush();
    return painter.end();
}
