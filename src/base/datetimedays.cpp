#include "base/datetimedays.h"

#include "base/datetimeformat.h"

#include <cmath>
#include <optional>

namespace {

// Values further than this from the epoch name no date a QDate holds comfortably.
constexpr double MaxDays = 1.0e9;

qint64 epochJulianDay()
{
    return QDate(1899, 12, 30).toJulianDay();
}

// Milliseconds since the epoch, or nothing for a value that names no date-time.
std::optional<qint64> toMs(double days)
{
    if (!std::isfinite(days) || std::fabs(days) > MaxDays)
        return std::nullopt;
    return std::llround(days * static_cast<double>(DateTimeDays::MsPerDay));
}

// The calendar date and the wall-clock time a value stands for, kept apart: a local time that
// the time zone skips (the hour clocks spring forward) is still a time the meter recorded.
struct Split
{
    QDate date;
    QTime time;
    bool valid() const { return date.isValid() && time.isValid(); }
};

Split split(double days)
{
    const std::optional<qint64> ms = toMs(days);
    if (!ms)
        return {};
    qint64 day = *ms / DateTimeDays::MsPerDay;
    qint64 rest = *ms % DateTimeDays::MsPerDay;
    if (rest < 0) {
        rest += DateTimeDays::MsPerDay;
        --day;
    }
    return { QDate::fromJulianDay(epochJulianDay() + day),
             QTime::fromMSecsSinceStartOfDay(static_cast<int>(rest)) };
}

} // namespace

namespace DateTimeDays {

double fromDateTime(const QDate &date, const QTime &time)
{
    return static_cast<double>(date.toJulianDay() - epochJulianDay())
        + static_cast<double>(time.msecsSinceStartOfDay()) / static_cast<double>(MsPerDay);
}

double fromDateTime(const QDateTime &dateTime)
{
    return fromDateTime(dateTime.date(), dateTime.time());
}

QDateTime toDateTime(double days)
{
    const Split parts = split(days);
    if (!parts.valid())
        return {};
    return QDateTime(parts.date, parts.time);
}

QDate dateOf(double days)
{
    return split(days).date;
}

QTime timeOf(double days)
{
    return split(days).time;
}

DateAndTime dateAndTimeOf(double days)
{
    const Split parts = split(days);
    return { parts.date, parts.time };
}

double roundedToSecond(double days)
{
    const std::optional<qint64> ms = toMs(days);
    if (!ms)
        return days;
    qint64 millis = *ms % 1000;
    if (millis < 0)
        millis += 1000;
    const qint64 whole = *ms - millis + (millis > 500 ? 1000 : 0);
    return static_cast<double>(whole) / static_cast<double>(MsPerDay);
}

QString wholeSecondsTimeFormat(const QLocale &locale, QLocale::FormatType type)
{
    return DateTimeFormat::withoutZoneAndMilliseconds(locale.timeFormat(type));
}

QString dateTimeText(double days)
{
    const Split t = split(days);
    if (!t.valid())
        return {};
    const QLocale locale = QLocale::system();
    return locale.toString(t.date, QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(t.time, wholeSecondsTimeFormat(locale, QLocale::LongFormat));
}

QString timeText(double days)
{
    const Split t = split(days);
    if (!t.valid())
        return {};
    const QLocale locale = QLocale::system();
    return locale.toString(t.time, wholeSecondsTimeFormat(locale, QLocale::LongFormat));
}

QString RoundedTimeText(double days)
{
    return dateTimeText(roundedToSecond(days));
}

QString isoText(double days)
{
    const Split t = split(roundedToSecond(days));
    if (!t.valid())
        return QStringLiteral("invalid");
    const QDate d = t.date;
    const QTime h = t.time;
    return QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02d", d.year(), d.month(), d.day(),
                             h.hour(), h.minute(), h.second());
}

} // namespace DateTimeDays
