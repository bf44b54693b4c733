#pragma once

// Shared by the benchmarks that run the program's windows: they run offscreen, and their
// start-up wait costs nothing.

#include "base/clock.h"

#include <QApplication>

#include <benchmark/benchmark.h>

class InstantClock : public SystemClock
{
public:
    void spinWait(int) override { }
};

// main() for a window benchmark: an offscreen application, then the registered benchmarks.
#define AUDEXA_WINDOW_BENCHMARK_MAIN()                                                             \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                   \
        QApplication app(argc, argv);                                                              \
        benchmark::Initialize(&argc, argv);                                                        \
        if (benchmark::ReportUnrecognizedArguments(argc, argv))                                    \
            return 1;                                                                              \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
