#include "survey/acousticfigures.h"

#include "survey/measurement.h"

#include <algorithm>
#include <cmath>

namespace AcousticFigures {

namespace {

// Levels in tenths of a dB are counted in one bin per tenth, when their span stays small.
constexpr long long MaxHistogramBins = 1 << 16;

// See tenthsOf; kept inline for the loops over every point.
inline std::optional<long long> tenthsOfLevel(float level)
{
    const double scaled = double(level) * 10.0;
    if (!(std::fabs(scaled) < 1e15))
        return std::nullopt;
    const long long tenths = std::llround(scaled);
    if (float(double(tenths) / 10.0) != level)
        return std::nullopt;
    return tenths;
}

double energy(double level)
{
    return std::pow(10.0, level / 10.0);
}

std::optional<double> finite(double value)
{
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// The figures from a histogram of tenths: counts[i] levels of (lowest + i) / 10 dB.
Figures fromHistogram(const std::vector<long long> &counts, long long lowest, long long n)
{
    Figures f;
    f.n = n;
    double sum = 0.0;
    long long first = -1;
    long long last = -1;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (counts[i] == 0)
            continue;
        const float level = float(double(lowest + static_cast<long long>(i)) / 10.0);
        sum += double(counts[i]) * energy(level);
        if (first < 0)
            first = static_cast<long long>(i);
        last = static_cast<long long>(i);
    }
    const auto levelAt = [&](long long bin) {
        return double(float(double(lowest + bin) / 10.0));
    };
    f.lmin = levelAt(first);
    f.lmax = levelAt(last);
    f.leq = finite(10.0 * std::log10(sum / double(n)));
    for (std::size_t p = 0; p < ExceededPercents.size(); ++p) {
        const long long k = percentileRank(n, ExceededPercents[p]);
        long long seen = 0;
        for (std::size_t i = 0; i < counts.size(); ++i) {
            seen += counts[i];
            if (seen >= k) {
                f.percentiles[p] = levelAt(static_cast<long long>(i));
                break;
            }
        }
    }
    return f;
}

Figures bySelection(std::span<const float> levels)
{
    Figures f;
    f.n = static_cast<long long>(levels.size());
    std::vector<float> sorted(levels.begin(), levels.end());
    double sum = 0.0;
    for (const float level : sorted)
        sum += energy(level);
    f.leq = finite(10.0 * std::log10(sum / double(f.n)));
    // The ranks ascending, each selection working on what is left above the previous one.
    auto from = sorted.begin();
    std::array<long long, ExceededPercents.size()> ranks {};
    for (std::size_t p = 0; p < ranks.size(); ++p)
        ranks[p] = percentileRank(f.n, ExceededPercents[p]);
    for (std::size_t q = ranks.size(); q-- > 0;) {
        const auto at = sorted.begin() + std::ptrdiff_t(ranks[q] - 1);
        std::nth_element(from, at, sorted.end());
        f.percentiles[q] = double(*at);
        from = at;
    }
    const auto [lowest, highest] = std::minmax_element(sorted.begin(), sorted.end());
    f.lmin = double(*lowest);
    f.lmax = double(*highest);
    return f;
}

} // namespace

std::optional<long long> tenthsOf(float level)
{
    return tenthsOfLevel(level);
}

double energyOf(float level)
{
    constexpr long long Lowest = -1000;
    constexpr long long Highest = 2000;
    static const std::vector<double> table = [] {
        std::vector<double> energies(std::size_t(Highest - Lowest + 1));
        for (long long t = Lowest; t <= Highest; ++t)
            energies[std::size_t(t - Lowest)] = energy(float(double(t) / 10.0));
        return energies;
    }();
    if (const std::optional<long long> t = tenthsOfLevel(level); t && *t >= Lowest && *t <= Highest)
        return table[std::size_t(*t - Lowest)];
    return energy(level);
}

long long percentileRank(long long count, int exceededPercent)
{
    if (count <= 0)
        return 0;
    const long long numerator = (100 - exceededPercent) * count;
    return std::max(1LL, (numerator + 99) / 100);
}

void completeDuration(Figures &f, std::optional<double> intervalSeconds)
{
    f.seconds.reset();
    f.sel.reset();
    if (!intervalSeconds || !(*intervalSeconds > 0.0))
        return;
    f.seconds = double(f.n) * *intervalSeconds;
    if (f.leq && *f.seconds > 0.0)
        f.sel = finite(*f.leq + 10.0 * std::log10(*f.seconds));
}

Figures fromValidLevels(std::span<const float> levels, std::optional<double> intervalSeconds)
{
    Figures f;
    if (!levels.empty()) {
        // One pass finds whether every level is a tenth of a dB and the span they cover.
        long long lowest = 0;
        long long highest = 0;
        bool tenths = true;
        for (std::size_t i = 0; i < levels.size() && tenths; ++i) {
            const std::optional<long long> t = tenthsOfLevel(levels[i]);
            if (!t) {
                tenths = false;
            } else if (i == 0) {
                lowest = highest = *t;
            } else {
                lowest = std::min(lowest, *t);
                highest = std::max(highest, *t);
            }
        }
        if (tenths && highest - lowest < MaxHistogramBins) {
            std::vector<long long> counts(std::size_t(highest - lowest + 1), 0);
            for (const float level : levels)
                ++counts[std::size_t(std::llround(double(level) * 10.0) - lowest)];
            f = fromHistogram(counts, lowest, static_cast<long long>(levels.size()));
        } else {
            f = bySelection(levels);
        }
    }
    completeDuration(f, intervalSeconds);
    return f;
}

QString decimalText(const std::optional<double> &value, const QLocale &locale, int decimals)
{
    if (!value)
        return {};
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    // -0.0 reads as a sign the figure does not have.
    const double shown = *value == 0.0 ? 0.0 : *value;
    return plain.toString(shown, 'f', decimals);
}

std::vector<Line> lines(const Figures &f, const QLocale &locale, int durationDecimals)
{
    std::vector<Line> out;
    out.push_back({ QStringLiteral("N"), QString::number(f.n) });
    out.push_back({ QStringLiteral("T"), decimalText(f.seconds, locale, durationDecimals) });
    out.push_back({ QStringLiteral("Leq"), decimalText(f.leq, locale, 1) });
    out.push_back({ QStringLiteral("Lmax"), decimalText(f.lmax, locale, 1) });
    out.push_back({ QStringLiteral("Lmin"), decimalText(f.lmin, locale, 1) });
    for (std::size_t p = 0; p < ExceededPercents.size(); ++p)
        out.push_back({ QStringLiteral("L%1").arg(ExceededPercents[p]),
                        decimalText(f.percentiles[p], locale, 1) });
    out.push_back({ QStringLiteral("SEL"), decimalText(f.sel, locale, 1) });
    return out;
}

QString exportText(const std::vector<Column> &columns, const QLocale &locale)
{
    QString text = QStringLiteral("Figure");
    std::vector<std::vector<Line>> values;
    for (const Column &column : columns) {
        text += QLatin1Char('\t') + column.title;
        values.push_back(lines(column.figures, locale));
    }
    text += QLatin1Char('\n');
    const std::vector<Line> names = lines({}, locale);
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += names[i].name;
        for (const std::vector<Line> &column : values)
            text += QLatin1Char('\t') + column[i].value;
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace AcousticFigures
