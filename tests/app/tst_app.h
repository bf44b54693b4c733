// The application shell's test, one class over two files: settings, folders, start-up, the menus
// and the connection (tst_app.cpp), and the child windows and leaving the program
// (tst_appwindows.cpp). The main-window rig they share is here.

#pragma once

#include "app/appsettings.h"
#include "app/ui/mainmenus.h"
#include "app/ui/statuspanels.h"
#include "app/ui/tfrmabout.h"
#include "app/ui/tfrmmain.h"
#include "base/appfolders.h"
#include "base/floatingpoint.h"
#include "base/rangerule.h"
#include "base/ui/tfrmscope.h"
#include "common/mainwindowrig.h"
#include "common/scriptedprompts.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/tfrmgraph.h"
#include "panel/ui/tfrmpanel.h"

#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>

// The main window as the program starts it: the poll timer runs, and the window talks to the meter
// through a recorder.
struct Rig : MainWindowRig
{
    Rig()
        : MainWindowRig({ .seed = 7, .recordCalls = true })
    {
    }
    MainMenus &m() { return window->menus(); }
    QString status(int panel) { return window->statusPanels().panelText(panel); }
};

inline void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

class TestApp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void settingsRead_data();
    void settingsRead();
    void settingsRoundTrip();
    void dataFolder();
    void floatingPointOption();
    void rangeRule_data();
    void rangeRule();
    void rangeDialog();

    void startUp();
    void menuTree_data();
    void menuTree();
    void connectAndPoll();
    void connectionMonitor();
    void connectionDuringRecording();
    void closedPanelStillDecodes();
    void controlPanelReopens();
    void panelMinimisesAgain();
    void closeWritesSettingsExitDoesNot();
    void closeCancelledByChild();
    void smallCommands();
    void tileAndCascadeStayInside_data();
    void tileAndCascadeStayInside();
};
