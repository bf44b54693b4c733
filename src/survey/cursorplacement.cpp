#include "survey/cursorplacement.h"

#include "survey/measurement.h"

#include <algorithm>

namespace CursorPlacement {

std::optional<int> indexOf(const Measurement &measurement, int line)
{
    if (line < 0 || line > 1 || measurement.subsets() < 1 || measurement.points() < 1)
        return std::nullopt;
    const std::vector<double> &xs = measurement.xs(0);
    const double x = measurement.verticalLines[static_cast<std::size_t>(line)].x;
    if (!(x >= xs.front() && x <= xs.back()))
        return std::nullopt;
    return int(std::lower_bound(xs.begin(), xs.end(), x) - xs.begin());
}

Indexes initial(const Measurement &measurement)
{
    const std::optional<int> a = indexOf(measurement, 0);
    const std::optional<int> b = indexOf(measurement, 1);
    if (a && b)
        return { *a, *b };
    const int n = measurement.subsets() > 0 ? measurement.points() : 0;
    return { n / 3, n * 2 / 3 };
}

} // namespace CursorPlacement
