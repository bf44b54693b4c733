#pragma once

#include "base/celltable.h"
#include "survey/daynightlevels.h"
#include "survey/figureflags.h"
#include "survey/periodfigures.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A table of figures over the clock as the "Periods" window shows it: the periods (Start, N,
// Leq, Lmax, L10, L90, Coverage %) or the days (Date, Lday, Levening, Lnight, Lden, and each
// part's coverage, "Day %", "Evening %", "Night %"; without an evening Date, Lday, Lnight, Ldn,
// Day %, Night %). A figure may be flagged (FigureFlags): a period's figures and coverage when
// its coverage is below the threshold, its L10 and L90 from fewer than 10 points; a day's part
// (its level and coverage) below the threshold, and the day's Lden when any part is.
//
// The first column is the row's time, the others numbers, each column with its own number of
// decimals; a figure that could not be formed is empty. The texts are in the locale the table was
// made with: its short date and long time, its decimal separator.
//
// Sorting is by the values, not the texts: the first column by time, the others numerically,
// empty figures last in either order, rows with equal values in time order.
class FigureTable
{
public:
    struct Row
    {
        double days = 0.0; // the start, in days from 30 December 1899
        std::vector<std::optional<double>> values; // one per column after the first
        quint32 flagged = 0; // bit c: column c's figure is flagged
    };

    // The periods of periodSeconds, and the days' levels for the parts' hours, flagged with a
    // coverage threshold in percent.
    static FigureTable ofPeriods(const std::vector<PeriodFigures::Row> &rows, int periodSeconds,
                                 int coverageThreshold = FigureFlags::DefaultCoverageThreshold,
                                 const QLocale &locale = QLocale::system());
    static FigureTable ofDays(const std::vector<DayNightLevels::Row> &rows,
                              const DayEveningNightHours &hours = {},
                              int coverageThreshold = FigureFlags::DefaultCoverageThreshold,
                              const QLocale &locale = QLocale::system());

    int rowCount() const { return int(m_rows.size()); }
    int columnCount() const { return int(m_titles.size()); }
    const QStringList &titles() const { return m_titles; }
    const Row &row(int row) const { return m_rows[std::size_t(row)]; }
    // The text of a cell, as shown; empty outside the table.
    QString text(int row, int column) const;
    // Where a row ends (the start of the next period, or of the next day); for a period that
    // reaches past midnight, midnight, where the periods start again.
    double endDays(int row) const;
    // Why a cell's figure is flagged, for its tooltip; empty when it is not.
    QString flagReason(int row, int column) const;
    bool isFlagged(int row, int column) const;

    // Sorts by a column, in ascending or descending order.
    void sort(int column, bool ascending);
    int sortColumn() const { return m_sortColumn; }
    bool sortAscending() const { return m_ascending; }

    // The title line and the given rows (all rows when none are given), in the order shown,
    // fields separated by tabs, each line ending in a line feed: for the clipboard.
    QString copyText(const std::vector<int> &rows = {}) const;
    // The table as a table window holds it, for saving as text: titles in row 0, the row's
    // number in column 0, the texts shown from column 1.
    CellTable cellTable() const;

private:
    enum class Kind { Periods, Days };
    FigureTable(Kind kind, QStringList titles, std::vector<int> decimals, const QLocale &locale);
    void applySort();

    Kind m_kind;
    QStringList m_titles;
    std::vector<int> m_decimals; // per column after the first
    QLocale m_locale;
    QString m_dateFormat;
    QString m_dateTimeFormat;
    int m_periodSeconds = 0;
    int m_threshold = FigureFlags::DefaultCoverageThreshold;
    std::vector<int> m_parts; // the days' parts shown, in order (DayNightLevels::Part)
    std::vector<Row> m_rows;
    int m_sortColumn = 0;
    bool m_ascending = true;
};
