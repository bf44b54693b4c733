#include "graph/ui/localedatetimeticker.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

constexpr double SecondsPerDay = 86400.0;

// A locale's time format, with or without seconds, never with a time zone or milliseconds.
QString timeFormat(QLocale::FormatType type)
{
    static const QRegularExpression milliseconds(QStringLiteral("[.,]?z+"));
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b"));
    return QLocale::system().timeFormat(type).remove(milliseconds).remove(zone).trimmed();
}

} // namespace

double LocaleDateTimeTicker::getTickStep(const QCPRange &range)
{
    const double step = QCPAxisTickerDateTime::getTickStep(range);
    const QLocale locale = QLocale::system();
    const QString time = timeFormat(step < 60 ? QLocale::LongFormat : QLocale::ShortFormat);
    const QString date = locale.dateFormat(QLocale::ShortFormat);
    if (step >= SecondsPerDay)
        mDateTimeFormat = date;
    else if (range.size() > SecondsPerDay)
        mDateTimeFormat = time + QLatin1Char('\n') + date;
    else
        mDateTimeFormat = time;
    return step;
}
