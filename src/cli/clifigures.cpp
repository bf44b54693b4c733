#include "cli/clifigures.h"

#include "cli/cliinput.h"
#include "survey/methodlines.h"
#include "survey/seriesfigures.h"

namespace CliFigures {

CliCommands::Output run(const QStringList &arguments, const Clock &clock)
{
    const CliInput::Parsed parsed = CliInput::parse(QStringLiteral("figures"), arguments);
    if (!parsed.arguments)
        return parsed.report;
    const CliInput::Arguments &a = *parsed.arguments;
    const CliInput::Loaded loaded = CliInput::load(a, clock);
    if (!loaded.chart)
        return loaded.report;
    const ChartModel &chart = *loaded.chart;
    const int points = chart.subsets() > 0 ? chart.points() : 0;
    if (const std::optional<CliCommands::Output> beyond = CliInput::pointsBeyond(a, points))
        return *beyond;
    const int last = a.to.value_or(points);
    const SeriesFigures series(chart, loaded.source.intervalOf(chart));
    AcousticFigures::Figures figures
        = a.from || a.to ? series.between(a.from.value_or(1) - 1, last - 1) : series.whole();
    if (a.category) {
        // Without an interval of the category there is no point of it: N 0.
        figures = series.ofCategory(*a.category).value_or(AcousticFigures::Figures {});
        AcousticFigures::completeDuration(figures, loaded.source.intervalOf(chart));
    }
    QString out;
    for (const AcousticFigures::Line &line : AcousticFigures::lines(figures, QLocale::c(), 0))
        out += line.name + QLatin1Char('\t') + line.value + QLatin1Char('\n');
    if (a.method) {
        // After a blank line, so the figures' lines read as before. The command line has no
        // settings: the default day-evening-night hours and coverage threshold.
        out += QLatin1Char('\n');
        for (const QString &line :
             MethodLines::lines(chart, loaded.source, chart.yAxisLabel, {}, QLocale::c()))
            out += line + QLatin1Char('\n');
    }
    CliCommands::Output output = loaded.report;
    output.out = out;
    output.status = CliCommands::Decoded;
    return output;
}

} // namespace CliFigures
