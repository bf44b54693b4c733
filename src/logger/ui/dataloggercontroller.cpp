#include "logger/ui/dataloggercontroller.h"

#include "app/clock.h"
#include "app/ui/progresswindow.h"
#include "app/ui/prompts.h"
#include "app/ui/stringgrid.h"
#include "app/ui/tfrmmain.h"
#include "files/datasetfile.h"
#include "graph/datetimedays.h"
#include "graph/graphstatistics.h"
#include "graph/ui/pesgraph.h"
#include "graph/ui/tslider2.h"
#include "logger/datasetrows.h"
#include "logger/memorydecoder.h"
#include "logger/memorydownload.h"
#include "logger/ui/tfrmdatetime.h"
#include "meter/meterusb.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {
bool holdsDataSets(int code)
{
    return code == MemoryDecoder::Decoded || code == MemoryDecoder::BadMarker
        || code == MemoryDecoder::BeyondLastAddress || code == MemoryDecoder::StartTimeFailed;
}
const QString CollectionOpenFilter = QStringLiteral("Data Sets Collection (*.REC) (*.REC *.rec)");
const QString CollectionSaveFilter
    = QStringLiteral("Data Set Collection file(*.rec,only for Q7316) (*.REC *.rec)");
} // namespace

QString DataLoggerController::tempFile() const
{
    return DataSetFile::tempFile(m_main.state().DataFolder, m_main.folders().programFolder);
}

TfrmGraph &DataLoggerController::ensureWindow()
{
    if (TfrmGraph *existing = m_main.DataLoggerGraphWindow) {
        existing->parentWidget()->showNormal();
        return *existing;
    }
    auto *graph = new TfrmGraph(m_main);
    graph->setWindowTitle(TfrmGraph::DataLoggerCaption);
    QMdiSubWindow *frame = m_main.addChildWindow(graph);
    m_main.DataLoggerGraphWindow = graph;
    QObject::connect(graph, &MdiChildForm::formClosed, &m_main,
                     [this, graph] { m_main.graphWindowClosed(graph); });
    graph->pnlDataSets->show();
    QMdiArea &area = m_main.mdiArea();
    frame->setGeometry(0, 0, area.width(), qMax(200, area.height() - 60));
    const double now = DateTimeDays::fromDateTime(m_main.clock().now());
    graph->PrepareGraph(1, 130, 30, now + 500 * DateTimeDays::OneSecond, now, 500);
    graph->PESGraph1->model().allowGraphAnnotHotSpots = true;
    frame->show();
    m_main.mdiArea().setActiveSubWindow(frame);
    FillDataSetsPanel();
    return *graph;
}

void DataLoggerController::LoadData1Click()
{
    AppState &state = m_main.state();
    Prompts &prompts = m_main.prompts();
    if (!state.Connected) {
        prompts.showMessage(QStringLiteral("There is no connection with meter !"));
        return;
    }
    if (state.MeterRecording) {
        prompts.showMessage(QStringLiteral(
            "The meter is recording data, please stop recording before loading data."));
        return;
    }
    const bool existed = m_main.DataLoggerGraphWindow;
    TfrmGraph &graph = ensureWindow();
    graph.repaint();
    if (!existed)
        m_main.clock().spinWait(300);

    m_main.StopPolling();
    int code = 0;
    {
        ProgressWindow progress(ProgressWindow::Use::Download, &m_main);
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
        MeterLink &link = m_main.link();
        link.usb().UsbAfterWrite();
        CommandFrame resync = link.command();
        resync.setCommand('Q');
        link.usb().UsbWriteReport(CommandFrame::Size, resync.data());
    }
    m_main.MainTimer.start();
}

int DataLoggerController::LoadLoggerMemory(DownloadProgress *progress)
{
    AppState &state = m_main.state();
    state.memoryImage.clear();
    const int read = MemoryDownload::ReadLoggerMemory(m_main.link(), state.memoryImage,
                                                      state.lastAddress, progress);
    if (read != MemoryDownload::Done) {
        state.memoryImage.clear();
        return read;
    }
    const int code = decodeAndShow();
    state.memoryImage.clear();
    return code;
}

int DataLoggerController::decodeAndShow()
{
    AppState &state = m_main.state();
    const int code = MemoryDecoder::DecodeLoggerMemory(state.memoryImage, state.lastAddress,
                                                       m_main.clock(), m_data);
    if (!holdsDataSets(code))
        return code;
    FillDataSetsPanel();
    const QString folder
        = DataSetFile::tempFolder(state.DataFolder, m_main.folders().programFolder);
    const QString failedFolder
        = DataSetFile::WriteTempDataSetFile(state.memoryImage, state.lastAddress, folder);
    if (!failedFolder.isEmpty()) {
        m_main.prompts().showError(failedFolder);
        return TempFolderFailed;
    }
    GraphDataSet(0);
    return code;
}

void DataLoggerController::FillDataSetsPanel()
{
    TfrmGraph *graph = m_main.DataLoggerGraphWindow;
    if (!graph)
        return;
    StringGrid &grid = *graph->Grid2;
    const int sets = m_data.setCount();
    grid.setRowCount(std::max(1, sets) + 1);
    if (sets == 0) {
        grid.setRow(1, QStringList(8, QString()));
        return;
    }
    for (int i = 0; i < sets; ++i)
        grid.setRow(i + 1, DataSetRows::row(m_data, i));
    grid.selectRow(1);
    // Dates and times in the user's format may be wider than the columns' first widths.
    grid.resizeColumnsToContents();
    graph->fitDataSetsPanel();
}

