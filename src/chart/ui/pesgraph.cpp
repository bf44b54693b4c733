// The chart widget: it builds the plot, offers the public operations and paints. The data
// hand-over, the look, the annotations and the mouse live beside it (pesgraph_p.h lists where).
#include "chart/ui/pesgraph.h"

#include "chart/chartblock.h"
#include "chart/ui/localedatetimeticker.h"
#include "chart/ui/pesgraph_p.h"

#include <QLocale>
#include <QPicture>
#include <QPrinter>
#include <QVBoxLayout>

#include <algorithm>

using namespace PESGraphInternal;

PESGraph::Private::Private(PESGraph *owner)
    : q(owner)
    , plot(new QCustomPlot(owner))
    , axisRect(plot->axisRect())
    , mainTitle(new QCPTextElement(plot))
    , subTitle(new QCPTextElement(plot))
    , legendRow(new QCPLayoutGrid)
    , dateTicker(new LocaleDateTimeTicker)
    , numberTicker(new QCPAxisTicker)
{
    plot->setLocale(QLocale::system());
    plot->setBackground(Qt::white);
    plot->setAutoAddPlottableToLegend(false);
    plot->setSelectionRectMode(QCP::srmCustom);
    // One paint buffer for everything: a separately buffered rubber band layer would cost a
    // second buffer to clear and blend on every replot.
    plot->layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    plot->selectionRect()->setPen(QPen(QColor(60, 60, 60), 0, Qt::DashLine));
    plot->selectionRect()->setBrush(QColor(80, 120, 220, 40));
    connect(plot->selectionRect(), &QCPSelectionRect::accepted, this,
            [this](const QRect &rect, QMouseEvent *) { zoomTo(rect); });
    plot->installEventFilter(this);
    plot->setMouseTracking(true);
    connect(plot, &QCustomPlot::afterReplot, this, [this] {
        if (axisRect->rect() != shownPlottingRect) {
            shownPlottingRect = axisRect->rect();
            Q_EMIT q->plottingRectChanged();
        }
    });

    // Annotations and cursor lines draw above the data.
    plot->addLayer(QStringLiteral("annotations"), plot->layer(QStringLiteral("main")),
                   QCustomPlot::limAbove);
    // Excluded intervals draw beneath the data, above the grid.
    makeExclusionBands();
    makeLimitLine();

    // A closed frame around the plotting area; only the bottom and left axes carry ticks.
    for (QCPAxis *axis : { plot->xAxis2, plot->yAxis2 }) {
        axis->setVisible(true);
        axis->setTicks(false);
        axis->setTickLabels(false);
    }
    for (QCPAxis *axis : { plot->xAxis, plot->yAxis }) {
        axis->grid()->setSubGridVisible(false);
        axis->grid()->setZeroLinePen(Qt::NoPen);
        axis->setSubTicks(false);
        axis->setTickLength(0, 5);
        axis->setPadding(4);
    }
    dateTicker.staticCast<LocaleDateTimeTicker>()->setDateTimeSpec(Qt::UTC);
    dateTicker.staticCast<LocaleDateTimeTicker>()->setAxis(plot->xAxis);
    plot->xAxis->setTicker(dateTicker);

    // Header rows above the plotting area: main title, sub title, legend (centred in its row).
    mainTitle->setMargins(QMargins(4, 6, 4, 0));
    subTitle->setMargins(QMargins(4, 2, 4, 0));
    axisRect->insetLayout()->take(plot->legend);
    plot->legend->setFillOrder(QCPLegend::foColumnsFirst);
    plot->legend->setWrap(0);
    plot->legend->setBorderPen(Qt::NoPen);
    plot->legend->setBrush(Qt::NoBrush);
    plot->legend->setMargins(QMargins(4, 2, 4, 0));
    plot->legend->setColumnSpacing(16);
    plot->legend->setIconSize(28, 12);
    legendRow->addElement(0, 0, new QCPLayoutElement(plot));
    legendRow->addElement(0, 1, plot->legend);
    legendRow->addElement(0, 2, new QCPLayoutElement(plot));
    legendRow->setColumnStretchFactors({ 1, 0.001, 1 });
    legendRow->setMargins(QMargins(0, 0, 0, 0));

    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = new QCPItemStraightLine(plot);
        lines[i]->setLayer(QStringLiteral("annotations"));
        lineTexts[i] = new QCPItemText(plot);
        lineTexts[i]->setLayer(QStringLiteral("annotations"));
        lineTexts[i]->setClipToAxisRect(true);
        lineTexts[i]->setPadding(QMargins(4, 2, 4, 2));
        lineTexts[i]->setBrush(QColor(255, 255, 255, 215));
        lineTexts[i]->position->setTypeX(QCPItemPosition::ptPlotCoords);
        lineTexts[i]->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        lineTexts[i]->setTextAlignment(Qt::AlignLeft);
    }
}

