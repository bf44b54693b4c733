#pragma once

#include "survey/graphstatistics.h"

struct LoggerData;

// The statistics fields of the "DataLogger" window for one graphed data set, from the figures
// the decoder keeps for every set: its start, interval and count, the level and time of its
// first highest and first lowest reading, its average, and the cursor slider's places. A set
// without readings has a start, a rate and a count of 0, and no other figure.
namespace DataSetFigures {

GraphStatistics::Whole of(const LoggerData &data, int set);

} // namespace DataSetFigures
