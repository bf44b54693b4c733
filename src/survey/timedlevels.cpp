#include "survey/timedlevels.h"

#include "base/datetimedays.h"
#include "survey/acousticfigures.h"
#include "survey/excludedintervals.h"
#include "survey/measurement.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Beyond this many days from 1899 a value names no date (as DateTimeDays has it).
constexpr double MaxDays = 1.0e9;

} // namespace

TimedLevels TimedLevels::of(const Measurement &chart)
{
    TimedLevels out;
    if (chart.subsets() == 0 || chart.points() == 0)
        return out;
    const std::vector<ExcludedInterval> merged = ExcludedIntervals::merged(chart.exclusions);
    const std::vector<double> &xs = chart.xs(0);
    const std::vector<float> &ys = chart.ys(0);
    out.ms.reserve(xs.size());
    out.levels.reserve(xs.size());
    bool ordered = true;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        const float level = ys[i];
        const double x = xs[i];
        if (!AcousticFigures::isValidLevel(level)
            || (!merged.empty() && ExcludedIntervals::containsMerged(merged, x)))
            continue;
        if (!std::isfinite(x) || std::fabs(x) > MaxDays) {
            ++out.unplaced;
            continue;
        }
        const qint64 ms = std::llround(x * double(DateTimeDays::MsPerDay));
        if (!out.ms.empty() && ms < out.ms.back())
            ordered = false;
        out.ms.push_back(ms);
        out.levels.push_back(level);
    }
    if (!ordered) {
        std::vector<std::size_t> order(out.ms.size());
        std::iota(order.begin(), order.end(), std::size_t(0));
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return out.ms[a] < out.ms[b]; });
        std::vector<qint64> ms(order.size());
        std::vector<float> levels(order.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            ms[i] = out.ms[order[i]];
            levels[i] = out.levels[order[i]];
        }
        out.ms = std::move(ms);
        out.levels = std::move(levels);
    }
    return out;
}
