#pragma once

#include <QByteArray>
#include <QString>

class ChartModel;

// The stored form of a whole chart (data, scales, annotations, look) as one block: the content
// of a graph file after its length field, and of the graph template.
//
// Layout (little-endian throughout): the magic "AXCB", a 16-bit version, then the sections in
// a fixed order; every count is checked against the bytes that remain before anything is
// allocated. The exact layout is written out in chartblock.cpp.
namespace ChartBlock {

QByteArray save(const ChartModel &chart);

// Parses a block into out. On failure returns false, sets *error (when given) to a one-line
// reason, and leaves out exactly as it was.
bool load(const QByteArray &block, ChartModel &out, QString *error = nullptr);

} // namespace ChartBlock
