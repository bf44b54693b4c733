#include "app/ui/filecommands.h"

#include "base/appfolders.h"
#include "base/appstate.h"
#include "base/celltable.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "chart/chartblock.h"
#include "chart/chartmodel.h"
#include "chart/ui/pesgraph.h"
#include "files/filefilters.h"
#include "files/graphfile.h"
#include "files/textexport.h"
#include "files/ui/tfrmopensave.h"
#include "files/wholefile.h"
#include "files/workbookwriter.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/periodscommands.h"
#include "graph/ui/tfrmgraph.h"
#include "graph/ui/tfrmperiods.h"
#include "leq/ui/tfrmleq.h"
#include "logger/ui/dataloggercontroller.h"
#include "logger/ui/tablecommands.h"
#include "logger/ui/tfrmlist.h"
#include "survey/cursorplacement.h"
#include "survey/headedcsv.h"
#include "survey/workbooksheets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace {

QString extensionOf(const QString &fileName)
{
    return QFileInfo(fileName).suffix().toLower();
}

QString graphFilter()
{
    return FileFilters::graphFilter(FileFilters::systemUsesDecimalComma());
}

// What the user is told when a file's type is none the command knows.
QString unknownType(const QString &action, const QString &fileName, const QString &extension)
{
    return QStringLiteral("Cannot %1 \"%2\": a file of type \"%3\" cannot be %4. Choose a name "
                          "ending in \".ghf\", \".txt\", \".csv\" or \".xlsx\".")
        .arg(action, QDir::toNativeSeparators(fileName),
             extension.isEmpty() ? QStringLiteral("(none)") : QLatin1Char('.') + extension,
             action == QLatin1String("save") ? QStringLiteral("written") : QStringLiteral("read"));
}

} // namespace

FileCommands::FileCommands(WindowServices &services, GraphWindowFactory &graphs,
                           DataLoggerController &dataLogger, TableCommands &tables,
                           const PeriodsCommands &periods)
    : m_services(services)
    , m_graphs(graphs)
    , m_dataLogger(dataLogger)
    , m_tables(tables)
    , m_periods(periods)
    , m_text(services)
{
}

bool FileCommands::saveChild(MdiChildForm &child)
{
    if (auto *list = qobject_cast<TfrmList *>(&child))
        return m_text.ExportTableText(list->table()) != TextFileCommands::Written::Nothing;
    if (auto *leq = qobject_cast<TfrmLEQ *>(&child))
        return m_text.ExportTableText(leq->table()) != TextFileCommands::Written::Nothing;
    if (auto *periods = qobject_cast<TfrmPeriods *>(&child))
        return m_text.ExportTableText(periods->table()) != TextFileCommands::Written::Nothing;
    auto *graph = qobject_cast<TfrmGraph *>(&child);
    if (!graph)
        return false; // the control panel, for instance, has nothing to save
    if (!graph->isCaption(TfrmGraph::DataLoggerCaption))
        return SaveGraph(*graph);
    // The data logger window: all data sets as a collection, or the shown set as a graph.
    TfrmOpenSave choice(m_services.dialogParent());
    switch (m_services.prompts().execDialog(choice)) {
    case TfrmOpenSave::Ok:
        return m_dataLogger.SaveDataSetCollection();
    case TfrmOpenSave::No:
        return SaveGraph(*graph);
    default:
        return false;
    }
}

