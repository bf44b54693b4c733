// The graph windows end to end, on the main window with the simulated meter: the real-time
// graph at start-up, Run and Stop, the rate box, Clear, the close questions, "CAL Leq",
// "Export Statistic", the graph template, and saving and reopening a graph file.

#include "app/appstate.h"
#include "app/ui/mainmenus.h"
#include "app/ui/tfrmmain.h"
#include "common/mainwindowrig.h"
#include "files/graphfile.h"
#include "graph/datetimedays.h"
#include "graph/ui/pesgraph.h"
#include "graph/ui/tfrmgraph.h"
#include "graph/ui/tfrmsetuprealtime.h"
#include "graph/ui/tslider2.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
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
    TfrmGraph &graph() { return *window->RealTimeGraphWindow; }
    ChartModel &chart() { return graph().PESGraph1->model(); }
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
};

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class TestGraphWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void realTimeGraphAtStartUp();
    void runToCountAndStop();
    void stopEarly();
    void runQuestionCancelKeepsRecording();
    void invalidCountStartsNothing();
    void rateBoxWhileRecording();
    void clearMakes200Points();
    void closeQuestions_data();
    void closeQuestions();
    void calLeqAndExport();
    void templateTakesLookOnly();
    void dragCursorLine();
    void saveAndReopen();
    void badGraphFileMakesNoWindow();
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
    QVERIFY(g.tbntClr->isVisible());
    QVERIFY(g.pnlSamplingRate->isEnabled());
    QCOMPARE(g.txtSamplingRate->currentIndex(), 0); // 0.2 s selects "1.0"
    QVERIFY(std::abs(rig.chart().xScale.max - rig.chart().xScale.min - 0.2 * 510 / 86400.0) < 1e-8);

    // Closing and reopening from the View menu makes a new one.
    g.closeForm();
    settle();
    QVERIFY(!rig.window->RealTimeGraphWindow);
    QVERIFY(!rig.window->menus().RealTimeGraph1->isChecked());
    rig.window->menus().RealTimeGraph1->trigger();
    QVERIFY(rig.window->RealTimeGraphWindow);
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
    QVERIFY(!rig.graph().tbntClr->isEnabled());
    QVERIFY(rig.window->RealTime_Timer.isActive());
    for (int i = 0; i < 19; ++i)
        rig.second();
    QVERIFY(!state.RealTimeRunning); // the count was reached
    QVERIFY(!rig.window->RealTime_Timer.isActive());
    QCOMPARE(rig.chart().points(), 20);
    QCOMPARE(rig.graph().txtDataNo->text(), QString("20"));
    QVERIFY(!rig.graph().txtAvgAll->text().isEmpty());
    QCOMPARE(rig.graph().Slider1->Value1(), 6);
    QCOMPARE(rig.graph().Slider1->Value2(), 13);
    QVERIFY(!rig.graph().txtCursorA->text().isEmpty());
    QCOMPARE(rig.chart().verticalLines[0].x, rig.chart().x(0, 6));
    QVERIFY(rig.window->menus().btnRun->isEnabled());
    QVERIFY(rig.graph().tbntClr->isEnabled());
    // The running maximum is the largest recorded level.
    float maximum = 0;
    for (int i = 0; i < 20; ++i)
        maximum = std::max(maximum, rig.chart().y(0, i));
    QCOMPARE(rig.graph().txtMax->text(), QLocale::system().toString(maximum, 'f', 1));
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
    QCOMPARE(rig.graph().Slider1->Value1(), 3);
    QCOMPARE(rig.graph().Slider1->Value2(), 6);
    QCOMPARE(rig.window->state().RealTimeRate, 2.0f);
    QCOMPARE(rig.graph().txtSamplingRate->currentIndex(), 1);
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

void TestGraphWindow::invalidCountStartsNothing()
{
    Rig rig;
    rig.record(0);
    rig.connectAndPoll();
    rig.setUp("   ", "1.0");
    rig.window->realTime().btnRunClick();
    QCOMPARE(rig.prompts.messages.last(), QString("    is not valid.\n"));
    QVERIFY(!rig.window->state().RealTimeRunning);
}

void TestGraphWindow::rateBoxWhileRecording()
{
    Rig rig;
    rig.record(100, "2.0");
    rig.graph().txtSamplingRate->setCurrentIndex(3);
    QCOMPARE(rig.prompts.messages.last(),
             QString("Can not change Sampling Rate while Real-Time is running."));
    QCOMPARE(rig.graph().txtSamplingRate->currentIndex(), 1); // "2.0" again
    QCOMPARE(rig.window->state().RealTimeRate, 2.0f);
    rig.window->menus().btnStop->trigger();
    rig.graph().txtSamplingRate->setCurrentIndex(3);
    QCOMPARE(rig.window->state().RealTimeRate, 10.0f);
}

void TestGraphWindow::clearMakes200Points()
{
    Rig rig;
    rig.record(5);
    rig.window->menus().btnStop->trigger();
    rig.graph().tbntClr->trigger();
    QCOMPARE(rig.chart().points(), 200);
    QCOMPARE(rig.window->state().RealTimeCount, 0);
    const double now = DateTimeDays::fromDateTime(rig.clock.now());
    QCOMPARE(rig.chart().xScale.min, now);
    QVERIFY(std::abs(rig.chart().xScale.max - now - 30.0 / 86400.0) < 1e-9);
}

void TestGraphWindow::closeQuestions_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("saves");
    QTest::newRow("yes saves and closes") << int(Prompts::Answer::Yes) << true << 1;
    QTest::newRow("no closes") << int(Prompts::Answer::No) << true << 0;
    QTest::newRow("cancel keeps") << int(Prompts::Answer::Cancel) << false << 0;
}

