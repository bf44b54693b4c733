#include "survey/workbooksheets.h"

#include "base/datetimedays.h"
#include "survey/cursorplacement.h"
#include "survey/daynightlevels.h"
#include "survey/exceedances.h"
#include "survey/figuretable.h"
#include "survey/graphsource.h"
#include "survey/levelkind.h"
#include "survey/measurement.h"
#include "survey/methodlines.h"
#include "survey/periodfigures.h"
#include "survey/seriesfigures.h"
#include "survey/surveydetails.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <charconv>
#include <memory>

namespace WorkbookSheets {

namespace {

using Cell = WorkbookWriter::Cell;
using Rows = std::vector<std::vector<Cell>>;

constexpr double TimeWidth = 20.0;
constexpr double NameWidth = 18.0;

// A figure to seven significant digits: a level read from the data (Lmax, an Ln) is the decimal
// the meter gave, not its nearest single-precision value (75.1, not 75.0999984741211), and a
// worked-out one (Leq) is as exact as a level can be.
double significant(double value)
{
    char text[32];
    const auto written
        = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 7);
    double rounded = value;
    std::from_chars(text, written.ptr, rounded);
    return rounded;
}

Cell number(const std::optional<double> &value, int decimals = 1)
{
    return value ? Cell::number(significant(*value), decimals) : Cell {};
}

// A sheet of rows made beforehand: the small sheets.
WorkbookWriter::Sheet fixed(const QString &name, const QStringList &titles, Rows rows,
                            std::vector<double> widths = {})
{
    auto held = std::make_shared<const Rows>(std::move(rows));
    return { name, titles, qint64(held->size()),
             [held](qint64 r, std::vector<Cell> &cells) { cells = (*held)[std::size_t(r)]; },
             std::move(widths) };
}

// The points of the first series up to the first X of 0, where a series has no data yet.
qint64 seriesLength(const Measurement &measurement)
{
    if (measurement.subsets() < 1)
        return 0;
    const std::vector<double> &xs = measurement.xs(0);
    return qint64(std::find(xs.begin(), xs.end(), 0.0) - xs.begin());
}

// The decimal a level stands for (30.1f as 30.1, not 30.100000381...): its shortest text read
// back as a double.
double decimalOf(float level)
{
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, level);
    double value = level;
    std::from_chars(text, written.ptr, value);
    return value;
}

WorkbookWriter::Sheet readings(const Measurement &measurement)
{
    const qint64 points = seriesLength(measurement);
    return { QStringLiteral("Readings"),
             { QStringLiteral("Time"), QStringLiteral("Level (dB)") },
             points,
             [&measurement](qint64 r, std::vector<Cell> &cells) {
                 const float level = measurement.ys(0)[std::size_t(r)];
                 cells.push_back(Cell::dateTime(measurement.xs(0)[std::size_t(r)]));
                 if (!Measurement::isNull(level))
                     cells.push_back(Cell::number(decimalOf(level), 1));
             },
             { TimeWidth, 12.0 } };
}

void addFigures(Rows &rows, std::size_t column, const AcousticFigures::Figures &figures)
{
    const std::optional<double> values[] = {
        double(figures.n),
        figures.seconds,
        figures.leq,
        figures.lmax,
        figures.lmin,
        figures.percentiles[0],
        figures.percentiles[1],
        figures.percentiles[2],
        figures.percentiles[3],
        figures.percentiles[4],
        figures.sel,
    };
    for (std::size_t i = 0; i < std::size(values); ++i)
        rows[i][column] = number(values[i], i == 0 ? 0 : 1);
}

