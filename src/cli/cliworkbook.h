#pragma once

#include "cli/clicommands.h"

// "workbook FILE OUT.xlsx [--set N] [--period SECONDS] [--hours H]": data set N of a collection
// (".rec") or a graph file (".ghf") as the workbook Audexa's Save writes for a graph (readings,
// figures and method, periods of SECONDS (900 unless told), day-evening-night levels for the
// hours H (07-19-23 unless told), exceedances of the graph's limit, details). The program's
// settings are never read.
namespace CliWorkbook {

// Arguments after "workbook".
CliCommands::Output run(const QStringList &arguments, const Clock &clock);

} // namespace CliWorkbook
