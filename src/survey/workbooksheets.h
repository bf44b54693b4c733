#pragma once

#include "files/workbookwriter.h"
#include "survey/dayeveningnighthours.h"
#include "survey/figureflags.h"

#include <QLocale>
#include <QString>

#include <vector>

class Measurement;
struct GraphSource;

// What a measurement's workbook holds, sheet by sheet:
//   "Readings"     Time (a date-time cell) and the level (a number with one decimal; a null point
//                  an empty cell), one row per point of the first series up to the first X of 0
//                  (where a series has no data yet), going on in "Readings 2", ... past a
//                  sheet's rows
//   "Figures"      the acoustic figures of the whole graph, between cursors A and B, and of the
//                  Specific and Residual intervals where there are any; then the method lines
//   "Periods"      the periods' figures and coverage (FigureTable)
//   "Lden"         the days' levels and coverage
//   "Exceedances"  the runs above the limit and their total, when a limit is set
//   "Details"      where the points came from, weighting and response, interval, time zone and
//                  the program's version, and the survey's details
namespace WorkbookSheets {

struct Options
{
    int periodSeconds = 900;
    DayEveningNightHours hours; // 07-19-23
    int coverageThreshold = FigureFlags::DefaultCoverageThreshold;
    QString version; // the program's, for "Details"
};

// The sheets of a measurement whose points came from source; axisTitle is its level axis's
// title (the weighting and response where the source does not know them). The sheets read the
// measurement as they are written: it must outlive them.
std::vector<WorkbookWriter::Sheet> ofMeasurement(const Measurement &measurement,
                                                 const GraphSource &source,
                                                 const QString &axisTitle, const Options &options,
                                                 const QLocale &locale);

} // namespace WorkbookSheets