WorkbookWriter::Sheet figures(const Measurement &measurement, const GraphSource &source,
                              const QString &axisTitle, const Options &options,
                              const QLocale &locale)
{
    const SeriesFigures series(measurement, source.intervalOf(measurement));
    std::vector<std::pair<QString, AcousticFigures::Figures>> columns {
        { QStringLiteral("Whole graph"), series.whole() }
    };
    const std::optional<int> a = CursorPlacement::indexOf(measurement, 0);
    const std::optional<int> b = CursorPlacement::indexOf(measurement, 1);
    if (a && b)
        columns.emplace_back(QStringLiteral("Between A and B"), series.between(*a, *b));
    for (const IntervalCategory category :
         { IntervalCategory::Specific, IntervalCategory::Residual })
        if (const auto figures = series.ofCategory(category))
            columns.emplace_back(categoryName(category), *figures);

    QStringList titles { QStringLiteral("Figure") };
    const std::vector<AcousticFigures::Line> names = AcousticFigures::lines({}, locale);
    Rows rows(names.size(), std::vector<Cell>(columns.size() + 1));
    for (std::size_t i = 0; i < names.size(); ++i)
        rows[i][0] = Cell::textCell(names[i].name);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        titles << columns[c].first;
        addFigures(rows, c + 1, columns[c].second);
    }
    rows.emplace_back();
    rows.push_back({ Cell::textCell(QStringLiteral("Method")) });
    for (const QString &line :
         MethodLines::lines(measurement, source, axisTitle,
                            { options.hours, double(options.coverageThreshold) }, locale))
        rows.push_back({ Cell::textCell(line) });
    return fixed(QStringLiteral("Figures"), titles, std::move(rows),
                 std::vector<double>(columns.size() + 1, NameWidth));
}

// A table of figures over the clock: its first column a date-time or a date, then numbers (a
// count without decimals).
WorkbookWriter::Sheet ofFigureTable(const QString &name, const FigureTable &table, bool dates)
{
    Rows rows;
    rows.reserve(std::size_t(table.rowCount()));
    for (int r = 0; r < table.rowCount(); ++r) {
        const FigureTable::Row &row = table.row(r);
        std::vector<Cell> cells { dates ? Cell::date(row.days) : Cell::dateTime(row.days) };
        for (std::size_t c = 0; c < row.values.size(); ++c)
            cells.push_back(
                number(row.values[c], table.titles().value(qsizetype(c) + 1) == u"N" ? 0 : 1));
        rows.push_back(std::move(cells));
    }
    std::vector<double> widths(std::size_t(table.columnCount()), 11.0);
    widths[0] = dates ? 12.0 : TimeWidth;
    return fixed(name, table.titles(), std::move(rows), std::move(widths));
}

WorkbookWriter::Sheet periods(const Measurement &measurement, std::optional<double> interval,
                              const Options &options, const QLocale &locale)
{
    const PeriodFigures::Result result
        = PeriodFigures::periods(measurement, options.periodSeconds, interval);
    if (result.refusedRows > 0)
        return fixed(QStringLiteral("Periods"), {},
                     { { Cell::textCell(QStringLiteral("The points span %1 periods of %2 s, more "
                                                       "than %3; none are listed.")
                                            .arg(result.refusedRows)
                                            .arg(options.periodSeconds)
                                            .arg(PeriodFigures::MaxRows)) } });
    return ofFigureTable(QStringLiteral("Periods"),
                         FigureTable::ofPeriods(result.rows, options.periodSeconds,
                                                options.coverageThreshold, locale),
                         false);
}

WorkbookWriter::Sheet exceedances(const Measurement &measurement, double limit,
                                  std::optional<double> interval)
{
    const Exceedances::Result result = Exceedances::of(measurement, limit, interval);
    const int decimals = Exceedances::secondsDecimals(interval);
    Rows rows;
    for (const Exceedances::Run &run : result.runs)
        rows.push_back({ Cell::dateTime(run.start), number(run.seconds, decimals), number(run.lmax),
                         number(run.leq) });
    rows.emplace_back();
    rows.push_back({ Cell::textCell(QStringLiteral("Limit (dB)")), Cell::number(limit, 1) });
    rows.push_back({ Cell::textCell(QStringLiteral("Exceedances")),
                     Cell::number(double(result.runs.size()), 0) });
    rows.push_back({ Cell::textCell(QStringLiteral("Above limit (s)")),
                     number(result.totalSeconds, decimals) });
    return fixed(QStringLiteral("Exceedances"),
                 { QStringLiteral("Start"), QStringLiteral("Seconds"), QStringLiteral("Lmax (dB)"),
                   QStringLiteral("Leq (dB)") },
                 std::move(rows), { TimeWidth, 16.0, 11.0, 11.0 });
}

