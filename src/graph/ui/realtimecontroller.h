#pragma once

#include "files/journalwriter.h"
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
    // A recording of count points at the current rate, without the dialog (--record): false while
    // none can start yet (the start-up's recovery question open, no meter or no live level yet,
    // the meter busy, a recording running); true once done with. A recording the graph holds (one
    // recovered) is asked about first, as Run asks; Cancel keeps it and starts nothing.
    bool recordUnattended(int count);
    void btnStopClick();
    void RealTime_TimerTimer();
    void AppendRealTimeSample();

    const RealTimeRecorder &recorder() const { return m_recorder; }

    // A recording a crash interrupted, from its journal: shown in the real-time graph as a
    // stopped, unsaved recording; the journal stays until the recording is saved or given up.
    // False (nothing shown) while a recording runs. lock: the journal's, taken by its offer.
    bool recover(const MeasurementJournal::Contents &contents, const QString &journalPath,
                 std::unique_ptr<QLockFile> lock);
    // The journal of the recording in progress, or of the last one while it is unsaved.
    const JournalWriter &journal() const { return m_journal; }

private:
    // Run's dialog; false when cancelled or refused.
    bool askCountAndRate(TfrmGraph &graph, int &count, double &rate);
    // Run's question about the recording the graph holds; false when it stays (Cancel, or a save
    // that did not happen).
    bool mayReplaceRecording(TfrmGraph &graph);
    void setRunning(bool running);
    // Run once the count and the rate are known.
    void startRecording(TfrmGraph &graph, int count, double rate);
    // The recording ends because its window closed.
    void windowClosed();
    double now() const;
    // Writes the points appended since the last one written to the journal; a failure is said
    // once per recording.
    void journalNewPoints(const TfrmGraph &graph);
    void journalFailed(const QString &error);

    WindowServices &m_services;
    GraphWindowFactory &m_graphs;
    QTimer &m_timer;
    RealTimeRecorder m_recorder;
    JournalWriter m_journal;
    int m_journaled = 0; // points of the recording written to its journal
    bool m_askingUnattended = false;
};
