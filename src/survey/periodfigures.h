#pragma once

#include <QtGlobal>

#include <optional>
#include <vector>

class Measurement;

// The figures of a chart's subset 0 period by period, as a noise survey tabulates them: for a
// period of P seconds, the periods start at the clock's multiples of P counted from midnight
// (a 15-minute period at :00, :15, :30 and :45). A period holds the valid points at times t with
// start <= t < start + P, so a point exactly on a boundary belongs to the later period; times are
// compared in whole milliseconds. When P does not divide a day, the multiples start again at
// every midnight: the day's last period is shorter and ends at midnight (P = 7 s: 23:59:54 to
// 24:00:00, then 00:00:00 to 00:00:07).
//
// The clock is the wall clock the chart's X values count (see DateTimeDays). A day on which the
// clocks change still has 24 hours of periods: on a 23-hour day the hour the clocks skip holds
// no point (unless the meter kept its own clock going) and its periods show N = 0 between
// filled ones; on a 25-hour day the points of the repeated hour carry the same wall-clock times
// and fall into the same periods together.
//
// Each period gives N, Leq, Lmax, L10 and L90 by the acoustic figures' rules (AcousticFigures);
// the periods between the first and the last that hold points are all listed, the empty ones
// with N = 0 and no figures. Its coverage is how much of it was measured: with dt the series'
// interval, covered = min(P, N x dt) seconds and coverage = 100 x covered / P, P the period's
// own length (the shorter last period of a day its own); 0 without a valid point, none when dt
// is not known.
namespace PeriodFigures {

// The longest period: a whole day.
inline constexpr int MaxPeriodSeconds = 86400;
// More periods than this are refused (a 1-second period over some 24 days).
inline constexpr long long MaxRows = 1LL << 21;

struct Row
{
    qint64 startMs = 0; // wall-clock milliseconds from 30 December 1899
    long long n = 0;
    std::optional<double> leq, lmax, l10, l90;
    std::optional<double> coverage; // percent

    double startDays() const;
    bool operator==(const Row &) const = default;
};

struct Result
{
    std::vector<Row> rows;
    // The number of periods the points span, when it is above MaxRows (rows is then empty).
    long long refusedRows = 0;
    // Valid points whose X names no date-time, left out.
    long long unplaced = 0;
};

// The periods of periodSeconds (1 to MaxPeriodSeconds; anything else gives no rows), with dt
// intervalSeconds for their coverage.
Result periods(const Measurement &chart, int periodSeconds, std::optional<double> intervalSeconds);

// 100 x min(P, N x dt) / P for N valid points a dt apart in P seconds: 0 for N = 0, none when
// dt or P is not positive.
std::optional<double> coveragePercent(long long n, std::optional<double> intervalSeconds,
                                      double periodSeconds);

} // namespace PeriodFigures
