#pragma once

#include <QString>

#include <optional>
#include <span>
#include <vector>

class QLocale;

// How the valid levels of a series spread over classes of equal width (dB):
//
//   class k holds the levels L with k w <= L < (k + 1) w, the levels rounded to whole tenths of
//   a dB first and the comparison made on those tenths, so 60.0 lies in the 60-61 class at
//   w = 1 whatever its float holds;
//   the classes run from the lowest class holding a level to the highest, the empty ones
//   between included with a count of 0;
//   per class: its lower edge k w, its count, its percent of N (the number of valid levels)
//   and the percent of N at or above its lower edge (the time the level was exceeded), so the
//   lowest class is exceeded 100 % of the time.
namespace LevelDistribution {

// The widths a user may choose, in tenths of a dB: 0.1, 0.5, 1, 2 and 5 dB.
inline constexpr int WidthsInTenths[] = { 1, 5, 10, 20, 50 };
inline constexpr int DefaultWidthInTenths = 10;

// More classes than this are not listed: levels that far apart (a damaged file) ask for a wider
// class.
inline constexpr long long MaxClasses = 1 << 16;

struct Class
{
    double lower = 0.0; // dB
    long long count = 0;
    double percent = 0.0; // of N
    double exceeded = 0.0; // percent of N at or above `lower`

    bool operator==(const Class &) const = default;
};

struct Result
{
    std::vector<Class> classes;
    long long n = 0;
    // The levels span more than MaxClasses classes of the width: no class is listed.
    bool tooManyClasses = false;
};

// The distribution of the given levels (every one of them valid) in classes of widthTenths
// tenths of a dB (one of WidthsInTenths).
Result of(std::span<const float> levels, int widthTenths);

// A width typed on the command line ("0.1", "0.5", "1", "2", "5", with a point): its tenths;
// none for any other.
std::optional<int> widthOf(const QString &text);

// "lower<TAB>count<TAB>percent<TAB>exceeded" per class, each line ending with "\n": the lower
// edge with one decimal, the count whole, the two percents with two decimals, with a point.
QString lines(const Result &result);

// The table as the clipboard takes it: a title line, "Lower (dB)<TAB>Count<TAB>Percent<TAB>
// Exceeded (%)", then the lines, numbers in the given locale without group separators.
QString copyText(const Result &result, const QLocale &locale);

} // namespace LevelDistribution
