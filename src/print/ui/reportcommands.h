#pragma once

#include "print/ui/instrumentreader.h"

class TfrmGraph;
class WindowServices;

// "Report..." of a graph window: a survey report of the graph as the window shows it, as a PDF
// file or an OpenDocument text (SurveyReport).
namespace ReportCommands {

// The "Report" dialog (title, note, sections and the survey's details, which the graph's
// measurement keeps once the dialog is accepted; "Read from meter" asks readInstrument), the save
// dialog ("PDF files (*.pdf)" or "OpenDocument text (*.odt)"; a name without an extension gets
// ".pdf"), then the report: the chart as the window draws it, its figures and cursors, the
// periods of periodSeconds (those the graph's "Periods" window shows), the days for the program's
// hours and coverage threshold, and the rest, in the user's locale. A cancelled dialog writes
// nothing and says nothing; a file that cannot be written is told. True when the report was
// written.
bool ReportClick(TfrmGraph &graph, WindowServices &services,
                 const InstrumentReader &readInstrument = {}, int periodSeconds = 900);

} // namespace ReportCommands
