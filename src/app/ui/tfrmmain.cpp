#include "app/ui/tfrmmain.h"

#include "app/appsettings.h"
#include "app/ui/filecommands.h"
#include "app/ui/journalrecovery.h"
#include "app/ui/mainmenus.h"
#include "app/ui/meterinstrument.h"
#include "app/ui/statuspanels.h"
#include "app/ui/tfrmabout.h"
#include "base/clock.h"
#include "base/ui/mdichildform.h"
#include "base/ui/prompts.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/periodscommands.h"
#include "graph/ui/realtimecontroller.h"
#include "graph/ui/tfrmgraph.h"
#include "graph/ui/tfrmperiods.h"
#include "leq/ui/leqcontroller.h"
#include "leq/ui/tfrmleq.h"
#include "logger/ui/dataloggercontroller.h"
#include "logger/ui/overlaycommands.h"
#include "logger/ui/tablecommands.h"
#include "logger/ui/tfrmlist.h"
#include "meter/connectionmonitor.h"
#include "meter/ui/setupcommands.h"
#include "panel/ui/tfrmpanel.h"
#include "print/ui/printcommands.h"
#include "print/ui/reportcommands.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPrinter>
#include <QSettings>
#include <QToolBar>

namespace {
constexpr auto OnConnection = "On Connection";
constexpr auto OffConnection = "Off Connection";
constexpr auto NoConnection = "No Connection";
constexpr int StartupWaitMs = 500;
constexpr int StopPollingWaitMs = 2500;
} // namespace

TfrmMain::TfrmMain(MeterUsb &usb, Clock &clock, Prompts &prompts, QSettings &settings,
                   const AppFolders &folders, QWidget *parent)
    : QMainWindow(parent)
    , m_usb(usb)
    , m_clock(clock)
    , m_prompts(prompts)
    , m_settings(settings)
    , m_folders(folders)
    , m_link(usb)
{
    setObjectName(QStringLiteral("TfrmMain"));
    setWindowTitle(QStringLiteral("Q7316"));
    setWindowIcon(QIcon(QStringLiteral(":/APPICON")));

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("ClientArea"));
    // The client area has no border and no scroll bars.
    m_mdiArea->setFrameShape(QFrame::NoFrame);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_mdiArea->setBackground(QColor(0x80, 0x80, 0x80));
    setCentralWidget(m_mdiArea);

    m_menus = std::make_unique<MainMenus>(*this);
    StatusBar1 = new StatusPanels(this);
    setStatusBar(StatusBar1);

    MainTimer.setInterval(500);
    MaxMinTimer.setInterval(500);
    LEQTimer.setInterval(40);
    RealTime_Timer.setInterval(1000);
    connect(&MainTimer, &QTimer::timeout, this, &TfrmMain::MainTimerTimer);
    connect(&MaxMinTimer, &QTimer::timeout, this, &TfrmMain::MaxMinTimerTimer);

    m_graphs = new GraphWindowFactory(*this, this);
    m_graphs->setRealTimePlace([this] { return realTimeGraphPlace(); });
    m_realTime = new RealTimeController(*this, *m_graphs, RealTime_Timer, this);
    m_dataLogger = new DataLoggerController(*this, *this, *m_graphs, this);
    m_leq = new LeqController(*this, *this, *m_graphs, LEQTimer, this);
    m_setup = new SetupCommands(*this, *this, this);
    m_periods = new PeriodsCommands(*this, this);
    m_tables = std::make_unique<TableCommands>(*this, *m_graphs);
    m_overlays = std::make_unique<OverlayCommands>(*this, *m_dataLogger);
    m_files = std::make_unique<FileCommands>(*this, *m_graphs, *m_dataLogger, *m_tables,
                                             *m_periods);
    connectMenus();
    FormCreate();
}

TfrmMain::~TfrmMain()
{
    MainTimer.stop();
    MaxMinTimer.stop();
    LEQTimer.stop();
    // The child windows go before the state and the link they refer to.
    delete m_mdiArea;
    m_mdiArea = nullptr;
}

