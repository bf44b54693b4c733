#pragma once

#include <QDateTime>
#include <QString>

// Date-times as the program keeps them: doubles counting days from 30 December 1899 (local
// time), the fraction being the time of day. One second is 1/86400 day.
namespace DateTimeDays {

inline constexpr double OneSecond = 1.0 / 86400.0;

double fromDateTime(const QDateTime &dateTime);
QDateTime toDateTime(double days);

// The value rounded to the second: a millisecond part above 500 rounds up, 500 and below down.
double roundedToSecond(double days);

// The user's locale's short date and long time format, whole seconds (milliseconds dropped).
QString dateTimeText(double days);
// The time of day alone, in the user's locale's long time format.
QString timeText(double days);
// dateTimeText of the value rounded to the second.
QString RoundedTimeText(double days);

} // namespace DateTimeDays
