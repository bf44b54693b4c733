#pragma once

class ChartModel;
struct LoggerData;

// A data set drawn as a chart, as the "DataLogger" window and audexa-cli show it: its
// readings over its time span, Y from 30 to 130 dB, the level axis titled by its weighting and
// response.
namespace DataSetChart {

struct Span
{
    double start = 0.0; // days
    double end = 0.0;
    int count = 0;
};
// The X range of set `set` (from 0): its readings' span, or a minute when it has none.
Span span(const LoggerData &data, int set);
// Writes the set's readings as subset 0 of a chart already reset to span(data, set).count
// points, and the level axis title.
void fillSeries(ChartModel &chart, const LoggerData &data, int set);
// The whole data part: the reset to the span, then the series.
void draw(ChartModel &chart, const LoggerData &data, int set);

} // namespace DataSetChart
