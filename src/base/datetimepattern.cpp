#include "base/datetimepattern.h"

#include <QDateTime>

#include <algorithm>
#include <cstring>

using DateTimeFormat::Field;

namespace {

// Collects a text on the stack and hands it to the byte array in one append, which is several
// times faster than appending it piece by piece.
class Utf8Writer
{
public:
    explicit Utf8Writer(QByteArray &out)
        : m_out(out)
    {
    }
    void add(const QByteArray &bytes)
    {
        if (m_size + bytes.size() > Capacity)
            flush();
        if (bytes.size() > Capacity) {
            m_out += bytes;
            return;
        }
        std::memcpy(m_buffer + m_size, bytes.constData(), size_t(bytes.size()));
        m_size += bytes.size();
    }
    // value (0 to 9999) with at least width digits.
    void number(int value, int width)
    {
        if (m_size + 4 > Capacity)
            flush();
        int digits = value >= 1000 ? 4 : value >= 100 ? 3 : value >= 10 ? 2 : 1;
        digits = std::max(digits, width);
        for (int i = digits - 1; i >= 0; --i) {
            m_buffer[m_size + i] = char('0' + value % 10);
            value /= 10;
        }
        m_size += digits;
    }
    void flush()
    {
        m_out.append(m_buffer, m_size);
        m_size = 0;
    }

private:
    static constexpr qsizetype Capacity = 128;
    QByteArray &m_out;
    char m_buffer[Capacity];
    qsizetype m_size = 0;
};

// The first (so the longest) of the names that the text at pos starts with, in any case.
const int *readName(QStringView text, qsizetype &pos, const auto &names)
{
    const QStringView rest = text.sliced(pos);
    for (const auto &name : names) {
        if (!name.text.isEmpty() && rest.startsWith(name.text, Qt::CaseInsensitive)) {
            pos += name.text.size();
            return &name.value;
        }
    }
    return nullptr;
}

// The part of a date-time a number field holds, as an index into the parts read or written.
enum Component { Year, Month, Day, Hour, Minute, Second, ComponentCount };

int componentOf(Field field)
{
    switch (field) {
    case Field::Year2:
    case Field::Year4:
        return Year;
    case Field::Month:
        return Month;
    case Field::Day:
        return Day;
    case Field::Hour24:
    case Field::Hour12:
        return Hour;
    case Field::Minute:
        return Minute;
    case Field::Second:
        return Second;
    default:
        return -1;
    }
}

} // namespace

DateTimePattern::DateTimePattern(const QLocale &locale, const QString &format)
    : m_locale(locale)
    , m_format(format)
    // Qt reads "yy" as 19yy, which misdates every reading written in a two-digit-year short
    // date: a two-digit year is read into the years from 80 before to 19 after this one.
    , m_windowStart(QDate::currentDate().year() - 80)
    , m_amText(locale.amText())
    , m_pmText(locale.pmText())
{
    for (int m = 1; m <= 12; ++m) {
        m_monthUtf8[0][m - 1] = locale.monthName(m, QLocale::ShortFormat).toUtf8();
        m_monthUtf8[1][m - 1] = locale.monthName(m, QLocale::LongFormat).toUtf8();
        for (QLocale::FormatType type : { QLocale::ShortFormat, QLocale::LongFormat }) {
            m_monthNames.push_back({ locale.monthName(m, type), m });
            m_monthNames.push_back({ locale.standaloneMonthName(m, type), m });
        }
    }
    for (int d = 1; d <= 7; ++d) {
        m_dayUtf8[0][d - 1] = locale.dayName(d, QLocale::ShortFormat).toUtf8();
        m_dayUtf8[1][d - 1] = locale.dayName(d, QLocale::LongFormat).toUtf8();
        for (QLocale::FormatType type : { QLocale::ShortFormat, QLocale::LongFormat }) {
            m_dayNames.push_back({ locale.dayName(d, type), d });
            m_dayNames.push_back({ locale.standaloneDayName(d, type), d });
        }
    }
    const auto longestFirst = [](const Name &a, const Name &b) {
        return a.text.size() > b.text.size();
    };
    std::stable_sort(m_monthNames.begin(), m_monthNames.end(), longestFirst);
    std::stable_sort(m_dayNames.begin(), m_dayNames.end(), longestFirst);
    compile();
}

