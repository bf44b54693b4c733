#pragma once

#include <QString>

#include <cmath>
#include <optional>

// When a figure over the clock is shown in a distinct style, still shown but flagged:
//
//   low coverage  a period or a day's part measured for less than the threshold (a percentage,
//                 0 to 100, 50 unless the user sets another), compared as shown, to one decimal:
//                 49.9 % is below 50, 50.0 % is not;
//   few points    L5 and L95 from fewer than 20 points, L10 and L90 from fewer than 10: they
//                 can only repeat Lmax or Lmin.
namespace FigureFlags {

inline constexpr int DefaultCoverageThreshold = 50;

inline bool lowCoverage(const std::optional<double> &coveragePercent, int threshold)
{
    return coveragePercent && std::round(*coveragePercent * 10.0) / 10.0 < double(threshold);
}

// The fewest points Ln is more than Lmax or Lmin from: 20 for L5 and L95, 10 for L10 and L90,
// none (0) for L50.
inline constexpr long long fewestPoints(int exceededPercent)
{
    return exceededPercent == 5 || exceededPercent == 95 ? 20
        : exceededPercent == 10 || exceededPercent == 90 ? 10
                                                         : 0;
}

inline bool fewPoints(int exceededPercent, long long n)
{
    return n > 0 && n < fewestPoints(exceededPercent);
}

// Why Ln is flagged for few points ("L95 from 12 points, fewer than 20: it can only repeat
// Lmin."); empty when it is not.
inline QString fewPointsReason(int exceededPercent, long long n)
{
    if (!fewPoints(exceededPercent, n))
        return QString();
    return QStringLiteral("L%1 from %2 points, fewer than %3: it can only repeat %4.")
        .arg(exceededPercent)
        .arg(n)
        .arg(fewestPoints(exceededPercent))
        .arg(exceededPercent < 50 ? QStringLiteral("Lmax") : QStringLiteral("Lmin"));
}

} // namespace FigureFlags
