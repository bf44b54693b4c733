#pragma once

#include "survey/acousticfigures.h"
#include "survey/measurement.h"

#include <QLocale>
#include <QString>

// The acoustic figures of an overlay, beside the graph's own: the whole overlay's valid levels
// with its own interval. The graph's excluded intervals are its own events and do not apply.
namespace OverlayFigures {

AcousticFigures::Figures of(const OverlaySeries &overlay);

// "Export Figures" with an overlay: a title line, then "name<TAB>whole<TAB>between<TAB>overlay"
// per figure, in the locale, each line ending with "\n".
QString exportText(const AcousticFigures::Figures &whole, const AcousticFigures::Figures &between,
                   const AcousticFigures::Figures &overlay, const QLocale &locale);

} // namespace OverlayFigures
