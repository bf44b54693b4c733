#pragma once

#include <QtGlobal>

#include <vector>

// The points of a measurement: subsets (series) of the same number of points, a point's X a
// date-time in days and its Y a level in dB. Y = 9999 is the null value: a point not recorded
// (yet), or a gap in a recording, kept in the data and never drawn nor counted.
class SeriesData
{
public:
    static constexpr float NullValue = 9999.0f;
    // True for the null value: a point not recorded (yet), or a gap in a recording.
    static bool isNull(float y) { return y == NullValue; }

    int subsets() const { return static_cast<int>(m_x.size()); }
    int points() const { return m_points; }
    // Resizing keeps the values that still fit; new points are X 0 and Y 0.
    void setSubsets(int subsets);
    void setPoints(int points);

    double x(int subset, int point) const;
    float y(int subset, int point) const;
    void setX(int subset, int point, double value);
    void setY(int subset, int point, float value);
    // Writes X and Y of one point in every subset (the "subset -1" form).
    void fillPoint(int point, double xValue, float yValue);
    // Writes a whole series at once; the counts must match the point count.
    void setSeries(int subset, const std::vector<double> &xs, const std::vector<float> &ys);
    const std::vector<double> &xs(int subset) const;
    const std::vector<float> &ys(int subset) const;

    bool isValid(int subset, int point) const
    {
        return subset >= 0 && subset < subsets() && point >= 0 && point < m_points;
    }

    // Names the state of the points, so a view can tell whether to hand the series over again
    // and the figures whether to work them out again. Every change takes a number no series has
    // had before, so two with the same revision hold the same points (one is a copy).
    quint64 dataRevision() const { return m_revision; }
    // Marks the points as changed.
    quint64 touch();

    bool samePoints(const SeriesData &other) const
    {
        return m_points == other.m_points && m_x == other.m_x && m_y == other.m_y;
    }

private:
    int m_points = 0;
    std::vector<std::vector<double>> m_x;
    std::vector<std::vector<float>> m_y;
    quint64 m_revision = 0;
};