PESGraph::Private::~Private()
{
    // Header rows that are not laid out now belong to no layout: release them here (the legend
    // inside its row tells the plot it is gone).
    for (QCPLayoutElement *element :
         { static_cast<QCPLayoutElement *>(mainTitle), static_cast<QCPLayoutElement *>(subTitle),
           static_cast<QCPLayoutElement *>(legendRow) }) {
        if (!element->layout())
            delete element;
    }
}

// --- Painting --------------------------------------------------------------------------------

void PESGraph::Private::scheduleReplot()
{
    layoutStale = true;
    if (replotQueued)
        return;
    replotQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (replotQueued)
                replotNow();
        },
        Qt::QueuedConnection);
}

void PESGraph::Private::replotNow()
{
    replotQueued = false;
    if (plot->geometry() != q->rect())
        plot->setGeometry(q->rect());
    plot->replot(QCustomPlot::rpImmediateRefresh);
    layoutStale = false;
}

// Lays the plot out for the widget's size when that is not done yet, without painting, so that
// pixel conversions and the plotting rectangle are right straight after a change.
void PESGraph::Private::ensureLayout()
{
    if (plot->geometry() != q->rect()) {
        plot->setGeometry(q->rect());
        layoutStale = true;
    }
    if (plot->viewport() != plot->rect()) {
        plot->setViewport(plot->rect());
        layoutStale = true;
    }
    if (!layoutStale)
        return;
    plot->plotLayout()->update(QCPLayoutElement::upPreparation);
    plot->plotLayout()->update(QCPLayoutElement::upMargins);
    plot->plotLayout()->update(QCPLayoutElement::upLayout);
    layoutStale = false;
}

// Draws the chart into target (device pixels of a device of deviceDpi): laid out as it would be
// on the screen at the target's physical size, then scaled to the device.
void PESGraph::Private::paintChart(QCPPainter &painter, const QRect &target, double deviceDpi)
{
    const double scale = deviceDpi / std::max(1, plot->logicalDpiX());
    const int width = std::max(1, qRound(target.width() / scale));
    const int height = std::max(1, qRound(target.height() / scale));
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    painter.setClipRect(QRect(0, 0, width, height));
    plot->toPainter(&painter, width, height);
    painter.restore();
    layoutStale = true; // toPainter left the layout at the target's size
}

// --- PESGraph --------------------------------------------------------------------------------

PESGraph::PESGraph(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Private>(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->plot);
    setArrowCursor(1);
    redraw();
}

PESGraph::~PESGraph() = default;

void PESGraph::redraw()
{
    d->handOver(m_model);
    d->applyOverlay(m_model);
    d->applyScales(m_model); // before the look: cursor texts are placed within the ranges
    d->applyLook(m_model);
    d->applyExclusions(m_model);
    d->applyLimit(m_model);
    d->updateAntialiasing();
    d->scheduleReplot();
}

void PESGraph::redrawNow()
{
    redraw();
    d->replotNow();
}

void PESGraph::reinitAndReset()
{
    d->zoomed = false;
    d->handed = false;
    d->handedOverlay.reset();
    d->scalesApplied = false;
    redraw();
}

void PESGraph::setZoomingAllowed(bool allowed)
{
    d->zoomingAllowed = allowed;
}

bool PESGraph::canUndoZoom() const
{
    return d->zoomed;
}

void PESGraph::undoZoom()
{
    if (!d->zoomed)
        return;
    // Back to the unzoomed view in one step, however many zooms were nested: the ranges the
    // model's scales and the data give now (points recorded while zoomed in are taken in).
    d->zoomed = false;
    d->applyScales(m_model);
    d->applyAnnotations(m_model);
    d->updateAntialiasing();
    d->scheduleReplot();
}

