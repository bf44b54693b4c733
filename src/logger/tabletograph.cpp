#include "logger/tabletograph.h"

#include "base/celltable.h"
#include "base/datetimedays.h"
#include "base/datetimepattern.h"
#include "base/workprogress.h"

#include <charconv>
#include <cmath>

namespace {

constexpr float NullLevel = 9999.0f;
const QString LeqTitle = QStringLiteral("Leq");

// Reads the date and time of a row through one reused buffer: "date time".
class RowReader
{
public:
    explicit RowReader(const QLocale &locale)
        : m_pattern(DateTimePattern::dateTime(locale))
    {
    }
    const QString &text(const CellTable &table, int row)
    {
        m_text.clear();
        m_text += table.cell(1, row);
        m_text += QLatin1Char(' ');
        m_text += table.cell(2, row);
        return m_text;
    }
    std::optional<double> read(const CellTable &table, int row)
    {
        const std::optional<DateTimePattern::Read> read = m_pattern.read(text(table, row));
        if (!read)
            return std::nullopt;
        return DateTimeDays::fromDateTime(read->date, read->time);
    }

private:
    DateTimePattern m_pattern;
    QString m_text;
};

} // namespace

namespace TableToGraph {

int readingRows(const CellTable &table)
{
    if (table.cell(1, 1).isEmpty())
        return 0;
    return table.rowCount() - 1;
}

int levelColumn(const CellTable &table)
{
    return table.cell(4, 0) == LeqTitle ? 4 : 3;
}

RowTime rowTime(const CellTable &table, int row, const QLocale &locale)
{
    RowReader reader(locale);
    if (const std::optional<double> days = reader.read(table, row))
        return { days, {} };
    return { std::nullopt,
             QStringLiteral("'%1' is not a valid date and time").arg(reader.text(table, row)) };
}

Points points(const CellTable &table, const QLocale &locale, WorkProgress *progress)
{
    const int rows = readingRows(table);
    const int column = levelColumn(table);
    RowReader reader(locale);
    Points result;
    result.xs.reserve(std::size_t(std::max(rows, 0)));
    result.ys.reserve(std::size_t(std::max(rows, 0)));
    if (progress)
        progress->start(rows);
    for (int row = 1; row <= rows; ++row) {
        if (const std::optional<double> x = reader.read(table, row)) {
            result.xs.push_back(*x);
            result.ys.push_back(readLevel(table.cell(column, row), locale).value_or(NullLevel));
        } else {
            ++result.skipped;
        }
        if (progress) {
            progress->progressed(row);
            if (progress->cancelled()) {
                result.cancelled = true;
                break;
            }
        }
    }
    if (progress)
        progress->finish();
    return result;
}

std::optional<float> readLevel(QStringView text, const QLocale &locale)
{
    text = text.trimmed();
    if (locale.zeroDigit() != QLatin1Char('0')) {
        QLocale strict = locale;
        strict.setNumberOptions(QLocale::RejectGroupSeparator);
        bool ok = false;
        const double value = strict.toDouble(text, &ok);
        return ok ? std::optional<float>(float(value)) : std::nullopt;
    }
    const QString point = locale.decimalPoint();
    const QString minus = locale.negativeSign();
    char ascii[64];
    std::size_t length = 0;
    qsizetype i = 0;
    if (text.startsWith(minus)) {
        ascii[length++] = '-';
        i = minus.size();
    } else if (text.startsWith(locale.positiveSign())) {
        i = locale.positiveSign().size();
    }
    bool seenPoint = false;
    bool seenExponent = false;
    for (; i < text.size(); ++i) {
        if (length + 2 > sizeof ascii)
            return std::nullopt;
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            ascii[length++] = char(c.unicode());
        } else if (!seenPoint && !seenExponent && text.mid(i).startsWith(point)) {
            ascii[length++] = '.';
            seenPoint = true;
            i += point.size() - 1;
        } else if (!seenExponent && (c == QLatin1Char('e') || c == QLatin1Char('E'))) {
            ascii[length++] = 'e';
            seenExponent = true;
            if (i + 1 < text.size()
                && (text[i + 1] == QLatin1Char('-') || text[i + 1] == QLatin1Char('+')))
                ascii[length++] = char(text[++i].unicode());
        } else {
            return std::nullopt;
        }
    }
    double value = 0.0;
    const std::from_chars_result read = std::from_chars(ascii, ascii + length, value);
    if (read.ec != std::errc() || read.ptr != ascii + length || !std::isfinite(float(value)))
        return std::nullopt;
    return float(value);
}

} // namespace TableToGraph