void DateTimePattern::compile()
{
    bool year2 = false;
    bool year4 = false;
    bool millis = false;
    QString literal;
    for (const DateTimeFormat::Item &item : DateTimeFormat::scan(m_format)) {
        if (item.field == Field::None) {
            literal += item.text;
            continue;
        }
        addLiteral(literal);
        literal.clear();
        Token token;
        token.field = item.field;
        token.width = int(item.raw.size());
        (DateTimeFormat::isDateField(item.field) ? m_usesDate : m_usesTime) = true;
        year2 = year2 || item.field == Field::Year2;
        year4 = year4 || item.field == Field::Year4;
        millis = millis || item.field == Field::Millisecond;
        m_zone = m_zone || item.field == Field::Zone;
        if (item.field == Field::AmPm) {
            // "AP"/"A" upper case, "ap"/"a" lower case, "Ap"/"aP" as the locale writes them.
            const bool mixed = token.width == 2 && item.raw[0].isLower() != item.raw[1].isLower();
            const bool upper = item.raw[0] == u'A';
            token.text = mixed ? m_amText : upper ? m_amText.toUpper() : m_amText.toLower();
            token.pmText = mixed ? m_pmText : upper ? m_pmText.toUpper() : m_pmText.toLower();
            token.utf8 = token.text.toUtf8();
            token.pmUtf8 = token.pmText.toUtf8();
        }
        m_tokens.push_back(token);
    }
    addLiteral(literal);
    m_twoDigitYear = year2 && !year4;
    m_fastWrite = m_locale.zeroDigit() == u"0" && !m_zone;
    m_fastRead = m_fastWrite && !millis;
}

// A literal as runs of blanks (which read one or more blanks of a text) and of the rest.
void DateTimePattern::addLiteral(QStringView literal)
{
    qsizetype i = 0;
    while (i < literal.size()) {
        const bool blank = DateTimeFormat::isBlank(literal[i]);
        qsizetype end = i + 1;
        while (end < literal.size() && DateTimeFormat::isBlank(literal[end]) == blank)
            ++end;
        Token token;
        token.blank = blank;
        token.text = literal.sliced(i, end - i).toString();
        token.utf8 = token.text.toUtf8();
        m_tokens.push_back(token);
        i = end;
    }
}

QString DateTimePattern::shortDateFormat(const QLocale &locale)
{
    return locale.dateFormat(QLocale::ShortFormat);
}

QString DateTimePattern::longTimeFormat(const QLocale &locale)
{
    return DateTimeFormat::withoutZoneAndMilliseconds(locale.timeFormat(QLocale::LongFormat));
}

DateTimePattern DateTimePattern::systemDateTime()
{
    return dateTime(QLocale::system());
}

DateTimePattern DateTimePattern::dateTime(const QLocale &locale)
{
    return DateTimePattern(locale, shortDateFormat(locale) + u' ' + longTimeFormat(locale));
}

DateTimePattern DateTimePattern::date(const QLocale &locale)
{
    return DateTimePattern(locale, shortDateFormat(locale));
}

DateTimePattern DateTimePattern::time(const QLocale &locale)
{
    return DateTimePattern(locale, longTimeFormat(locale));
}

bool DateTimePattern::fastWritable(QDate date) const
{
    // Years of other than four digits are left to Qt.
    static const QDate first(1, 1, 1);
    static const QDate last(9999, 12, 31);
    return m_fastWrite && (!m_usesDate || (date >= first && date <= last));
}

void DateTimePattern::appendUtf8(QByteArray &out, QDate date, QTime time) const
{
    if ((m_usesDate && !date.isValid()) || (m_usesTime && !time.isValid()))
        return;
    if (!fastWritable(date)) {
        out += slowString(date, time).toUtf8();
        return;
    }
    int parts[ComponentCount] = {};
    if (m_usesDate)
        date.getDate(&parts[Year], &parts[Month], &parts[Day]);
    if (m_usesTime) {
        parts[Hour] = time.hour();
        parts[Minute] = time.minute();
        parts[Second] = time.second();
    }
    Utf8Writer writer(out);
    for (const Token &t : m_tokens) {
        const int part = componentOf(t.field);
        if (part >= 0) {
            const int value = parts[part];
            if (t.field == Field::Year2)
                writer.number(value % 100, 2);
            else if (t.field == Field::Hour12)
                writer.number(value % 12 == 0 ? 12 : value % 12, t.width);
            else
                writer.number(value, t.field == Field::Year4 ? 4 : t.width);
        } else if (t.field == Field::DayName) {
            writer.add(m_dayUtf8[t.width == 4][date.dayOfWeek() - 1]);
        } else if (t.field == Field::MonthName) {
            writer.add(m_monthUtf8[t.width == 4][parts[Month] - 1]);
        } else if (t.field == Field::AmPm) {
            writer.add(parts[Hour] < 12 ? t.utf8 : t.pmUtf8);
        } else if (t.field == Field::Millisecond) {
            // "z" drops up to two trailing zeros, as Qt does: 200 ms is ".2", 0 ms ".0".
            int ms = time.msec();
            int width = 3;
            while (t.width == 1 && width > 1 && ms % 10 == 0) {
                ms /= 10;
                --width;
            }
            writer.number(ms, width);
        } else {
            writer.add(t.utf8); // a literal; a zone name is never on the fast path
        }
    }
    writer.flush();
}

QString DateTimePattern::toString(QDate date, QTime time) const
{
    if ((m_usesDate && !date.isValid()) || (m_usesTime && !time.isValid()))
        return {};
    if (!fastWritable(date))
        return slowString(date, time);
    QByteArray utf8;
    appendUtf8(utf8, date, time);
    return QString::fromUtf8(utf8);
}