void addDetails(Rows &rows, const SurveyDetails &details)
{
    const auto add = [&rows](const char *name, const QString &text) {
        if (!text.isEmpty())
            rows.push_back({ Cell::textCell(QLatin1String(name)), Cell::textCell(text) });
    };
    add("Project", details.project);
    add("Client", details.client);
    add("Site", details.site);
    add("Position", details.position);
    add("Operator", details.operatorName);
    add("Weather", details.weather);
    add("Notes", details.notes);
    add("Instrument", details.instrument.model);
    add("Serial number", details.instrument.serialNumber);
    add("Firmware", details.instrument.firmware);
    add("Calibration value 94 dB", details.instrument.calibration94);
    add("Calibration value 70 dB", details.instrument.calibration70);
    const auto calibration = [&rows](const char *name, const CalibrationCheck &check) {
        if (!check.reference && !check.reading)
            return;
        rows.push_back({ Cell::textCell(QLatin1String(name)), number(check.reference),
                         number(check.reading), number(check.difference()) });
        if (check.flagged())
            rows.push_back(
                { Cell::textCell(QString()),
                  Cell::textCell(
                      QStringLiteral("more than %1 dB").arg(CalibrationCheck::Tolerance)) });
    };
    calibration("Calibration before (reference, reading, difference dB)",
                details.calibrationBefore);
    calibration("Calibration after (reference, reading, difference dB)", details.calibrationAfter);
}

WorkbookWriter::Sheet detailsSheet(const Measurement &measurement, const GraphSource &source,
                                   const QString &axisTitle, const Options &options,
                                   const QLocale &locale)
{
    Rows rows;
    for (const QString &line : source.describe(locale))
        rows.push_back({ Cell::textCell(QStringLiteral("Source")), Cell::textCell(line) });
    const LevelKind kind = LevelKind::of(source, axisTitle);
    rows.push_back({ Cell::textCell(QStringLiteral("Weighting")), Cell::textCell(kind.weighting) });
    rows.push_back({ Cell::textCell(QStringLiteral("Response")), Cell::textCell(kind.response) });
    const std::optional<double> interval = source.intervalOf(measurement);
    rows.push_back({ Cell::textCell(QStringLiteral("Interval (s)")),
                     number(interval, interval && *interval == std::floor(*interval) ? 0 : 3) });
    rows.push_back({ Cell::textCell(QStringLiteral("Points")),
                     Cell::number(double(seriesLength(measurement)), 0) });
    rows.push_back({ Cell::textCell(QStringLiteral("Time zone")),
                     Cell::textCell(QString::fromUtf8(QTimeZone::systemTimeZoneId())) });
    rows.push_back({ Cell::textCell(QStringLiteral("Program")),
                     Cell::textCell(QStringLiteral("Audexa ") + options.version) });
    addDetails(rows, measurement.details);
    return fixed(QStringLiteral("Details"), {}, std::move(rows), { NameWidth, 40.0 });
}

} // namespace

std::vector<WorkbookWriter::Sheet> ofMeasurement(const Measurement &measurement,
                                                 const GraphSource &source,
                                                 const QString &axisTitle, const Options &options,
                                                 const QLocale &locale)
{
    const std::optional<double> interval = source.intervalOf(measurement);
    std::vector<WorkbookWriter::Sheet> sheets;
    sheets.push_back(readings(measurement));
    sheets.push_back(figures(measurement, source, axisTitle, options, locale));
    sheets.push_back(periods(measurement, interval, options, locale));
    sheets.push_back(ofFigureTable(
        QStringLiteral("Lden"),
        FigureTable::ofDays(DayNightLevels::days(measurement, options.hours, interval).rows,
                            options.hours, options.coverageThreshold, locale),
        true));
    if (measurement.limit)
        sheets.push_back(exceedances(measurement, *measurement.limit, interval));
    sheets.push_back(detailsSheet(measurement, source, axisTitle, options, locale));
    return sheets;
}

} // namespace WorkbookSheets
