// One poll tick against the simulated meter, as the user-interface thread runs it: the 'A'
// exchange, the decode, the control panel's update, and the repaint it causes.

#include "app/ui/tfrmmain.h"
#include "base/appfolders.h"
#include "base/clock.h"
#include "base/ui/prompts.h"
#include "meter/simulatedmeter.h"
#include "windowbench.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BM_PollTick(benchmark::State &state)
{
    QTemporaryDir dir;
    InstantClock clock;
    SimulatedMeter meter(clock, 1);
    QtPrompts prompts;
    QSettings settings(dir.filePath("s.ini"), QSettings::IniFormat);
    AppFolders folders;
    folders.documentsFolder = dir.path();
    TfrmMain window(meter, clock, prompts, settings, folders);
    window.resize(1280, 800);
    window.show();
    window.MainTimer.stop(); // ticks are driven by the benchmark
    window.MainTimerTimer(); // identify the meter
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.MainTimerTimer();
        QCoreApplication::processEvents(); // the repaint of what changed
    }
}
BENCHMARK(BM_PollTick)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

} // namespace

AUDEXA_WINDOW_BENCHMARK_MAIN()
