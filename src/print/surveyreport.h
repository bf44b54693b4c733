#pragma once

#include "print/reportsections.h"
#include "survey/acousticfigures.h"
#include "survey/dayeveningnighthours.h"
#include "survey/daynightlevels.h"
#include "survey/exceedances.h"
#include "survey/figureflags.h"
#include "survey/leveldistribution.h"
#include "survey/periodfigures.h"
#include "survey/surveydetails.h"

#include <QDateTime>
#include <QLocale>
#include <QPageSize>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class ChartModel;
class QPainter;
class QRectF;
struct GraphSource;

// "Report...": a survey report of a graph, as a PDF file or as an OpenDocument text (".odt") to
// edit. Its first page holds the title, when the report was made and where the graph came from,
// the user's note, the survey's details (who, where, the instrument and its calibration checks),
// the graph, the acoustic figures and, against a limit, the compliance summary; then, each on as
// many pages as it needs, the periods, the days' Lden, the exceedances, the distribution, the
// intervals, the annotations, the overlay and how the figures were worked out. The user chooses
// the sections; one with nothing in it is left out. Long tables repeat their header row on each
// page; every PDF page has the project and its number in a footer.
namespace SurveyReport {

struct Cursor
{
    QString level; // as the cursor panel shows it, without a unit; empty at a null point
    QString time; // empty where the cursor stands on no recorded point
};

struct Annotation
{
    QString time;
    QString text; // empty for a cross without a text
};

struct Exclusion
{
    QString from, to;
    QString label;
    IntervalCategory category = IntervalCategory::Excluded;
};

// The measurement laid over the graph, as the report describes it.
struct Overlay
{
    QString label;
    QString alignment; // "by clock time" or "by start"
    QString shift; // how far its times were moved, in the locale
    QString kindWarning; // how its weighting or response differs from the graph's; empty if not
    AcousticFigures::Figures figures;
    std::optional<double> interval; // seconds between its points
};

struct Contents
{
    QString title;
    QString note; // the user's free text; line breaks are kept
    QDateTime made; // when the report was made
    std::vector<QString> sourceLines; // GraphSource::describe
    AcousticFigures::Figures whole, between;
    // The figures of the points in the Specific and in the Residual intervals, while the graph
    // has an interval of that category.
    std::optional<AcousticFigures::Figures> specific, residual;
    Cursor cursorA, cursorB;
    std::vector<Annotation> annotations; // in index order
    std::vector<Exclusion> exclusions; // in the order they were made
    SurveyDetails details;
    ReportSections::Set sections = ReportSections::all();

    // The rules the periods and days are worked out with (set before describeChart).
    int periodSeconds = 900;
    DayEveningNightHours hours;
    int coverageThreshold = FigureFlags::DefaultCoverageThreshold;
    // The limit the graph is checked against; describeChart takes the graph's own unless one is
    // set before.
    std::optional<double> limit;

    // Filled by describeChart.
    // The figures of every valid point, the excluded ones included, while some are excluded.
    std::optional<AcousticFigures::Figures> withExcluded;
    std::optional<double> interval; // dt, seconds
    std::vector<PeriodFigures::Row> periods;
    long long refusedPeriods = 0; // more periods than a table holds: none listed
    std::vector<DayNightLevels::Row> days;
    Exceedances::Result exceedances; // against the limit, when there is one
    LevelDistribution::Result distribution; // of the whole graph, 1 dB classes
    std::optional<Overlay> overlay;
    std::vector<QString> methodLines;

    QLocale locale = QLocale::system(); // numbers, dates and the paper size
    // Draws the graph into a rectangle of the page (vector, in the painter's device pixels);
    // without it the rectangle stays empty.
    std::function<void(QPainter &, const QRectF &)> drawGraph;
};

// Fills the source lines, the annotations, the intervals, the Specific and Residual figures,
// the periods, days, exceedances, distribution, overlay and method lines of `contents` from a
// chart and where it came from, times in the contents' locale. The title, note, details, whole
// and A-B figures and cursors are the caller's.
void describeChart(Contents &contents, const ChartModel &chart, const GraphSource &source);

// A date-time in days as the report shows it: the locale's short date and long time, whole
// seconds. Empty for a value that names no date-time.
QString dateTimeText(double days, const QLocale &locale);

// Letter where the locale measures in US units, A4 everywhere else.
QPageSize::PageSizeId paperOf(const QLocale &locale);

// Writes the report through a save file, so that a failed write leaves an earlier file
// untouched: an OpenDocument text for a name ending in ".odt", a PDF file for any other. Empty
// on success, otherwise the message to show.
QString write(const Contents &contents, const QString &fileName);

} // namespace SurveyReport
