#include "graph/realtimerecorder.h"

#include "app/appstate.h"
#include "graph/chartmodel.h"
#include "graph/datetimedays.h"
#include "graph/graphstatistics.h"
#include "graph/samplingrate.h"

namespace {
constexpr double HundredSeconds = 100.0 / 86400.0;
constexpr double ThirtySeconds = 30.0 / 86400.0;
} // namespace

void RealTimeRecorder::start(AppState &state, ChartModel &chart, int count, double now)
{
    chart.setPoints(count);
    for (int i = 0; i < count; ++i)
        chart.fillPoint(i, 0.0, ChartModel::NullValue);
    state.RealTimeCount = 0;
    RealTimeMax = -9999.0f;
    RealTimeMin = 9999.0f;
    LastValidLevel = 0.0f;
    RealTimeTicks = 0;
    chart.xScale = { true, now, now + HundredSeconds };
}

bool RealTimeRecorder::append(AppState &state, ChartModel &chart, double now, Texts &texts)
{
    if (state.RealTimeCount >= chart.points())
        return false; // the chart is full: the tick stops the recording
    float v = state.CurrentLevel;
    if (v > 140.0f || v < 20.0f) {
        if (!(LastValidLevel > 30.0f))
            return false;
        v = LastValidLevel;
        state.CurrentLevel = v;
    } else {
        LastValidLevel = v;
    }
    state.RealTimeModified = true;
    if (v > RealTimeMax) {
        RealTimeMax = v;
        RealTimeMaxTime = now;
        texts.max = GraphStatistics::levelText(v);
        texts.maxTime = DateTimeDays::dateTimeText(now);
    }
    if (v < RealTimeMin) {
        RealTimeMin = v;
        RealTimeMinTime = now;
        texts.min = GraphStatistics::levelText(v);
        texts.minTime = DateTimeDays::dateTimeText(now);
    }
    chart.setX(0, state.RealTimeCount, now);
    chart.setY(0, state.RealTimeCount, v);
    ++state.RealTimeCount;
    texts.dataNo = QString::number(state.RealTimeCount);
    if (chart.xScale.max < now)
        chart.xScale.max = now + ThirtySeconds;
    return true;
}

RealTimeRecorder::Tick RealTimeRecorder::tick(AppState &state, ChartModel &chart, double now,
                                              Texts &texts)
{
    ++RealTimeTicks;
    if (!SamplingRate::tickDue(RealTimeTicks, state.RealTimeRate))
        return Tick::Waiting;
    RealTimeTicks = 0;
    const bool appended = append(state, chart, now, texts);
    if (chart.points() - 1 < state.RealTimeCount)
        return Tick::Finished;
    return appended ? Tick::Appended : Tick::Skipped;
}

RealTimeRecorder::StopResult RealTimeRecorder::stop(AppState &state, ChartModel &chart, double now)
{
    StopResult result;
    const int n = state.RealTimeCount;
    if (n > 0 && n < chart.points())
        chart.setPoints(n);
    chart.xScale.manual = true;
    chart.xScale.max = now;
    double sum = 0.0;
    for (int i = 0; i < n && i < chart.points(); ++i)
        sum += chart.y(0, i);
    result.avgAll = GraphStatistics::levelText(n > 0 ? sum / n : 0.0);
    if (n >= 2) {
        result.placeCursors = true;
        result.sliderMaximum = n - 1;
        result.value1 = n == 2 ? 0 : n / 3;
        result.value2 = n == 2 ? 1 : n * 2 / 3;
    }
    return result;
}
