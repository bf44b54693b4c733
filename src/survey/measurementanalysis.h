#pragma once

#include "survey/surveydetails.h"

#include <QColor>
#include <QString>

#include <array>
#include <map>
#include <optional>
#include <vector>

// One graph annotation: a cross (type 2) or a text only (type 0) at X (days) and Y (dB).
struct GraphAnnotation
{
    double x = 0.0;
    double y = 0.0;
    int type = 0;
    QString text;
    QColor color = Qt::black;

    bool operator==(const GraphAnnotation &) const = default;
};

// One vertical line annotation (the cursors A and B are lines 0 and 1).
struct VerticalLine
{
    double x = 0.0;
    QString text;
    bool operator==(const VerticalLine &) const = default;
};

// What an interval between cursors A and B stands for. Excluded: an event that does not belong
// to the measurement (a passing lorry, a barking dog), left out of every figure. Specific: the
// sound of the source under assessment. Residual: the place without that source. Specific and
// Residual points stay in the whole graph's figures and have figures of their own.
enum class IntervalCategory { Excluded = 0, Specific = 1, Residual = 2 };

// The category's name as the program shows and stores it: "Excluded", "Specific", "Residual".
QString categoryName(IntervalCategory category);
// The category of a name categoryName gives (case ignored); none for any other text.
std::optional<IntervalCategory> categoryNamed(const QString &name);

// An interval of X (days, both ends included) that the user marked between the cursors, with
// its category and a label saying why. `from` is never after `to`; the label may be empty.
struct ExcludedInterval
{
    double from = 0.0;
    double to = 0.0;
    QString label;
    IntervalCategory category = IntervalCategory::Excluded;
    bool operator==(const ExcludedInterval &) const = default;
};

// How an overlay's own times are laid on the graph's time axis: by the clock (the same time of
// day, moved by whole days onto the graph's date), or by start (the overlay's first point on the
// graph's first).
enum class OverlayAlignment { ClockTime = 0, Start = 1 };

// A second measurement drawn on the graph's axis in its own colour, to compare two surveys:
// a data set, a graph file's first series, or a text file's. Its points keep their own times
// (X in days); `shift` (days) is added to each X to draw it: whole days when aligned by clock
// time.
// It may hold a different number of points from the graph's own series.
struct OverlaySeries
{
    QString label;
    QColor color;
    OverlayAlignment alignment = OverlayAlignment::ClockTime;
    double shift = 0.0; // days
    double interval = 0.0; // seconds between its points, for its T and SEL
    std::vector<double> xs;
    std::vector<float> ys;
    bool operator==(const OverlaySeries &) const = default;
};

// What the user adds to one measurement: the marks, the intervals taken out of the figures, the
// limit, the measurement laid over it, the survey's details and where cursors A and B stand. It
// belongs to that measurement alone: a graph of other data starts without any, and a graph template
// never holds it.
struct MeasurementAnalysis
{
    std::map<int, GraphAnnotation> annotations; // the user's crosses and texts, by index
    // Cursors A and B: vertical lines 0 and 1 (X 0: never placed).
    std::array<VerticalLine, 2> verticalLines {};
    // The marked intervals of every category, in the order the user made them; they may
    // overlap.
    std::vector<ExcludedInterval> exclusions;
    // The limit (dB) the measurement is checked against, drawn as a horizontal line; none when
    // unset.
    std::optional<double> limit;
    // The measurement drawn over this one, if any.
    std::optional<OverlaySeries> overlay;
    // Who, where and with what it was measured, as the "Report" dialog asks for them.
    SurveyDetails details;

    bool operator==(const MeasurementAnalysis &) const = default;

    MeasurementAnalysis &analysis() { return *this; }
    const MeasurementAnalysis &analysis() const { return *this; }
    // The first index of the user's own marks; those below are the program's (the marker of a
    // clicked data point).
    static constexpr int FirstUserMark = 3;
    // True when the user added nothing: no mark, interval, limit, overlay or survey detail (the
    // cursors and the program's own marks aside, which every graph places).
    // An erased mark stays as an empty text and counts as nothing.
    bool holdsNothing() const;
    // Moves everything placed on the time axis by `days`, as when the measurement's start is
    // corrected: marks, intervals and cursors with it, and an overlay laid by start. An overlay
    // laid by clock time is left as it is: its shift is worked out again from the moved points
    // (OverlayPlacement::shiftFor).
    void moveBy(double days);
};
