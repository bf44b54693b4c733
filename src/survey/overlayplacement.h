#pragma once

#include "survey/measurement.h"

#include <QColor>
#include <QString>

#include <optional>
#include <vector>

// Laying a second measurement on a graph's time axis. By clock time its points keep their time
// of day and are moved by the whole number of days nearest to the distance between the two
// first valid points (0 for a measurement of the same day), so that two days' surveys compare
// hour by hour; by start
// its first valid point is moved onto the graph's first valid point (shift = the graph's first
// valid X minus its own). Drawn, an overlay point stands at X + shift.
namespace OverlayPlacement {

// The X (days) of the first point that has a recorded X (finite, not 0) and a valid level (as
// the acoustic figures count them); none when no point does.
std::optional<double> firstValidX(const std::vector<double> &xs, const std::vector<float> &ys);

// The shift (days) an alignment gives the points on chart's subset 0; none by start when either
// series has no valid point (0 by clock time).
std::optional<double> shiftFor(OverlayAlignment alignment, const Measurement &chart,
                               const std::vector<double> &xs, const std::vector<float> &ys);

// The X range (days) a graph shows.
struct XRange
{
    double from = 0.0;
    double to = 0.0;
};

// Whether any valid point of the overlay, drawn, falls inside the graph's X range (the range
// shown, its manual X scale, or else the span of its own recorded points).
bool anyPointWithin(const Measurement &chart, std::optional<XRange> shown,
                    const OverlaySeries &overlay);

// The overlay's colour: a fixed orange red, or a blue when the graph's series is drawn in that.
QColor colorBeside(const QColor &seriesColor);

} // namespace OverlayPlacement
