// The real-time graph end to end, on the main window with the simulated meter: the graph at
// start-up, Run and Stop, a meter lost while recording, the rate box, Clear, "CAL Leq", "Export
// Statistic", failed figures, dragging a cursor line and the "Distribution" page.

#include "tst_graphwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTabWidget>

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
    // The user minimises the graph and works in the LEQ window meanwhile.
    auto *graphFrame = qobject_cast<QMdiSubWindow *>(rig.graph().parentWidget());
    graphFrame->showMinimized();
    rig.window->menus().LEQ1->trigger();
    QMdiSubWindow *working = rig.window->mdiArea().activeSubWindow();
    QVERIFY(working && working != graphFrame);
    for (int i = 0; i < 19; ++i)
        rig.second();
    QVERIFY(!state.RealTimeRunning); // the count was reached
    // The graph is restored, behind the window the user works in.
    QVERIFY(!graphFrame->isMinimized());
    QCOMPARE(rig.window->mdiArea().activeSubWindow(), working);
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
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("message");
    QTest::newRow("blank") << "   "
                           << "1.0"
                           << "    is not valid.\n";
    // Past what the chart holds in memory (a pasted count; the field takes five digits).
    QTest::newRow("past ten million") << "10000001"
                                      << "1.0"
                                      << "10000001 is not valid.\n";
    QTest::newRow("rate no number") << "5"
                                    << "x"
                                    << "'x' is not a valid floating point value";
    QTest::newRow("rate 0") << "5"
                            << "0"
                            << "The sampling rate must be more than 0 seconds ('0' was entered).";
    QTest::newRow("rate below 0") << "5"
                                  << "-1"
                                  << "The sampling rate must be more than 0 seconds ('-1' was "
                                     "entered).";
}

void TestGraphWindow::invalidCountStartsNothing()
{
    QFETCH(QString, count);
    QFETCH(QString, rate);
    QFETCH(QString, message);
    Rig rig;
    rig.record(0);
    rig.connectAndPoll();
    rig.setUp(count, rate);
    rig.prompts.messages.clear();
    rig.window->realTime().btnRunClick();
    QCOMPARE((rig.prompts.messages + rig.prompts.errors).join('|'), message);
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

QTEST_MAIN(TestGraphWindow)

// L5 and L95 from fewer than 20 points, L10 and L90 from fewer than 10, are shown flagged, with
// the reason in their tooltips.
void TestGraphWindow::fewPointsFlagged_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("flagged");
    QTest::newRow("9") << 9 << "L10 L5 L90 L95";
    QTest::newRow("10") << 10 << "L5 L95";
    QTest::newRow("19") << 19 << "L5 L95";
    QTest::newRow("20") << 20 << "";
}

void TestGraphWindow::fewPointsFlagged()
{
    QFETCH(int, points);
    Rig rig;
    TfrmGraph &g = rig.window->graphs().createGraph("few");
    const double t0 = 45000.5;
    g.PrepareGraph(1, 130, 30, t0 + points * DateTimeDays::OneSecond, t0, points);
    for (int i = 0; i < points; ++i)
        g.chartModel().fillPoint(i, t0 + i * DateTimeDays::OneSecond, 60.0f + float(i % 7));
    g.UpdateGraphStatistics();
    QStringList flagged;
    const QString whole = QString(" from %1 points,").arg(points);
    for (const QLabel *label : Rig::control<QWidget>(g, "pnlAcoustic").findChildren<QLabel *>())
        if (label->toolTip().contains(whole)) {
            QVERIFY(label->font().italic());
            flagged << label->toolTip().section(' ', 0, 0);
        }
    flagged.sort();
    QTEST(flagged.join(' '), "flagged");
}

// The "Distribution" page takes the data, an excluded interval and the cursors as the figures
// do, and "Copy" puts its table on the clipboard.
void TestGraphWindow::distributionFollowsTheGraph()
{
    Rig rig;
    TfrmGraph &g = rig.window->graphs().createGraph("survey");
    auto &tabs = Rig::control<QTabWidget>(g, "tabFigures");
    tabs.setCurrentIndex(2);
    QCOMPARE(tabs.tabText(2), QString("Distribution"));
    const double t0 = 45000.5;
    const float levels[] = { 59.9f, 60.0f, 60.1f, 62.5f, ChartModel::NullValue, 0.0f };
    g.PrepareGraph(1, 130, 30, t0 + 6 * DateTimeDays::OneSecond, t0, 6);
    for (int i = 0; i < 6; ++i)
        g.chartModel().fillPoint(i, t0 + i * DateTimeDays::OneSecond, levels[i]);
    g.UpdateGraphStatistics();
    settle();
    const auto shown = [&] {
        return Rig::control<QLabel>(g, "lblDistribution").text();
    };
    QCOMPARE(shown(), QString("N = 4; classes: 4"));

    Tslider2 &slider = Rig::control<Tslider2>(g, "Slider1");
    slider.setValue1(3);
    slider.setValue2(3);
    rig.prompts.dialogHandler = [](QDialog &dialog) {
        dialog.findChild<QLineEdit *>("txtLabel")->setText("door"); // Excluded, as it opens
        return int(QDialog::Accepted);
    };
    Rig::control<QAction>(g, "ExcludeAB").trigger();
    QCOMPARE(shown(), QString("N = 3; classes: 2"));

    Rig::control<QComboBox>(g, "cmbDistributionRange").setCurrentIndex(1);
    slider.setValue1(1);
    slider.setValue2(2);
    QCOMPARE(shown(), QString("N = 2; classes: 1"));
    g.CopyDistributionClick();
    QCOMPARE(QApplication::clipboard()->text(),
             QString("Lower (dB)\tCount\tPercent\tExceeded (%)\n60.0\t2\t100.00\t100.00\n"));
    QCOMPARE(rig.prompts.messages.last(),
             QString("The distribution has been copied to the clipboard."));
}
