#pragma once

#include "app/appfolders.h"
#include "app/appstate.h"
#include "app/floatingpoint.h"
#include "app/ui/mdichildform.h"
#include "app/ui/tfrmabout.h"
#include "graph/ui/realtimecontroller.h"
#include "graph/ui/tfrmgraph.h"
#include "logger/ui/dataloggercontroller.h"
#include "meter/meterlink.h"
#include "panel/ui/tfrmpanel.h"
#include "resources/bitmaptable.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <memory>

class Clock;
class MainMenus;
class MeterUsb;
class Prompts;
class QMdiArea;
class QMdiSubWindow;
class QPrinter;
class QSettings;
class StatusPanels;

// The program's one top-level window: an MDI parent holding every other window, with the menu
// bar, the toolbar, the status bar, the timers and the program-wide state. It polls the meter
// twice a second and mirrors the live reading on the control panel.
class TfrmMain : public QMainWindow
{
    Q_OBJECT

public:
    // Everything the window works with is handed in, so that tests run it on a simulated meter,
    // a fixed clock, scripted prompts and a temporary settings store and folder.
    TfrmMain(MeterUsb &usb, Clock &clock, Prompts &prompts, QSettings &settings,
             const AppFolders &folders, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The splash screen that showing the window closes.
    void setSplashScreen(TfrmAbout *splash) { SplashScreen = splash; }

    // Timers.
    QTimer MainTimer;
    QTimer MaxMinTimer;
    QTimer LEQTimer;
    QTimer RealTime_Timer;

    // Handlers.
    void MainTimerTimer();
    void MaxMinTimerTimer();
    void ControlPanel1Click();
    void Tile1Click();
    void Cascade1Click();
    void Contents1Click();
    void About1Click();
    void PrinterSetup1Click();
    void discardfloatingerror1Click();
    void Exit1Click();
    // File commands: Open and Save choose by the active window and the file's extension.
    void Open1Click();
    // True when something was saved.
    bool Save1Click();
    void RealTimeGraph1Click();

    // Saves a graph window's chart as a graph file, asking for the name; true when saved.
    bool SaveGraph(TfrmGraph &graph);
    // Opens a graph file as a new graph window; false (and an error shown) when it cannot.
    bool OpenGraphFile(const QString &fileName);
    // Creates the real-time graph window (to the right of the panel at start-up).
    TfrmGraph *createRealTimeGraph();
    RealTimeController &realTime() { return m_realTime; }
    DataLoggerController &dataLogger() { return m_dataLogger; }
    // Saves what a child window holds, as the Save command does for it; true when saved.
    bool saveChild(QWidget *child);
    // A graph window has closed: forget it.
    void graphWindowClosed(TfrmGraph *graph);

    // Waits (at most 2.5 s) until a poll tick has ended, then switches the poll off. Whoever
    // calls it switches MainTimer on again when done.
    void StopPolling();

    AppState &state() { return m_state; }
    MeterLink &link() { return m_link; }
    MainMenus &menus() { return *m_menus; }
    StatusPanels &statusPanels() { return *StatusBar1; }
    QMdiArea &mdiArea() { return *m_mdiArea; }
    const BitmapTable &bitmaps() const { return m_bitmaps; }
    const FloatingPointOption &floatingPoint() const { return m_floatingPoint; }
    Prompts &prompts() { return m_prompts; }
    Clock &clock() { return m_clock; }
    const AppFolders &folders() const { return m_folders; }
    QPrinter &printer();

    // Window references; each is empty while its window is closed.
    QPointer<TfrmPanel> PanelWindow;
    QPointer<TfrmGraph> RealTimeGraphWindow;
    QPointer<TfrmGraph> DataLoggerGraphWindow;
    QPointer<MdiChildForm> LeqWindow;
    QPointer<TfrmAbout> AboutWindow;
    QPointer<TfrmAbout> SplashScreen;

    // Adds a child window to the MDI area and returns its frame.
    QMdiSubWindow *addChildWindow(MdiChildForm *form);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void connectMenus();
    void createPanel();
    void showConnected();
    void showDisconnected();
    void rebuildWindowMenu();
    void activeChildChanged(QMdiSubWindow *frame);

    MeterUsb &m_usb;
    Clock &m_clock;
    Prompts &m_prompts;
    QSettings &m_settings;
    AppFolders m_folders;
    AppState m_state;
    MeterLink m_link;
    BitmapTable m_bitmaps;
    FloatingPointOption m_floatingPoint;
    RealTimeController m_realTime { *this };
    DataLoggerController m_dataLogger { *this };
    std::unique_ptr<MainMenus> m_menus;
    std::unique_ptr<QPrinter> m_printer;
    QMdiArea *m_mdiArea = nullptr;
    StatusPanels *StatusBar1 = nullptr;
    bool m_shown = false;
};
