#include "graph/ui/realtimecontroller.h"

#include "base/appfolders.h"
#include "base/appstate.h"
#include "base/clock.h"
#include "base/datetimedays.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "chart/ui/pesgraph.h"
#include "graph/samplingrate.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/tfrmgraph.h"
#include "graph/ui/tfrmsetuprealtime.h"

#include <QTimer>

RealTimeController::RealTimeController(WindowServices &services, GraphWindowFactory &graphs,
                                       QTimer &timer, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_graphs(graphs)
    , m_timer(timer)
{
    connect(&m_timer, &QTimer::timeout, this, &RealTimeController::RealTime_TimerTimer);
    connect(&m_graphs, &GraphWindowFactory::realTimeGraphClosed, this,
            &RealTimeController::windowClosed);
    // Saved, or given up by the user: the journal has done its work.
    connect(&m_graphs, &GraphWindowFactory::realTimeGraphSaved, this, [this] {
        if (!m_services.state().RealTimeRunning)
            m_journal.discard();
    });
    connect(&m_graphs, &GraphWindowFactory::realTimeGraphCleared, this,
            [this] { m_journal.discard(); });
}

void RealTimeController::journalFailed(const QString &error)
{
    // Said without waiting for an answer: the recording goes on meanwhile, as the text says.
    const QString told = m_journal.failureToTell(error, QStringLiteral("recording"));
    if (!told.isEmpty())
        m_services.prompts().showNotice(told);
}

void RealTimeController::journalNewPoints(const TfrmGraph &graph)
{
    const ChartModel &chart = graph.chartModel();
    for (; m_journaled < m_services.state().RealTimeCount && chart.isValid(0, m_journaled);
         ++m_journaled) {
        if (!m_journal.isOpen())
            continue;
        const QString error = m_journal.append(
            MeasurementJournal::Point { chart.x(0, m_journaled), chart.y(0, m_journaled) });
        if (!error.isEmpty())
            journalFailed(error);
    }
}

double RealTimeController::now() const
{
    return DateTimeDays::fromDateTime(m_services.clock().now());
}

void RealTimeController::setRunning(bool running)
{
    m_services.state().RealTimeRunning = running;
    m_services.refreshCommands();
    if (TfrmGraph *graph = m_graphs.RealTimeGraphWindow())
        graph->setClearEnabled(!running);
}

bool RealTimeController::askCountAndRate(TfrmGraph &graph, int &count, double &rate)
{
    Prompts &prompts = m_services.prompts();
    TfrmSetupRealTime dialog(m_services.dialogParent());
    dialog.setRateText(graph.rateText());
    dialog.FormShow();
    if (prompts.execDialog(dialog) != QDialog::Accepted)
        return false;
    const std::optional<double> parsed = SamplingRate::parseRate(dialog.rateText());
    if (!parsed) {
        prompts.showError(
            QStringLiteral("'%1' is not a valid floating point value").arg(dialog.rateText()));
        return false;
    }
    // A rate of zero or below cannot pace a recording.
    if (*parsed <= 0.0) {
        prompts.showError(QStringLiteral("The sampling rate must be more than 0 seconds ('%1' "
                                         "was entered).")
                              .arg(dialog.rateText().trimmed()));
        return false;
    }
    bool ok = false;
    count = dialog.countText().trimmed().toInt(&ok);
    // Past the bound the chart alone would take gigabytes.
    if (!ok || count <= 0 || count > RealTimeRecorder::MaxPoints) {
        prompts.showMessage(dialog.countText() + QStringLiteral(" is not valid.\n"));
        return false;
    }
    rate = *parsed;
    return true;
}

void RealTimeController::btnRunClick()
{
    AppState &state = m_services.state();
    // While an exchange has the meter (a download) Run is disabled; nothing starts inside it.
    if (!state.Connected || state.ExchangeRunning)
        return;
    TfrmGraph *graph = m_graphs.RealTimeGraphWindow();
    if (graph) {
        if (state.RealTimeRunning || state.RealTimeCount > 0) {
            if (!mayReplaceRecording(*graph))
                return;
        } else {
            m_services.activateChildWindow(*graph);
        }
    } else {
        graph = &m_graphs.createRealTimeGraph();
    }

    int count = 0;
    double rate = 0.0;
    if (!askCountAndRate(*graph, count, rate))
        return;
    startRecording(*graph, count, rate);
}

bool RealTimeController::mayReplaceRecording(TfrmGraph &graph)
{
    const Prompts::Answer answer = m_services.prompts().ask(
        QStringLiteral("There are datas in Real_Time graph ,it have to reset the graph.\n"
                       "Do you want to save the Real-Time graph ?"),
        true);
    m_services.activateChildWindow(graph);
    if (answer == Prompts::Answer::Cancel)
        return false;
    // Not saved: the recording stays as it is.
    return answer != Prompts::Answer::Yes || m_services.saveChildWindow(graph);
}

bool RealTimeController::recordUnattended(int count)
{
    const AppState &state = m_services.state();
    // The start-up's recovery question comes first: a recording started under it would leave
    // the recovered one nowhere to go.
    if (m_askingUnattended || state.RecoveryPending)
        return false;
    if (!state.Connected || state.ExchangeRunning || state.RealTimeRunning)
        return false;
    // The first point is taken at once: wait for a live level to take.
    if (state.CurrentLevel < 20.0f || state.CurrentLevel > 140.0f)
        return false;
    if (count <= 0 || count > RealTimeRecorder::MaxPoints) {
        m_services.prompts().showMessage(QString::number(count)
                                         + QStringLiteral(" is not valid.\n"));
        return true;
    }
    TfrmGraph &graph = m_graphs.showRealTimeGraph();
    if (state.RealTimeCount > 0) {
        // The question runs the event loop: the caller's next try waits for the answer.
        m_askingUnattended = true;
        const bool replace = mayReplaceRecording(graph);
        m_askingUnattended = false;
        if (!replace || state.RealTimeRunning)
            return true;
    }
    startRecording(graph, count, state.RealTimeRate);
    return true;
}

void RealTimeController::startRecording(TfrmGraph &chosen, int count, double rate)
{
    AppState &state = m_services.state();
    TfrmGraph *graph = &chosen;
    m_timer.stop();
    state.RealTimeRate = static_cast<float>(rate);
    graph->selectRateItem(rate);
    graph->setSource(GraphSource::realTime(SamplingRate::recordedInterval(rate)));
    // The earlier recording was saved or given up in answer to the question: its journal goes.
    m_journal.discard();
    const MeasurementJournal::Header header { MeasurementJournal::Kind::RealTime, now(), rate,
                                              quint32(count) };
    const QString journalError = m_journal.start(
        JournalWriter::fileName(m_services.folders().tempFolder(), header), header);
    m_journaled = 0;
    m_recorder.start(state, graph->chartModel(), count, now());
    setRunning(true);
    graph->showRecordingStart(QString());

    // The first point is taken at the start of a second.
    Clock &clock = m_services.clock();
    const qint64 giveUp = clock.tickCountMs() + 1100;
    while (clock.now().time().msec() > 20 && clock.tickCountMs() < giveUp)
        clock.spinWait(1);
    graph->showRecordingStart(DateTimeDays::RoundedTimeText(now()));
    AppendRealTimeSample();
    m_recorder.RealTimeTicks = 0;
    m_timer.start();
    if (!journalError.isEmpty())
        journalFailed(journalError);
}

void RealTimeController::AppendRealTimeSample()
{
    TfrmGraph *graph = m_graphs.RealTimeGraphWindow();
    if (!graph)
        return;
    RealTimeRecorder::Texts texts;
    if (m_recorder.append(m_services.state(), graph->chartModel(), now(), texts)) {
        journalNewPoints(*graph);
        graph->showRecordingTexts(texts);
        graph->chart().redraw();
    }
}

void RealTimeController::RealTime_TimerTimer()
{
    TfrmGraph *graph = m_graphs.RealTimeGraphWindow();
    if (!graph)
        return;
    RealTimeRecorder::Texts texts;
    const RealTimeRecorder::Tick tick
        = m_recorder.tick(m_services.state(), graph->chartModel(), now(), texts);
    if (tick == RealTimeRecorder::Tick::Waiting)
        return;
    journalNewPoints(*graph);
    graph->showRecordingTexts(texts);
    graph->chart().redraw();
    if (tick == RealTimeRecorder::Tick::Finished)
        btnStopClick();
}

void RealTimeController::btnStopClick()
{
    m_timer.stop();
    setRunning(false);
    // Kept until the recording is saved or given up.
    m_journal.close();
    TfrmGraph *graph = m_graphs.RealTimeGraphWindow();
    if (!graph)
        return;
    // Restored to its normal size, but left behind the window the user is working in.
    m_services.restoreChildWindow(*graph);
    graph->showRecordingStop(m_recorder.stop(m_services.state(), graph->chartModel(), now()));
}

bool RealTimeController::recover(const MeasurementJournal::Contents &contents,
                                 const QString &journalPath, std::unique_ptr<QLockFile> lock)
{
    AppState &state = m_services.state();
    if (state.RealTimeRunning || contents.points.empty())
        return false;
    TfrmGraph &graph = m_graphs.showRealTimeGraph();
    const std::vector<MeasurementJournal::Point> &points = contents.points;
    if (contents.header.parameter > 0.0) {
        state.RealTimeRate = static_cast<float>(contents.header.parameter);
        graph.selectRateItem(contents.header.parameter);
        graph.setSource(
            GraphSource::realTime(SamplingRate::recordedInterval(contents.header.parameter)));
    }
    ChartModel &chart = graph.chartModel();
    const int n = static_cast<int>(points.size());
    m_recorder.start(state, chart, n, points.front().x);
    std::vector<double> xs;
    std::vector<float> ys;
    xs.reserve(points.size());
    ys.reserve(points.size());
    for (const MeasurementJournal::Point &p : points) {
        xs.push_back(p.x);
        ys.push_back(p.level);
    }
    chart.setSeries(0, xs, ys);
    state.RealTimeCount = n;
    state.RealTimeModified = true;
    graph.UpdateGraphStatistics();
    graph.showRecordingStop(m_recorder.stop(state, chart, points.back().x));
    graph.chart().redraw();
    m_journal.adopt(journalPath, std::move(lock));
    m_journaled = n;
    return true;
}

void RealTimeController::windowClosed()
{
    // Closing the window asked about its unsaved recording and did what the answer said.
    m_journal.discard();
    m_timer.stop();
    m_services.state().RealTimeCount = 0;
    setRunning(false);
}
