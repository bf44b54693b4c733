// Saving and loading a graph file of a full logger download: one subset of 65,536 points, X one
// second apart in days, Y levels in dB. Each reports the median of its repetitions; the target
// is under 10 ms each, the file included. The block alone is measured beside it, to tell the
// format's share from the file system's.

#include "files/graphfile.h"
#include "chart/chartblock.h"
#include "chart/chartmodel.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int Points = 65536;

ChartModel loggerChart()
{
    ChartModel chart;
    chart.setSubsets(1);
    chart.setPoints(Points);
    std::vector<double> xs(Points);
    std::vector<float> ys(Points);
    const double start = 45000.0 + 9.0 / 24.0; // 09:00 on a day in 2023
    for (int i = 0; i < Points; ++i) {
        xs[std::size_t(i)] = start + i / 86400.0;
        ys[std::size_t(i)] = static_cast<float>(
            std::round((55.0 + 12.0 * std::sin(i / 300.0) + (i * 7919 % 41) / 10.0) * 10.0) / 10.0);
    }
    chart.setSeries(0, xs, ys);
    chart.xScale = { true, xs.front(), xs.back() };
    chart.yScale = { true, 30.0, 130.0 };
    chart.subsetLabels = { QStringLiteral("dB") };
    chart.xAxisLabel = QStringLiteral("Time");
    chart.annotations[5] = { xs[1000], 70.0, 2, QString(), Qt::red };
    return chart;
}

void BM_SaveGraphFile(benchmark::State &state)
{
    const ChartModel chart = loggerChart();
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("bench.ghf"));
    for (auto _ : state) {
        const QString error = GraphFile::write(name, ChartBlock::save(chart));
        if (!error.isEmpty())
            state.SkipWithError(qPrintable(error));
    }
}

void BM_LoadGraphFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("bench.ghf"));
    GraphFile::write(name, ChartBlock::save(loggerChart()));
    ChartModel chart;
    for (auto _ : state) {
        const GraphFile::ReadResult read = GraphFile::read(name);
        if (!read.block || !ChartBlock::load(*read.block, chart))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(chart.points());
    }
}

void BM_SaveBlockOnly(benchmark::State &state)
{
    const ChartModel chart = loggerChart();
    for (auto _ : state)
        benchmark::DoNotOptimize(ChartBlock::save(chart));
}

void BM_LoadBlockOnly(benchmark::State &state)
{
    const QByteArray block = ChartBlock::save(loggerChart());
    ChartModel chart;
    for (auto _ : state)
        benchmark::DoNotOptimize(ChartBlock::load(block, chart));
}

void measured(benchmark::internal::Benchmark *b)
{
    b->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_SaveGraphFile)->Apply(measured);
BENCHMARK(BM_LoadGraphFile)->Apply(measured);
BENCHMARK(BM_SaveBlockOnly)->Apply(measured);
BENCHMARK(BM_LoadBlockOnly)->Apply(measured);

} // namespace

BENCHMARK_MAIN();
