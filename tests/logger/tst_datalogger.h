// The data logger window's test, one class over two files: loading, graphing, correcting and
// saving the data sets (tst_datalogger.cpp), and failures, refusals and questions
// (tst_dataloggerfailures.cpp). The main-window rig they share is here.

#pragma once

#include "app/ui/mainmenus.h"
#include "app/ui/tfrmmain.h"
#include "base/datetimedays.h"
#include "base/ui/stringgrid.h"
#include "chart/ui/pesgraph.h"
#include "common/mainwindowrig.h"
#include "files/datasetfile.h"
#include "files/ui/tfrmopensave.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/realtimecontroller.h"
#include "graph/ui/tfrmgraph.h"
#include "logger/ui/dataloggercontroller.h"
#include "logger/ui/tfrmdatetime.h"
#include "meter/simulatedloggermemory.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>

// The "DataLogger" window's rows after a download of the seeded memory: one per set, and the
// titles.
inline const int SeededRows = int(SimulatedLoggerMemory::seededSets().size()) + 1;

// The test drives the poll itself and checks the frames sent. It owns the folder, so that a second
// rig on it is the program started again.
struct Rig : MainWindowRig
{
    explicit Rig(QTemporaryDir &folder)
        : MainWindowRig(folder,
                        { .seed = 5,
                          .recordCalls = true,
                          .stopMainTimer = true,
                          .size = QSize(1280, 800),
                          .makeProgramFolder = true })
    {
    }
    TfrmGraph *logger() { return window->graphs().DataLoggerGraphWindow(); }
    DataLoggerController &controller() { return window->dataLogger(); }
    void load() { window->menus().LoadData1->trigger(); }
    QString cell(int col, int row) { return logger()->dataSetCell(col, row); }
    QStringList rows()
    {
        QStringList texts;
        for (int r = 1; r < logger()->dataSetRowCount(); ++r)
            texts << cell(4, r) + ' ' + cell(1, r) + ' ' + cell(2, r);
        return texts;
    }
    void answerChoice(int choice)
    {
        prompts.dialogHandler = [choice](QDialog &) {
            return choice;
        };
    }
    // Saves the "DataLogger" window's collection as the Save command does.
    bool saveCollection(const QString &file)
    {
        window->activateChildWindow(*logger());
        answerChoice(TfrmOpenSave::Ok);
        prompts.fileNames = { file };
        return window->Save1Click();
    }
    int writesOf(char letter)
    {
        int n = 0;
        for (const QByteArray &frame : usb->writes())
            n += frame.at(1) == letter;
        return n;
    }
};

inline QByteArray contents(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class TestDataLogger : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void notConnected();
    void meterRecording();
    void loadShowsEverySet();
    void rowClickGraphsThatSet();
    void graphingLeavesTheRecordingRate();
    void changeStartOfOneSet();
    void correctedStartSurvivesSaving();
    void saveAndOpenAfterRestart();
    void eachSetKeepsItsAnalysis();
    void correctedStartMovesTheAnalysis();
    void failures_data();
    void failures();
    void failedLoadIntoNewWindowShowsNothingOld();
    void noDataSets();
    void refusedMemoryChangesNothing_data();
    void refusedMemoryChangesNothing();
    void replacingAnUnsavedDownloadAsks_data();
    void replacingAnUnsavedDownloadAsks();
    void nothingStartsInsideADownload();
    void failedSavesSaySo_data();
    void failedSavesSaySo();
    void tempFileThatCannotBeWritten();
    void closeAsksAboutUnsavedData();
    void onlyItsOwnClosingForgetsTheData();
};
