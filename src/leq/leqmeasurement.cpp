#include "leq/leqmeasurement.h"

#include "meter/bcd.h"
#include "meter/livereading.h"

#include <cmath>
#include <optional>

namespace {

// A moment of the meter's clock, and its count of seconds for the steps between two of them.
struct ClockTime
{
    QDate date;
    QTime time;
    qint64 seconds() const
    {
        return date.toJulianDay() * 86400 + time.msecsSinceStartOfDay() / 1000;
    }
};

// The meter's clock of a live reply: date from bytes 21 (year in 2000-2099), 19 (month) and 20
// (day), time from bytes 17, 16 and 15, each byte two decimal digits; nothing when they name no
// date and time.
std::optional<ClockTime> meterTime(const ReplyReport &reply)
{
    const auto year = Bcd::toInt(reply[21]);
    const auto month = Bcd::toInt(reply[19]);
    const auto day = Bcd::toInt(reply[20]);
    const auto hour = Bcd::toInt(reply[17]);
    const auto minute = Bcd::toInt(reply[16]);
    const auto second = Bcd::toInt(reply[15]);
    if (!year || !month || !day || !hour || !minute || !second)
        return std::nullopt;
    const QDate date(2000 + *year, *month, *day);
    const QTime time(*hour, *minute, *second);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return ClockTime { date, time };
}

} // namespace

void LeqMeasurement::start(int durationSeconds)
{
    m_running = true;
    m_started = false;
    m_secondsLeft = durationSeconds;
    m_failedReads = 0;
    m_count = 0;
    m_sum = 0;
    m_runningLeq = 0.0;
    m_lastRate = 0;
    m_seconds.clear();
}

void LeqMeasurement::restore(std::vector<Second> seconds)
{
    start(0);
    m_running = false;
    m_seconds = std::move(seconds);
    for (const Second &s : m_seconds)
        if (s.readings) {
            m_runningLeq = s.leq;
            m_lastRate = s.readings;
        }
}

void LeqMeasurement::complete(QDate date, QTime time, int readings, qint64 sum)
{
    Second s;
    s.date = date;
    s.time = time;
    s.readings = readings;
    s.spl = double(sum) / (double(readings) * 10.0);
    const double n = double(m_seconds.size() + 1);
    double leq = s.spl;
    if (n > 1.0) {
        leq = 10.0
            * std::log10((n - 1.0) / n * std::pow(10.0, m_runningLeq / 10.0)
                         + 1.0 / n * std::pow(10.0, s.spl / 10.0));
        if (!std::isfinite(leq))
            leq = m_runningLeq;
    }
    s.leq = m_runningLeq = leq;
    m_lastRate = readings;
    m_seconds.push_back(s);
    --m_secondsLeft;
}

void LeqMeasurement::completeEmpty(QDate date, QTime time)
{
    Second s;
    s.date = date;
    s.time = time;
    s.leq = m_runningLeq;
    m_seconds.push_back(s);
    --m_secondsLeft;
}

LeqMeasurement::Tick LeqMeasurement::tick(const ReplyReport *reply, const QDateTime &now)
{
    Tick t;
    if (!m_running)
        return t;
    // A reply that is not framed as a live reply carries no level.
    if (!reply || !LiveReading::isFramed(*reply)) {
        if (++m_failedReads > MaxFailedReads) {
            m_running = false;
            t.end = End::Failed;
        }
        return t;
    }

    ClockTime at;
    if (const std::optional<ClockTime> meter = meterTime(*reply)) {
        at = *meter;
    } else {
        const QTime time = now.time();
        at = { now.date(), QTime(time.hour(), time.minute(), time.second()) };
    }
    const int tenths = (*reply)[5] * 256 + (*reply)[6];
    t.read = true;
    t.date = at.date;
    t.time = at.time;
    t.level = tenths * 0.1;

    if (!m_started) {
        m_started = true;
        m_runningLeq = t.level;
    } else if (at.seconds() != ClockTime { m_lastDate, m_lastTime }.seconds()) {
        const std::size_t before = m_seconds.size();
        complete(m_lastDate, m_lastTime, m_count, m_sum);
        // Seconds of the meter's clock that no reading arrived in. A clock that jumps further
        // (or back) has been set or misread: no seconds are made up for it.
        const qint64 gap = at.seconds() - ClockTime { m_lastDate, m_lastTime }.seconds();
        for (qint64 k = 1; k < gap && gap <= LeqMeasurement::MaxGapSeconds && m_secondsLeft > 0;
             ++k) {
            const QDateTime empty = QDateTime(m_lastDate, m_lastTime, Qt::UTC).addSecs(k);
            completeEmpty(empty.date(), empty.time());
        }
        t.completed = int(m_seconds.size() - before);
        m_count = 0;
        m_sum = 0;
        if (m_secondsLeft <= 0) {
            m_running = false;
            t.end = End::TimeUp;
            return t;
        }
    } else {
        ++m_count;
        m_sum += tenths;
        return t;
    }
    // This reading opens a new second, and counts in it.
    m_lastDate = at.date;
    m_lastTime = at.time;
    m_count = 1;
    m_sum = tenths;
    return t;
}

QString LeqMeasurement::timeLeftText(int seconds)
{
    seconds = std::max(0, seconds);
    return QStringLiteral("%1:%2:%3").arg(seconds / 3600).arg(seconds / 60 % 60).arg(seconds % 60);
}
