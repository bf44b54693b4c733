// The chart widget's speed at the sizes the program draws: a 1200 x 700 chart, levels in dB
// against date-time X. Every "redraw" here includes the replot, so the figures are what the
// user waits for. Run offscreen.
#include "base/datetimedays.h"
#include "survey/placedannotations.h"
#include "chart/ui/chartpicture.h"
#include "chart/ui/pesgraph.h"
#include "windowbench.h"

#include <QApplication>
#include <QDateTime>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <qcustomplot.h>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

const QSize ChartSize(1200, 700);

struct Series
{
    std::vector<double> xs;
    std::vector<float> ys;
};

// A recording at one reading a second: a level wandering between 40 and 95 dB.
Series makeSeries(int count)
{
    Series s;
    s.xs.resize(static_cast<std::size_t>(count));
    s.ys.resize(static_cast<std::size_t>(count));
    const double t0 = DateTimeDays::fromDateTime(QDateTime(QDate(2024, 3, 14), QTime(8, 0)));
    QRandomGenerator rng(42);
    double level = 65.0;
    for (std::size_t i = 0; i < s.xs.size(); ++i) {
        level += rng.generateDouble() * 6.0 - 3.0 + (65.0 - level) * 0.02;
        level = std::clamp(level, 40.0, 95.0);
        s.xs[i] = t0 + static_cast<double>(i) * DateTimeDays::OneSecond;
        s.ys[i] = static_cast<float>(level);
    }
    return s;
}

// What the graph window does to set up a chart: the point count, the null fill, the scales
// and the default look.
void prepare(ChartModel &m, int points, double minX, double maxX)
{
    m.setSubsets(1);
    m.setPoints(points);
    m.yScale = { true, 30.0, 130.0 };
    m.xScale = { true, minX, maxX };
    m.mainTitle.clear();
    m.subTitle = QStringLiteral(" ");
    m.subsetLabels = { QStringLiteral("dB") };
    m.xAxisLabel = QStringLiteral("Time");
    m.yAxisColor = Qt::red;
    m.subsetColors = { Qt::black };
}

std::unique_ptr<PESGraph> shownChart()
{
    auto chart = std::make_unique<PESGraph>();
    chart->resize(ChartSize);
    chart->show();
    QApplication::processEvents();
    return chart;
}

