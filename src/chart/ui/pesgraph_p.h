#pragma once

// The chart widget's inside, shared by its source files:
//   pesgraph.cpp            the widget: building the plot, public operations, painting
//   pesgraphdata.cpp        handing the model's series to QCustomPlot, the automatic ranges,
//                           smoothing by data density
//   pesgraphlook.cpp        titles, legend, subset pens, axes and grid
//   pesgraphannotations.cpp graph annotations and the two vertical line annotations
//   pesgraphexclusions.cpp  the excluded intervals' bands and labels
//   pesgraphlimit.cpp       the limit's line and its value
//   pesgraphoverlay.cpp     the overlaid second measurement: its own graph, pen and legend entry
//   pesgraphmouse.cpp       clicks, hot spots, rubber-band zoom
// Nothing outside these files includes it.

#include "base/datetimedays.h"
#include "chart/ui/chartcustomizedialog.h"
#include "chart/ui/pesgraph.h"

#include <QObject>
#include <QPoint>
#include <QSharedPointer>
#include <qcustomplot.h>

#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace PESGraphInternal {

// X reaches QCustomPlot as seconds since 1 January 1970 read as UTC: the wall-clock time the
// days stand for, with no time zone shift, so the axis shows exactly the clock time recorded.
using DateTimeDays::SecondsPerDay;
using DateTimeDays::UnixEpochDays;

inline double toKey(double days, bool dateTime)
{
    return dateTime ? (days - UnixEpochDays) * SecondsPerDay : days;
}

inline double fromKey(double key, bool dateTime)
{
    return dateTime ? key / SecondsPerDay + UnixEpochDays : key;
}

// What one subset handed to QCustomPlot at the last hand-over, so that a redraw after points
// were written at the end adds only those instead of handing the whole series again.
//
// Points that are not recorded yet (X 0 on a date-time chart, or a non-finite X) are no data:
// a run of them inside the series becomes one gap, a run at the end is left out. A null or
// non-finite Y is handed as NaN, which QCustomPlot draws as a gap in the line.
struct SeriesFeed
{
    std::vector<double> xs; // the model's X of points [0, tail) as handed
    std::vector<float> ys;
    int tail = 0; // from here on every point was "not recorded" when handed
    double lastKey = 0.0;
    bool anyHanded = false;
    bool lastGap = false;
    bool sorted = true;
    double minKey = 0, maxKey = 0, minValue = 0, maxValue = 0;
    bool hasRange = false;

    static bool notRecorded(double x, bool dateTime)
    {
        return !std::isfinite(x) || (dateTime && x == 0.0);
    }

    static int tailOf(const std::vector<double> &x, int from, bool dateTime)
    {
        int tail = static_cast<int>(x.size());
        while (tail > from && notRecorded(x[static_cast<std::size_t>(tail - 1)], dateTime))
            --tail;
        return tail;
    }

    // Hands point (x, y) to sink(key, value) (defined beside its only callers, in
    // pesgraphdata.cpp).
    template<typename Sink> void feed(double x, float y, bool dateTime, Sink &&sink);
};

class CrossItem; // a graph annotation's cross (pesgraphannotations.cpp)
class ExclusionBands; // the excluded intervals' bands (pesgraphexclusions.cpp)

} // namespace PESGraphInternal

class PESGraph::Private : public QObject
{
public:
    explicit Private(PESGraph *owner);
    ~Private() override;

    // Data (pesgraphdata.cpp).
    void handOver(const ChartModel &m);
    bool appendSeries(const ChartModel &m, int subset);
    void handSeries(const ChartModel &m, int subset);
    void applyScales(const ChartModel &m);
    void updateAntialiasing();

    // Look (pesgraphlook.cpp) and annotations (pesgraphannotations.cpp).
    void applyLook(const ChartModel &m);
    void arrangeRows(bool mainTitle, bool subTitle, bool legend);
    QFont font(double points, bool bold = false) const;
    void applyAnnotations(const ChartModel &m);
    // The excluded intervals (pesgraphexclusions.cpp): their layer and layerable, made once,
    // and their bands taken from the model.
    void makeExclusionBands();
    void applyExclusions(const ChartModel &m);
    // The limit's line and text (pesgraphlimit.cpp), made once and shown while there is a limit.
    void makeLimitLine();
    void applyLimit(const ChartModel &m);
    // The overlay (pesgraphoverlay.cpp): its graph, made after the subsets' and handed its
    // points only when the model's overlay differs from the one drawn; its pen and legend entry
    // (true when it has a label for the legend); and the graph dropped.
    void applyOverlay(const ChartModel &m);
    bool styleOverlay(const ChartModel &m);
    void dropOverlayGraph();
    // The plot's graphs that draw the subsets (all but the overlay's).
    int subsetGraphCount() const { return plot->graphCount() - (overlayGraph ? 1 : 0); }

    // Painting (pesgraph.cpp).
    void scheduleReplot();
    void replotNow();
    void ensureLayout();
    void paintChart(QCPPainter &painter, const QRect &target, double deviceDpi);

    // The mouse and zoom (pesgraphmouse.cpp).
    void zoomTo(const QRect &rect);
    QPoint toWidget(const QPoint &plotPos) const { return plot->mapTo(q, plotPos); }
    int lineHit(const QPoint &pos) const;
    bool dataHit(const QPoint &pos, int *subset, int *point) const;
    int annotationHit(const QPoint &pos) const;
    // Mouse events of the plot, seen before QCustomPlot handles them.
    bool eventFilter(QObject *watched, QEvent *event) override;

    PESGraph *q;
    QCustomPlot *plot;
    QCPAxisRect *axisRect;
    QCPTextElement *mainTitle;
    QCPTextElement *subTitle;
    QCPLayoutGrid *legendRow;
    QSharedPointer<QCPAxisTicker> dateTicker;
    QSharedPointer<QCPAxisTicker> numberTicker;
    int rows = -1; // which header rows are laid out (bits: main title, sub title, legend)

    std::vector<PESGraphInternal::SeriesFeed> feeds;
    bool handed = false;
    quint64 handedRevision = 0;
    bool handedDateTime = true;
    int handedPoints = 0;

    bool zoomed = false; // the ranges are a zoom's, not the unzoomed view's
    bool scalesApplied = false;
    AxisScale appliedX, appliedY;
    bool appliedDateTime = true;
    bool zoomingAllowed = true;

    std::array<QCPItemStraightLine *, 2> lines {};
    std::array<QCPItemText *, 2> lineTexts {};
    std::vector<PESGraphInternal::CrossItem *> crosses;
    std::vector<QCPItemText *> crossTexts;
    std::vector<int> shownAnnotations; // the annotation index each item in use shows
    PESGraphInternal::ExclusionBands *exclusionBands = nullptr;
    QCPItemStraightLine *limitLine = nullptr;
    QCPItemText *limitText = nullptr;
    QCPGraph *overlayGraph = nullptr;
    // The overlay as last handed (its points and shift), and the extent handed.
    std::optional<OverlaySeries> handedOverlay;
    bool handedOverlayDateTime = true;
    quint64 handedOverlayRevision = 0;
    PESGraphInternal::SeriesFeed overlayFeed;

    ChartCustomizeDialog::Pages pages;
    DialogRunner runner;
    bool replotQueued = false;
    bool layoutStale = true;
    // The plotting rectangle of the last replot, to tell the owner when it moved.
    QRect shownPlottingRect;

    QPoint pressPos;
    bool pressed = false;
    bool moved = false;
    bool draggingLine = false;
};
