#pragma once

#include "survey/acousticfigures.h"
#include "survey/measurement.h"

#include <QLocale>
#include <QString>

// The acoustic figures of an overlay, beside the graph's own: the whole overlay's valid levels
// with its own interval. The graph's excluded intervals are its own events and do not apply.
namespace OverlayFigures {

AcousticFigures::Figures of(const OverlaySeries &overlay);

} // namespace OverlayFigures
