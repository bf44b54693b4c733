#pragma once

// What the chart block targets share: the chart a block is loaded into, and a bit-for-bit
// comparison of chart data, the overlay's included (operator== cannot tell a NaN from itself).

#include "chart/chartmodel.h"

#include <cstring>
#include <vector>

namespace ChartFixture {

// A chart that already holds a graph: two subsets with a null point every fifth point, titles,
// an annotation, a cursor label, an excluded interval, a limit and an overlay.
inline ChartModel filledChart()
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
    chart.exclusions = { { 45000.0 + 2 / 86400.0, 45000.0 + 4 / 86400.0, QStringLiteral("door") } };
    chart.limit = 55.0;
    chart.overlay = OverlaySeries { QStringLiteral("before"), Qt::blue, OverlayAlignment::Start,
                                    1.0, 1.0, { 44999.0, 44999.0 + 1 / 86400.0 }, { 50.0f, 52.0f } };
    return chart;
}

template<typename T> bool sameArrayBits(const std::vector<T> &a, const std::vector<T> &b)
{
    return a.size() == b.size()
        && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

inline bool sameBits(const ChartModel &a, const ChartModel &b)
{
    if (a.subsets() != b.subsets() || a.points() != b.points())
        return false;
    if (a.overlay.has_value() != b.overlay.has_value())
        return false;
    if (a.overlay
        && (!sameArrayBits(a.overlay->xs, b.overlay->xs)
            || !sameArrayBits(a.overlay->ys, b.overlay->ys)))
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

// True when chart is exactly original: its data bit for bit, its look, its data revision.
// original must hold no NaN.
inline bool unchanged(const ChartModel &chart, const ChartModel &original)
{
    return chart == original && sameBits(chart, original)
        && chart.dataRevision() == original.dataRevision();
}

} // namespace ChartFixture
