// The figures over the clock at 1,048,576 points: a survey of some 12 days at a point a second,
// cut into 15-minute periods, and the runs above a limit.

#include "graph/chartmodel.h"
#include "graph/exceedances.h"
#include "graph/periodfigures.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int Points = 1 << 20;

// A background of 40 to 60 dB with events up to 95 dB, one point in a hundred null, two
// excluded intervals, levels in tenths of a dB as the meter gives them.
const ChartModel &survey()
{
    static ChartModel chart;
    if (chart.points() == 0) {
        QRandomGenerator random(7);
        std::vector<double> xs(Points);
        std::vector<float> ys(Points);
        for (int i = 0; i < Points; ++i) {
            xs[std::size_t(i)] = 46000.0 + i / 86400.0;
            double level = 50.0 + 10.0 * std::sin(i / 5000.0) + random.generateDouble() * 5.0;
            if (random.bounded(1000) == 0)
                level += 35.0;
            ys[std::size_t(i)] = random.bounded(100) == 0 ? ChartModel::NullValue
                                                          : float(std::round(level * 10.0) / 10.0);
        }
        chart.setSubsets(1);
        chart.setPoints(Points);
        chart.setSeries(0, xs, ys);
        chart.exclusions = { { xs[1000], xs[2000], {} }, { xs[500000], xs[503600], {} } };
    }
    return chart;
}

void BM_Periods15Min(benchmark::State &state)
{
    const ChartModel &chart = survey();
    for (auto _ : state) {
        const PeriodFigures::Result result = PeriodFigures::periods(chart, 900);
        benchmark::DoNotOptimize(result.rows.back().l90);
    }
}
BENCHMARK(BM_Periods15Min)->Unit(benchmark::kMillisecond);

void BM_Exceedances(benchmark::State &state)
{
    const ChartModel &chart = survey();
    for (auto _ : state) {
        // Above 58 dB: the loud half of each swing, broken by noise into many runs.
        const Exceedances::Result result = Exceedances::of(chart, 58.0, 1.0);
        benchmark::DoNotOptimize(result.totalSeconds);
    }
}
BENCHMARK(BM_Exceedances)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
