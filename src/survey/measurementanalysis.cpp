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
    return exclusions.empty() && !limit && !overlay && details.isEmpty();
}

QString categoryName(IntervalCategory category)
{
    switch (category) {
    case IntervalCategory::Specific:
        return QStringLiteral("Specific");
    case IntervalCategory::Residual:
        return QStringLiteral("Residual");
    case IntervalCategory::Excluded:
        break;
    }
    return QStringLiteral("Excluded");
}

std::optional<IntervalCategory> categoryNamed(const QString &name)
{
    for (const IntervalCategory c :
         { IntervalCategory::Excluded, IntervalCategory::Specific, IntervalCategory::Residual })
        if (name.compare(categoryName(c), Qt::CaseInsensitive) == 0)
            return c;
    return std::nullopt;
}
