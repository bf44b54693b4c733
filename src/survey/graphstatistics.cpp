#include "survey/graphstatistics.h"

#include "base/datetimedays.h"
#include "base/floatingpoint.h"
#include "survey/measurement.h"

#include <QLocale>

#include <cmath>
#include <optional>

namespace {

// The running sum, extremes and count of the valid levels of a range of points.
struct Pass
{
    int count = 0;
    double sum = 0.0;
    float maximum = 0.0f;
    float minimum = 0.0f;
    int maxIndex = -1;
    int minIndex = -1;
    int first = -1;
    int last = -1;
};

Pass pass(const Measurement &chart, int from, int to)
{
    Pass p;
    for (int i = from; i <= to; ++i) {
        const float y = chart.y(0, i);
        if (Measurement::isNull(y))
            continue;
        if (p.count == 0)
            p.first = i;
        p.last = i;
        ++p.count;
        p.sum += y;
        if (p.maxIndex < 0 || y > p.maximum) {
            p.maximum = y;
            p.maxIndex = i;
        }
        if (p.minIndex < 0 || y < p.minimum) {
            p.minimum = y;
            p.minIndex = i;
        }
    }
    return p;
}

// The average of a pass, or nothing when its arithmetic failed (and the option keeps failures).
std::optional<double> average(const Pass &p, const FloatingPointOption &floatingPoint)
{
    FloatingPointOption::clearFlags();
    const double value = p.sum / p.count;
    if (floatingPoint.failed(value))
        return std::nullopt;
    return value;
}

} // namespace

namespace GraphStatistics {

QString levelText(double level)
{
    QLocale locale = QLocale::system();
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(level, 'f', 1);
}

Whole whole(const Measurement &chart, const FloatingPointOption &floatingPoint)
{
    Whole w;
    const int n = chart.points();
    if (n <= 0)
        return w;
    w.sliderMaximum = n - 1;
    w.value1 = n / 3;
    w.value2 = n * 2 / 3;

    const Pass p = pass(chart, 0, n - 1);
    w.dataNo = QString::number(p.count);
    if (p.count == 0)
        return w;
    const double first = chart.x(0, p.first);
    // The start shows rounded to the second; the rate takes both times as they are, so that a
    // start at .600 does not shorten the span.
    w.startTime = DateTimeDays::dateTimeText(DateTimeDays::roundedToSecond(first));
    if (p.count > 1) {
        const double last = chart.x(0, p.last);
        w.samplingRate = levelText((last - first) * DateTimeDays::SecondsPerDay / (p.count - 1));
    }
    if (const std::optional<double> avg = average(p, floatingPoint))
        w.avgAll = levelText(*avg);
    else
        w.failed = true;
    w.maxIndex = p.maxIndex;
    w.minIndex = p.minIndex;
    w.max = levelText(p.maximum);
    w.maxTime = DateTimeDays::RoundedTimeText(chart.x(0, p.maxIndex));
    w.min = levelText(p.minimum);
    w.minTime = DateTimeDays::RoundedTimeText(chart.x(0, p.minIndex));
    return w;
}

Cursor cursor(const Measurement &chart, int index)
{
    Cursor c;
    const double x = chart.x(0, index);
    const float y = chart.y(0, index);
    const bool recorded = !Measurement::isNull(y);
    // A point never recorded has no time; a gap in a recording keeps the time it stands for.
    const bool timed = recorded || x != 0.0;
    const double rounded = DateTimeDays::roundedToSecond(x);
    c.level = recorded ? levelText(y) : QString();
    c.time = timed ? DateTimeDays::dateTimeText(rounded) : QString();
    c.lineX = x;
    if (timed)
        c.lineText = QStringLiteral("|t") + DateTimeDays::timeText(rounded) + QLatin1Char('\n')
            + c.level + (recorded ? QStringLiteral("dB") : QString());
    return c;
}

Between between(const Measurement &chart, int indexA, int indexB,
                const FloatingPointOption &floatingPoint)
{
    Between b;
    const int lo = std::min(indexA, indexB);
    const int hi = std::max(indexA, indexB);
    if (lo < 0 || hi >= chart.points())
        return b;
    const Pass p = pass(chart, lo, hi);
    if (p.count == 0)
        return b;
    if (const std::optional<double> avg = average(p, floatingPoint))
        b.avgAB = levelText(*avg);
    else
        b.failed = true;
    b.maxAB = levelText(p.maximum);
    b.maxABTime = DateTimeDays::dateTimeText(chart.x(0, p.maxIndex));
    b.minAB = levelText(p.minimum);
    b.minABTime = DateTimeDays::dateTimeText(chart.x(0, p.minIndex));
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

CumulativeLeq cumulativeLeq(const std::vector<float> &levels,
                            const FloatingPointOption &floatingPoint)
{
    CumulativeLeq result;
    result.levels.assign(levels.size(), Measurement::NullValue);
    double previous = 0.0;
    int k = 0;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (Measurement::isNull(levels[i]))
            continue;
        const double level = levels[i];
        ++k;
        FloatingPointOption::clearFlags();
        const double value = k == 1 ? level
                                    : 10.0
                * std::log10((k - 1.0) / k * std::pow(10.0, previous / 10.0)
                             + (1.0 / k) * std::pow(10.0, level / 10.0));
        if (floatingPoint.failed(value)) {
            result.failed = true;
            break; // every later figure would build on this one
        }
        previous = value;
        result.levels[i] = static_cast<float>(value);
    }
    return result;
}

QString failureMessage()
{
    return QStringLiteral(
        "A figure of this graph could not be computed (a floating-point error): it is left "
        "empty. To see the infinite or undefined result instead, turn on Option > discard "
        "floating error.");
}

} // namespace GraphStatistics
