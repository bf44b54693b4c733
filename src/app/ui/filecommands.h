#pragma once

#include "files/ui/textfilecommands.h"
#include "survey/workbooksheets.h"

#include <QString>

class DataLoggerController;
class GraphWindowFactory;
class MdiChildForm;
class PeriodsCommands;
class TableCommands;
class TfrmGraph;
class WindowServices;

// The File menu's Open and Save: Save works out from the active child window what can be saved
// and how; Open asks whether a data set collection or a single file is to be opened. Every
// failed save tells the user which file and why; a cancelled dialog says nothing.
class FileCommands
{
public:
    FileCommands(WindowServices &services, GraphWindowFactory &graphs,
                 DataLoggerController &dataLogger, TableCommands &tables,
                 const PeriodsCommands &periods);

    void Open1Click();
    // Saves what a child window holds, as the Save command does for it; true when saved.
    bool saveChild(MdiChildForm &child);
    // Saves a graph window's chart, asking for the name: a graph file (".ghf"), its first
    // series as text (".txt", ".csv"), as a CSV with header (that type chosen, ".csv") or as a
    // workbook (".xlsx"); true when saved.
    bool SaveGraph(TfrmGraph &graph);
    // Asks for one file and opens it by its extension: a graph file as a graph window, a text
    // or CSV file as a table window.
    void OpenSingleDataFile();
    // Opens a graph file as a new graph window; false (and an error shown) when it cannot.
    bool OpenGraphFile(const QString &fileName);

private:
    WorkbookSheets::Options workbookOptions(const TfrmGraph &graph) const;

    WindowServices &m_services;
    GraphWindowFactory &m_graphs;
    DataLoggerController &m_dataLogger;
    TableCommands &m_tables;
    const PeriodsCommands &m_periods;
    TextFileCommands m_text;
};
