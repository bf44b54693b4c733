#pragma once

#include "files/datetimefields.h"

#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// How a text file of readings is laid out, decided once from its first lines (up to
// SampleLines) and then held for the whole file, so that a date such as 03/04/26 never
// changes its meaning half way: the separator (the one its name implies, a semicolon, or the
// other of tab and comma), the way its dates and times are written, whether its first line is
// a header (a first line whose date does not read, followed by one that does), and the decimal
// separator of its levels (a point or a comma, whichever they hold; the locale's when they hold
// neither). The layout that reads the most lines wins, the program's own first: its own text
// files read exactly as it wrote them. When day-month and month-day both read as many lines,
// the locale's order is taken and the choice is marked ambiguous. A file where no date reads
// keeps the separator its name implies and is taken line by line as it stands.
struct TableFormat
{
    static constexpr int SampleLines = 1000;

    QChar separator;
    std::optional<DateTimeFields> dates; // none: no line's date reads
    bool ambiguous = false; // day-month and month-day both read every line looked at
    DateTimeFields::Order order = DateTimeFields::Order::YearMonthDay; // of the dates read
    bool header = false;
    QChar decimal; // of the file's levels

    // lines: the first lines after any comment lines, each cut as it will be stored.
    static TableFormat decide(const QStringList &lines, QChar preferred, const QLocale &locale);

    // What the table says about an ambiguous date order ("Dates read as day/month/year: ..."),
    // empty when the order is certain.
    QString orderNote() const;
};
