#include "graph/realtimerecorder.h"

#include "base/appstate.h"
#include "base/datetimedays.h"
#include "chart/chartmodel.h"
#include "graph/samplingrate.h"
#include "survey/graphstatistics.h"

#include <cmath>

namespace {
constexpr double HundredSeconds = 100.0 * DateTimeDays::OneSecond;
constexpr double ThirtySeconds = 30.0 * DateTimeDays::OneSecond;

QString clockText(double days)
{
    return DateTimeDays::timeText(DateTimeDays::roundedToSecond(days));
}
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
    // The first point takes the level the poll has, if any reading ever came.
    m_readingsAtLastPoint = state.LiveReadingCount - 1;
    m_validPoints = 0;
    m_lostSince = NoTime;
    m_lastBeat = now;
    chart.xScale = { true, now, now + HundredSeconds };
}

bool RealTimeRecorder::append(AppState &state, ChartModel &chart, double now, Texts &texts)
{
    if (state.RealTimeCount >= chart.points())
        return false; // the chart is full: the tick stops the recording
    m_lastBeat = now;
    const bool fresh = state.LiveReadingCount != m_readingsAtLastPoint;
    m_readingsAtLastPoint = state.LiveReadingCount;

    float v = ChartModel::NullValue;
    if (fresh) {
        v = state.CurrentLevel;
        if (v > 140.0f || v < 20.0f) {
            if (!(LastValidLevel > 30.0f))
                return false;
            v = LastValidLevel;
            state.CurrentLevel = v;
        } else {
            LastValidLevel = v;
        }
        if (!std::isnan(m_lostSince)) {
            texts.meterLost
                = QStringLiteral("No readings from %1 to %2: the graph has a gap there.")
                      .arg(clockText(m_lostSince), clockText(now));
            m_lostSince = NoTime;
        }
    } else if (std::isnan(m_lostSince)) {
        m_lostSince = now;
        texts.meterLost
            = QStringLiteral("No readings since %1: the graph has a gap.").arg(clockText(now));
    }

    state.RealTimeModified = true;
    if (fresh) {
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
        ++m_validPoints;
        texts.dataNo = QString::number(m_validPoints);
    }
    chart.setX(0, state.RealTimeCount, now);
    chart.setY(0, state.RealTimeCount, v);
    ++state.RealTimeCount;
    if (chart.xScale.max < now)
        chart.xScale.max = now + ThirtySeconds;
    return true;
}

RealTimeRecorder::Tick RealTimeRecorder::tick(AppState &state, ChartModel &chart, double now,
                                              Texts &texts)
{
    // The timer ticks once a second; a longer wait means ticks that could not run.
    const double since = (now - m_lastBeat) / DateTimeDays::OneSecond;
    const qint64 missed = std::isfinite(since) && since > 1.5 ? qint64(std::lround(since)) - 1 : 0;
    const double from = m_lastBeat;
    m_lastBeat = now;
    bool appended = false;
    double firstGap = NoTime;
    for (qint64 k = 1; k <= missed && state.RealTimeCount < chart.points(); ++k) {
        if (!SamplingRate::tickDue(++RealTimeTicks, state.RealTimeRate))
            continue;
        RealTimeTicks = 0;
        const double due = from + double(k) * DateTimeDays::OneSecond;
        if (std::isnan(firstGap))
            firstGap = due;
        chart.setX(0, state.RealTimeCount, due);
        chart.setY(0, state.RealTimeCount, ChartModel::NullValue);
        ++state.RealTimeCount;
        state.RealTimeModified = true;
        appended = true;
    }
    if (!std::isnan(firstGap))
        texts.meterLost = QStringLiteral("No points could be taken from %1 to %2: the graph has a "
                                         "gap there.")
                              .arg(clockText(firstGap), clockText(now));
    if (chart.points() - 1 < state.RealTimeCount)
        return Tick::Finished;

    ++RealTimeTicks;
    if (!SamplingRate::tickDue(RealTimeTicks, state.RealTimeRate))
        return appended ? Tick::Appended : Tick::Waiting;
    RealTimeTicks = 0;
    appended = append(state, chart, now, texts) || appended;
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
    int valid = 0;
    for (int i = 0; i < n && i < chart.points(); ++i) {
        const float y = chart.y(0, i);
        if (!ChartModel::isNull(y)) {
            sum += y;
            ++valid;
        }
    }
    if (valid > 0)
        result.avgAll = GraphStatistics::levelText(sum / valid);
    if (n >= 2) {
        result.placeCursors = true;
        result.sliderMaximum = n - 1;
        result.value1 = n == 2 ? 0 : n / 3;
        result.value2 = n == 2 ? 1 : n * 2 / 3;
    }
    return result;
}
