#pragma once

#include <optional>
#include <vector>

class ChartModel;

// The exceedances of a limit by a chart's subset 0: a run of consecutive points (in the
// series' order) whose levels are valid and strictly above the limit is one exceedance. A point
// that is not valid (the null value, a reading of 0, not a number, or in an excluded interval)
// ends a run, as does one at or below the limit. An exceedance starts at its first point's X;
// it lasts its number of points times the series' interval dt; its Lmax and Leq are its points'
// (AcousticFigures).
namespace Exceedances {

struct Run
{
    double start = 0.0; // days
    long long n = 0;
    std::optional<double> seconds; // n x dt; none when dt is not known
    double lmax = 0.0;
    double leq = 0.0;

    bool operator==(const Run &) const = default;
};

struct Result
{
    std::vector<Run> runs;
    // The sum of the runs' durations; none when dt is not known.
    std::optional<double> totalSeconds;
};

Result of(const ChartModel &chart, double limit, std::optional<double> intervalSeconds);

} // namespace Exceedances
