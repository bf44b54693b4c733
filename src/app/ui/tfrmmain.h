#pragma once

#include "app/ui/tfrmabout.h"
#include "base/appfolders.h"
#include "base/appstate.h"
#include "base/floatingpoint.h"
#include "base/ui/windowservices.h"
#include "meter/meterlink.h"
#include "meter/ui/meterservices.h"
#include "panel/ui/tfrmpanel.h"
#include "resources/bitmaptable.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <memory>

class Clock;
class DataLoggerController;
class LeqController;
class SetupCommands;
class FileCommands;
class GraphWindowFactory;
class MainMenus;
class MeterUsb;
class OverlayCommands;
class PeriodsCommands;
class Prompts;
class QMdiArea;
class QMdiSubWindow;
class QPrinter;
class QSettings;
class RealTimeController;
class StatusPanels;
class TableCommands;

// The program's one top-level window: an MDI parent holding every other window, with the menu
// bar, the toolbar, the status bar, the timers and the program-wide state. It polls the meter
// twice a second and mirrors the live reading on the control panel.
//
// It composes the program: it makes the controllers and the graph-window factory and hands them
// the services they use (WindowServices, MeterServices), which it implements. Nothing below it
// knows it.
class TfrmMain : public QMainWindow, public WindowServices, public MeterServices
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
    // Print: prints the active child window by its kind, a table window or the LEQ window as
    // text lines, a graph window through its chart; any other window (the control panel) and no
    // window at all print nothing.
    void btnPrintClick();
    void discardfloatingerror1Click();
    void Exit1Click();
    void Open1Click();
    // True when something was saved.
    bool Save1Click();
    void RealTimeGraph1Click();

    // Waits (at most 2.5 s) until a poll tick has ended, then switches the poll off.
    void StopPolling();

    // "Output Tabular to graph": the active table window as a new graph window.
    void btnOutputToGraphClick();

    // The parts the window composes.
    GraphWindowFactory &graphs() { return *m_graphs; }
    RealTimeController &realTime() { return *m_realTime; }
    DataLoggerController &dataLogger() { return *m_dataLogger; }
    LeqController &leq() { return *m_leq; }
    SetupCommands &setup() { return *m_setup; }
    FileCommands &files() { return *m_files; }
    TableCommands &tables() { return *m_tables; }
    OverlayCommands &overlays() { return *m_overlays; }
    PeriodsCommands &periods() { return *m_periods; }
    MainMenus &menus() { return *m_menus; }
    StatusPanels &statusPanels() { return *StatusBar1; }
    QMdiArea &mdiArea() { return *m_mdiArea; }
    const BitmapTable &bitmaps() const { return m_bitmaps; }
    // The printer and paper that Printer Setup chooses and every printout uses.
    QPrinter &printer();

    // WindowServices.
    AppState &state() override { return m_state; }
    Clock &clock() override { return m_clock; }
    Prompts &prompts() override { return m_prompts; }
    const AppFolders &folders() const override { return m_folders; }
    const FloatingPointOption &floatingPoint() const override { return m_floatingPoint; }
    QWidget *dialogParent() override { return this; }
    void addChildWindow(MdiChildForm &form, const QRect &geometry) override;
    QSize clientAreaSize() const override;
    void activateChildWindow(MdiChildForm &form) override;
    void restoreChildWindow(MdiChildForm &form) override;
    bool saveChildWindow(MdiChildForm &form) override;
    void refreshCommands() override;
    void setOutputToGraphEnabled(bool enabled) override;
    void setRealTimeGraphChecked(bool checked) override;

    // MeterServices.
    MeterLink &link() override { return m_link; }
    bool beginExchange() override;
    void endExchange() override;

    // Window references; each is empty while its window is closed. The graph windows' are the
    // factory's.
    QPointer<TfrmPanel> PanelWindow;
    QPointer<TfrmAbout> AboutWindow;
    QPointer<TfrmAbout> SplashScreen;

    // Adds a child window to the MDI area and returns its frame (not yet shown).
    QMdiSubWindow *addChildFrame(MdiChildForm &form);

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
    enum class Arrangement { Tile, Cascade };
    void arrangeChildWindows(Arrangement arrangement);
    int cascadeStep() const;
    QRect realTimeGraphPlace() const;

    MeterUsb &m_usb;
    Clock &m_clock;
    Prompts &m_prompts;
    QSettings &m_settings;
    AppFolders m_folders;
    AppState m_state;
    MeterLink m_link;
    BitmapTable m_bitmaps;
    FloatingPointOption m_floatingPoint;
    std::unique_ptr<MainMenus> m_menus;
    std::unique_ptr<QPrinter> m_printer;
    QMdiArea *m_mdiArea = nullptr;
    StatusPanels *StatusBar1 = nullptr;
    GraphWindowFactory *m_graphs = nullptr;
    RealTimeController *m_realTime = nullptr;
    DataLoggerController *m_dataLogger = nullptr;
    LeqController *m_leq = nullptr;
    SetupCommands *m_setup = nullptr;
    PeriodsCommands *m_periods = nullptr;
    std::unique_ptr<TableCommands> m_tables;
    std::unique_ptr<OverlayCommands> m_overlays;
    std::unique_ptr<FileCommands> m_files;
    bool m_shown = false;
};
