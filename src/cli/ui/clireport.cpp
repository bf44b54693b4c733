#include "cli/ui/clireport.h"

#include "base/clock.h"
#include "chart/ui/chartpicture.h"
#include "chart/ui/pesgraph.h"
#include "cli/clifilenames.h"
#include "cli/cliinput.h"
#include "cli/ui/clipicture.h"
#include "print/surveyreport.h"
#include "survey/cursorplacement.h"
#include "survey/graphstatistics.h"
#include "survey/seriesfigures.h"

#include <QDir>
#include <QFileInfo>

namespace CliReport {

namespace {

SurveyReport::Cursor cursorAt(const ChartModel &chart, int index)
{
    const GraphStatistics::Cursor cursor = GraphStatistics::cursor(chart, index);
    return { cursor.level, cursor.time };
}

} // namespace

CliCommands::Output run(const QStringList &arguments, const Clock &clock)
{
    const CliInput::Parsed parsed = CliInput::parse(QStringLiteral("report"), arguments);
    if (!parsed.arguments)
        return parsed.report;
    const CliInput::Arguments &a = *parsed.arguments;
    const QString suffix = QFileInfo(a.output).suffix().toLower();
    if (suffix != QLatin1String("pdf") && suffix != QLatin1String("odt"))
        return CliInput::failed(QStringLiteral("a report is a PDF file or an OpenDocument text: "
                                               "choose a name ending in \".pdf\" or \".odt\", "
                                               "not \"%1\"")
                                    .arg(QDir::toNativeSeparators(a.output)),
                                CliCommands::BadInput);
    const CliInput::Loaded loaded = CliInput::load(a, clock);
    if (!loaded.chart)
        return loaded.report;
    const ChartModel &model = *loaded.chart;

    SurveyReport::Contents contents;
    contents.locale = QLocale::system();
    contents.made = clock.now();
    contents.details = model.details;
    if (a.sections)
        contents.sections = *a.sections;
    contents.periodSeconds = a.period.value_or(contents.periodSeconds);
    contents.hours = a.hours;
    contents.limit = a.limit; // else the file's own
    const QString mainTitle = model.mainTitle.trimmed();
    contents.title = a.title  ? *a.title
        : mainTitle.isEmpty() ? QFileInfo(a.input).fileName()
                              : mainTitle;
    const SeriesFigures figures(model, loaded.source.intervalOf(model));
    contents.whole = figures.whole();
    // The cursors as the graph window places them on opening the same file.
    if (model.subsets() > 0 && model.points() > 0) {
        const CursorPlacement::Indexes at = CursorPlacement::initial(model);
        // A single point has nothing between the cursors, as in the graph window.
        contents.between
            = model.points() > 1 ? figures.between(at.a, at.b) : AcousticFigures::Figures {};
        contents.cursorA = cursorAt(model, at.a);
        contents.cursorB = cursorAt(model, at.b);
    } else {
        contents.between = contents.whole;
    }
    SurveyReport::describeChart(contents, model, loaded.source);

    PESGraph chart;
    chart.resize(CliPicture::DefaultWidth, CliPicture::DefaultHeight);
    chart.model() = model;
    // The limit the report checks against is the one the graph draws.
    chart.model().limit = contents.limit;
    chart.reinitAndReset();
    contents.drawGraph = [&chart](QPainter &painter, const QRectF &target) {
        ChartPicture::draw(chart, painter, target);
    };
    const QString error = CliFileNames::writeTo(
        a.output, [&contents](const QString &name) { return SurveyReport::write(contents, name); });
    if (!error.isEmpty())
        return CliInput::failed(error, CliCommands::BadInput);
    return { {}, loaded.report.err, CliCommands::Decoded };
}

} // namespace CliReport