void TfrmMain::connectMenus()
{
    MainMenus &m = *m_menus;
    connect(m.PrinterSetup1, &QAction::triggered, this, &TfrmMain::PrinterSetup1Click);
    connect(m.Print1, &QAction::triggered, this, &TfrmMain::btnPrintClick);
    connect(m.btnPrint, &QAction::triggered, this, &TfrmMain::btnPrintClick);
    connect(m.Open1, &QAction::triggered, this, &TfrmMain::Open1Click);
    connect(m.btnOpen, &QAction::triggered, this, &TfrmMain::Open1Click);
    connect(m.Save1, &QAction::triggered, this, &TfrmMain::Save1Click);
    connect(m.btnSave, &QAction::triggered, this, &TfrmMain::Save1Click);
    connect(m.btnOutputToGraph, &QAction::triggered, this, &TfrmMain::btnOutputToGraphClick);
    connect(m.RealTimeGraph1, &QAction::triggered, this, &TfrmMain::RealTimeGraph1Click);
    for (QAction *load : { m.LoadData1, m.btnDataLogger })
        connect(load, &QAction::triggered, m_dataLogger, &DataLoggerController::LoadData1Click);
    for (QAction *run : { m.Run1, m.btnRun })
        connect(run, &QAction::triggered, m_realTime, &RealTimeController::btnRunClick);
    for (QAction *stop : { m.Stop1, m.btnStop })
        connect(stop, &QAction::triggered, m_realTime, &RealTimeController::btnStopClick);
    connect(m.Exit1, &QAction::triggered, this, &TfrmMain::Exit1Click);
    connect(m.LEQ1, &QAction::triggered, m_leq, &LeqController::LEQ1Click);
    connect(m.Setup1, &QAction::triggered, m_setup, &SetupCommands::Setup1Click);
    connect(m.EraseMemory1, &QAction::triggered, m_setup, &SetupCommands::EraseMemory1Click);
    connect(m.ControlPanel1, &QAction::triggered, this, &TfrmMain::ControlPanel1Click);
    connect(m.Tile1, &QAction::triggered, this, &TfrmMain::Tile1Click);
    connect(m.Cascade1, &QAction::triggered, this, &TfrmMain::Cascade1Click);
    connect(m.Contents1, &QAction::triggered, this, &TfrmMain::Contents1Click);
    connect(m.btnHelp, &QAction::triggered, this, &TfrmMain::Contents1Click);
    connect(m.About1, &QAction::triggered, this, &TfrmMain::About1Click);
    connect(m.discardfloatingerror1, &QAction::triggered, this,
            &TfrmMain::discardfloatingerror1Click);
    connect(m.Window1, &QMenu::aboutToShow, this, &TfrmMain::rebuildWindowMenu);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &TfrmMain::activeChildChanged);
    connect(m_graphs, &GraphWindowFactory::reportRequested, this, [this](TfrmGraph *graph) {
        const TfrmPeriods *periods = m_periods->windowOf(*graph);
        ReportCommands::ReportClick(
            *graph, *this, [this] { return MeterInstrument::read(*this, m_state); },
            periods ? periods->period() : 900);
    });
    connect(m_graphs, &GraphWindowFactory::overlayRequested, this,
            [this](TfrmGraph *graph) { m_overlays->OverlayClick(*graph); });
    connect(m_graphs, &GraphWindowFactory::periodsRequested, this,
            [this](TfrmGraph *graph) { m_periods->PeriodsClick(*graph); });
}

