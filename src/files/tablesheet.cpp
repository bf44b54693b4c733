#include "files/tablesheet.h"

#include "base/celltable.h"
#include "base/datetimedays.h"
#include "base/datetimepattern.h"

#include <array>
#include <memory>

namespace TableSheet {

WorkbookWriter::Sheet of(const CellTable &table, const QLocale &locale)
{
    enum class Kind { Value, Date, Time, DateTime };
    auto kinds = std::make_shared<std::vector<Kind>>();
    QStringList titles;
    for (int c = 1; c < table.colCount(); ++c) {
        const QString title = table.cell(c, 0).toString();
        titles << title;
        kinds->push_back(title.compare(u"Date", Qt::CaseInsensitive) == 0        ? Kind::Date
                             : title.compare(u"Time", Qt::CaseInsensitive) == 0  ? Kind::Time
                             : title.compare(u"Start", Qt::CaseInsensitive) == 0 ? Kind::DateTime
                                                                                 : Kind::Value);
    }
    auto patterns = std::make_shared<std::array<DateTimePattern, 3>>(
        std::array { DateTimePattern::date(locale), DateTimePattern::time(locale),
                     DateTimePattern::dateTime(locale) });
    const QChar point = locale.decimalPoint().at(0);
    std::vector<double> widths(kinds->size(), 12.0);
    for (std::size_t c = 0; c < kinds->size(); ++c)
        if ((*kinds)[c] == Kind::DateTime)
            widths[c] = 20.0;
    return { QStringLiteral("Readings"), titles, qint64(std::max(0, table.rowCount() - 1)),
             [&table, kinds, patterns, locale, point](qint64 r,
                                                      std::vector<WorkbookWriter::Cell> &cells) {
                 for (std::size_t c = 0; c < kinds->size(); ++c) {
                     const QStringView text = table.cell(int(c) + 1, int(r) + 1);
                     const Kind kind = (*kinds)[c];
                     std::optional<DateTimePattern::Read> read;
                     if (kind != Kind::Value)
                         read = (*patterns)[std::size_t(kind) - 1].read(text);
                     if (read && kind == Kind::Date && read->date.isValid()) {
                         cells.push_back(WorkbookWriter::Cell::date(
                             DateTimeDays::fromDateTime(read->date, { 0, 0 })));
                     } else if (read && kind == Kind::Time && read->time.isValid()) {
                         cells.push_back(WorkbookWriter::Cell::time(
                             read->time.msecsSinceStartOfDay() / double(DateTimeDays::MsPerDay)));
                     } else if (read && kind == Kind::DateTime && read->date.isValid()) {
                         cells.push_back(WorkbookWriter::Cell::dateTime(
                             DateTimeDays::fromDateTime(read->date, read->time)));
                     } else {
                         bool ok = false;
                         const double value = locale.toDouble(text, &ok);
                         const qsizetype at = text.indexOf(point);
                         cells.push_back(ok ? WorkbookWriter::Cell::number(
                                             value, at < 0 ? 0 : int(text.size() - at - 1))
                                            : WorkbookWriter::Cell::textCell(text.toString()));
                     }
                 }
             },
             std::move(widths) };
}

} // namespace TableSheet
