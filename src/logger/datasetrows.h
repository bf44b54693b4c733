#pragma once

#include <QString>
#include <QStringList>

struct LoggerData;

// The texts of the data sets panel: one row per data set, eight columns "Set", "DATE", "TIME",
// "Rate", "Nums", "A/C", "Fa/Sl", "LEVEL".
namespace DataSetRows {

QStringList row(const LoggerData &data, int set);

// Column texts on their own, shared with the command-line companion.
QString rateText(int intervalSeconds); // "00:02", "01:00"
QString weightingText(quint8 flags); // "dBA" / "dBC"
QString responseText(quint8 flags); // "FAST" / "SLOW"
// The level axis's title of a data set's graph: "Level (dB(A) FAST)".
QString levelAxisTitle(quint8 flags);
QString rangeText(quint8 flags); // "30-90", "50-110", "70-130", "30-130"

} // namespace DataSetRows
