#pragma once

#include <QString>

class GraphWindowFactory;
class MdiChildForm;
class TfrmGraph;
class TfrmList;
class WindowServices;

// The table windows' commands: reading a text file into a new table window, and drawing the
// active table as a new graph window ("Output Tabular to graph").
class TableCommands
{
public:
    TableCommands(WindowServices &services, GraphWindowFactory &graphs);

    // Reads a ".txt" (tab) or ".csv" (comma) file into a new table window captioned with the
    // file's full path; the window, or nothing when the file cannot be read or gives no line
    // (then the user is told why).
    TfrmList *ImportTextFile(const QString &fileName, const QString &extension);
    // Draws the table as a new graph window captioned as the table; nothing when the active
    // window is no table. "No data to graph !" when the first row has no date; the message of
    // an unreadable first or last date-time, and no window, when either cannot be read.
    TfrmGraph *btnOutputToGraphClick(MdiChildForm *active);

private:
    WindowServices &m_services;
    GraphWindowFactory &m_graphs;
};
