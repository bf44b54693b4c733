// The main window's child windows and leaving the program: the control panel closed, reopened and
// minimised, closing or "E&xit", a child that refuses to close, the small commands, and Tile and
// Cascade.

#include "tst_app.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QSet>
#include <QSettings>

void TestApp::closedPanelStillDecodes()
{
    // The panel only shows the readings: with it closed, the live level and REC still follow
    // the meter.
    Rig rig;
    TfrmMain &w = *rig.window;
    rig.connect();
    rig.ticks(1);
    w.PanelWindow->btnPowerClick();
    settle();
    QVERIFY(!w.PanelWindow);
    QVERIFY(!rig.m().ControlPanel1->isChecked());
    rig.meter.state().recording = true;
    QSet<float> levels;
    for (int i = 0; i < 5; ++i) {
        rig.clock.advanceMs(500);
        rig.ticks(1);
        levels.insert(w.state().CurrentLevel);
    }
    QVERIFY(levels.size() > 1); // the meter's level moves
    QVERIFY(w.state().MeterRecording);
    QCOMPARE(w.state().LiveReadingCount, quint64(6));
}

void TestApp::controlPanelReopens()
{
    Rig rig;
    TfrmMain &w = *rig.window;
    w.PanelWindow->SpeedButton2Click();
    settle();
    QVERIFY(!w.PanelWindow);
    w.ControlPanel1Click();
    QVERIFY(w.PanelWindow);
    QVERIFY(rig.m().ControlPanel1->isChecked());
    QCOMPARE(w.PanelWindow->parentWidget()->pos(), QPoint(0, 0));
    // Restoring an open panel makes no second one (beside it: the real-time graph).
    w.ControlPanel1Click();
    QCOMPARE(w.mdiArea().subWindowList().size(), 2);
    // Activating the panel disables "Output Tabular to graph".
    rig.m().btnOutputToGraph->setEnabled(true);
    w.mdiArea().setActiveSubWindow(nullptr);
    w.mdiArea().setActiveSubWindow(qobject_cast<QMdiSubWindow *>(w.PanelWindow->parentWidget()));
    QVERIFY(!rig.m().btnOutputToGraph->isEnabled());
}

