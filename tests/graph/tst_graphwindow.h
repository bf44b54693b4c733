// The graph window's test, one class over two files: recording and the figures on the real-time
// graph (tst_graphwindow.cpp), and the windows' questions, files, template and pictures
// (tst_graphwindowfiles.cpp). The main-window rig they share is here.

#pragma once

#include "app/ui/filecommands.h"
#include "app/ui/mainmenus.h"
#include "app/ui/tfrmmain.h"
#include "base/appstate.h"
#include "base/datetimedays.h"
#include "base/ui/scrolledpanel.h"
#include "chart/chartblock.h"
#include "chart/ui/pesgraph.h"
#include "chart/ui/tfrmpicturesize.h"
#include "common/mainwindowrig.h"
#include "files/graphfile.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/realtimecontroller.h"
#include "graph/ui/tfrmgraph.h"
#include "graph/ui/tfrmsetuprealtime.h"
#include "graph/ui/tslider2.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QTest>
#include <qcustomplot.h>

// The test drives the poll and the recording timer itself; the program's folder exists, for the
// graph template.
struct Rig : MainWindowRig
{
    Rig()
        : MainWindowRig({ .seed = 11,
                          .stopMainTimer = true,
                          .size = QSize(1280, 800),
                          .makeProgramFolder = true })
    {
    }
    TfrmGraph &graph() { return *window->graphs().RealTimeGraphWindow(); }
    ChartModel &chart() { return graph().chartModel(); }
    GraphStatistics::Fields fields() { return graph().fields(); }
    QAction &action(const char *name) { return control<QAction>(graph(), name); }
    Tslider2 &slider() { return control<Tslider2>(graph(), "Slider1"); }
    // Answers the "Real-Time Setup" dialog with a count and a rate.
    void setUp(const QString &count, const QString &rate)
    {
        prompts.dialogHandler = [count, rate](QDialog &dialog) {
            auto &setup = dynamic_cast<TfrmSetupRealTime &>(dialog);
            setup.edtRealTimeNo->setText(count);
            setup.txtRate->setEditText(rate);
            return int(QDialog::Accepted);
        };
    }
    // One second of the recording timer, with a poll tick for the live level.
    void second()
    {
        clock.advanceMs(1000);
        window->MainTimerTimer();
        window->realTime().RealTime_TimerTimer();
    }
    void record(int count, const QString &rate = "1.0")
    {
        connectAndPoll();
        setUp(QString::number(count), rate);
        window->menus().btnRun->trigger();
    }
    TfrmGraph *windowCaptioned(const QString &caption)
    {
        for (QMdiSubWindow *frame : window->mdiArea().subWindowList())
            if (auto *g = qobject_cast<TfrmGraph *>(frame->widget()); g && g->isCaption(caption))
                return g;
        return nullptr;
    }
};

inline void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The levels of subset 0, one decimal each, N for a null point.
inline QString levelsOf(const ChartModel &chart, int subset = 0)
{
    QStringList levels;
    for (int i = 0; i < chart.points(); ++i)
        levels << (ChartModel::isNull(chart.y(subset, i))
                       ? QString("N")
                       : GraphStatistics::levelText(chart.y(subset, i)));
    return levels.join(' ');
}

class TestGraphWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void realTimeGraphAtStartUp();
    void runToCountAndStop();
    void stopEarly();
    void meterLostWhileRecording();
    void runQuestionCancelKeepsRecording();
    void invalidCountStartsNothing_data();
    void invalidCountStartsNothing();
    void rateBoxTakesOnlyTheUsersChoice();
    void clearLeavesNoPoint();
    void nothingStaleAfterClearOrRun_data();
    void nothingStaleAfterClearOrRun();
    void newWindowsReadableAndInFront_data();
    void newWindowsReadableAndInFront();
    void smallWindowsKeepFiguresReadable_data();
    void smallWindowsKeepFiguresReadable();
    void closeQuestions_data();
    void closeQuestions();
    void saveClearsTheQuestion();
    void unknownExtensionSaysSo();
    void calLeqAndExport();
    void calLeqDuringRecording();
    void failedFigureIsReportedOnce_data();
    void failedFigureIsReportedOnce();
    void templateTakesLookOnly();
    void dragCursorLine();
    void fewPointsFlagged_data();
    void fewPointsFlagged();
    void distributionFollowsTheGraph();
    void saveAndReopen();
    void badGraphFileMakesNoWindow();
    void pictures_data();
    void pictures();
};
