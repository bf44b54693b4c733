#include "survey/graphsource.h"

#include "base/datetimedays.h"
#include "survey/measurement.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

constexpr double SecondsPerDay = 86400.0;

QString seconds(double value, const QLocale &locale)
{
    // Whole seconds without a decimal, a fraction as the rate box shows it.
    if (value == std::floor(value))
        return locale.toString(value, 'f', 0);
    return locale.toString(value, 'g', 6);
}

} // namespace

GraphSource GraphSource::dataSetOf(int number, double start, int intervalSeconds,
                                   const QString &weighting, const QString &response)
{
    GraphSource s;
    s.kind = Kind::DataSet;
    s.dataSet = number;
    s.start = start;
    s.intervalSeconds = intervalSeconds;
    s.weighting = weighting;
    s.response = response;
    return s;
}

GraphSource GraphSource::realTime(double rateSeconds)
{
    GraphSource s;
    s.kind = Kind::RealTime;
    s.rateSeconds = rateSeconds;
    return s;
}

GraphSource GraphSource::file(const QString &fileName)
{
    GraphSource s;
    s.kind = Kind::File;
    s.fileName = fileName;
    return s;
}

std::optional<double> GraphSource::intervalOf(const Measurement &chart) const
{
    if (kind == Kind::DataSet && intervalSeconds > 0)
        return double(intervalSeconds);
    if (kind == Kind::RealTime && rateSeconds > 0.0)
        return rateSeconds;
    return medianSpacingSeconds(chart);
}

std::vector<QString> GraphSource::describe(const QLocale &locale) const
{
    std::vector<QString> lines;
    switch (kind) {
    case Kind::DataSet:
        lines.push_back(QStringLiteral("Data set %1 of the meter's memory").arg(dataSet));
        lines.push_back(QStringLiteral("Start: ") + DateTimeDays::dateTimeText(start));
        lines.push_back(QStringLiteral("Interval: %1 s").arg(seconds(intervalSeconds, locale)));
        lines.push_back(QStringLiteral("Weighting: ") + weighting + QStringLiteral(", response: ")
                        + response);
        break;
    case Kind::RealTime:
        lines.push_back(QStringLiteral("Real-time recording, one point every %1 s")
                            .arg(seconds(rateSeconds, locale)));
        break;
    case Kind::File:
    case Kind::Unknown:
        break;
    }
    if (!fileName.isEmpty())
        lines.push_back(QStringLiteral("File: ") + QDir::toNativeSeparators(fileName));
    return lines;
}

std::optional<double> medianSpacingSeconds(const Measurement &chart)
{
    const int n = chart.subsets() > 0 ? chart.points() : 0;
    if (n < 2)
        return std::nullopt;
    const std::vector<double> &xs = chart.xs(0);
    std::vector<double> spacing(std::size_t(n - 1));
    for (int i = 0; i + 1 < n; ++i)
        spacing[std::size_t(i)] = xs[std::size_t(i + 1)] - xs[std::size_t(i)];
    const auto middle = spacing.begin() + std::ptrdiff_t(spacing.size() / 2);
    std::nth_element(spacing.begin(), middle, spacing.end());
    // Times are kept to the millisecond; a spacing of one second in days is not exactly 1 s.
    const double median = std::round(*middle * SecondsPerDay * 1000.0) / 1000.0;
    if (!(median > 0.0) || !std::isfinite(median))
        return std::nullopt;
    return median;
}