QString DateTimePattern::slowString(QDate date, QTime time) const
{
    if (m_usesDate && m_usesTime) {
        // UTC keeps a wall-clock time that the local zone skips; only a zone name needs local.
        const QDateTime at(date, time, m_zone ? Qt::LocalTime : Qt::UTC);
        return m_locale.toString(at, m_format);
    }
    if (m_usesDate)
        return m_locale.toString(date, m_format);
    return m_locale.toString(m_usesTime ? time : QTime(0, 0), m_format);
}

int DateTimePattern::windowedYear(int twoDigits) const
{
    return m_windowStart + ((twoDigits - m_windowStart) % 100 + 100) % 100;
}

std::optional<DateTimePattern::Read> DateTimePattern::read(QStringView text) const
{
    text = text.trimmed();
    if (!m_fastRead)
        return slowRead(text);
    if (m_tokens.empty())
        return std::nullopt;
    int parts[ComponentCount] = { 1900, 1, 1, 0, 0, 0 };
    bool hour12 = false;
    bool pm = false;
    qsizetype pos = 0;
    for (const Token &t : m_tokens) {
        const int part = componentOf(t.field);
        bool ok = true;
        if (part >= 0) {
            const bool year = part == Year;
            const int least = year ? t.width : 1; // yy and yyyy: exactly 2 and 4 digits
            ok = DateTimePattern::readDigits(text, pos, least, year ? t.width : 2, parts[part]);
            if (t.field == Field::Year2)
                parts[Year] = windowedYear(parts[Year]);
            if (part == Hour)
                hour12 = t.field == Field::Hour12;
        } else if (t.field == Field::DayName) {
            ok = readName(text, pos, m_dayNames);
        } else if (t.field == Field::MonthName) {
            const int *month = readName(text, pos, m_monthNames);
            ok = month;
            parts[Month] = month ? *month : 0;
        } else if (t.field == Field::AmPm) {
            // The longer text first, in case one begins with the other.
            const bool pmFirst = m_pmText.size() >= m_amText.size();
            const QString &first = pmFirst ? m_pmText : m_amText;
            const QString &other = pmFirst ? m_amText : m_pmText;
            const QStringView rest = text.sliced(pos);
            if (rest.startsWith(first, Qt::CaseInsensitive)) {
                pm = pmFirst;
                pos += first.size();
            } else if (rest.startsWith(other, Qt::CaseInsensitive)) {
                pm = !pmFirst;
                pos += other.size();
            } else {
                ok = false;
            }
        } else if (t.blank) {
            const qsizetype start = pos;
            while (pos < text.size() && DateTimeFormat::isBlank(text[pos]))
                ++pos;
            ok = pos > start;
        } else {
            ok = text.sliced(pos).startsWith(t.text); // a literal
            pos += t.text.size();
        }
        if (!ok)
            return std::nullopt;
    }
    if (pos != text.size())
        return std::nullopt;
    Read result;
    if (m_usesDate) {
        if (!QDate::isValid(parts[Year], parts[Month], parts[Day]))
            return std::nullopt;
        result.date = QDate(parts[Year], parts[Month], parts[Day]);
    }
    if (m_usesTime) {
        int hour = parts[Hour];
        if (hour12) {
            if (hour < 1 || hour > 12)
                return std::nullopt;
            hour = hour % 12 + (pm ? 12 : 0);
        }
        if (hour > 23 || parts[Minute] > 59 || parts[Second] > 59)
            return std::nullopt;
        result.time = QTime(hour, parts[Minute], parts[Second]);
    }
    return result;
}

std::optional<DateTimePattern::Read> DateTimePattern::slowRead(QStringView text) const
{
    // Qt reads a date and a time together as local time, so a wall-clock time that the local
    // zone skips does not read here.
    const QString s = text.toString();
    Read result;
    if (m_usesDate && m_usesTime) {
        const QDateTime at = m_locale.toDateTime(s, m_format);
        result = { at.date(), at.time() };
    } else if (m_usesDate) {
        result.date = m_locale.toDate(s, m_format);
    } else if (m_usesTime) {
        result.time = m_locale.toTime(s, m_format);
    }
    if (m_twoDigitYear && result.date.isValid())
        result.date
            = QDate(windowedYear(result.date.year() % 100), result.date.month(), result.date.day());
    if ((m_usesDate && !result.date.isValid()) || (m_usesTime && !result.time.isValid())
        || (!m_usesDate && !m_usesTime))
        return std::nullopt;
    return result;
}

bool DateTimePattern::readDigits(QStringView text, qsizetype &pos, int least, int most, int &value,
                                 int *digits)
{
    int n = 0;
    value = 0;
    while (n < most && pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
        value = value * 10 + (text[pos].unicode() - u'0');
        ++pos;
        ++n;
    }
    if (digits)
        *digits = n;
    return n >= least;
}