void TestApp::panelMinimisesAgain()
{
    // Minimise from the panel's own button, restore from View > Control Panel, twice: the
    // minimised panel takes the client area's place for minimised windows each time, and comes
    // back frameless at the top left.
    Rig rig;
    TfrmMain &w = *rig.window;
    auto *frame = qobject_cast<QMdiSubWindow *>(w.PanelWindow->parentWidget());
    QList<QPoint> minimised;
    for (int round = 0; round < 2; ++round) {
        w.PanelWindow->SpeedButton1Click();
        settle();
        QVERIFY(frame->isMinimized());
        minimised << frame->pos();
        w.ControlPanel1Click();
        settle();
        QVERIFY(!frame->isMinimized());
        QVERIFY(frame->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(frame->pos(), QPoint(0, 0));
        QCOMPARE(frame->size(), QSize(186, 547));
    }
    QCOMPARE(minimised[1], minimised[0]);
    QVERIFY(minimised[0].y() > 0); // not left at the top left
}

void TestApp::closeWritesSettingsExitDoesNot()
{
    {
        Rig rig;
        rig.window->state().RealTimeRate = 2.5f;
        rig.m().discardfloatingerror1->trigger();
        QVERIFY(rig.window->state().DiscardFloatingError);
        QVERIFY(rig.window->close());
        QSettings store(rig.dir.filePath("settings.ini"), QSettings::IniFormat);
        QCOMPARE(store.value("RealTimeRate").toDouble(), 2.5);
        QCOMPARE(store.value("disdcard_floating").toInt(), 1);
    }
    {
        Rig rig;
        rig.window->state().RealTimeRate = 2.5f;
        rig.window->Exit1Click();
        QVERIFY(!rig.window->MainTimer.isActive());
        rig.window.reset(); // the program ends without closing the window
        QSettings store(rig.dir.filePath("settings.ini"), QSettings::IniFormat);
        QVERIFY(!store.contains("RealTimeRate"));
        QVERIFY(!store.contains("disdcard_floating"));
        QVERIFY(rig.prompts.questions.isEmpty());
    }
}

namespace {
class ReluctantChild : public MdiChildForm
{
public:
    bool allow = false;
    int asked = 0;
    bool FormCloseQuery() override
    {
        ++asked;
        return allow;
    }
};
} // namespace

void TestApp::closeCancelledByChild()
{
    Rig rig;
    auto *child = new ReluctantChild;
    rig.window->addChildWindow(*child, QRect(0, 0, 200, 200));
    QVERIFY(!rig.window->close()); // the child said no: the program keeps running
    QCOMPARE(child->asked, 1);
    QSettings store(rig.dir.filePath("settings.ini"), QSettings::IniFormat);
    QVERIFY(!store.contains("RealTimeRate"));
    child->allow = true;
    QVERIFY(rig.window->close());
}

void TestApp::smallCommands()
{
    Rig rig;
    TfrmMain &w = *rig.window;

    rig.m().Contents1->trigger();
    rig.m().btnHelp->trigger();
    QCOMPARE(rig.prompts.documents.size(), 2);
    QVERIFY(rig.prompts.documents.first().endsWith("/Q7316Help.htm"));
    QVERIFY(rig.prompts.messages.isEmpty());
    // Without a program for HTML pages, Help > Contents says so.
    rig.prompts.opensDocuments = false;
    rig.m().Contents1->trigger();
    QVERIFY(rig.prompts.messages.last().contains("Q7316Help.htm"));
    rig.prompts.opensDocuments = true;

    // "&About" twice: one about box each time, none left behind.
    rig.m().About1->trigger();
    settle();
    rig.m().About1->trigger();
    settle();
    QCOMPARE(rig.prompts.dialogs,
             (QStringList { "About Audexa For Sound Level Meter",
                            "About Audexa For Sound Level Meter" }));
    QVERIFY(!w.AboutWindow);
    QVERIFY(w.findChildren<TfrmAbout *>().isEmpty());

    rig.m().PrinterSetup1->trigger();
    QCOMPARE(rig.prompts.printerSetups, 1);

    // The option toggles; turning it off clears pending flags.
    rig.m().discardfloatingerror1->trigger();
    QVERIFY(w.state().DiscardFloatingError && w.floatingPoint().discard());
    rig.m().discardfloatingerror1->trigger();
    QVERIFY(!w.state().DiscardFloatingError && !w.floatingPoint().discard());

    // The window list names the open child windows.
    rig.m().Window1->aboutToShow();
    QStringList items;
    for (QAction *a : rig.m().Window1->actions())
        if (!a->isSeparator())
            items << a->text();
    QCOMPARE(items,
             (QStringList { "&Tile", "&Cascade", "&1 Control Panel", "&2 Real-Time Graph" }));
}

void TestApp::tileAndCascadeStayInside_data()
{
    QTest::addColumn<int>("windows");
    QTest::addColumn<bool>("tile");
    for (int n = 1; n <= 8; ++n) {
        QTest::addRow("tile %d", n) << n << true;
        QTest::addRow("cascade %d", n) << n << false;
    }
}

// With any number of windows, Tile and Cascade keep every frame inside the client area, which
// neither grows nor scrolls; tiled frames do not overlap, cascaded charts keep a readable size.
void TestApp::tileAndCascadeStayInside()
{
    QFETCH(int, windows);
    QFETCH(bool, tile);
    MainWindowRig rig({ .size = QSize(1600, 981) });
    TfrmMain &w = *rig.window;
    // The panel and the real-time graph are open; one window alone is the real-time graph.
    if (windows == 1)
        w.PanelWindow->closeForm();
    for (int i = 2; i < windows; ++i)
        w.graphs().createGraph(QString("Graph %1").arg(i));
    settle();
    QCOMPARE(w.mdiArea().subWindowList().size(), windows);
    const QSize windowSize = w.size();
    const QRect area = w.mdiArea().viewport()->rect();
    QMdiSubWindow *front = w.mdiArea().activeSubWindow();

    (tile ? w.menus().Tile1 : w.menus().Cascade1)->trigger();
    settle();

    QCOMPARE(w.size(), windowSize);
    QCOMPARE(w.mdiArea().viewport()->rect(), area);
    const QList<QMdiSubWindow *> frames = w.mdiArea().subWindowList();
    for (QMdiSubWindow *frame : frames) {
        QVERIFY2(area.contains(frame->geometry()), qPrintable(frame->windowTitle()));
        const bool panel = frame->widget() == w.PanelWindow.data();
        if (!tile && !panel)
            QVERIFY(frame->width() >= area.width() * 2 / 3
                    && frame->height() >= area.height() * 2 / 3);
        for (QMdiSubWindow *other : frames)
            if (tile && other != frame)
                QVERIFY(!frame->geometry().intersects(other->geometry()));
    }
    QCOMPARE(w.mdiArea().activeSubWindow(), front);
}
