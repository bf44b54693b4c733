// The application shell end to end: settings, folders, start-up, the menus, and the connection
// monitor as the main window shows it.

#include "tst_app.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>

void TestApp::settingsRead_data()
{
    QTest::addColumn<QVariant>("rate");
    QTest::addColumn<QVariant>("discard");
    QTest::addColumn<float>("expectedRate");
    QTest::addColumn<bool>("expectedDiscard");

    const QVariant missing;
    QTest::newRow("first start") << missing << missing << 0.2f << false;
    QTest::newRow("stored values") << QVariant(2.5) << QVariant(1) << 2.5f << true;
    QTest::newRow("numbers as text") << QVariant("1.0") << QVariant("1") << 1.0f << true;
    QTest::newRow("off") << QVariant(0.5) << QVariant(0) << 0.5f << false;
    QTest::newRow("rate not a number") << QVariant("fast") << QVariant(0) << 0.2f << false;
    QTest::newRow("rate as bytes")
        << QVariant(QByteArray("\x9a\x99\x99\x99\x99\x99\xc9?", 8)) << missing << 0.2f << false;
    QTest::newRow("rate as a list")
        << QVariant(QStringList { "1", "2" }) << missing << 0.2f << false;
    QTest::newRow("rate zero") << QVariant(0.0) << missing << 0.2f << false;
    QTest::newRow("rate negative") << QVariant(-1.0) << missing << 0.2f << false;
    QTest::newRow("rate not finite") << QVariant("inf") << missing << 0.2f << false;
    // Checked after the conversion to the float the program holds: this one would be 0.
    QTest::newRow("rate that underflows a float") << QVariant(1e-50) << missing << 0.2f << false;
    QTest::newRow("option not a number") << missing << QVariant("on") << 0.2f << false;
    // Any integer but 0 is on; what is no 32-bit integer takes the default.
    QTest::newRow("option 2") << missing << QVariant(2) << 0.2f << true;
    QTest::newRow("option -1") << missing << QVariant(-1) << 0.2f << true;
    QTest::newRow("option 1.5") << missing << QVariant(1.5) << 0.2f << false;
    QTest::newRow("option past 32 bits") << missing << QVariant(qint64(1) << 32) << 0.2f << false;
    QTest::newRow("option inf") << missing << QVariant("inf") << 0.2f << false;
    QTest::newRow("option 1.0") << missing << QVariant(1.0) << 0.2f << true;
}

void TestApp::settingsRead()
{
    QFETCH(QVariant, rate);
    QFETCH(QVariant, discard);
    QFETCH(float, expectedRate);
    QFETCH(bool, expectedDiscard);

    QTemporaryDir dir;
    {
        QSettings store(dir.filePath("s.ini"), QSettings::IniFormat);
        if (rate.isValid())
            store.setValue(AppSettings::RealTimeRateKey, rate);
        if (discard.isValid())
            store.setValue(AppSettings::DiscardFloatingKey, discard);
    }
    // Read back from the file, as at the next start.
    QSettings store(dir.filePath("s.ini"), QSettings::IniFormat);
    const AppSettings read = AppSettings::read(store);
    QCOMPARE(read.RealTimeRate, expectedRate);
    QCOMPARE(read.DiscardFloatingError, expectedDiscard);
}

void TestApp::settingsRoundTrip()
{
    QTemporaryDir dir;
    AppSettings written;
    written.RealTimeRate = 2.5f;
    written.DiscardFloatingError = true;
    written.DayEveningNightHours = "07-22";
    written.CoverageThreshold = 75;
    {
        QSettings store(dir.filePath("s.ini"), QSettings::IniFormat);
        written.write(store);
    }
    QSettings store(dir.filePath("s.ini"), QSettings::IniFormat);
    QCOMPARE(store.value("disdcard_floating").toInt(), 1);
    const AppSettings read = AppSettings::read(store);
    QCOMPARE(read.RealTimeRate, 2.5f);
    QCOMPARE(read.DiscardFloatingError, true);
    QCOMPARE(read.DayEveningNightHours, QString("07-22"));
    QCOMPARE(read.CoverageThreshold, 75);
    // Hours that are no preset and a threshold beyond 100 take the defaults.
    store.setValue(AppSettings::HoursKey, "07-20");
    store.setValue(AppSettings::CoverageThresholdKey, 101);
    QCOMPARE(AppSettings::read(store).DayEveningNightHours, QString("07-19-23"));
    QCOMPARE(AppSettings::read(store).CoverageThreshold, 50);
}

