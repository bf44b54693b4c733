#include "app/windowarrangement.h"

#include <algorithm>
#include <cmath>

namespace WindowArrangement {

namespace {

// The least width the grid keeps beside the column of fixed-size frames.
constexpr int MinimumGridWidth = 240;

// A frame of `size` at `offset`, moved back inside the area where it would stick out.
QRect placedInside(const QSize &area, QPoint offset, const QSize &size)
{
    const int x = std::clamp(offset.x(), 0, std::max(0, area.width() - size.width()));
    const int y = std::clamp(offset.y(), 0, std::max(0, area.height() - size.height()));
    return { QPoint(x, y), size };
}

// Cuts `span` into `parts` whole-pixel pieces that meet without gaps; piece i starts at the
// returned value for i and ends where piece i + 1 starts.
int cut(int span, int parts, int i)
{
    return int(qint64(span) * i / parts);
}

} // namespace

QList<QRect> tile(const QSize &area, const QList<Frame> &frames)
{
    QList<QRect> placed(frames.size());
    QList<qsizetype> resizable;

    // The column of fixed-size frames; a frame that no longer fits below starts a new column.
    int columnLeft = 0;
    int columnWidth = 0;
    int y = 0;
    for (qsizetype i = 0; i < frames.size(); ++i) {
        if (!frames[i].fixedSize) {
            resizable.append(i);
            continue;
        }
        const QSize size = frames[i].size;
        if (y > 0 && y + size.height() > area.height()) {
            columnLeft += columnWidth;
            columnWidth = 0;
            y = 0;
        }
        placed[i] = placedInside(area, QPoint(columnLeft, y), size);
        columnWidth = std::max(columnWidth, size.width());
        y += size.height();
    }

    if (resizable.isEmpty())
        return placed;
    int left = columnLeft + columnWidth;
    if (area.width() - left < MinimumGridWidth)
        left = 0;
    const int width = area.width() - left;
    const int n = int(resizable.size());
    const int columns = int(std::ceil(std::sqrt(double(n))));
    const int rows = (n + columns - 1) / columns;
    for (int k = 0; k < n; ++k) {
        const int row = k / columns;
        const int inRow = row == rows - 1 ? n - row * columns : columns;
        const int col = k % columns;
        const int x0 = left + cut(width, inRow, col);
        const int x1 = left + cut(width, inRow, col + 1);
        const int y0 = cut(area.height(), rows, row);
        const int y1 = cut(area.height(), rows, row + 1);
        placed[resizable[k]] = QRect(x0, y0, x1 - x0, y1 - y0);
    }
    return placed;
}

QList<QRect> cascade(const QSize &area, const QList<Frame> &frames, int step)
{
    QList<QRect> placed(frames.size());
    if (frames.isEmpty())
        return placed;
    step = std::max(1, step);
    const int steps = int(frames.size()) - 1;
    const QSize size(std::max(area.width() - steps * step, area.width() * 2 / 3),
                     std::max(area.height() - steps * step, area.height() * 2 / 3));
    // How many places fit before a frame of that size would leave the area.
    const int places = 1
        + std::max(0,
                   std::min((area.width() - size.width()) / step,
                            (area.height() - size.height()) / step));
    for (qsizetype i = 0; i < frames.size(); ++i) {
        const int offset = int(i % places) * step;
        placed[i] = placedInside(area, QPoint(offset, offset),
                                 frames[i].fixedSize ? frames[i].size : size);
    }
    return placed;
}

} // namespace WindowArrangement
