// Writing and reading the date and time texts of a text file of 65,536 readings, one a second,
// in en_US (12-hour clock, two-digit year) and de_DE. The targets are well under 25 ms for
// writing the lines (date, tab, time, CR LF into one QByteArray) and well under 60 ms for
// reading the combined "date time" texts (medians of the repetitions, Release build).

#include "base/datetimepattern.h"

#include <QDateTime>
#include <QStringList>

#include <benchmark/benchmark.h>

namespace {

constexpr int Readings = 65536;

QDateTime reading(int i)
{
    return QDateTime(QDate(2026, 12, 8), QTime(21, 5, 7), Qt::UTC).addSecs(i);
}

void BM_WriteLines(benchmark::State &state, const char *localeName)
{
    const QLocale locale(localeName);
    const DateTimePattern date = DateTimePattern::date(locale);
    const DateTimePattern time = DateTimePattern::time(locale);
    std::vector<QDate> dates;
    std::vector<QTime> times;
    for (int i = 0; i < Readings; ++i) {
        dates.push_back(reading(i).date());
        times.push_back(reading(i).time());
    }
    for (auto _ : state) {
        QByteArray out;
        for (int i = 0; i < Readings; ++i) {
            date.appendUtf8(out, dates[i], QTime());
            out += '\t';
            time.appendUtf8(out, QDate(), times[i]);
            out += "\r\n";
        }
        benchmark::DoNotOptimize(out.data());
        state.counters["bytes"] = double(out.size());
    }
}

void BM_ReadTexts(benchmark::State &state, const char *localeName)
{
    const DateTimePattern pattern = DateTimePattern::dateTime(QLocale(localeName));
    QStringList texts;
    for (int i = 0; i < Readings; ++i)
        texts << pattern.toString(reading(i).date(), reading(i).time());
    if (!pattern.read(texts.last())) {
        state.SkipWithError("the texts written do not read");
        return;
    }
    for (auto _ : state) {
        int read = 0;
        for (const QString &text : texts)
            read += pattern.read(text).has_value();
        benchmark::DoNotOptimize(read);
    }
}

void measured(benchmark::internal::Benchmark *b)
{
    b->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);
}

BENCHMARK_CAPTURE(BM_WriteLines, en_US, "en_US")->Apply(measured);
BENCHMARK_CAPTURE(BM_WriteLines, de_DE, "de_DE")->Apply(measured);
BENCHMARK_CAPTURE(BM_ReadTexts, en_US, "en_US")->Apply(measured);
BENCHMARK_CAPTURE(BM_ReadTexts, de_DE, "de_DE")->Apply(measured);

} // namespace

BENCHMARK_MAIN();
