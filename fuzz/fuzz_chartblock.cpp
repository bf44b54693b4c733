// Arbitrary bytes as a stored chart block, loaded into a chart that already holds a graph.
// A refused block must leave that chart exactly as it was; an accepted one must save and load
// back to the same chart, bit for bit in its data, and be saved in the oldest version that
// holds it: 5 with survey details, else 4 with a Specific or Residual interval, else 3 with a
// limit or an overlay, else 2 with excluded intervals, else 1.

#include "chart/chartblock.h"
#include "chart/chartmodel.h"
#include "chartfixture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// NaN never equals itself, so operator== can only be asked of charts without one.
bool hasNaN(const ChartModel &chart)
{
    for (int s = 0; s < chart.subsets(); ++s) {
        for (const double x : chart.xs(s))
            if (std::isnan(x))
                return true;
        for (const float y : chart.ys(s))
            if (std::isnan(y))
                return true;
    }
    for (const auto &[index, a] : chart.annotations)
        if (std::isnan(a.x) || std::isnan(a.y))
            return true;
    for (const VerticalLine &line : chart.verticalLines)
        if (std::isnan(line.x))
            return true;
    if (chart.overlay) {
        for (const double x : chart.overlay->xs)
            if (std::isnan(x))
                return true;
        for (const float y : chart.overlay->ys)
            if (std::isnan(y))
                return true;
    }
    return std::isnan(chart.xScale.min) || std::isnan(chart.xScale.max)
        || std::isnan(chart.yScale.min) || std::isnan(chart.yScale.max);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const ChartModel original = ChartFixture::filledChart();
    const QByteArray block(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    ChartModel chart = original;
    QString error;
    if (!ChartBlock::load(block, chart, &error)) {
        if (error.isEmpty() || !ChartFixture::unchanged(chart, original))
            std::abort();
        return 0;
    }

    const QByteArray saved = ChartBlock::save(chart);
    const bool categories = std::any_of(
        chart.exclusions.begin(), chart.exclusions.end(),
        [](const ExcludedInterval &e) { return e.category != IntervalCategory::Excluded; });
    const int version = !chart.details.isEmpty() ? 5
        : categories                             ? 4
        : (chart.limit || chart.overlay)         ? 3
        : chart.exclusions.empty()               ? 1
                                                 : 2;
    if (saved.size() < 6 || saved.at(4) != version || saved.at(5) != 0)
        std::abort();
    ChartModel reloaded;
    if (!ChartBlock::load(saved, reloaded, &error))
        std::abort();
    if (!ChartFixture::sameBits(reloaded, chart) || ChartBlock::save(reloaded) != saved)
        std::abort();
    if (!hasNaN(chart) && !(reloaded == chart))
        std::abort();
    return 0;
}
