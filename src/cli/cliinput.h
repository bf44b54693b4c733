#pragma once

#include "chart/chartmodel.h"
#include "cli/clicommands.h"
#include "print/reportsections.h"
#include "survey/dayeveningnighthours.h"
#include "survey/graphsource.h"

#include <QSize>
#include <QStringList>

#include <optional>

// What "export", "picture", "figures" and "report" read: their command line (an input file, an
// output file but for figures, --set N for a collection, and each command's own options) and the
// chart of the input, a data set of a collection (".rec") drawn as the "DataLogger" window draws
// it, a graph file (".ghf") as saved, or a text file (".txt", ".csv") read as a table and drawn
// as "Output Tabular to graph" draws it.
namespace CliInput {

struct Arguments
{
    QString input;
    QString output;
    int set = 1; // from 1
    std::optional<QSize> size;
    std::optional<int> from, to; // figures: points I to J, from 1, both included
    std::optional<IntervalCategory> category; // figures: Specific or Residual points only
    bool method = false; // figures: the method lines after the figures
    bool withHeader = false; // export: the self-describing CSV
    std::optional<QString> title; // report
    std::optional<int> period; // periods (needed), workbook and report: seconds, 1 to a day
    std::optional<double> limit; // exceed (needed) and report: dB
    std::optional<ReportSections::Set> sections; // report: the sections to print
    int classTenths = 10; // distribution: the class width in tenths of a dB
    DayEveningNightHours hours; // lden, workbook and report: --hours, 07-19-23 without it
    bool graphFile = false;
    bool textFile = false; // ".txt" or ".csv"
};
struct Parsed
{
    std::optional<Arguments> arguments;
    CliCommands::Output report; // the usage (--help), or why the command line is refused
};
// command: "export", "picture" (which alone takes --size), "figures" (one file, --from and
// --to, or --category; --method), "report" (--title, --sections, --period, --limit, --hours),
// "periods" (one file, --period needed), "lden" (one file, --hours), "exceed" (one file, --limit
// needed), "distribution" (one file, --from, --to and --class) or "workbook" (--period and
// --hours); "export" takes --with-header.
Parsed parse(const QString &command, const QStringList &arguments);

struct Loaded
{
    std::optional<ChartModel> chart;
    GraphSource source; // the data set, or the graph file
    CliCommands::Output report; // the failure, or a warning to pass on
};
// Refuses an output that is the input file (by any name) before anything is read or written.
Loaded load(const Arguments &arguments, const Clock &clock);

// --from and --to against a series of `points` points: the failure when either lies beyond the
// last point, else nothing.
std::optional<CliCommands::Output> pointsBeyond(const Arguments &arguments, int points);

// "audexa-cli: <reason>" as a failed command's output.
CliCommands::Output failed(const QString &reason, int status);

} // namespace CliInput
