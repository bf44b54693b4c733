#include "survey/daynightlevels.h"

#include "base/datetimedays.h"
#include "survey/acousticfigures.h"
#include "survey/periodfigures.h"
#include "survey/timedlevels.h"

#include <cmath>
#include <span>

namespace DayNightLevels {

namespace {

constexpr qint64 HourMs = 3600000;

} // namespace

Result days(const Measurement &chart, const DayEveningNightHours &hours,
            std::optional<double> intervalSeconds)
{
    Result result;
    const TimedLevels points = TimedLevels::of(chart);
    result.unplaced = points.unplaced;

    // Time counted from the day's start hour makes the day's parts one stretch of 24 hours: key
    // 3 x (day) + part, which only grows along points in time order.
    const qint64 dayFrom = hours.day * HourMs;
    const qint64 eveningFrom = hours.dayHours() * HourMs;
    const qint64 nightFrom = (hours.dayHours() + hours.eveningHours()) * HourMs;
    const auto keyOf = [&](qint64 ms) {
        const qint64 shifted = ms - dayFrom;
        const qint64 day = floorDivide(shifted, DateTimeDays::MsPerDay);
        const qint64 into = shifted - day * DateTimeDays::MsPerDay;
        return 3 * day + (into < eveningFrom ? Day : into < nightFrom ? Evening : Night);
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
            result.rows.push_back({ date, {}, {}, {}, {} });
        Row &row = result.rows.back();
        const std::size_t part = std::size_t(key - 3 * day);
        const AcousticFigures::Figures f
            = AcousticFigures::fromValidLevels(levels.subspan(from, to - from), std::nullopt);
        row.n[part] = f.n;
        row.leq[part] = f.leq;
        from = to;
    }
    const std::array<int, 3> partHours { hours.dayHours(), hours.eveningHours(),
                                         hours.nightHours() };
    for (Row &row : result.rows) {
        for (std::size_t part = 0; part < 3; ++part)
            if (partHours[part] > 0)
                row.coverage[part] = PeriodFigures::coveragePercent(row.n[part], intervalSeconds,
                                                                    partHours[part] * 3600.0);
        if (row.leq[Day] && row.leq[Night] && (row.leq[Evening] || !hours.evening)) {
            const double value
                = hours.level(*row.leq[Day], row.leq[Evening].value_or(0.0), *row.leq[Night]);
            if (std::isfinite(value))
                row.lden = value;
        }
    }
    return result;
}

} // namespace DayNightLevels
