// The acoustic figures at 1,048,576 points: every figure of the whole graph from scratch, and
// the figures between the cursors when one moves (the index is built once per state of the
// data, on the first such question, which is measured too).

#include "chart/chartmodel.h"
#include "survey/seriesfigures.h"
#include "surveychart.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int Points = SurveyPoints;

void BM_WholeFigures(benchmark::State &state)
{
    const ChartModel &chart = surveyChart(state.range(0) != 0);
    for (auto _ : state) {
        const SeriesFigures figures(chart, 1.0);
        benchmark::DoNotOptimize(figures.whole().percentiles[1]);
    }
}
BENCHMARK(BM_WholeFigures)->Arg(1)->Arg(0)->ArgName("tenths")->Unit(benchmark::kMillisecond);

void BM_FirstCursorFiguresAfterChange(benchmark::State &state)
{
    const ChartModel &chart = surveyChart(state.range(0) != 0);
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
    const ChartModel &chart = surveyChart(state.range(0) != 0);
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
