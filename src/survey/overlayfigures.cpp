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

QString exportText(const AcousticFigures::Figures &whole, const AcousticFigures::Figures &between,
                   const AcousticFigures::Figures &overlay, const QLocale &locale)
{
    const std::vector<AcousticFigures::Line> w = AcousticFigures::lines(whole, locale);
    const std::vector<AcousticFigures::Line> b = AcousticFigures::lines(between, locale);
    const std::vector<AcousticFigures::Line> o = AcousticFigures::lines(overlay, locale);
    QString text = QStringLiteral("Figure\tWhole graph\tBetween A and B\tOverlay\n");
    for (std::size_t i = 0; i < w.size(); ++i)
        text += w[i].name + QLatin1Char('\t') + w[i].value + QLatin1Char('\t') + b[i].value
            + QLatin1Char('\t') + o[i].value + QLatin1Char('\n');
    return text;
}

} // namespace OverlayFigures
