#include "survey/overlayplacement.h"

#include "survey/acousticfigures.h"

#include <algorithm>
#include <cmath>

namespace OverlayPlacement {

namespace {

bool recorded(double x)
{
    return std::isfinite(x) && x != 0.0;
}

} // namespace

std::optional<double> firstValidX(const std::vector<double> &xs, const std::vector<float> &ys)
{
    const std::size_t n = std::min(xs.size(), ys.size());
    for (std::size_t i = 0; i < n; ++i)
        if (recorded(xs[i]) && AcousticFigures::isValidLevel(ys[i]))
            return xs[i];
    return std::nullopt;
}

std::optional<double> shiftFor(OverlayAlignment alignment, const Measurement &chart,
                               const std::vector<double> &xs, const std::vector<float> &ys)
{
    const bool byClock = alignment == OverlayAlignment::ClockTime;
    // Without a valid point on either side there is nothing to move it by: by clock time it
    // stays where it was measured.
    const std::optional<double> none = byClock ? std::optional<double>(0.0) : std::nullopt;
    if (chart.subsets() < 1)
        return none;
    const std::optional<double> own = firstValidX(xs, ys);
    const std::optional<double> graph = firstValidX(chart.xs(0), chart.ys(0));
    if (!own || !graph)
        return none;
    // By clock time whole days only, the nearest: X counts days of the wall clock, so the time
    // of day stays as measured, and a night that starts before midnight meets one that starts
    // after it.
    return byClock ? std::round(*graph - *own) : *graph - *own;
}

bool anyPointWithin(const Measurement &chart, std::optional<XRange> shown,
                    const OverlaySeries &overlay)
{
    double from = shown ? shown->from : 0.0;
    double to = shown ? shown->to : 0.0;
    if (!shown || !(to > from)) {
        bool found = false;
        for (int s = 0; s < chart.subsets(); ++s)
            for (const double x : chart.xs(s)) {
                if (!recorded(x))
                    continue;
                from = found ? std::min(from, x) : x;
                to = found ? std::max(to, x) : x;
                found = true;
            }
        if (!found)
            return true; // a graph with nothing on it takes its range from the overlay
    }
    const std::size_t n = std::min(overlay.xs.size(), overlay.ys.size());
    for (std::size_t i = 0; i < n; ++i) {
        const double x = overlay.xs[i] + overlay.shift;
        if (recorded(overlay.xs[i]) && AcousticFigures::isValidLevel(overlay.ys[i]) && x >= from
            && x <= to)
            return true;
    }
    return false;
}

QColor colorBeside(const QColor &seriesColor)
{
    const QColor orangeRed(220, 80, 20);
    return seriesColor.rgb() == orangeRed.rgb() ? QColor(30, 90, 200) : orangeRed;
}

} // namespace OverlayPlacement
