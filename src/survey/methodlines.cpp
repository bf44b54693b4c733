#include "survey/methodlines.h"

#include "survey/acousticfigures.h"
#include "survey/excludedintervals.h"
#include "survey/graphsource.h"

#include <cmath>

namespace MethodLines {

namespace {

QString count(long long value, const QLocale &locale)
{
    return locale.toString(value);
}

QString intervalLine(const Measurement &measurement, const GraphSource &source,
                     const QLocale &locale)
{
    const std::optional<double> dt = source.intervalOf(measurement);
    if (!dt)
        return QStringLiteral("dt: not known (fewer than two points with times), so T and SEL are "
                              "not given.");
    const QString seconds
        = AcousticFigures::decimalText(*dt, locale, std::fmod(*dt, 1.0) == 0.0 ? 0 : 3);
    switch (source.kind) {
    case GraphSource::Kind::DataSet:
        if (source.intervalSeconds > 0)
            return QStringLiteral("dt: %1 s, the data set's interval.").arg(seconds);
        break;
    case GraphSource::Kind::RealTime:
        if (source.rateSeconds > 0.0)
            return QStringLiteral("dt: %1 s, the interval the real-time recording kept.")
                .arg(seconds);
        break;
    case GraphSource::Kind::File:
    case GraphSource::Kind::Unknown:
        break;
    }
    return QStringLiteral("dt: %1 s, the median spacing of consecutive points' times.")
        .arg(seconds);
}

} // namespace

PointCounts countPoints(const Measurement &measurement)
{
    PointCounts c;
    if (measurement.subsets() < 1)
        return c;
    const std::vector<ExcludedInterval> excluded
        = ExcludedIntervals::merged(measurement.exclusions);
    const int n = measurement.points();
    c.all = n;
    for (int i = 0; i < n; ++i) {
        const float level = measurement.y(0, i);
        if (!std::isfinite(level) || Measurement::isNull(level))
            ++c.null;
        else if (level == 0.0f)
            ++c.zero;
        else if (ExcludedIntervals::containsMerged(excluded, measurement.x(0, i)))
            ++c.excluded;
        else
            ++c.valid;
    }
    return c;
}

std::vector<QString> lines(const Measurement &measurement, const GraphSource &source,
                           const QString &axisTitle, const Settings &settings,
                           const QLocale &locale)
{
    std::vector<QString> out;
    out.push_back(intervalLine(measurement, source, locale));
    const QString kind = LevelKind::of(source, axisTitle).text();
    out.push_back(kind.isEmpty()
                      ? QStringLiteral("Weighting and response: not recorded with the data.")
                      : QStringLiteral("Weighting and response: %1.").arg(kind));
    out.push_back(QStringLiteral("Leq: the energy mean of the valid points, 10 log10 of the mean "
                                 "of 10^(L/10)."));
    out.push_back(QStringLiteral("Ln: the level exceeded for n % of the valid points, the "
                                 "nearest-rank level of the levels sorted (k = ceil((100 - n) N / "
                                 "100)), without interpolation, to 0.1 dB."));
    out.push_back(QStringLiteral("Periods: a point belongs to the period with start <= t < start + "
                                 "P on the clock times the data hold; no daylight-saving "
                                 "correction is made."));
    if (!settings.dayEveningNight.isEmpty())
        out.push_back(QStringLiteral("Day, evening and night: %1; the night belongs to the day it "
                                     "starts.")
                          .arg(settings.dayEveningNight));
    out.push_back(QStringLiteral("Coverage: min(P, N dt) / P of each period; below %1 % flagged, "
                                 "as are L5 and L95 from fewer than 20 points and L10 and L90 "
                                 "from fewer than 10.")
                      .arg(AcousticFigures::decimalText(settings.coverageThreshold, locale, 0)));
    const PointCounts c = countPoints(measurement);
    out.push_back(QStringLiteral("Points: %1 in all, %2 valid; left out: not recorded %3, "
                                 "readings of 0 (out of range) %4, in excluded intervals %5.")
                      .arg(count(c.all, locale), count(c.valid, locale), count(c.null, locale),
                           count(c.zero, locale), count(c.excluded, locale)));
    return out;
}

} // namespace MethodLines
