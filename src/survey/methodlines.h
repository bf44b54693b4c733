#pragma once

#include "survey/dayeveningnighthours.h"
#include "survey/levelkind.h"

#include <QLocale>
#include <QString>

#include <vector>

class Measurement;
struct GraphSource;

// The lines that say how a measurement's figures were worked out, so that a consultant can state
// the method beside them: dt and where it came from, the weighting and response, how Leq and Ln
// are formed, the period rule, the day-evening-night hours and penalties, the coverage threshold,
// and how many points were left out and why. Shown in the figures' tooltip, "Export Figures",
// the report and the command line.
namespace MethodLines {

struct Settings
{
    DayEveningNightHours hours; // as the days' table uses them
    double coverageThreshold = 50.0; // percent
};

// How many of a measurement's points count in its figures, and why the others do not.
struct PointCounts
{
    long long all = 0;
    long long valid = 0;
    long long null = 0; // not recorded, or a gap
    long long zero = 0; // a reading of 0: outside the meter's range
    long long excluded = 0; // in an excluded interval
};
PointCounts countPoints(const Measurement &measurement);

// The lines, numbers in the locale. axisTitle is the level axis title, for the weighting and
// response where the source does not know them.
std::vector<QString> lines(const Measurement &measurement, const GraphSource &source,
                           const QString &axisTitle, const Settings &settings,
                           const QLocale &locale);

} // namespace MethodLines
