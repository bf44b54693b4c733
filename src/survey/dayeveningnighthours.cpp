#include "survey/dayeveningnighthours.h"

#include <QStringList>

#include <cmath>

namespace {

QString twoDigits(int hour)
{
    return QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0'));
}

} // namespace

double DayEveningNightHours::level(double lday, double levening, double lnight) const
{
    double sum = dayHours() * std::pow(10.0, lday / 10.0)
        + nightHours() * std::pow(10.0, (lnight + 10.0) / 10.0);
    if (evening)
        sum += eveningHours() * std::pow(10.0, (levening + 5.0) / 10.0);
    return 10.0 * std::log10(sum / 24.0);
}

QString DayEveningNightHours::levelName() const
{
    return evening ? QStringLiteral("Lden") : QStringLiteral("Ldn");
}

QString DayEveningNightHours::code() const
{
    QStringList hours { twoDigits(day) };
    if (evening)
        hours << twoDigits(*evening);
    hours << twoDigits(night);
    return hours.join(QLatin1Char('-'));
}

QString DayEveningNightHours::description() const
{
    const QString dayText
        = QStringLiteral("Day (%1-%2), ").arg(twoDigits(day), twoDigits(evening.value_or(night)));
    const QString eveningText = evening
        ? QStringLiteral("evening (%1-%2), ").arg(twoDigits(*evening), twoDigits(night))
        : QString();
    return dayText + eveningText
        + QStringLiteral("night (%1-%2, on the day it starts) and %3")
              .arg(twoDigits(night), twoDigits(day), levelName());
}

DayEveningNightHours DayEveningNightHours::ofPreset(const Preset &preset)
{
    return { preset.day, preset.evening < 0 ? std::nullopt : std::optional(preset.evening),
             preset.night };
}

std::optional<DayEveningNightHours> DayEveningNightHours::parse(const QString &code)
{
    for (const Preset &preset : Presets)
        if (ofPreset(preset).code() == code.trimmed())
            return ofPreset(preset);
    return std::nullopt;
}
