#include "cli/ui/clipicture.h"

#include "chart/ui/chartpicture.h"
#include "chart/ui/pesgraph.h"
#include "cli/clifilenames.h"
#include "cli/cliinput.h"

namespace CliPicture {

CliCommands::Output run(const QStringList &arguments, const Clock &clock)
{
    const CliInput::Parsed parsed = CliInput::parse(QStringLiteral("picture"), arguments);
    if (!parsed.arguments)
        return parsed.report;
    const CliInput::Loaded loaded = CliInput::load(*parsed.arguments, clock);
    if (!loaded.chart)
        return loaded.report;
    const QSize size = parsed.arguments->size.value_or(QSize(DefaultWidth, DefaultHeight));
    PESGraph chart;
    chart.resize(size);
    chart.model() = *loaded.chart;
    chart.reinitAndReset();
    const QString error
        = CliFileNames::writeTo(parsed.arguments->output, [&chart, size](const QString &name) {
              return ChartPicture::save(chart, name, size);
          });
    if (!error.isEmpty())
        return CliInput::failed(error, CliCommands::BadInput);
    return { {}, loaded.report.err, CliCommands::Decoded };
}

} // namespace CliPicture
