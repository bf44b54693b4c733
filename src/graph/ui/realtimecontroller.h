#pragma once

#include "graph/realtimerecorder.h"

#include <QObject>

class GraphWindowFactory;
class QTimer;
class TfrmGraph;
class WindowServices;

// Run and Stop of the real-time recording, as the main window's buttons, menu items and
// recording timer drive them: the questions, the "Real-Time Setup" dialog, the wait for the
// start of a second, and showing each appended point in the real-time graph window.
class RealTimeController : public QObject
{
    Q_OBJECT

public:
    // timer: the main window's RealTime_Timer, whose ticks go to RealTime_TimerTimer.
    RealTimeController(WindowServices &services, GraphWindowFactory &graphs, QTimer &timer,
                       QObject *parent = nullptr);

    void btnRunClick();
    void btnStopClick();
    void RealTime_TimerTimer();
    void AppendRealTimeSample();

    const RealTimeRecorder &recorder() const { return m_recorder; }

private:
    // Run's dialog; false when cancelled or refused.
    bool askCountAndRate(TfrmGraph &graph, int &count, double &rate);
    void setRunning(bool running);
    // The recording ends because its window closed.
    void windowClosed();
    double now() const;

    WindowServices &m_services;
    GraphWindowFactory &m_graphs;
    QTimer &m_timer;
    RealTimeRecorder m_recorder;
};
