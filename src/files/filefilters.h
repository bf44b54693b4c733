#pragma once

#include <QString>

// The file types the open and save dialogs offer, as the dialogs take them: one
// "description (patterns)" per line, each pattern in capitals and in small letters. The comma
// form (".csv") is offered only when the decimal separator is not a comma.
namespace FileFilters {

// Turns "description|pattern|description|pattern" into the dialogs' form.
QString fromPairs(const QString &pairs);

// Saving a graph and opening a single file: graph file, text, and (without a decimal comma) CSV.
QString graphFilter(bool commaDecimalSeparator);
// Saving a table.
QString tableFilter(bool commaDecimalSeparator);
// The save dialogs' types: a graph's also offer the CSV with header and the workbook, a table's
// the workbook.
inline constexpr const char *HeadedCsvType = "CSV with header (*.csv)";
inline constexpr const char *WorkbookType = "Excel workbook (*.xlsx)";
QString graphSaveFilter(bool commaDecimalSeparator);
QString tableSaveFilter(bool commaDecimalSeparator);
QString collectionSaveFilter();
QString collectionOpenFilter();

// True when the user's locale writes decimals with a comma.
bool systemUsesDecimalComma();

} // namespace FileFilters
