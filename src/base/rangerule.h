#pragma once

#include <QString>

#include <optional>
#include <utility>

// The range of points or rows a text export writes, as the "Save File" range dialog gives it:
// "All" is 1 to n; otherwise the two limits as integers, by absolute value, swapped when the
// second is smaller, the end cut to n, and a start of 0 taken as 1. A limit that is not an
// integer gives no range.
namespace RangeRule {

struct Range
{
    int from = 1;
    int to = 0;
    bool operator==(const Range &) const = default;
};

std::optional<Range> apply(bool all, const QString &from, const QString &to, int n);

} // namespace RangeRule
