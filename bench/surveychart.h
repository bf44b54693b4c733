#pragma once

// The long survey the figures benchmarks run on: 1,048,576 points a second apart (about twelve
// days), a background of 40 to 60 dB with events up to 95 dB, one point in a hundred null and two
// excluded intervals. Levels in tenths of a dB, as the meter gives them, or (tenths false) any
// float, as a text file may hold.

#include "chart/chartmodel.h"

#include <QRandomGenerator>

#include <cmath>

inline constexpr int SurveyPoints = 1 << 20;

inline const ChartModel &surveyChart(bool tenths = true)
{
    static ChartModel charts[2];
    ChartModel &chart = charts[tenths ? 1 : 0];
    if (chart.points() == 0) {
        QRandomGenerator random(7);
        std::vector<double> xs(SurveyPoints);
        std::vector<float> ys(SurveyPoints);
        for (int i = 0; i < SurveyPoints; ++i) {
            xs[std::size_t(i)] = 46000.0 + i / 86400.0;
            double level = 50.0 + 10.0 * std::sin(i / 5000.0) + random.generateDouble() * 5.0;
            if (random.bounded(1000) == 0)
                level += 35.0;
            ys[std::size_t(i)] = random.bounded(100) == 0 ? ChartModel::NullValue
                : tenths                                  ? float(std::round(level * 10.0) / 10.0)
                                                          : float(level);
        }
        chart.setSubsets(1);
        chart.setPoints(SurveyPoints);
        chart.setSeries(0, xs, ys);
        chart.exclusions = { { xs[1000], xs[2000], {} }, { xs[500000], xs[503600], {} } };
    }
    return chart;
}