bool FileCommands::SaveGraph(TfrmGraph &graph)
{
    Prompts &prompts = m_services.prompts();
    QString chosenType;
    const QString fileName
        = prompts.saveFileName(QStringLiteral("Save As"), m_services.folders().dialogFolder(),
                               FileFilters::graphSaveFilter(FileFilters::systemUsesDecimalComma()),
                               QStringLiteral("GHF"), &chosenType);
    if (fileName.isEmpty())
        return false;
    const QString extension = extensionOf(fileName);
    const ChartModel &model = graph.chartModel();
    if (extension == QLatin1String("xlsx")
        || (extension == QLatin1String("csv")
            && chosenType == QLatin1String(FileFilters::HeadedCsvType))) {
        const QString version = QCoreApplication::applicationVersion();
        const QString error = extension == QLatin1String("xlsx")
            ? WorkbookWriter::write(
                fileName,
                WorkbookSheets::ofMeasurement(model, model.source, model.yAxisLabel,
                                              workbookOptions(graph), QLocale::system()),
                QLocale::system())
            : WholeFile::write(fileName,
                               HeadedCsv::text(model, model.source, model.yAxisLabel, version));
        if (!error.isEmpty()) {
            prompts.showError(error);
            return false;
        }
    } else if (extension == QLatin1String("txt") || extension == QLatin1String("csv")) {
        const ChartModel &chart = graph.chartModel();
        const bool hasSeries = chart.subsets() > 0;
        const TextFileCommands::Written written
            = m_text.ExportGraphText(hasSeries ? chart.xs(0) : std::vector<double>(),
                                     hasSeries ? chart.ys(0) : std::vector<float>(), fileName,
                                     TextExport::separatorForExtension(extension));
        if (written == TextFileCommands::Written::Nothing)
            return false;
        // Some of the points are still saved nowhere: closing the window asks again.
        if (written == TextFileCommands::Written::Part)
            return true;
    } else if (extension == QLatin1String("ghf")) {
        const QString error = GraphFile::write(fileName, graph.chart().storeBlock());
        if (!error.isEmpty()) {
            prompts.showError(error);
            return false;
        }
    } else {
        prompts.showError(unknownType(QStringLiteral("save"), fileName, extension));
        return false;
    }
    // What is saved is no longer unsaved: closing the window asks nothing more.
    if (&graph == m_graphs.RealTimeGraphWindow())
        m_services.state().RealTimeModified = false;
    m_graphs.noteSaved(graph);
    return true;
}

WorkbookSheets::Options FileCommands::workbookOptions(const TfrmGraph &graph) const
{
    // The periods and hours the graph's "Periods" window shows, else 15 minutes and the hours
    // and threshold last chosen.
    WorkbookSheets::Options options;
    options.version = QCoreApplication::applicationVersion();
    const AppState &state = m_services.state();
    options.hours = DayEveningNightHours::parse(state.dayEveningNightHours).value_or(options.hours);
    options.coverageThreshold = state.coverageThreshold;
    if (const TfrmPeriods *periods = m_periods.windowOf(graph)) {
        options.periodSeconds = periods->period();
        options.hours = periods->hours();
        options.coverageThreshold = periods->coverageThreshold();
    }
    return options;
}

void FileCommands::Open1Click()
{
    if (m_services.state().ExchangeRunning)
        return; // the command is disabled while an exchange has the meter
    TfrmOpenSave choice(m_services.dialogParent());
    choice.forOpening(FileFilters::systemUsesDecimalComma());
    switch (m_services.prompts().execDialog(choice)) {
    case TfrmOpenSave::Ok:
        m_dataLogger.OpenDataSetCollection();
        return;
    case TfrmOpenSave::No:
        break;
    default:
        return;
    }
    OpenSingleDataFile();
}

void FileCommands::OpenSingleDataFile()
{
    const QString fileName = m_services.prompts().openFileName(
        QStringLiteral("Open"), m_services.folders().dialogFolder(), graphFilter());
    if (fileName.isEmpty())
        return;
    const QString extension = extensionOf(fileName);
    if (extension == QLatin1String("ghf"))
        OpenGraphFile(fileName);
    else if (extension == QLatin1String("txt") || extension == QLatin1String("csv"))
        m_tables.ImportTextFile(fileName, extension);
    else
        m_services.prompts().showError(unknownType(QStringLiteral("open"), fileName, extension));
}

bool FileCommands::OpenGraphFile(const QString &fileName)
{
    // The whole file is read and parsed before a window is made, so a bad file makes none.
    const GraphFile::ReadResult read = GraphFile::read(fileName);
    if (!read.block) {
        m_services.prompts().showError(read.error);
        return false;
    }
    QString error;
    ChartModel parsed;
    if (!ChartBlock::load(*read.block, parsed, &error)) {
        m_services.prompts().showError(QStringLiteral("\"%1\" cannot be read as a graph: %2")
                                           .arg(QDir::toNativeSeparators(fileName), error));
        return false;
    }
    TfrmGraph &graph = m_graphs.createGraph(QFileInfo(fileName).absoluteFilePath());
    graph.chart().loadBlock(*read.block);
    graph.setSource(GraphSource::file(QFileInfo(fileName).absoluteFilePath()));
    graph.UpdateGraphStatistics();
    // The cursors the file keeps, as its report and audexa-cli read them.
    if (parsed.points() > 0)
        graph.placeCursorsOn(CursorPlacement::initial(parsed));
    graph.chart().reinitAndReset();
    return true;
}
