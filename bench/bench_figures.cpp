// The acoustic figures at 1,048,576 points: every figure of the whole graph from scratch (and
// with Specific and Residual intervals, their figures too), and
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

// The figures of the three categories after a change: the whole graph's (Excluded left out),
// the Specific points' and the Residual points', with 2 excluded, 500 Specific (30 s each, a
// passing lorry) and 500 Residual intervals (10 min each, some overlapping a Specific one).
void BM_CategoryFigures(benchmark::State &state)
{
    static ChartModel marked[2];
    ChartModel &chart = marked[state.range(0) != 0 ? 1 : 0];
    if (chart.points() == 0) {
        chart = surveyChart(state.range(0) != 0);
        const std::vector<double> &xs = chart.xs(0);
        for (int i = 0; i < 500; ++i) {
            const std::size_t at = std::size_t(i) * 2000 + 3000;
            chart.exclusions.push_back(
                { xs[at], xs[at + 30], QStringLiteral("lorry"), IntervalCategory::Specific });
            chart.exclusions.push_back(
                { xs[at + 20], xs[at + 620], QStringLiteral("quiet"), IntervalCategory::Residual });
        }
    }
    for (auto _ : state) {
        const SeriesFigures figures(chart, 1.0);
        benchmark::DoNotOptimize(figures.ofCategory(IntervalCategory::Specific));
        benchmark::DoNotOptimize(figures.ofCategory(IntervalCategory::Residual));
    }
}
BENCHMARK(BM_CategoryFigures)->Arg(1)->Arg(0)->ArgName("tenths")->Unit(benchmark::kMillisecond);

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