void PESGraph::zoomToX(double from, double to)
{
    if (!(to > from))
        return;
    d->zoomed = true;
    d->plot->xAxis->setRange(toKey(from, m_model.dateTimeX), toKey(to, m_model.dateTimeX));
    d->applyAnnotations(m_model);
    d->updateAntialiasing();
    d->scheduleReplot();
    Q_EMIT zoomedIn();
}

QPointF PESGraph::pixelToValue(const QPointF &pixel) const
{
    d->ensureLayout();
    const QPointF p = pixel - QPointF(d->plot->pos());
    return { fromKey(d->plot->xAxis->pixelToCoord(p.x()), m_model.dateTimeX),
             d->plot->yAxis->pixelToCoord(p.y()) };
}

QPointF PESGraph::valueToPixel(const QPointF &value) const
{
    d->ensureLayout();
    return QPointF(d->plot->xAxis->coordToPixel(toKey(value.x(), m_model.dateTimeX)),
                   d->plot->yAxis->coordToPixel(value.y()))
        + QPointF(d->plot->pos());
}

QRect PESGraph::plottingRect() const
{
    d->ensureLayout();
    return d->axisRect->rect().translated(d->plot->pos());
}

int PESGraph::annotationAt(const QPoint &pixel) const
{
    d->ensureLayout();
    return d->annotationHit(d->plot->mapFrom(this, pixel));
}

void PESGraph::setArrowCursor(int code)
{
    setArrowCursor(QCursor(code == 2 ? Qt::IBeamCursor : Qt::ArrowCursor));
}

void PESGraph::setArrowCursor(const QCursor &cursor)
{
    d->plot->setCursor(cursor);
}

void PESGraph::setCustomizePages(bool fonts, bool titles, bool look, bool subsets)
{
    d->pages = { fonts, titles, look, subsets };
}

void PESGraph::setDialogRunner(DialogRunner runner)
{
    d->runner = std::move(runner);
}

bool PESGraph::customize()
{
    ChartCustomizeDialog dialog(m_model, d->pages, this);
    const int result = d->runner ? d->runner(dialog) : dialog.exec();
    const bool changed = result == QDialog::Accepted && applyCustomization(dialog);
    Q_EMIT customizeDialogClosed(changed);
    return changed;
}

bool PESGraph::applyCustomization(const ChartCustomizeDialog &dialog)
{
    const bool changed = dialog.applyTo(m_model);
    if (changed)
        redraw();
    return changed;
}

bool PESGraph::print(QPrinter &printer)
{
    QCPPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNonCosmetic);
    // The chart keeps about the shape it has on the screen, as wide as the page allows: a wide
    // window on portrait paper prints wide, not stretched down the page; a very flat one no
    // flatter than 5 to 3, so that its levels stay readable.
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    QSize area(qFloor(page.width()), qFloor(page.height()));
    if (width() > 0 && height() > 0) {
        const double ratio = std::max(0.6, double(height()) / width());
        area.setHeight(std::min(area.height(), qRound(area.width() * ratio)));
    }
    d->paintChart(painter, QRect(QPoint(0, 0), area), printer.logicalDpiX());
    return painter.end();
}

void PESGraph::render(QPainter &painter, const QRect &target)
{
    // QCustomPlot draws through its own painter class: record into a picture, then play it back
    // onto the caller's painter.
    const double dpi = painter.device() ? painter.device()->logicalDpiX() : logicalDpiX();
    const double scale = dpi / std::max(1, logicalDpiX());
    const QRect logical(0, 0, std::max(1, qRound(target.width() / scale)),
                        std::max(1, qRound(target.height() / scale)));
    QPicture picture;
    QCPPainter recorder;
    if (!recorder.begin(&picture))
        return;
    recorder.setMode(QCPPainter::pmNonCosmetic);
    d->paintChart(recorder, logical, logicalDpiX());
    recorder.end();
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    painter.drawPicture(0, 0, picture);
    painter.restore();
}

QByteArray PESGraph::storeBlock() const
{
    return ChartBlock::save(m_model);
}

QByteArray PESGraph::storeTemplateBlock() const
{
    ChartModel look;
    look.look() = m_model.look();
    return ChartBlock::save(look);
}

bool PESGraph::loadBlock(const QByteArray &block, QString *error)
{
    if (!ChartBlock::load(block, m_model, error))
        return false;
    reinitAndReset();
    return true;
}

QCustomPlot &PESGraph::plot()
{
    return *d->plot;
}
