// The graph window's pages beside the chart: the "Acoustic figures" panel (the figures of the
// whole graph and between cursors A and B), the "Exceedances" page and the "Distribution" page,
// each handed the chart's measurement and its source; the window tells them when the data or
// the cursors moved.

#include "base/appstate.h"
#include "base/ui/prompts.h"
#include "base/ui/scrolledpanel.h"
#include "base/ui/windowservices.h"
#include "chart/ui/pesgraph.h"
#include "graph/ui/acousticfigurespanel.h"
#include "graph/ui/distributionpanel.h"
#include "graph/ui/exceedancespanel.h"
#include "graph/ui/tfrmgraph.h"
#include "graph/ui/tslider2.h"
#include "survey/methodlines.h"

#include <QApplication>
#include <QClipboard>
#include <QTabWidget>

QWidget *TfrmGraph::buildFiguresTabs()
{
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabFigures"));
    tabs->setDocumentMode(true);
    pnlAcoustic = new AcousticFiguresPanel(chartModel(), this);
    pnlExceedances = new ExceedancesPanel(chartModel(), this);
    // A window too low for a page scrolls it; the page keeps its width, so no figure is cut.
    tabs->addTab(new ScrolledPanel(pnlAcoustic, ScrolledPanel::Scroll::Down, tabs),
                 QStringLiteral("Figures"));
    tabs->addTab(new ScrolledPanel(pnlExceedances, ScrolledPanel::Scroll::Down, tabs),
                 QStringLiteral("Exceedances"));
    pnlDistribution = new DistributionPanel(chartModel(), this);
    tabs->addTab(new ScrolledPanel(pnlDistribution, ScrolledPanel::Scroll::Down, tabs),
                 QStringLiteral("Distribution"));
    connect(pnlDistribution, &DistributionPanel::copyRequested, this,
            &TfrmGraph::CopyDistributionClick);
    connect(pnlAcoustic, &AcousticFiguresPanel::exportRequested, this,
            &TfrmGraph::ExportFiguresClick);
    connect(pnlExceedances, &ExceedancesPanel::exportRequested, this,
            &TfrmGraph::ExportExceedancesClick);
    connect(this, &TfrmGraph::exclusionsChanged, this, &TfrmGraph::refreshAcousticFigures);
    pnlAcoustic->installEventFilter(this);
    return tabs;
}

void TfrmGraph::setSource(const GraphSource &source)
{
    chartModel().source = source;
    refreshAcousticFigures();
}

std::optional<std::pair<int, int>> TfrmGraph::cursorRange() const
{
    // Without a cursor range (nothing recorded yet, a single point) there is nothing between.
    if (Slider1->Maximum() == 0)
        return std::nullopt;
    return std::pair(Slider1->Value1(), Slider1->Value2());
}

AcousticFigures::Figures TfrmGraph::wholeAcousticFigures()
{
    return pnlAcoustic->whole();
}

AcousticFigures::Figures TfrmGraph::betweenAcousticFigures()
{
    return pnlAcoustic->between(cursorRange());
}

void TfrmGraph::refreshAcousticFigures()
{
    pnlAcoustic->refresh(cursorRange());
    pnlExceedances->refresh();
    pnlDistribution->refresh(cursorRange());
    RemoveOverlay1->setEnabled(chartModel().overlay.has_value());
}

void TfrmGraph::showBetweenAcousticFigures()
{
    pnlAcoustic->showBetween(cursorRange());
    pnlDistribution->showBetween(cursorRange());
}

QStringList TfrmGraph::methodLines() const
{
    const AppState &state = m_services.state();
    MethodLines::Settings settings;
    settings.hours
        = DayEveningNightHours::parse(state.dayEveningNightHours).value_or(DayEveningNightHours {});
    settings.coverageThreshold = state.coverageThreshold;
    QStringList lines;
    for (const QString &line :
         MethodLines::lines(chartModel(), chartModel().source, chartModel().yAxisLabel, settings,
                            QLocale::system()))
        lines << line;
    return lines;
}

void TfrmGraph::ExportFiguresClick()
{
    // The figures, then after a blank line how they were worked out.
    QString text = pnlAcoustic->exportText(cursorRange());
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    text += QLatin1Char('\n') + methodLines().join(QLatin1Char('\n')) + QLatin1Char('\n');
    QApplication::clipboard()->setText(text);
    m_services.prompts().showMessage(
        QStringLiteral("The figures have been copied to the clipboard."));
}

void TfrmGraph::ExportExceedancesClick()
{
    if (!chartModel().limit) {
        m_services.prompts().showMessage(QStringLiteral("Set a limit first (Limit...)."));
        return;
    }
    QApplication::clipboard()->setText(pnlExceedances->exportText());
    m_services.prompts().showMessage(
        QStringLiteral("The exceedances have been copied to the clipboard."));
}

void TfrmGraph::CopyDistributionClick()
{
    QApplication::clipboard()->setText(pnlDistribution->copyText());
    m_services.prompts().showMessage(
        QStringLiteral("The distribution has been copied to the clipboard."));
}
