#include "app/appsettings.h"

#include "survey/dayeveningnighthours.h"

#include <QSettings>
#include <QVariant>

#include <cmath>
#include <cstdint>
#include <optional>

namespace {

// A stored number, or nothing when the value is missing or of another type. Numbers come back
// from a text-based store as strings, so a string that is wholly a number counts as one.
std::optional<double> readNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return value.toDouble();
    case QMetaType::QString: {
        bool ok = false;
        const double parsed = value.toString().trimmed().toDouble(&ok);
        return ok ? std::optional(parsed) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

AppSettings AppSettings::read(const QSettings &store)
{
    AppSettings settings;
    // A rate that is not a positive finite number cannot drive the sampling arithmetic, so it
    // is treated like a value of the wrong type. It is checked as the float the program holds:
    // a tiny double that becomes 0 is no rate.
    if (const auto rate = readNumber(store.value(RealTimeRateKey))) {
        if (std::isfinite(*rate) && *rate > 0.0 && *rate < 1.0e6) {
            const float held = static_cast<float>(*rate);
            if (held > 0.0f)
                settings.RealTimeRate = held;
        }
    }
    // The option is a 32-bit integer, any value but 0 meaning on; a value that is no such
    // integer (a fraction, text, a number past 32 bits) is of the wrong type.
    if (const auto discard = readNumber(store.value(DiscardFloatingKey)))
        if (std::trunc(*discard) == *discard && *discard >= INT32_MIN && *discard <= INT32_MAX)
            settings.DiscardFloatingError = *discard != 0.0;
    if (const std::optional<::DayEveningNightHours> hours
        = ::DayEveningNightHours::parse(store.value(HoursKey).toString()))
        settings.DayEveningNightHours = hours->code();
    if (const auto threshold = readNumber(store.value(CoverageThresholdKey)))
        if (std::trunc(*threshold) == *threshold && *threshold >= 0.0 && *threshold <= 100.0)
            settings.CoverageThreshold = int(*threshold);
    return settings;
}

void AppSettings::write(QSettings &store) const
{
    store.setValue(RealTimeRateKey, static_cast<double>(RealTimeRate));
    store.setValue(DiscardFloatingKey, DiscardFloatingError ? 1 : 0);
    store.setValue(HoursKey, DayEveningNightHours);
    store.setValue(CoverageThresholdKey, CoverageThreshold);
    store.sync();
}
