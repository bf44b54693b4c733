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

// Reads levels in a locale: its signs and decimal separator are looked up once, not per row.
class LevelReader
{
public:
    explicit LevelReader(const QLocale &locale)
        : m_locale(locale)
        , m_latinDigits(locale.zeroDigit() == QLatin1Char('0'))
        , m_point(locale.decimalPoint())
        , m_minus(locale.negativeSign())
        , m_plus(locale.positiveSign())
    {
        m_locale.setNumberOptions(QLocale::RejectGroupSeparator);
    }

    std::optional<float> read(QStringView text) const
    {
        text = text.trimmed();
        if (!m_latinDigits) {
            bool ok = false;
            const double value = m_locale.toDouble(text, &ok);
            return ok && std::isfinite(float(value)) ? std::optional<float>(float(value))
                                                     : std::nullopt;
        }
        char ascii[64];
        std::size_t length = 0;
        qsizetype i = 0;
        if (text.startsWith(m_minus)) {
            ascii[length++] = '-';
            i = m_minus.size();
        } else if (text.startsWith(m_plus)) {
            i = m_plus.size();
        }
        bool seenPoint = false;
        bool seenExponent = false;
        for (; i < text.size(); ++i) {
            if (length + 2 > sizeof ascii)
                return std::nullopt;
            const QChar c = text[i];
            if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
                ascii[length++] = char(c.unicode());
            } else if (!seenPoint && !seenExponent && text.mid(i).startsWith(m_point)) {
                ascii[length++] = '.';
                seenPoint = true;
                i += m_point.size() - 1;
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

private:
    QLocale m_locale;
    bool m_latinDigits;
    QString m_point;
    QString m_minus;
    QString m_plus;
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
    const LevelReader levels(locale);
    Points result;
    result.xs.reserve(std::size_t(std::max(rows, 0)));
    result.ys.reserve(std::size_t(std::max(rows, 0)));
    if (progress)
        progress->start(rows);
    for (int row = 1; row <= rows; ++row) {
        if (const std::optional<double> x = reader.read(table, row)) {
            result.xs.push_back(*x);
            result.ys.push_back(levels.read(table.cell(column, row)).value_or(NullLevel));
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
    return LevelReader(locale).read(text);
}

} // namespace TableToGraph
