#pragma once

#include "cli/clicommands.h"

// The figures over the clock of a data set of a collection (".rec") or of the first series of a
// graph file (".ghf"), its excluded intervals left out, as header-less tab-separated lines with
// times as ISO 8601 local times and levels with one decimal and a point whatever the locale; an
// empty field where a figure cannot be formed.
//
//   periods FILE [--set N] --period SECONDS
//       one line per period: start, N, Leq, Lmax, L10, L90 (PeriodFigures)
//   lden FILE [--set N]
//       one line per day: date, Lday, Levening, Lnight, Lden (DayNightLevels)
//   exceed FILE [--set N] --limit DB
//       one line per run above the limit: start, seconds, Lmax, Leq (Exceedances), then
//       "total", the number of runs and their seconds; seconds are whole when the series'
//       interval is, with one decimal otherwise, and empty when it is not known
namespace CliPeriods {

// Arguments after the command's name.
CliCommands::Output periods(const QStringList &arguments, const Clock &clock);
CliCommands::Output lden(const QStringList &arguments, const Clock &clock);
CliCommands::Output exceed(const QStringList &arguments, const Clock &clock);

} // namespace CliPeriods
