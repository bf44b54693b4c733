#include "graph/samplingrate.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::array<double, 6> GraphBoxRates { 1.0, 2.0, 5.0, 10.0, 20.0, 30.0 };
constexpr std::array<double, 7> DialogRates { 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 30.0 };

// The largest period shown, in seconds (about 31.7 million years): far beyond any real
// recording, and small enough that the arithmetic below stays exact in a 64-bit integer.
constexpr double MaxSeconds = 1e15;

template<std::size_t N>
QStringList formatRates(const std::array<double, N> &rates, const QLocale &locale)
{
    QStringList items;
    items.reserve(int(N));
    for (double rate : rates)
        items << locale.toString(rate, 'f', 1);
    return items;
}

// Seconds as a whole number, kept in [0, MaxSeconds]; NaN counts as 0.
qint64 wholeSeconds(double seconds)
{
    seconds = std::trunc(seconds);
    if (!(seconds > 0.0))
        return 0;
    return qint64(std::min(seconds, MaxSeconds));
}

} // namespace

namespace SamplingRate {

QStringList graphBoxItems()
{
    return graphBoxItems(QLocale::system());
}

QStringList graphBoxItems(const QLocale &locale)
{
    return formatRates(GraphBoxRates, locale);
}

QStringList dialogItems()
{
    return dialogItems(QLocale::system());
}

QStringList dialogItems(const QLocale &locale)
{
    return formatRates(DialogRates, locale);
}

std::optional<int> itemForRate(double rate)
{
    constexpr std::array<double, 6> Limits { 1.5, 2.5, 5.5, 10.5, 20.5, 30.5 };
    for (int i = 0; i < int(Limits.size()); ++i) {
        if (rate < Limits[std::size_t(i)])
            return i;
    }
    return std::nullopt; // larger rates, and NaN
}

std::optional<double> parseRate(const QString &text)
{
    return parseRate(text, QLocale::system());
}

std::optional<double> parseRate(const QString &text, const QLocale &locale)
{
    const QString trimmed = text.trimmed();
    QLocale user = locale;
    user.setNumberOptions(user.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    double value = user.toDouble(trimmed, &ok);
    if (!ok) {
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::RejectGroupSeparator);
        value = c.toDouble(trimmed, &ok);
    }
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString periodText(int count, double rate)
{
    const qint64 s = rate > 0.0 ? wholeSeconds(double(count) * recordedInterval(rate)) : 0;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace SamplingRate
