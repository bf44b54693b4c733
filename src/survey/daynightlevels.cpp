#include "survey/daynightlevels.h"

#include "base/datetimedays.h"
#include "survey/acousticfigures.h"
#include "survey/timedlevels.h"

#include <cmath>
#include <span>

namespace DayNightLevels {

namespace {

constexpr qint64 HourMs = 3600000;
// Counted from 07:00: the day's 12 hours, then the evening's 4, then the night's 8.
constexpr qint64 EveningFrom = 12 * HourMs;
constexpr qint64 NightFrom = 16 * HourMs;

} // namespace

double lden(double lday, double levening, double lnight)
{
    const double sum = 12.0 * std::pow(10.0, lday / 10.0)
        + 4.0 * std::pow(10.0, (levening + 5.0) / 10.0)
        + 8.0 * std::pow(10.0, (lnight + 10.0) / 10.0);
    return 10.0 * std::log10(sum / 24.0);
}

Result days(const Measurement &chart)
{
    Result result;
    const TimedLevels points = TimedLevels::of(chart);
    result.unplaced = points.unplaced;

    // Time counted from 07:00 makes the day's three parts one stretch of 24 hours: key
    // 3 x (day) + part, which only grows along points in time order.
    const auto keyOf = [](qint64 ms) {
        const qint64 shifted = ms - 7 * HourMs;
        const qint64 day = floorDivide(shifted, DateTimeDays::MsPerDay);
        const qint64 into = shifted - day * DateTimeDays::MsPerDay;
        return 3 * day + (into < EveningFrom ? Day : into < NightFrom ? Evening : Night);
    };
    const std::span<const float> levels(points.levels);
    std::size_t from = 0;
    while (from < levels.size()) {
        const qint64 key = keyOf(points.ms[from]);
        std::size_t to = from + 1;
        while (to < levels.size() && keyOf(points.ms[to]) == key)
            ++to;
        const qint64 day = floorDivide(key, 3);
        const QDate date = DateTimeDays::dateOf(double(day));
        if (result.rows.empty() || result.rows.back().date != date)
            result.rows.push_back({ date, {}, {}, {} });
        Row &row = result.rows.back();
        const std::size_t part = std::size_t(key - 3 * day);
        const AcousticFigures::Figures f
            = AcousticFigures::fromValidLevels(levels.subspan(from, to - from), std::nullopt);
        row.n[part] = f.n;
        row.leq[part] = f.leq;
        from = to;
    }
    for (Row &row : result.rows)
        if (row.leq[Day] && row.leq[Evening] && row.leq[Night]) {
            const double value = lden(*row.leq[Day], *row.leq[Evening], *row.leq[Night]);
            if (std::isfinite(value))
                row.lden = value;
        }
    return result;
}

} // namespace DayNightLevels
