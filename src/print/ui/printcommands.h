#pragma once

class PESGraph;
class Prompts;
class QPrinter;
class StringGrid;

// The Print command's two ways of printing a window, on the printer that Printer Setup chose.
// A cancelled print dialog prints nothing and says nothing; a printer or file that cannot be
// written is told to the user.
namespace PrintCommands {

// `PrintTable`: the print dialog (`PrintDialog1`), then every row of the grid as a line of text
// in the printout's fixed-pitch font (TablePrintout). True when printed.
bool PrintTable(const StringGrid &grid, Prompts &prompts, QPrinter &printer);

// `PrintGraph`: the chart's customisation dialog without its fonts, titles, look and subsets
// pages (those four are switched on again when it closes), then the print dialog, then the
// chart on one page. Closing the customisation dialog either way goes on to the print dialog.
// True when printed.
bool PrintGraph(PESGraph &chart, Prompts &prompts, QPrinter &printer);

} // namespace PrintCommands
