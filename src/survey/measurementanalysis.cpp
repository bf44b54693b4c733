#include "survey/measurementanalysis.h"

#include <cmath>

void MeasurementAnalysis::moveBy(double days)
{
    for (auto &[index, mark] : annotations)
        mark.x += days;
    for (VerticalLine &line : verticalLines)
        if (line.x != 0.0)
            line.x += days;
    for (ExcludedInterval &interval : exclusions) {
        interval.from += days;
        interval.to += days;
    }
    if (overlay)
        overlay->shift += overlay->alignment == OverlayAlignment::Start ? days : std::round(days);
}
