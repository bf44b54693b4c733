#include "logger/ui/dataloggercontroller.h"

#include "base/appfolders.h"
#include "base/appstate.h"
#include "base/clock.h"
#include "base/datetimedays.h"
#include "base/ui/progresswindow.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "chart/chartmodel.h"
#include "chart/ui/pesgraph.h"
#include "files/datasetfile.h"
#include "files/filefilters.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/tfrmgraph.h"
#include "logger/datasetchart.h"
#include "logger/datasetfigures.h"
#include "logger/datasetrows.h"
#include "logger/memorydecoder.h"
#include "logger/memorydownload.h"
#include "logger/setstartbytes.h"
#include "logger/ui/tfrmdatetime.h"
#include "meter/meterlink.h"
#include "meter/meterusb.h"
#include "meter/ui/meterservices.h"
#include "survey/overlayplacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// What an analysis file is set aside as before it would be lost.
const QString OldSuffix = QStringLiteral(".old");
bool holdsDataSets(int code)
{
    return code == MemoryDecoder::Decoded || code == MemoryDecoder::BadMarker
        || code == MemoryDecoder::BeyondLastAddress || code == MemoryDecoder::StartTimeFailed;
}

// What a save keeps of the sets' analysis: the sets that hold any, without their cursors (which
// every graph places, and which alone are no work to lose).
AnalysisFile::Sets worthKeeping(const AnalysisFile::Sets &sets)
{
    AnalysisFile::Sets kept;
    for (const auto &[set, analysis] : sets)
        if (!analysis.analysis.holdsNothing())
            kept.emplace(set, analysis);
    return kept;
}

AnalysisFile::Sets withoutCursors(AnalysisFile::Sets sets)
{
    for (auto &[set, analysis] : sets)
        analysis.analysis.verticalLines = {};
    return sets;
}
} // namespace

