#pragma once

#include "survey/measurement.h"

#include <limits>
#include <vector>

// The marked intervals of a chart (Excluded, Specific, Residual): made between two X values,
// taken out again at a point, and joined into disjoint intervals of one category for testing
// points quickly.
namespace ExcludedIntervals {

// Adds the interval between a and b (either order) with its label and category, after those
// already there. When an interval with those very ends is there already (the most recent one
// if several), it takes the category and label instead: marking the same range again changes
// what it is.
void add(Measurement &chart, double a, double b, const QString &label,
         IntervalCategory category = IntervalCategory::Excluded);

// The interval with the ends a and b (either order), the most recent if several; none when no
// interval has those ends.
const ExcludedInterval *withEnds(const Measurement &chart, double a, double b);

// Removes the most recently added interval of any category that contains x (ends included);
// false when none does.
bool removeAt(Measurement &chart, double x);

// The union of the intervals of one category as disjoint intervals sorted by X, without labels.
// Intervals that overlap or touch (one ends where the next starts) become one. An interval with
// an end that is not a finite number, which neither the block nor the commands make, is left
// out.
std::vector<ExcludedInterval> merged(const std::vector<ExcludedInterval> &intervals,
                                     IntervalCategory category = IntervalCategory::Excluded);

// True when some interval is of that category.
bool holdsCategory(const std::vector<ExcludedInterval> &intervals, IntervalCategory category);

// True when x lies in one of the intervals `merged` made (ends included).
bool containsMerged(const std::vector<ExcludedInterval> &merged, double x);

// containsMerged for points met in time order, in constant time per point: it steps forward
// through the intervals, and looks a point that goes back in time up among all of them.
class Walker
{
public:
    explicit Walker(const std::vector<ExcludedInterval> &merged)
        : m_merged(merged)
    {
    }
    bool contains(double x)
    {
        if (m_merged.empty())
            return false;
        if (!(x >= m_previous))
            return containsMerged(m_merged, x);
        while (m_next < m_merged.size() && m_merged[m_next].to < x)
            ++m_next;
        m_previous = x;
        return m_next < m_merged.size() && m_merged[m_next].from <= x;
    }

private:
    const std::vector<ExcludedInterval> &m_merged;
    std::size_t m_next = 0; // the first interval that does not end before the last point
    double m_previous = -std::numeric_limits<double>::infinity();
};

} // namespace ExcludedIntervals
