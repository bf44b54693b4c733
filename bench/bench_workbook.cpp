// The workbook of a survey as Save writes it: every sheet of 65,536 points, and of the whole
// 1,048,576-point survey (the readings then go on in a second sheet). The peak memory of the
// long one is measured around the program: /usr/bin/time -v bench_workbook
// --benchmark_filter=1048576.

#include "chart/chartmodel.h"
#include "files/workbookwriter.h"
#include "survey/graphsource.h"
#include "survey/workbooksheets.h"
#include "surveychart.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BM_Workbook(benchmark::State &state)
{
    const ChartModel &survey = surveyChart();
    ChartModel chart;
    const int points = int(state.range(0));
    chart.setSubsets(1);
    chart.setPoints(points);
    chart.setSeries(0, std::vector<double>(survey.xs(0).begin(), survey.xs(0).begin() + points),
                    std::vector<float>(survey.ys(0).begin(), survey.ys(0).begin() + points));
    chart.limit = 80.0;
    const QTemporaryDir folder;
    const QString name = folder.filePath(QStringLiteral("survey.xlsx"));
    const QLocale locale(QLocale::English, QLocale::UnitedStates);
    for (auto _ : state) {
        const QString error = WorkbookWriter::write(
            name,
            WorkbookSheets::ofMeasurement(chart, GraphSource::realTime(1.0), {}, {}, locale),
            locale);
        if (!error.isEmpty())
            state.SkipWithError(qPrintable(error));
    }
}
BENCHMARK(BM_Workbook)->Arg(65536)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
