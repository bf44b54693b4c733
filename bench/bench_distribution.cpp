// The level distribution at 1,048,576 points: the classes of the valid levels once they are
// known (a class width or the cursors changed), and from the data itself (the data or the
// exclusions changed), in 0.1 dB classes and the default 1 dB.

#include "chart/chartmodel.h"
#include "survey/leveldistribution.h"
#include "survey/seriesfigures.h"
#include "surveychart.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Distribution(benchmark::State &state)
{
    const SeriesFigures figures(surveyChart(), 1.0);
    for (auto _ : state) {
        const LevelDistribution::Result result
            = LevelDistribution::of(figures.validLevels(), int(state.range(0)));
        benchmark::DoNotOptimize(result.classes.data());
    }
}
BENCHMARK(BM_Distribution)->Arg(1)->Arg(10)->ArgName("tenths")->Unit(benchmark::kMillisecond);

void BM_DistributionAfterChange(benchmark::State &state)
{
    const ChartModel &chart = surveyChart();
    for (auto _ : state) {
        const SeriesFigures figures(chart, 1.0);
        const LevelDistribution::Result result
            = LevelDistribution::of(figures.validLevels(), int(state.range(0)));
        benchmark::DoNotOptimize(result.classes.data());
    }
}
BENCHMARK(BM_DistributionAfterChange)->Arg(1)->ArgName("tenths")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
