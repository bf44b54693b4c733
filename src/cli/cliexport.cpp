#include "cli/cliexport.h"

#include "base/version.h"
#include "cli/clifilenames.h"
#include "cli/cliinput.h"
#include "files/textexport.h"
#include "files/wholefile.h"
#include "survey/headedcsv.h"

#include <QFileInfo>

namespace CliExport {

CliCommands::Output run(const QStringList &arguments, const Clock &clock, const QLocale &locale)
{
    const CliInput::Parsed parsed = CliInput::parse(QStringLiteral("export"), arguments);
    if (!parsed.arguments)
        return parsed.report;
    const QString &output = parsed.arguments->output;
    const CliInput::Loaded loaded = CliInput::load(*parsed.arguments, clock);
    if (!loaded.chart)
        return loaded.report;
    const bool toStandardOutput = output == QLatin1String("-");
    const ChartModel &chart = *loaded.chart;
    if (parsed.arguments->withHeader) {
        // Its own form whatever the locale: a point for decimals, ISO 8601 times.
        const QByteArray bytes
            = HeadedCsv::text(chart, loaded.source, chart.yAxisLabel, QLatin1String(AudexaVersion));
        if (toStandardOutput)
            return { QString::fromUtf8(bytes), loaded.report.err, CliCommands::Decoded };
        const QString error = CliFileNames::writeTo(
            output, [&bytes](const QString &name) { return WholeFile::write(name, bytes); });
        if (!error.isEmpty())
            return CliInput::failed(error, CliCommands::BadInput);
        return { {}, loaded.report.err, CliCommands::Decoded };
    }
    const char separator
        = toStandardOutput ? '\t' : TextExport::separatorForExtension(QFileInfo(output).suffix());
    if (separator == ',' && !TextExport::commaFormAllowed(locale))
        return CliInput::failed(TextExport::commaFormRefused(output), CliCommands::BadInput);
    // The first series of the chart; a graph without one gives no lines.
    const std::vector<double> none;
    const std::vector<float> noLevels;
    const std::vector<double> &xs = chart.subsets() > 0 ? chart.xs(0) : none;
    const std::vector<float> &ys = chart.subsets() > 0 ? chart.ys(0) : noLevels;
    const TextExport::Lines lines
        = TextExport::graphLines(xs, ys, { 1, int(xs.size()) }, separator, locale);
    if (toStandardOutput)
        return { QString::fromUtf8(lines.bytes), loaded.report.err, CliCommands::Decoded };
    const QString error = CliFileNames::writeTo(
        output, [&lines](const QString &name) { return WholeFile::write(name, lines.bytes); });
    if (!error.isEmpty())
        return CliInput::failed(error, CliCommands::BadInput);
    return { {}, loaded.report.err, CliCommands::Decoded };
}

} // namespace CliExport
