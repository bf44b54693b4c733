// The graph window's overlay: "Overlay..." asks the program for a second measurement (the data
// logger knows the open collection's data sets, which this window does not), "Remove Overlay"
// takes it off, and the "Acoustic figures" panel shows the overlay's whole figures in a column
// of their own beside the graph's.
#include "chart/ui/pesgraph.h"
#include "graph/ui/acousticfigurespanel.h"
#include "graph/ui/tfrmgraph.h"

#include <QAction>
#include <QToolBar>

void TfrmGraph::buildOverlayActions()
{
    Overlay1 = SurveyBar->addAction(QStringLiteral("Overlay..."));
    Overlay1->setObjectName(QStringLiteral("Overlay1"));
    Overlay1->setToolTip(QStringLiteral("Draw a second measurement over this graph"));
    RemoveOverlay1 = SurveyBar->addAction(QStringLiteral("Remove Overlay"));
    RemoveOverlay1->setObjectName(QStringLiteral("RemoveOverlay1"));
    RemoveOverlay1->setToolTip(QStringLiteral("Take the overlaid measurement off this graph"));
    RemoveOverlay1->setEnabled(false);
    connect(Overlay1, &QAction::triggered, this, &TfrmGraph::overlayRequested);
    connect(RemoveOverlay1, &QAction::triggered, this, &TfrmGraph::RemoveOverlayClick);
}

void TfrmGraph::setOverlay(std::optional<OverlaySeries> overlay)
{
    // The overlay is part of the data: a new revision tells the chart and the figures.
    chartModel().overlay = std::move(overlay);
    chartModel().touch();
    chart().redraw();
    showOverlayFigures();
}

void TfrmGraph::RemoveOverlayClick()
{
    setOverlay(std::nullopt);
}

void TfrmGraph::showOverlayFigures()
{
    RemoveOverlay1->setEnabled(chartModel().overlay.has_value());
    pnlAcoustic->showOverlay();
}
