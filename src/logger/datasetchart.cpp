#include "logger/datasetchart.h"

#include "base/datetimedays.h"
#include "chart/chartmodel.h"
#include "chart/chartsetup.h"
#include "logger/datasetrows.h"
#include "logger/loggerdata.h"

namespace DataSetChart {

Span span(const LoggerData &data, int set)
{
    const auto i = static_cast<std::size_t>(set);
    Span s;
    s.count = data.setCounts[i];
    s.start = data.setStartTimes[i];
    const double step = data.setIntervals[i] * DateTimeDays::OneSecond;
    // A set without readings still gets a minute of time axis, so the empty chart reads sensibly.
    s.end = s.count > 0 && step > 0 ? s.start + s.count * step
                                    : s.start + 60 * DateTimeDays::OneSecond;
    return s;
}

void fillSeries(ChartModel &chart, const LoggerData &data, int set)
{
    const auto from = static_cast<std::ptrdiff_t>(data.setOffset(set));
    const auto count = static_cast<std::ptrdiff_t>(data.setCounts[std::size_t(set)]);
    chart.setSeries(
        0,
        std::vector<double>(data.levelTimes.begin() + from, data.levelTimes.begin() + from + count),
        std::vector<float>(data.levels.begin() + from, data.levels.begin() + from + count));
    chart.yAxisLabel = DataSetRows::levelAxisTitle(data.setFlags[std::size_t(set)]);
}

void draw(ChartModel &chart, const LoggerData &data, int set)
{
    const Span s = span(data, set);
    ChartSetup::resetData(chart, 1, 130, 30, s.end, s.start, s.count);
    fillSeries(chart, data, set);
}

} // namespace DataSetChart
