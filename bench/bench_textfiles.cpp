// Text files at the size of a full logger memory (65,536 readings), in the locale of the
// environment (run with LC_ALL=en_US.UTF-8 and LC_ALL=de_DE.UTF-8): a graph text file read into
// a table window, that table drawn as a graph, and a graph's points and a table's rows written
// as text with the progress window shown. The "table_MiB" counter is the memory the table window
// takes above the program before it.

#include "app/ui/tfrmmain.h"
#include "base/appfolders.h"
#include "base/celltable.h"
#include "base/ui/progresswindow.h"
#include "base/ui/prompts.h"
#include "files/textexport.h"
#include "files/wholefile.h"
#include "graph/ui/tfrmgraph.h"
#include "logger/ui/tablecommands.h"
#include "logger/ui/tfrmlist.h"
#include "meter/simulatedmeter.h"
#include "windowbench.h"

#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTemporaryDir>

namespace {

constexpr int Readings = 65536;
constexpr double Second = 1.0 / 86400.0;

struct Series
{
    std::vector<double> xs;
    std::vector<float> ys;
};

Series fullSeries()
{
    Series s;
    for (int i = 0; i < Readings; ++i) {
        s.xs.push_back(46364.0 + 0.3 + i * Second); // 8 December 2026 from 07:12
        s.ys.push_back(30.0f + float((i * 37) % 1000) / 10.0f);
    }
    return s;
}

struct Program : BenchProgram
{
    QString textFile = dir.filePath(QStringLiteral("full.txt"));
    Series series = fullSeries();

    Program()
    {
        WholeFile::write(
            textFile,
            TextExport::graphLines(series.xs, series.ys, { 1, Readings }, '\t', QLocale::system())
                .bytes);
    }
    void closeAllButThePanel()
    {
        for (QMdiSubWindow *frame : window->mdiArea().subWindowList())
            if (frame->widget() != window->PanelWindow)
                frame->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
};

void BM_ImportTextFile(benchmark::State &state)
{
    Program program;
    program.closeAllButThePanel();
    double before = residentMiB();
    double grown = 0;
    for (auto _ : state) {
        TfrmList *list = program.window->tables().ImportTextFile(program.textFile, "txt");
        if (!list || list->table().rowCount() != Readings + 1)
            state.SkipWithError("the table was not read");
        state.PauseTiming();
        grown = std::max(grown, residentMiB() - before);
        program.closeAllButThePanel();
        before = std::min(before, residentMiB());
        state.ResumeTiming();
    }
    state.counters["table_MiB"] = grown;
}
BENCHMARK(BM_ImportTextFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_OutputToGraph(benchmark::State &state)
{
    Program program;
    TfrmList *list = program.window->tables().ImportTextFile(program.textFile, "txt");
    for (auto _ : state) {
        TfrmGraph *graph = program.window->tables().btnOutputToGraphClick(list);
        if (!graph)
            state.SkipWithError("no graph");
        state.PauseTiming();
        graph->closeForm();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OutputToGraph)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// What ExportGraphText does after the range dialog: the lines with the progress window shown,
// then the file.
void BM_ExportGraphText(benchmark::State &state)
{
    Program program;
    const QString out = program.dir.filePath(QStringLiteral("out.txt"));
    for (auto _ : state) {
        ProgressWindow progress(ProgressWindow::Use::Saving, program.window.get());
        const TextExport::Lines lines
            = TextExport::graphLines(program.series.xs, program.series.ys, { 1, Readings }, '\t',
                                     QLocale::system(), &progress);
        if (lines.lines != Readings || !WholeFile::write(out, lines.bytes).isEmpty())
            state.SkipWithError("not written");
    }
}
BENCHMARK(BM_ExportGraphText)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ExportTableText(benchmark::State &state)
{
    Program program;
    TfrmList *list = program.window->tables().ImportTextFile(program.textFile, "txt");
    const QString out = program.dir.filePath(QStringLiteral("table.txt"));
    for (auto _ : state) {
        ProgressWindow progress(ProgressWindow::Use::Saving, program.window.get());
        const TextExport::Lines lines
            = TextExport::tableLines(list->table(), { 1, Readings }, '\t', &progress);
        if (lines.lines != Readings || !WholeFile::write(out, lines.bytes).isEmpty())
            state.SkipWithError("not written");
    }
}
BENCHMARK(BM_ExportTableText)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

AUDEXA_WINDOW_BENCHMARK_MAIN()
