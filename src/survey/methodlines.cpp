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

QString twoDigits(int hour)
{
    return QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0'));
}

QString denLine(const DayEveningNightHours &h)
{
    const int dayEnd = h.evening.value_or(h.night);
    QString parts = QStringLiteral("day %1-%2 h").arg(twoDigits(h.day), twoDigits(dayEnd));
    QString weights = QStringLiteral("%1 Lday").arg(h.dayHours());
    if (h.evening) {
        parts += QStringLiteral(", evening %1-%2 h (+5 dB)")
                     .arg(twoDigits(*h.evening), twoDigits(h.night));
        weights += QStringLiteral(", %1 (Levening + 5)").arg(h.eveningHours());
    }
    parts += QStringLiteral(", night %1-%2 h (+10 dB)").arg(twoDigits(h.night), twoDigits(h.day));
    weights += QStringLiteral(", %1 (Lnight + 10)").arg(h.nightHours());
    return QStringLiteral("%1: %2, the night on the day it starts; the energy mean over 24 h of "
                          "%3 hours.")
        .arg(h.levelName(), parts, weights);
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
    out.push_back(denLine(settings.hours));
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
