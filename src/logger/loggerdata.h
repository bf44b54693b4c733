#pragma once

#include <QtGlobal>

#include <vector>

// The data sets decoded from the meter's logger memory. Per-set lists have one entry per data
// set (index = set number - 1); levels and levelTimes hold every reading, the sets one after
// another in set order. Date-times are days since 30 December 1899.
//
// Invariants: every per-set list has the same length; levels and levelTimes have the sum of
// setCounts entries; set i's readings begin at setOffset(i); levelTimes[setOffset(i) + k] =
// setStartTimes[i] + k * setIntervals[i] / 86400; every level is 0 or within 20.0 to 140.0 dB.
struct LoggerData
{
    std::vector<double> setStartTimes;
    std::vector<int> setIntervals; // seconds, 0 to 60
    std::vector<int> setCounts;
    std::vector<quint8> setFlags; // bit 0 FAST, bit 1 A weighting, bits 2-3 range
    std::vector<int> setHeaderOffsets;
    std::vector<int> setEndOffsets;
    std::vector<int> setMaxIndex;
    std::vector<int> setMinIndex;
    std::vector<double> setAverages;
    std::vector<float> levels;
    std::vector<double> levelTimes;

    int setCount() const { return static_cast<int>(setCounts.size()); }
    // The position of set i's first reading in levels and levelTimes.
    int setOffset(int i) const;
    // Moves set i to a new start: its start time and the times of its readings, nothing else.
    void changeSetStart(int i, double start);
    // True when every invariant above holds (and every count is at least 0 and every interval
    // within 0 to 60, as the decoder gives them). Times are compared to within 1e-9 day.
    bool invariantsHold() const;

    bool operator==(const LoggerData &) const = default;
};
