#include "survey/overlayfigures.h"

#include <algorithm>
#include <cmath>

namespace OverlayFigures {

AcousticFigures::Figures of(const OverlaySeries &overlay)
{
    std::vector<float> valid;
    valid.reserve(overlay.ys.size());
    const std::size_t n = std::min(overlay.xs.size(), overlay.ys.size());
    for (std::size_t i = 0; i < n; ++i)
        if (std::isfinite(overlay.xs[i]) && AcousticFigures::isValidLevel(overlay.ys[i]))
            valid.push_back(overlay.ys[i]);
    std::optional<double> interval;
    if (overlay.interval > 0.0)
        interval = overlay.interval;
    return AcousticFigures::fromValidLevels(valid, interval);
}

} // namespace OverlayFigures
