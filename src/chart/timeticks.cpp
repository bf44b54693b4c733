#include "chart/timeticks.h"

#include "base/datetimedays.h"

#include <array>
#include <cmath>

namespace {

constexpr double Minute = 60.0;
constexpr double Hour = 3600.0;
constexpr double Day = DateTimeDays::SecondsPerDay;

constexpr std::array<double, 22> Ladder {
    1,          2,           5,           10,          15,       30,       Minute,   2 * Minute,
    5 * Minute, 10 * Minute, 15 * Minute, 30 * Minute, Hour,     2 * Hour, 3 * Hour, 6 * Hour,
    12 * Hour,  Day,         2 * Day,     7 * Day,     14 * Day, 28 * Day,
};

} // namespace

namespace TimeTicks {

double stepFor(double spanSeconds, int ticks)
{
    const double wanted = spanSeconds / std::max(1, ticks);
    if (!(wanted > 0))
        return Ladder.front();
    if (wanted > Ladder.back())
        return std::round(wanted / Ladder.back()) * Ladder.back(); // whole multiples of 4 weeks
    // The step nearest the wanted one, by ratio.
    double best = Ladder.front();
    for (double step : Ladder)
        if (std::fabs(std::log(step / wanted)) < std::fabs(std::log(best / wanted)))
            best = step;
    return best;
}

std::vector<double> ticks(double lower, double upper, double step)
{
    std::vector<double> result;
    if (!(step > 0) || !(upper >= lower) || (upper - lower) / step > 10000)
        return result;
    for (double k = std::ceil(lower / step); k * step <= upper; k += 1)
        result.push_back(k * step);
    return result;
}

QString labelFormat(double step, double spanSeconds, const QLocale &locale)
{
    const QString date = locale.dateFormat(QLocale::ShortFormat);
    if (step >= Day)
        return date;
    const QString time = DateTimeDays::wholeSecondsTimeFormat(
        locale, step < Minute ? QLocale::LongFormat : QLocale::ShortFormat);
    if (spanSeconds > Day)
        return time + QLatin1Char('\n') + date;
    return time;
}

} // namespace TimeTicks
