#include "cli/cliworkbook.h"

#include "base/version.h"
#include "cli/clifilenames.h"
#include "cli/cliinput.h"
#include "files/workbookwriter.h"
#include "survey/workbooksheets.h"

#include <QFileInfo>
#include <QLocale>

namespace CliWorkbook {

CliCommands::Output run(const QStringList &arguments, const Clock &clock)
{
    const CliInput::Parsed parsed = CliInput::parse(QStringLiteral("workbook"), arguments);
    if (!parsed.arguments)
        return parsed.report;
    const CliInput::Arguments &a = *parsed.arguments;
    if (QFileInfo(a.output).suffix().compare(u"xlsx", Qt::CaseInsensitive) != 0)
        return CliInput::failed(QStringLiteral("the workbook's name must end in \".xlsx\", not "
                                               "\"%1\"")
                                    .arg(a.output),
                                CliCommands::BadInput);
    const CliInput::Loaded loaded = CliInput::load(a, clock);
    if (!loaded.chart)
        return loaded.report;
    WorkbookSheets::Options options;
    options.periodSeconds = a.period.value_or(options.periodSeconds);
    options.hours = a.hours;
    options.version = QLatin1String(AudexaVersion);
    const QLocale locale = QLocale::system();
    const ChartModel &chart = *loaded.chart;
    const std::vector<WorkbookWriter::Sheet> sheets
        = WorkbookSheets::ofMeasurement(chart, loaded.source, chart.yAxisLabel, options, locale);
    const QString error = CliFileNames::writeTo(
        a.output, [&](const QString &name) { return WorkbookWriter::write(name, sheets, locale); });
    if (!error.isEmpty())
        return CliInput::failed(error, CliCommands::BadInput);
    return { {}, loaded.report.err, CliCommands::Decoded };
}

} // namespace CliWorkbook
