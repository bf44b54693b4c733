#pragma once

// Shared by the benchmarks that run the program's windows: they run offscreen, and their
// start-up wait costs nothing.

#include "app/ui/tfrmmain.h"
#include "base/appfolders.h"
#include "base/clock.h"
#include "base/ui/prompts.h"
#include "meter/simulatedmeter.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <functional>
#include <memory>
#include <unistd.h>

// The program's resident memory now, in MiB (Linux).
inline double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1048576.0
                             : 0.0;
}

// The computer's clock, moved on by what a benchmark steps it; its waits return at once.
class InstantClock : public SystemClock
{
public:
    void spinWait(int) override { }
    QDateTime now() const override { return SystemClock::now().addMSecs(m_stepped); }
    qint64 tickCountMs() const override { return SystemClock::tickCountMs() + m_stepped; }
    void step(qint64 ms) { m_stepped += ms; }

private:
    qint64 m_stepped = 0;
};

// The program on the simulated meter in a temporary folder, shown at 1280 x 800 with its poll
// stopped after the first tick; prepare runs on the meter before the window is made.
struct BenchProgram
{
    QTemporaryDir dir;
    InstantClock clock;
    SimulatedMeter meter { clock, 1 };
    QtPrompts prompts;
    QSettings settings { dir.filePath("s.ini"), QSettings::IniFormat };
    std::unique_ptr<TfrmMain> window;

    explicit BenchProgram(const std::function<void(SimulatedMeter &)> &prepare = {})
    {
        if (prepare)
            prepare(meter);
        AppFolders folders;
        folders.documentsFolder = dir.path();
        folders.programFolder = dir.path();
        window = std::make_unique<TfrmMain>(meter, clock, prompts, settings, folders);
        window->resize(1280, 800);
        window->show();
        window->MainTimer.stop();
        window->MainTimerTimer();
        QCoreApplication::processEvents();
    }
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
