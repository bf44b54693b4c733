#pragma once

#include "graph/realtimerecorder.h"

class TfrmGraph;
class TfrmMain;

// Run and Stop of the real-time recording, as the main window's buttons, menu items and
// recording timer drive them: the questions, the "Real-Time Setup" dialog, the wait for the
// start of a second, and showing each appended point in the real-time graph window.
class RealTimeController
{
public:
    explicit RealTimeController(TfrmMain &main)
        : m_main(main)
    {
    }

    void btnRunClick();
    void btnStopClick();
    void RealTime_TimerTimer();
    void AppendRealTimeSample();

    // Ends a recording because its window closed.
    void windowClosed();

    const RealTimeRecorder &recorder() const { return m_recorder; }

private:
    // Run's dialog; false when cancelled or refused.
    bool askCountAndRate(TfrmGraph &graph, int &count, double &rate);
    void showTexts(TfrmGraph &graph, const RealTimeRecorder::Texts &texts);
    void setRunning(bool running);
    double now() const;

    TfrmMain &m_main;
    RealTimeRecorder m_recorder;
};
