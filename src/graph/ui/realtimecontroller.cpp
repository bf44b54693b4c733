#include "graph/ui/realtimecontroller.h"

#include "base/appstate.h"
#include "base/clock.h"
#include "base/datetimedays.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "graph/samplingrate.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/pesgraph.h"
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
    dialog.FormShow(m_services.state().RealTimeRate);
    if (prompts.execDialog(dialog) != QDialog::Accepted)
        return false;
    const std::optional<double> parsed = SamplingRate::parseRate(dialog.rateText());
    // A rate of zero or below cannot pace a recording: it is refused like a text that is no
    // number.
    if (!parsed || *parsed <= 0.0) {
        prompts.showError(
            QStringLiteral("'%1' is not a valid floating point value").arg(dialog.rateText()));
        return false;
    }
    bool ok = false;
    count = dialog.countText().trimmed().toInt(&ok);
    if (!ok || count <= 0) {
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
            const Prompts::Answer answer = m_services.prompts().ask(
                QStringLiteral("There are datas in Real_Time graph ,it have to reset the graph.\n"
                               "Do you want to save the Real-Time graph ?"),
                true);
            m_services.activateChildWindow(*graph);
            if (answer == Prompts::Answer::Cancel)
                return;
            if (answer == Prompts::Answer::Yes && !m_services.saveChildWindow(*graph))
                return; // not saved: the recording stays as it is
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

    m_timer.stop();
    state.RealTimeRate = static_cast<float>(rate);
    graph->selectRateItem(rate);
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
}

void RealTimeController::AppendRealTimeSample()
{
    TfrmGraph *graph = m_graphs.RealTimeGraphWindow();
    if (!graph)
        return;
    RealTimeRecorder::Texts texts;
    if (m_recorder.append(m_services.state(), graph->chartModel(), now(), texts)) {
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
    graph->showRecordingTexts(texts);
    graph->chart().redraw();
    if (tick == RealTimeRecorder::Tick::Finished)
        btnStopClick();
}

void RealTimeController::btnStopClick()
{
    m_timer.stop();
    setRunning(false);
    TfrmGraph *graph = m_graphs.RealTimeGraphWindow();
    if (!graph)
        return;
    m_services.activateChildWindow(*graph);
    graph->showRecordingStop(m_recorder.stop(m_services.state(), graph->chartModel(), now()));
}

void RealTimeController::windowClosed()
{
    m_timer.stop();
    m_services.state().RealTimeCount = 0;
    setRunning(false);
}
