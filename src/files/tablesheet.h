#pragma once

#include "files/workbookwriter.h"

#include <QLocale>

class CellTable;

// A table window's rows as a workbook's sheet "Readings": its titles (row 0, from column 1; the
// row numbers are left out) and its rows. A "Date" column's cells become date cells, a "Time"
// column's time cells and a "Start" column's date-time cells, where they read in the locale's
// short date and long time; any other cell a number where it reads as one in the locale (with
// the decimals it shows), else text. The sheet reads the table as it is written: the table must
// outlive it.
namespace TableSheet {

WorkbookWriter::Sheet of(const CellTable &table, const QLocale &locale);

} // namespace TableSheet
