// Arbitrary bytes as a stored chart block, loaded into a chart that already holds a graph.
// A refused block must leave that chart exactly as it was; an accepted one must save and load
// back to the same chart, bit for bit in its data.

#include "graph/chartblock.h"
#include "graph/chartmodel.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

ChartModel filledChart()
{
    ChartModel chart;
    chart.setSubsets(2);
    chart.setPoints(16);
    for (int i = 0; i < 16; ++i)
        chart.fillPoint(i, 45000.0 + i / 86400.0, i % 5 ? 40.0f + i : ChartModel::NullValue);
    chart.mainTitle = QStringLiteral("Fuzz");
    chart.subsetLabels = { QStringLiteral("SPL"), QStringLiteral("Leq") };
    chart.subsetColors = { Qt::black, Qt::red };
    chart.annotations[5] = { 45000.0, 60.0, 2, QString(), Qt::yellow };
    chart.verticalLines[0].text = QStringLiteral("A");
    return chart;
}

bool sameBits(const ChartModel &a, const ChartModel &b)
{
    if (a.subsets() != b.subsets() || a.points() != b.points())
        return false;
    if (a.points() == 0)
        return true;
    const auto n = static_cast<std::size_t>(a.points());
    for (int s = 0; s < a.subsets(); ++s)
        if (std::memcmp(a.xs(s).data(), b.xs(s).data(), n * sizeof(double)) != 0
            || std::memcmp(a.ys(s).data(), b.ys(s).data(), n * sizeof(float)) != 0)
            return false;
    return true;
}

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
    return std::isnan(chart.xScale.min) || std::isnan(chart.xScale.max)
        || std::isnan(chart.yScale.min) || std::isnan(chart.yScale.max);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const ChartModel original = filledChart();
    const QByteArray block(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    ChartModel chart = original;
    QString error;
    if (!ChartBlock::load(block, chart, &error)) {
        if (error.isEmpty() || !(chart == original) || !sameBits(chart, original)
            || chart.dataRevision() != original.dataRevision())
            std::abort();
        return 0;
    }

    const QByteArray saved = ChartBlock::save(chart);
    ChartModel reloaded;
    if (!ChartBlock::load(saved, reloaded, &error))
        std::abort();
    if (!sameBits(reloaded, chart) || ChartBlock::save(reloaded) != saved)
        std::abort();
    if (!hasNaN(chart) && !(reloaded == chart))
        std::abort();
    return 0;
}