// (a) A new graph window's chart: created inside the shown main window (graph windows are
// child windows there), prepared, 65,536 points written as whole series, and the first redraw
// with its replot.
void BM_NewChartFirstRedraw(benchmark::State &state)
{
    const Series s = makeSeries(65536);
    QWidget mainWindow;
    mainWindow.resize(ChartSize + QSize(100, 100));
    mainWindow.show();
    QApplication::processEvents();
    for (auto _ : state) {
        auto chart = std::make_unique<PESGraph>(&mainWindow);
        chart->setGeometry(QRect(QPoint(0, 0), ChartSize));
        chart->show();
        ChartModel &m = chart->model();
        prepare(m, 65536, s.xs.front(), s.xs.back());
        m.setSeries(0, s.xs, s.ys);
        chart->redrawNow();
        state.PauseTiming();
        chart.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

// (a') The same on a chart that is already on the screen (the template and window exist).
void BM_PrepareWriteFirstRedraw(benchmark::State &state)
{
    const Series s = makeSeries(65536);
    auto chart = shownChart();
    for (auto _ : state) {
        ChartModel &m = chart->model();
        prepare(m, 65536, s.xs.front(), s.xs.back());
        m.setSeries(0, s.xs, s.ys);
        chart->redrawNow();
        state.PauseTiming();
        m.setPoints(0);
        chart->redrawNow();
        state.ResumeTiming();
    }
}

// (b), (c) Redrawing a chart whose data did not change.
void BM_Redraw(benchmark::State &state)
{
    const int points = static_cast<int>(state.range(0));
    const Series s = makeSeries(points);
    auto chart = shownChart();
    prepare(chart->model(), points, s.xs.front(), s.xs.back());
    chart->model().setSeries(0, s.xs, s.ys);
    chart->redrawNow();
    for (auto _ : state)
        chart->redrawNow();
    state.counters["points"] = points;
}

// (d) The real-time graph: one point written after 100,000 recorded ones, then a redraw.
void BM_AppendPointRedraw(benchmark::State &state)
{
    constexpr int Recorded = 100000;
    constexpr int Capacity = 120000;
    const Series s = makeSeries(Capacity);
    auto chart = shownChart();
    ChartModel &m = chart->model();
    auto reset = [&] {
        prepare(m, Capacity, s.xs.front(), s.xs.back());
        std::vector<double> xs(s.xs.begin(), s.xs.begin() + Recorded);
        std::vector<float> ys(s.ys.begin(), s.ys.begin() + Recorded);
        xs.resize(Capacity, 0.0);
        ys.resize(Capacity, ChartModel::NullValue);
        m.setSeries(0, xs, ys);
        chart->redrawNow();
    };
    reset();
    int next = Recorded;
    for (auto _ : state) {
        if (next == Capacity) {
            state.PauseTiming();
            reset();
            next = Recorded;
            state.ResumeTiming();
        }
        const auto k = static_cast<std::size_t>(next);
        m.setX(0, next, s.xs[k]);
        m.setY(0, next, s.ys[k]);
        ++next;
        chart->redrawNow();
    }
}

// For comparison: QCustomPlot alone replotting the same 65,536 points.
void BM_PlainQCustomPlotReplot(benchmark::State &state)
{
    const int points = static_cast<int>(state.range(0));
    const Series s = makeSeries(points);
    QCustomPlot plot;
    plot.resize(ChartSize);
    plot.show();
    QVector<QCPGraphData> data;
    for (int i = 0; i < points; ++i)
        data.append(
            QCPGraphData(s.xs[static_cast<std::size_t>(i)], s.ys[static_cast<std::size_t>(i)]));
    plot.addGraph()->data()->set(data, true);
    plot.rescaleAxes();
    for (auto _ : state)
        plot.replot(QCustomPlot::rpImmediateRefresh);
}

} // namespace

// "Save Picture" of a 65,536-point graph as a PNG at 1600 x 900: drawn, encoded, written.
void BM_SavePicturePng(benchmark::State &state)
{
    const Series s = makeSeries(65536);
    auto chart = shownChart();
    prepare(chart->model(), 65536, s.xs.front(), s.xs.back());
    chart->model().setSeries(0, s.xs, s.ys);
    chart->redrawNow();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("graph.png"));
    for (auto _ : state)
        if (!ChartPicture::save(*chart, file, QSize(1600, 900)).isEmpty())
            state.SkipWithError("the picture was not written");
}

// A cross placed on a shown 65,536-point graph, and the redraw with its replot that shows it.
// 200 iterations: the graph ends with 200 marks, more than a survey puts on one graph.
void BM_PlaceAnnotationRedraw(benchmark::State &state)
{
    const Series s = makeSeries(65536);
    auto chart = shownChart();
    prepare(chart->model(), 65536, s.xs.front(), s.xs.back());
    chart->model().setSeries(0, s.xs, s.ys);
    chart->redrawNow();
    int counter = PlacedAnnotations::InitialCounter;
    std::size_t i = 0;
    for (auto _ : state) {
        i = (i + 997) % s.xs.size();
        PlacedAnnotations::place(chart->model(), counter, PlacedAnnotations::CrossType, s.xs[i],
                                 s.ys[i], {});
        chart->redrawNow();
    }
}

BENCHMARK(BM_NewChartFirstRedraw)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrepareWriteFirstRedraw)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Redraw)->Arg(65536)->Arg(1048576)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AppendPointRedraw)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SavePicturePng)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlaceAnnotationRedraw)
    ->Iterations(200)
    ->Repetitions(5)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PlainQCustomPlotReplot)
    ->Arg(65536)
    ->Arg(1048576)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

AUDEXA_WINDOW_BENCHMARK_MAIN()
