#include "cli/ui/clireport.h"

#include "base/clock.h"
#include "cli/clifilenames.h"
#include "cli/cliinput.h"
#include "cli/ui/clipicture.h"
#include "graph/graphstatistics.h"
#include "graph/seriesfigures.h"
#include "graph/ui/chartpicture.h"
#include "graph/ui/pesgraph.h"
#include "print/surveyreport.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace CliReport {

namespace {

// The point cursor line `line` stands on: the first whose X is not before the line, when the
// line lies within the data; none for a line never placed.
std::optional<int> cursorIndex(const ChartModel &chart, std::size_t line)
{
    if (chart.subsets() < 1 || chart.points() < 1)
        return std::nullopt;
    const std::vector<double> &xs = chart.xs(0);
    const double x = chart.verticalLines[line].x;
    if (!(x >= xs.front() && x <= xs.back()))
        return std::nullopt;
    return int(std::lower_bound(xs.begin(), xs.end(), x) - xs.begin());
}

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
    if (QFileInfo(a.output).suffix().toLower() != QLatin1String("pdf"))
        return CliInput::failed(QStringLiteral("a report is a PDF file: choose a name ending in "
                                               "\".pdf\", not \"%1\"")
                                    .arg(QDir::toNativeSeparators(a.output)),
                                CliCommands::BadInput);
    const CliInput::Loaded loaded = CliInput::load(a, clock);
    if (!loaded.chart)
        return loaded.report;
    const ChartModel &model = *loaded.chart;

    SurveyReport::Contents contents;
    contents.locale = QLocale::system();
    contents.made = clock.now();
    const QString mainTitle = model.mainTitle.trimmed();
    contents.title = a.title  ? *a.title
        : mainTitle.isEmpty() ? QFileInfo(a.input).fileName()
                              : mainTitle;
    const SeriesFigures figures(model, loaded.source.intervalOf(model));
    contents.whole = figures.whole();
    const std::optional<int> cursorA = cursorIndex(model, 0);
    const std::optional<int> cursorB = cursorIndex(model, 1);
    if (cursorA && cursorB) {
        contents.between = figures.between(*cursorA, *cursorB);
        contents.cursorA = cursorAt(model, *cursorA);
        contents.cursorB = cursorAt(model, *cursorB);
    } else {
        contents.between = contents.whole;
    }
    SurveyReport::describeChart(contents, model, loaded.source);

    PESGraph chart;
    chart.resize(CliPicture::DefaultWidth, CliPicture::DefaultHeight);
    chart.model() = model;
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