void TestApp::dataFolder()
{
    QTemporaryDir dir;
    AppFolders folders;

    QCOMPARE(folders.resolveDataFolder(), QString()); // no documents folder

    folders.documentsFolder = dir.filePath("docs");
    QDir().mkpath(folders.documentsFolder);
    QCOMPARE(folders.resolveDataFolder(), dir.filePath("docs/Q7316/"));
    QVERIFY(QFileInfo(dir.filePath("docs/Q7316")).isDir());

    // "Q7316" cannot be created (a file stands there): the documents folder is used.
    folders.documentsFolder = dir.filePath("other");
    QDir().mkpath(folders.documentsFolder);
    QFile blocker(dir.filePath("other/Q7316"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QCOMPARE(folders.resolveDataFolder(), dir.filePath("other/"));

    // The help file: the program's folder first, the installed data folder otherwise.
    folders.programFolder = dir.filePath("bin");
    folders.installedDataFolder = dir.filePath("share/audexa");
    QCOMPARE(folders.helpFilePath(), dir.filePath("share/audexa/Q7316Help.htm"));
    QDir().mkpath(folders.programFolder);
    QFile help(dir.filePath("bin/Q7316Help.htm"));
    QVERIFY(help.open(QIODevice::WriteOnly));
    help.close();
    QCOMPARE(folders.helpFilePath(), dir.filePath("bin/Q7316Help.htm"));
}

void TestApp::floatingPointOption()
{
    volatile double zero = 0.0;
    FloatingPointOption option(false);
    FloatingPointOption::clearFlags();
    QVERIFY(option.failed(1.0 / zero)); // reported as an error
    QVERIFY(!option.failed(2.0)); // the flags were cleared by the check
    option.setDiscard(true);
    QVERIFY(!option.failed(1.0 / zero)); // passed on as infinity
    QVERIFY(!option.failed(std::sqrt(-zero - 1.0)));
    // Turning the option off clears what is pending.
    volatile double overflow = 1e308;
    FloatingPointOption::clearFlags();
    [[maybe_unused]] volatile double result = overflow * 10.0;
    QVERIFY(FloatingPointOption::faultPending());
    option.setDiscard(false);
    QVERIFY(!FloatingPointOption::faultPending());
}

void TestApp::rangeRule_data()
{
    QTest::addColumn<bool>("all");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("expectedFrom"); // -1: no range
    QTest::addColumn<int>("expectedTo");
    QTest::newRow("all") << true << "x"
                         << "y" << 40 << 1 << 40;
    QTest::newRow("-5 to 3 is 3 to 5") << false << "-5"
                                       << "3" << 40 << 3 << 5;
    QTest::newRow("0 to 0 is empty") << false << "0"
                                     << "0" << 40 << 1 << 0;
    QTest::newRow("1 to 10 with n 4") << false << "1"
                                      << "10" << 4 << 1 << 4;
    QTest::newRow("blanks around") << false << " 2 "
                                   << " 7" << 40 << 2 << 7;
    QTest::newRow("not an integer") << false << "1.5"
                                    << "3" << 40 << -1 << -1;
    QTest::newRow("empty") << false << ""
                           << "3" << 40 << -1 << -1;
    QTest::newRow("too big") << false << "1"
                             << "99999999999" << 40 << -1 << -1;
}

void TestApp::rangeRule()
{
    QFETCH(bool, all);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, n);
    QFETCH(int, expectedFrom);
    QFETCH(int, expectedTo);
    const auto range = RangeRule::apply(all, from, to, n);
    QCOMPARE(range.has_value(), expectedFrom >= 0);
    if (range) {
        QCOMPARE(range->from, expectedFrom);
        QCOMPARE(range->to, expectedTo);
    }
}

void TestApp::rangeDialog()
{
    ScriptedPrompts prompts;
    QString caption, initialTo;
    prompts.dialogHandler = [&](QDialog &dialog) {
        auto &scope = dynamic_cast<TfrmScope &>(dialog);
        caption = scope.windowTitle();
        initialTo = MainWindowRig::control<QLineEdit>(scope, "edtSelTo").text();
        MainWindowRig::control<QRadioButton>(scope, "radNo").setChecked(true);
        MainWindowRig::control<QLineEdit>(scope, "edtSelFrom").setText("abc");
        return int(QDialog::Accepted);
    };
    QVERIFY(!TfrmScope::RangeDialog(12, prompts));
    QCOMPARE(caption, QString("Save File"));
    QCOMPARE(initialTo, QString("12"));
    QCOMPARE(prompts.messages, QStringList { "invalid integer" });
    prompts.dialogHandler = nullptr; // cancelled
    QVERIFY(!TfrmScope::RangeDialog(12, prompts));
    QCOMPARE(prompts.messages.size(), 1);
}

void TestApp::startUp()
{
    Rig rig;
    TfrmMain &w = *rig.window;
    QCOMPARE(w.windowTitle(), QString("Q7316"));
    QCOMPARE(rig.clock.waitedMs(), 500); // the poll starts after the 500 ms wait
    QVERIFY(w.MainTimer.isActive());
    QCOMPARE(w.MainTimer.interval(), 500);
    QCOMPARE(w.MaxMinTimer.interval(), 500);
    QCOMPARE(w.LEQTimer.interval(), 40);
    QCOMPARE(w.RealTime_Timer.interval(), 1000);
    QVERIFY(!w.MaxMinTimer.isActive() && !w.LEQTimer.isActive() && !w.RealTime_Timer.isActive());
    QVERIFY(rig.usb->calls().isEmpty()); // nothing was sent before the first tick

    QCOMPARE(rig.status(0), QString());
    QCOMPARE(rig.status(1), QString("Off Connection"));
    QCOMPARE(w.folders().DataFolder, rig.dir.filePath("Documents/Q7316/"));

    QVERIFY(w.PanelWindow);
    QCOMPARE(w.PanelWindow->parentWidget()->pos(), QPoint(0, 0));
    QCOMPARE(w.PanelWindow->size(), QSize(186, 547));
    QVERIFY(w.PanelWindow->parentWidget()->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(Rig::control<QLabel>(*w.PanelWindow, "lblNoConnection").isVisibleTo(w.PanelWindow));
    QCOMPARE(w.PanelWindow->display().view().levelDigits, (std::array<int, 4> { 1, 8, 8, 8 }));

    QVERIFY(rig.m().Setup1->isVisible()); // where the meter's clock is set
    QVERIFY(rig.m().DataLogger1->menuAction()->isVisible());
    QCOMPARE(rig.m().btnDataLogger->toolTip(), QString("Data Logger"));

    // The client area has no border and no scroll bars.
    QCOMPARE(w.mdiArea().frameShape(), QFrame::NoFrame);
    QCOMPARE(w.mdiArea().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(w.mdiArea().verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    // Three status panels, 100, 150 and 50 pixels wide; a 36-pixel toolbar.
    const auto panels = w.statusPanels().findChildren<QLabel *>();
    QCOMPARE(panels.size(), 3);
    QCOMPARE(panels[0]->width(), 100);
    QCOMPARE(panels[1]->width(), 150);
    QCOMPARE(panels[2]->width(), 50);
    QCOMPARE(rig.m().Panel1->height(), 36);
}

void TestApp::menuTree_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("checked"); // -1: not checkable

    auto row = [](const char *name, const char *caption, bool enabled, int checked) {
        QTest::newRow(name) << QString(name) << QString(caption) << enabled << checked;
    };
    row("Open1", "&Open", true, -1);
    row("Save1", "&Save", true, -1);
    row("Print1", "&Print", true, -1);
    row("PrinterSetup1", "&Printer Setup", true, -1);
    row("Exit1", "E&xit", true, -1);
    row("Run1", "Run", false, -1);
    row("Stop1", "Stop", false, -1);
    row("LoadData1", "Load Data", true, -1);
    row("EraseMemory1", "Erase Memory", true, -1);
    row("ControlPanel1", "&Control Panel", true, 1);
    row("RealTimeGraph1", "Real Time &Graph", true, 1);
    row("Tile1", "&Tile", true, -1);
    row("Cascade1", "&Cascade", true, -1);
    row("Contents1", "&Contents", true, -1);
    row("About1", "&About", true, -1);
    row("LEQ1", "LEQ", true, -1);
    row("discardfloatingerror1", "discard floating error", true, 0);
    row("btnOpen", "Open File", true, -1);
    row("btnSave", "Save to file", true, -1);
    row("btnPrint", "Print", true, -1);
    row("btnDataLogger", "Data Logger", true, -1);
    row("btnOutputToGraph", "Output Tabular to graph", false, -1);
    row("btnRun", "Start Graphing Real Time Data", false, -1);
    row("btnStop", "Stop Graphing Real Time Data", false, -1);
    row("btnHelp", "Help", true, -1);
}

void TestApp::menuTree()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(bool, enabled);
    QFETCH(int, checked);

    Rig rig;
    QAction *action = nullptr;
    for (QAction *a : rig.window->findChildren<QAction *>(name))
        if (!a->menu()) // the menus' own actions share their names
            action = a;
    QVERIFY2(action, qPrintable(name));
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->isEnabled(), enabled);
    QCOMPARE(action->isCheckable(), checked >= 0);
    if (checked >= 0)
        QCOMPARE(action->isChecked(), checked == 1);
}

void TestApp::connectAndPoll()
{
    Rig rig;
    TfrmMain &w = *rig.window;
    // The menu bar's order, and the separators of the File and Help menus.
    QStringList top;
    for (QAction *a : w.menuBar()->actions())
        top << a->text();
    QCOMPARE(top,
             (QStringList { "&File", "Real Time", "&Data Logger", "&View", "&Window", "&Help",
                            "LEQ", "Option" }));
    QStringList file;
    for (QAction *a : w.menuBar()->actions().first()->menu()->actions())
        file << (a->isSeparator() ? QString("-") : a->text());
    QCOMPARE(file,
             (QStringList { "&Open", "&Save", "-", "&Print", "&Printer Setup", "-", "E&xit" }));
    QCOMPARE(rig.m().Option1->menuAction()->toolTip(),
             QString("Enable it only when floating error occured."));

    rig.connect();
    QCOMPARE(rig.usb->writes().size(), 1); // identified, and not also polled in the same tick
    QCOMPARE(rig.usb->writes().first().at(1), 'K');
    QCOMPARE(rig.status(1), QString("On Connection"));
    QVERIFY(!Rig::control<QLabel>(*w.PanelWindow, "lblNoConnection").isVisibleTo(w.PanelWindow));
    QVERIFY(rig.m().btnRun->isEnabled() && rig.m().Run1->isEnabled());
    QVERIFY(!rig.m().btnStop->isEnabled() && !rig.m().Stop1->isEnabled());
    QVERIFY(rig.m().btnDataLogger->isEnabled() && rig.m().DataLogger1->menuAction()->isEnabled());

    rig.clock.advanceMs(1000); // the meter's clock reads 10:30:01
    rig.ticks(1);
    const PanelView &view = w.PanelWindow->display().view();
    const quint16 level = static_cast<quint16>(qRound(w.state().CurrentLevel * 10));
    QCOMPARE(view.levelDigits, PanelDisplay::levelDigitsFor(level));
    QCOMPARE(view.clockDigits, (std::array<int, 8> { -1, -1, 1, 0, 3, 0, 0, 1 }));
    QVERIFY(Rig::control<QLabel>(*w.PanelWindow, "lbldBA").isVisibleTo(w.PanelWindow));
}

void TestApp::connectionMonitor()
{
    Rig rig;
    TfrmMain &w = *rig.window;
    rig.connect();
    rig.ticks(1);

    rig.meter.faults().readTimesOut = true;
    rig.ticks(4);
    QVERIFY(w.state().Connected);
    QCOMPARE(w.state().ConnectionFailures, 4);
    rig.meter.faults().readTimesOut = false;
    rig.ticks(1);
    QCOMPARE(w.state().ConnectionFailures, 0);

    // Unplugged: the fifth failure in a row disconnects.
    rig.meter.faults().openFails = true;
    rig.ticks(4);
    QCOMPARE(rig.status(1), QString("On Connection"));
    rig.ticks(1);
    QVERIFY(!w.state().Connected);
    QCOMPARE(w.state().ConnectionFailures, 0);
    QCOMPARE(rig.status(0), QString());
    QCOMPARE(rig.status(1), QString("No Connection"));
    QVERIFY(Rig::control<QLabel>(*w.PanelWindow, "lblNoConnection").isVisibleTo(w.PanelWindow));
    for (QAction *a : { rig.m().btnRun, rig.m().Run1, rig.m().btnStop, rig.m().Stop1,
                        rig.m().btnDataLogger, rig.m().DataLogger1->menuAction() })
        QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));

    // Found again by the next good identification.
    rig.meter.faults().openFails = false;
    rig.ticks(1);
    QVERIFY(w.state().Connected);
    QCOMPARE(rig.status(1), QString("On Connection"));
}

void TestApp::connectionDuringRecording()
{
    Rig rig;
    TfrmMain &w = *rig.window;
    w.state().RealTimeRunning = true;
    rig.connect();
    QVERIFY(!rig.m().btnRun->isEnabled());
    QVERIFY(rig.m().btnStop->isEnabled() && rig.m().Stop1->isEnabled());
    // Losing the meter while recording leaves Stop enabled: the recording can always be stopped.
    rig.meter.faults().openFails = true;
    rig.ticks(5);
    QVERIFY(!w.state().Connected);
    QVERIFY(!rig.m().btnRun->isEnabled() && !rig.m().Run1->isEnabled());
    QVERIFY(rig.m().btnStop->isEnabled() && rig.m().Stop1->isEnabled());
}

QTEST_MAIN(TestApp)
