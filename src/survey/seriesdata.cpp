#include "survey/seriesdata.h"

#include <algorithm>
#include <atomic>

namespace {
const std::vector<double> NoX;
const std::vector<float> NoY;
} // namespace

quint64 SeriesData::touch()
{
    static std::atomic<quint64> revisions { 0 };
    m_revision = ++revisions;
    return m_revision;
}

void SeriesData::setSubsets(int subsets)
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

void SeriesData::setPoints(int points)
{
    m_points = std::max(0, points);
    for (auto &series : m_x)
        series.resize(static_cast<std::size_t>(m_points), 0.0);
    for (auto &series : m_y)
        series.resize(static_cast<std::size_t>(m_points), 0.0f);
    touch();
}

double SeriesData::x(int subset, int point) const
{
    return isValid(subset, point)
        ? m_x[static_cast<std::size_t>(subset)][static_cast<std::size_t>(point)]
        : 0.0;
}

float SeriesData::y(int subset, int point) const
{
    return isValid(subset, point)
        ? m_y[static_cast<std::size_t>(subset)][static_cast<std::size_t>(point)]
        : 0.0f;
}

void SeriesData::setX(int subset, int point, double value)
{
    if (!isValid(subset, point))
        return;
    m_x[static_cast<std::size_t>(subset)][static_cast<std::size_t>(point)] = value;
    touch();
}

void SeriesData::setY(int subset, int point, float value)
{
    if (!isValid(subset, point))
        return;
    m_y[static_cast<std::size_t>(subset)][static_cast<std::size_t>(point)] = value;
    touch();
}

void SeriesData::fillPoint(int point, double xValue, float yValue)
{
    for (int s = 0; s < subsets(); ++s) {
        setX(s, point, xValue);
        setY(s, point, yValue);
    }
}

void SeriesData::setSeries(int subset, const std::vector<double> &xs, const std::vector<float> &ys)
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

const std::vector<double> &SeriesData::xs(int subset) const
{
    return (subset >= 0 && subset < subsets()) ? m_x[static_cast<std::size_t>(subset)] : NoX;
}

const std::vector<float> &SeriesData::ys(int subset) const
{
    return (subset >= 0 && subset < subsets()) ? m_y[static_cast<std::size_t>(subset)] : NoY;
}
