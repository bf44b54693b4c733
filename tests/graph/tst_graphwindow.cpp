// The graph windows end to end, on the main window with the simulated meter: the real-time
// graph at start-up, Run and Stop, a meter lost while recording, the rate box, Clear, the close
// questions, "CAL Leq", "Export Statistic", failed figures, the graph template, and saving and
// reopening a graph file.

#include "app/ui/filecommands.h"
#include "app/ui/mainmenus.h"
#include "app/ui/tfrmmain.h"
#include "base/appstate.h"
#include "base/datetimedays.h"
#include "base/ui/clippedpanel.h"
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
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <qcustomplot.h>

namespace {

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

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The levels of subset 0, one decimal each, N for a null point.
QString levelsOf(const ChartModel &chart, int subset = 0)
{
    QStringList levels;
    for (int i = 0; i < chart.points(); ++i)
        levels << (ChartModel::isNull(chart.y(subset, i))
                       ? QString("N")
                       : GraphStatistics::levelText(chart.y(subset, i)));
    return levels.join(' ');
}

} // namespace

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
    void saveAndReopen();
    void badGraphFileMakesNoWindow();
    void pictures_data();
    void pictures();
};

void TestGraphWindow::realTimeGraphAtStartUp()
{
    Rig rig;
    TfrmGraph &g = rig.graph();
    QCOMPARE(g.windowTitle(), QString("Real-Time Graph"));
    QVERIFY(rig.window->menus().RealTimeGraph1->isChecked());
    QCOMPARE(g.parentWidget()->x(), rig.window->PanelWindow->parentWidget()->width());
    QCOMPARE(g.parentWidget()->y(), 0);
    QCOMPARE(rig.chart().points(), 500);
    QVERIFY(rig.action("tbntClr").isVisible());
    QVERIFY(Rig::control<QWidget>(g, "pnlSamplingRate").isEnabled());
    QCOMPARE(Rig::control<QComboBox>(g, "txtSamplingRate").currentIndex(), 0); // 0.2 s: "1.0"
    QVERIFY(std::abs(rig.chart().xScale.max - rig.chart().xScale.min - 0.2 * 510 / 86400.0) < 1e-8);

    // Closing and reopening from the View menu makes a new one.
    g.closeForm();
    settle();
    QVERIFY(!rig.window->graphs().RealTimeGraphWindow());
    QVERIFY(!rig.window->menus().RealTimeGraph1->isChecked());
    rig.window->menus().RealTimeGraph1->trigger();
    QVERIFY(rig.window->graphs().RealTimeGraphWindow());
    QVERIFY(rig.window->menus().RealTimeGraph1->isChecked());
}

void TestGraphWindow::runToCountAndStop()
{
    Rig rig;
    rig.record(20);
    AppState &state = rig.window->state();
    QVERIFY(state.RealTimeRunning);
    QCOMPARE(state.RealTimeCount, 1); // the first point comes at Run
    QVERIFY(!rig.window->menus().btnRun->isEnabled() && rig.window->menus().btnStop->isEnabled());
    QVERIFY(!rig.action("tbntClr").isEnabled());
    QVERIFY(rig.window->RealTime_Timer.isActive());
    for (int i = 0; i < 19; ++i)
        rig.second();
    QVERIFY(!state.RealTimeRunning); // the count was reached
    QVERIFY(!rig.window->RealTime_Timer.isActive());
    QCOMPARE(rig.chart().points(), 20);
    QCOMPARE(rig.fields().dataNo, QString("20"));
    QVERIFY(!rig.fields().avgAll.isEmpty());
    QCOMPARE(rig.slider().Value1(), 6);
    QCOMPARE(rig.slider().Value2(), 13);
    QVERIFY(!rig.fields().cursorA.isEmpty());
    QCOMPARE(rig.chart().verticalLines[0].x, rig.chart().x(0, 6));
    QVERIFY(rig.window->menus().btnRun->isEnabled());
    QVERIFY(rig.action("tbntClr").isEnabled());
    // The running maximum is the largest recorded level.
    float maximum = 0;
    for (int i = 0; i < 20; ++i)
        maximum = std::max(maximum, rig.chart().y(0, i));
    QCOMPARE(rig.fields().max, GraphStatistics::levelText(maximum));
}

