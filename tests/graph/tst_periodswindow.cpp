// The "Periods" window end to end, from "Periods..." on a graph window of the main window: its
// rows for the list's and a typed period, a refused period, sorting, copying, saving, zooming
// the graph onto a period, the days' levels, and following the graph's data and limit.

#include "app/ui/tfrmmain.h"
#include "base/appstate.h"
#include "base/datetimedays.h"
#include "chart/ui/pesgraph.h"
#include "common/mainwindowrig.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/periodbarchart.h"
#include "graph/ui/periodscommands.h"
#include "graph/ui/tfrmgraph.h"
#include "graph/ui/tfrmperiods.h"
#include "survey/figuretable.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <qcustomplot.h>

namespace {

// 14 March 2024: the day's points at 10:00, 10:15 and 10:45 (a null point at 10:05), the
// evening's at 20:00, the night's at 23:30 and 02:00 the next day; 15 March, one point at noon.
struct Point
{
    int day, hour, minute;
    float level;
};
const Point Survey[] = { { 14, 10, 0, 50.0f },  { 14, 10, 5, 9999.0f }, { 14, 10, 15, 70.0f },
                         { 14, 10, 45, 60.0f }, { 14, 20, 0, 55.0f },   { 14, 23, 30, 45.0f },
                         { 15, 2, 0, 45.0f },   { 15, 12, 0, 100.0f } };

double at(int day, int hour, int minute)
{
    return DateTimeDays::fromDateTime(QDate(2024, 3, day), QTime(hour, minute));
}

void fill(ChartModel &chart, int points = int(std::size(Survey)))
{
    std::vector<double> xs;
    std::vector<float> ys;
    for (int i = 0; i < points; ++i) {
        xs.push_back(at(Survey[i].day, Survey[i].hour, Survey[i].minute));
        ys.push_back(Survey[i].level);
    }
    chart.setSubsets(1);
    chart.setPoints(points);
    chart.setSeries(0, xs, ys);
}

struct Rig : MainWindowRig
{
    Rig()
        : MainWindowRig({ .stopMainTimer = true, .size = QSize(1280, 800) })
        , graph(window->graphs().createGraph(QStringLiteral("survey.ghf")))
    {
        fill(graph.chartModel());
        graph.chart().redrawNow();
        control<QAction>(graph, "Periods1").trigger();
    }
    TfrmPeriods &periods() { return *window->periods().windowOf(graph); }
    QTableView &view(const char *name) { return control<QTableView>(periods(), name); }
    // A cell of the periods table as shown, or of the days' table.
    QString cell(int row, int column) { return periods().periodTable().text(row, column); }
    QStringList row(const FigureTable &table, int row)
    {
        QStringList texts;
        for (int column = 0; column < table.columnCount(); ++column)
            texts << table.text(row, column);
        return texts;
    }
    void typePeriod(const QString &text)
    {
        auto &box = control<QComboBox>(periods(), "cboPeriod");
        box.setEditText(text);
        QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    }
    TfrmGraph &graph;
};

} // namespace

class TestPeriodsWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsOfAPeriod_data();
    void rowsOfAPeriod();
    void badPeriodIsRefused_data();
    void badPeriodIsRefused();
    void sortsByValue();
    void copiesAndSaves();
    void doubleClickZoomsTheGraph();
    void daysAndFollowingTheGraph();
    void hoursAndCoverageThreshold();
};

void TestPeriodsWindow::rowsOfAPeriod_data()
{
    QTest::addColumn<QString>("typed"); // empty: the list's first choice
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<QStringList>>("first");
    // 15 minutes from 10:00 on the 14th to 12:00 on the 15th, the null point left out and the
    // point at 10:15 in the period it starts; the empty period at 10:30 listed.
    QTest::newRow("15 minutes") << QString() << 105
                                << QList<QStringList> {
                                       { "1", "50.0", "50.0", "50.0", "50.0" },
                                       { "1", "70.0", "70.0", "70.0", "70.0" },
                                       { "0", "", "", "", "" },
                                       { "1", "60.0", "60.0", "60.0", "60.0" },
                                   };
    QTest::newRow("typed 1800 s") << QString("1800") << 53
                                  << QList<QStringList> { { "2", "67.0", "70.0" },
                                                          { "1", "60.0", "60.0" },
                                                          { "0", "", "" } };
    QTest::newRow("typed with blanks")
        << QString(" 3600 ") << 27
        << QList<QStringList> { { "3", "65.7", "70.0" }, { "0", "", "" } };
}

void TestPeriodsWindow::rowsOfAPeriod()
{
    QFETCH(QString, typed);
    QFETCH(int, rows);
    QFETCH(QList<QStringList>, first);
    Rig rig;
    QCOMPARE(rig.periods().windowTitle(), QString("Periods - survey.ghf"));
    if (!typed.isEmpty())
        rig.typePeriod(typed);
    QVERIFY(rig.prompts.errors.isEmpty());
    QCOMPARE(rig.periods().periodTable().rowCount(), rows);
    for (int r = 0; r < first.size(); ++r)
        QCOMPARE(rig.row(rig.periods().periodTable(), r).mid(1, first[r].size()), first[r]);
    QVERIFY(rig.cell(0, 0).contains("10:00:00"));
    QVERIFY(rig.cell(rows - 1, 0).contains("12:00:00"));
}