void TfrmMain::FormCreate()
{
    const AppSettings settings = AppSettings::read(m_settings);
    m_state.RealTimeRate = settings.RealTimeRate;
    m_state.DiscardFloatingError = settings.DiscardFloatingError;
    m_state.dayEveningNightHours = settings.DayEveningNightHours;
    m_state.coverageThreshold = settings.CoverageThreshold;
    m_floatingPoint.setDiscard(settings.DiscardFloatingError);
    m_menus->discardfloatingerror1->setChecked(settings.DiscardFloatingError);
    m_bitmaps.load(devicePixelRatioF());
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmMain::FormShow()
{
    m_folders.DataFolder = m_folders.resolveDataFolder();

    createPanel();
    PanelWindow->showNoConnection(!m_state.Connected);
    StatusBar1->setPanelText(0, QString());
    StatusBar1->setPanelText(1, QLatin1String(m_state.Connected ? OnConnection : OffConnection));
    m_menus->DataLogger1->menuAction()->setVisible(true);
    m_menus->btnDataLogger->setVisible(true);
    m_menus->btnDataLogger->setToolTip(QStringLiteral("Data Logger"));

    // The poll starts no earlier than 500 ms after the panel is shown; the wait processes no
    // window messages.
    m_clock.spinWait(StartupWaitMs);
    MainTimer.start();

    if (SplashScreen) {
        SplashScreen->setStatusText(QString());
        SplashScreen->close();
    }

    // The real-time graph stands to the right of the panel and has the focus.
    TfrmGraph &graph = m_graphs->createRealTimeGraph();
    activateChildWindow(graph);

    // "Setup" stays in the Data Logger menu: it is where the user sets the meter's clock.
    PanelWindow->setLevelDigits({ 1, 8, 8, 8 });

    // Measurements a crash interrupted are offered back once the window is on the screen.
    m_state.RecoveryPending = true;
    QTimer::singleShot(0, this, [this, journals = JournalRecovery::leftBehind(*this)] {
        JournalRecovery::offer(*this, *m_realTime, *m_leq, journals);
        m_state.RecoveryPending = false;
    });
}

bool TfrmMain::saveChildWindow(MdiChildForm &form)
{
    return m_files->saveChild(form);
}

void TfrmMain::refreshCommands()
{
    m_menus->refresh(m_state, m_leq && m_leq->LeqWindow());
    if (TfrmGraph *graph = m_graphs->RealTimeGraphWindow())
        graph->setClearEnabled(!m_state.RealTimeRunning);
    // What talks to the meter outside an exchange waits while one runs.
    if (PanelWindow)
        PanelWindow->setMeterBusy(m_state.ExchangeRunning);
    if (TfrmSetup *setup = m_setup ? m_setup->SetupWindow() : nullptr)
        setup->setMeterBusy(m_state.ExchangeRunning);
}

void TfrmMain::setOutputToGraphEnabled(bool enabled)
{
    m_menus->btnOutputToGraph->setEnabled(enabled);
}

void TfrmMain::setRealTimeGraphChecked(bool checked)
{
    m_menus->RealTimeGraph1->setChecked(checked);
}

bool TfrmMain::beginExchange()
{
    if (m_state.ExchangeRunning)
        return false;
    m_state.ExchangeRunning = true;
    refreshCommands();
    StopPolling();
    return true;
}

void TfrmMain::endExchange()
{
    m_state.ExchangeRunning = false;
    MainTimer.start();
    refreshCommands();
}

void TfrmMain::createPanel()
{
    auto *panel = new TfrmPanel(m_bitmaps, m_link, m_prompts, MaxMinTimer);
    QMdiSubWindow *frame = addChildFrame(*panel);
    // No title bar: the panel is moved by dragging its face.
    frame->setWindowFlags(Qt::FramelessWindowHint);
    frame->setWindowTitle(panel->windowTitle());
    frame->setFixedSize(TfrmPanel::ClientWidth, TfrmPanel::ClientHeight);
    frame->move(0, 0);
    frame->show();
    PanelWindow = panel;
    panel->setMeterBusy(m_state.ExchangeRunning);
    m_menus->ControlPanel1->setChecked(true);
    connect(panel, &MdiChildForm::formClosed, this, [this, panel] {
        if (PanelWindow == panel)
            PanelWindow = nullptr;
        m_menus->ControlPanel1->setChecked(false);
    });
}

void TfrmMain::ControlPanel1Click()
{
    if (PanelWindow) {
        if (auto *frame = qobject_cast<QMdiSubWindow *>(PanelWindow->parentWidget())) {
            frame->showNormal();
            m_mdiArea->setActiveSubWindow(frame);
        }
        m_menus->ControlPanel1->setChecked(true);
        return;
    }
    createPanel();
    PanelWindow->showNoConnection(!m_state.Connected);
}

void TfrmMain::MainTimerTimer()
{
    m_state.PollBusy = true;
    const ConnectionMonitor::Result result
        = ConnectionMonitor::tick(m_link, m_state.Connected, m_state.ConnectionFailures);
    m_state.PollBusy = false;
    switch (result.outcome) {
    case ConnectionMonitor::Outcome::Identified:
        showConnected();
        break;
    case ConnectionMonitor::Outcome::Disconnected:
        showDisconnected();
        break;
    case ConnectionMonitor::Outcome::Reading:
        // Every reading is the program's live level, whether or not the panel shows it.
        m_state.MeterRecording = result.reading->recording;
        m_state.CurrentLevel = result.reading->currentLevel();
        ++m_state.LiveReadingCount;
        if (PanelWindow)
            PanelWindow->updateFromReading(*result.reading);
        break;
    default:
        break;
    }
}

void TfrmMain::showConnected()
{
    MainMenus &m = *m_menus;
    StatusBar1->setPanelText(0, QString());
    StatusBar1->setPanelText(1, QLatin1String(OnConnection));
    if (PanelWindow)
        PanelWindow->showNoConnection(false);
    m.DataLogger1->menuAction()->setVisible(true);
    m.btnDataLogger->setVisible(true);
    m.setMeterLost(false);
    refreshCommands();
}

void TfrmMain::showDisconnected()
{
    m_menus->setMeterLost(true);
    refreshCommands();
    StatusBar1->setPanelText(0, QString());
    if (PanelWindow)
        PanelWindow->showNoConnection(true);
    StatusBar1->setPanelText(1, QLatin1String(NoConnection));
}

void TfrmMain::MaxMinTimerTimer()
{
    if (PanelWindow)
        PanelWindow->MaxMinTimerTimer();
}

void TfrmMain::StopPolling()
{
    const qint64 start = m_clock.tickCountMs();
    while (m_state.PollBusy && m_clock.tickCountMs() - start < StopPollingWaitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    MainTimer.stop();
}

void TfrmMain::Open1Click()
{
    m_files->Open1Click();
}

bool TfrmMain::Save1Click()
{
    QMdiSubWindow *frame = m_mdiArea->activeSubWindow();
    auto *child = frame ? qobject_cast<MdiChildForm *>(frame->widget()) : nullptr;
    return child && m_files->saveChild(*child);
}

void TfrmMain::btnOutputToGraphClick()
{
    QMdiSubWindow *frame = m_mdiArea->activeSubWindow();
    m_tables->btnOutputToGraphClick(frame ? qobject_cast<MdiChildForm *>(frame->widget())
                                          : nullptr);
}

void TfrmMain::RealTimeGraph1Click()
{
    m_graphs->showRealTimeGraph();
}

void TfrmMain::Contents1Click()
{
    const QString help = m_folders.helpFilePath();
    if (!m_prompts.openDocument(help))
        m_prompts.showMessage(QStringLiteral("The help file \"%1\" could not be opened: no program "
                                             "to show HTML pages is set up. Open it in a web "
                                             "browser.")
                                  .arg(QDir::toNativeSeparators(help)));
}

void TfrmMain::About1Click()
{
    if (!AboutWindow)
        AboutWindow = new TfrmAbout(this);
    AboutWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_prompts.execDialog(*AboutWindow);
    if (AboutWindow)
        AboutWindow->close();
}

QPrinter &TfrmMain::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void TfrmMain::PrinterSetup1Click()
{
    m_prompts.printerSetup(printer());
}

void TfrmMain::btnPrintClick()
{
    QMdiSubWindow *frame = m_mdiArea->activeSubWindow();
    QWidget *child = frame ? frame->widget() : nullptr;
    if (auto *list = qobject_cast<TfrmList *>(child))
        PrintCommands::PrintTable(list->grid(), m_prompts, printer());
    else if (auto *leq = qobject_cast<TfrmLEQ *>(child))
        PrintCommands::PrintTable(leq->grid(), m_prompts, printer());
    else if (auto *graph = qobject_cast<TfrmGraph *>(child))
        PrintCommands::PrintGraph(graph->chart(), m_prompts, printer());
}

void TfrmMain::discardfloatingerror1Click()
{
    // The action has already toggled its own check mark.
    const bool on = m_menus->discardfloatingerror1->isChecked();
    m_state.DiscardFloatingError = on;
    m_floatingPoint.setDiscard(on);
}

void TfrmMain::Exit1Click()
{
    // Ends the program at once: no window asks about unsaved data, no setting is written.
    MainTimer.stop();
    QCoreApplication::exit(0);
}

bool TfrmMain::FormCloseQuery()
{
    for (QMdiSubWindow *frame : m_mdiArea->subWindowList()) {
        if (auto *form = qobject_cast<MdiChildForm *>(frame->widget()))
            if (!form->FormCloseQuery())
                return false;
    }
    return true;
}

void TfrmMain::FormClose()
{
    AppSettings settings;
    settings.RealTimeRate = m_state.RealTimeRate;
    settings.DiscardFloatingError = m_state.DiscardFloatingError;
    settings.DayEveningNightHours = m_state.dayEveningNightHours;
    settings.CoverageThreshold = m_state.coverageThreshold;
    settings.write(m_settings);
    MainTimer.stop();
    MaxMinTimer.stop();
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TfrmMain::event(QEvent *event)
{
    // Hints show as tooltips; the status bar's panels keep the connection state.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}
