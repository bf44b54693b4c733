#pragma once

#include "cli/clicommands.h"

// "distribution FILE [--set N] [--class W] [--from I --to J]": the level distribution of a data
// set of a collection (".rec") or of the first series of a graph file (".ghf"), its excluded
// intervals left out, over points I to J (from 1, both included; all without them), in classes
// of W dB (0.1, 0.5, 1, 2 or 5; 1 without --class): one header-less line per class,
// "lower<TAB>count<TAB>percent<TAB>exceeded" (LevelDistribution::lines).
namespace CliDistribution {

// Arguments after the command's name.
CliCommands::Output run(const QStringList &arguments, const Clock &clock);

} // namespace CliDistribution
