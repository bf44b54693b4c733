#include "app/appsettings.h"

#include <QSettings>
#include <QVariant>

#include <cmath>
#include <optional>

namespace {

// Numbers come back from a text-based store as strings; anything else that is not a number
// is of the wrong type.
std::optional<double> readDouble(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toDouble();
    case QMetaType::QString: {
        bool ok = false;
        const double parsed = value.toString().trimmed().toDouble(&ok);
        if (ok)
            return parsed;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<int> readInt(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return value.toInt();
    case QMetaType::QString: {
        bool ok = false;
        const int parsed = value.toString().trimmed().toInt(&ok);
        if (ok)
            return parsed;
        return std::nullopt;
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
    // is treated like a value of the wrong type.
    if (const auto rate = readDouble(store.value(RealTimeRateKey)))
        if (std::isfinite(*rate) && *rate > 0.0 && *rate < 1.0e6)
            settings.RealTimeRate = static_cast<float>(*rate);
    if (const auto discard = readInt(store.value(DiscardFloatingKey)))
        settings.DiscardFloatingError = *discard != 0;
    return settings;
}

void AppSettings::write(QSettings &store) const
{
    store.setValue(RealTimeRateKey, static_cast<double>(RealTimeRate));
    store.setValue(DiscardFloatingKey, DiscardFloatingError ? 1 : 0);
    store.sync();
}
