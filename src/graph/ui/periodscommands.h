#pragma once

#include <QObject>
#include <QPointer>

#include <vector>

class TfrmGraph;
class TfrmPeriods;
class WindowServices;

// "Periods..." of a graph window: makes the graph's "Periods" window and places it, or brings
// the one already open for that graph to the front. Each window closes with its graph.
class PeriodsCommands : public QObject
{
    Q_OBJECT

public:
    explicit PeriodsCommands(WindowServices &services, QObject *parent = nullptr);

    TfrmPeriods &PeriodsClick(TfrmGraph &graph);
    // The open "Periods" window of a graph, or none.
    TfrmPeriods *windowOf(const TfrmGraph &graph) const;

private:
    WindowServices &m_services;
    std::vector<QPointer<TfrmPeriods>> m_windows;
};
