#pragma once

#include <optional>

class Measurement;

// Where cursors A and B stand on a measurement when it is shown or reported. One rule for the
// graph window, its report and audexa-cli, so that a graph file gives one "between A and B"
// answer wherever it is read.
namespace CursorPlacement {

struct Indexes
{
    int a = 0;
    int b = 0;
    bool operator==(const Indexes &) const = default;
};

// The point cursor line `line` (0 A, 1 B) stands on: the first point of subset 0 whose X is not
// before the line, when the line lies within the points' span; none for a line never placed or
// outside the data.
std::optional<int> indexOf(const Measurement &measurement, int line);

// The cursors the measurement keeps, when both stand within its points (a graph saved or a data
// set left with its cursors placed); else a third and two thirds of the way (n/3 and 2n/3).
Indexes initial(const Measurement &measurement);

} // namespace CursorPlacement
