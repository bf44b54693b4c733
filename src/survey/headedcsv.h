#pragma once

#include <QByteArray>
#include <QString>

class Measurement;
struct GraphSource;

// A self-describing CSV of a measurement's first series, for spreadsheets and scripts:
//
//   # Source: Data set 2 of the meter's memory        (one line per line of the source)
//   # Weighting and response: dBA FAST
//   # Interval: 1 s
//   # Time zone: Europe/Berlin
//   # Program: Audexa 1.0.0
//   time,level_dB
//   2026-12-08T21:05:07+01:00,67.3
//   2026-12-08T21:05:08+01:00,
//
// A "#" line says what is not known with "not known". Each point's time is ISO 8601 with its
// offset from UTC, rounded to the second; its level has a point and one decimal (a reading of 0
// is "0.0"); a null point leaves the level empty. Lines end with a line feed; UTF-8. The series
// ends at its first X of 0, where a series has no data yet.
namespace HeadedCsv {

QByteArray text(const Measurement &measurement, const GraphSource &source, const QString &axisTitle,
                const QString &version);

} // namespace HeadedCsv
