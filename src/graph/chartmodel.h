#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

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

// An interval of X (days, both ends included) that the user took out of the acoustic figures:
// an event that does not belong to the measurement, a passing lorry or a barking dog. `from` is
// never after `to`; the label may be empty.
struct ExcludedInterval
{
    double from = 0.0;
    double to = 0.0;
    QString label;
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

struct AxisScale
{
    bool manual = false;
    double min = 0.0;
    double max = 0.0;
    bool operator==(const AxisScale &) const = default;
};

enum class GridStyle { Dot = 0, Dash = 1, Solid = 2, None = 3 };
enum class ViewingStyle { Color = 0, Monochrome = 1 };
// Line types of a subset: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot.
enum class LineType { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4 };

// The whole state of one chart: its series, scales, annotations and look. The chart widget
// draws it, the graph file stores it, the statistics read it. A chart holds subsets (series)
// of the same number of points; a point has X, a date-time in days, and Y, a level in dB.
// Y = 9999 is the null value: kept in the data, never drawn.
class ChartModel
{
public:
    static constexpr float NullValue = 9999.0f;
    // True for the null value: a point not recorded (yet), or a gap in a recording.
    static bool isNull(float y) { return y == NullValue; }

    int subsets() const { return static_cast<int>(m_x.size()); }
    int points() const { return m_points; }
    // Resizing keeps the values that still fit; new points are X 0 and Y 0.
    void setSubsets(int subsets);
    void setPoints(int points);

    double x(int subset, int point) const;
    float y(int subset, int point) const;
    void setX(int subset, int point, double value);
    void setY(int subset, int point, float value);
    // Writes X and Y of one point in every subset (the "subset -1" form).
    void fillPoint(int point, double xValue, float yValue);
    // Writes a whole series at once; the counts must match the chart's point count.
    void setSeries(int subset, const std::vector<double> &xs, const std::vector<float> &ys);
    const std::vector<double> &xs(int subset) const;
    const std::vector<float> &ys(int subset) const;

    bool isValid(int subset, int point) const
    {
        return subset >= 0 && subset < subsets() && point >= 0 && point < m_points;
    }

    // Scales.
    AxisScale xScale;
    AxisScale yScale;

    // Look.
    QString mainTitle = QStringLiteral("Main Title");
    QString subTitle = QStringLiteral("Sub Title");
    QString xAxisLabel = QStringLiteral("X Axis");
    QString yAxisLabel = QStringLiteral("Y Axis #1");
    QStringList subsetLabels; // index = subset; missing entries are empty
    std::vector<QColor> subsetColors; // missing entries take a default colour
    std::vector<int> subsetLineTypes; // LineType values; missing entries are solid
    QColor yAxisColor = Qt::black;
    GridStyle gridStyle = GridStyle::Dot;
    ViewingStyle viewingStyle = ViewingStyle::Color;
    bool dateTimeX = true; // X values are date-times in days
    int titleFontSize = 12; // points
    int labelFontSize = 9;
    int legendFontSize = 9;

    // Annotations.
    std::map<int, GraphAnnotation> annotations; // by index
    bool showGraphAnnotations = true;
    int graphAnnotationTextSize = 100; // percent
    bool allowGraphAnnotHotSpots = true;
    std::array<VerticalLine, 2> verticalLines {};
    bool showVertLineAnnotations = true;
    bool allowVertLineAnnotHotSpots = true;
    int lineAnnotationTextSize = 100; // percent
    bool allowDataHotSpots = false;

    // Excluded intervals, in the order the user made them; they may overlap. Part of the data:
    // a new series clears them.
    std::vector<ExcludedInterval> exclusions;
    // The limit (dB) the graph is checked against, drawn as a horizontal line; none when unset.
    // A setting of the graph: a new series keeps it.
    std::optional<double> limit;
    // The measurement drawn over this one, if any. Part of the data: a new series clears it.
    std::optional<OverlaySeries> overlay;

    // The colour and line type a subset is drawn with.
    QColor subsetColor(int subset) const;
    int subsetLineType(int subset) const;
    QString subsetLabel(int subset) const { return subsetLabels.value(subset); }

    // Names the state of the data, so a view can tell whether to hand the series over again and
    // the figures whether to work them out again. Every change takes a number no chart has had
    // before, so two charts with the same revision hold the same data (one is a copy).
    quint64 dataRevision() const { return m_revision; }
    // Marks the data as changed.
    quint64 touch();

    bool sameData(const ChartModel &other) const;
    bool sameLook(const ChartModel &other) const;
    bool operator==(const ChartModel &other) const { return sameData(other) && sameLook(other); }

private:
    int m_points = 0;
    std::vector<std::vector<double>> m_x;
    std::vector<std::vector<float>> m_y;
    quint64 m_revision = 0;
};
