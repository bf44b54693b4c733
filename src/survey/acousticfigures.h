#pragma once

#include "survey/measurement.h"

#include <QLocale>
#include <QString>

#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <vector>

// The acoustic figures of a series of levels, as a noise survey reports them:
//
//   N     the number of valid levels L1 ... LN (dB, as the chart holds them)
//   T     N x dt seconds, dt the series' interval between points
//   Leq   10 log10((1/N) sum 10^(Li/10)), the energy-equivalent level
//   Lmax, Lmin
//   Ln    for n = 5, 10, 50, 90, 95: the level exceeded for n % of the samples, the k-th of the
//         levels sorted ascending (from 1), k = ceil((100 - n) N / 100), at least 1
//   SEL   Leq + 10 log10(T / 1 s), when T > 0
//
// A level is valid when it is a number, not the null value 9999 (not recorded, or a gap) and not
// 0 (a reading outside the meter's range), and lies in no excluded interval. Everything is
// worked out in double precision. A figure that cannot be formed (no valid level, no interval,
// T = 0) has no value and is shown empty.
namespace AcousticFigures {

// True for a level that counts: finite, not the null value, not 0.
inline bool isValidLevel(float level)
{
    return std::isfinite(level) && !Measurement::isNull(level) && level != 0.0f;
}

// The tenths of a dB a level is, when it is exactly such a value as a float (as the meter's
// readings are): 65.3f gives 653; a level of any other precision gives none.
std::optional<long long> tenthsOf(float level);

struct Figures
{
    long long n = 0;
    std::optional<double> seconds; // T
    std::optional<double> leq, lmax, lmin;
    std::array<std::optional<double>, 5> percentiles; // L5, L10, L50, L90, L95
    std::optional<double> sel;

    bool operator==(const Figures &) const = default;
};

// The n of L5 ... L95, in the order Figures::percentiles holds them.
inline constexpr std::array<int, 5> ExceededPercents { 5, 10, 50, 90, 95 };

// k of Ln among `count` sorted levels (from 1): ceil((100 - percent) count / 100), at least 1,
// in exact integers. 0 when count is 0.
long long percentileRank(long long count, int exceededPercent);

// 10^(level / 10), the energy a level stands for; levels that are tenths of a dB from -100 to
// 200 dB are looked up in a table made once.
double energyOf(float level);

// T and SEL from N, Leq and dt (seconds; none when the interval is not known).
void completeDuration(Figures &figures, std::optional<double> intervalSeconds);

// The figures of the given levels (every one of them valid), with dt = intervalSeconds.
// Fast on long series: levels in tenths of a dB (as the meter gives them) are counted in a
// histogram, any other series is worked out by selection.
Figures fromValidLevels(std::span<const float> levels, std::optional<double> intervalSeconds);

// A level or duration as the figures show it: decimals places in the locale, no group
// separators, never "-0"; empty for none.
QString decimalText(const std::optional<double> &value, const QLocale &locale, int decimals);

// One figure as the panel, the clipboard and the command line show it.
struct Line
{
    QString name; // "N", "T", "Leq", "Lmax", "Lmin", "L5", "L10", "L50", "L90", "L95", "SEL"
    QString value; // one decimal (T in whole seconds, N a count); empty where there is none
};
// The eleven figures in that order, numbers in the given locale (QLocale::c() for the command
// line's point), without group separators; T with durationDecimals (the command line: 0).
std::vector<Line> lines(const Figures &figures, const QLocale &locale, int durationDecimals = 1);

// One column of "Export Figures": its title ("Whole graph", "Between A and B", "Specific",
// "Residual", "Overlay") and its figures.
struct Column
{
    QString title;
    Figures figures;
};
// "Export Figures": a title line "Figure<TAB>title...", then one line per figure,
// "name<TAB>value...", in the user's locale, each line ending with "\n".
QString exportText(const std::vector<Column> &columns, const QLocale &locale);

} // namespace AcousticFigures
