// The graph window's excluded intervals: "Exclude A-B" takes the interval between cursors A and
// B out of the acoustic figures, with a label the user may give it; "Include" puts back the one
// under cursor A, or else under cursor B.
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "chart/ui/pesgraph.h"
#include "graph/ui/tfrmgraph.h"
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

void TfrmGraph::buildExclusionActions()
{
    ExcludeAB = SurveyBar->addAction(QStringLiteral("Exclude A-B"));
    ExcludeAB->setObjectName(QStringLiteral("ExcludeAB"));
    ExcludeAB->setToolTip(
        QStringLiteral("Exclude the interval between cursors A and B from the figures"));
    Include = SurveyBar->addAction(QStringLiteral("Include"));
    Include->setObjectName(QStringLiteral("Include"));
    Include->setToolTip(
        QStringLiteral("Include again the excluded interval under cursor A (or else B)"));
    connect(ExcludeAB, &QAction::triggered, this, &TfrmGraph::ExcludeABClick);
    connect(Include, &QAction::triggered, this, &TfrmGraph::IncludeClick);
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
    const std::optional<QString> label
        = prompts.askText(QStringLiteral("Label of the excluded interval (may be empty):"), {});
    if (!label)
        return false;
    ExcludedIntervals::add(chart, *a, *b, label->simplified());
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
