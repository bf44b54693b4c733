#include "graph/ui/localedatetimeticker.h"

#include "base/datetimedays.h"

#include <QLocale>

using DateTimeDays::SecondsPerDay;

double LocaleDateTimeTicker::getTickStep(const QCPRange &range)
{
    const double step = QCPAxisTickerDateTime::getTickStep(range);
    const QLocale locale = QLocale::system();
    const QString time = DateTimeDays::wholeSecondsTimeFormat(
        locale, step < 60 ? QLocale::LongFormat : QLocale::ShortFormat);
    const QString date = locale.dateFormat(QLocale::ShortFormat);
    if (step >= SecondsPerDay)
        mDateTimeFormat = date;
    else if (range.size() > SecondsPerDay)
        mDateTimeFormat = time + QLatin1Char('\n') + date;
    else
        mDateTimeFormat = time;
    return step;
}