void TestPeriodsWindow::badPeriodIsRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("zero") << "0";
    QTest::newRow("beyond a day") << "86401";
    QTest::newRow("not whole") << "1.5";
    QTest::newRow("words") << "quarter";
    QTest::newRow("empty") << "";
}

void TestPeriodsWindow::badPeriodIsRefused()
{
    QFETCH(QString, typed);
    Rig rig;
    rig.typePeriod("600");
    rig.typePeriod(typed);
    QCOMPARE(rig.prompts.errors.size(), 1);
    QVERIFY2(rig.prompts.errors[0].contains("whole number of seconds from 1 to 86400"),
             qPrintable(rig.prompts.errors[0]));
    QCOMPARE(rig.periods().period(), 600);
    QCOMPARE(rig.control<QComboBox>(rig.periods(), "cboPeriod").currentText(), QString("600"));
    QCOMPARE(rig.periods().periodTable().rowCount(), 157);
}

void TestPeriodsWindow::sortsByValue()
{
    Rig rig;
    QTableView &view = rig.view("grdPeriods");
    const auto column = [&](int c, int n) {
        QStringList texts;
        for (int r = 0; r < n; ++r)
            texts << rig.cell(r, c);
        return texts;
    };
    // Numerically (100 after 70), equal levels in time order, empty periods last either way.
    view.sortByColumn(2, Qt::AscendingOrder);
    QCOMPARE(column(2, 8),
             (QStringList { "45.0", "45.0", "50.0", "55.0", "60.0", "70.0", "100.0", "" }));
    QVERIFY(rig.cell(0, 0).contains("11:30:00") || rig.cell(0, 0).contains("23:30:00"));
    view.sortByColumn(2, Qt::DescendingOrder);
    QCOMPARE(column(2, 8),
             (QStringList { "100.0", "70.0", "60.0", "55.0", "50.0", "45.0", "45.0", "" }));
    view.sortByColumn(1, Qt::DescendingOrder);
    QCOMPARE(column(1, 8), (QStringList { "1", "1", "1", "1", "1", "1", "1", "0" }));
    view.sortByColumn(0, Qt::DescendingOrder);
    QVERIFY(rig.cell(0, 0).contains("12:00:00"));
}

void TestPeriodsWindow::copiesAndSaves()
{
    Rig rig;
    QTableView &view = rig.view("grdPeriods");
    view.selectRow(0);
    view.selectionModel()->select(view.model()->index(3, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QApplication::clipboard()->text().split('\n');
    QCOMPARE(lines.size(), 4); // the titles, two rows, the last line's end
    QCOMPARE(lines[0], QString("Start\tN\tLeq\tLmax\tL10\tL90\tCoverage %"));
    QCOMPARE(lines[1], rig.cell(0, 0) + "\t1\t50.0\t50.0\t50.0\t50.0\t100.0");
    QCOMPARE(lines[2], rig.cell(3, 0) + "\t1\t60.0\t60.0\t60.0\t60.0\t100.0");

    // "Copy" with nothing selected in the days' table: all its rows.
    QTableView &days = rig.view("grdDays");
    QTest::mouseClick(days.viewport(), Qt::LeftButton, {},
                      days.visualRect(days.model()->index(0, 0)).center());
    days.clearSelection();
    rig.control<QPushButton>(rig.periods(), "btnCopy").click();
    QCOMPARE(QApplication::clipboard()->text().count('\n'), 3);
    QVERIFY(QApplication::clipboard()->text().startsWith(
        "Date\tLday\tLevening\tLnight\tLden\tDay %\tEvening %\tNight %\n"));

    // File > Save writes the table last used; a file that cannot be written is told.
    rig.prompts.dialogHandler = [](QDialog &) {
        return int(QDialog::Accepted);
    };
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                      view.visualRect(view.model()->index(0, 0)).center());
    const QString good = rig.dir.filePath("periods.txt");
    rig.prompts.fileNames << good << rig.dir.filePath("no/such/folder/periods.txt");
    QVERIFY(rig.window->saveChildWindow(rig.periods()));
    QFile file(good);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList saved = QString::fromUtf8(file.readAll()).split('\n');
    QCOMPARE(saved.size(), 106);
    QVERIFY(saved[0].startsWith(rig.cell(0, 0) + "\t1\t50.0\t"));
    QVERIFY(!rig.window->saveChildWindow(rig.periods()));
    QCOMPARE(rig.prompts.errors.size(), 1);
}

void TestPeriodsWindow::doubleClickZoomsTheGraph()
{
    Rig rig;
    QCPAxis &x = *rig.graph.chart().plot().xAxis;
    const QCPRange whole = x.range();
    QTableView &view = rig.view("grdPeriods");
    const QModelIndex period = view.model()->index(1, 3); // 10:15 to 10:30
    const QPoint centre = view.visualRect(period).center();
    // A view takes a double click on the cell it was pressed on.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, centre);
    const double key = (at(14, 10, 15) - DateTimeDays::UnixEpochDays) * 86400.0;
    QCOMPARE(x.range().lower, key);
    QCOMPARE(x.range().upper, key + 900.0);
    QCOMPARE(rig.window->mdiArea().activeSubWindow()->widget(), &rig.graph);
    QAction &undo = rig.control<QAction>(rig.graph, "UndoZoom");
    QVERIFY(undo.isEnabled());
    undo.trigger();
    QCOMPARE(x.range(), whole);
}

void TestPeriodsWindow::daysAndFollowingTheGraph()
{
    Rig rig;
    // The 14th has all three parts (its night includes 02:00 on the 15th); the 15th only a day.
    // dt is the graph's median spacing, 150 minutes: 3, 1 and 2 points cover 62.5 % of each part.
    const FigureTable &days = rig.periods().dayTable();
    QCOMPARE(days.rowCount(), 2);
    QCOMPARE(rig.row(days, 0).mid(1),
             (QStringList { "65.7", "55.0", "45.0", "63.3", "62.5", "62.5", "62.5" }));
    QCOMPARE(rig.row(days, 1).mid(1), (QStringList { "100.0", "", "", "", "20.8", "0.0", "0.0" }));

    // The limit: bars strictly above it in the warning colour, the 55 dB period not among them.
    const PeriodBarChart &chart = rig.periods().barChart();
    QCOMPARE(chart.barsAboveLimit().data()->size(), 0);
    rig.graph.chartModel().limit = 55.0;
    rig.periods().FollowTimerTimer();
    QCOMPARE(chart.barsAboveLimit().data()->size(), 3);
    QCOMPARE(chart.barsBelowLimit().data()->size(), 4);

    // Fewer points (the data changed) and an excluded interval over 10:15: worked out again.
    fill(rig.graph.chartModel(), 4);
    rig.graph.chartModel().exclusions = { { at(14, 10, 14), at(14, 10, 16), "lorry" } };
    rig.periods().FollowTimerTimer();
    QCOMPARE(rig.periods().periodTable().rowCount(), 4);
    QCOMPARE(rig.cell(1, 1), QString("0"));

    // Its graph closed, the window closes too.
    QPointer<TfrmPeriods> periods = &rig.periods();
    rig.graph.closeForm();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!periods);
}

