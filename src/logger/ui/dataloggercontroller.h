#pragma once

#include "logger/loggerdata.h"

class DownloadProgress;
class TfrmGraph;
class TfrmMain;

// The data logger as the main window runs it: "Load Data" (download, decode, keep the
// temporary file, graph the first set), the data sets panel of the "DataLogger" window,
// graphing one data set, correcting a set's start, and opening and saving collections.
class DataLoggerController
{
public:
    // LoadLoggerMemory's result when the temporary folder could not be made: the error has
    // been shown and nothing more is said.
    static constexpr int TempFolderFailed = -1;

    explicit DataLoggerController(TfrmMain &main)
        : m_main(main)
    {
    }

    void LoadData1Click();
    int LoadLoggerMemory(DownloadProgress *progress);

    void FillDataSetsPanel();
    void GraphDataSet(int set);
    void ChangeDataSetStart(int set);
    void Grid2Click(int row);
    void ChangeDateTime1Click(int row);

    // Returns whether a collection was opened (false: cancelled or refused).
    bool OpenDataSetCollection();
    // Returns whether the collection was saved.
    bool SaveDataSetCollection();

    // The "DataLogger" window, made when there is none, restored when there is.
    TfrmGraph &ensureWindow();

    const LoggerData &data() const { return m_data; }
    QString tempFile() const;

    // Decodes memoryImage and, when it holds data sets, keeps the temporary file and graphs
    // set 0. Returns the decoder's code, or TempFolderFailed.
    int decodeAndShow();

private:
    TfrmMain &m_main;
    LoggerData m_data;
};