void TestGraphWindow::stopEarly()
{
    Rig rig;
    rig.record(2000, "2.0");
    for (int i = 0; i < 18; ++i)
        rig.second(); // a point every second tick: 1 + 9
    QCOMPARE(rig.window->state().RealTimeCount, 10);
    rig.window->menus().Stop1->trigger();
    QCOMPARE(rig.chart().points(), 10);
    QCOMPARE(rig.slider().Value1(), 3);
    QCOMPARE(rig.slider().Value2(), 6);
    QCOMPARE(rig.window->state().RealTimeRate, 2.0f);
    QCOMPARE(Rig::control<QComboBox>(rig.graph(), "txtSamplingRate").currentIndex(), 1);
}

void TestGraphWindow::meterLostWhileRecording()
{
    // The meter stops answering after two seconds and comes back six seconds later: the seconds
    // without a reading are gaps, the window says so, Stop stays enabled throughout, and the
    // recording takes levels again when the meter is back.
    Rig rig;
    rig.record(20);
    rig.second();
    rig.second();
    const QString lostAt = DateTimeDays::timeText(DateTimeDays::fromDateTime(rig.clock.now())
                                                  + DateTimeDays::OneSecond);
    rig.meter.faults().readTimesOut = true;
    for (int i = 0; i < 6; ++i)
        rig.second(); // the fifth failed poll disconnects
    AppState &state = rig.window->state();
    QVERIFY(!state.Connected && state.RealTimeRunning);
    QVERIFY(rig.window->menus().btnStop->isEnabled() && rig.window->menus().Stop1->isEnabled());
    QCOMPARE(rig.graph().meterLostText(), "No readings since " + lostAt + ": the graph has a gap.");
    rig.meter.faults().readTimesOut = false;
    rig.second(); // found again: that tick identifies and reads nothing
    rig.second();
    const QStringList recorded = levelsOf(rig.chart()).split(' ').mid(0, state.RealTimeCount);
    QCOMPARE(recorded.mid(3, 7), QStringList(7, "N"));
    QVERIFY(recorded[2] != "N" && recorded[10] != "N");
    QVERIFY(rig.graph().meterLostText().startsWith("No readings from " + lostAt + " to "));
    QCOMPARE(rig.fields().dataNo, QString("4")); // the points with levels
    rig.window->menus().btnStop->trigger();
    QVERIFY(!state.RealTimeRunning);
}

void TestGraphWindow::runQuestionCancelKeepsRecording()
{
    Rig rig;
    rig.record(100);
    rig.second();
    const int count = rig.window->state().RealTimeCount;
    rig.prompts.answers = { Prompts::Answer::Cancel };
    rig.window->menus().btnStop->setEnabled(true);
    rig.window->realTime().btnRunClick();
    QCOMPARE(rig.prompts.questions.last(),
             QString("There are datas in Real_Time graph ,it have to reset the graph.\n"
                     "Do you want to save the Real-Time graph ?"));
    QVERIFY(rig.window->state().RealTimeRunning);
    QCOMPARE(rig.window->state().RealTimeCount, count);
    QCOMPARE(rig.chart().points(), 100);
}

void TestGraphWindow::invalidCountStartsNothing_data()
{
    QTest::addColumn<QString>("count");
    QTest::newRow("blank") << "   ";
    // Past what the chart holds in memory (a pasted count; the field takes five digits).
    QTest::newRow("past ten million") << "10000001";
}

void TestGraphWindow::invalidCountStartsNothing()
{
    QFETCH(QString, count);
    Rig rig;
    rig.record(0);
    rig.connectAndPoll();
    rig.setUp(count, "1.0");
    rig.window->realTime().btnRunClick();
    QCOMPARE(rig.prompts.messages.last(), count + " is not valid.\n");
    QVERIFY(!rig.window->state().RealTimeRunning);
}

