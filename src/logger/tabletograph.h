#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

class CellTable;
class WorkProgress;

// Turns a table of readings (row 0 the titles; per row the date in column 1, the time in
// column 2 and the level in column 3, or in column 4 when its title is "Leq") into the points
// of a graph. Dates, times and levels are read in the locale's formats: the short date, a blank,
// the long time; the level with the locale's decimal separator.
namespace TableToGraph {

struct Points
{
    std::vector<double> xs; // date-times in days
    std::vector<float> ys; // levels; the null value where a row's level could not be read
    int skipped = 0; // rows whose date and time could not be read: they give no point
    bool cancelled = false;
};

// The number of reading rows; 0 when the first reading row has no date.
int readingRows(const CellTable &table);
// The column the levels are read from.
int levelColumn(const CellTable &table);

// The date-time of a row, or the message to show: "'%1' is not a valid date and time".
struct RowTime
{
    std::optional<double> days;
    QString error;
};
RowTime rowTime(const CellTable &table, int row, const QLocale &locale);

// The points of rows 1 to readingRows(table), in order. The progress hears the row number after
// each row and is asked after each whether to stop.
Points points(const CellTable &table, const QLocale &locale, WorkProgress *progress = nullptr);

// A level as the locale writes it: optional blanks, an optional sign, digits with at most one
// decimal separator of the locale, an optional exponent. Group separators are not accepted.
std::optional<float> readLevel(QStringView text, const QLocale &locale);

} // namespace TableToGraph