void TestGraphWindow::closeQuestions()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(int, saves);
    Rig rig;
    rig.record(3);
    rig.second();
    rig.second();
    rig.second();
    const QString file = rig.dir.filePath("saved.ghf");
    rig.prompts.fileNames = { file };
    rig.prompts.answers = { Prompts::Answer(answer) };
    rig.graph().closeForm();
    settle();
    QCOMPARE(rig.prompts.questions.last(), QString("Save Real-Time Graph ?"));
    QCOMPARE(rig.window->RealTimeGraphWindow.isNull(), closed);
    QCOMPARE(QFileInfo::exists(file), saves == 1);
    QCOMPARE(rig.window->state().RealTimeModified, !closed);
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
    QCOMPARE(rig.graph().txtAvgAll->text(), QString("90.0"));

    rig.graph().bunCalLEQ->trigger();
    TfrmGraph *leq = nullptr;
    for (QMdiSubWindow *frame : rig.window->mdiArea().subWindowList())
        if (auto *g = qobject_cast<TfrmGraph *>(frame->widget()); g && g->windowTitle() == "LEQ")
            leq = g;
    QVERIFY(leq);
    QCOMPARE(leq->PESGraph1->model().subsets(), 2);
    QCOMPARE(leq->PESGraph1->model().subsetLabels, (QStringList { "SPL", "Leq" }));
    QCOMPARE(QLocale::system().toString(leq->PESGraph1->model().y(1, 2), 'f', 1), QString("95.7"));
    QVERIFY(!leq->bunCalLEQ->isEnabled());

    rig.graph().Button2->trigger();
    QCOMPARE(rig.prompts.messages.last(), QString("The statistic has been copy to clipboard"));
    const QStringList lines = QApplication::clipboard()->text().split('\n');
    QCOMPARE(lines.size(), 12);
    QCOMPARE(lines[3], QString("Avg.:90.0"));
}

void TestGraphWindow::templateTakesLookOnly()
{
    Rig rig;
    TfrmGraph &g = rig.graph();
    g.PESGraph1->model().mainTitle = "Survey at the gate";
    g.PESGraph1->model().gridStyle = GridStyle::Solid;
    rig.prompts.answers = { Prompts::Answer::Yes };
    g.PESGraph1CustomizeDlg(true);
    QVERIFY(QFileInfo::exists(rig.dir.filePath("program/template/graph.ghf")));

    g.closeForm();
    settle();
    rig.window->menus().RealTimeGraph1->trigger();
    const ChartModel &fresh = rig.chart();
    QCOMPARE(fresh.mainTitle, QString("Survey at the gate"));
    QCOMPARE(fresh.gridStyle, GridStyle::Solid);
    QCOMPARE(fresh.points(), 500); // points and scales still come from the caller
    QCOMPARE(fresh.yScale.max, 130.0);

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
    QCOMPARE(g.Slider1->Value1(), 6);
    g.PESGraph1->redrawNow();
    QCustomPlot &plot = g.PESGraph1->plot();
    auto pixelOf = [&](int index) {
        const QPointF value(rig.chart().x(0, index), 80.0);
        return plot.mapFrom(g.PESGraph1, g.PESGraph1->valueToPixel(value).toPoint());
    };
    // Press on cursor line A and drag it to point 12: the cursor follows, point by point.
    QTest::mousePress(&plot, Qt::LeftButton, {}, pixelOf(6));
    QTest::mouseMove(&plot, pixelOf(12));
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, pixelOf(12));
    QCOMPARE(g.Slider1->Value1(), 12);
    QCOMPARE(rig.chart().verticalLines[0].x, rig.chart().x(0, 12));
    QCOMPARE(g.txtCursorA->text(), QLocale::system().toString(rig.chart().y(0, 12), 'f', 1));
    QVERIFY(!g.UndoZoom->isEnabled()); // the drag moved the cursor; it did not zoom
}

void TestGraphWindow::saveAndReopen()
{
    Rig rig;
    rig.record(12);
    for (int i = 0; i < 11; ++i)
        rig.second();
    TfrmGraph &g = rig.graph();
    g.Slider1->setValue1(2);
    const ChartModel saved = rig.chart();
    const QString file = rig.dir.filePath("survey"); // no extension: ".GHF" is added
    rig.prompts.fileNames = { file + ".GHF" };
    QVERIFY(rig.window->SaveGraph(g));
    QVERIFY(rig.window->OpenGraphFile(file + ".GHF"));
    TfrmGraph *opened = nullptr;
    for (QMdiSubWindow *frame : rig.window->mdiArea().subWindowList())
        if (auto *w = qobject_cast<TfrmGraph *>(frame->widget());
            w && w->windowTitle().endsWith("survey.GHF"))
            opened = w;
    QVERIFY(opened);
    QVERIFY(opened->PESGraph1->model().sameData(saved));
    QCOMPARE(opened->PESGraph1->model().annotations, saved.annotations);
    QCOMPARE(opened->PESGraph1->model().yScale, saved.yScale);
    QCOMPARE(opened->txtDataNo->text(), QString("12"));
    QCOMPARE(opened->txtMax->text(), g.txtMax->text());
    QCOMPARE(opened->txtAvgAll->text(), g.txtAvgAll->text());
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
    QVERIFY(!rig.window->OpenGraphFile(file));
    QCOMPARE(rig.prompts.errors.last(), QString("Stream read error"));
    QCOMPARE(rig.window->mdiArea().subWindowList().size(), windows);
}

QTEST_MAIN(TestGraphWindow)
#include "tst_graphwindow.moc"