void TestGraphWindow::rateBoxTakesOnlyTheUsersChoice()
{
    Rig rig;
    QComboBox &box = Rig::control<QComboBox>(rig.graph(), "txtSamplingRate");
    box.setFocus();
    // The rate held (0.2 s) shows as "1.0"; the user picking that same item sets 1.0 s.
    QCOMPARE(rig.window->state().RealTimeRate, 0.2f);
    box.showPopup();
    QTest::keyClick(box.view(), Qt::Key_Return);
    QCOMPARE(rig.window->state().RealTimeRate, 1.0f);
    rig.record(100, "2.0");
    QCOMPARE(box.currentIndex(), 1);
    // The user picks another rate while recording: refused, "2.0" again.
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(rig.prompts.messages.last(),
             QString("Can not change Sampling Rate while Real-Time is running."));
    QCOMPARE(box.currentIndex(), 1);
    QCOMPARE(rig.window->state().RealTimeRate, 2.0f);
    rig.window->menus().btnStop->trigger();
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(rig.window->state().RealTimeRate, 5.0f);
    // What the program writes into a box is no choice of the user's.
    const int messages = rig.prompts.messages.size();
    rig.graph().selectRateItem(30.0);
    QCOMPARE(rig.window->state().RealTimeRate, 5.0f);
    QCOMPARE(rig.prompts.messages.size(), messages);
}

void TestGraphWindow::clearLeavesNoPoint()
{
    Rig rig;
    rig.record(5);
    rig.window->menus().btnStop->trigger();
    rig.action("tbntClr").trigger();
    QCOMPARE(rig.chart().points(), 200);
    QCOMPARE(rig.window->state().RealTimeCount, 0);
    const double now = DateTimeDays::fromDateTime(rig.clock.now());
    QCOMPARE(rig.chart().xScale.min, now);
    QVERIFY(std::abs(rig.chart().xScale.max - now - 30.0 / 86400.0) < 1e-9);
    QCOMPARE(levelsOf(rig.chart()), QStringList(200, "N").join(' '));
    rig.graph().UpdateGraphStatistics();
    QCOMPARE(rig.fields().min, QString());
    QCOMPARE(rig.fields().dataNo, QString("0"));
}

void TestGraphWindow::nothingStaleAfterClearOrRun_data()
{
    QTest::addColumn<bool>("clear");
    QTest::addColumn<QString>("dataNo");
    QTest::addColumn<bool>("extremes"); // the new recording's first point is its max and min
    QTest::newRow("Clear") << true << "0" << false;
    QTest::newRow("Run again") << false << "1" << true;
}

// Clear and a new recording leave no figure, read-out, cursor or thumb of the data before.
void TestGraphWindow::nothingStaleAfterClearOrRun()
{
    QFETCH(bool, clear);
    QFETCH(QString, dataNo);
    QFETCH(bool, extremes);
    Rig rig;
    rig.record(20);
    for (int i = 0; i < 19; ++i)
        rig.second();
    auto &readOut = Rig::control<QLabel>(rig.graph(), "Panel12");
    readOut.setText("61.2dB@12:00:05");
    QVERIFY(!rig.fields().avgAll.isEmpty() && !rig.fields().cursorA.isEmpty());

    if (clear) {
        rig.action("tbntClr").trigger();
    } else {
        rig.prompts.answers = { Prompts::Answer::No };
        rig.setUp("5", "1.0");
        rig.window->menus().btnRun->trigger();
    }

    const GraphStatistics::Fields f = rig.fields();
    QCOMPARE(f.dataNo, dataNo);
    QCOMPARE(f.startTime.isEmpty(), clear);
    QCOMPARE(f.max.isEmpty(), !extremes);
    QCOMPARE(f.min.isEmpty(), !extremes);
    for (const QString &stale : { f.avgAll, f.cursorA, f.cursorATime, f.cursorB, f.cursorBTime,
                                  f.maxAB, f.maxABTime, f.minAB, f.minABTime, f.avgAB })
        QCOMPARE(stale, QString());
    QCOMPARE(readOut.text(), QString());
    QCOMPARE(rig.slider().Maximum(), 0);
    QCOMPARE(rig.slider().Value1(), 0);
    QCOMPARE(rig.slider().Value2(), 0);
    for (const auto &line : rig.chart().verticalLines)
        QVERIFY(line.x < rig.chart().xScale.min);
}

