// The figures over the clock at 1,048,576 points: a survey of some 12 days at a point a second,
// cut into 15-minute periods (alone, and with the days as the "Periods" window works them out),
// and the runs above a limit.

#include "chart/chartmodel.h"
#include "survey/daynightlevels.h"
#include "survey/exceedances.h"
#include "survey/figuretable.h"
#include "survey/periodfigures.h"
#include "surveychart.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Periods15Min(benchmark::State &state)
{
    const ChartModel &chart = surveyChart();
    for (auto _ : state) {
        const PeriodFigures::Result result = PeriodFigures::periods(chart, 900, 1.0);
        benchmark::DoNotOptimize(result.rows.back().l90);
    }
}
BENCHMARK(BM_Periods15Min)->Unit(benchmark::kMillisecond);

// What the "Periods" window works out when its graph changed: the 15-minute periods and the days,
// and the tables it shows them in. It does so at most once a second.
void BM_PeriodsWindowRefresh(benchmark::State &state)
{
    const ChartModel &chart = surveyChart();
    for (auto _ : state) {
        const FigureTable periods
            = FigureTable::ofPeriods(PeriodFigures::periods(chart, 900, 1.0).rows, 900);
        const FigureTable days = FigureTable::ofDays(DayNightLevels::days(chart, {}, 1.0).rows);
        benchmark::DoNotOptimize(periods.rowCount() + days.rowCount());
    }
}
BENCHMARK(BM_PeriodsWindowRefresh)->Unit(benchmark::kMillisecond);

void BM_Exceedances(benchmark::State &state)
{
    const ChartModel &chart = surveyChart();
    for (auto _ : state) {
        // Above 58 dB: the loud half of each swing, broken by noise into many runs.
        const Exceedances::Result result = Exceedances::of(chart, 58.0, 1.0);
        benchmark::DoNotOptimize(result.totalSeconds);
    }
}
BENCHMARK(BM_Exceedances)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
