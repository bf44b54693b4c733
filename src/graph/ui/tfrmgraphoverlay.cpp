// The graph window's overlay: "Overlay..." asks the program for a second measurement (the data
// logger knows the open collection's data sets, which this window does not), "Remove Overlay"
// takes it off, and the "Acoustic figures" panel shows the overlay's whole figures in a column
// of their own beside the graph's.
#include "chart/ui/pesgraph.h"
#include "graph/ui/tfrmgraph.h"
#include "survey/overlayfigures.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
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

void TfrmGraph::buildOverlayColumn(QGridLayout &grid, QWidget *panel,
                                   QLabel *(*valueLabel)(QWidget *))
{
    const int column = grid.columnCount();
    m_overlayTitle = new QLabel(QStringLiteral("Overlay"), panel);
    m_overlayTitle->setObjectName(QStringLiteral("lblOverlayFigures"));
    grid.addWidget(m_overlayTitle, 0, column, Qt::AlignRight);
    for (qsizetype i = 0; i < m_wholeFigureTexts.size(); ++i) {
        m_overlayFigureTexts.append(valueLabel(panel));
        grid.addWidget(m_overlayFigureTexts.last(), int(i) + 1, column);
    }
    showOverlayFigures();
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

AcousticFigures::Figures TfrmGraph::overlayAcousticFigures()
{
    // The whole overlay with its own interval: the excluded intervals are this graph's own
    // events and apply to its series only.
    const ChartModel &chart = chartModel();
    if (!chart.overlay)
        return {};
    if (m_overlayFiguresRevision != chart.dataRevision()) {
        m_overlayFigures = OverlayFigures::of(*chart.overlay);
        m_overlayFiguresRevision = chart.dataRevision();
    }
    return m_overlayFigures;
}

void TfrmGraph::showOverlayFigures()
{
    const bool shown = chartModel().overlay.has_value();
    if (RemoveOverlay1)
        RemoveOverlay1->setEnabled(shown);
    if (!m_overlayTitle)
        return;
    m_overlayTitle->setVisible(shown);
    const std::vector<AcousticFigures::Line> lines = AcousticFigures::lines(
        shown ? overlayAcousticFigures() : AcousticFigures::Figures(), QLocale::system());
    for (qsizetype i = 0; i < m_overlayFigureTexts.size(); ++i) {
        m_overlayFigureTexts[i]->setVisible(shown);
        m_overlayFigureTexts[i]->setText(lines[std::size_t(i)].value);
    }
    if (shown)
        m_overlayTitle->setToolTip(chartModel().overlay->label);
}

QString TfrmGraph::figuresExportText()
{
    const QLocale locale = QLocale::system();
    if (!chartModel().overlay)
        return AcousticFigures::exportText(wholeAcousticFigures(), betweenAcousticFigures(),
                                           locale);
    return OverlayFigures::exportText(wholeAcousticFigures(), betweenAcousticFigures(),
                                      overlayAcousticFigures(), locale);
}