void TestGraphWindow::newWindowsReadableAndInFront_data()
{
    QTest::addColumn<QString>("kind");
    for (const char *kind :
         { "real-time at start-up", "real-time from View after closing", "DataLogger",
           "DataLogger loaded into again from behind", "CAL Leq", "file or table" })
        QTest::newRow(kind) << QString(kind);
}

// Every new graph window stands inside the client area, in front, at a size where none of its
// panels is cut off and its chart can be read.
void TestGraphWindow::newWindowsReadableAndInFront()
{
    QFETCH(QString, kind);
    Rig rig;
    GraphWindowFactory &graphs = rig.window->graphs();
    TfrmGraph *graph = &rig.graph();
    if (kind == "real-time from View after closing") {
        graph->closeForm();
        settle();
        rig.window->menus().RealTimeGraph1->trigger();
        graph = graphs.RealTimeGraphWindow();
    } else if (kind.startsWith("DataLogger")) {
        graph = &graphs.showDataLoggerGraph();
        if (kind.contains("again")) {
            rig.window->activateChildWindow(rig.graph());
            QCOMPARE(&graphs.showDataLoggerGraph(), graph);
        }
    } else if (kind == "CAL Leq") {
        rig.action("bunCalLEQ").trigger();
        graph = rig.windowCaptioned("LEQ");
    } else if (kind == "file or table") {
        graph = &graphs.createGraph("survey.ghf");
    }
    settle();
    QVERIFY(graph);
    QMdiArea &area = rig.window->mdiArea();
    QCOMPARE(area.activeSubWindow(), graph->parentWidget());
    QVERIFY(area.viewport()->rect().contains(graph->parentWidget()->geometry()));
    // The real-time graph, however it is made, stands beside the control panel.
    if (kind.startsWith("real-time"))
        QCOMPARE(graph->parentWidget()->pos(),
                 QPoint(rig.window->PanelWindow->parentWidget()->width(), 0));
    const QList<ClippedPanel *> panels = graph->findChildren<ClippedPanel *>();
    QCOMPARE(panels.size(), 2);
    for (const ClippedPanel *panel : panels) {
        const QSize needed
            = panel->widget()->minimumSizeHint().expandedTo(panel->widget()->minimumSize());
        QVERIFY2(panel->viewport()->width() >= needed.width()
                     && panel->viewport()->height() >= needed.height(),
                 qPrintable(panel->widget()->objectName() + " is cut off"));
    }
    auto &chart = Rig::control<PESGraph>(*graph, "PESGraph1");
    QVERIFY(chart.height() >= 300);
    // The read-out stands in the plotting area's corner, the slider under the plotting area.
    chart.redrawNow();
    const QRect plot = chart.plottingRect();
    QCOMPARE(Rig::control<QLabel>(*graph, "Panel12").pos(), plot.topLeft() + QPoint(1, 1));
    const auto &slider = Rig::control<Tslider2>(*graph, "Slider1");
    QCOMPARE(slider.mapTo(graph, QPoint()).x(), chart.mapTo(graph, plot.topLeft()).x());
    QCOMPARE(slider.width(), plot.width());
}

void TestGraphWindow::closeQuestions_data()
{
    QTest::addColumn<bool>("clear"); // Clear instead of closing the window
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("gone"); // the recording (closed or cleared) and its journal
    QTest::addColumn<int>("saves");
    const int yes = int(Prompts::Answer::Yes);
    const int no = int(Prompts::Answer::No);
    const int cancel = int(Prompts::Answer::Cancel);
    QTest::newRow("yes saves and closes") << false << yes << true << 1;
    QTest::newRow("no closes") << false << no << true << 0;
    QTest::newRow("cancel keeps") << false << cancel << false << 0;
    // Clear of a recording never saved asks as closing does: it may be the user's only copy.
    QTest::newRow("Clear: yes saves and clears") << true << yes << true << 1;
    QTest::newRow("Clear: no clears") << true << no << true << 0;
    QTest::newRow("Clear: cancel keeps") << true << cancel << false << 0;
}

