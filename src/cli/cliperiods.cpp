#include "cli/cliperiods.h"

#include "base/datetimedays.h"
#include "cli/cliinput.h"
#include "survey/daynightlevels.h"
#include "survey/exceedances.h"
#include "survey/periodfigures.h"

#include <cmath>

namespace CliPeriods {

namespace {

const QLatin1Char Tab('\t');
const QLatin1Char Newline('\n');

QString decimal(const std::optional<double> &value, int decimals = 1)
{
    // QString::number always writes a point, whatever the locale.
    return value ? QString::number(*value == 0.0 ? 0.0 : *value, 'f', decimals) : QString();
}

struct Input
{
    std::optional<CliInput::Arguments> arguments;
    std::optional<ChartModel> chart;
    GraphSource source;
    CliCommands::Output report; // the failure, or the warnings to pass on
};

Input read(const QString &command, const QStringList &arguments, const Clock &clock)
{
    CliInput::Parsed parsed = CliInput::parse(command, arguments);
    if (!parsed.arguments)
        return { std::nullopt, std::nullopt, {}, parsed.report };
    CliInput::Loaded loaded = CliInput::load(*parsed.arguments, clock);
    return { std::move(parsed.arguments), std::move(loaded.chart), loaded.source, loaded.report };
}

CliCommands::Output written(CliCommands::Output report, QString out, long long unplaced)
{
    if (unplaced > 0)
        report.err += QStringLiteral("audexa-cli: %1 valid points have no date-time and are "
                                     "left out\n")
                          .arg(unplaced);
    report.out = std::move(out);
    report.status = CliCommands::Decoded;
    return report;
}

} // namespace

CliCommands::Output periods(const QStringList &arguments, const Clock &clock)
{
    const Input input = read(QStringLiteral("periods"), arguments, clock);
    if (!input.chart)
        return input.report;
    const int period = input.arguments->period.value_or(0);
    const PeriodFigures::Result result
        = PeriodFigures::periods(*input.chart, period, input.source.intervalOf(*input.chart));
    if (result.refusedRows > 0)
        return CliInput::failed(QStringLiteral("the points span %1 periods of %2 s, more than "
                                               "%3; choose a longer period")
                                    .arg(result.refusedRows)
                                    .arg(period)
                                    .arg(PeriodFigures::MaxRows),
                                CliCommands::BadInput);
    QString out;
    for (const PeriodFigures::Row &row : result.rows)
        out += DateTimeDays::isoText(row.startDays()) + Tab + QString::number(row.n) + Tab
            + decimal(row.leq) + Tab + decimal(row.lmax) + Tab + decimal(row.l10) + Tab
            + decimal(row.l90) + Tab + decimal(row.coverage) + Newline;
    return written(input.report, out, result.unplaced);
}

CliCommands::Output lden(const QStringList &arguments, const Clock &clock)
{
    const Input input = read(QStringLiteral("lden"), arguments, clock);
    if (!input.chart)
        return input.report;
    using namespace DayNightLevels;
    const Result result
        = days(*input.chart, input.arguments->hours, input.source.intervalOf(*input.chart));
    // Without an evening its two fields stay empty, so every line has the same fields.
    QString out;
    for (const Row &row : result.rows)
        out += row.date.toString(QStringLiteral("yyyy-MM-dd")) + Tab + decimal(row.leq[Day]) + Tab
            + decimal(row.leq[Evening]) + Tab + decimal(row.leq[Night]) + Tab + decimal(row.lden)
            + Tab + decimal(row.coverage[Day]) + Tab + decimal(row.coverage[Evening]) + Tab
            + decimal(row.coverage[Night]) + Newline;
    return written(input.report, out, result.unplaced);
}

CliCommands::Output exceed(const QStringList &arguments, const Clock &clock)
{
    const Input input = read(QStringLiteral("exceed"), arguments, clock);
    if (!input.chart)
        return input.report;
    const std::optional<double> interval = input.source.intervalOf(*input.chart);
    const Exceedances::Result result
        = Exceedances::of(*input.chart, input.arguments->limit.value_or(0.0), interval);
    const int decimals = Exceedances::secondsDecimals(interval);
    QString out;
    for (const Exceedances::Run &run : result.runs)
        out += DateTimeDays::isoText(run.start) + Tab + decimal(run.seconds, decimals) + Tab
            + decimal(run.lmax) + Tab + decimal(run.leq) + Newline;
    out += QStringLiteral("total") + Tab + QString::number(result.runs.size()) + Tab
        + decimal(result.totalSeconds, decimals) + Newline;
    return written(input.report, out, 0);
}

} // namespace CliPeriods
