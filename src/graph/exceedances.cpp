#include "graph/exceedances.h"

#include "graph/acousticfigures.h"
#include "graph/chartmodel.h"
#include "graph/excludedintervals.h"

#include <algorithm>
#include <cmath>
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
            // A run needs only its Leq and Lmax: one pass with the energies looked up.
            double sum = 0.0;
            float lmax = ys[i];
            for (std::size_t k = i; k < end; ++k) {
                sum += AcousticFigures::energyOf(ys[k]);
                lmax = std::max(lmax, ys[k]);
            }
            Run run;
            run.start = xs[i];
            run.n = static_cast<long long>(end - i);
            if (timed)
                run.seconds = double(run.n) * *intervalSeconds;
            run.lmax = lmax;
            const double leq = 10.0 * std::log10(sum / double(run.n));
            run.leq = std::isfinite(leq) ? leq : 0.0;
            result.runs.push_back(run);
            totalPoints += run.n;
            i = end;
        }
    }
    if (timed)
        result.totalSeconds = double(totalPoints) * *intervalSeconds;
    return result;
}

} // namespace Exceedances
