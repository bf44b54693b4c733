#include "files/textexport.h"

#include "base/celltable.h"
#include "base/datetimedays.h"
#include "base/datetimepattern.h"
#include "base/workprogress.h"

#include <QDir>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

constexpr char LineEnd[] = "\r\n";

// The points or rows a range names, cut to what there is: [first, last) 0-based.
std::pair<int, int> indexes(RangeRule::Range range, int count)
{
    const int first = std::max(range.from, 1) - 1;
    const int last = std::min(range.to, count);
    return { first, std::max(first, last) };
}

// Counts a line written and reports it; true (and the lines marked cancelled) when the user
// asked to stop.
bool stopAfterLine(TextExport::Lines &result, WorkProgress *progress)
{
    ++result.lines;
    if (!progress)
        return false;
    progress->progressed(result.lines);
    result.cancelled = progress->cancelled();
    return result.cancelled;
}

// Writes levels in a locale: the locale's digits and decimal separator are looked up once.
class LevelWriter
{
public:
    explicit LevelWriter(const QLocale &locale)
        : m_locale(locale)
        , m_latinDigits(locale.zeroDigit() == QLatin1Char('0'))
        , m_point(locale.decimalPoint().toUtf8())
    {
        m_locale.setNumberOptions(QLocale::OmitGroupSeparator);
    }

    // Rounds half away from zero, as the figures on screen do: a level is a float, so ten
    // times it is exact in a double and the rounding sees the true value.
    void append(QByteArray &out, float level) const
    {
        const double value = level;
        if (!m_latinDigits || !std::isfinite(value)) {
            out += m_locale.toString(value, 'f', 1).toUtf8();
            return;
        }
        char digits[64];
        if (std::fabs(value) >= 1.0e6) {
            // Beyond six digits before the point, seven significant digits leave no decimal.
            const std::to_chars_result written = std::to_chars(
                digits, digits + sizeof digits, value, std::chars_format::general, 7);
            appendWithPoint(out, digits, written.ptr);
            return;
        }
        // The digits by hand, written backwards from the tenth: "-", the whole dB, the point.
        const long long tenths = std::llround(value * 10.0);
        unsigned long long rest = static_cast<unsigned long long>(tenths < 0 ? -tenths : tenths);
        char *end = digits + sizeof digits;
        char *first = end;
        *--first = char('0' + rest % 10);
        *--first = '.';
        rest /= 10;
        do {
            *--first = char('0' + rest % 10);
            rest /= 10;
        } while (rest != 0);
        if (tenths < 0)
            *--first = '-';
        appendWithPoint(out, first, end);
    }

private:
    void appendWithPoint(QByteArray &out, const char *begin, const char *end) const
    {
        const char *point = std::find(begin, end, '.');
        out.append(begin, point - begin);
        if (point != end) {
            out += m_point;
            out.append(point + 1, end - point - 1);
        }
    }

    QLocale m_locale;
    bool m_latinDigits;
    QByteArray m_point;
};

} // namespace

namespace TextExport {

char separatorForExtension(const QString &extension)
{
    QString bare = extension.toLower();
    if (bare.startsWith(QLatin1Char('.')))
        bare.remove(0, 1);
    return bare == QLatin1String("csv") ? ',' : '\t';
}

bool commaFormAllowed(const QLocale &locale)
{
    return locale.decimalPoint() != QLatin1String(",");
}

QString commaFormRefused(const QString &fileName)
{
    return QStringLiteral(
               "Cannot save \"%1\" as comma-separated text: your regional settings write "
               "decimals with a comma. Choose a name ending in \".txt\".")
        .arg(QDir::toNativeSeparators(fileName));
}

char separatorForFileName(const QString &fileName)
{
    return fileName.right(3).toLower() == QLatin1String("csv") ? ',' : '\t';
}

void appendLevel(QByteArray &out, float level, const QLocale &locale)
{
    LevelWriter(locale).append(out, level);
}

Lines graphLines(const std::vector<double> &xs, const std::vector<float> &ys,
                 RangeRule::Range range, char separator, const QLocale &locale,
                 WorkProgress *progress)
{
    const auto [first, last] = indexes(range, int(std::min(xs.size(), ys.size())));
    const DateTimePattern date = DateTimePattern::date(locale);
    const DateTimePattern time = DateTimePattern::time(locale);
    const LevelWriter level(locale);
    Lines result;
    result.bytes.reserve(qsizetype(last - first) * 32);
    if (progress)
        progress->start(last - first);
    for (int i = first; i < last; ++i) {
        if (xs[std::size_t(i)] == 0.0)
            break;
        const DateTimeDays::DateAndTime at
            = DateTimeDays::dateAndTimeOf(DateTimeDays::roundedToSecond(xs[std::size_t(i)]));
        date.appendUtf8(result.bytes, at.date, at.time);
        result.bytes += separator;
        time.appendUtf8(result.bytes, at.date, at.time);
        result.bytes += separator;
        if (ys[std::size_t(i)] != NullLevel)
            level.append(result.bytes, ys[std::size_t(i)]);
        result.bytes += LineEnd;
        if (stopAfterLine(result, progress))
            break;
    }
    if (progress)
        progress->finish();
    return result;
}

Lines tableLines(const CellTable &table, RangeRule::Range range, char separator,
                 WorkProgress *progress)
{
    const auto [first, last] = indexes(range, table.rowCount() - 1);
    const QChar sep = QLatin1Char(separator);
    QString text;
    Lines result;
    if (progress)
        progress->start(last - first);
    for (int row = first + 1; row <= last; ++row) {
        for (int col = 1; col < table.colCount(); ++col) {
            text += table.cell(col, row);
            text += sep;
        }
        text += QLatin1String(LineEnd);
        if (stopAfterLine(result, progress))
            break;
    }
    if (progress)
        progress->finish();
    result.bytes = text.toUtf8();
    return result;
}

} // namespace TextExport
