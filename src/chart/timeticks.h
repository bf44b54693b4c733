#pragma once

#include <QLocale>
#include <QString>

#include <vector>

// Where a time axis puts its ticks and what they say. Ticks stand at round times, whole
// multiples of a step counted from midnight (1, 2, 5, 10, 15 and 30 seconds; 1, 2, 5, 10, 15 and
// 30 minutes; 1, 2, 3, 6 and 12 hours; 1, 2 and 7 days), and every label shows its tick's time
// exactly: with seconds while the step is below a minute, to the minute below a day, the date
// from a day on, and the date under the time once the axis spans more than a day.
// Times are seconds of local wall-clock time, as the chart's axis counts them.
namespace TimeTicks {

// The step of the ladder that gives nearest `ticks` ticks over the span.
double stepFor(double spanSeconds, int ticks);
// The ticks from lower to upper, both included where they fall on a tick.
std::vector<double> ticks(double lower, double upper, double step);
// The Qt format of the labels for a step and the span of the axis, in the locale's formats.
QString labelFormat(double step, double spanSeconds, const QLocale &locale);

} // namespace TimeTicks
