// The chart's data: handing the model's series to QCustomPlot on redraw (only what changed,
// with a cheap path for points written at the end), the automatic axis ranges taken from what
// was handed, and line smoothing by how dense the visible data is.
#include "chart/ui/pesgraph_p.h"

#include <algorithm>
#include <cstring>

using namespace PESGraphInternal;

namespace PESGraphInternal {

template<typename Sink> void SeriesFeed::feed(double x, float y, bool dateTime, Sink &&sink)
{
    if (notRecorded(x, dateTime)) {
        if (anyHanded && !lastGap) {
            sink(lastKey, qQNaN());
            lastGap = true;
        }
        return;
    }
    const double key = toKey(x, dateTime);
    if (anyHanded && key < lastKey)
        sorted = false;
    if (y == ChartModel::NullValue || !std::isfinite(y)) {
        sink(key, qQNaN());
        lastGap = true;
    } else {
        const double value = y;
        sink(key, value);
        lastGap = false;
        if (!hasRange) {
            minKey = maxKey = key;
            minValue = maxValue = value;
            hasRange = true;
        } else {
            minKey = std::min(minKey, key);
            maxKey = std::max(maxKey, key);
            minValue = std::min(minValue, value);
            maxValue = std::max(maxValue, value);
        }
    }
    lastKey = key;
    anyHanded = true;
}

} // namespace PESGraphInternal

namespace {

// Bitwise equality of the first n values (so that NaNs compare equal to themselves).
template<typename T> bool samePrefix(const std::vector<T> &a, const std::vector<T> &b, int n)
{
    if (n > static_cast<int>(a.size()) || n > static_cast<int>(b.size()))
        return false;
    // An empty prefix is the same; memcmp must not see the null data of an empty vector.
    return n <= 0 || std::memcmp(a.data(), b.data(), static_cast<std::size_t>(n) * sizeof(T)) == 0;
}

} // namespace

void PESGraph::Private::handOver(const ChartModel &m)
{
    const bool sameShape = handed && handedDateTime == m.dateTimeX && handedPoints == m.points()
        && static_cast<int>(feeds.size()) == m.subsets();
    if (handed && sameShape && handedRevision == m.dataRevision())
        return;
    // The overlay's graph comes after the subsets' ones: it goes while their number changes,
    // and the overlay is handed again afterwards.
    if (overlayGraph && subsetGraphCount() != m.subsets())
        dropOverlayGraph();
    while (subsetGraphCount() > m.subsets())
        plot->removeGraph(subsetGraphCount() - 1);
    while (subsetGraphCount() < m.subsets()) {
        QCPGraph *graph = plot->addGraph(plot->xAxis, plot->yAxis);
        graph->setAdaptiveSampling(true);
        graph->setLineStyle(QCPGraph::lsLine);
    }
    feeds.resize(static_cast<std::size_t>(m.subsets()));
    for (int s = 0; s < m.subsets(); ++s) {
        if (!sameShape || !appendSeries(m, s))
            handSeries(m, s);
    }
    handed = true;
    handedRevision = m.dataRevision();
    handedDateTime = m.dateTimeX;
    handedPoints = m.points();
}

// The cheap path: everything handed before is unchanged and points were written after it.
bool PESGraph::Private::appendSeries(const ChartModel &m, int subset)
{
    SeriesFeed &f = feeds[static_cast<std::size_t>(subset)];
    const std::vector<double> &xs = m.xs(subset);
    const std::vector<float> &ys = m.ys(subset);
    if (!samePrefix(xs, f.xs, f.tail) || !samePrefix(ys, f.ys, f.tail))
        return false;
    const int tail = SeriesFeed::tailOf(xs, f.tail, m.dateTimeX);
    double last = f.anyHanded ? f.lastKey : -qInf();
    for (int i = f.tail; i < tail; ++i) { // new points before the last handed one: hand all
        const double x = xs[static_cast<std::size_t>(i)];
        if (SeriesFeed::notRecorded(x, m.dateTimeX))
            continue;
        if (toKey(x, m.dateTimeX) < last)
            return false;
        last = toKey(x, m.dateTimeX);
    }
    QCPGraphDataContainer *data = plot->graph(subset)->data().data();
    for (int i = f.tail; i < tail; ++i) {
        const auto k = static_cast<std::size_t>(i);
        f.feed(xs[k], ys[k], m.dateTimeX,
               [data](double key, double value) { data->add(QCPGraphData(key, value)); });
    }
    f.xs.insert(f.xs.end(), xs.begin() + f.tail, xs.begin() + tail);
    f.ys.insert(f.ys.end(), ys.begin() + f.tail, ys.begin() + tail);
    f.tail = tail;
    return true;
}

