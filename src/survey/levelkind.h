#pragma once

#include <QString>

struct GraphSource;

// What kind of level a series holds: its frequency weighting ("dBA", "dBC") and time response
// ("FAST", "SLOW"), each empty where nothing says (a real-time recording, a text file). Two
// series of different kinds do not compare level for level: an overlay says so.
struct LevelKind
{
    QString weighting;
    QString response;

    // From a level axis title as a data set's graph has it ("Level (dB(A) FAST)"); also takes
    // "dBA" and "dBC".
    static LevelKind fromAxisTitle(const QString &title);
    // A data set's own weighting and response, or else what the axis title says.
    static LevelKind of(const GraphSource &source, const QString &axisTitle);

    // "dBC SLOW", the known parts only.
    QString text() const;
    bool operator==(const LevelKind &) const = default;
};

// How an overlay's kind differs from the graph's: "dBC SLOW, graph dBA FAST" (the parts known
// on both sides, only where they differ); empty when nothing known differs.
QString levelKindDifference(const LevelKind &graph, const LevelKind &overlay);

// An overlay's label that carries how its kind differs from the graph's, as its legend entry
// shows it: "Data set 3 (dBC, graph dBA)"; the label alone when nothing differs.
QString overlayLabel(const QString &label, const QString &difference);
// The difference an overlay's label carries (overlayLabel); empty when it carries none.
QString overlayKindDifference(const QString &label);
