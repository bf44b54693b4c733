#include "chart/chartmodel.h"

#include <algorithm>

namespace {
// Colours for subsets that have none of their own.
const QColor DefaultColors[] = { Qt::black,   Qt::red,      Qt::blue,       Qt::darkGreen,
                                 Qt::magenta, Qt::darkCyan, Qt::darkYellow, Qt::gray };
} // namespace

QColor ChartLook::subsetColor(int subset) const
{
    if (subset >= 0 && static_cast<std::size_t>(subset) < subsetColors.size()
        && subsetColors[static_cast<std::size_t>(subset)].isValid())
        return subsetColors[static_cast<std::size_t>(subset)];
    return DefaultColors[std::max(0, subset) % std::size(DefaultColors)];
}

int ChartLook::subsetLineType(int subset) const
{
    if (subset >= 0 && static_cast<std::size_t>(subset) < subsetLineTypes.size())
        return subsetLineTypes[static_cast<std::size_t>(subset)];
    return static_cast<int>(LineType::Solid);
}
