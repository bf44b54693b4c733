#include "graph/datetimedays.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace {
const QDate Epoch(1899, 12, 30);
constexpr qint64 MsPerDay = 86400000;

// Milliseconds since the epoch, as a local wall-clock reading.
qint64 toMs(double days)
{
    if (!std::isfinite(days))
        return 0;
    return static_cast<qint64>(std::llround(days * MsPerDay));
}

// A locale's long time format with whole seconds: no milliseconds and no time zone name.
QString wholeSeconds(QString format)
{
    static const QRegularExpression milliseconds(QStringLiteral("[.,]?z+"));
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b"));
    return format.remove(milliseconds).remove(zone).trimmed();
}
} // namespace

namespace DateTimeDays {

double fromDateTime(const QDateTime &dateTime)
{
    const qint64 day = Epoch.daysTo(dateTime.date());
    const qint64 ms = dateTime.time().msecsSinceStartOfDay();
    return static_cast<double>(day) + static_cast<double>(ms) / MsPerDay;
}

QDateTime toDateTime(double days)
{
    const qint64 ms = toMs(days);
    qint64 day = ms / MsPerDay;
    qint64 rest = ms % MsPerDay;
    if (rest < 0) {
        rest += MsPerDay;
        --day;
    }
    return QDateTime(Epoch.addDays(day), QTime::fromMSecsSinceStartOfDay(static_cast<int>(rest)));
}

double roundedToSecond(double days)
{
    const qint64 ms = toMs(days);
    qint64 millis = ms % 1000;
    if (millis < 0)
        millis += 1000;
    const qint64 whole = ms - millis + (millis > 500 ? 1000 : 0);
    return static_cast<double>(whole) / MsPerDay;
}

QString dateTimeText(double days)
{
    const QLocale locale = QLocale::system();
    const QDateTime t = toDateTime(days);
    return locale.toString(t.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(t.time(), wholeSeconds(locale.timeFormat(QLocale::LongFormat)));
}

QString timeText(double days)
{
    const QLocale locale = QLocale::system();
    return locale.toString(toDateTime(days).time(),
                           wholeSeconds(locale.timeFormat(QLocale::LongFormat)));
}

QString RoundedTimeText(double days)
{
    return dateTimeText(roundedToSecond(days));
}

} // namespace DateTimeDays
