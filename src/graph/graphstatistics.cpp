#include "graph/graphstatistics.h"

#include "app/floatingpoint.h"
#include "graph/chartmodel.h"
#include "graph/datetimedays.h"

#include <QLocale>

#include <cmath>

namespace GraphStatistics {

QString levelText(double level)
{
    return QLocale::system().toString(level, 'f', 1);
}

Whole whole(const ChartModel &chart, const FloatingPointOption &floatingPoint)
{
    Whole w;
    const int n = chart.points();
    if (n <= 0)
        return w;
    const double first = DateTimeDays::roundedToSecond(chart.x(0, 0));
    const double last = chart.x(0, n - 1);
    const double rate = (last - first) * 86400.0 / n;
    w.startTime = DateTimeDays::dateTimeText(first);
    w.samplingRate = levelText(rate);
    w.dataNo = QString::number(n);

    double sum = 0.0;
    float maximum = -9999.0f;
    float minimum = 9999.0f;
    for (int i = 0; i < n; ++i) {
        const float y = chart.y(0, i);
        sum += y;
        if (y > maximum) {
            maximum = y;
            w.maxIndex = i;
        }
        if (y < minimum) {
            minimum = y;
            w.minIndex = i;
        }
    }
    FloatingPointOption::clearFlags();
    const double average = sum / n;
    if (!floatingPoint.failed(average))
        w.avgAll = levelText(average);
    if (w.maxIndex >= 0) {
        w.max = levelText(maximum);
        w.maxTime = DateTimeDays::RoundedTimeText(chart.x(0, w.maxIndex));
    }
    if (w.minIndex >= 0) {
        w.min = levelText(minimum);
        w.minTime = DateTimeDays::RoundedTimeText(chart.x(0, w.minIndex));
    }
    w.sliderMaximum = n - 1;
    w.value1 = n / 3;
    w.value2 = n * 2 / 3;
    return w;
}

Cursor cursor(const ChartModel &chart, int index)
{
    Cursor c;
    const double x = chart.x(0, index);
    const double rounded = DateTimeDays::roundedToSecond(x);
    c.level = levelText(chart.y(0, index));
    c.time = DateTimeDays::dateTimeText(rounded);
    c.lineX = x;
    c.lineText = QStringLiteral("|t") + DateTimeDays::timeText(rounded) + QLatin1Char('\n')
        + c.level + QStringLiteral("dB");
    return c;
}

Between between(const ChartModel &chart, int indexA, int indexB,
                const FloatingPointOption &floatingPoint)
{
    Between b;
    const int lo = std::min(indexA, indexB);
    const int hi = std::max(indexA, indexB);
    if (lo < 0 || hi >= chart.points())
        return b;
    double sum = 0.0;
    float maximum = -99999.0f;
    float minimum = 99999.0f;
    double maxX = 0.0;
    double minX = 0.0;
    for (int i = lo; i <= hi; ++i) {
        const float y = chart.y(0, i);
        sum += y;
        if (y > maximum) {
            maximum = y;
            maxX = chart.x(0, i);
        }
        if (y < minimum) {
            minimum = y;
            minX = chart.x(0, i);
        }
    }
    FloatingPointOption::clearFlags();
    const double average = sum / (hi - lo + 1);
    if (!floatingPoint.failed(average))
        b.avgAB = levelText(average);
    b.maxAB = levelText(maximum);
    b.maxABTime = DateTimeDays::dateTimeText(maxX);
    b.minAB = levelText(minimum);
    b.minABTime = DateTimeDays::dateTimeText(minX);
    return b;
}

QString exportText(const Fields &f)
{
    const QChar at = QLatin1Char('@');
    QString text;
    text += QStringLiteral("Start Time:") + f.startTime + QLatin1Char('\n');
    text += QStringLiteral("Sampling Rate:") + f.samplingRate + QLatin1Char('\n');
    text += QStringLiteral("DataNo:") + f.dataNo + QLatin1Char('\n');
    text += QStringLiteral("Avg.:") + f.avgAll + QLatin1Char('\n');
    text += QStringLiteral("Maximum:") + f.max + at + f.maxTime + QLatin1Char('\n');
    text += QStringLiteral("Minimum:") + f.min + at + f.minTime + QLatin1Char('\n');
    text += QStringLiteral("Cursor A:") + f.cursorA + at + f.cursorATime + QLatin1Char('\n');
    text += QStringLiteral("Cursor B:") + f.cursorB + at + f.cursorBTime + QLatin1Char('\n');
    text += QStringLiteral("Max.Between A and B:") + f.maxAB + at + f.maxABTime + QLatin1Char('\n');
    text += QStringLiteral("Min.Between A and B:") + f.minAB + at + f.minABTime + QLatin1Char('\n');
    text += QStringLiteral("Avg. Between A and B:") + f.avgAB + QLatin1Char('\n');
    return text;
}

std::vector<float> cumulativeLeq(const std::vector<float> &levels,
                                 const FloatingPointOption &floatingPoint)
{
    std::vector<float> leq;
    leq.reserve(levels.size());
    double previous = 0.0;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const double level = levels[i];
        double value = level;
        if (i > 0) {
            const double k = static_cast<double>(i + 1);
            FloatingPointOption::clearFlags();
            value = 10.0
                * std::log10((k - 1.0) / k * std::pow(10.0, previous / 10.0)
                             + (1.0 / k) * std::pow(10.0, level / 10.0));
            if (floatingPoint.failed(value))
                value = previous;
        }
        previous = value;
        leq.push_back(static_cast<float>(value));
    }
    return leq;
}

} // namespace GraphStatistics
