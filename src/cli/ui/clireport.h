#pragma once

#include "cli/clicommands.h"

// "report IN OUT.pdf|OUT.odt [--set N] [--title T] [--sections LIST] [--period S] [--limit DB]
// [--hours H]": the survey report of a data set of a collection or of a graph file, with the
// details it keeps, as the graph window's "Report..." writes it, in the locale of the
// environment; the limit is DB, else the file's, and the graph shows it. The figures between the cursors are those between the graph file's cursor
// lines where both stand within its data, otherwise the whole graph's. The title is T, else the
// chart's main title, else the input's file name. Needs a QApplication (the offscreen platform
// will do).
namespace CliReport {

// Arguments after "report".
CliCommands::Output run(const QStringList &arguments, const Clock &clock);

} // namespace CliReport
