#pragma once

#include <QString>

#include <limits>
#include <optional>

class ChartModel;
struct AppState;

// Recording the live level into the real-time graph: one point per sampling period until the
// chosen count is reached or the user stops. Points not yet recorded hold the null value, so
// the chart shows nothing for them. Free of widgets: the window shows what it returns.
//
// A point is recorded from a live reading that arrived since the previous point. When none
// arrived (the meter is unplugged, times out or sends replies that are not framed), the point
// is a null point: a gap in the graph that every figure leaves out, never the last level again.
// The recording goes on, and takes levels again when readings come back. A tick that could not
// run (the window thread was held up) is a null point too, at the time it was due.
class RealTimeRecorder
{
public:
    // The most points a recording takes: ten million points take about 250 MB, and a chart of
    // more would hold the window for minutes and run out of memory.
    static constexpr int MaxPoints = 10'000'000;

    // Field texts an appended point changes; unset fields keep their text.
    struct Texts
    {
        std::optional<QString> max, maxTime, min, minTime, dataNo;
        // What the window says about a gap: when the meter was lost and when it came back, or
        // when ticks could not run.
        std::optional<QString> meterLost;
    };

    enum class Tick { Waiting, Appended, Skipped, Finished };

    struct StopResult
    {
        QString avgAll; // empty when no valid point was recorded
        // The cursor slider, when there are two points or more.
        bool placeCursors = false;
        int sliderMaximum = 0;
        int value1 = 0;
        int value2 = 0;
    };

    // Run: the chart gets count null points, the running figures start anew, and the X scale
    // spans 100 s from now (days).
    void start(AppState &state, ChartModel &chart, int count, double now);

    // Appends the next point at now: CurrentLevel when a reading arrived since the previous
    // point, a null point otherwise. A level outside 20 to 140 dB is replaced by the last valid
    // level when that is above 30 dB, and skipped otherwise. False when skipped.
    bool append(AppState &state, ChartModel &chart, double now, Texts &texts);

    // One tick of the one-second recording timer. The ticks that did not come since the last one
    // (more than a second and a half apart) are counted first: each that was due a point
    // appends a null point at its time. Appended when any point was appended.
    Tick tick(AppState &state, ChartModel &chart, double now, Texts &texts);

    // Stop: the chart keeps only the points recorded, the X scale ends now, and the average
    // and the cursors' places are worked out.
    StopResult stop(AppState &state, ChartModel &chart, double now);

    int RealTimeTicks = 0;
    float RealTimeMax = -9999.0f;
    float RealTimeMin = 9999.0f;
    double RealTimeMaxTime = 0.0;
    double RealTimeMinTime = 0.0;
    float LastValidLevel = 0.0f;

private:
    static constexpr double NoTime = std::numeric_limits<double>::quiet_NaN();

    quint64 m_readingsAtLastPoint = 0;
    int m_validPoints = 0;
    double m_lostSince = NoTime; // the first null point of the gap that is still open
    double m_lastBeat = NoTime; // the last tick, or Run's first point
};
