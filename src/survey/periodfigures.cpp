#include "survey/periodfigures.h"

#include "base/datetimedays.h"
#include "survey/acousticfigures.h"
#include "survey/timedlevels.h"

#include <algorithm>
#include <span>

namespace PeriodFigures {

namespace {

// Where L10 and L90 sit in Figures::percentiles.
constexpr std::size_t L10 = 1;
constexpr std::size_t L90 = 3;

} // namespace

double Row::startDays() const
{
    return double(startMs) / double(DateTimeDays::MsPerDay);
}

std::optional<double> coveragePercent(long long n, std::optional<double> intervalSeconds,
                                      double periodSeconds)
{
    if (n == 0)
        return 0.0;
    if (!intervalSeconds || !(*intervalSeconds > 0.0) || !(periodSeconds > 0.0))
        return std::nullopt;
    return 100.0 * std::min(periodSeconds, double(n) * *intervalSeconds) / periodSeconds;
}

Result periods(const Measurement &chart, int periodSeconds, std::optional<double> intervalSeconds)
{
    Result result;
    if (periodSeconds < 1 || periodSeconds > MaxPeriodSeconds)
        return result;
    const TimedLevels points = TimedLevels::of(chart);
    result.unplaced = points.unplaced;
    if (points.ms.empty())
        return result;

    // Periods are numbered across days: day d's k-th period is d * perDay + k.
    const qint64 periodMs = qint64(periodSeconds) * 1000;
    const qint64 perDay = (DateTimeDays::MsPerDay + periodMs - 1) / periodMs;
    const auto numberOf = [&](qint64 ms) {
        const qint64 day = floorDivide(ms, DateTimeDays::MsPerDay);
        return day * perDay + (ms - day * DateTimeDays::MsPerDay) / periodMs;
    };
    const qint64 first = numberOf(points.ms.front());
    const qint64 last = numberOf(points.ms.back());
    if (last - first + 1 > MaxRows) {
        result.refusedRows = last - first + 1;
        return result;
    }

    result.rows.resize(std::size_t(last - first + 1));
    for (qint64 number = first; number <= last; ++number) {
        const qint64 day = floorDivide(number, perDay);
        Row &row = result.rows[std::size_t(number - first)];
        row.startMs = day * DateTimeDays::MsPerDay + (number - day * perDay) * periodMs;
        row.coverage = 0.0;
    }
    const std::span<const float> levels(points.levels);
    std::size_t from = 0;
    while (from < levels.size()) {
        const qint64 number = numberOf(points.ms[from]);
        Row &row = result.rows[std::size_t(number - first)];
        // The period ends P later, or at midnight for a day's shorter last period.
        const qint64 midnight
            = (floorDivide(row.startMs, DateTimeDays::MsPerDay) + 1) * DateTimeDays::MsPerDay;
        const qint64 end = std::min(row.startMs + periodMs, midnight);
        std::size_t to = from + 1;
        while (to < levels.size() && points.ms[to] < end)
            ++to;
        const AcousticFigures::Figures f
            = AcousticFigures::fromValidLevels(levels.subspan(from, to - from), std::nullopt);
        row.n = f.n;
        row.leq = f.leq;
        row.lmax = f.lmax;
        row.l10 = f.percentiles[L10];
        row.l90 = f.percentiles[L90];
        row.coverage = coveragePercent(f.n, intervalSeconds, double(end - row.startMs) / 1000.0);
        from = to;
    }
    return result;
}

} // namespace PeriodFigures