void TestGraphWindow::closeQuestions()
{
    QFETCH(bool, clear);
    QFETCH(int, answer);
    QFETCH(bool, gone);
    QFETCH(int, saves);
    Rig rig;
    rig.record(3);
    rig.second();
    rig.second();
    rig.second();
    const QString journal = rig.window->realTime().journal().path();
    QVERIFY(QFileInfo::exists(journal));
    const QString file = rig.dir.filePath("saved.ghf");
    rig.prompts.fileNames = { file };
    rig.prompts.answers = { Prompts::Answer(answer) };
    if (clear)
        rig.action("tbntClr").trigger();
    else
        rig.graph().closeForm();
    settle();
    QCOMPARE(rig.prompts.questions.join('|'), QString("Save Real-Time Graph ?"));
    if (clear)
        QCOMPARE(rig.window->state().RealTimeCount == 0, gone);
    else
        QCOMPARE(rig.window->graphs().RealTimeGraphWindow() == nullptr, gone);
    QCOMPARE(QFileInfo::exists(file), saves == 1);
    QCOMPARE(QFileInfo::exists(journal), !gone);
    QCOMPARE(rig.window->state().RealTimeModified, !gone);
}

void TestGraphWindow::saveClearsTheQuestion()
{
    Rig rig;
    rig.record(3);
    rig.second();
    rig.second();
    rig.window->activateChildWindow(rig.graph());
    rig.prompts.fileNames = { rig.dir.filePath("evening.ghf") };
    QVERIFY(rig.window->Save1Click());
    rig.graph().closeForm();
    settle();
    QVERIFY(rig.prompts.questions.isEmpty()); // saved: nothing to ask
    QVERIFY(!rig.window->graphs().RealTimeGraphWindow());
}

void TestGraphWindow::unknownExtensionSaysSo()
{
    // A name no writer knows is refused with a reason; a Yes to the close question whose save
    // fails keeps the window and its data.
    Rig rig;
    rig.record(3);
    rig.second();
    rig.second();
    const QString file = rig.dir.filePath("evening.xyz");
    rig.prompts.fileNames = { file };
    rig.prompts.answers = { Prompts::Answer::Yes };
    rig.graph().closeForm();
    settle();
    QCOMPARE(rig.prompts.errors,
             QStringList { "Cannot save \"" + file
                           + "\": a file of type \".xyz\" cannot be written. Choose a name "
                             "ending in \".ghf\", \".txt\" or \".csv\"." });
    QVERIFY(rig.window->graphs().RealTimeGraphWindow());
    QVERIFY(rig.window->state().RealTimeModified);
    QVERIFY(!QFileInfo::exists(file));
}

void TestGraphWindow::calLeqAndExport()
{
    Rig rig;
    rig.record(3);
    rig.second();
    rig.second(); // three points: the count is reached
    ChartModel &chart = rig.chart();
    const float levels[] = { 80.0f, 90.0f, 100.0f };
    for (int i = 0; i < 3; ++i)
        chart.setY(0, i, levels[i]);
    rig.graph().UpdateGraphStatistics();
    QCOMPARE(rig.fields().avgAll, QString("90.0"));

    rig.action("bunCalLEQ").trigger();
    TfrmGraph *leq = rig.windowCaptioned("LEQ");
    QVERIFY(leq);
    QCOMPARE(leq->chartModel().subsets(), 2);
    QCOMPARE(leq->chartModel().subsetLabels, (QStringList { "SPL", "Leq" }));
    QCOMPARE(levelsOf(leq->chartModel(), 1), QString("80.0 87.4 95.7"));
    QVERIFY(!Rig::control<QAction>(*leq, "bunCalLEQ").isEnabled());

    rig.action("Button2").trigger();
    QCOMPARE(rig.prompts.messages.last(), QString("The statistic has been copy to clipboard"));
    const QStringList lines = QApplication::clipboard()->text().split('\n');
    QCOMPARE(lines.size(), 12);
    QCOMPARE(lines[3], QString("Avg.:90.0"));
}

