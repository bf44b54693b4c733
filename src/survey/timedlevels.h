#pragma once

#include <QtGlobal>

#include <vector>

class Measurement;

// The valid points of subset 0 of a chart in time order, for figures over clock intervals
// (periods, the day, evening and night): each point's time in whole milliseconds of the wall
// clock counted from 30 December 1899 (X rounded to the millisecond once, so a point written as
// 10:15:00 lies at 10:15:00.000 exactly) and its level. Valid means as the acoustic figures
// count it: finite, not the null value, not 0, in no excluded interval.
//
// X counts wall-clock time (see DateTimeDays), so a day is always 86,400,000 ms here, whatever
// the time zone does that day. Points stored out of time order are sorted (stably, so points at
// the same millisecond keep their order).
struct TimedLevels
{
    std::vector<qint64> ms;
    std::vector<float> levels;
    // Valid levels whose X names no date-time (not finite, or beyond the years a date holds):
    // they have no place on the clock and are left out, and counted here so that a caller can
    // say so.
    long long unplaced = 0;

    static TimedLevels of(const Measurement &chart);
};

// x / y rounded down, for a positive y.
constexpr qint64 floorDivide(qint64 x, qint64 y)
{
    return x / y - ((x % y) < 0 ? 1 : 0);
}
