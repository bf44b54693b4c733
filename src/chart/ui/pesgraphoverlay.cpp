// The overlaid second measurement: one more QCPGraph after the subsets' graphs, in the overlay's
// colour (black and dashed in monochrome) with its label in the legend. Its points are handed to
// QCustomPlot only when the overlay differs from the one drawn, so a redraw for a cursor move or
// a recording tick costs a comparison, never a hand-over. A null or non-finite level is a gap in
// its line, as in the subsets'.
#include "chart/ui/pesgraph_p.h"
#include "survey/overlayplacement.h"

#include <cstring>

using namespace PESGraphInternal;

namespace {

// Bitwise, so that NaN X values compare equal to themselves and an unchanged overlay is seen as
// such.
template<typename T> bool sameValues(const std::vector<T> &a, const std::vector<T> &b)
{
    return a.size() == b.size()
        && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

bool samePoints(const OverlaySeries &a, const OverlaySeries &b)
{
    return std::memcmp(&a.shift, &b.shift, sizeof a.shift) == 0 && sameValues(a.xs, b.xs)
        && sameValues(a.ys, b.ys);
}

} // namespace

void PESGraph::Private::dropOverlayGraph()
{
    if (overlayGraph)
        plot->removeGraph(overlayGraph);
    overlayGraph = nullptr;
    handedOverlay.reset();
    overlayFeed = SeriesFeed();
}

void PESGraph::Private::applyOverlay(const ChartModel &m)
{
    if (!m.overlay) {
        dropOverlayGraph();
        return;
    }
    const OverlaySeries &overlay = *m.overlay;
    // The overlay is part of the data: an unchanged revision is an unchanged overlay, with no
    // comparison of its points (a cursor drag redraws many times a second).
    if (overlayGraph && handedOverlay && handedOverlayDateTime == m.dateTimeX
        && (handedOverlayRevision == m.dataRevision() || samePoints(*handedOverlay, overlay))) {
        handedOverlayRevision = m.dataRevision();
        return;
    }
    if (!overlayGraph) {
        overlayGraph = plot->addGraph(plot->xAxis, plot->yAxis);
        overlayGraph->setAdaptiveSampling(true);
        overlayGraph->setLineStyle(QCPGraph::lsLine);
    }
    SeriesFeed &f = overlayFeed;
    f = SeriesFeed();
    const std::size_t n = std::min(overlay.xs.size(), overlay.ys.size());
    QVector<QCPGraphData> data;
    data.reserve(qsizetype(n));
    for (std::size_t i = 0; i < n; ++i) {
        const double x = overlay.xs[i];
        if (SeriesFeed::notRecorded(x, m.dateTimeX))
            continue; // not recorded: no point, as in the subsets
        const double key = toKey(x + overlay.shift, m.dateTimeX);
        const float y = overlay.ys[i];
        if (f.anyHanded && key < f.lastKey)
            f.sorted = false;
        f.lastKey = key;
        f.anyHanded = true;
        if (ChartModel::isNull(y) || !std::isfinite(y)) {
            data.append(QCPGraphData(key, qQNaN()));
            continue;
        }
        data.append(QCPGraphData(key, y));
        if (!f.hasRange) {
            f.minKey = f.maxKey = key;
            f.minValue = f.maxValue = y;
            f.hasRange = true;
        } else {
            f.minKey = std::min(f.minKey, key);
            f.maxKey = std::max(f.maxKey, key);
            f.minValue = std::min<double>(f.minValue, y);
            f.maxValue = std::max<double>(f.maxValue, y);
        }
    }
    overlayGraph->data()->set(data, f.sorted);
    handedOverlay = overlay;
    handedOverlayDateTime = m.dateTimeX;
    handedOverlayRevision = m.dataRevision();
}

bool PESGraph::Private::styleOverlay(const ChartModel &m)
{
    if (!overlayGraph || !m.overlay)
        return false;
    const bool mono = m.viewingStyle == ViewingStyle::Monochrome;
    // A stored overlay may have no colour of its own: it takes the one an overlay gets.
    const QColor colour = m.overlay->color.isValid()
        ? m.overlay->color
        : OverlayPlacement::colorBeside(m.subsetColor(0));
    overlayGraph->setPen(mono ? QPen(Qt::black, 1.0, Qt::DashLine)
                              : QPen(colour, 1.0, Qt::SolidLine));
    const QString label = m.overlay->label.trimmed();
    overlayGraph->setName(label);
    if (label.isEmpty()) {
        overlayGraph->removeFromLegend();
        return false;
    }
    overlayGraph->addToLegend();
    return true;
}