void TestGraphWindow::calLeqDuringRecording()
{
    // Three of 100 points recorded: the 97 still to come are no levels, in the graph and in the
    // "LEQ" window alike. Closing the "LEQ" window leaves the data logger's unsaved data unsaved.
    Rig rig;
    rig.record(100);
    rig.second();
    rig.second();
    rig.window->state().loggerDataLoaded = true;
    rig.action("bunCalLEQ").trigger();
    TfrmGraph *leq = rig.windowCaptioned("LEQ");
    QVERIFY(leq);
    const GraphStatistics::Fields f = leq->fields();
    QCOMPARE(f.dataNo, QString("3"));
    QCOMPARE(f.samplingRate, QString("1.0"));
    QVERIFY(f.avgAll.toDouble() > 20 && f.avgAll.toDouble() < 140);
    QVERIFY(f.max.toDouble() < 140);
    QVERIFY(f.maxTime.contains(QString::number(rig.clock.now().date().year() % 100)));
    QCOMPARE(levelsOf(leq->chartModel(), 1).count('N'), 97);
    leq->closeForm();
    settle();
    QVERIFY(rig.window->state().loggerDataLoaded);
}

void TestGraphWindow::failedFigureIsReportedOnce_data()
{
    QTest::addColumn<bool>("discard");
    QTest::addColumn<QString>("average");
    QTest::addColumn<int>("errors");
    QTest::newRow("option off: told once, no figure") << false << "" << 1;
    QTest::newRow("option on: the infinity shows") << true << "inf" << 0;
}

void TestGraphWindow::failedFigureIsReportedOnce()
{
    QFETCH(bool, discard);
    QFETCH(QString, average);
    QFETCH(int, errors);
    Rig rig;
    if (discard)
        rig.window->menus().discardfloatingerror1->trigger();
    ChartModel &chart = rig.chart();
    chart.setPoints(3);
    for (int i = 0; i < 3; ++i)
        chart.fillPoint(
            i, DateTimeDays::fromDateTime(rig.clock.now()) + i * DateTimeDays::OneSecond, 80.0f);
    chart.setY(0, 1, std::numeric_limits<float>::infinity());
    rig.graph().UpdateGraphStatistics();
    rig.graph().UpdateGraphStatistics(); // the same data again: told once only
    QCOMPARE(rig.fields().avgAll, average);
    QCOMPARE(rig.prompts.errors.size(), errors);
    if (errors)
        QVERIFY(
            rig.prompts.errors.first().startsWith("A figure of this graph could not be computed"));
}

