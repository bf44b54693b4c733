#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// A spreadsheet workbook (".xlsx") of sheets of cells, written with libxlsxwriter in its
// constant-memory mode: each sheet's rows are asked for one at a time and written at once, so a
// series of a million points costs the memory of one row. A sheet holds at most MaxRows rows,
// its title row included; a longer sheet goes on in sheets named "<name> 2", "<name> 3", ...,
// each with the title row again.
//
// Dates and times are real date-time cells (the program's days from 30 December 1899 are the
// spreadsheet's serial dates), shown in the locale's short date and long time; numbers are
// numbers with their decimals.
namespace WorkbookWriter {

// The rows of one sheet in a spreadsheet, the title row among them.
inline constexpr qint64 MaxRows = 1048576;
// The longest sheet name a spreadsheet takes.
inline constexpr int MaxNameLength = 31;

struct Cell
{
    enum class Kind { Empty, Number, DateTime, Date, Time, Text };
    Kind kind = Kind::Empty;
    double value = 0.0; // a number, or days from 30 December 1899
    int decimals = 1; // a number's
    QString text;

    static Cell number(double value, int decimals) { return { Kind::Number, value, decimals, {} }; }
    static Cell dateTime(double days) { return { Kind::DateTime, days, 0, {} }; }
    static Cell date(double days) { return { Kind::Date, days, 0, {} }; }
    static Cell time(double days) { return { Kind::Time, days, 0, {} }; }
    static Cell textCell(const QString &text) { return { Kind::Text, 0.0, 0, text }; }
};

struct Sheet
{
    QString name;
    QStringList titles; // the first row; none when empty
    qint64 rows = 0; // below the titles
    // Fills the cells of row r (from 0, below the titles); cells is cleared before each row.
    std::function<void(qint64 r, std::vector<Cell> &cells)> row;
    std::vector<double> widths; // characters, per column; the rest keep the default
};

// One sheet of the workbook that a long sheet becomes: its name and its rows.
struct Part
{
    QString name;
    qint64 first = 0;
    qint64 rows = 0;
    bool operator==(const Part &) const = default;
};
// How a sheet of `rows` rows below `titles` title rows (0 or 1) is split into sheets of at most
// MaxRows rows each: always at least one sheet, the first under its own name.
std::vector<Part> parts(const QString &name, qint64 rows, int titles = 1);

// Excel's form of a date-time format in Qt's form ("M/d/yy h:mm:ss AP" gives
// "m/d/yy h:mm:ss AM/PM"): the time zone and milliseconds dropped, other text quoted.
QString spreadsheetFormat(const QString &qtFormat);

// Writes the sheets to fileName: first to a new file beside it, which then takes its name, so
// that a failed write leaves any earlier file as it was. An empty string, or "Cannot write file
// "%1". %2" with the reason.
QString write(const QString &fileName, const std::vector<Sheet> &sheets, const QLocale &locale);

} // namespace WorkbookWriter
