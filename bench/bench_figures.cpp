// The acoustic figures at 1,048,576 points: every figure of the whole graph from scratch, and
// the figures between the cursors when one moves (the index is built once per state of the
// data, on the first such question, which is measured too).

#include "graph/chartmodel.h"
#include "graph/seriesfigures.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int Points = 1 << 20;

// A day's survey at a point a second: a background of 40 to 60 dB with events up to 95 dB, one
// point in a hundred null, two excluded intervals. Levels in tenths of a dB, as the meter gives
// them, or (tenths false) any float, as a text file may hold.
const ChartModel &survey(bool tenths)
{
    static ChartModel charts[2];
    ChartModel &chart = charts[tenths ? 1 : 0];
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
                : tenths                                  ? float(std::round(level * 10.0) / 10.0)
                                                          : float(level);
        }
        chart.setSubsets(1);
        chart.setPoints(Points);
        chart.setSeries(0, xs, ys);
        chart.exclusions = { { xs[1000], xs[2000], {} }, { xs[500000], xs[503600], {} } };
    }
    return chart;
}

void BM_WholeFigures(benchmark::State &state)
{
    const ChartModel &chart = survey(state.range(0) != 0);
    for (auto _ : state) {
        const SeriesFigures figures(chart, 1.0);
        benchmark::DoNotOptimize(figures.whole().percentiles[1]);
    }
}
BENCHMARK(BM_WholeFigures)->Arg(1)->Arg(0)->ArgName("tenths")->Unit(benchmark::kMillisecond);

void BM_FirstCursorFiguresAfterChange(benchmark::State &state)
{
    const ChartModel &chart = survey(state.range(0) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        const SeriesFigures figures(chart, 1.0);
        state.ResumeTiming();
        benchmark::DoNotOptimize(figures.between(Points / 3, 2 * Points / 3).leq);
    }
}
BENCHMARK(BM_FirstCursorFiguresAfterChange)
    ->Arg(1)
    ->Arg(0)
    ->ArgName("tenths")
    ->Unit(benchmark::kMillisecond);

void BM_CursorMove(benchmark::State &state)
{
    const ChartModel &chart = survey(state.range(0) != 0);
    const SeriesFigures figures(chart, 1.0);
    benchmark::DoNotOptimize(figures.between(0, 1).leq); // the index, built once
    int a = 1000;
    int b = Points - 1000;
    for (auto _ : state) {
        // A cursor moving by a point at a time across most of the graph.
        a = (a + 7919) % (Points / 2);
        b = Points - 1 - a / 3;
        benchmark::DoNotOptimize(figures.between(a, b));
    }
}
BENCHMARK(BM_CursorMove)->Arg(1)->Arg(0)->ArgName("tenths")->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
