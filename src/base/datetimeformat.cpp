#include "base/datetimeformat.h"

#include <algorithm>

namespace {

using DateTimeFormat::Field;
using DateTimeFormat::Item;

// A quoted literal from the quote at i: '' is one quote, and a quote left open runs to the end.
QString readQuoted(QStringView format, qsizetype &i)
{
    ++i;
    if (i == format.size())
        return {};
    if (format[i] == u'\'') {
        ++i;
        return QStringLiteral("'");
    }
    QString text;
    while (i < format.size()) {
        if (format[i] == u'\'') {
            if (i + 1 < format.size() && format[i + 1] == u'\'') {
                text += u'\'';
                i += 2;
                continue;
            }
            break;
        }
        text += format[i++];
    }
    if (i < format.size())
        ++i;
    return text;
}

// The field at i of a run of the same letter, and how many letters Qt takes for it.
Field fieldAt(QStringView format, qsizetype i, qsizetype run, bool amPm, qsizetype &length)
{
    const qsizetype upTo2 = std::min<qsizetype>(run, 2);
    const qsizetype upTo4 = std::min<qsizetype>(run, 4);
    switch (format[i].unicode()) {
    case u'd':
        length = upTo4;
        return upTo4 <= 2 ? Field::Day : Field::DayName;
    case u'M':
        length = upTo4;
        return upTo4 <= 2 ? Field::Month : Field::MonthName;
    case u'y':
        length = run >= 4 ? 4 : 2;
        return run >= 4 ? Field::Year4 : run >= 2 ? Field::Year2 : Field::None;
    case u'h':
        length = upTo2;
        return amPm ? Field::Hour12 : Field::Hour24;
    case u'H':
        length = upTo2;
        return Field::Hour24;
    case u'm':
        length = upTo2;
        return Field::Minute;
    case u's':
        length = upTo2;
        return Field::Second;
    case u'a':
    case u'A': {
        const bool pair = i + 1 < format.size() && QChar::toLower(format[i + 1].unicode()) == u'p';
        length = pair ? 2 : 1;
        return Field::AmPm;
    }
    case u'z':
        length = run >= 3 ? 3 : 1;
        return Field::Millisecond;
    case u't':
        length = 1;
        return Field::Zone;
    default:
        return Field::None;
    }
}

bool containsAmPm(QStringView format)
{
    qsizetype i = 0;
    while (i < format.size()) {
        if (format[i] == u'\'')
            readQuoted(format, i);
        else if (format[i++].toLower() == u'a')
            return true;
    }
    return false;
}

} // namespace

namespace DateTimeFormat {

std::vector<Item> scan(QStringView format)
{
    const bool amPm = containsAmPm(format);
    std::vector<Item> items;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        if (c == u'\'') {
            const qsizetype start = i;
            QString text = readQuoted(format, i);
            items.push_back(
                { format.sliced(start, i - start).toString(), text, Field::None, true });
            continue;
        }
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        qsizetype length = 1;
        const Field field = fieldAt(format, i, run, amPm, length);
        if (field == Field::None) {
            items.push_back({ QString(c), QString(c), Field::None, false });
            ++i;
        } else {
            items.push_back({ format.sliced(i, length).toString(), {}, field, false });
            i += length;
        }
    }
    return items;
}

bool isDateField(Field field)
{
    return field >= Field::Day && field <= Field::Year4;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == QChar(0x00A0) || c == QChar(0x202F);
}

QString withoutZoneAndMilliseconds(const QString &format)
{
    std::vector<Item> items = scan(format);
    const auto plain = [&items](qsizetype k, QStringView among) {
        return k >= 0 && k < qsizetype(items.size()) && items[k].field == Field::None
            && !items[k].quoted && among.contains(items[k].raw[0]);
    };
    const QStringView blanks = u" \u00A0\u202F";
    const QStringView commas = u",\u060C";
    const QStringView opening = u"([{\uFF08";
    const QStringView closing = u")]}\uFF09";
    const auto erase = [&items](qsizetype from, qsizetype to) {
        items.erase(items.begin() + from, items.begin() + to);
    };
    // Blanks, a comma and blanks from at on, stepping by step: the first item after them.
    const auto skipSeparator = [&plain, blanks, commas](qsizetype at, int step) {
        while (plain(at, blanks))
            at += step;
        if (plain(at, commas))
            at += step;
        while (plain(at, blanks))
            at += step;
        return at;
    };
    qsizetype k = 0;
    while (k < qsizetype(items.size())) {
        if (items[k].field == Field::Millisecond) {
            // The milliseconds go with their decimal separator.
            const qsizetype from = plain(k - 1, u".,") ? k - 1 : k;
            erase(from, k + 1);
            k = from;
        } else if (items[k].field == Field::Zone) {
            erase(k, k + 1);
            // Brackets that held only the zone name go with it.
            if (plain(k - 1, opening) && plain(k, closing)
                && opening.indexOf(items[k - 1].raw[0]) == closing.indexOf(items[k].raw[0])) {
                erase(k - 1, k + 1);
                --k;
            }
            // And so does its separator from the field before it (after it, when it came first).
            if (k > 0) {
                const qsizetype from = skipSeparator(k - 1, -1) + 1;
                erase(from, k);
                k = from;
            } else {
                erase(k, skipSeparator(k, 1));
            }
        } else {
            ++k;
        }
    }
    while (plain(0, blanks))
        erase(0, 1);
    while (plain(qsizetype(items.size()) - 1, blanks))
        items.pop_back();
    QString result;
    for (const Item &item : items)
        result += item.raw;
    return result;
}

} // namespace DateTimeFormat
