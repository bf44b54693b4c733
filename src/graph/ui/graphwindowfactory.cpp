#include "graph/ui/graphwindowfactory.h"

#include "base/appstate.h"
#include "base/clock.h"
#include "base/datetimedays.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "chart/ui/pesgraph.h"
#include "graph/ui/tfrmgraph.h"

#include <QSize>

namespace {
constexpr int MinimumHeight = 200;
} // namespace

GraphWindowFactory::GraphWindowFactory(WindowServices &services, QObject *parent)
    : QObject(parent)
    , m_services(services)
{
}

QRect GraphWindowFactory::wideGeometry(int heightMargin) const
{
    // The margin is left free below the window, unless the client area is too low for a
    // readable chart; the window never reaches past the client area.
    const QSize area = m_services.clientAreaSize();
    const int height = area.height() - heightMargin >= MinimumHeight
        ? area.height() - heightMargin
        : qMin(MinimumHeight, area.height());
    return { 0, 0, area.width(), height };
}

TfrmGraph &GraphWindowFactory::make(const QString &caption)
{
    auto *graph = new TfrmGraph(m_services);
    graph->setWindowTitle(caption);
    connect(graph, &TfrmGraph::calLeqRequested, this, [this, graph] { createLeqGraph(*graph); });
    connect(graph, &TfrmGraph::reportRequested, this,
            [this, graph] { Q_EMIT reportRequested(graph); });
    connect(graph, &TfrmGraph::overlayRequested, this,
            [this, graph] { Q_EMIT overlayRequested(graph); });
    connect(graph, &TfrmGraph::periodsRequested, this,
            [this, graph] { Q_EMIT periodsRequested(graph); });
    return *graph;
}

TfrmGraph &GraphWindowFactory::createRealTimeGraph()
{
    TfrmGraph &graph = make(TfrmGraph::RealTimeCaption);
    const AppState &state = m_services.state();
    const double now = DateTimeDays::fromDateTime(m_services.clock().now());
    graph.PrepareGraph(1, 130, 30, now + state.RealTimeRate * 510.0 * DateTimeDays::OneSecond, now,
                       500);
    graph.makeRealTimeGraph(state.RealTimeRate);
    graph.setClearEnabled(!state.RealTimeRunning);
    m_realTime = &graph;
    m_services.setRealTimeGraphChecked(true);
    connect(&graph, &MdiChildForm::formClosed, this, [this] {
        m_services.setRealTimeGraphChecked(false);
        m_realTime = nullptr;
        Q_EMIT realTimeGraphClosed();
    });
    connect(&graph, &TfrmGraph::cleared, this, [this, &graph] {
        if (&graph == m_realTime)
            Q_EMIT realTimeGraphCleared();
    });
    const QRect place = m_realTimePlace ? m_realTimePlace() : QRect();
    m_services.addChildWindow(graph, place.isValid() ? place : wideGeometry(40));
    return graph;
}

void GraphWindowFactory::noteSaved(const TfrmGraph &graph)
{
    if (&graph == m_realTime)
        Q_EMIT realTimeGraphSaved();
}

TfrmGraph &GraphWindowFactory::showRealTimeGraph()
{
    if (!m_realTime)
        return createRealTimeGraph();
    m_services.activateChildWindow(*m_realTime);
    m_services.setRealTimeGraphChecked(true);
    return *m_realTime;
}

TfrmGraph &GraphWindowFactory::showDataLoggerGraph()
{
    if (m_dataLogger) {
        m_services.activateChildWindow(*m_dataLogger);
        return *m_dataLogger;
    }
    TfrmGraph &graph = make(TfrmGraph::DataLoggerCaption);
    graph.showDataSetsPanel();
    const double now = DateTimeDays::fromDateTime(m_services.clock().now());
    graph.PrepareGraph(1, 130, 30, now + 500 * DateTimeDays::OneSecond, now, 500);
    graph.chartModel().allowGraphAnnotHotSpots = true;
    m_dataLogger = &graph;
    connect(&graph, &MdiChildForm::formClosed, this, [this] {
        // Only this window holds the downloaded data sets that may be unsaved.
        m_services.state().loggerDataLoaded = false;
        m_dataLogger = nullptr;
    });
    m_services.addChildWindow(graph, wideGeometry(60));
    m_services.activateChildWindow(graph);
    Q_EMIT dataLoggerGraphCreated(&graph);
    return graph;
}

TfrmGraph &GraphWindowFactory::createLeqGraph(const TfrmGraph &source)
{
    TfrmGraph &leq = make(TfrmGraph::LeqCaption);
    const ChartModel &levels = source.chartModel();
    m_services.addChildWindow(leq, wideGeometry(40));
    if (levels.points() <= 0) {
        m_services.prompts().showError(QStringLiteral("The graph has no points."));
        return leq;
    }
    leq.showCumulativeLeqOf(levels);
    return leq;
}

TfrmGraph &GraphWindowFactory::createGraph(const QString &caption)
{
    TfrmGraph &graph = make(caption);
    m_services.addChildWindow(graph, wideGeometry(40));
    return graph;
}
