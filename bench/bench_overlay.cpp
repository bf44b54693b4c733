// "Overlay..." once its source is read: a second measurement of 65,536 points put on a graph
// window whose own series has 65,536 points too (a reading a second, about 18 hours each), then
// the redraw with the replot. Each iteration puts on an overlay shifted by a second more, so the
// chart hands it to QCustomPlot every time, and works out its figures. Run offscreen.
#include "base/datetimedays.h"
#include "graph/ui/graphwindowfactory.h"
#include "chart/ui/pesgraph.h"
#include "graph/ui/tfrmgraph.h"
#include "windowbench.h"

#include <QRandomGenerator>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

constexpr int Points = 65536;

struct Series
{
    std::vector<double> xs;
    std::vector<float> ys;
};

// A level in tenths of a dB wandering between 40 and 95 dB, one reading a second, one point in
// a hundred null.
Series survey(double start, quint32 seed)
{
    Series s;
    QRandomGenerator rng(seed);
    double level = 65.0;
    for (int i = 0; i < Points; ++i) {
        level = std::clamp(level + rng.generateDouble() * 6.0 - 3.0 + (65.0 - level) * 0.02, 40.0,
                           95.0);
        s.xs.push_back(start + i * DateTimeDays::OneSecond);
        s.ys.push_back(rng.bounded(100) == 0 ? ChartModel::NullValue
                                             : float(std::round(level * 10.0) / 10.0));
    }
    return s;
}

void BM_Overlay65536(benchmark::State &state)
{
    BenchProgram program;
    TfrmGraph &graph = program.window->graphs().createGraph(QStringLiteral("survey"));
    const double start = DateTimeDays::fromDateTime(QDate(2024, 3, 14), QTime(8, 0));
    const Series own = survey(start, 1);
    graph.PrepareGraph(1, 130, 30, own.xs.back(), own.xs.front(), Points);
    graph.chartModel().setSeries(0, own.xs, own.ys);
    graph.UpdateGraphStatistics();
    graph.chart().redrawNow();

    const Series other = survey(start - 1.0, 2);
    OverlaySeries overlay;
    overlay.label = QStringLiteral("Day before");
    overlay.color = QColor(220, 80, 20);
    overlay.alignment = OverlayAlignment::Start;
    overlay.interval = 1.0;
    overlay.xs = other.xs;
    overlay.ys = other.ys;
    int n = 0;
    for (auto _ : state) {
        overlay.shift = 1.0 + (++n % 60) * DateTimeDays::OneSecond;
        graph.setOverlay(overlay);
        graph.chart().redrawNow();
    }
}

} // namespace

BENCHMARK(BM_Overlay65536)->Unit(benchmark::kMillisecond)->UseRealTime();

AUDEXA_WINDOW_BENCHMARK_MAIN()