void TestGraphWindow::templateTakesLookOnly()
{
    Rig rig;
    TfrmGraph &g = rig.graph();
    g.chartModel().mainTitle = "Survey at the gate";
    g.chartModel().gridStyle = GridStyle::Solid;
    g.chartModel().exclusions = { { 45000.0, 45000.1, "lorry" } };
    g.chartModel().annotations[3] = { 45000.05, 70.0, 2, "Bus idling 10:37", Qt::red };
    g.chartModel().limit = 55.0;
    g.chartModel().setSubsets(1);
    g.chartModel().setPoints(4);
    rig.prompts.answers = { Prompts::Answer::Yes };
    g.PESGraph1CustomizeDlg(true);
    // Each user's own, never in the program's folder that every user of this copy shares.
    const QString own = rig.dir.filePath("user/template/graph.ghf");
    const QString shared = rig.dir.filePath("program/template/graph.ghf");
    QVERIFY(!QFile::exists(shared));
    // Excluded intervals belong to one measurement: the template keeps none, as version 1.
    const GraphFile::ReadResult stored = GraphFile::read(own);
    QVERIFY(stored.block);
    QCOMPARE(stored.block->left(6), QByteArray("AXCB\x01\x00", 6));
    QCOMPARE(g.chartModel().exclusions.size(), std::size_t(1));
    // Nor the points, the marks, the limit or the cursors: the look alone.
    ChartModel kept;
    QVERIFY(ChartBlock::load(*stored.block, kept));
    QVERIFY(kept.look() == g.chartModel().look());
    QCOMPARE(kept.subsets(), 0);
    QVERIFY(kept.analysis() == MeasurementAnalysis {});
    const ChartModel marked = g.chartModel();

    g.closeForm();
    settle();
    rig.window->menus().RealTimeGraph1->trigger();
    const ChartModel &fresh = rig.chart();
    QCOMPARE(fresh.mainTitle, QString("Survey at the gate"));
    QCOMPARE(fresh.gridStyle, GridStyle::Solid);
    QCOMPARE(fresh.points(), 500); // points and scales still come from the caller
    QCOMPARE(fresh.yScale.max, 130.0);
    QVERIFY(fresh.exclusions.empty());

    // A template an earlier version saved with a graph's points and marks gives its look alone.
    QVERIFY(GraphFile::write(own, ChartBlock::save(marked)).isEmpty());
    rig.graph().closeForm();
    settle();
    rig.window->menus().RealTimeGraph1->trigger();
    QCOMPARE(rig.chart().mainTitle, QString("Survey at the gate"));
    QVERIFY(rig.chart().annotations.empty());
    QVERIFY(!rig.chart().limit);
    QCOMPARE(rig.chart().points(), 500);
    QVERIFY(GraphFile::write(own, *stored.block).isEmpty());

    // One in the program's folder is every user's default, and is only read: a user's own look
    // is saved apart and wins.
    QVERIFY(QDir().mkpath(rig.dir.filePath("program/template")) && QFile::rename(own, shared));
    const auto freshGraph = [&rig] {
        rig.graph().closeForm();
        settle();
        rig.window->menus().RealTimeGraph1->trigger();
        return rig.chart().mainTitle;
    };
    QCOMPARE(freshGraph(), QString("Survey at the gate"));
    rig.chart().mainTitle = "Mine";
    rig.prompts.answers = { Prompts::Answer::Yes };
    rig.graph().PESGraph1CustomizeDlg(true);
    QCOMPARE(GraphFile::read(shared).block.value_or(QByteArray()), *stored.block);
    QCOMPARE(freshGraph(), QString("Mine"));

    // No change in the dialog asks nothing.
    const int asked = rig.prompts.questions.size();
    rig.graph().PESGraph1CustomizeDlg(false);
    QCOMPARE(rig.prompts.questions.size(), asked);
}

void TestGraphWindow::dragCursorLine()
{
    Rig rig;
    rig.record(20);
    for (int i = 0; i < 19; ++i)
        rig.second();
    TfrmGraph &g = rig.graph();
    QCOMPARE(rig.slider().Value1(), 6);
    g.chart().redrawNow();
    QCustomPlot &plot = g.chart().plot();
    // At a point, or half way past it, so that no pixel's rounding puts the mouse before it.
    auto pixelOf = [&](int index, double past = 0.0) {
        const double x = rig.chart().x(0, index);
        const QPointF value(x + past * (rig.chart().x(0, index + 1) - x), 80.0);
        return plot.mapFrom(&g.chart(), g.chart().valueToPixel(value).toPoint());
    };
    // Press on cursor line A and drag it to point 12: the cursor follows, point by point.
    QTest::mousePress(&plot, Qt::LeftButton, {}, pixelOf(6));
    QTest::mouseMove(&plot, pixelOf(12, 0.5));
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, pixelOf(12, 0.5));
    QCOMPARE(rig.slider().Value1(), 12);
    QCOMPARE(rig.chart().verticalLines[0].x, rig.chart().x(0, 12));
    QCOMPARE(rig.fields().cursorA, GraphStatistics::levelText(rig.chart().y(0, 12)));
    QVERIFY(!rig.action("UndoZoom").isEnabled()); // the drag moved the cursor; it did not zoom
}

