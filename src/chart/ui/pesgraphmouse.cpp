// The chart's mouse handling: clicks and data point hot spots, grabbing the vertical line
// annotations, and zooming into a dragged rubber band. The plot's mouse events pass through
// Private::eventFilter before QCustomPlot sees them.
#include "chart/ui/pesgraph_p.h"

#include <QMouseEvent>

#include <algorithm>

using namespace PESGraphInternal;

namespace {

constexpr int ClickSlop = 3; // pixels a press may move and still be a click
constexpr int LineHotSpot = 3; // pixels either side of a vertical line that grab it
constexpr int DataHotSpot = 5; // pixels around a drawn point that hit it
constexpr int MinZoomPixels = 4; // a rubber band side shorter than this does not zoom its axis

} // namespace

void PESGraph::Private::zoomTo(const QRect &rect)
{
    // The band runs from the press to the release point, whichever way it was dragged
    // (QRect::normalized would move a reversed band's edges by a pixel).
    const QRect area = axisRect->rect();
    const int left = std::clamp(std::min(rect.left(), rect.right()), area.left(), area.right());
    const int right = std::clamp(std::max(rect.left(), rect.right()), area.left(), area.right());
    const int top = std::clamp(std::min(rect.top(), rect.bottom()), area.top(), area.bottom());
    const int bottom = std::clamp(std::max(rect.top(), rect.bottom()), area.top(), area.bottom());
    const bool zoomX = right - left >= MinZoomPixels;
    const bool zoomY = bottom - top >= MinZoomPixels;
    if (!zoomX && !zoomY)
        return;
    zoomed = true;
    if (zoomX)
        plot->xAxis->setRange(plot->xAxis->pixelToCoord(left), plot->xAxis->pixelToCoord(right));
    if (zoomY)
        plot->yAxis->setRange(plot->yAxis->pixelToCoord(bottom), plot->yAxis->pixelToCoord(top));
    applyAnnotations(q->m_model); // the cursor texts find their side in the new range
    updateAntialiasing();
    scheduleReplot();
    Q_EMIT q->zoomedIn();
}

int PESGraph::Private::lineHit(const QPoint &pos) const
{
    const ChartModel &m = q->m_model;
    if (!m.allowVertLineAnnotHotSpots || !m.showVertLineAnnotations
        || !axisRect->rect().adjusted(-LineHotSpot, 0, LineHotSpot, 0).contains(pos))
        return -1;
    int best = -1;
    double bestDistance = LineHotSpot + 0.5;
    for (int i = 0; i < 2; ++i) {
        const double px = plot->xAxis->coordToPixel(
            toKey(m.verticalLines[static_cast<std::size_t>(i)].x, m.dateTimeX));
        const double distance = std::abs(px - pos.x());
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

bool PESGraph::Private::dataHit(const QPoint &pos, int *subset, int *point) const
{
    const ChartModel &m = q->m_model;
    if (!axisRect->rect().contains(pos))
        return false;
    double best = DataHotSpot * DataHotSpot + 0.5;
    bool found = false;
    for (int s = 0; s < m.subsets(); ++s) {
        const std::vector<double> &xs = m.xs(s);
        const std::vector<float> &ys = m.ys(s);
        for (std::size_t i = 0; i < xs.size(); ++i) {
            if (SeriesFeed::notRecorded(xs[i], m.dateTimeX) || ys[i] == ChartModel::NullValue
                || !std::isfinite(ys[i]))
                continue;
            const double dx = plot->xAxis->coordToPixel(toKey(xs[i], m.dateTimeX)) - pos.x();
            if (std::abs(dx) > DataHotSpot)
                continue;
            const double dy = plot->yAxis->coordToPixel(ys[i]) - pos.y();
            if (dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                *subset = s;
                *point = static_cast<int>(i);
                found = true;
            }
        }
    }
    return found;
}

bool PESGraph::Private::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != plot)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *e = static_cast<QMouseEvent *>(event);
        const QPoint pos = e->position().toPoint();
        ensureLayout();
        q->m_lastMouse = toWidget(pos);
        pressPos = pos;
        pressed = true;
        moved = false;
        draggingLine = false;
        if (e->button() == Qt::LeftButton) {
            const int line = lineHit(pos);
            if (line >= 0) {
                // The window drags the cursor; no rubber band for this press.
                draggingLine = true;
                plot->setSelectionRectMode(QCP::srmNone);
                Q_EMIT q->verticalLineHotSpot(line);
                return true;
            }
        }
        plot->setSelectionRectMode(zoomingAllowed && e->button() == Qt::LeftButton
                                           && axisRect->rect().contains(pos)
                                       ? QCP::srmCustom
                                       : QCP::srmNone);
        return false;
    }
    case QEvent::MouseMove: {
        const QPoint pos = static_cast<QMouseEvent *>(event)->position().toPoint();
        q->m_lastMouse = toWidget(pos);
        if (pressed && (pos - pressPos).manhattanLength() > ClickSlop)
            moved = true;
        Q_EMIT q->mouseMoved();
        return draggingLine;
    }
    case QEvent::MouseButtonRelease: {
        const auto *e = static_cast<QMouseEvent *>(event);
        const QPoint pos = e->position().toPoint();
        q->m_lastMouse = toWidget(pos);
        const bool click = pressed && !moved && !draggingLine && e->button() == Qt::LeftButton;
        const bool wasLine = draggingLine;
        pressed = false;
        draggingLine = false;
        if (click) {
            int subset = -1;
            int point = -1;
            if (q->m_model.allowDataHotSpots && dataHit(pos, &subset, &point))
                Q_EMIT q->dataHotSpot(subset, point);
            Q_EMIT q->clicked();
        }
        Q_EMIT q->mouseReleased();
        return wasLine;
    }
    case QEvent::MouseButtonDblClick: {
        const auto *e = static_cast<QMouseEvent *>(event);
        q->m_lastMouse = toWidget(e->position().toPoint());
        if (e->button() == Qt::LeftButton)
            Q_EMIT q->doubleClicked();
        return false;
    }
    case QEvent::Resize:
        layoutStale = true;
        return false;
    default:
        return false;
    }
}
