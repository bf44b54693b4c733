#include "print/ui/reportcommands.h"

#include "base/appfolders.h"
#include "base/appstate.h"
#include "base/clock.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "chart/ui/chartpicture.h"
#include "chart/ui/pesgraph.h"
#include "graph/ui/tfrmgraph.h"
#include "print/surveyreport.h"
#include "print/ui/tfrmreport.h"

#include <QFileInfo>

namespace ReportCommands {

bool ReportClick(TfrmGraph &graph, WindowServices &services, const InstrumentReader &readInstrument,
                 int periodSeconds)
{
    Prompts &prompts = services.prompts();
    ChartModel &measurement = graph.chartModel();
    const QString mainTitle = measurement.mainTitle.trimmed();
    TfrmReport dialog(mainTitle.isEmpty() ? graph.windowTitle() : mainTitle, measurement.details,
                      services.dialogParent());
    dialog.setInstrumentReader(readInstrument);
    if (prompts.execDialog(dialog) != QDialog::Accepted)
        return false;
    // The details belong to the measurement: kept with it whether or not a report is written, so
    // that saving the graph keeps them.
    measurement.details = dialog.details();
    QString fileName = prompts.saveFileName(
        QStringLiteral("Report"), services.folders().dialogFolder(),
        QStringLiteral("PDF files (*.pdf);;OpenDocument text (*.odt)"), QStringLiteral("pdf"));
    if (fileName.isEmpty())
        return false;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".pdf");

    SurveyReport::Contents contents;
    contents.sections = dialog.sections();
    contents.title = dialog.title();
    contents.note = dialog.note();
    contents.made = services.clock().now();
    contents.locale = QLocale::system();
    contents.details = measurement.details;
    const AppState &state = services.state();
    contents.periodSeconds = periodSeconds;
    contents.hours
        = DayEveningNightHours::parse(state.dayEveningNightHours).value_or(DayEveningNightHours {});
    contents.coverageThreshold = state.coverageThreshold;
    contents.whole = graph.wholeAcousticFigures();
    contents.between = graph.betweenAcousticFigures();
    const GraphStatistics::Fields fields = graph.fields();
    contents.cursorA = { fields.cursorA, fields.cursorATime };
    contents.cursorB = { fields.cursorB, fields.cursorBTime };
    SurveyReport::describeChart(contents, graph.chartModel(), graph.source());
    PESGraph &chart = graph.chart();
    contents.drawGraph = [&chart](QPainter &painter, const QRectF &target) {
        ChartPicture::draw(chart, painter, target);
    };
    const QString error = SurveyReport::write(contents, fileName);
    if (!error.isEmpty()) {
        prompts.showError(error);
        return false;
    }
    return true;
}

} // namespace ReportCommands
