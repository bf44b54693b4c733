#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>

class ChartModel;
class TfrmGraph;
class WindowServices;

// Makes every graph window: its caption, its chart's first set-up, its place in the client area,
// and what its closing clears. It keeps the references to the two windows there is at most one
// of, the real-time graph and the "DataLogger" window; each is forgotten when its window closes.
class GraphWindowFactory : public QObject
{
    Q_OBJECT

public:
    explicit GraphWindowFactory(WindowServices &services, QObject *parent = nullptr);

    // The window references: each is empty while its window is closed.
    TfrmGraph *RealTimeGraphWindow() const { return m_realTime; }
    TfrmGraph *DataLoggerGraphWindow() const { return m_dataLogger; }

    // Makes the real-time graph: 500 null points over RealTimeRate x 510 s from now, the rate
    // box and the Clear button, "Real Time &Graph" checked; in its place (below). Closing it
    // ends a running recording (realTimeGraphClosed) and unchecks "Real Time &Graph".
    TfrmGraph &createRealTimeGraph();
    // Where the real-time graph stands whenever it is made (beside the control panel, as at
    // start-up); without a place it fills the client area's width.
    void setRealTimePlace(std::function<QRect()> place) { m_realTimePlace = std::move(place); }
    // Restores the real-time graph and brings it to the front, or makes it when there is none.
    TfrmGraph &showRealTimeGraph();
    // Restores the "DataLogger" window, or makes it: its data sets panel with one empty row, 500
    // null points over 500 s from now, the width of the client area. Closing it clears
    // loggerDataLoaded.
    TfrmGraph &showDataLoggerGraph();
    // The "LEQ" window of a graph: its levels and their cumulative Leq. On a graph without points
    // it says so and leaves the window empty.
    TfrmGraph &createLeqGraph(const TfrmGraph &source);
    // A graph window for a file or a table, captioned caption; the caller fills its chart. It
    // takes the client area's width.
    TfrmGraph &createGraph(const QString &caption);

    // A graph window's chart was saved: when it is the real-time graph's, its recording is no
    // longer unsaved (realTimeGraphSaved).
    void noteSaved(const TfrmGraph &graph);

Q_SIGNALS:
    void realTimeGraphClosed();
    // The real-time graph's recording was saved, or emptied by Clear.
    void realTimeGraphSaved();
    void realTimeGraphCleared();
    // A new "DataLogger" window, so that the data logger can take its panel's events.
    void dataLoggerGraphCreated(TfrmGraph *graph);
    // "Report..." on any graph window.
    void reportRequested(TfrmGraph *graph);
    // "Overlay..." on any graph window.
    void overlayRequested(TfrmGraph *graph);
    // "Periods..." on any graph window.
    void periodsRequested(TfrmGraph *graph);

private:
    TfrmGraph &make(const QString &caption);
    QRect wideGeometry(int heightMargin) const;

    WindowServices &m_services;
    QPointer<TfrmGraph> m_realTime;
    QPointer<TfrmGraph> m_dataLogger;
    std::function<QRect()> m_realTimePlace;
};
