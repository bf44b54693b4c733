// Decoding a full logger memory: 131,072 bytes holding about 65,000 readings in a few large data
// sets, one of them starting on a page boundary so that its end is found by scanning. The target
// is under 1 ms per decode (median of the repetitions, Release build).

#include "base/clock.h"
#include "logger/loggerdata.h"
#include "logger/memorydecoder.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int MemorySize = 131072;

class FixedClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 8), QTime(10, 30, 0)); }
    qint64 tickCountMs() const override { return 0; }
    void spinWait(int) override { }
};

void put24(QByteArray &bytes, qsizetype at, int value)
{
    bytes[at] = char((value >> 16) & 0xFF);
    bytes[at + 1] = char((value >> 8) & 0xFF);
    bytes[at + 2] = char(value & 0xFF);
}

// Four data sets filling the memory; the second starts where (s + 11) mod 256 = 255.
QByteArray fullMemory(int *readings)
{
    QByteArray memory(MemorySize, '\0');
    memory[0] = 0x04;
    memory[31] = 0x05;
    const int sets = 4;
    memory[10] = char(sets);
    int s = 256;
    *readings = 0;
    for (int i = 0; i < sets; ++i) {
        int count = (MemorySize - s) / (2 * (sets - i)) - 9;
        if (i == 0) // the next set starts at 244 modulo 256
            count = ((s + 18 + 2 * count) / 256 * 256 + 244 - s - 18) / 2;
        if (i == sets - 1)
            count = (MemorySize - s - 18) / 2;
        memory[s] = char(0xA5);
        memory[s + 1] = char(0x5A);
        const char time[6] = { 0x23, 0x06, 0x12, 0x09, 0x00, 0x00 };
        for (int f = 0; f < 6; ++f)
            memory[s + 3 + f] = time[f];
        memory[s + 10] = char(1 + i);
        put24(memory, s + 11, count);
        memory[s + 14] = char(i * 5);
        for (int k = 0; k < count; ++k) {
            const int level = 450 + (k * 7919 + i * 131) % 600; // 45.0 to 104.9 dB
            memory[s + 16 + 2 * k] = char(level >> 8);
            memory[s + 17 + 2 * k] = char(level & 0xFF);
        }
        const int e = s + 17 + 2 * count;
        memory[e - 1] = char(0x5A);
        memory[e] = char(0xA5);
        *readings += count;
        s = e + 1;
    }
    put24(memory, 11, s - 1);
    return memory;
}

void BM_DecodeFullMemory(benchmark::State &state)
{
    int readings = 0;
    const QByteArray memory = fullMemory(&readings);
    const int lastAddress
        = (quint8(memory[11]) << 16) | (quint8(memory[12]) << 8) | quint8(memory[13]);
    const FixedClock clock;
    LoggerData data;
    if (MemoryDecoder::DecodeLoggerMemory(memory, lastAddress, clock, data) != 0
        || int(data.levels.size()) != readings || (data.setHeaderOffsets[1] + 11) % 256 != 255) {
        state.SkipWithError("the image does not decode as built");
        return;
    }
    for (auto _ : state) {
        // A fresh model each time, as after starting the program.
        LoggerData fresh;
        benchmark::DoNotOptimize(
            MemoryDecoder::DecodeLoggerMemory(memory, lastAddress, clock, fresh));
        benchmark::DoNotOptimize(fresh.levels.data());
    }
    state.counters["readings"] = readings;
}

void BM_DecodeFullMemoryAgain(benchmark::State &state)
{
    int readings = 0;
    const QByteArray memory = fullMemory(&readings);
    const FixedClock clock;
    LoggerData data;
    for (auto _ : state) {
        // Into the model of the previous decode, as for a second download.
        benchmark::DoNotOptimize(
            MemoryDecoder::DecodeLoggerMemory(memory, MemorySize - 1, clock, data));
        benchmark::DoNotOptimize(data.levels.data());
    }
    state.counters["readings"] = readings;
}

void measured(benchmark::internal::Benchmark *b)
{
    b->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_DecodeFullMemory)->Apply(measured);
BENCHMARK(BM_DecodeFullMemoryAgain)->Apply(measured);

} // namespace

BENCHMARK_MAIN();
