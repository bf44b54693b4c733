#include "graph/chartmodel.h"

#include <algorithm>
#include <atomic>

namespace {
const std::vector<double> NoX;
const std::vector<float> NoY;

// Colours for subsets that have none of their own.
const QColor DefaultColors[] = { Qt::black,   Qt::red,      Qt::blue,       Qt::darkGreen,
                                 Qt::magenta, Qt::darkCyan, Qt::darkYellow, Qt::gray };
} // namespace

quint64 ChartModel::touch()
{
    static std::atomic<quint64> revisions { 0 };
    m_revision = ++revisions;
    return m_revision;
}

void ChartModel::setSubsets(int subsets)
{
    const std::size_t n = static_cast<std::size_t>(std::max(0, subsets));
    const std::size_t points = static_cast<std::size_t>(m_points);
    // New series are made one at a time, and only when growing.
    if (n < m_x.size()) {
        m_x.resize(n);
        m_y.resize(n);
    }
    while (m_x.size() < n) {
        m_x.emplace_back(points, 0.0);
        m_y.emplace_back(points, 0.0f);
    }
    touch();
}

void ChartModel::setPoints(int points)
{
    m_points = std::max(0, points);
    for (auto &series : m_x)
        series.resize(static_cast<std::size_t>(m_points), 0.0);
    for (auto &series : m_y)
        series.resize(static_cast<std::size_t>(m_points), 0.0f);
    touch();
}

double ChartModel::x(int subset, int point) const
{
    return isValid(subset, point)
        ? m_x[static_cast<std::size_t>(subset)][static_cast<std::size_t>(point)]
        : 0.0;
}

float ChartModel::y(int subset, int point) const
{
    return isValid(subset, point)
        ? m_y[static_cast<std::size_t>(subset)][static_cast<std::size_t>(point)]
        : 0.0f;
}

void ChartModel::setX(int subset, int point, double value)
{
    if (!isValid(subset, point))
        return;
    m_x[static_cast<std::size_t>(subset)][static_cast<std::size_t>(point)] = value;
    touch();
}

void ChartModel::setY(int subset, int point, float value)
{
    if (!isValid(subset, point))
        return;
    m_y[static_cast<std::size_t>(subset)][static_cast<std::size_t>(point)] = value;
    touch();
}

void ChartModel::fillPoint(int point, double xValue, float yValue)
{
    for (int s = 0; s < subsets(); ++s) {
        setX(s, point, xValue);
        setY(s, point, yValue);
    }
}

void ChartModel::setSeries(int subset, const std::vector<double> &xs, const std::vector<float> &ys)
{
    if (subset < 0 || subset >= subsets())
        return;
    const auto n = static_cast<std::size_t>(m_points);
    auto &tx = m_x[static_cast<std::size_t>(subset)];
    auto &ty = m_y[static_cast<std::size_t>(subset)];
    std::copy_n(xs.begin(), std::min(n, xs.size()), tx.begin());
    std::copy_n(ys.begin(), std::min(n, ys.size()), ty.begin());
    touch();
}

const std::vector<double> &ChartModel::xs(int subset) const
{
    return (subset >= 0 && subset < subsets()) ? m_x[static_cast<std::size_t>(subset)] : NoX;
}

const std::vector<float> &ChartModel::ys(int subset) const
{
    return (subset >= 0 && subset < subsets()) ? m_y[static_cast<std::size_t>(subset)] : NoY;
}

QColor ChartModel::subsetColor(int subset) const
{
    if (subset >= 0 && static_cast<std::size_t>(subset) < subsetColors.size()
        && subsetColors[static_cast<std::size_t>(subset)].isValid())
        return subsetColors[static_cast<std::size_t>(subset)];
    return DefaultColors[std::max(0, subset) % std::size(DefaultColors)];
}

int ChartModel::subsetLineType(int subset) const
{
    if (subset >= 0 && static_cast<std::size_t>(subset) < subsetLineTypes.size())
        return subsetLineTypes[static_cast<std::size_t>(subset)];
    return static_cast<int>(LineType::Solid);
}

bool ChartModel::sameData(const ChartModel &o) const
{
    return m_points == o.m_points && m_x == o.m_x && m_y == o.m_y && exclusions == o.exclusions
        && limit == o.limit && overlay == o.overlay;
}

bool ChartModel::sameLook(const ChartModel &o) const
{
    return xScale == o.xScale && yScale == o.yScale && mainTitle == o.mainTitle
        && subTitle == o.subTitle && xAxisLabel == o.xAxisLabel && yAxisLabel == o.yAxisLabel
        && subsetLabels == o.subsetLabels && subsetColors == o.subsetColors
        && subsetLineTypes == o.subsetLineTypes && yAxisColor == o.yAxisColor
        && gridStyle == o.gridStyle && viewingStyle == o.viewingStyle && dateTimeX == o.dateTimeX
        && titleFontSize == o.titleFontSize && labelFontSize == o.labelFontSize
        && legendFontSize == o.legendFontSize && annotations == o.annotations
        && showGraphAnnotations == o.showGraphAnnotations
        && graphAnnotationTextSize == o.graphAnnotationTextSize
        && allowGraphAnnotHotSpots == o.allowGraphAnnotHotSpots && verticalLines == o.verticalLines
        && showVertLineAnnotations == o.showVertLineAnnotations
        && allowVertLineAnnotHotSpots == o.allowVertLineAnnotHotSpots
        && lineAnnotationTextSize == o.lineAnnotationTextSize
        && allowDataHotSpots == o.allowDataHotSpots;
}
