#pragma once

#include "base/datetimepattern.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <QTime>

#include <limits>
#include <optional>
#include <vector>

// Reads the date and time at the start of a line's fields in one of the ways spreadsheets and
// the program write them:
// - Locale: the program's own text files, the locale's short date and long time in two fields;
// - Iso: one field "2026-12-08T21:05:07" (or a blank for the T), with optional fractions of a
//   second and an optional UTC offset ("Z", "+01:00", "+0100", "+01"); a time with an offset is
//   converted to local time, one without is local time already;
// - TwoFields: a date of numbers in the given order (2- or 4-digit year, any of / . - between
//   them) or in the locale's long date format, then a time of 12 or 24 hours;
// - OneField: such a date and time in one field, a blank between them.
// The time is rounded to whole seconds (a part above half a second rounds up).
class DateTimeFields
{
public:
    enum class Layout { Locale, Iso, TwoFields, OneField };
    enum class Order { YearMonthDay, DayMonthYear, MonthDayYear, LocaleLong };

    DateTimeFields(Layout layout, Order order, const QLocale &locale);

    Layout layout() const { return m_layout; }
    Order order() const { return m_order; }
    // How many fields the date and time take.
    int fieldCount() const
    {
        return m_layout == Layout::Locale || m_layout == Layout::TwoFields ? 2 : 1;
    }

    struct Read
    {
        QDate date;
        QTime time;
    };
    std::optional<Read> read(const std::vector<QStringView> &fields) const;

    // The order of day, month and year in the locale's short date.
    static Order localeOrder(const QLocale &locale);

private:
    std::optional<QDate> readDate(QStringView text) const;
    std::optional<QTime> readTime(QStringView text, bool &nextDay) const;
    std::optional<Read> readIso(QStringView text) const;
    std::optional<Read> toLocal(QDate date, QTime time, int offsetSeconds) const;
    int windowedYear(int twoDigits) const;

    Layout m_layout;
    Order m_order;
    QString m_amText;
    QString m_pmText;
    int m_windowStart;
    std::optional<DateTimePattern> m_pattern; // the locale's, for Locale and LocaleLong
    mutable QString m_joined;
    // Local time's offset from UTC for one quarter hour of UTC, looked up once for a run of
    // readings in it.
    mutable qint64 m_offsetQuarter = std::numeric_limits<qint64>::min();
    mutable int m_offset = 0;
};
