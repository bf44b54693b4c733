#include "graph/exceedances.h"

#include "graph/acousticfigures.h"
#include "graph/chartmodel.h"
#include "graph/excludedintervals.h"

#include <span>

namespace Exceedances {

Result of(const ChartModel &chart, double limit, std::optional<double> intervalSeconds)
{
    Result result;
    const bool timed = intervalSeconds && *intervalSeconds > 0.0;
    long long totalPoints = 0;
    if (chart.subsets() > 0 && chart.points() > 0) {
        const std::vector<ExcludedInterval> merged = ExcludedIntervals::merged(chart.exclusions);
        const std::vector<double> &xs = chart.xs(0);
        const std::span<const float> ys(chart.ys(0));
        const auto above = [&](std::size_t i) {
            // The comparison first: most points of a survey lie below its limit.
            return double(ys[i]) > limit && AcousticFigures::isValidLevel(ys[i])
                && (merged.empty() || !ExcludedIntervals::containsMerged(merged, xs[i]));
        };
        std::size_t i = 0;
        while (i < ys.size()) {
            if (!above(i)) {
                ++i;
                continue;
            }
            std::size_t end = i + 1;
            while (end < ys.size() && above(end))
                ++end;
            const AcousticFigures::Figures f
                = AcousticFigures::fromValidLevels(ys.subspan(i, end - i), std::nullopt);
            Run run;
            run.start = xs[i];
            run.n = f.n;
            if (timed)
                run.seconds = double(f.n) * *intervalSeconds;
            run.lmax = f.lmax.value_or(0.0);
            run.leq = f.leq.value_or(0.0);
            result.runs.push_back(run);
            totalPoints += f.n;
            i = end;
        }
    }
    if (timed)
        result.totalSeconds = double(totalPoints) * *intervalSeconds;
    return result;
}

} // namespace Exceedances
