// The journal's cost to a recording: appending one point, with the disk write it asks for once a
// second, on the window thread; and the size of a day's recording at the fastest rate.
#include "files/journalwriter.h"
#include "files/measurementjournal.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const MeasurementJournal::Header Header { MeasurementJournal::Kind::RealTime, 46000.5, 0.2,
                                          432000 };

// One point appended, as the recording timer does after each reading. The sync thread puts the
// file on the disk about once a second; the time measured is what the window thread spends.
void BM_AppendPoint(benchmark::State &state)
{
    QTemporaryDir dir;
    JournalWriter writer;
    if (!writer.start(JournalWriter::fileName(dir.path(), Header), Header).isEmpty()) {
        state.SkipWithError("no journal");
        return;
    }
    double x = Header.start;
    for (auto _ : state) {
        x += 0.2 / 86400.0;
        if (!writer.append(MeasurementJournal::Point { x, 65.4f }).isEmpty())
            state.SkipWithError("not written");
    }
}

// 24 hours at 0.2 s: 432,000 points.
void BM_DayAtFastestRate(benchmark::State &state)
{
    QTemporaryDir dir;
    QString path;
    for (auto _ : state) {
        JournalWriter writer;
        path = JournalWriter::fileName(dir.path(), Header);
        if (!writer.start(path, Header).isEmpty())
            state.SkipWithError("no journal");
        double x = Header.start;
        for (int i = 0; i < 432000; ++i) {
            x += 0.2 / 86400.0;
            writer.append(MeasurementJournal::Point { x, 65.4f });
        }
    }
    state.counters["MB"] = double(QFileInfo(path).size()) / 1e6;
}

} // namespace

BENCHMARK(BM_AppendPoint)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_DayAtFastestRate)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
