#include "survey/figuretable.h"

#include "base/datetimedays.h"
#include "survey/acousticfigures.h"
#include "survey/daynightlevels.h"
#include "survey/periodfigures.h"
#include "survey/timedlevels.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QDate DayZero(1899, 12, 30);

// The periods' columns.
constexpr int PeriodLeq = 2;
constexpr int PeriodLmax = 3;
constexpr int PeriodL10 = 4;
constexpr int PeriodL90 = 5;
constexpr int PeriodCoverage = 6;

const std::array<QString, 3> PartNames { QStringLiteral("Day"), QStringLiteral("Evening"),
                                         QStringLiteral("Night") };

constexpr quint32 bit(int column)
{
    return quint32(1) << column;
}

qint64 msOf(double days)
{
    return std::llround(days * double(DateTimeDays::MsPerDay));
}

QDate dateOfMs(qint64 ms)
{
    return DayZero.addDays(floorDivide(ms, DateTimeDays::MsPerDay));
}

} // namespace

FigureTable::FigureTable(Kind kind, QStringList titles, std::vector<int> decimals,
                         const QLocale &locale)
    : m_kind(kind)
    , m_titles(std::move(titles))
    , m_decimals(std::move(decimals))
    , m_locale(locale)
    , m_dateFormat(locale.dateFormat(QLocale::ShortFormat))
    , m_dateTimeFormat(m_dateFormat + QLatin1Char(' ')
                       + DateTimeDays::wholeSecondsTimeFormat(locale, QLocale::LongFormat))
{
}

FigureTable FigureTable::ofPeriods(const std::vector<PeriodFigures::Row> &rows, int periodSeconds,
                                   int coverageThreshold, const QLocale &locale)
{
    FigureTable table(Kind::Periods,
                      { QStringLiteral("Start"), QStringLiteral("N"), QStringLiteral("Leq"),
                        QStringLiteral("Lmax"), QStringLiteral("L10"), QStringLiteral("L90"),
                        QStringLiteral("Coverage %") },
                      { 0, 1, 1, 1, 1, 1 }, locale);
    table.m_periodSeconds = periodSeconds;
    table.m_threshold = coverageThreshold;
    table.m_rows.reserve(rows.size());
    for (const PeriodFigures::Row &r : rows) {
        quint32 flagged = 0;
        if (FigureFlags::lowCoverage(r.coverage, coverageThreshold))
            flagged |= bit(PeriodLeq) | bit(PeriodLmax) | bit(PeriodL10) | bit(PeriodL90)
                | bit(PeriodCoverage);
        if (FigureFlags::fewPoints(10, r.n))
            flagged |= bit(PeriodL10) | bit(PeriodL90);
        table.m_rows.push_back(
            { r.startDays(), { double(r.n), r.leq, r.lmax, r.l10, r.l90, r.coverage }, flagged });
    }
    return table;
}

FigureTable FigureTable::ofDays(const std::vector<DayNightLevels::Row> &rows,
                                const DayEveningNightHours &hours, int coverageThreshold,
                                const QLocale &locale)
{
    std::vector<int> parts { DayNightLevels::Day, DayNightLevels::Night };
    if (hours.evening)
        parts.insert(parts.begin() + 1, DayNightLevels::Evening);
    QStringList titles { QStringLiteral("Date") };
    for (int part : parts)
        titles << QStringLiteral("L") + PartNames[std::size_t(part)].toLower();
    titles << hours.levelName();
    for (int part : parts)
        titles << PartNames[std::size_t(part)] + QStringLiteral(" %");
    FigureTable table(Kind::Days, titles, std::vector<int>(std::size_t(titles.size() - 1), 1),
                      locale);
    table.m_threshold = coverageThreshold;
    table.m_parts = parts;
    const int levelColumn = 1 + int(parts.size());
    table.m_rows.reserve(rows.size());
    for (const DayNightLevels::Row &r : rows) {
        Row row { double(DayZero.daysTo(r.date)), {}, 0 };
        for (int part : parts)
            row.values.push_back(r.leq[std::size_t(part)]);
        row.values.push_back(r.lden);
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const std::optional<double> &coverage = r.coverage[std::size_t(parts[i])];
            row.values.push_back(coverage);
            if (FigureFlags::lowCoverage(coverage, coverageThreshold))
                row.flagged |= bit(1 + int(i)) | bit(levelColumn) | bit(levelColumn + 1 + int(i));
        }
        table.m_rows.push_back(std::move(row));
    }
    return table;
}

bool FigureTable::isFlagged(int row, int column) const
{
    return row >= 0 && row < rowCount() && column >= 0 && column < columnCount()
        && (m_rows[std::size_t(row)].flagged & bit(column)) != 0;
}

