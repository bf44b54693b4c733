#pragma once

#include <QObject>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
struct AppState;

// The main window's menu tree and toolbar: every item with its caption, hint, separator,
// check mark and enabled state at start. The main window connects the handlers.
class MainMenus
{
public:
    // Builds the menu bar and the toolbar panel into window.
    explicit MainMenus(QMainWindow &window);

    // The commands whose enabled state follows the program's state:
    //  - Run while the meter is connected, no recording runs and no exchange has the meter;
    //  - Stop while a recording runs, whatever the connection (a recording must always be
    //    stoppable);
    //  - the data logger menu and button, Open and LEQ while no exchange has the meter; the data
    //    logger also not after the meter was lost, until it is found again;
    //  - LEQ also while the LEQ window is open (its own measurement has the meter then), so that
    //    it brings that window back when it was minimised.
    void refresh(const AppState &state, bool leqWindowOpen);
    // The connection as the status bar shows it: lost after the fifth failed poll, found again
    // by the next identification.
    void setMeterLost(bool lost) { m_meterLost = lost; }

    // "&File"
    QAction *Open1, *Save1, *Print1, *PrinterSetup1, *Exit1;
    // "Real Time"
    QAction *Run1, *Stop1;
    // "&Data Logger"
    QMenu *DataLogger1;
    QAction *LoadData1, *EraseMemory1, *Setup1;
    // "&View"
    QAction *ControlPanel1, *RealTimeGraph1;
    // "&Window": the window list follows the separator after these two.
    QMenu *Window1;
    QAction *Tile1, *Cascade1;
    // "&Help"
    QAction *Contents1, *About1;
    // "LEQ", a top-level item without sub-items.
    QAction *LEQ1;
    // "Option"
    QMenu *Option1;
    QAction *discardfloatingerror1;

    // The toolbar panel and its buttons, left to right.
    QToolBar *Panel1;
    QAction *btnOpen, *btnSave, *btnPrint, *btnDataLogger, *btnOutputToGraph, *btnRun, *btnStop,
        *btnHelp;

private:
    bool m_meterLost = false;
};
