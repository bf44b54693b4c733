#pragma once

#include "survey/acousticfigures.h"

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

// "Report...": a one-page PDF survey report of a graph. From the top: the title, the date the
// report was made and where the graph came from, the user's note, the graph across the page,
// then the acoustic figures of the whole graph, between cursors A and B and of the Specific and
// Residual points (while there are such intervals) beside the intervals and the annotations.
// Whatever the contents, it is one page: a note too long for its few lines ends with "…", a list
// too long for the room left ends with "… and N more".
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
    QLocale locale = QLocale::system(); // numbers, dates and the paper size
    // Draws the graph into a rectangle of the page (vector, in the painter's device pixels);
    // without it the rectangle stays empty.
    std::function<void(QPainter &, const QRectF &)> drawGraph;
};

// Fills the source lines, the annotations, the intervals and the Specific and Residual figures
// of `contents` from a chart and where it came from, times in the contents' locale.
void describeChart(Contents &contents, const ChartModel &chart, const GraphSource &source);

// A date-time in days as the report shows it: the locale's short date and long time, whole
// seconds. Empty for a value that names no date-time.
QString dateTimeText(double days, const QLocale &locale);

// Letter where the locale measures in US units, A4 everywhere else.
QPageSize::PageSizeId paperOf(const QLocale &locale);

// Writes the report to a PDF file through a save file, so that a failed write leaves an
// earlier file untouched. Empty on success, otherwise the message to show.
QString write(const Contents &contents, const QString &fileName);

} // namespace SurveyReport
