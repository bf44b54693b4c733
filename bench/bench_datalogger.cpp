// The data logger's user-interface work: downloading a full memory from the simulated meter
// with the progress window shown and updated, and graphing a data set of about 65,000
// readings with its statistics and first redraw.

#include "app/ui/tfrmmain.h"
#include "base/appfolders.h"
#include "base/clock.h"
#include "base/ui/progresswindow.h"
#include "base/ui/prompts.h"
#include "graph/ui/graphwindowfactory.h"
#include "chart/ui/pesgraph.h"
#include "graph/ui/tfrmgraph.h"
#include "logger/memorydownload.h"
#include "logger/ui/dataloggercontroller.h"
#include "meter/simulatedmeter.h"
#include "windowbench.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <qcustomplot.h>

#include <benchmark/benchmark.h>

namespace {

// A memory whose one data set fills it: 65,399 readings ending at address 131071.
QByteArray fullMemory()
{
    QByteArray memory(131072, '\0');
    auto put = [&](int at, int value) {
        memory[at] = static_cast<char>(value);
    };
    const int count = 65399;
    put(0, 0x04);
    put(31, 0x05);
    put(10, 1); // one data set
    put(11, 0x01);
    put(12, 0xFF);
    put(13, 0xFF); // lastAddress 131071
    const int s = 256;
    const int header[] = { 0xA5, 0x5A, 0, 0x07, 0x03, 0x15, 0x10, 0x30, 0x00, 0, 1 };
    for (int i = 0; i < 11; ++i)
        put(s + i, header[i]);
    put(s + 11, count >> 16);
    put(s + 12, (count >> 8) & 0xFF);
    put(s + 13, count & 0xFF);
    put(s + 14, 0x03);
    for (int k = 0; k < count; ++k) {
        const int level = 450 + (k * 37) % 400;
        put(s + 16 + 2 * k, level >> 8);
        put(s + 17 + 2 * k, level & 0xFF);
    }
    put(s + 16 + 2 * count, 0x5A);
    put(s + 17 + 2 * count, 0xA5);
    return memory;
}

struct Program : BenchProgram
{
    Program()
        : BenchProgram([](SimulatedMeter &simulated) { simulated.setLoggerMemory(fullMemory()); })
    {
    }
};

void BM_DownloadFullMemory(benchmark::State &state)
{
    Program program;
    QByteArray image;
    int lastAddress = 0;
    for (auto _ : state) {
        image.clear();
        ProgressWindow progress(ProgressWindow::Use::Download, program.window.get());
        const int code = MemoryDownload::ReadLoggerMemory(program.window->link(), image,
                                                          lastAddress, &progress);
        if (code != 0 || image.size() != 131072)
            state.SkipWithError("download failed");
    }
    state.counters["blocks"] = 4096;
}
BENCHMARK(BM_DownloadFullMemory)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_GraphLargeDataSet(benchmark::State &state)
{
    Program program;
    program.window->state().memoryImage = fullMemory();
    program.window->state().lastAddress = 131071;
    TfrmGraph &graph = program.window->graphs().showDataLoggerGraph();
    QCoreApplication::processEvents();
    // Decode once, as a download does; then time graphing the set with its first redraw.
    program.window->dataLogger().decodeAndShow();
    for (auto _ : state) {
        program.window->dataLogger().GraphDataSet(0);
        graph.chart().plot().replot(QCustomPlot::rpImmediateRefresh);
    }
    state.counters["readings"] = graph.chartModel().points();
}
BENCHMARK(BM_GraphLargeDataSet)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

AUDEXA_WINDOW_BENCHMARK_MAIN()
