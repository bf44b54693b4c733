#include "files/datetimefields.h"

#include "base/datetimepattern.h"

#include <QDateTime>

namespace {

// Reads least to most ASCII digits at pos; the count read in digits.
bool number(QStringView text, qsizetype &pos, int least, int most, int &value,
            int *digits = nullptr)
{
    return DateTimePattern::readDigits(text, pos, least, most, value, digits);
}

bool at(QStringView text, qsizetype pos, QChar c)
{
    return pos < text.size() && text[pos] == c;
}

// Fractions of a second: whether they round the time up to the next second.
bool fractionRoundsUp(QStringView text, qsizetype &pos)
{
    if (!(at(text, pos, u'.') || at(text, pos, u',')) || pos + 1 >= text.size()
        || !text[pos + 1].isDigit())
        return false;
    ++pos;
    int ms = 0;
    int digits = 0;
    while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
        if (digits < 3)
            ms = ms * 10 + (text[pos].unicode() - u'0');
        ++digits;
        ++pos;
    }
    for (; digits < 3; ++digits)
        ms *= 10;
    return ms > 500;
}

constexpr qint64 SecondsPerQuarter = 900;

} // namespace

DateTimeFields::DateTimeFields(Layout layout, Order order, const QLocale &locale)
    : m_layout(layout)
    , m_order(order)
    , m_amText(locale.amText())
    , m_pmText(locale.pmText())
    , m_windowStart(QDate::currentDate().year() - 80)
{
    if (layout == Layout::Locale)
        m_pattern.emplace(DateTimePattern::dateTime(locale));
    else if (order == Order::LocaleLong)
        m_pattern.emplace(locale, locale.dateFormat(QLocale::LongFormat));
}

DateTimeFields::Order DateTimeFields::localeOrder(const QLocale &locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const qsizetype year = format.indexOf(u'y');
    const qsizetype month = format.indexOf(u'M');
    const qsizetype day = format.indexOf(u'd');
    if (year >= 0 && (month < 0 || year < month))
        return Order::YearMonthDay;
    return day >= 0 && month >= 0 && month < day ? Order::MonthDayYear : Order::DayMonthYear;
}

int DateTimeFields::windowedYear(int twoDigits) const
{
    return m_windowStart + ((twoDigits - m_windowStart) % 100 + 100) % 100;
}

std::optional<DateTimeFields::Read>
DateTimeFields::read(const std::vector<QStringView> &fields) const
{
    if (fields.size() < std::size_t(fieldCount()))
        return std::nullopt;
    QStringView dateText;
    QStringView timeText;
    switch (m_layout) {
    case Layout::Locale: {
        m_joined.clear();
        m_joined += fields[0];
        m_joined += u' ';
        m_joined += fields[1];
        const std::optional<DateTimePattern::Read> read = m_pattern->read(m_joined);
        if (!read)
            return std::nullopt;
        return Read { read->date, read->time };
    }
    case Layout::Iso:
        return readIso(fields[0].trimmed());
    case Layout::TwoFields:
        dateText = fields[0].trimmed();
        timeText = fields[1].trimmed();
        break;
    case Layout::OneField: {
        const QStringView text = fields[0].trimmed();
        const qsizetype blank = text.indexOf(u' ');
        if (blank < 0)
            return std::nullopt;
        dateText = text.first(blank);
        timeText = text.sliced(blank + 1).trimmed();
        break;
    }
    }
    const std::optional<QDate> date = readDate(dateText);
    if (!date)
        return std::nullopt;
    bool nextDay = false;
    const std::optional<QTime> time = readTime(timeText, nextDay);
    if (!time)
        return std::nullopt;
    return Read { nextDay ? date->addDays(1) : *date, *time };
}

std::optional<QDate> DateTimeFields::readDate(QStringView text) const
{
    if (m_order == Order::LocaleLong) {
        const std::optional<DateTimePattern::Read> read = m_pattern->read(text);
        return read ? std::optional<QDate>(read->date) : std::nullopt;
    }
    int first = 0, second = 0, third = 0, firstDigits = 0, thirdDigits = 0;
    qsizetype pos = 0;
    if (!number(text, pos, 1, 4, first, &firstDigits) || pos >= text.size())
        return std::nullopt;
    const QChar separator = text[pos];
    if (separator != u'/' && separator != u'.' && separator != u'-')
        return std::nullopt;
    ++pos;
    if (!number(text, pos, 1, 2, second) || !at(text, pos, separator))
        return std::nullopt;
    ++pos;
    if (!number(text, pos, 1, 4, third, &thirdDigits))
        return std::nullopt;
    if (separator == u'.' && at(text, pos, u'.'))
        ++pos; // "8.12.2026."
    if (pos != text.size())
        return std::nullopt;
    int year = 0, month = 0, day = 0;
    if (m_order == Order::YearMonthDay) {
        if (firstDigits != 4)
            return std::nullopt;
        year = first;
        month = second;
        day = third;
    } else {
        if (firstDigits > 2 || (thirdDigits != 2 && thirdDigits != 4))
            return std::nullopt;
        year = thirdDigits == 2 ? windowedYear(third) : third;
        month = m_order == Order::MonthDayYear ? first : second;
        day = m_order == Order::MonthDayYear ? second : first;
    }
    if (!QDate::isValid(year, month, day))
        return std::nullopt;
    return QDate(year, month, day);
}

