#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cmath>

// Date-times of the data logger: doubles counting days from 30 December 1899, local wall-clock
// time, the fraction being the time of day. The data logger core keeps its own small copy of the
// conversion so that it does not depend on the chart libraries.
namespace LoggerDays {

inline constexpr qint64 MsPerDay = 86400000;
inline constexpr double SecondsPerDay = 86400.0;

inline qint64 epochJulianDay()
{
    return QDate(1899, 12, 30).toJulianDay();
}

inline double fromDateTime(const QDate &date, const QTime &time)
{
    return static_cast<double>(date.toJulianDay() - epochJulianDay())
        + static_cast<double>(time.msecsSinceStartOfDay()) / static_cast<double>(MsPerDay);
}

inline double fromDateTime(const QDateTime &dateTime)
{
    return fromDateTime(dateTime.date(), dateTime.time());
}

// The local date-time of a value, to the nearest millisecond; an invalid QDateTime for a value
// that is not finite or lies outside the years a QDate can hold.
inline QDateTime toDateTime(double days)
{
    if (!std::isfinite(days) || std::fabs(days) > 1.0e9)
        return {};
    const qint64 ms = std::llround(days * static_cast<double>(MsPerDay));
    qint64 day = ms / MsPerDay;
    qint64 rest = ms % MsPerDay;
    if (rest < 0) {
        rest += MsPerDay;
        --day;
    }
    return QDateTime(QDate::fromJulianDay(epochJulianDay() + day),
                     QTime::fromMSecsSinceStartOfDay(static_cast<int>(rest)));
}

} // namespace LoggerDays
