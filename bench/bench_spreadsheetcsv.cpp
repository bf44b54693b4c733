// A spreadsheet's CSV of 1,048,576 readings (a header, every field quoted, ISO 8601 date-times
// with their UTC offset, a note) read into a table as "Open single data file" reads it, in the
// en_US locale; and, in the same run, Python's csv module with datetime.fromisoformat reading
// the same file (bench/read_csv.py), whose median is the counter python_s.

#include "files/textimport.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int Lines = 1 << 20;

QString writeCsv(const QTemporaryDir &dir)
{
    const QString name = dir.filePath(QStringLiteral("readings.csv"));
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QByteArray text = "\"time\",\"level_dB\",\"note\"\r\n";
    const QDateTime start(QDate(2026, 12, 8), QTime(7, 0), Qt::OffsetFromUTC, 3600);
    for (int i = 0; i < Lines; ++i) {
        text += '"' + start.addSecs(i).toString(Qt::ISODate).toLatin1() + "\",\""
            + QByteArray::number(30.0 + (i * 37 % 1000) / 10.0, 'f', 1) + "\",\""
            + (i % 100 == 0 ? "door \"\"A\"\"" : "") + "\"\r\n";
        if (text.size() > (1 << 20)) {
            file.write(text);
            text.clear();
        }
    }
    file.write(text);
    return name;
}

void BM_ReadSpreadsheetCsv(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString name = writeCsv(dir);
    const QLocale locale(QStringLiteral("en_US"));
    for (auto _ : state) {
        const TextImport::Result read = TextImport::readFile(name, u',', 7, locale);
        if (read.lines != Lines)
            state.SkipWithError("the table was not read whole");
        benchmark::DoNotOptimize(read.table.rowCount());
    }
    QProcess python;
    python.start(QStringLiteral("python3"),
                 { QStringLiteral(AUDEXA_BENCH_DIR "/read_csv.py"), name, QStringLiteral("5") });
    if (python.waitForFinished(600000) && python.exitCode() == 0)
        state.counters["python_s"] = python.readAllStandardOutput().trimmed().toDouble();
    else
        state.SkipWithError("python3 did not run bench/read_csv.py");
}
BENCHMARK(BM_ReadSpreadsheetCsv)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
