#pragma once

#include <QString>

#include <optional>
#include <vector>

class Measurement;
class QLocale;

// The exceedances of a limit by a chart's subset 0: a run of consecutive points (in the
// series' order) whose levels are valid and strictly above the limit is one exceedance. A point
// that is not valid (the null value, a reading of 0, not a number, or in an excluded interval)
// ends a run, as does one at or below the limit. An exceedance starts at its first point's X;
// it lasts its number of points times the series' interval dt; its Lmax and Leq are its points'
// (AcousticFigures).
namespace Exceedances {

struct Run
{
    double start = 0.0; // days
    long long n = 0;
    std::optional<double> seconds; // n x dt; none when dt is not known
    double lmax = 0.0;
    double leq = 0.0;

    bool operator==(const Run &) const = default;
};

struct Result
{
    std::vector<Run> runs;
    // The sum of the runs' durations; none when dt is not known.
    std::optional<double> totalSeconds;
};

Result of(const Measurement &chart, double limit, std::optional<double> intervalSeconds);

// The lowest and highest limit a user may set, in dB: every level a meter shows lies between.
constexpr double LowestLimit = 0.0;
constexpr double HighestLimit = 200.0;
// A limit as the user typed it: a number in the locale's form, or with a point, between
// LowestLimit and HighestLimit; none for anything else.
std::optional<double> parseLimit(const QString &text, const QLocale &locale);

// "Limit 55.0 dB": the limit as the chart and the periods' bars label it, in the locale.
QString limitText(double limit, const QLocale &locale);

// The decimals a run's seconds are written with: none for a whole interval (a data set's), one
// for any other.
int secondsDecimals(std::optional<double> intervalSeconds);

// The exceedances for a spreadsheet, tab-separated in the locale: a title line
// "Start<TAB>Seconds<TAB>Lmax (dB)<TAB>Leq (dB)", a line per run (its start as the user's
// locale writes a date and time, to the second), then "Exceedances<TAB>count" and "Above limit
// (s)<TAB>total"; levels with one decimal, empty where not known.
QString exportText(const Result &result, std::optional<double> intervalSeconds,
                   const QLocale &locale);

} // namespace Exceedances
