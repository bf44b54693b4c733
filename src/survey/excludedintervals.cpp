#include "survey/excludedintervals.h"

#include <algorithm>
#include <cmath>

namespace ExcludedIntervals {

void add(Measurement &chart, double a, double b, const QString &label, IntervalCategory category)
{
    if (const ExcludedInterval *same = withEnds(chart, a, b)) {
        ExcludedInterval &changed = chart.exclusions[std::size_t(same - chart.exclusions.data())];
        changed.label = label;
        changed.category = category;
        return;
    }
    chart.exclusions.push_back({ std::min(a, b), std::max(a, b), label, category });
}

const ExcludedInterval *withEnds(const Measurement &chart, double a, double b)
{
    const auto &all = chart.exclusions;
    const auto found = std::find_if(all.rbegin(), all.rend(), [&](const ExcludedInterval &e) {
        return e.from == std::min(a, b) && e.to == std::max(a, b);
    });
    return found == all.rend() ? nullptr : &*found;
}

bool removeAt(Measurement &chart, double x)
{
    auto &all = chart.exclusions;
    const auto found = std::find_if(all.rbegin(), all.rend(), [x](const ExcludedInterval &e) {
        return e.from <= x && x <= e.to;
    });
    if (found == all.rend())
        return false;
    all.erase(std::next(found).base());
    return true;
}

std::vector<ExcludedInterval> merged(const std::vector<ExcludedInterval> &intervals,
                                     IntervalCategory category)
{
    std::vector<ExcludedInterval> sorted;
    sorted.reserve(intervals.size());
    for (const ExcludedInterval &e : intervals)
        if (e.category == category && std::isfinite(e.from) && std::isfinite(e.to))
            sorted.push_back({ std::min(e.from, e.to), std::max(e.from, e.to), QString() });
    std::sort(sorted.begin(), sorted.end(),
              [](const ExcludedInterval &l, const ExcludedInterval &r) { return l.from < r.from; });
    std::vector<ExcludedInterval> joined;
    for (const ExcludedInterval &e : sorted) {
        if (!joined.empty() && e.from <= joined.back().to)
            joined.back().to = std::max(joined.back().to, e.to);
        else
            joined.push_back(e);
    }
    return joined;
}

bool holdsCategory(const std::vector<ExcludedInterval> &intervals, IntervalCategory category)
{
    return std::any_of(intervals.begin(), intervals.end(),
                       [category](const ExcludedInterval &e) { return e.category == category; });
}

bool containsMerged(const std::vector<ExcludedInterval> &merged, double x)
{
    const auto after
        = std::upper_bound(merged.begin(), merged.end(), x,
                           [](double value, const ExcludedInterval &e) { return value < e.from; });
    return after != merged.begin() && x <= std::prev(after)->to;
}

} // namespace ExcludedIntervals
