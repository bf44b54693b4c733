#include "graph/ui/localedatetimeticker.h"

#include "graph/timeticks.h"

#include <QLocale>

double LocaleDateTimeTicker::getTickStep(const QCPRange &range)
{
    const double step = TimeTicks::stepFor(range.size(), tickCount());
    mDateTimeFormat = TimeTicks::labelFormat(step, range.size(), QLocale::system());
    return step;
}

QVector<double> LocaleDateTimeTicker::createTickVector(double tickStep, const QCPRange &range)
{
    const std::vector<double> ticks = TimeTicks::ticks(range.lower, range.upper, tickStep);
    return QVector<double>(ticks.begin(), ticks.end());
}
