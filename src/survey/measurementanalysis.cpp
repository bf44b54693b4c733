#include "survey/measurementanalysis.h"

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
    if (overlay && overlay->alignment == OverlayAlignment::Start)
        overlay->shift += days;
}

bool MeasurementAnalysis::holdsNothing() const
{
    for (auto mark = annotations.lower_bound(FirstUserMark); mark != annotations.end(); ++mark)
        if (mark->second.type != 0 || !mark->second.text.isEmpty())
            return false;
    return exclusions.empty() && !limit && !overlay;
}
