// The survey report as Report... and audexa-cli report write it once the dialogs are answered:
// the simulated meter's day-long data set (8,640 points at 10 s) with a limit, a Specific and a
// Residual interval, an excluded one, marks, an overlay and the survey's details, every section,
// as a PDF file and as an OpenDocument text; and the same of a graph of 1,048,576 points. Each
// iteration works out the contents and writes the whole file. Run offscreen.
#include "base/clock.h"
#include "chart/chartsetup.h"
#include "chart/ui/chartpicture.h"
#include "chart/ui/pesgraph.h"
#include "logger/datasetchart.h"
#include "logger/loggerdata.h"
#include "logger/memorydecoder.h"
#include "meter/simulatedloggermemory.h"
#include "print/surveyreport.h"
#include "survey/graphsource.h"
#include "survey/seriesfigures.h"
#include "surveychart.h"
#include "windowbench.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// The marks a consultant adds to a survey: intervals of each category, a few annotations, the
// limit, an overlay of a tenth of the graph's own points, and the details.
void addAnalysis(ChartModel &chart, double limit)
{
    const int n = chart.points();
    const auto x = [&](double share) { return chart.x(0, int(share * (n - 1))); };
    chart.exclusions = { { x(0.10), x(0.11), QStringLiteral("Dog barking") },
                         { x(0.30), x(0.35), QStringLiteral("Pile driving"),
                           IntervalCategory::Specific },
                         { x(0.60), x(0.65), QStringLiteral("Before the works"),
                           IntervalCategory::Residual } };
    for (int i = 0; i < 12; ++i)
        chart.annotations[3 + i] = { x(i / 12.0), 80.0, i % 2 == 0 ? 2 : 0,
                                     QStringLiteral("Event %1").arg(i), Qt::black };
    chart.limit = limit;
    OverlaySeries overlay;
    overlay.label = QStringLiteral("Data set 6");
    overlay.interval = 10.0;
    for (int i = 0; i < n; i += 10) {
        overlay.xs.push_back(chart.x(0, i));
        overlay.ys.push_back(chart.y(0, i) - 3.0f);
    }
    chart.overlay = overlay;
    SurveyDetails &d = chart.details;
    d.project = QStringLiteral("Ring road, phase 2");
    d.client = QStringLiteral("County council");
    d.site = QStringLiteral("12 Mill Lane");
    d.position = QStringLiteral("Garden, 1.5 m above ground, 3.5 m from the facade");
    d.operatorName = QStringLiteral("J. Smith");
    d.weather = QStringLiteral("Dry, wind below 3 m/s");
    d.instrument = { QStringLiteral("Q7316"), QStringLiteral("A1234"), QStringLiteral("1.20"),
                     QStringLiteral("94.0"), QStringLiteral("70.0") };
    d.calibrationBefore = { 94.0, 94.1 };
    d.calibrationAfter = { 94.0, 94.3 };
}

const ChartModel &dayLongSet()
{
    static ChartModel chart;
    if (chart.points() == 0) {
        SimulatedLoggerMemory memory;
        memory.seed(7);
        LoggerData data;
        const SystemClock clock;
        MemoryDecoder::DecodeLoggerMemory(memory.bytes(), memory.lastAddress(), clock, data);
        ChartSetup::applyDefaultLook(chart);
        DataSetChart::draw(chart, data, 6);
        addAnalysis(chart, 55.0);
    }
    return chart;
}

const ChartModel &millionPoints()
{
    static ChartModel chart;
    if (chart.points() == 0) {
        chart = surveyChart();
        chart.dateTimeX = true;
        addAnalysis(chart, 60.0);
    }
    return chart;
}

void writeReport(benchmark::State &state, const ChartModel &model, const GraphSource &source,
                 const QString &suffix)
{
    PESGraph chart;
    chart.resize(1200, 700);
    chart.model() = model;
    chart.reinitAndReset();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("report.") + suffix);
    SurveyReport::Contents contents;
    for (auto _ : state) {
        const SeriesFigures figures(model, source.intervalOf(model));
        contents = {};
        contents.title = QStringLiteral("Noise survey at 12 Mill Lane");
        contents.note = QStringLiteral("Measured during the works.");
        contents.made = QDateTime::currentDateTime();
        contents.whole = figures.whole();
        contents.between = figures.between(model.points() / 3, 2 * model.points() / 3);
        contents.details = model.details;
        SurveyReport::describeChart(contents, model, source);
        contents.drawGraph = [&chart](QPainter &painter, const QRectF &target) {
            ChartPicture::draw(chart, painter, target);
        };
        if (!SurveyReport::write(contents, file).isEmpty())
            state.SkipWithError("the report was not written");
    }
    state.counters["points"] = model.points();
    state.counters["periods"] = double(contents.periods.size());
    state.counters["exceedances"] = double(contents.exceedances.runs.size());
    state.counters["KiB"] = double(QFileInfo(file).size()) / 1024.0;
}

void BM_ReportDayPdf(benchmark::State &state)
{
    writeReport(state, dayLongSet(), GraphSource::realTime(10.0), QStringLiteral("pdf"));
}

void BM_ReportDayOdt(benchmark::State &state)
{
    writeReport(state, dayLongSet(), GraphSource::realTime(10.0), QStringLiteral("odt"));
}

void BM_ReportMillionPdf(benchmark::State &state)
{
    writeReport(state, millionPoints(), GraphSource::realTime(1.0), QStringLiteral("pdf"));
}

void BM_ReportMillionOdt(benchmark::State &state)
{
    writeReport(state, millionPoints(), GraphSource::realTime(1.0), QStringLiteral("odt"));
}

} // namespace

BENCHMARK(BM_ReportDayPdf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReportDayOdt)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReportMillionPdf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReportMillionOdt)->Unit(benchmark::kMillisecond)->UseRealTime();

AUDEXA_WINDOW_BENCHMARK_MAIN()
