#include "graph/ui/periodbarchart.h"

#include "base/datetimedays.h"
#include "chart/ui/localedatetimeticker.h"
#include "survey/exceedances.h"
#include "survey/figuretable.h"

#include <QVBoxLayout>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

namespace {

// The column of Leq in a periods table.
constexpr int LeqColumn = 2;
const QColor BarColor(70, 125, 200);
const QColor WarningColor(230, 110, 20);
const QColor LimitColor(200, 0, 0);

// X as the chart widget hands it to QCustomPlot: seconds from 1970 read as UTC, the wall-clock
// time the days stand for.
double keyOf(double days)
{
    return (days - DateTimeDays::UnixEpochDays) * DateTimeDays::SecondsPerDay;
}

} // namespace

PeriodBarChart::PeriodBarChart(QWidget *parent)
    : QWidget(parent)
    , m_plot(new QCustomPlot(this))
{
    m_plot->setObjectName(QStringLiteral("plotPeriods"));
    m_plot->setLocale(QLocale::system());
    m_plot->setBackground(Qt::white);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_plot);

    auto ticker = QSharedPointer<LocaleDateTimeTicker>::create();
    ticker->setDateTimeSpec(Qt::UTC);
    ticker->setAxis(m_plot->xAxis);
    m_plot->xAxis->setTicker(ticker);
    m_plot->yAxis->setLabel(QStringLiteral("Leq (dB)"));
    for (QCPAxis *axis : { m_plot->xAxis, m_plot->yAxis }) {
        axis->grid()->setSubGridVisible(false);
        axis->setSubTicks(false);
    }
    m_plot->xAxis->grid()->setVisible(false);

    m_below = new QCPBars(m_plot->xAxis, m_plot->yAxis);
    m_above = new QCPBars(m_plot->xAxis, m_plot->yAxis);
    m_below->setName(QStringLiteral("Leq"));
    m_above->setName(QStringLiteral("Leq above the limit"));
    m_below->setPen(QPen(BarColor.darker(130)));
    m_below->setBrush(BarColor);
    m_above->setPen(QPen(WarningColor.darker(130)));
    m_above->setBrush(WarningColor);

    m_limitLine = new QCPItemStraightLine(m_plot);
    m_limitLine->setPen(QPen(LimitColor, 2, Qt::DashLine));
    m_limitText = new QCPItemText(m_plot);
    m_limitText->setColor(LimitColor);
    m_limitText->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
    m_limitText->position->setTypeY(QCPItemPosition::ptPlotCoords);
    m_limitText->setPositionAlignment(Qt::AlignRight | Qt::AlignBottom);
    m_limitText->setPadding(QMargins(2, 0, 4, 2));
    m_limitText->setBrush(QColor(255, 255, 255, 200));
    showPeriods(FigureTable::ofPeriods({}, 900), 900, std::nullopt);
}

void PeriodBarChart::showPeriods(const FigureTable &periods, int periodSeconds,
                                 std::optional<double> limit)
{
    QVector<double> belowKeys, belowValues, aboveKeys, aboveValues;
    double first = 0.0, last = 0.0, low = 0.0, high = 0.0;
    bool any = false, anyLevel = false;
    const double halfPeriod = periodSeconds / 2.0;
    for (int row = 0; row < periods.rowCount(); ++row) {
        const FigureTable::Row &r = periods.row(row);
        const double key = keyOf(r.days);
        first = any ? std::min(first, key) : key;
        last = any ? std::max(last, key) : key;
        any = true;
        const std::optional<double> &leq = r.values[LeqColumn - 1];
        if (!leq)
            continue;
        low = anyLevel ? std::min(low, *leq) : *leq;
        high = anyLevel ? std::max(high, *leq) : *leq;
        anyLevel = true;
        const bool above = limit && *leq > *limit;
        (above ? aboveKeys : belowKeys).push_back(key + halfPeriod);
        (above ? aboveValues : belowValues).push_back(*leq);
    }
    // Thin gaps between the bars while they are wide enough to show them.
    for (QCPBars *bars : { m_below, m_above })
        bars->setWidth(periodSeconds * 0.9);

    if (limit) {
        low = anyLevel ? std::min(low, *limit) : *limit;
        high = anyLevel ? std::max(high, *limit) : *limit;
        anyLevel = true;
    }
    // The bars rise from a round level below the lowest, so that their differences show.
    const double bottom = anyLevel ? std::floor((low - 5.0) / 10.0) * 10.0 : 0.0;
    const double top = anyLevel ? std::ceil((high + 3.0) / 10.0) * 10.0 : 100.0;
    // A bar stands on its base value and is as high as its value: the Leq above the bottom.
    for (QVector<double> *values : { &belowValues, &aboveValues })
        for (double &value : *values)
            value -= bottom;
    // The table may be sorted by any column: QCustomPlot sorts the bars by time itself.
    m_below->setData(belowKeys, belowValues, false);
    m_above->setData(aboveKeys, aboveValues, false);
    for (QCPBars *bars : { m_below, m_above })
        bars->setBaseValue(bottom);
    m_plot->yAxis->setRange(bottom, top);
    if (any)
        m_plot->xAxis->setRange(first - halfPeriod * 0.2, last + periodSeconds + halfPeriod * 0.2);
    else
        m_plot->xAxis->setRange(0.0, 3600.0);

    m_limitLine->setVisible(bool(limit));
    m_limitText->setVisible(bool(limit));
    if (limit) {
        m_limitLine->point1->setCoords(0.0, *limit);
        m_limitLine->point2->setCoords(1.0, *limit);
        m_limitText->position->setCoords(1.0, *limit);
        m_limitText->setText(Exceedances::limitText(*limit, QLocale::system()));
    }
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}
