// The LEQ measurement: one LEQTimer tick that completes a second (exchange with the simulated
// meter, decode, the grid row and scroll) at the start of a measurement and after 84,000 rows;
// a whole 24-hour measurement replayed through LeqMeasurement (2,160,000 readings, 86,400
// rows); and "Graph" of 86,400 rows to its first redraw. The "rows_MiB" counter is the memory
// the 86,400 rows take, grid and numbers; it is right only when that benchmark runs first
// (--benchmark_filter=Graph), before the others have grown the heap.

#include "app/ui/mainmenus.h"
#include "chart/ui/pesgraph.h"
#include "graph/ui/tfrmgraph.h"
#include "leq/leqmeasurement.h"
#include "leq/ui/leqcontroller.h"
#include "leq/ui/tfrmleq.h"
#include "meter/bcd.h"
#include "windowbench.h"

#include <QComboBox>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

// The program with the LEQ window measuring for 24 hours, `rows` seconds done, one reading a
// second so that filling it stays quick.
struct LeqProgram : BenchProgram
{
    double rowsMiB = 0;

    explicit LeqProgram(int rows)
    {
        window->menus().LEQ1->trigger();
        TfrmLEQ &form = *leq().LeqWindow();
        form.findChild<QComboBox *>(QStringLiteral("cmbTimeSelect"))->setCurrentIndex(8);
        const double before = residentMiB();
        leq().btnLEQClick();
        while (int(leq().measurement().seconds().size()) < rows && window->LEQTimer.isActive())
            second();
        rowsMiB = residentMiB() - before;
    }
    LeqController &leq() { return window->leq(); }
    void second()
    {
        clock.step(1000);
        leq().LEQTimerTimer();
    }
};

void BM_LeqTickCompletingASecond(benchmark::State &state)
{
    LeqProgram program(int(state.range(0)));
    for (auto _ : state)
        program.second();
    if (!program.window->LEQTimer.isActive())
        state.SkipWithError("the measurement ended during the benchmark");
    state.counters["rows"] = double(program.leq().measurement().seconds().size());
}
BENCHMARK(BM_LeqTickCompletingASecond)
    ->Arg(0)
    ->Arg(20000)
    ->Arg(84000)
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_LeqReplay24Hours(benchmark::State &state)
{
    const QDateTime now(QDate(2026, 12, 9), QTime(0, 0));
    ReplyReport reply {};
    reply[0] = 0x02;
    reply[31] = 0x03;
    reply[19] = Bcd::fromInt(12);
    reply[20] = Bcd::fromInt(9);
    reply[21] = Bcd::fromInt(26);
    std::size_t rows = 0;
    for (auto _ : state) {
        LeqMeasurement m;
        m.start(86400);
        for (int s = 0; s <= 86400 && m.running(); ++s) {
            reply[15] = Bcd::fromInt(s % 60);
            reply[16] = Bcd::fromInt(s / 60 % 60);
            reply[17] = Bcd::fromInt(s / 3600 % 24);
            for (int k = 0; k < 25; ++k) {
                const int tenths = 550 + (s * 7 + k * 13) % 300;
                reply[5] = quint8(tenths >> 8);
                reply[6] = quint8(tenths & 0xFF);
                m.tick(&reply, now);
            }
        }
        rows = m.seconds().size();
        benchmark::DoNotOptimize(m.runningLeq());
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_LeqReplay24Hours)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LeqGraphOf86400Rows(benchmark::State &state)
{
    LeqProgram program(86400);
    state.counters["rows"] = double(program.leq().measurement().seconds().size());
    state.counters["rows_MiB"] = program.rowsMiB;
    for (auto _ : state) {
        TfrmGraph *graph = program.leq().Button3Click();
        graph->chart().redrawNow();
        state.PauseTiming();
        graph->closeForm();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LeqGraphOf86400Rows)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

AUDEXA_WINDOW_BENCHMARK_MAIN();
