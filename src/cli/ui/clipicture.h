#pragma once

#include "cli/clicommands.h"

// "picture IN OUT [--set N] [--size WxH]": the chart of a data set of a collection or of a
// graph file, drawn by the graph window's chart and written as Save Picture writes it. Needs a
// QApplication (the offscreen platform will do).
namespace CliPicture {

constexpr int DefaultWidth = 1600;
constexpr int DefaultHeight = 900;

// Arguments after "picture".
CliCommands::Output run(const QStringList &arguments, const Clock &clock);

} // namespace CliPicture