void DataLoggerController::GraphDataSet(int set)
{
    TfrmGraph *graph = m_main.DataLoggerGraphWindow;
    if (!graph || set < 0 || set >= m_data.setCount())
        return;
    const std::size_t i = static_cast<std::size_t>(set);
    const int first = m_data.setOffset(set);
    const int count = m_data.setCounts[i];
    const double step = m_data.setIntervals[i] * DateTimeDays::OneSecond;
    const double start = m_data.setStartTimes[i];
    // A set without readings still gets a minute of time axis, so the empty chart reads sensibly.
    const double end
        = count > 0 && step > 0 ? start + count * step : start + 60 * DateTimeDays::OneSecond;
    graph->ResetGraphData(1, 130, 30, end, start, count);
    ChartModel &chart = graph->PESGraph1->model();
    const auto from = static_cast<std::ptrdiff_t>(first);
    chart.setSeries(
        0,
        std::vector<double>(m_data.levelTimes.begin() + from,
                            m_data.levelTimes.begin() + from + count),
        std::vector<float>(m_data.levels.begin() + from, m_data.levels.begin() + from + count));

    graph->txtStartTime->setText(DateTimeDays::dateTimeText(start));
    graph->txtSamplingRate->setEditText(QString::number(m_data.setIntervals[i]));
    graph->txtDataNo->setText(QString::number(count));
    graph->clearStatisticFields();
    if (count == 0) {
        // No reading to refer to: the figures stay empty and the cursor lines out of sight.
        chart.verticalLines = {};
        chart.verticalLines[0].x = chart.verticalLines[1].x = start - 1.0;
        graph->placeCursors(0, 0, 0);
        graph->PESGraph1->redraw();
        return;
    }
    const int maxIndex = m_data.setMaxIndex[i];
    const int minIndex = m_data.setMinIndex[i];
    graph->txtMaxTime->setText(DateTimeDays::RoundedTimeText(chart.x(0, maxIndex)));
    graph->txtMax->setText(GraphStatistics::levelText(chart.y(0, maxIndex)));
    graph->txtMinTime->setText(DateTimeDays::RoundedTimeText(chart.x(0, minIndex)));
    graph->txtMin->setText(GraphStatistics::levelText(chart.y(0, minIndex)));
    graph->txtAvgAll->setText(GraphStatistics::levelText(m_data.setAverages[i]));
    graph->placeCursors(count - 1, count / 3, 2 * count / 3);
    graph->PESGraph1->redraw();
}

void DataLoggerController::Grid2Click(int row)
{
    TfrmGraph *graph = m_main.DataLoggerGraphWindow;
    if (!graph || graph->Grid2->Cells(1, row).isEmpty())
        return;
    GraphDataSet(row - 1);
}

void DataLoggerController::ChangeDateTime1Click(int row)
{
    TfrmGraph *graph = m_main.DataLoggerGraphWindow;
    if (!graph || graph->Grid2->Cells(1, row).isEmpty())
        return;
    ChangeDataSetStart(row - 1);
}

void DataLoggerController::ChangeDataSetStart(int set)
{
    if (set < 0 || set >= m_data.setCount())
        return;
    TfrmDateTime dialog(&m_main);
    dialog.setDateTime(m_main.clock().now());
    if (m_main.prompts().execDialog(dialog) != QDialog::Accepted)
        return;
    m_data.changeSetStart(set, DateTimeDays::fromDateTime(dialog.dateTime()));
    if (TfrmGraph *graph = m_main.DataLoggerGraphWindow)
        graph->Grid2->setRow(set + 1, DataSetRows::row(m_data, set));
    GraphDataSet(set);
}

bool DataLoggerController::OpenDataSetCollection()
{
    ensureWindow();
    AppState &state = m_main.state();
    const QString folder
        = state.DataFolder.isEmpty() ? m_main.folders().programFolder : state.DataFolder;
    const QString fileName
        = m_main.prompts().openFileName(QStringLiteral("Open"), folder, CollectionOpenFilter);
    if (fileName.isEmpty())
        return false;
    const DataSetFile::ReadResult read = DataSetFile::readCollection(fileName);
    if (!read.memory) {
        m_main.prompts().showError(read.error);
        return false;
    }
    state.memoryImage = *read.memory;
    state.lastAddress = *DataSetFile::lastAddressOf(state.memoryImage);
    const int code = decodeAndShow();
    state.memoryImage.clear();
    if (code == MemoryDecoder::NoDataSets || code == MemoryDecoder::TooManySets)
        m_main.prompts().showError(
            QStringLiteral("The file holds no data sets that can be read (code %1).").arg(code));
    return holdsDataSets(code);
}

bool DataLoggerController::SaveDataSetCollection()
{
    AppState &state = m_main.state();
    const QString folder
        = state.DataFolder.isEmpty() ? m_main.folders().programFolder : state.DataFolder;
    const QString fileName = m_main.prompts().saveFileName(
        QStringLiteral("Save As"), folder, CollectionSaveFilter, QStringLiteral("REC"));
    if (fileName.isEmpty())
        return false;
    return DataSetFile::SaveDataSetCollection(tempFile(), fileName);
}