void TestPeriodsWindow::hoursAndCoverageThreshold()
{
    Rig rig;
    QAbstractItemModel &days = *rig.view("grdDays").model();
    // The 15th's day, 20.8 %, is flagged at 50 % with its Lden, and not at 20 %.
    QCOMPARE(days.data(days.index(1, 5), Qt::ToolTipRole).toString(),
             QString("Day coverage 20.8 % is below the threshold of 50 %: the figures are from "
                     "a small part of it."));
    QVERIFY(days.data(days.index(1, 4), Qt::FontRole).value<QFont>().italic());
    QVERIFY(days.data(days.index(1, 4), Qt::ToolTipRole).toString().contains("Night coverage"));
    QVERIFY(!days.data(days.index(0, 4), Qt::FontRole).isValid());
    rig.control<QSpinBox>(rig.periods(), "spnCoverage").setValue(20);
    QVERIFY(!days.data(days.index(1, 5), Qt::FontRole).isValid());

    // 07-22: Ldn and no evening. The 14th's day is 50, 70, 60 and 55 dB (Leq 64.6, 4 x 150
    // minutes of 15 hours), its night 45 dB (2 x 150 minutes of 9 hours): Ldn 62.8.
    auto &hours = rig.control<QComboBox>(rig.periods(), "cboHours");
    QCOMPARE(hours.currentText(), QString("07-19-23 (EU)"));
    hours.setCurrentIndex(3);
    Q_EMIT hours.activated(3);
    QCOMPARE(rig.periods().dayTable().titles(),
             (QStringList { "Date", "Lday", "Lnight", "Ldn", "Day %", "Night %" }));
    QCOMPARE(rig.row(rig.periods().dayTable(), 0).mid(1),
             (QStringList { "64.6", "45.0", "62.8", "66.7", "55.6" }));
    QCOMPARE(rig.control<QLabel>(rig.periods(), "lblDays").text(),
             QString("Day (07-22), night (22-07, on the day it starts) and Ldn"));

    // The choices are the program's: the next "Periods" window opens with them.
    QCOMPARE(rig.window->state().dayEveningNightHours, QString("07-22"));
    QCOMPARE(rig.window->state().coverageThreshold, 20);
    rig.periods().closeForm();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    rig.control<QAction>(rig.graph, "Periods1").trigger();
    QCOMPARE(rig.periods().hours().code(), QString("07-22"));
    QCOMPARE(rig.control<QSpinBox>(rig.periods(), "spnCoverage").value(), 20);
}

QTEST_MAIN(TestPeriodsWindow)
#include "tst_periodswindow.moc"
