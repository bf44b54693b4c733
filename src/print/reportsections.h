#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <set>

// The parts a survey report may hold, in the order it prints them. The user chooses them in
// the "Report" dialog and with `--sections`; a chosen part with nothing in it is left out.
enum class ReportSection {
    Details, // who, where, the instrument and its calibration checks
    Graph, // the graph with its bands, limit and marks
    Figures, // the whole graph's figures, with and without the excluded intervals, A-B, categories
    Compliance, // against the limit: exceedances, share of time above, periods above
    Periods, // the periods' table with coverage and flags
    Days, // the days' Lden table
    Exceedances, // the list of runs above the limit
    Distribution, // the levels' distribution chart
    Intervals, // the marked intervals with category and reason
    Annotations, // the user's marks
    Overlay, // the measurement laid over the graph and its figures
    Method, // how the figures were worked out
};

namespace ReportSections {

using Set = std::set<ReportSection>;

// Every section, in print order.
Set all();
// The name a section has on the command line: "details", "graph", "figures", "compliance",
// "periods", "days", "exceedances", "distribution", "intervals", "annotations", "overlay",
// "method".
QString nameOf(ReportSection section);
// The caption the dialog shows for a section ("Survey details", "Graph", ...).
QString captionOf(ReportSection section);
// A comma-separated list of names (case ignored, blanks around a name allowed, "all" for
// every section); none, with `error` saying which name is unknown, for anything else.
std::optional<Set> parse(const QString &list, QString *error = nullptr);

} // namespace ReportSections
