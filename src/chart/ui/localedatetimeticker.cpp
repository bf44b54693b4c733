#include "chart/ui/localedatetimeticker.h"

#include "chart/timeticks.h"

#include <QFontMetrics>
#include <QLocale>

namespace {
// The least room between two labels, in pixels.
constexpr int LabelGap = 16;
} // namespace

double LocaleDateTimeTicker::getTickStep(const QCPRange &range)
{
    // Fewer ticks until their labels fit side by side.
    const QLocale locale = QLocale::system();
    for (int count = tickCount();; --count) {
        const double step = TimeTicks::stepFor(range.size(), count);
        mDateTimeFormat = TimeTicks::labelFormat(step, range.size(), locale);
        if (count <= 1 || labelsFit(range, step))
            return step;
    }
}

bool LocaleDateTimeTicker::labelsFit(const QCPRange &range, double step)
{
    if (!m_axis || step <= 0.0)
        return true;
    // The plot's width now, less the margins of its last layout: the new layout comes after the
    // ticks.
    const QCPAxisRect *rect = m_axis->axisRect();
    const int width = m_axis->parentPlot()->viewport().width() - rect->margins().left()
        - rect->margins().right();
    if (width <= 0)
        return true;
    // A label may have a line for the time and one for the date: its widest line counts.
    const QFontMetrics metrics(m_axis->tickLabelFont());
    int label = 0;
    for (double tick : { range.lower, range.upper }) {
        const QString text
            = getTickLabel(tick, m_axis->parentPlot()->locale(), QLatin1Char('g'), 0);
        for (const QString &line : text.split(QLatin1Char('\n')))
            label = std::max(label, metrics.horizontalAdvance(line));
    }
    return range.size() / step * (label + LabelGap) <= width;
}

QVector<double> LocaleDateTimeTicker::createTickVector(double tickStep, const QCPRange &range)
{
    const std::vector<double> ticks = TimeTicks::ticks(range.lower, range.upper, tickStep);
    return QVector<double>(ticks.begin(), ticks.end());
}
