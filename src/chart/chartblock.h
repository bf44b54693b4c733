#pragma once

#include <QByteArray>
#include <QString>

class ChartModel;

// The stored form of a whole chart (data, scales, annotations, look) as one block: the content
// of a graph file after its length field, and of the graph template.
//
// Layout (little-endian throughout): the magic "AXCB", a 16-bit version, then the sections in
// a fixed order; every count is checked against the bytes that remain before anything is
// allocated.
//
// Layout, versions 1 to 5. Little-endian throughout. u8/u16/u32 are unsigned and i32 signed
// integers of that many bits; f32/f64 are IEEE floats copied bit for bit (infinities and NaNs
// included).
//
//   string   u32 byte count n, then n bytes of UTF-8
//   colour   u8 0: none of its own (the chart's default colour), nothing follows
//            u8 1: then u32 ARGB (alpha in the top byte, blue in the lowest)
//   flag     u8 0 or 1
//
//   Header       4 bytes "AXCB"
//                u16 version, 1 to 5
//   Data         u32 subsets S (at most 256)
//                u32 points P (at most 2^31 - 1; 0 when S is 0)
//                S times: P x f64 X (days), then P x f32 Y (dB, 9999 the null value)
//   Scales       X: flag manual, f64 min, f64 max
//                Y: flag manual, f64 min, f64 max
//   Look         string main title, string sub title, string X axis label, string Y axis label
//                u32 count, then count x string: subset labels
//                u32 count, then count x colour: subset colours
//                u32 count, then count x u8: subset line types (0 solid, 1 dash, 2 dot,
//                    3 dash-dot, 4 dash-dot-dot)
//                colour: Y axis
//                u8 grid style (0 dot, 1 dash, 2 solid, 3 none)
//                u8 viewing style (0 colour, 1 monochrome)
//                flag X values are date-times
//                i32 title, label and legend font sizes (points, 1 to 500)
//   Annotations  u32 count, then count x (i32 index, f64 X, f64 Y, u8 type (0 text only,
//                    2 cross), string text, colour), indexes strictly increasing
//                flag show, i32 text size (percent, 1 to 1000), flag hot spots
//   Lines        2 x (f64 X, string text): vertical lines 0 and 1
//                flag show, flag hot spots, i32 text size (percent, 1 to 1000)
//                flag data hot spots
//   Intervals    versions 2 to 5: u32 count, then count x (f64 from, f64 to, string label,
//                    and from version 4 u8 category: 0 Excluded, 1 Specific, 2 Residual): the
//                    marked intervals in the order they were made, X in days, both ends finite
//                    and from not after to; before version 4 every one is Excluded
//   Limit        versions 3 to 5: flag set, then when set f64 limit (dB, 0 to 200)
//   Overlay      versions 3 to 5: flag present, then when present string label, colour,
//                    u8 alignment (0 clock time, 1 start), f64 shift (days, finite),
//                    f64 interval (seconds, finite, 0 or more, never -0), u32 points Q,
//                    Q x f64 X (days), then Q x f32 Y (dB)
//   Details      version 5: string project, client, site, measurement position, operator,
//                    weather, notes (line breaks kept), instrument model, serial number,
//                    firmware, 94 dB calibration, 70 dB calibration; then the calibration
//                    checks before and after, each as 2 x (flag known, then when known f64
//                    level in dB, finite): the calibrator's reference level and the reading
//   End          nothing may follow: bytes after the last field are refused
//
// Each chart is written in the oldest version that holds it, so that older copies of the program
// still read what they can: version 1 (byte for byte as before the later sections existed)
// without excluded intervals, limit or overlay; version 2 with excluded intervals only; version 3
// with a limit or an overlay; version 4 when an interval is Specific or Residual; version 5 when
// the survey details hold anything (a chart without them is stored as before). Reading takes
// every version (the sections an older version lacks are empty) and refuses newer ones.
//
// Reading checks every count against the bytes that remain before it allocates anything, and
// every coded value against its range. A block that fails any check is refused as a whole.
// Saving writes what load accepts: values outside those ranges, which the program itself never
// sets, are stored as the nearest accepted value (line types and annotation types out of range
// as 0, grid and viewing styles out of range as their defaults, an interval's ends in order and
// a category out of range as Excluded; one with an end that is not finite is left out; a limit
// that is not finite as none, one outside 0 to 200 dB as the nearest of them; an overlay's shift
// and interval that are not finite, or a negative interval, as 0, and its points beyond the
// shorter of its X and Y lists left out; a calibration level that is not finite as not known); a
// chart without subsets is stored without points, since it has no values to keep.
namespace ChartBlock {

QByteArray save(const ChartModel &chart);

// Parses a block into out. On failure returns false, sets *error (when given) to a one-line
// reason, and leaves out exactly as it was.
bool load(const QByteArray &block, ChartModel &out, QString *error = nullptr);

} // namespace ChartBlock