void TestGraphWindow::saveAndReopen()
{
    Rig rig;
    rig.record(12);
    for (int i = 0; i < 11; ++i)
        rig.second();
    TfrmGraph &g = rig.graph();
    rig.slider().setValue1(2);
    const ChartModel saved = rig.chart();
    const QString file = rig.dir.filePath("survey"); // no extension: ".GHF" is added
    rig.prompts.fileNames = { file + ".GHF" };
    QVERIFY(rig.window->files().SaveGraph(g));
    QVERIFY(rig.window->files().OpenGraphFile(file + ".GHF"));
    TfrmGraph *opened = rig.windowCaptioned(QFileInfo(file + ".GHF").absoluteFilePath());
    QVERIFY(opened);
    QVERIFY(opened->chartModel().sameData(saved));
    QCOMPARE(opened->chartModel().annotations, saved.annotations);
    QCOMPARE(opened->chartModel().yScale, saved.yScale);
    QCOMPARE(opened->fields().dataNo, QString("12"));
    QCOMPARE(opened->fields().max, g.fields().max);
    QCOMPARE(opened->fields().avgAll, g.fields().avgAll);
    QCOMPARE(opened->fields().samplingRate, QString("1.0")); // 11 s over 11 steps
    // The cursors stand where the file keeps them, as its report and audexa-cli place them.
    const QString from = QFileInfo(file + ".GHF").absoluteFilePath();
    ChartModel stored;
    QVERIFY(ChartBlock::load(GraphFile::read(from).block.value_or(QByteArray()), stored));
    QCOMPARE(CursorPlacement::initial(stored), (CursorPlacement::Indexes { 2, 8 }));
    QCOMPARE(opened->fields().cursorA, g.fields().cursorA);
    QCOMPARE(opened->fields().cursorATime, g.fields().cursorATime);
    QCOMPARE(opened->fields().avgAB, g.fields().avgAB);
}

void TestGraphWindow::badGraphFileMakesNoWindow()
{
    Rig rig;
    const QString file = rig.dir.filePath("short.ghf");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("\x10\x00", 2);
    f.close();
    const int windows = rig.window->mdiArea().subWindowList().size();
    QVERIFY(!rig.window->files().OpenGraphFile(file));
    QCOMPARE(rig.prompts.errors.last(),
             QString("Stream read error: \"%1\": the file is 2 bytes long, too short to hold a "
                     "length.")
                 .arg(file));
    QCOMPARE(rig.window->mdiArea().subWindowList().size(), windows);
}

void TestGraphWindow::pictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("starts"); // empty: refused with a message
    QTest::newRow("PNG") << "graph.png" << QByteArray("\x89PNG");
    QTest::newRow("SVG") << "graph.SVG" << QByteArray("<?xml");
    QTest::newRow("PDF") << "graph.pdf" << QByteArray("%PDF");
    QTest::newRow("other") << "graph.bmp" << QByteArray();
    QTest::newRow("no folder") << "missing/graph.png" << QByteArray();
}

// Save Picture writes the chart as the name's type says; Copy Picture puts it on the clipboard
// at the size shown.
void TestGraphWindow::pictures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, starts);
    Rig rig;
    rig.record(5);
    const QString file = rig.dir.filePath(name);
    rig.prompts.fileNames = { file };
    QSize offered;
    rig.prompts.dialogHandler = [&](QDialog &dialog) {
        auto &size = dynamic_cast<TfrmPictureSize &>(dialog);
        offered = size.size();
        size.setSize({ 480, 270 });
        return int(QDialog::Accepted);
    };
    QCOMPARE(rig.graph().SavePicture1Click(), !starts.isEmpty());
    QCOMPARE(offered, Rig::control<PESGraph>(rig.graph(), "PESGraph1").size());
    QFile written(file);
    if (starts.isEmpty()) {
        QVERIFY(!written.exists());
        QVERIFY(rig.prompts.errors.last().contains(QDir::toNativeSeparators(file)));
        return;
    }
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.read(starts.size()) == starts);
    QVERIFY(written.size() > 1000);
    if (name.endsWith(".png"))
        QCOMPARE(QImage(file).size(), QSize(480, 270));
    rig.action("CopyPicture1").trigger();
    const QImage copied = QApplication::clipboard()->image();
    QCOMPARE(copied.size(), Rig::control<PESGraph>(rig.graph(), "PESGraph1").size());
}

QTEST_MAIN(TestGraphWindow)
#include "tst_graphwindow.moc"
