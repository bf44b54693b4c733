// The chart's limit: a dashed horizontal line across the plotting area at the limit's level,
// with "Limit 55.0 dB" at its right end, drawn above the series so that it stays visible where
// the levels cross it. No line while the chart has no limit.
#include "chart/ui/pesgraph_p.h"
#include "survey/exceedances.h"

#include <QLocale>

namespace {

const QColor LimitColor(200, 0, 0);

} // namespace

void PESGraph::Private::makeLimitLine()
{
    limitLine = new QCPItemStraightLine(plot);
    limitLine->setLayer(QStringLiteral("annotations"));
    limitLine->setSelectable(false);
    limitText = new QCPItemText(plot);
    limitText->setLayer(QStringLiteral("annotations"));
    limitText->setClipToAxisRect(true);
    limitText->setSelectable(false);
    limitText->setPadding(QMargins(3, 1, 3, 1));
    limitText->setBrush(QColor(255, 255, 255, 200));
    limitText->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
    limitText->position->setTypeY(QCPItemPosition::ptPlotCoords);
    limitText->setPositionAlignment(Qt::AlignRight | Qt::AlignBottom);
    limitLine->setVisible(false);
    limitText->setVisible(false);
}

void PESGraph::Private::applyLimit(const ChartModel &m)
{
    const bool shown = m.limit.has_value();
    limitLine->setVisible(shown);
    limitText->setVisible(shown);
    if (!shown)
        return;
    const double level = *m.limit;
    const QColor colour
        = m.viewingStyle == ViewingStyle::Monochrome ? QColor(Qt::black) : LimitColor;
    limitLine->setPen(QPen(colour, 1.5, Qt::DashLine));
    // Two points at the limit's level: the line runs through them across the whole axis.
    limitLine->point1->setCoords(0.0, level);
    limitLine->point2->setCoords(1.0, level);
    limitText->position->setCoords(0.995, level);
    limitText->setColor(colour);
    limitText->setFont(font(std::max(1.0, m.labelFontSize * 0.9)));
    limitText->setText(Exceedances::limitText(level, QLocale::system()));
}
