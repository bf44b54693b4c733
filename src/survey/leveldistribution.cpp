#include "survey/leveldistribution.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace LevelDistribution {

namespace {

// Levels whose tenths do not fit comfortably in the arithmetic below are not classed.
constexpr double LargestTenths = 1e12;
// Counters per tenth while there are at most ManyTenths tenths, see of().
constexpr std::size_t Lanes = 4;
constexpr std::size_t ManyTenths = 1 << 16;

// The nearest whole tenths of a level: 65.3f (65.29999923...) gives 653. Halves round away from
// zero. The cast truncates, which is cheap on every point of a long series.
inline long long tenthsOf(float level)
{
    const double scaled = double(level) * 10.0;
    return static_cast<long long>(scaled + (scaled < 0.0 ? -0.5 : 0.5));
}

// The class k of a level of t tenths: the greatest k with k w <= t.
long long classOf(long long tenths, long long width)
{
    const long long k = tenths / width;
    return k * width > tenths ? k - 1 : k;
}

QString fixed(double value, int decimals, const QLocale &locale)
{
    // Never "-0.0": a value that rounds to zero is written as zero.
    const double shown = std::fabs(value) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : value;
    return locale.toString(shown, 'f', decimals);
}

QString table(const Result &result, const QLocale &locale)
{
    QString out;
    const QLatin1Char tab('\t');
    for (const Class &c : result.classes)
        out += fixed(c.lower, 1, locale) + tab + locale.toString(c.count) + tab
            + fixed(c.percent, 2, locale) + tab + fixed(c.exceeded, 2, locale) + QLatin1Char('\n');
    return out;
}

} // namespace

Result of(std::span<const float> levels, int widthTenths)
{
    Result result;
    result.n = static_cast<long long>(levels.size());
    if (levels.empty() || widthTenths < 1)
        return result;
    // A plain loop over the values, which the compiler keeps in registers.
    float lowest = levels.front();
    float highest = levels.front();
    for (const float level : levels) {
        lowest = std::min(lowest, level);
        highest = std::max(highest, level);
    }
    if (!(std::fabs(double(lowest)) * 10.0 < LargestTenths)
        || !(std::fabs(double(highest)) * 10.0 < LargestTenths)) {
        result.tooManyClasses = true;
        return result;
    }
    const long long width = widthTenths;
    const long long firstClass = classOf(tenthsOf(lowest), width);
    const long long lastClass = classOf(tenthsOf(highest), width);
    if (lastClass - firstClass + 1 > MaxClasses) {
        result.tooManyClasses = true;
        return result;
    }

    // Counted per tenth first (no division per level), then gathered into classes. Neighbouring
    // readings of a survey often share a tenth: several counters per tenth, taken in turn, keep
    // one count from waiting on the one before (while the tenths are few, as a survey's are).
    const long long firstTenth = firstClass * width;
    const std::size_t tenths = std::size_t((lastClass - firstClass + 1) * width);
    const std::size_t lanes = tenths <= ManyTenths ? Lanes : 1;
    std::vector<long long> perTenth(tenths * lanes, 0);
    const std::size_t whole = levels.size() - levels.size() % lanes;
    for (std::size_t i = 0; i < whole; i += lanes)
        for (std::size_t lane = 0; lane < lanes; ++lane)
            ++perTenth[lane * tenths + std::size_t(tenthsOf(levels[i + lane]) - firstTenth)];
    for (std::size_t i = whole; i < levels.size(); ++i)
        ++perTenth[std::size_t(tenthsOf(levels[i]) - firstTenth)];
    for (std::size_t lane = 1; lane < lanes; ++lane)
        for (std::size_t t = 0; t < tenths; ++t)
            perTenth[t] += perTenth[lane * tenths + t];

    const double n = double(result.n);
    long long atOrAbove = result.n;
    result.classes.resize(std::size_t(lastClass - firstClass + 1));
    for (std::size_t k = 0; k < result.classes.size(); ++k) {
        Class &c = result.classes[k];
        c.lower = double(firstClass + static_cast<long long>(k)) * double(width) / 10.0;
        const auto begin = perTenth.begin() + static_cast<std::ptrdiff_t>(k * std::size_t(width));
        c.count = std::accumulate(begin, begin + width, 0LL);
        c.percent = 100.0 * double(c.count) / n;
        c.exceeded = 100.0 * double(atOrAbove) / n;
        atOrAbove -= c.count;
    }
    return result;
}

std::optional<int> widthOf(const QString &text)
{
    bool ok = false;
    const double width = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    for (const int tenths : WidthsInTenths)
        if (std::fabs(width * 10.0 - tenths) < 1e-9)
            return tenths;
    return std::nullopt;
}

QString lines(const Result &result)
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::OmitGroupSeparator);
    return table(result, c);
}

QString copyText(const Result &result, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    return QStringLiteral("Lower (dB)\tCount\tPercent\tExceeded (%)\n") + table(result, plain);
}

} // namespace LevelDistribution
