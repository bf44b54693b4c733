#pragma once

#include <QString>

#include <vector>

class ChartModel;
class FloatingPointOption;

// The statistics every graph window shows for its first subset: the whole-graph figures above
// the chart, the figures at and between cursors A and B below it, the text "Export Statistic"
// puts on the clipboard, and the cumulative Leq of "CAL Leq". Levels are shown with one decimal.
namespace GraphStatistics {

// A level with one decimal in the user's decimal separator.
QString levelText(double level);

struct Whole
{
    QString startTime; // txtStartTime
    QString samplingRate; // txtSamplingRate, seconds
    QString dataNo; // txtDataNo
    QString avgAll; // txtAvgAll; empty when the average cannot be computed
    QString max, maxTime; // txtMax, txtMaxTime
    QString min, minTime; // txtMin, txtMinTime
    int maxIndex = -1;
    int minIndex = -1;
    // The cursor slider: 0 to n - 1, thumbs at n div 3 and 2n div 3.
    int sliderMaximum = 0;
    int value1 = 0;
    int value2 = 0;
};

// The whole-graph figures of subset 0. The first of equal maxima (minima) wins.
Whole whole(const ChartModel &chart, const FloatingPointOption &floatingPoint);

struct Cursor
{
    QString level; // txtCursorA / txtCursorB
    QString time; // txtCursorATime / txtCursorBTime
    double lineX = 0.0; // where the cursor's line stands (the point's X, unrounded)
    QString lineText; // "|t" + time of day + "\n" + level + "dB"
};

// The cursor at point index.
Cursor cursor(const ChartModel &chart, int index);

struct Between
{
    QString maxAB, maxABTime;
    QString minAB, minABTime;
    QString avgAB; // empty when the average cannot be computed
};

// The figures between two cursors, in either order, both included.
Between between(const ChartModel &chart, int indexA, int indexB,
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

// The cumulative equivalent continuous level after each point: Leq(1) = L1 and
// Leq(k) = 10 log10((k-1)/k 10^(Leq(k-1)/10) + 1/k 10^(Lk/10)); a step whose arithmetic fails
// keeps the previous Leq (unless the "discard floating error" option passes it on).
std::vector<float> cumulativeLeq(const std::vector<float> &levels,
                                 const FloatingPointOption &floatingPoint);

} // namespace GraphStatistics