DataLoggerController::DataLoggerController(WindowServices &services, MeterServices &meter,
                                           GraphWindowFactory &graphs, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_meter(meter)
    , m_graphs(graphs)
{
    connect(&m_graphs, &GraphWindowFactory::dataLoggerGraphCreated, this,
            &DataLoggerController::connectPanel);
}

void DataLoggerController::connectPanel(TfrmGraph *graph)
{
    connect(graph, &TfrmGraph::dataSetRowClicked, this, &DataLoggerController::Grid2Click);
    connect(graph, &TfrmGraph::changeDateTimeRequested, this,
            &DataLoggerController::ChangeDateTime1Click);
    graph->setUnsavedAnalysisCheck([this] { return hasUnsavedAnalysis(); });
    // Closing the window lets its data sets go (their analysis was offered for saving): a later
    // window starts without them.
    connect(graph, &MdiChildForm::formClosed, this, [this] {
        m_shownSet = -1;
        m_analyses.clear();
        m_savedAnalyses.clear();
    });
}

QString DataLoggerController::tempFile() const
{
    return DataSetFile::tempFile(m_services.folders().tempFolder());
}

void DataLoggerController::LoadData1Click()
{
    AppState &state = m_services.state();
    Prompts &prompts = m_services.prompts();
    // While an exchange has the meter the command is disabled; nothing starts inside it.
    if (state.ExchangeRunning)
        return;
    if (!state.Connected) {
        prompts.showMessage(QStringLiteral("There is no connection with meter !"));
        return;
    }
    if (state.MeterRecording) {
        prompts.showMessage(QStringLiteral(
            "The meter is recording data, please stop recording before loading data."));
        return;
    }
    if (!mayReplaceDataSets())
        return;
    const bool existed = m_graphs.DataLoggerGraphWindow();
    TfrmGraph &graph = m_graphs.showDataLoggerGraph();
    graph.repaint();
    if (!existed)
        m_services.clock().spinWait(300);

    const MeterExchange exchange(m_meter);
    if (!exchange.active())
        return;
    int code = 0;
    {
        ProgressWindow progress(ProgressWindow::Use::Download, m_services.dialogParent());
        code = LoadLoggerMemory(&progress);
    }
    if (code == MemoryDecoder::Decoded || code == MemoryDecoder::BadMarker
        || code == MemoryDecoder::BeyondLastAddress) {
        state.loggerDataLoaded = true;
    } else if (code == MemoryDecoder::NoDataSets) {
        prompts.showMessage(QStringLiteral("There was not any data recorded in momery of meter !"));
    } else if (code != TempFolderFailed) {
        prompts.showMessage(QStringLiteral("There was error,please try again!   error code=")
                            + QString::number(code));
        // Resynchronise the meter on the device as the transfer left it (it is not opened).
        MeterLink &link = m_meter.link();
        link.usb().UsbAfterWrite();
        CommandFrame resync = link.command();
        resync.setCommand('Q');
        link.usb().UsbWriteReport(CommandFrame::Size, resync.data());
    }
}

int DataLoggerController::LoadLoggerMemory(WorkProgress *progress)
{
    AppState &state = m_services.state();
    state.memoryImage.clear();
    const int read = MemoryDownload::ReadLoggerMemory(m_meter.link(), state.memoryImage,
                                                      state.lastAddress, progress);
    if (read != MemoryDownload::Done) {
        state.memoryImage.clear();
        return read;
    }
    const int code = decodeAndShow();
    state.memoryImage.clear();
    return code;
}

bool DataLoggerController::mayReplaceDataSets()
{
    TfrmGraph *graph = m_graphs.DataLoggerGraphWindow();
    if (!graph || !(m_services.state().loggerDataLoaded || hasUnsavedAnalysis()))
        return true;
    // The question is asked with the data sets it is about in front.
    m_services.activateChildWindow(*graph);
    return graph->offerToSaveLoggerData();
}

int DataLoggerController::decodeAndShow(const QString &collectionFile)
{
    AppState &state = m_services.state();
    // The decoder leaves the data sets as they were when it refuses the memory; the temporary
    // file and the name stay with them, so that a save or a report never takes the refused
    // memory for the data sets shown.
    const int code = MemoryDecoder::DecodeLoggerMemory(state.memoryImage, state.lastAddress,
                                                       m_services.clock(), m_data);
    if (!holdsDataSets(code))
        return code;
    const DataSetFile::WriteResult written = DataSetFile::WriteTempDataSetFile(
        state.memoryImage, state.lastAddress, m_services.folders().tempFolder());
    m_tempFileCurrent = written.status == DataSetFile::WriteResult::Written;
    if (!m_tempFileCurrent)
        m_services.prompts().showError(written.error);
    m_collectionFile = collectionFile;
    // New data sets bring their own analysis, or none.
    m_analyses.clear();
    m_shownSet = -1;
    if (!collectionFile.isEmpty())
        readAnalysisFile(collectionFile);
    m_savedAnalyses = withoutCursors(worthKeeping(m_analyses));
    FillDataSetsPanel();
    // Without its temporary folder the download ends here. A file that could not be written
    // only stops the collection from being saved: the data sets are still shown.
    if (written.status == DataSetFile::WriteResult::FolderFailed)
        return TempFolderFailed;
    GraphDataSet(0);
    return code;
}

void DataLoggerController::FillDataSetsPanel()
{
    TfrmGraph *graph = m_graphs.DataLoggerGraphWindow();
    if (!graph)
        return;
    QList<QStringList> rows;
    for (int i = 0; i < m_data.setCount(); ++i)
        rows.append(DataSetRows::row(m_data, i));
    graph->showDataSetRows(rows);
}

AnalysisFile::Sets DataLoggerController::analyses() const
{
    AnalysisFile::Sets sets = m_analyses;
    const TfrmGraph *graph = m_graphs.DataLoggerGraphWindow();
    if (graph && m_shownSet >= 0 && m_shownSet < m_data.setCount()) {
        const std::size_t s = std::size_t(m_shownSet);
        sets[m_shownSet]
            = { m_data.setStartTimes[s], m_data.setCounts[s], graph->chartModel().analysis() };
    }
    return sets;
}

bool DataLoggerController::hasUnsavedAnalysis() const
{
    return withoutCursors(worthKeeping(analyses())) != m_savedAnalyses;
}

void DataLoggerController::keepShownAnalysis()
{
    const TfrmGraph *graph = m_graphs.DataLoggerGraphWindow();
    if (!graph || m_shownSet < 0 || m_shownSet >= m_data.setCount())
        return;
    const std::size_t s = std::size_t(m_shownSet);
    m_analyses[m_shownSet]
        = { m_data.setStartTimes[s], m_data.setCounts[s], graph->chartModel().analysis() };
}

void DataLoggerController::readAnalysisFile(const QString &collectionFile)
{
    const AnalysisFile::ReadResult read = AnalysisFile::read(collectionFile);
    const QString name = AnalysisFile::fileFor(collectionFile);
    const QString keptAs = QStringLiteral(" Saving the collection keeps that file as \"%1\".")
                               .arg(QDir::toNativeSeparators(name + OldSuffix));
    m_notReadWhole.clear();
    if (!read.error.isEmpty()) {
        m_notReadWhole = name;
        m_services.prompts().showError(
            read.error + QStringLiteral(" The data sets are opened without their analysis.")
            + keptAs);
        return;
    }
    int unmatched = 0;
    for (const auto &[set, kept] : read.sets) {
        const std::size_t s = std::size_t(set);
        if (set < m_data.setCount() && kept.start == m_data.setStartTimes[s]
            && kept.points == m_data.setCounts[s])
            m_analyses.emplace(set, kept);
        else
            ++unmatched;
    }
    if (unmatched > 0) {
        m_notReadWhole = name;
        m_services.prompts().showError(
            QStringLiteral("The analysis of %1 data set(s) in \"%2\" no longer matches the data "
                           "sets and is left out.")
                .arg(unmatched)
                .arg(QDir::toNativeSeparators(name))
            + keptAs);
    }
}

void DataLoggerController::GraphDataSet(int set)
{
    TfrmGraph *graph = m_graphs.DataLoggerGraphWindow();
    if (!graph || set < 0 || set >= m_data.setCount())
        return;
    // The set shown keeps what the user added to it; the set graphed shows its own.
    keepShownAnalysis();
    m_shownSet = set;
    const DataSetChart::Span span = DataSetChart::span(m_data, set);
    graph->ResetGraphData(1, 130, 30, span.end, span.start, span.count);
    DataSetChart::fillSeries(graph->chartModel(), m_data, set);
    const std::size_t s = std::size_t(set);
    GraphSource source
        = GraphSource::dataSetOf(set + 1, m_data.setStartTimes[s], m_data.setIntervals[s],
                                 DataSetRows::weightingText(m_data.setFlags[s]),
                                 DataSetRows::responseText(m_data.setFlags[s]));
    source.fileName = m_collectionFile;
    graph->setSource(source);
    graph->showFigures(DataSetFigures::of(m_data, set));
    if (const auto kept = m_analyses.find(set); kept != m_analyses.end())
        graph->showAnalysis(kept->second.analysis);
    graph->chart().redraw();
}

void DataLoggerController::Grid2Click(int row)
{
    TfrmGraph *graph = m_graphs.DataLoggerGraphWindow();
    if (!graph || graph->dataSetCell(1, row).isEmpty())
        return;
    GraphDataSet(row - 1);
}

void DataLoggerController::ChangeDateTime1Click(int row)
{
    TfrmGraph *graph = m_graphs.DataLoggerGraphWindow();
    if (!graph || graph->dataSetCell(1, row).isEmpty())
        return;
    ChangeDataSetStart(row - 1);
}

void DataLoggerController::ChangeDataSetStart(int set)
{
    if (set < 0 || set >= m_data.setCount())
        return;
    Prompts &prompts = m_services.prompts();
    TfrmDateTime dialog(m_services.dialogParent());
    // The dialog starts at the set's start as recorded, the time the user corrects.
    dialog.setDateTime(DateTimeDays::toDateTime(m_data.setStartTimes[std::size_t(set)]));
    if (prompts.execDialog(dialog) != QDialog::Accepted)
        return;
    const QDateTime start = dialog.dateTime();
    // The correction goes into the set's header in the temporary file as well, so that a saved
    // collection keeps it.
    const std::optional<QByteArray> bytes = SetStartBytes::encode(start);
    if (!bytes) {
        prompts.showError(QStringLiteral("The meter keeps years %1 to %2 only: %3 cannot be "
                                         "stored. The start time is unchanged.")
                              .arg(SetStartBytes::FirstYear)
                              .arg(SetStartBytes::LastYear)
                              .arg(start.date().year()));
        return;
    }
    const QString error = m_tempFileCurrent
        ? DataSetFile::patchFile(
            tempFile(), m_data.setHeaderOffsets[std::size_t(set)] + SetStartBytes::Offset, *bytes)
        : QStringLiteral("The downloaded data sets are no longer in \"%1\".")
              .arg(QDir::toNativeSeparators(tempFile()));
    if (!error.isEmpty()) {
        prompts.showError(error + QStringLiteral(" The start time is unchanged."));
        return;
    }
    // What the user placed on the set moves with its points.
    keepShownAnalysis();
    const double newStart = DateTimeDays::fromDateTime(start.date(), start.time());
    if (const auto kept = m_analyses.find(set); kept != m_analyses.end()) {
        kept->second.analysis.moveBy(newStart - m_data.setStartTimes[std::size_t(set)]);
        kept->second.start = newStart;
    }
    if (m_shownSet == set)
        m_shownSet = -1;
    m_data.changeSetStart(set, newStart);
    // An overlay laid by clock time keeps its time of day: its whole days from the moved points.
    if (const auto kept = m_analyses.find(set); kept != m_analyses.end()) {
        std::optional<OverlaySeries> &overlay = kept->second.analysis.overlay;
        if (overlay && overlay->alignment == OverlayAlignment::ClockTime) {
            ChartModel moved;
            DataSetChart::draw(moved, m_data, set);
            if (const std::optional<double> shift = OverlayPlacement::shiftFor(
                    OverlayAlignment::ClockTime, moved, overlay->xs, overlay->ys))
                overlay->shift = *shift;
        }
    }
    if (TfrmGraph *graph = m_graphs.DataLoggerGraphWindow())
        graph->setDataSetRow(set + 1, DataSetRows::row(m_data, set));
    GraphDataSet(set);
}

bool DataLoggerController::OpenDataSetCollection()
{
    AppState &state = m_services.state();
    if (state.ExchangeRunning)
        return false;
    if (!mayReplaceDataSets())
        return false;
    m_graphs.showDataLoggerGraph();
    Prompts &prompts = m_services.prompts();
    const QString fileName
        = prompts.openFileName(QStringLiteral("Open"), m_services.folders().dialogFolder(),
                               FileFilters::collectionOpenFilter());
    if (fileName.isEmpty())
        return false;
    const DataSetFile::ReadResult read = DataSetFile::readCollection(fileName);
    if (!read.memory) {
        prompts.showError(read.error);
        return false;
    }
    state.memoryImage = *read.memory;
    state.lastAddress = *DataSetFile::lastAddressOf(state.memoryImage);
    const int code = decodeAndShow(fileName);
    state.memoryImage.clear();
    if (code == MemoryDecoder::NoDataSets || code == MemoryDecoder::TooManySets)
        prompts.showError(
            QStringLiteral("The file holds no data sets that can be read (code %1).").arg(code));
    // Data sets shown from a file leave no download unsaved.
    if (code == TempFolderFailed || holdsDataSets(code))
        state.loggerDataLoaded = false;
    return holdsDataSets(code);
}

bool DataLoggerController::SaveDataSetCollection()
{
    Prompts &prompts = m_services.prompts();
    const QString fileName
        = prompts.saveFileName(QStringLiteral("Save As"), m_services.folders().dialogFolder(),
                               FileFilters::collectionSaveFilter(), QStringLiteral("REC"));
    if (fileName.isEmpty())
        return false;
    if (!m_tempFileCurrent) {
        const QString shown = QDir::toNativeSeparators(fileName);
        prompts.showError(
            m_data.setCount() == 0
                ? QStringLiteral("Cannot save \"%1\": no data sets have been loaded or opened.")
                      .arg(shown)
                : QStringLiteral("Cannot save \"%1\": the data sets shown could not be kept in "
                                 "\"%2\".")
                      .arg(shown, QDir::toNativeSeparators(tempFile())));
        return false;
    }
    const QString error = DataSetFile::SaveDataSetCollection(tempFile(), fileName);
    if (!error.isEmpty()) {
        prompts.showError(error);
        return false;
    }
    m_services.state().loggerDataLoaded = false;
    m_collectionFile = fileName;
    return saveAnalysisFile(fileName);
}

bool DataLoggerController::saveAnalysisFile(const QString &collectionFile)
{
    keepShownAnalysis();
    const AnalysisFile::Sets kept = worthKeeping(m_analyses);
    const QString name = AnalysisFile::fileFor(collectionFile);
    QString error;
    // An analysis file is never lost: one that was not read whole, or that would be removed
    // (no set holds any now, and it would bring back what the user removed), is set aside.
    if (QFileInfo::exists(name) && (kept.empty() || name == m_notReadWhole)) {
        const QString aside = name + OldSuffix;
        if ((QFileInfo::exists(aside) && !QFile::remove(aside)) || !QFile::rename(name, aside))
            error = QStringLiteral("Cannot set the earlier analysis \"%1\" aside as \"%2\".")
                        .arg(QDir::toNativeSeparators(name), QDir::toNativeSeparators(aside));
        else
            m_notReadWhole.clear();
    }
    if (error.isEmpty() && !kept.empty())
        error = AnalysisFile::write(collectionFile, kept);
    if (error.isEmpty()) {
        m_savedAnalyses = withoutCursors(kept);
        return true;
    }
    m_services.prompts().showError(
        QStringLiteral("The data sets were saved in \"%1\", but their analysis was not: %2")
            .arg(QDir::toNativeSeparators(collectionFile), error));
    return false;
}
