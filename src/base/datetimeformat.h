#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <vector>

// Qt's date and time format letters, taken apart the way QLocale::toString reads a format: the
// fields, quoted literals ('' is a quote, inside quotes or out) and any other character as
// itself.
namespace DateTimeFormat {

enum class Field : quint8 {
    None, // a literal
    Day,
    DayName,
    Month,
    MonthName,
    Year2,
    Year4,
    Hour24,
    Hour12,
    Minute,
    Second,
    AmPm,
    Millisecond,
    Zone
};

struct Item
{
    QString raw; // as it stands in the format
    QString text; // a literal's text
    Field field = Field::None;
    bool quoted = false;
};

// The items of a format: one per field, per quoted literal and per other character. As in Qt,
// an AM/PM anywhere in the format makes every "h" an hour of a 12-hour clock.
std::vector<Item> scan(QStringView format);

bool isDateField(Field field);
// A space, a no-break space or a narrow no-break space.
bool isBlank(QChar c);

// A time format without its milliseconds (and their decimal separator) and its time zone name
// (and the brackets, blanks or comma that only set the name off).
QString withoutZoneAndMilliseconds(const QString &format);

} // namespace DateTimeFormat
