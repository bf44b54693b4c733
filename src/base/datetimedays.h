#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>

// Date-times as the program keeps them: doubles counting days from 30 December 1899, the
// fraction being the time of day, read as local wall-clock time. One second is 1/86400 day.
// The graphs, the data logger and the command-line companion all convert through here.
namespace DateTimeDays {

inline constexpr double SecondsPerDay = 86400.0;
inline constexpr qint64 MsPerDay = 86400000;
inline constexpr double OneSecond = 1.0 / SecondsPerDay;
// 1 January 1970 counted from 30 December 1899.
inline constexpr double UnixEpochDays = 25569.0;

double fromDateTime(const QDateTime &dateTime);
double fromDateTime(const QDate &date, const QTime &time);
// The local date-time of a value, to the nearest millisecond; an invalid QDateTime for a value
// that is not finite or lies outside the years a QDate can hold.
QDateTime toDateTime(double days);
// The calendar date and the wall-clock time of a value on their own (invalid for a value that
// names no date-time). Unlike a local QDateTime, they stand even in an hour the time zone skips.
QDate dateOf(double days);
QTime timeOf(double days);
// Both at once.
struct DateAndTime
{
    QDate date;
    QTime time;
};
DateAndTime dateAndTimeOf(double days);

// The value rounded to the second: a millisecond part above 500 rounds up, 500 and below down.
// A value that is not finite stays as it is.
double roundedToSecond(double days);

// A locale's time format with whole seconds (or without seconds for the short format): no
// milliseconds and no time zone name.
QString wholeSecondsTimeFormat(const QLocale &locale, QLocale::FormatType type);

// The user's locale's short date and long time format, whole seconds (milliseconds dropped).
// Empty for a value that names no date-time.
QString dateTimeText(double days);
// The time of day alone, in the user's locale's long time format.
QString timeText(double days);
// dateTimeText of the value rounded to the second.
QString RoundedTimeText(double days);
// "2007-03-15T10:30:00", rounded to the second, whatever the locale; "invalid" for a value that
// names no date-time.
QString isoText(double days);

} // namespace DateTimeDays
