// The chart widget's test: what it draws (tst_pesgraph.cpp) and what the user does with it
// (tst_pesgraphcommands.cpp), on charts filled by the helpers here.

#pragma once

#include "base/datetimedays.h"
#include "chart/ui/pesgraph.h"

#include <QTest>
#include <qcustomplot.h>

#include <cmath>
#include <memory>

inline const double T0 = DateTimeDays::fromDateTime(QDateTime(QDate(2024, 3, 14), QTime(14, 0)));
constexpr double Sec = DateTimeDays::OneSecond;

inline std::unique_ptr<PESGraph> shownChart(QSize size = QSize(900, 500))
{
    auto chart = std::make_unique<PESGraph>();
    chart->resize(size);
    chart->show();
    if (!QTest::qWaitForWindowExposed(chart.get()))
        qWarning("chart window not exposed");
    return chart;
}

// One subset of n points, one a second from T0, levels 60, 61, ... ; scales 30..130 dB and
// the first to the last point.
inline void fill(ChartModel &m, int n)
{
    m.setSubsets(1);
    m.setPoints(n);
    for (int i = 0; i < n; ++i) {
        m.setX(0, i, T0 + i * Sec);
        m.setY(0, i, 60.0f + static_cast<float>(i % 30));
    }
    m.xScale = { true, T0, T0 + (n - 1) * Sec };
    m.yScale = { true, 30, 130 };
}

// The graph's data as (days, value) pairs; NaN values are gaps.
inline QList<QPointF> handedData(PESGraph &chart, int subset = 0)
{
    QList<QPointF> out;
    const auto data = chart.plot().graph(subset)->data();
    for (auto it = data->constBegin(); it != data->constEnd(); ++it)
        out << QPointF(it->key / 86400.0 + 25569.0, it->value);
    return out;
}

inline bool samePoints(const QList<QPointF> &a, const QList<QPointF> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const bool gapA = std::isnan(a[i].y());
        if (gapA != std::isnan(b[i].y()) || std::abs(a[i].x() - b[i].x()) > 1e-9
            || (!gapA && a[i].y() != b[i].y()))
            return false;
    }
    return true;
}

class TestPESGraph : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void pixelValueRoundTrip_data();
    void pixelValueRoundTrip();

    void dateTimeTicksShowWallClock();

    void tickLabelsNeverRunTogether_data();
    void tickLabelsNeverRunTogether();

    void timeAxisTicks_data();
    void timeAxisTicks();

    void nullAndUnrecordedPoints_data();
    void nullAndUnrecordedPoints();

    void laterRedrawsMatchAFreshChart_data();
    void laterRedrawsMatchAFreshChart();

    void scales_data();
    void scales();

    void mouseGestures_data();
    void mouseGestures();

    void zoomStack_data();
    void zoomStack();

    void plottingRect_data();
    void plottingRect();

    void annotations_data();
    void annotations();

    void hotSpots_data();
    void hotSpots();

    void monochrome();

    void customize_data();
    void customize();

    void customizeShowsTheDialogModally();

    void customizePages_data();
    void customizePages();

    void storeAndLoadBlock();

    void malformedBlockIsRefused_data();
    void malformedBlockIsRefused();

    void renderDrawsTheChart();

    void cursorTexts_data();
    void cursorTexts();

    void exclusionBands_data();
    void exclusionBands();
};
