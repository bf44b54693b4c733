// The graph window's survey bar: what a survey asks of the graph beyond its look. "Exclude A-B"
// marks the interval between cursors A and B as Excluded (out of the figures), Specific or
// Residual, with a label the user may give it; used again on the same A-B range it changes that
// interval's category and label. "Include" takes away the one under cursor A, or else under
// cursor B; "Limit..." sets
// the level (dB) the graph is checked against, drawn as a line and listed on the "Exceedances"
// page; "Overlay..." asks the program for a second measurement (the data logger knows the open
// collection's data sets, which this window does not) and "Remove Overlay" takes it off;
// "Periods..." and "Report..." are the program's.
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "chart/ui/pesgraph.h"
#include "graph/ui/acousticfigurespanel.h"
#include "graph/ui/exceedancespanel.h"
#include "graph/ui/tfrmgraph.h"
#include "graph/ui/tfrminterval.h"
#include "survey/exceedances.h"
#include "survey/excludedintervals.h"

#include <QAction>
#include <QToolBar>

#include <cmath>

namespace {

// Where a cursor line stands, when it stands on a point with a time: not on a point never
// recorded (X 0 on a date-time chart), nor on an X that is not a number.
std::optional<double> cursorX(const ChartModel &chart, int line)
{
    const double x = chart.verticalLines[static_cast<std::size_t>(line)].x;
    if (!std::isfinite(x) || (chart.dateTimeX && x == 0.0))
        return std::nullopt;
    return x;
}

} // namespace

void TfrmGraph::buildSurveyBar()
{
    SurveyBar = new QToolBar(this);
    SurveyBar->setObjectName(QStringLiteral("SurveyBar"));
    SurveyBar->setFixedHeight(29);
    SurveyBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto add = [this](const char *name, const QString &text, const QString &hint) {
        QAction *action = SurveyBar->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(hint);
        return action;
    };
    ExcludeAB = add("ExcludeAB", QStringLiteral("Exclude A-B"),
                    QStringLiteral("Mark the interval between cursors A and B as Excluded from the "
                                   "figures, Specific or Residual (again on it: change it)"));
    Include = add("Include", QStringLiteral("Include"),
                  QStringLiteral("Take away the marked interval under cursor A (or else B)"));
    SurveyBar->addSeparator();
    LimitAction = add("LimitAction", QStringLiteral("Limit..."),
                      QStringLiteral("Set the limit (dB) the graph is checked against"));
    QAction *periods = add("Periods1", QStringLiteral("Periods..."),
                           QStringLiteral("Leq, Lmax, L10 and L90 per period, and Lden per day"));
    Overlay1 = add("Overlay1", QStringLiteral("Overlay..."),
                   QStringLiteral("Draw a second measurement over this graph"));
    RemoveOverlay1 = add("RemoveOverlay1", QStringLiteral("Remove Overlay"),
                         QStringLiteral("Take the overlaid measurement off this graph"));
    RemoveOverlay1->setEnabled(false);
    SurveyBar->addSeparator();
    QAction *report
        = add("Report1", QStringLiteral("Report..."), QStringLiteral("A survey report, as a PDF file or an OpenDocument text"));

    connect(ExcludeAB, &QAction::triggered, this, &TfrmGraph::ExcludeABClick);
    connect(Include, &QAction::triggered, this, &TfrmGraph::IncludeClick);
    connect(LimitAction, &QAction::triggered, this, &TfrmGraph::LimitClick);
    connect(periods, &QAction::triggered, this, &TfrmGraph::periodsRequested);
    connect(Overlay1, &QAction::triggered, this, &TfrmGraph::overlayRequested);
    connect(RemoveOverlay1, &QAction::triggered, this, &TfrmGraph::RemoveOverlayClick);
    connect(report, &QAction::triggered, this, &TfrmGraph::reportRequested);
}

bool TfrmGraph::ExcludeABClick()
{
    ChartModel &chart = chartModel();
    if (chart.subsets() == 0 || chart.points() == 0)
        return false;
    const std::optional<double> a = cursorX(chart, 0);
    const std::optional<double> b = cursorX(chart, 1);
    Prompts &prompts = m_services.prompts();
    if (!a || !b) {
        prompts.showMessage(QStringLiteral("Place cursors A and B on recorded points first."));
        return false;
    }
    const ExcludedInterval *same = ExcludedIntervals::withEnds(chart, *a, *b);
    const ExcludedInterval before = same ? *same : ExcludedInterval();
    TfrmInterval dialog(before.category, before.label, this);
    if (prompts.execDialog(dialog) != QDialog::Accepted)
        return false;
    const QString label = dialog.label().simplified();
    if (same && label == before.label && dialog.category() == before.category)
        return false;
    ExcludedIntervals::add(chart, *a, *b, label, dialog.category());
    PESGraph1->redraw();
    Q_EMIT exclusionsChanged();
    return true;
}

bool TfrmGraph::IncludeClick()
{
    ChartModel &chart = chartModel();
    const std::optional<double> a = cursorX(chart, 0);
    const std::optional<double> b = cursorX(chart, 1);
    const bool removed = (a && ExcludedIntervals::removeAt(chart, *a))
        || (b && ExcludedIntervals::removeAt(chart, *b));
    if (!removed) {
        m_services.prompts().showMessage(
            QStringLiteral("Neither cursor stands in an excluded interval."));
        return false;
    }
    PESGraph1->redraw();
    Q_EMIT exclusionsChanged();
    return true;
}

bool TfrmGraph::LimitClick()
{
    ChartModel &chart = chartModel();
    const QLocale locale = QLocale::system();
    // The limit exactly as it stands, so that OK without an edit keeps it.
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    const QString current = chart.limit
        ? plain.toString(*chart.limit, 'g', QLocale::FloatingPointShortest)
        : QString();
    const std::optional<QString> typed = m_services.prompts().askText(
        QStringLiteral("Limit in dB (leave empty for none):"), current);
    if (!typed)
        return false;
    std::optional<double> limit;
    if (!typed->trimmed().isEmpty()) {
        limit = Exceedances::parseLimit(*typed, locale);
        if (!limit) {
            m_services.prompts().showMessage(
                QStringLiteral("The limit must be a level from %1 to %2 dB, such as 55.")
                    .arg(Exceedances::LowestLimit)
                    .arg(Exceedances::HighestLimit));
            return false;
        }
    }
    if (limit == chart.limit)
        return false;
    chart.limit = limit;
    PESGraph1->redraw();
    pnlExceedances->refresh();
    Q_EMIT limitChanged();
    return true;
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