std::optional<QTime> DateTimeFields::readTime(QStringView text, bool &nextDay) const
{
    int hour = 0, minute = 0, second = 0;
    qsizetype pos = 0;
    if (!number(text, pos, 1, 2, hour) || pos >= text.size())
        return std::nullopt;
    const QChar separator = text[pos];
    if (separator != u':' && separator != u'.')
        return std::nullopt;
    ++pos;
    if (!number(text, pos, 2, 2, minute))
        return std::nullopt;
    bool roundUp = false;
    if (at(text, pos, separator)) {
        ++pos;
        if (!number(text, pos, 2, 2, second))
            return std::nullopt;
        roundUp = fractionRoundsUp(text, pos);
    }
    const QStringView rest = text.sliced(pos).trimmed();
    if (!rest.isEmpty()) {
        const bool pm = rest.compare(m_pmText, Qt::CaseInsensitive) == 0
            || rest.compare(u"PM", Qt::CaseInsensitive) == 0;
        const bool am = !pm
            && (rest.compare(m_amText, Qt::CaseInsensitive) == 0
                || rest.compare(u"AM", Qt::CaseInsensitive) == 0);
        if ((!am && !pm) || hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (pm ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    QTime time(hour, minute, second);
    if (roundUp) {
        nextDay = time == QTime(23, 59, 59);
        time = time.addSecs(1);
    }
    return time;
}

std::optional<DateTimeFields::Read> DateTimeFields::readIso(QStringView text) const
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    qsizetype pos = 0;
    if (!number(text, pos, 4, 4, year) || !at(text, pos++, u'-') || !number(text, pos, 2, 2, month)
        || !at(text, pos++, u'-') || !number(text, pos, 2, 2, day)
        || !(at(text, pos, u'T') || at(text, pos, u' ')))
        return std::nullopt;
    ++pos;
    if (!number(text, pos, 2, 2, hour) || !at(text, pos++, u':')
        || !number(text, pos, 2, 2, minute))
        return std::nullopt;
    bool roundUp = false;
    if (at(text, pos, u':')) {
        ++pos;
        if (!number(text, pos, 2, 2, second))
            return std::nullopt;
        roundUp = fractionRoundsUp(text, pos);
    }
    std::optional<int> offset;
    if (at(text, pos, u'Z')) {
        offset = 0;
        ++pos;
    } else if (at(text, pos, u'+') || at(text, pos, u'-')) {
        const int sign = text[pos++] == u'-' ? -1 : 1;
        int hours = 0, minutes = 0;
        if (!number(text, pos, 2, 2, hours))
            return std::nullopt;
        if (at(text, pos, u':'))
            ++pos;
        if (pos < text.size() && !number(text, pos, 2, 2, minutes))
            return std::nullopt;
        if (hours > 14 || minutes > 59)
            return std::nullopt;
        offset = sign * (hours * 3600 + minutes * 60);
    }
    if (pos != text.size() || !QDate::isValid(year, month, day) || hour > 23 || minute > 59
        || second > 59)
        return std::nullopt;
    QDate date(year, month, day);
    QTime time(hour, minute, second);
    if (roundUp) {
        if (time == QTime(23, 59, 59))
            date = date.addDays(1);
        time = time.addSecs(1);
    }
    if (!offset)
        return Read { date, time };
    return toLocal(date, time, *offset);
}

std::optional<DateTimeFields::Read> DateTimeFields::toLocal(QDate date, QTime time,
                                                            int offsetSeconds) const
{
    const qint64 utc = (date.toJulianDay() - QDate(1970, 1, 1).toJulianDay()) * 86400
        + time.msecsSinceStartOfDay() / 1000 - offsetSeconds;
    const qint64 quarter = utc >= 0 ? utc / SecondsPerQuarter : (utc - 899) / SecondsPerQuarter;
    if (quarter != m_offsetQuarter) {
        m_offsetQuarter = quarter;
        m_offset = QDateTime::fromSecsSinceEpoch(quarter * SecondsPerQuarter, Qt::LocalTime)
                       .offsetFromUtc();
    }
    const qint64 local = utc + m_offset;
    const qint64 days = local >= 0 ? local / 86400 : (local - 86399) / 86400;
    const QDate localDate = QDate(1970, 1, 1).addDays(days);
    if (!localDate.isValid())
        return std::nullopt;
    return Read { localDate, QTime::fromMSecsSinceStartOfDay(int(local - days * 86400) * 1000) };
}
