#pragma once

#include "chart/chartlook.h"
#include "survey/measurement.h"

// The whole state of one chart: a measurement (its points and the user's analysis of them)
// drawn in a look. The chart widget draws it, the graph file stores all of it, the graph
// template only its look, and the figures read its measurement. Each part has one owner:
// `look()`, `data()` and `analysis()` give them apart, so a command that resets or stores one
// part cannot keep or drop another by accident.
class ChartModel : public ChartLook, public Measurement
{
public:
    // The points and the analysis: what a graph file keeps beyond the look.
    bool sameData(const ChartModel &other) const
    {
        return samePoints(other) && analysis() == other.analysis();
    }
    bool sameLook(const ChartModel &other) const { return look() == other.look(); }
    bool operator==(const ChartModel &other) const { return sameData(other) && sameLook(other); }
};
