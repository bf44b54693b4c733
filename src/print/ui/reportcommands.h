#pragma once

#include "print/ui/instrumentreader.h"

class TfrmGraph;
class WindowServices;

// "Report..." of a graph window: a one-page PDF survey report of the graph as the window shows
// it (SurveyReport).
namespace ReportCommands {

// The "Report" dialog (title, note, sections and the survey's details, which the graph's
// measurement keeps once the dialog is accepted; "Read from meter" asks readInstrument), the save
// dialog ("PDF files (*.pdf)"; a name without an extension gets ".pdf"), then the report: the chart
// as the window draws it, its figures, cursors, excluded intervals and annotations, in the user's
// locale. A cancelled dialog writes nothing and says nothing; a file that cannot be written is
// told. True when the report was written.
bool ReportClick(TfrmGraph &graph, WindowServices &services,
                 const InstrumentReader &readInstrument = {});

} // namespace ReportCommands
