// Arbitrary bytes as a text file opened into a table, and each row drawn as a graph would read
// it: the date and time in several locales' formats or as spreadsheets write them (quoted
// fields, a header, semicolons, ISO 8601 with offsets, UTF-16), the level in their decimal
// separators. The first byte picks the separator the file's name implies (tab or comma) and
// the locale.
// Checked: every row holds its number in column 0; no row holds more fields than the table has
// columns, nor a cell longer than a line may be; a line without the separator ends the table;
// a date-time that is read names a real date and time, and written back in the same format
// reads as the same date and time.

#include "base/celltable.h"
#include "base/datetimedays.h"
#include "base/datetimepattern.h"
#include "files/textimport.h"
#include "logger/tabletograph.h"

#include <QLocale>

#include <array>
#include <cstdint>
#include <cstdlib>

namespace {

const std::array<const char *, 6> Locales { "en_US", "de_DE", "C", "ko_KR", "bg_BG", "ar_EG" };

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QChar separator = (data[0] & 1) ? QLatin1Char(',') : QLatin1Char('\t');
    const std::size_t which = (data[0] >> 1) % Locales.size();
    const QLocale locale { QString::fromLatin1(Locales[which]) };
    static std::array<std::optional<DateTimePattern>, Locales.size()> patterns;
    std::optional<DateTimePattern> &pattern = patterns[which];
    if (!pattern)
        pattern.emplace(DateTimePattern::dateTime(locale));

    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const TextImport::Result result = TextImport::read(bytes, separator, 7, locale);
    const CellTable &table = result.table;
    if (table.rowCount() < 2 || table.colCount() != 7 || result.lines > table.rowCount() - 1)
        std::abort();
    for (int row = 1; row <= result.lines; ++row) {
        if (table.cell(0, row) != QString::number(row))
            std::abort();
        for (int col = 1; col < table.colCount(); ++col)
            if (table.cell(col, row).size() > TextImport::MaxLineLength)
                std::abort();
        QString text
            = table.cell(1, row).toString() + QLatin1Char(' ') + table.cell(2, row).toString();
        if (const std::optional<DateTimePattern::Read> read = pattern->read(text)) {
            if (!read->date.isValid() || !read->time.isValid())
                std::abort();
            const std::optional<DateTimePattern::Read> again
                = pattern->read(pattern->toString(read->date, read->time));
            if (!again || again->date != read->date || again->time != read->time)
                std::abort();
        }
        (void)TableToGraph::readLevel(table.cell(3, row), locale);
    }
    return 0;
}
