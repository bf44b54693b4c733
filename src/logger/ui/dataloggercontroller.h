#pragma once

#include "logger/loggerdata.h"
#include "survey/analysisfile.h"

#include <QObject>

class GraphWindowFactory;
class MeterServices;
class TfrmGraph;
class WindowServices;
class WorkProgress;

// The data logger as the main window runs it: "Load Data" (download, decode, keep the
// temporary file, graph the first set), the data sets panel of the "DataLogger" window,
// graphing one data set, correcting a set's start, and opening and saving collections.
class DataLoggerController : public QObject
{
    Q_OBJECT

public:
    // LoadLoggerMemory's result when the temporary folder could not be made: the error has
    // been shown and nothing more is said.
    static constexpr int TempFolderFailed = -1;

    DataLoggerController(WindowServices &services, MeterServices &meter, GraphWindowFactory &graphs,
                         QObject *parent = nullptr);

    void LoadData1Click();
    int LoadLoggerMemory(WorkProgress *progress);

    void FillDataSetsPanel();
    void GraphDataSet(int set);
    void ChangeDataSetStart(int set);
    void Grid2Click(int row);
    void ChangeDateTime1Click(int row);

    // Returns whether a collection was opened (false: cancelled or refused).
    bool OpenDataSetCollection();
    // Returns whether the collection was saved; a failure has been shown.
    bool SaveDataSetCollection();

    const LoggerData &data() const { return m_data; }
    // Each data set's analysis as the user left it (the set shown: as it stood when it was last
    // shown), by set from 0.
    AnalysisFile::Sets analyses() const;
    // Whether a set holds analysis added since the data sets were opened or last saved.
    bool hasUnsavedAnalysis() const;
    QString tempFile() const;

    // Decodes memoryImage and, when it holds data sets, shows them, keeps the memory in the
    // temporary file, names them after collectionFile (empty for a download) and graphs set 0.
    // A memory the decoder refuses changes none of these. Returns the decoder's code, or
    // TempFolderFailed.
    int decodeAndShow(const QString &collectionFile = QString());

private:
    void connectPanel(TfrmGraph *graph);
    // Before the data sets shown are replaced: false when the user keeps an unsaved download.
    bool mayReplaceDataSets();
    // The analysis of the set shown, kept with the set before another is shown or saved.
    void keepShownAnalysis();
    // The analysis file beside a collection just opened: its sets' analysis taken when they
    // still match the data sets, and one line said when it cannot be read or does not match.
    void readAnalysisFile(const QString &collectionFile);
    // Writes the analysis of the sets beside a collection just saved (or removes an earlier one
    // when no set holds any); false, once said, when that fails.
    bool saveAnalysisFile(const QString &collectionFile);

    WindowServices &m_services;
    MeterServices &m_meter;
    GraphWindowFactory &m_graphs;
    LoggerData m_data;
    // The temporary file holds the data sets shown: written in this run, and not since failed.
    bool m_tempFileCurrent = false;
    // The collection file the data sets came from or were saved to; empty after a download.
    QString m_collectionFile;
    // The analysis of each data set, and the set the "DataLogger" window shows (-1: none).
    AnalysisFile::Sets m_analyses;
    int m_shownSet = -1;
    // The analysis as the collection file keeps it (opened or saved), without the cursors.
    AnalysisFile::Sets m_savedAnalyses;
    // The analysis file of the collection opened when it could not be read whole: set aside, not
    // replaced, by the next save.
    QString m_notReadWhole;
};
