#include "survey/exceedances.h"

#include "base/datetimedays.h"
#include "survey/acousticfigures.h"
#include "survey/excludedintervals.h"
#include "survey/measurement.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <span>

namespace Exceedances {

Result of(const Measurement &chart, double limit, std::optional<double> intervalSeconds)
{
    Result result;
    const bool timed = intervalSeconds && *intervalSeconds > 0.0;
    long long totalPoints = 0;
    if (chart.subsets() > 0 && chart.points() > 0) {
        const std::vector<ExcludedInterval> merged = ExcludedIntervals::merged(chart.exclusions);
        const std::vector<double> &xs = chart.xs(0);
        const std::span<const float> ys(chart.ys(0));
        const auto above = [&](std::size_t i) {
            // The comparison first: most points of a survey lie below its limit.
            return double(ys[i]) > limit && AcousticFigures::isValidLevel(ys[i])
                && (merged.empty() || !ExcludedIntervals::containsMerged(merged, xs[i]));
        };
        std::size_t i = 0;
        while (i < ys.size()) {
            if (!above(i)) {
                ++i;
                continue;
            }
            std::size_t end = i + 1;
            while (end < ys.size() && above(end))
                ++end;
            // A run needs only its Leq and Lmax: one pass with the energies looked up.
            double sum = 0.0;
            float lmax = ys[i];
            for (std::size_t k = i; k < end; ++k) {
                sum += AcousticFigures::energyOf(ys[k]);
                lmax = std::max(lmax, ys[k]);
            }
            Run run;
            run.start = xs[i];
            run.n = static_cast<long long>(end - i);
            if (timed)
                run.seconds = double(run.n) * *intervalSeconds;
            run.lmax = lmax;
            const double leq = 10.0 * std::log10(sum / double(run.n));
            run.leq = std::isfinite(leq) ? leq : 0.0;
            result.runs.push_back(run);
            totalPoints += run.n;
            i = end;
        }
    }
    if (timed)
        result.totalSeconds = double(totalPoints) * *intervalSeconds;
    return result;
}

std::optional<double> parseLimit(const QString &text, const QLocale &locale)
{
    const QString typed = text.trimmed();
    bool ok = false;
    double limit = locale.toDouble(typed, &ok);
    if (!ok)
        limit = QLocale::c().toDouble(typed, &ok);
    if (!ok || !std::isfinite(limit) || limit < LowestLimit || limit > HighestLimit)
        return std::nullopt;
    return limit;
}

QString limitText(double limit, const QLocale &locale)
{
    return QStringLiteral("Limit %1 dB").arg(AcousticFigures::decimalText(limit, locale, 1));
}

int secondsDecimals(std::optional<double> intervalSeconds)
{
    return intervalSeconds && *intervalSeconds == std::round(*intervalSeconds) ? 0 : 1;
}

QString exportText(const Result &result, std::optional<double> intervalSeconds,
                   const QLocale &locale)
{
    using AcousticFigures::decimalText;
    const QLatin1Char tab('\t');
    const QLatin1Char newline('\n');
    const int decimals = secondsDecimals(intervalSeconds);
    QString text = QStringLiteral("Start\tSeconds\tLmax (dB)\tLeq (dB)\n");
    for (const Run &run : result.runs) {
        text += DateTimeDays::RoundedTimeText(run.start) + tab
            + decimalText(run.seconds, locale, decimals) + tab + decimalText(run.lmax, locale, 1)
            + tab + decimalText(run.leq, locale, 1) + newline;
    }
    text += QStringLiteral("Exceedances") + tab + QString::number(result.runs.size()) + newline;
    text += QStringLiteral("Above limit (s)") + tab
        + decimalText(result.totalSeconds, locale, decimals) + newline;
    return text;
}

} // namespace Exceedances
