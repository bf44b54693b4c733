#pragma once

#include "cli/clicommands.h"

// "figures FILE [--set N] [--from I --to J | --category C]": the acoustic figures of a data set of
// a collection (".rec") or of the first series of a graph file (".ghf"), of points I to J (from 1,
// both included; the whole series without them), as "name<TAB>value" lines: N, T, Leq, Lmax,
// Lmin, L5, L10, L50, L90, L95, SEL, with a point as decimal separator whatever the locale and
// T in whole seconds; an empty value where a figure cannot be formed. With
// "--category specific|residual": the figures of the points in the intervals of that category
// alone (N 0 when there is none).
namespace CliFigures {

// Arguments after "figures".
CliCommands::Output run(const QStringList &arguments, const Clock &clock);

} // namespace CliFigures
