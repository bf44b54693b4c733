#pragma once

#include "survey/measurementanalysis.h"
#include "survey/seriesdata.h"

// One measurement: its points and the analysis the user adds to them. The figures, periods,
// day-night levels, exceedances and overlay placement read a measurement; a chart draws one in
// its look. What the points came from (a recording, a data set, a file) is its GraphSource.
class Measurement : public SeriesData, public MeasurementAnalysis
{
public:
    SeriesData &data() { return *this; }
    const SeriesData &data() const { return *this; }
};
