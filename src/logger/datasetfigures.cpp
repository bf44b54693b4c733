#include "logger/datasetfigures.h"

#include "base/datetimedays.h"
#include "logger/loggerdata.h"

namespace DataSetFigures {

GraphStatistics::Whole of(const LoggerData &data, int set)
{
    GraphStatistics::Whole w;
    if (set < 0 || set >= data.setCount())
        return w;
    const std::size_t i = std::size_t(set);
    const int count = data.setCounts[i];
    w.startTime = DateTimeDays::dateTimeText(data.setStartTimes[i]);
    w.samplingRate = QString::number(data.setIntervals[i]);
    w.dataNo = QString::number(count);
    if (count <= 0)
        return w;
    const std::size_t first = std::size_t(data.setOffset(set));
    w.maxIndex = data.setMaxIndex[i];
    w.minIndex = data.setMinIndex[i];
    const std::size_t maxAt = first + std::size_t(w.maxIndex);
    const std::size_t minAt = first + std::size_t(w.minIndex);
    w.max = GraphStatistics::levelText(data.levels[maxAt]);
    w.maxTime = DateTimeDays::RoundedTimeText(data.levelTimes[maxAt]);
    w.min = GraphStatistics::levelText(data.levels[minAt]);
    w.minTime = DateTimeDays::RoundedTimeText(data.levelTimes[minAt]);
    w.avgAll = GraphStatistics::levelText(data.setAverages[i]);
    w.sliderMaximum = count - 1;
    w.value1 = count / 3;
    w.value2 = 2 * count / 3;
    return w;
}

} // namespace DataSetFigures
