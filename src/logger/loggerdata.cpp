#include "logger/loggerdata.h"

#include "base/datetimedays.h"

#include <algorithm>
#include <cmath>

namespace {

// Allowed difference between a stored reading time and the one its set's start and interval
// give: far below a millisecond, far above the rounding of a double near 40,000 days.
constexpr double TimeTolerance = 1.0e-9;

template<typename T> bool hasSize(const std::vector<T> &list, std::size_t size)
{
    return list.size() == size;
}

} // namespace

int LoggerData::setOffset(int i) const
{
    qint64 offset = 0;
    const int end = std::min(i, setCount());
    for (int k = 0; k < end; ++k)
        offset += setCounts[std::size_t(k)];
    return static_cast<int>(offset);
}

void LoggerData::changeSetStart(int i, double start)
{
    if (i < 0 || i >= setCount() || std::size_t(i) >= setStartTimes.size()
        || std::size_t(i) >= setIntervals.size())
        return;
    const std::size_t set = std::size_t(i);
    const qint64 first = setOffset(i);
    const qint64 count = setCounts[set];
    if (first < 0 || count < 0 || first + count > qint64(levelTimes.size()))
        return;
    setStartTimes[set] = start;
    const double step = setIntervals[set] / DateTimeDays::SecondsPerDay;
    double *times = levelTimes.data() + first;
    for (qint64 k = 0; k < count; ++k)
        times[k] = start + static_cast<double>(k) * step;
}

bool LoggerData::invariantsHold() const
{
    const std::size_t sets = setCounts.size();
    if (!hasSize(setStartTimes, sets) || !hasSize(setIntervals, sets) || !hasSize(setFlags, sets)
        || !hasSize(setHeaderOffsets, sets) || !hasSize(setEndOffsets, sets)
        || !hasSize(setMaxIndex, sets) || !hasSize(setMinIndex, sets)
        || !hasSize(setAverages, sets))
        return false;

    qint64 readings = 0;
    for (std::size_t i = 0; i < sets; ++i) {
        if (setCounts[i] < 0 || setIntervals[i] < 0 || setIntervals[i] > 60)
            return false;
        readings += setCounts[i];
    }
    if (levels.size() != levelTimes.size() || qint64(levels.size()) != readings)
        return false;

    std::size_t position = 0;
    for (std::size_t i = 0; i < sets; ++i) {
        const double start = setStartTimes[i];
        const double step = setIntervals[i] / DateTimeDays::SecondsPerDay;
        if (!std::isfinite(start))
            return false;
        for (int k = 0; k < setCounts[i]; ++k, ++position) {
            const double expected = start + static_cast<double>(k) * step;
            if (!(std::fabs(levelTimes[position] - expected) <= TimeTolerance))
                return false;
        }
    }
    for (const float level : levels)
        if (!(level == 0.0f || (level >= 20.0f && level <= 140.0f)))
            return false;
    return true;
}
