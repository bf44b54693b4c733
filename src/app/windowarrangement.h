#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// Where Window > Tile and Window > Cascade put the child windows. Every frame stays inside the
// client area, which neither scrolls nor grows: a window is made smaller rather than pushed out.
namespace WindowArrangement {

struct Frame
{
    QSize size;
    // A window that keeps its size (the control panel) is moved, never resized.
    bool fixedSize = false;
};

// Fixed-size frames stand in a column at the left, top to bottom, as the panel stands at
// start-up. The others share the rest of the area in a grid of ceil(sqrt(n)) columns, filled row
// by row in the order given; the frames of a shorter last row are widened to fill it, so the grid
// has no gap. When the column leaves too little room, the grid takes the whole area.
QList<QRect> tile(const QSize &area, const QList<Frame> &frames);

// Frames in the order given (back to front), each `step` pixels right of and below the one
// before. Every resizable frame takes the same size: the area less the steps, but never less
// than two thirds of it, so that charts stay readable; when the next step would leave the area,
// the steps begin again at the top left.
QList<QRect> cascade(const QSize &area, const QList<Frame> &frames, int step);

} // namespace WindowArrangement
