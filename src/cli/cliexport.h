#pragma once

#include "cli/clicommands.h"

#include <QLocale>

// "export IN OUT [--set N]": a data set of a collection (".rec") or the first series of a graph
// file (".ghf") as the graph text lines Audexa's Save writes, in the given locale; OUT "-" is
// standard output.
namespace CliExport {

// Arguments after "export".
CliCommands::Output run(const QStringList &arguments, const Clock &clock, const QLocale &locale);

} // namespace CliExport
