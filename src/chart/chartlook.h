#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <vector>

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

// How a chart looks, whatever it shows: titles, labels, colours, line types, grid, fonts, the
// scales' settings and how marks and cursor lines are drawn. It is what the graph template
// keeps and gives every new graph.
struct ChartLook
{
    // Scales.
    AxisScale xScale;
    AxisScale yScale;

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

    // How the marks and the cursor lines are drawn and whether they answer the mouse.
    bool showGraphAnnotations = true;
    int graphAnnotationTextSize = 100; // percent
    bool allowGraphAnnotHotSpots = true;
    bool showVertLineAnnotations = true;
    bool allowVertLineAnnotHotSpots = true;
    int lineAnnotationTextSize = 100; // percent
    bool allowDataHotSpots = false;

    bool operator==(const ChartLook &) const = default;

    ChartLook &look() { return *this; }
    const ChartLook &look() const { return *this; }

    // The colour and line type a subset is drawn with.
    QColor subsetColor(int subset) const;
    int subsetLineType(int subset) const;
    QString subsetLabel(int subset) const { return subsetLabels.value(subset); }
};
