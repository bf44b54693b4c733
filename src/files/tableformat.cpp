#include "files/tableformat.h"

#include "files/csvfields.h"

namespace {

using Layout = DateTimeFields::Layout;
using Order = DateTimeFields::Order;

// The orders of numeric dates to try: the locale's first.
std::vector<Order> numericOrders(const QLocale &locale)
{
    std::vector<Order> orders { DateTimeFields::localeOrder(locale) };
    for (Order order : { Order::DayMonthYear, Order::MonthDayYear, Order::YearMonthDay })
        if (order != orders.front())
            orders.push_back(order);
    return orders;
}

std::vector<DateTimeFields> candidates(const QLocale &locale)
{
    std::vector<DateTimeFields> all;
    all.emplace_back(Layout::Locale, Order::LocaleLong, locale);
    all.emplace_back(Layout::Iso, Order::YearMonthDay, locale);
    for (Layout layout : { Layout::TwoFields, Layout::OneField }) {
        for (Order order : numericOrders(locale))
            all.emplace_back(layout, order, locale);
    }
    all.emplace_back(Layout::TwoFields, Order::LocaleLong, locale);
    return all;
}

bool swapped(Order a, Order b)
{
    return (a == Order::DayMonthYear && b == Order::MonthDayYear)
        || (a == Order::MonthDayYear && b == Order::DayMonthYear);
}

struct Score
{
    int read = 0; // lines whose date reads
    bool header = false;
    std::vector<bool> reads; // per line looked at
};

} // namespace

TableFormat TableFormat::decide(const QStringList &lines, QChar preferred, const QLocale &locale)
{
    TableFormat best;
    best.separator = preferred;
    best.decimal = locale.decimalPoint().size() == 1 ? locale.decimalPoint()[0] : QChar(u'.');
    int bestRead = 0;
    std::vector<bool> bestReads;
    const std::vector<DateTimeFields> layouts = candidates(locale);
    std::vector<QChar> separators { preferred, u';' };
    separators.push_back(preferred == u'\t' ? QChar(u',') : QChar(u'\t'));
    CsvFields splitter;
    for (QChar separator : separators) {
        // A line without the separator ends the reading, and so the lines looked at.
        qsizetype count = 0;
        while (count < lines.size() && count < SampleLines && lines[count].contains(separator))
            ++count;
        std::vector<Score> scores(layouts.size());
        for (qsizetype i = 0; i < count; ++i) {
            const std::vector<QStringView> &fields = splitter.split(lines[i], separator, 3);
            for (std::size_t l = 0; l < layouts.size(); ++l) {
                const bool read = layouts[l].read(fields).has_value();
                scores[l].reads.push_back(read);
                scores[l].read += read ? 1 : 0;
            }
        }
        for (std::size_t l = 0; l < layouts.size(); ++l) {
            if (scores[l].read <= bestRead)
                continue;
            bestRead = scores[l].read;
            bestReads = scores[l].reads;
            best.separator = separator;
            best.dates = layouts[l];
            best.order = layouts[l].layout() == Layout::Locale ? DateTimeFields::localeOrder(locale)
                                                               : layouts[l].order();
            best.header = count > 1 && !scores[l].reads[0] && scores[l].reads[1];
            best.ambiguous = false;
            for (std::size_t o = 0; o < layouts.size(); ++o) {
                const bool sameLayout = layouts[o].layout() == layouts[l].layout()
                    || (layouts[l].layout() == Layout::Locale
                        && layouts[o].layout() == Layout::TwoFields);
                if (sameLayout && scores[o].read >= scores[l].read
                    && swapped(layouts[o].order(), best.order))
                    best.ambiguous = true;
            }
        }
    }
    if (!best.dates)
        return best;
    if (best.separator == u',') {
        best.decimal = u'.';
        return best;
    }
    // The level follows the date and time.
    int points = 0;
    int commas = 0;
    const int levelField = best.dates->fieldCount();
    for (qsizetype i = 0; i < qsizetype(bestReads.size()); ++i) {
        if (!bestReads[std::size_t(i)])
            continue;
        const std::vector<QStringView> &fields
            = splitter.split(lines[i], best.separator, levelField + 1);
        if (qsizetype(fields.size()) <= levelField)
            continue;
        points += fields[std::size_t(levelField)].contains(u'.') ? 1 : 0;
        commas += fields[std::size_t(levelField)].contains(u',') ? 1 : 0;
    }
    if (points > 0 && commas == 0)
        best.decimal = u'.';
    else if (commas > 0 && points == 0)
        best.decimal = u',';
    return best;
}

QString TableFormat::orderNote() const
{
    if (!ambiguous)
        return {};
    const bool dayFirst = order == Order::DayMonthYear;
    return QStringLiteral("Dates read as %1: every date looked at also reads as %2.")
        .arg(dayFirst ? QStringLiteral("day/month/year") : QStringLiteral("month/day/year"),
             dayFirst ? QStringLiteral("month/day/year") : QStringLiteral("day/month/year"));
}
