#pragma once

#include "survey/measurementanalysis.h"

#include <QPoint>
#include <QString>

#include <vector>

class Measurement;

// The crosses and texts the user places on a graph, kept as the chart's graph annotations by
// index. Index 2 is the data point marker; placed annotations take the indexes from 3 on, one
// more than the program-wide counter (which starts at 4, so the first one takes 5) or than the
// highest index the chart already holds, whichever is higher: a chart opened from a file, or
// one whose marks outlived a Clear elsewhere, never has a mark overwritten. An erased
// annotation keeps its index as type 0 with an empty text.
namespace PlacedAnnotations {

// The drawing modes the mode buttons choose, shared by every graph window.
constexpr int NormalMode = -99;
constexpr int TextMode = 0;
constexpr int CrossMode = 2;
constexpr int InitialCounter = 4;
// The counter after Clear, and the lowest index a placed annotation can hold.
constexpr int ClearedCounter = MeasurementAnalysis::FirstUserMark;
constexpr int CrossType = 2;
constexpr int TextType = 0;

// Where a click puts the mark, from the mouse position: a text one pixel right and seven down,
// a cross fifteen right and fifteen down (the centre of the cross cursor, whose hot spot is its
// top left corner). Nothing is placed in the normal mode.
QPoint shiftedPosition(QPoint mouse, int drawingMode);

// Places a cross (CrossType, empty text) or a text (TextType) at X (days) and Y (dB); moves
// the counter on and returns the index taken.
int place(Measurement &chart, int &counter, int type, double x, double y, const QString &text);

// Whether an index holds a mark the user placed and has not erased: a cross, or a text that is
// not empty.
bool isPlaced(const Measurement &chart, int index);

// One row of the "Erase Annotation" list.
struct Row
{
    int index = 0;
    QString time; // the mark's time, rounded to the second
    QString contents; // "X" for a cross, otherwise its text
    bool operator==(const Row &) const = default;
};
// Every placed mark, by index.
std::vector<Row> listed(const Measurement &chart);

// Erases the mark at an index (type 0, empty text; its place stays).
void erase(Measurement &chart, int index);

// Clear: the placed marks are taken off the chart and the counter goes back to 3.
void clear(Measurement &chart, int &counter);

} // namespace PlacedAnnotations
