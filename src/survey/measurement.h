#pragma once

#include "survey/graphsource.h"
#include "survey/measurementanalysis.h"
#include "survey/seriesdata.h"

// One measurement: its points, where they came from, and the analysis the user adds to them.
// The figures, periods, day-night levels, exceedances and overlay placement read a measurement;
// a chart draws one in its look.
class Measurement : public SeriesData, public MeasurementAnalysis
{
public:
    SeriesData &data() { return *this; }
    const SeriesData &data() const { return *this; }

    // The recording, data set or file the points came from: their interval for the figures and
    // a report's source lines. A stored chart block does not hold it: whoever loads one says
    // where it came from.
    GraphSource source;
};
