#pragma once

#include "chart/chartmodel.h"
#include "survey/levelkind.h"

#include <QString>

#include <optional>

class DataLoggerController;
class TfrmGraph;
class WindowServices;

// "Overlay..." of a graph window: a second measurement drawn over the graph in its own colour,
// with its figures beside the graph's. It may be a data set of the open collection (which the
// data logger holds), the first series of a graph file, or a text file of readings as "Output
// Tabular to graph" reads it.
class OverlayCommands
{
public:
    OverlayCommands(WindowServices &services, const DataLoggerController &logger);

    // The "Overlay" dialog, then the source read and laid on the graph by clock time or by
    // start. A cancelled dialog changes nothing and says nothing; a source that cannot be read,
    // has no valid level, or cannot be aligned is told and leaves the graph as it was. An overlay
    // that lies wholly outside the graph's time span is put on, and the user is told so. True
    // when the graph got the overlay.
    bool OverlayClick(TfrmGraph &graph);

private:
    // A source's points and interval; none when it cannot be read (the user has been told).
    struct Measurement
    {
        std::vector<double> xs;
        std::vector<float> ys;
        std::optional<double> interval;
        LevelKind kind; // its weighting and response, where known
    };
    std::optional<Measurement> readDataSet(int set) const;
    std::optional<Measurement> readGraphFile(const QString &fileName, bool dateTimeX) const;
    std::optional<Measurement> readTextFile(const QString &fileName) const;

    WindowServices &m_services;
    const DataLoggerController &m_logger;
};
