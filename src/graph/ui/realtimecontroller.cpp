#include "graph/ui/realtimecontroller.h"

#include "app/clock.h"
#include "app/ui/mainmenus.h"
#include "app/ui/prompts.h"
#include "app/ui/tfrmmain.h"
#include "graph/datetimedays.h"
#include "graph/samplingrate.h"
#include "graph/ui/pesgraph.h"
#include "graph/ui/tfrmgraph.h"
#include "graph/ui/tfrmsetuprealtime.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

double RealTimeController::now() const
{
    return DateTimeDays::fromDateTime(m_main.clock().now());
}

void RealTimeController::setRunning(bool running)
{
    AppState &state = m_main.state();
    MainMenus &m = m_main.menus();
    state.RealTimeRunning = running;
    m.btnRun->setEnabled(!running && state.Connected);
    m.Run1->setEnabled(!running && state.Connected);
    m.btnStop->setEnabled(running);
    m.Stop1->setEnabled(running);
    if (TfrmGraph *graph = m_main.RealTimeGraphWindow)
        graph->tbntClr->setEnabled(!running);
}

bool RealTimeController::askCountAndRate(TfrmGraph &graph, int &count, double &rate)
{
    TfrmSetupRealTime dialog(&m_main);
    dialog.setRateText(graph.txtSamplingRate->currentText());
    dialog.FormShow(m_main.state().RealTimeRate);
    if (m_main.prompts().execDialog(dialog) != QDialog::Accepted)
        return false;
    const std::optional<double> parsed = SamplingRate::parseRate(dialog.rateText());
    // A rate of zero or below cannot pace a recording: it is refused like a text that is no
    // number.
    if (!parsed || *parsed <= 0.0) {
        m_main.prompts().showError(
            QStringLiteral("'%1' is not a valid floating point value").arg(dialog.rateText()));
        return false;
    }
    bool ok = false;
    count = dialog.countText().trimmed().toInt(&ok);
    if (!ok || count <= 0) {
        m_main.prompts().showMessage(dialog.countText() + QStringLiteral(" is not valid.\n"));
        return false;
    }
    rate = *parsed;
    return true;
}

void RealTimeController::btnRunClick()
{
    AppState &state = m_main.state();
    if (!state.Connected)
        return;
    TfrmGraph *graph = m_main.RealTimeGraphWindow;
    if (graph) {
        graph->parentWidget()->showNormal();
        if (state.RealTimeRunning || state.RealTimeCount > 0) {
            const Prompts::Answer answer = m_main.prompts().ask(
                QStringLiteral("There are datas in Real_Time graph ,it have to reset the graph.\n"
                               "Do you want to save the Real-Time graph ?"),
                true);
            m_main.mdiArea().setActiveSubWindow(
                qobject_cast<QMdiSubWindow *>(graph->parentWidget()));
            if (answer == Prompts::Answer::Cancel)
                return;
            if (answer == Prompts::Answer::Yes && !m_main.SaveGraph(*graph))
                return; // not saved: the recording stays as it is
        }
    } else {
        graph = m_main.createRealTimeGraph();
    }

    int count = 0;
    double rate = 0.0;
    if (!askCountAndRate(*graph, count, rate))
        return;

    m_main.RealTime_Timer.stop();
    state.RealTimeRate = static_cast<float>(rate);
    graph->selectRateItem(rate);
    ChartModel &chart = graph->PESGraph1->model();
    graph->clearStatisticFields();
    m_recorder.start(state, chart, count, now());
    setRunning(true);
    graph->txtDataNo->setText(QStringLiteral("0"));

    // The first point is taken at the start of a second.
    Clock &clock = m_main.clock();
    const qint64 giveUp = clock.tickCountMs() + 1100;
    while (clock.now().time().msec() > 20 && clock.tickCountMs() < giveUp)
        clock.spinWait(1);
    const double start = DateTimeDays::fromDateTime(clock.now());
    graph->txtStartTime->setText(DateTimeDays::RoundedTimeText(start));
    AppendRealTimeSample();
    m_recorder.RealTimeTicks = 0;
    m_main.RealTime_Timer.start();
}

void RealTimeController::showTexts(TfrmGraph &graph, const RealTimeRecorder::Texts &texts)
{
    auto put = [](QLineEdit *edit, const std::optional<QString> &text) {
        if (text)
            edit->setText(*text);
    };
    put(graph.txtMax, texts.max);
    put(graph.txtMaxTime, texts.maxTime);
    put(graph.txtMin, texts.min);
    put(graph.txtMinTime, texts.minTime);
    put(graph.txtDataNo, texts.dataNo);
}

void RealTimeController::AppendRealTimeSample()
{
    TfrmGraph *graph = m_main.RealTimeGraphWindow;
    if (!graph)
        return;
    RealTimeRecorder::Texts texts;
    if (m_recorder.append(m_main.state(), graph->PESGraph1->model(), now(), texts)) {
        showTexts(*graph, texts);
        graph->PESGraph1->redraw();
    }
}

void RealTimeController::RealTime_TimerTimer()
{
    TfrmGraph *graph = m_main.RealTimeGraphWindow;
    if (!graph)
        return;
    RealTimeRecorder::Texts texts;
    const RealTimeRecorder::Tick tick
        = m_recorder.tick(m_main.state(), graph->PESGraph1->model(), now(), texts);
    if (tick == RealTimeRecorder::Tick::Waiting)
        return;
    showTexts(*graph, texts);
    graph->PESGraph1->redraw();
    if (tick == RealTimeRecorder::Tick::Finished)
        btnStopClick();
}

void RealTimeController::btnStopClick()
{
    m_main.RealTime_Timer.stop();
    setRunning(false);
    TfrmGraph *graph = m_main.RealTimeGraphWindow;
    if (!graph)
        return;
    graph->parentWidget()->showNormal();
    graph->tbntClr->setEnabled(true);
    const RealTimeRecorder::StopResult result
        = m_recorder.stop(m_main.state(), graph->PESGraph1->model(), now());
    graph->txtAvgAll->setText(result.avgAll);
    if (result.placeCursors)
        graph->placeCursors(result.sliderMaximum, result.value1, result.value2);
    graph->PESGraph1->redraw();
}

void RealTimeController::windowClosed()
{
    m_main.RealTime_Timer.stop();
    m_main.state().RealTimeCount = 0;
    setRunning(false);
}
