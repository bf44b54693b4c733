// The graph window's limit: "Limit..." sets the level (dB) the graph is checked against, drawn
// as a line on the chart; the "Exceedances" page beside the chart lists the runs above it.
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "chart/ui/pesgraph.h"
#include "graph/ui/exceedancespanel.h"
#include "graph/ui/tfrmgraph.h"
#include "survey/exceedances.h"

#include <QAction>
#include <QToolBar>

void TfrmGraph::buildLimitAction()
{
    LimitAction = SurveyBar->addAction(QStringLiteral("Limit..."));
    LimitAction->setObjectName(QStringLiteral("LimitAction"));
    LimitAction->setToolTip(QStringLiteral("Set the limit (dB) the graph is checked against"));
    connect(LimitAction, &QAction::triggered, this, &TfrmGraph::LimitClick);
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
