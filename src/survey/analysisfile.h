#pragma once

#include "survey/measurementanalysis.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>

// The analysis of a collection's data sets, kept beside the collection file in a text file of
// its own ("survey.rec" keeps it in "survey.rec.audexa"), so that the collection itself stays
// byte for byte as the meter's format gives it.
//
// The text is UTF-8, one record per line, fields separated by tabs; numbers in the C locale
// (a point for decimals), X values in days since 1899-12-30, levels in dB, colours as
// #AARRGGBB. In texts a backslash, a tab, a line feed and a carriage return are written as
// \\, \t, \n and \r. Lines that start with # and empty lines are comments.
//
//   AUDEXA-ANALYSIS <tab> 1                       first line: the format and its version
//   set <tab> N <tab> start <tab> points          a data set (N from 1), its start and count as
//                                                 they were when the analysis was made; the lines
//                                                 up to the next "set" belong to it
//   cursor <tab> 0|1 <tab> x                      cursor A (0) or B (1)
//   limit <tab> dB                                the limit, 0 to 200 dB
//   exclude <tab> from <tab> to <tab> label       an Excluded interval, from not after to
//   specific <tab> from <tab> to <tab> label      a Specific interval (the source under
//                                                 assessment), the same fields
//   residual <tab> from <tab> to <tab> label      a Residual interval (the place without it)
//   mark <tab> index <tab> 0|2 <tab> x <tab> y <tab> colour <tab> text
//                                                 a text (0) or a cross (2)
//   overlay <tab> clock|start <tab> shift <tab> interval <tab> colour <tab> label
//                                                 the overlay: its alignment, its shift (days),
//                                                 its interval (seconds) and colour (may be empty)
//   point <tab> x <tab> y                         one of the overlay's points, in order, after it
//   detail <tab> name <tab> text                  one of the survey's details by its name:
//                                                 project, client, site, position, operator,
//                                                 weather, notes, model, serial, firmware, cal94
//                                                 or cal70 (the instrument's calibration values)
//   calibration <tab> before|after <tab> reference <tab> reading
//                                                 a calibration check: the calibrator's level
//                                                 and the meter's reading (dB), either empty
//                                                 when not known
//
// The intervals of every category are written in the order they were made. A file without
// "specific", "residual", "detail" and "calibration" lines is byte for byte what earlier
// versions wrote. Details not given and calibration checks with neither level are not written.
// The cursors' texts are not kept: they are made again from the points the cursors stand on.
// Writing leaves out what reading would refuse (values that are not finite). Reading skips a
// UTF-8 byte order mark, and refuses the whole file at the first line that breaks these rules,
// saying which.
namespace AnalysisFile {

// One data set's analysis, with the set as it stood when it was made.
struct SetAnalysis
{
    double start = 0.0; // days
    int points = 0;
    MeasurementAnalysis analysis;
    bool operator==(const SetAnalysis &) const = default;
};
// By data set, from 0.
using Sets = std::map<int, SetAnalysis>;

// The name of the analysis file of a collection file.
QString fileFor(const QString &collectionFile);

QByteArray encode(const Sets &sets);

struct Decoded
{
    std::optional<Sets> sets;
    QString error; // when there are none: "line N: what is wrong"
};
Decoded decode(const QByteArray &bytes);

// Writes the analysis of sets beside the collection file, through a save file: an empty string
// or the message to show.
QString write(const QString &collectionFile, const Sets &sets);

struct ReadResult
{
    Sets sets; // empty when there is no analysis file or it cannot be read
    QString error; // when there is one that cannot be read: the message to show
};
ReadResult read(const QString &collectionFile);

} // namespace AnalysisFile
