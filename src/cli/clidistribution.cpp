#include "cli/clidistribution.h"

#include "cli/cliinput.h"
#include "survey/leveldistribution.h"
#include "survey/seriesfigures.h"

namespace CliDistribution {

CliCommands::Output run(const QStringList &arguments, const Clock &clock)
{
    const CliInput::Parsed parsed = CliInput::parse(QStringLiteral("distribution"), arguments);
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
    const LevelDistribution::Result result = LevelDistribution::of(
        a.from || a.to ? series.validLevelsBetween(a.from.value_or(1) - 1, last - 1)
                       : series.validLevels(),
        a.classTenths);
    if (result.tooManyClasses)
        return CliInput::failed(QStringLiteral("the levels span more than %1 classes of %2 dB; "
                                               "choose a wider --class")
                                    .arg(LevelDistribution::MaxClasses)
                                    .arg(a.classTenths / 10.0),
                                CliCommands::BadInput);
    CliCommands::Output output = loaded.report;
    output.out = LevelDistribution::lines(result);
    output.status = CliCommands::Decoded;
    return output;
}

} // namespace CliDistribution
