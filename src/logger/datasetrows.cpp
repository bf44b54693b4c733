#include "logger/datasetrows.h"

#include "base/datetimedays.h"
#include "logger/loggerdata.h"

#include <QLocale>

namespace {

constexpr int Columns = 8;

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

namespace DataSetRows {

QStringList row(const LoggerData &data, int set)
{
    const std::size_t i = std::size_t(set);
    if (set < 0 || set >= data.setCount() || i >= data.setStartTimes.size()
        || i >= data.setIntervals.size() || i >= data.setFlags.size()) {
        QStringList empty;
        for (int column = 0; column < Columns; ++column)
            empty.append(QString());
        return empty;
    }
    const double start = data.setStartTimes[i];
    const quint8 flags = data.setFlags[i];
    return { QString::number(set + 1),
             QLocale::system().toString(DateTimeDays::dateOf(start), QLocale::ShortFormat),
             DateTimeDays::timeOf(start).toString(QStringLiteral("HH:mm:ss")),
             rateText(data.setIntervals[i]),
             QString::number(data.setCounts[i]),
             weightingText(flags),
             responseText(flags),
             rangeText(flags) };
}

QString rateText(int intervalSeconds)
{
    return twoDigits(intervalSeconds / 60) + QLatin1Char(':') + twoDigits(intervalSeconds % 60);
}

QString weightingText(quint8 flags)
{
    return flags & 0x02 ? QStringLiteral("dBA") : QStringLiteral("dBC");
}

QString responseText(quint8 flags)
{
    return flags & 0x01 ? QStringLiteral("FAST") : QStringLiteral("SLOW");
}

QString levelAxisTitle(quint8 flags)
{
    return QStringLiteral("Level (dB(%1) %2)")
        .arg(flags & 0x02 ? QStringLiteral("A") : QStringLiteral("C"), responseText(flags));
}

QString rangeText(quint8 flags)
{
    switch ((flags >> 2) & 0x03) {
    case 0:
        return QStringLiteral("30-90");
    case 1:
        return QStringLiteral("50-110");
    case 2:
        return QStringLiteral("70-130");
    default:
        return QStringLiteral("30-130");
    }
}

} // namespace DataSetRows