void PESGraph::Private::handSeries(const ChartModel &m, int subset)
{
    SeriesFeed &f = feeds[static_cast<std::size_t>(subset)];
    f = SeriesFeed();
    const std::vector<double> &xs = m.xs(subset);
    const std::vector<float> &ys = m.ys(subset);
    const int tail = SeriesFeed::tailOf(xs, 0, m.dateTimeX);
    // Written through a pointer into a buffer of the largest size needed: appending element by
    // element costs several times more for large series.
    QVector<QCPGraphData> data(tail);
    QCPGraphData *out = data.data();
    for (int i = 0; i < tail; ++i) {
        const auto k = static_cast<std::size_t>(i);
        f.feed(xs[k], ys[k], m.dateTimeX,
               [&out](double key, double value) { *out++ = QCPGraphData(key, value); });
    }
    data.resize(out - data.constData());
    plot->graph(subset)->data()->set(data, f.sorted);
    f.xs.assign(xs.begin(), xs.begin() + tail);
    f.ys.assign(ys.begin(), ys.begin() + tail);
    f.tail = tail;
}

// The axis ranges: the model's manual scales, or else the extent of the data handed. New
// scales from the program drop a zoom; while zoomed in, the ranges stay as the zoom left them.
void PESGraph::Private::applyScales(const ChartModel &m)
{
    const bool scalesChanged = scalesApplied
        && (appliedX != m.xScale || appliedY != m.yScale || appliedDateTime != m.dateTimeX);
    if (scalesChanged)
        zoomed = false; // new scales from the program override a zoom
    appliedX = m.xScale;
    appliedY = m.yScale;
    appliedDateTime = m.dateTimeX;
    scalesApplied = true;
    if (zoomed)
        return;

    bool found = false;
    double minKey = 0, maxKey = 0, minValue = 0, maxValue = 0;
    std::vector<const SeriesFeed *> handedFeeds;
    for (const SeriesFeed &f : feeds)
        handedFeeds.push_back(&f);
    if (overlayGraph)
        handedFeeds.push_back(&overlayFeed);
    for (const SeriesFeed *handedFeed : handedFeeds) {
        const SeriesFeed &f = *handedFeed;
        if (!f.hasRange)
            continue;
        minKey = found ? std::min(minKey, f.minKey) : f.minKey;
        maxKey = found ? std::max(maxKey, f.maxKey) : f.maxKey;
        minValue = found ? std::min(minValue, f.minValue) : f.minValue;
        maxValue = found ? std::max(maxValue, f.maxValue) : f.maxValue;
        found = true;
    }

    if (m.xScale.manual && m.xScale.max > m.xScale.min) {
        plot->xAxis->setRange(toKey(m.xScale.min, m.dateTimeX), toKey(m.xScale.max, m.dateTimeX));
    } else if (found) {
        const double pad = maxKey > minKey ? 0.0 : (m.dateTimeX ? 30.0 : 0.5);
        plot->xAxis->setRange(minKey - pad, maxKey + pad);
    }
    if (m.yScale.manual && m.yScale.max > m.yScale.min) {
        plot->yAxis->setRange(m.yScale.min, m.yScale.max);
    } else if (found) {
        const double pad = maxValue > minValue ? (maxValue - minValue) * 0.05 : 1.0;
        plot->yAxis->setRange(minValue - pad, maxValue + pad);
    }
}

// Smooth lines where the points are sparse enough for slanted segments to show. Dense data is
// drawn as one vertical stroke per pixel column (adaptive sampling), where smoothing changes
// nothing visible but costs a large share of the replot.
void PESGraph::Private::updateAntialiasing()
{
    const QCPRange range = plot->xAxis->range();
    const int limit = 2 * std::max(1, axisRect->width());
    for (int s = 0; s < plot->graphCount(); ++s) {
        QCPGraph *graph = plot->graph(s);
        const auto data = graph->data();
        const auto visible = data->findEnd(range.upper) - data->findBegin(range.lower);
        graph->setAntialiased(visible <= limit);
    }
}