QString FigureTable::flagReason(int row, int column) const
{
    if (!isFlagged(row, column))
        return {};
    const Row &r = m_rows[std::size_t(row)];
    const auto percentText = [&](const std::optional<double> &coverage) {
        return AcousticFigures::decimalText(coverage, m_locale, 1);
    };
    const auto lowText = [&](const QString &what, const std::optional<double> &coverage) {
        return QStringLiteral("%1 %2 % is below the threshold of %3 %: the figures are from a "
                              "small part of it.")
            .arg(what, percentText(coverage))
            .arg(m_threshold);
    };
    QStringList reasons;
    if (m_kind == Kind::Periods) {
        const std::optional<double> &coverage = r.values[PeriodCoverage - 1];
        if (FigureFlags::lowCoverage(coverage, m_threshold))
            reasons << lowText(QStringLiteral("Coverage"), coverage);
        const long long n = std::llround(r.values[0].value_or(0.0));
        if ((column == PeriodL10 || column == PeriodL90) && FigureFlags::fewPoints(10, n))
            reasons << QStringLiteral("%1 from %2 points, fewer than 10: it can only repeat %3.")
                           .arg(m_titles[column])
                           .arg(n)
                           .arg(column == PeriodL10 ? QStringLiteral("Lmax")
                                                    : QStringLiteral("Lmin"));
        return reasons.join(QLatin1Char('\n'));
    }
    const int parts = int(m_parts.size());
    for (int i = 0; i < parts; ++i) {
        const bool ofPart = column == 1 + i || column == parts + 2 + i;
        const std::optional<double> &coverage = r.values[std::size_t(parts + 1 + i)];
        if ((ofPart || column == parts + 1) && FigureFlags::lowCoverage(coverage, m_threshold))
            reasons << lowText(PartNames[std::size_t(m_parts[std::size_t(i)])]
                                   + QStringLiteral(" coverage"),
                               coverage);
    }
    return reasons.join(QLatin1Char('\n'));
}

QString FigureTable::text(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    const Row &r = m_rows[std::size_t(row)];
    if (column == 0) {
        const qint64 ms = msOf(r.days);
        const QDate date = dateOfMs(ms);
        if (m_kind == Kind::Days)
            return m_locale.toString(date, m_dateFormat);
        const QTime time = QTime::fromMSecsSinceStartOfDay(
            int(ms - floorDivide(ms, DateTimeDays::MsPerDay) * DateTimeDays::MsPerDay));
        return m_locale.toString(QDateTime(date, time), m_dateTimeFormat);
    }
    const std::optional<double> &value = r.values[std::size_t(column - 1)];
    if (!value)
        return {};
    const int decimals = m_decimals[std::size_t(column - 1)];
    return decimals == 0 ? m_locale.toString(qlonglong(std::llround(*value)))
                         : AcousticFigures::decimalText(value, m_locale, decimals);
}

double FigureTable::endDays(int row) const
{
    const double start = m_rows[std::size_t(row)].days;
    const double nextMidnight = std::floor(start + 0.5 / double(DateTimeDays::MsPerDay)) + 1.0;
    if (m_kind == Kind::Days)
        return nextMidnight;
    return std::min(start + m_periodSeconds * DateTimeDays::OneSecond, nextMidnight);
}

void FigureTable::sort(int column, bool ascending)
{
    if (column < 0 || column >= columnCount())
        return;
    m_sortColumn = column;
    m_ascending = ascending;
    applySort();
}

void FigureTable::applySort()
{
    const auto byTime = [](const Row &a, const Row &b) {
        return a.days < b.days;
    };
    if (m_sortColumn == 0) {
        if (m_ascending)
            std::sort(m_rows.begin(), m_rows.end(), byTime);
        else
            std::sort(m_rows.begin(), m_rows.end(),
                      [](const Row &a, const Row &b) { return a.days > b.days; });
        return;
    }
    const std::size_t v = std::size_t(m_sortColumn - 1);
    const bool ascending = m_ascending;
    std::sort(m_rows.begin(), m_rows.end(), [v, ascending](const Row &a, const Row &b) {
        const std::optional<double> &x = a.values[v];
        const std::optional<double> &y = b.values[v];
        if (x.has_value() != y.has_value())
            return x.has_value(); // empty figures last
        if (x && *x != *y)
            return ascending ? *x < *y : *x > *y;
        return a.days < b.days;
    });
}

QString FigureTable::copyText(const std::vector<int> &rows) const
{
    const QLatin1Char tab('\t');
    const QLatin1Char newline('\n');
    QString out = m_titles.join(tab) + newline;
    const auto line = [&](int row) {
        for (int column = 0; column < columnCount(); ++column) {
            if (column > 0)
                out += tab;
            out += text(row, column);
        }
        out += newline;
    };
    if (rows.empty())
        for (int row = 0; row < rowCount(); ++row)
            line(row);
    else
        for (int row : rows)
            if (row >= 0 && row < rowCount())
                line(row);
    return out;
}

CellTable FigureTable::cellTable() const
{
    CellTable table(columnCount() + 1, rowCount() + 1);
    table.reserveText(qsizetype(rowCount()) * 48);
    table.setCell(0, 0, QStringLiteral("No"));
    for (int column = 0; column < columnCount(); ++column)
        table.setCell(column + 1, 0, m_titles[column]);
    for (int row = 0; row < rowCount(); ++row) {
        table.setCell(0, row + 1, row + 1);
        for (int column = 0; column < columnCount(); ++column)
            table.setCell(column + 1, row + 1, text(row, column));
    }
    return table;
}
