#include "app/ui/mainmenus.h"

#include "base/appstate.h"

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>

namespace {

QAction *item(QMenu *menu, const char *objectName, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(objectName));
    return action;
}

QMenu *menu(QMenuBar *bar, const char *objectName, const QString &caption)
{
    QMenu *m = bar->addMenu(caption);
    m->setObjectName(QLatin1String(objectName));
    m->menuAction()->setObjectName(QLatin1String(objectName));
    return m;
}

QAction *button(QToolBar *bar, const char *objectName, const char *icon, const QString &hint,
                bool enabled)
{
    QAction *action = bar->addAction(QIcon(QStringLiteral(":/") + QLatin1String(icon)), hint);
    action->setObjectName(QLatin1String(objectName));
    action->setToolTip(hint);
    action->setEnabled(enabled);
    return action;
}

} // namespace

MainMenus::MainMenus(QMainWindow &window)
{
    QMenuBar *bar = window.menuBar();

    QMenu *file = menu(bar, "File1", QStringLiteral("&File"));
    Open1 = item(file, "Open1", QStringLiteral("&Open"));
    Save1 = item(file, "Save1", QStringLiteral("&Save"));
    file->addSeparator();
    Print1 = item(file, "Print1", QStringLiteral("&Print"));
    PrinterSetup1 = item(file, "PrinterSetup1", QStringLiteral("&Printer Setup"));
    file->addSeparator();
    Exit1 = item(file, "Exit1", QStringLiteral("E&xit"));

    QMenu *realTime = menu(bar, "RealTime1", QStringLiteral("Real Time"));
    Run1 = item(realTime, "Run1", QStringLiteral("Run"));
    Run1->setEnabled(false);
    Stop1 = item(realTime, "Stop1", QStringLiteral("Stop"));
    Stop1->setEnabled(false);

    DataLogger1 = menu(bar, "DataLogger1", QStringLiteral("&Data Logger"));
    LoadData1 = item(DataLogger1, "LoadData1", QStringLiteral("Load Data"));
    EraseMemory1 = item(DataLogger1, "EraseMemory1", QStringLiteral("Erase Memory"));
    Setup1 = item(DataLogger1, "Setup1", QStringLiteral("Setup"));

    QMenu *view = menu(bar, "View1", QStringLiteral("&View"));
    ControlPanel1 = item(view, "ControlPanel1", QStringLiteral("&Control Panel"));
    ControlPanel1->setCheckable(true);
    ControlPanel1->setChecked(true);
    RealTimeGraph1 = item(view, "RealTimeGraph1", QStringLiteral("Real Time &Graph"));
    RealTimeGraph1->setCheckable(true);
    RealTimeGraph1->setChecked(true);

    Window1 = menu(bar, "Window1", QStringLiteral("&Window"));
    Tile1 = item(Window1, "Tile1", QStringLiteral("&Tile"));
    Cascade1 = item(Window1, "Cascade1", QStringLiteral("&Cascade"));

    QMenu *help = menu(bar, "Help1", QStringLiteral("&Help"));
    Contents1 = item(help, "Contents1", QStringLiteral("&Contents"));
    help->addSeparator();
    About1 = item(help, "About1", QStringLiteral("&About"));

    LEQ1 = bar->addAction(QStringLiteral("LEQ"));
    LEQ1->setObjectName(QStringLiteral("LEQ1"));

    const QString floatingHint = QStringLiteral("Enable it only when floating error occured.");
    Option1 = menu(bar, "Option1", QStringLiteral("Option"));
    Option1->menuAction()->setToolTip(floatingHint);
    Option1->menuAction()->setStatusTip(floatingHint);
    Option1->setToolTipsVisible(true);
    discardfloatingerror1
        = item(Option1, "discardfloatingerror1", QStringLiteral("discard floating error"));
    discardfloatingerror1->setCheckable(true);
    discardfloatingerror1->setToolTip(floatingHint);
    discardfloatingerror1->setStatusTip(floatingHint);

    Panel1 = new QToolBar(QStringLiteral("Toolbar"), &window);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMovable(false);
    Panel1->setFloatable(false);
    Panel1->setFixedHeight(36);
    Panel1->setIconSize(QSize(24, 24));
    Panel1->toggleViewAction()->setEnabled(false);
    window.addToolBar(Qt::TopToolBarArea, Panel1);
    btnOpen = button(Panel1, "btnOpen", "ICON_OPEN", QStringLiteral("Open File"), true);
    btnSave = button(Panel1, "btnSave", "ICON_SAVE", QStringLiteral("Save to file"), true);
    btnPrint = button(Panel1, "btnPrint", "ICON_PRINT", QStringLiteral("Print"), true);
    Panel1->addSeparator();
    btnDataLogger
        = button(Panel1, "btnDataLogger", "ICON_DATALOGGER", QStringLiteral("Data Logger"), true);
    btnOutputToGraph = button(Panel1, "btnOutputToGraph", "ICON_OUTPUTTOGRAPH",
                              QStringLiteral("Output Tabular to graph"), false);
    Panel1->addSeparator();
    btnRun = button(Panel1, "btnRun", "ICON_RUN", QStringLiteral("Start Graphing Real Time Data"),
                    false);
    btnStop = button(Panel1, "btnStop", "ICON_STOP", QStringLiteral("Stop Graphing Real Time Data"),
                     false);
    Panel1->addSeparator();
    btnHelp = button(Panel1, "btnHelp", "ICON_HELP", QStringLiteral("Help"), true);
}

void MainMenus::refresh(const AppState &state, bool leqWindowOpen)
{
    const bool free = !state.ExchangeRunning;
    const bool run = state.Connected && !state.RealTimeRunning && free;
    btnRun->setEnabled(run);
    Run1->setEnabled(run);
    btnStop->setEnabled(state.RealTimeRunning);
    Stop1->setEnabled(state.RealTimeRunning);
    const bool logger = free && !m_meterLost;
    btnDataLogger->setEnabled(logger);
    DataLogger1->menuAction()->setEnabled(logger);
    LoadData1->setEnabled(logger);
    EraseMemory1->setEnabled(logger);
    Open1->setEnabled(free);
    btnOpen->setEnabled(free);
    LEQ1->setEnabled(free || leqWindowOpen);
}
