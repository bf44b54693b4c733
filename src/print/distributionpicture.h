#pragma once

#include "survey/leveldistribution.h"

#include <QLocale>

class QPainter;
class QRectF;

// The levels' distribution as the report draws it: a bar per class, its height the class's
// percent of the points (left scale), and the percent of the points at or above each class's
// lower edge as a line (right scale, 0 to 100 %), the levels along the bottom. Drawn in the
// painter's own units, the text sized to the rectangle, so it is as sharp on paper as on screen.
namespace DistributionPicture {

void draw(QPainter &painter, const QRectF &target, const LevelDistribution::Result &distribution,
          const QLocale &locale);

} // namespace DistributionPicture
