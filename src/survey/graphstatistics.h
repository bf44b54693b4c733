#pragma once

#include <QString>

#include <vector>

class Measurement;
class FloatingPointOption;

// The statistics every graph window shows for its first subset: the whole-graph figures above
// the chart, the figures at and between cursors A and B below it, the text "Export Statistic"
// puts on the clipboard, and the cumulative Leq of "CAL Leq". Levels are shown with one decimal.
//
// Null points (the null value 9999: not recorded yet, or a gap while the meter was lost) are
// no levels: every figure leaves them out, and a figure without a valid point is empty.
//
// Arithmetic that fails (a result that is not finite, or a floating-point fault) makes no
// figure: the field stays empty and `failed` says so, unless the "discard floating error" option
// is on, which shows the infinity or NaN as it came.
namespace GraphStatistics {

// A level with one decimal in the user's decimal separator, in fixed notation and without
// group separators ("9999.0", never "9,999.0").
QString levelText(double level);

struct Whole
{
    QString startTime; // txtStartTime: the first valid point, rounded to the second
    QString samplingRate; // txtSamplingRate, seconds: the valid span divided by n - 1
    QString dataNo; // txtDataNo: the number of valid points
    QString avgAll; // txtAvgAll
    QString max, maxTime; // txtMax, txtMaxTime
    QString min, minTime; // txtMin, txtMinTime
    int maxIndex = -1;
    int minIndex = -1;
    // The cursor slider over the point indexes: 0 to n - 1, thumbs at n div 3 and 2n div 3.
    int sliderMaximum = 0;
    int value1 = 0;
    int value2 = 0;
    bool failed = false; // the average's arithmetic failed and no figure was made
};

// The whole-graph figures of subset 0. The first of equal maxima (minima) wins.
Whole whole(const Measurement &chart, const FloatingPointOption &floatingPoint);

struct Cursor
{
    QString level; // txtCursorA / txtCursorB; empty at a null point
    QString time; // txtCursorATime / txtCursorBTime; empty at a point never recorded
    double lineX = 0.0; // where the cursor's line stands (the point's X, unrounded)
    QString lineText; // "|t" + time of day + "\n" + level + "dB"
};

// The cursor at point index.
Cursor cursor(const Measurement &chart, int index);

struct Between
{
    QString maxAB, maxABTime;
    QString minAB, minABTime;
    QString avgAB;
    bool failed = false; // the average's arithmetic failed and no figure was made
};

// The figures between two cursors, in either order, both included.
Between between(const Measurement &chart, int indexA, int indexB,
                const FloatingPointOption &floatingPoint);

// The texts of every statistic field, as the export reads them.
struct Fields
{
    QString startTime, samplingRate, dataNo, avgAll, max, maxTime, min, minTime;
    QString cursorA, cursorATime, cursorB, cursorBTime;
    QString maxAB, maxABTime, minAB, minABTime, avgAB;
};

// The eleven lines of "Export Statistic", each ending with "\n".
QString exportText(const Fields &fields);

struct CumulativeLeq
{
    std::vector<float> levels; // one per point; the null value where there is no figure
    bool failed = false;
};

// The cumulative equivalent continuous level after each valid point: with L1 ... Lk the valid
// levels so far, Leq(1) = L1 and Leq(k) = 10 log10((k-1)/k 10^(Leq(k-1)/10) + 1/k 10^(Lk/10)).
// A null point has no figure. When a step's arithmetic fails, that point and every later one
// have none (each would build on the failed one) and `failed` is set; with the "discard floating
// error" option on, the infinity or NaN is passed on instead.
CumulativeLeq cumulativeLeq(const std::vector<float> &levels,
                            const FloatingPointOption &floatingPoint);

// What to tell the user when a figure could not be computed.
QString failureMessage();

} // namespace GraphStatistics
