// The LEQ window end to end on the main window and the simulated meter: every way a
// measurement ends gives the meter back to the poll; "10 sec" gives ten rows; Save and Graph;
// the recording check.

#include "app/ui/mainmenus.h"
#include "app/ui/tfrmmain.h"
#include "base/appstate.h"
#include "base/ui/stringgrid.h"
#include "chart/chartmodel.h"
#include "common/mainwindowrig.h"
#include "graph/ui/tfrmgraph.h"
#include "leq/ui/leqcontroller.h"
#include "leq/ui/tfrmleq.h"
#include "meter/ui/meterservices.h"
#include "meter/ui/setupcommands.h"
#include "meter/ui/tfrmsetup.h"
#include "panel/ui/tfrmpanel.h"

#include <QAbstractItemDelegate>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QTest>

namespace {

struct Rig : MainWindowRig
{
    Rig()
        : MainWindowRig({ .seed = 5 })
    {
        connectAndPoll();
        window->menus().LEQ1->trigger();
    }
    LeqController &leq() { return window->leq(); }
    TfrmLEQ &form() { return *leq().LeqWindow(); }
    // One LEQTimer tick, 40 ms after the last.
    void tick()
    {
        clock.advanceMs(40);
        leq().LEQTimerTimer();
    }
    // Ticks until the measurement ends, at most `limit` ticks.
    void runOut(int limit)
    {
        for (int i = 0; i < limit && window->LEQTimer.isActive(); ++i)
            tick();
    }
    bool meterWithThePoll()
    {
        return !window->LEQTimer.isActive() && window->MainTimer.isActive()
            && !window->state().ExchangeRunning && window->menus().LEQ1->isEnabled();
    }
};

} // namespace

class TestLeqWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyWayOutGivesTheMeterBack_data();
    void everyWayOutGivesTheMeterBack();
    void saveAndGraph();
    void notWhileTheMeterRecords();
    void keysWaitForTheMeasurement_data();
    void keysWaitForTheMeasurement();
};

void TestLeqWindow::everyWayOutGivesTheMeterBack_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("rows");
    QTest::newRow("the time is up") << "time" << 10;
    QTest::newRow("Stop") << "stop" << 3;
    QTest::newRow("closing the window") << "close" << 3;
    QTest::newRow("51 failed reads") << "fail" << 3;
}

void TestLeqWindow::everyWayOutGivesTheMeterBack()
{
    QFETCH(QString, way);
    QFETCH(int, rows);
    Rig rig;
    QCOMPARE(rig.form().windowTitle(), QString("LEQ"));
    QCOMPARE(Rig::control<QComboBox>(rig.form(), "cmbTimeSelect").currentText(), "10 sec");
    rig.meter.setClockOffsetSeconds(20 * 86400); // the meter's date: 28 December
    rig.leq().btnLEQClick();
    QVERIFY(rig.window->LEQTimer.isActive());
    QVERIFY(!rig.window->MainTimer.isActive());
    QCOMPARE(rig.window->LEQTimer.interval(), 40);

    if (way == "time") {
        rig.runOut(1000);
        QCOMPARE(Rig::control<QLineEdit>(rig.form(), "edtTimeLeft").text(), QString("0:0:0"));
    } else {
        // Three whole seconds and a little.
        while (rig.form().rowCount() - 1 < rows)
            rig.tick();
        // LEQ in the menu brings the window back while it measures.
        auto &frame = *qobject_cast<QMdiSubWindow *>(rig.form().parentWidget());
        frame.showMinimized();
        rig.window->menus().LEQ1->trigger();
        QVERIFY(!frame.isMinimized());
        // The whole date fits in its column ("28 Dec 2026" here): as wide as the grid's own
        // delegate asks for that cell.
        const StringGrid &grid = rig.form().grid();
        QStyleOptionViewItem option;
        option.initFrom(&grid);
        const QModelIndex date = grid.model()->index(0, 1);
        QVERIFY(grid.columnWidth(1) >= grid.itemDelegate()->sizeHint(option, date).width());
        if (way == "stop") {
            rig.leq().Button1Click();
        } else if (way == "close") {
            rig.form().closeForm();
            QCoreApplication::processEvents();
            QVERIFY(!rig.leq().LeqWindow());
        } else {
            rig.meter.faults().readTimesOut = true;
            for (int i = 0; i < 50; ++i)
                rig.tick();
            QVERIFY(rig.window->LEQTimer.isActive());
            QVERIFY(rig.prompts.messages.isEmpty());
            rig.tick();
            QCOMPARE(rig.prompts.messages, QStringList { "LEQ fail , try to start again !!" });
        }
    }
    QVERIFY(rig.meterWithThePoll());
    QCOMPARE(int(rig.leq().measurement().seconds().size()), rows);
    if (rig.leq().LeqWindow()) {
        QCOMPARE(rig.form().rowCount(), rows + 1);
        QCOMPARE(rig.form().cell(0, rows), QString::number(rows));
    }
    // The poll goes on with the meter.
    rig.meter.faults().readTimesOut = false;
    rig.window->MainTimerTimer();
    QVERIFY(rig.window->state().Connected);
}

