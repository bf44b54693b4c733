#pragma once

class ChartModel;

// The set-up every new chart gets, as data: the program's own look (used when there is no graph
// template) and the data part (series of null points, manual scales).
namespace ChartSetup {

// Titles, labels, colours, grid and annotation settings of a graph without a template.
void applyDefaultLook(ChartModel &chart);
// `subsets` series of `points` null points; Y from minY to maxY, and X from minX to maxX
// unless minX is 0 (the X scale then stays as it was).
void resetData(ChartModel &chart, int subsets, double maxY, double minY, double maxX, double minX,
               int points);

} // namespace ChartSetup
