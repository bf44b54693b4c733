#pragma once

#include "survey/dayeveningnighthours.h"

#include <QDate>

#include <array>
#include <optional>
#include <vector>

class Measurement;

// The day-evening-night level of each calendar day of a chart's subset 0, for the parts' hours
// (DayEveningNightHours; 07-19-23 unless the user chose others):
//
//   day      07:00 to 19:00, Lday its valid points' Leq
//   evening  19:00 to 23:00, Levening
//   night    23:00 to 07:00, Lnight; a night belongs to the day on which it starts, so a point
//            at 02:00 on the 10th counts in the 9th's night
//   Lden     10 log10((12 x 10^(Lday/10) + 4 x 10^((Levening + 5)/10)
//                      + 8 x 10^((Lnight + 10)/10)) / 24), only when all three parts have points;
//            the weights are the parts' nominal hours, and without an evening it is Ldn,
//            10 log10((Hd x 10^(Lday/10) + Hn x 10^((Lnight + 10)/10)) / 24)
//
// Each part starts at its hour (a point at 19:00:00.000 is in the evening) and the Leq is the
// acoustic figures' (AcousticFigures). The hours are the wall clock the chart's X values count,
// so a day on which the clocks change keeps the weights of the formula: its hours are read off
// the clock, not counted. A part's coverage is as a period's (PeriodFigures) with P its nominal
// hours x 3600 s. A day is listed when any of its parts has points, in date order.
namespace DayNightLevels {

enum Part { Day = 0, Evening = 1, Night = 2 };

struct Row
{
    QDate date;
    std::array<long long, 3> n {}; // valid points of each part
    std::array<std::optional<double>, 3> leq; // Lday, Levening, Lnight
    std::optional<double> lden; // Ldn without an evening
    // Percent; the evening's none without an evening.
    std::array<std::optional<double>, 3> coverage;

    bool operator==(const Row &) const = default;
};

struct Result
{
    std::vector<Row> rows;
    // Valid points whose X names no date-time, left out.
    long long unplaced = 0;
};

// The days with the parts' hours, dt intervalSeconds for the coverage.
Result days(const Measurement &chart, const DayEveningNightHours &hours,
            std::optional<double> intervalSeconds);

} // namespace DayNightLevels