void TestLeqWindow::saveAndGraph()
{
    Rig rig;
    // Graph with only the header row.
    QVERIFY(!rig.leq().Button3Click());
    QCOMPARE(rig.prompts.messages.last(), QString("No data to graph !"));

    rig.leq().btnLEQClick();
    rig.runOut(1000);
    const QString file = rig.dir.filePath("leq.txt");
    rig.prompts.fileNames = { file };
    QVERIFY(rig.leq().Button2Click());
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = saved.readAll().split('\n');
    QCOMPARE(lines.size(), 11); // ten lines and the end
    for (int row = 1; row <= 10; ++row) {
        QStringList cells;
        for (int col = 1; col <= 4; ++col)
            cells << rig.form().cell(col, row) + '\t';
        QCOMPARE(QString::fromUtf8(lines[row - 1]), cells.join(QString()) + '\r');
    }

    // File > Save on the LEQ window writes its grid as a table (here: cancelled).
    QVERIFY(!rig.window->saveChildWindow(rig.form()));
    QVERIFY(rig.prompts.filters.last().contains("seperated"));

    TfrmGraph *graph = rig.leq().Button3Click();
    QVERIFY(graph);
    QCOMPARE(graph->windowTitle(), QString("Leq"));
    const ChartModel &chart = graph->chartModel();
    QCOMPARE(chart.subsets(), 2);
    QCOMPARE(chart.points(), 10);
    QCOMPARE(chart.subsetLabels, (QStringList { "SPL", "Leq" }));
    QVERIFY(chart.subsetColors == (std::vector<QColor> { Qt::black, Qt::red }));
    const auto &seconds = rig.leq().measurement().seconds();
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(chart.y(0, i), float(seconds[std::size_t(i)].spl));
        QCOMPARE(chart.y(1, i), float(seconds[std::size_t(i)].leq));
        QCOMPARE(chart.x(0, i), chart.x(1, i));
    }
    QVERIFY(chart.x(0, 9) > chart.x(0, 0));
    QVERIFY(!Rig::control<QAction>(*graph, "bunCalLEQ").isEnabled());
    QCOMPARE(graph->fields().samplingRate, QString("1"));
    QCOMPARE(graph->fields().dataNo, QString("10"));
}

void TestLeqWindow::notWhileTheMeterRecords()
{
    Rig rig;
    rig.form().closeForm();
    QCoreApplication::processEvents();
    rig.window->state().MeterRecording = true;
    rig.window->menus().LEQ1->trigger();
    QCOMPARE(rig.prompts.messages.last(),
             QString("The meter is recording data, please stop recording first ."));
    QVERIFY(!rig.leq().LeqWindow());
}

void TestLeqWindow::keysWaitForTheMeasurement_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("the panel's A/C key") << "btnAC";
    QTest::newRow("Write EEProm") << "Button6";
    QTest::newRow("Read EEProm") << "Button7";
}

void TestLeqWindow::keysWaitForTheMeasurement()
{
    // A key or an EEPROM command would close the device the measurement reads: while it runs
    // they are disabled with a hint, and refused when they arrive anyway.
    QFETCH(QString, control);
    Rig rig;
    rig.window->setup().setServiceWork(true);
    rig.window->menus().Setup1->trigger();
    TfrmPanel &panel = *rig.window->PanelWindow;
    TfrmSetup &setup = *rig.window->setup().SetupWindow();
    QWidget &widget = control == "btnAC" ? Rig::control<QWidget>(panel, "btnAC")
                                         : Rig::control<QPushButton>(setup, qPrintable(control));
    rig.leq().btnLEQClick();
    for (int i = 0; i < 30; ++i)
        rig.tick();
    QVERIFY(!widget.isEnabled());
    QCOMPARE(widget.toolTip(), meterBusyHint());
    if (control == "btnAC")
        panel.btnACClick();
    else if (control == "Button6")
        setup.Button6Click();
    else
        setup.Button7Click();
    QCOMPARE(rig.prompts.messages, QStringList { meterBusyMessage() });
    rig.runOut(1000);
    QCOMPARE(int(rig.leq().measurement().seconds().size()), 10); // not "LEQ fail"
    QCOMPARE(rig.prompts.messages.size(), 1);
    QVERIFY(rig.meter.state().weightingA);
    QVERIFY(widget.isEnabled());
    QCOMPARE(widget.toolTip(), QString());
}

QTEST_MAIN(TestLeqWindow)
#include "tst_leqwindow.moc"
