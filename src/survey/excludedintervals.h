#pragma once

#include "survey/measurement.h"

#include <vector>

// The excluded intervals of a chart: made between two X values, taken out again at a point, and
// joined into disjoint intervals for testing points quickly.
namespace ExcludedIntervals {

// Adds the interval between a and b (either order) with its label, after those already there.
void add(Measurement &chart, double a, double b, const QString &label);

// Removes the most recently added interval that contains x (ends included); false when none
// does.
bool removeAt(Measurement &chart, double x);

// The union of the intervals as disjoint intervals sorted by X, without labels. Intervals that
// overlap or touch (one ends where the next starts) become one. An interval with an end that is
// not a finite number, which neither the block nor the commands make, is left out.
std::vector<ExcludedInterval> merged(const std::vector<ExcludedInterval> &intervals);

// True when x lies in one of the intervals `merged` made (ends included).
bool containsMerged(const std::vector<ExcludedInterval> &merged, double x);

} // namespace ExcludedIntervals
