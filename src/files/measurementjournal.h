#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// The journal of a measurement in progress: every point of a real-time recording, or every
// completed second of an LEQ measurement, appended as it is taken, so that a crash, a power cut
// or a flat battery never costs more than the last second. Little-endian throughout.
//
//   Header, 48 bytes
//     0   8  "AUDXJRN1"
//     8   u16 version, 1
//    10   u16 kind: 1 a real-time recording, 2 an LEQ measurement
//    12   u32 record size in bytes: 16 for kind 1, 24 for kind 2
//    16   f64 start, a date-time in days since 1899-12-30
//    24   f64 the real-time sampling period in seconds, or the LEQ duration in seconds
//    32   u32 the number of points or seconds planned
//    36   10 bytes of zeros
//    46   u16 CRC-16 (ISO 3309) of bytes 0 to 45
//   Records, one after another, each ending in
//         u16 its sequence number (its position from 0, modulo 65,536)
//         u16 CRC-16 of the record's bytes before it
//     Kind 1 (16 bytes):  f64 X (days), f32 level (dB), u16 sequence, u16 CRC
//     Kind 2 (24 bytes):  f64 the second (days), f32 SPL, f32 Leq, u16 readings in that second,
//                         u16 zero, u16 sequence, u16 CRC
//
// A record is written whole, and only ever at the end, so record n always starts at byte
// 48 + n x size. A last record cut short is a write the crash interrupted, and is dropped. A
// whole record that does not check out (a wrong check, or a sequence number that is not its
// place) was damaged on the disk: it alone is skipped, and every record after it that checks
// out is read. One skipped between records read leaves a gap in their place: a real-time point
// without a level, an LEQ second without readings, its time halfway between its neighbours'.
namespace MeasurementJournal {

enum class Kind : quint16 { RealTime = 1, Leq = 2 };
constexpr int HeaderSize = 48;
constexpr int RealTimeRecordSize = 16;
constexpr int LeqRecordSize = 24;
// The level of a real-time point that has none (a gap), as the chart's null value.
constexpr float NoLevel = 9999.0f;
// Journals are named "<kind>-<start>.journal" in the data folder's "temp".
inline constexpr char Suffix[] = ".journal";

struct Header
{
    Kind kind = Kind::RealTime;
    double start = 0.0;
    double parameter = 0.0; // the sampling period, or the LEQ duration
    quint32 planned = 0;
};

struct Point
{
    double x = 0.0;
    float level = 0.0f;
};

struct Second
{
    double time = 0.0;
    float spl = 0.0f;
    float leq = 0.0f;
    quint16 readings = 0;
};

QByteArray headerBytes(const Header &header);
QByteArray recordBytes(const Point &point, quint32 sequence);
QByteArray recordBytes(const Second &second, quint32 sequence);
int recordSize(Kind kind);

struct Contents
{
    Header header;
    std::vector<Point> points; // kind 1
    std::vector<Second> seconds; // kind 2
    // Whole records skipped: with a wrong check (damaged), or checked but not in their place.
    int damaged = 0;
    int misplaced = 0;
    // Of those, the ones between records read, which stand as gaps in points or seconds.
    int gaps = 0;
    qsizetype droppedBytes = 0; // the end that did not form a whole record
    // The records read, gaps left out.
    int records() const;
};
// What the user is told of the skipped records ("1 damaged record of its journal was left
// out."); empty when none was skipped.
QString skippedText(const Contents &contents);
struct ReadResult
{
    std::optional<Contents> contents;
    QString error; // why the bytes are not a journal
};
// Reads a journal's bytes; never fails on a torn end or on damaged records, only on a header
// that is not a journal's.
ReadResult read(const QByteArray &bytes);

} // namespace MeasurementJournal
