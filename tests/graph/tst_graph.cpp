// The graph windows' arithmetic without a window: date-times in days, the statistics and
// cursors, the cumulative Leq, and the real-time recorder's rules.

#include "app/appstate.h"
#include "app/floatingpoint.h"
#include "graph/chartmodel.h"
#include "graph/datetimedays.h"
#include "graph/graphstatistics.h"
#include "graph/realtimerecorder.h"

#include <QTest>

#include <cmath>

namespace {

const double Noon = DateTimeDays::fromDateTime(QDateTime(QDate(2026, 12, 8), QTime(12, 0)));

double at(double seconds)
{
    return Noon + seconds * DateTimeDays::OneSecond;
}

// A one-subset chart of the given levels, one second apart from noon.
ChartModel chartOf(const std::vector<float> &levels)
{
    ChartModel chart;
    chart.setSubsets(1);
    chart.setPoints(static_cast<int>(levels.size()));
    for (int i = 0; i < chart.points(); ++i) {
        chart.setX(0, i, at(i));
        chart.setY(0, i, levels[static_cast<std::size_t>(i)]);
    }
    return chart;
}

} // namespace

class TestGraph : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void daysRoundTrip_data();
    void daysRoundTrip();
    void roundingToSecond_data();
    void roundingToSecond();

    void wholeStatistics();
    void equalMaximaFirstWins();
    void sliderPlaces_data();
    void sliderPlaces();
    void betweenCursors_data();
    void betweenCursors();
    void cursorLine();
    void exportLines();
    void cumulativeLeq();

    void tickArithmetic_data();
    void tickArithmetic();
    void levelSubstitution_data();
    void levelSubstitution();
    void runningMaxMin();
    void stopShortensAndPlaces_data();
    void stopShortensAndPlaces();
    void countReachedStops();
};

void TestGraph::daysRoundTrip_data()
{
    QTest::addColumn<QDateTime>("dateTime");
    QTest::addColumn<double>("days");
    QTest::newRow("epoch") << QDateTime(QDate(1899, 12, 30), QTime(0, 0)) << 0.0;
    QTest::newRow("noon next day") << QDateTime(QDate(1899, 12, 31), QTime(12, 0)) << 1.5;
    QTest::newRow("2000") << QDateTime(QDate(2000, 1, 1), QTime(0, 0)) << 36526.0;
    QTest::newRow("before epoch") << QDateTime(QDate(1899, 12, 29), QTime(18, 0)) << -0.25;
}

void TestGraph::daysRoundTrip()
{
    QFETCH(QDateTime, dateTime);
    QFETCH(double, days);
    QCOMPARE(DateTimeDays::fromDateTime(dateTime), days);
    QCOMPARE(DateTimeDays::toDateTime(days), dateTime);
}

void TestGraph::roundingToSecond_data()
{
    QTest::addColumn<int>("ms");
    QTest::addColumn<QTime>("expected");
    QTest::newRow(".600 rounds up") << 600 << QTime(12, 0, 1);
    QTest::newRow(".500 stays") << 500 << QTime(12, 0, 0);
    QTest::newRow(".501 rounds up") << 501 << QTime(12, 0, 1);
    QTest::newRow(".000") << 0 << QTime(12, 0, 0);
}

void TestGraph::roundingToSecond()
{
    QFETCH(int, ms);
    QFETCH(QTime, expected);
    const double rounded = DateTimeDays::roundedToSecond(at(ms / 1000.0));
    QCOMPARE(DateTimeDays::toDateTime(rounded).time(), expected);
}

void TestGraph::wholeStatistics()
{
    const ChartModel chart = chartOf({ 80.0f, 90.0f, 100.0f });
    const GraphStatistics::Whole w = GraphStatistics::whole(chart, FloatingPointOption());
    QCOMPARE(w.avgAll, QString("90.0"));
    QCOMPARE(w.dataNo, QString("3"));
    QCOMPARE(w.max, QString("100.0"));
    QCOMPARE(w.min, QString("80.0"));
    QCOMPARE(w.maxIndex, 2);
    QCOMPARE(w.minIndex, 0);
    QCOMPARE(w.samplingRate, QString("0.7")); // a span of 2 s over 3 points
    QCOMPARE(w.startTime, DateTimeDays::dateTimeText(Noon));
    QCOMPARE(w.maxTime, DateTimeDays::dateTimeText(at(2)));
}

void TestGraph::equalMaximaFirstWins()
{
    const ChartModel chart = chartOf({ 70.0f, 95.5f, 60.0f, 95.5f, 60.0f });
    const GraphStatistics::Whole w = GraphStatistics::whole(chart, FloatingPointOption());
    QCOMPARE(w.maxIndex, 1);
    QCOMPARE(w.minIndex, 2);
    QCOMPARE(w.maxTime, DateTimeDays::dateTimeText(at(1)));
}

void TestGraph::sliderPlaces_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value1");
    QTest::addColumn<int>("value2");
    QTest::newRow("3 points") << 3 << 2 << 1 << 2;
    QTest::newRow("10 points") << 10 << 9 << 3 << 6;
    QTest::newRow("1 point") << 1 << 0 << 0 << 0;
}

void TestGraph::sliderPlaces()
{
    QFETCH(int, points);
    QFETCH(int, maximum);
    QFETCH(int, value1);
    QFETCH(int, value2);
    const GraphStatistics::Whole w = GraphStatistics::whole(
        chartOf(std::vector<float>(static_cast<std::size_t>(points), 50.0f)),
        FloatingPointOption());
    QCOMPARE(w.sliderMaximum, maximum);
    QCOMPARE(w.value1, value1);
    QCOMPARE(w.value2, value2);
}

void TestGraph::betweenCursors_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<QString>("max");
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("avg");
    QTest::newRow("A before B") << 1 << 3 << "90.0"
                                << "60.0"
                                << "75.0";
    QTest::newRow("A after B") << 3 << 1 << "90.0"
                               << "60.0"
                               << "75.0";
    QTest::newRow("same point") << 2 << 2 << "90.0"
                                << "90.0"
                                << "90.0";
    QTest::newRow("whole graph") << 0 << 4 << "90.0"
                                 << "50.0"
                                 << "70.0";
}

void TestGraph::betweenCursors()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(QString, max);
    QFETCH(QString, min);
    QFETCH(QString, avg);
    const ChartModel chart = chartOf({ 50.0f, 75.0f, 90.0f, 60.0f, 75.0f });
    const GraphStatistics::Between between
        = GraphStatistics::between(chart, a, b, FloatingPointOption());
    QCOMPARE(between.maxAB, max);
    QCOMPARE(between.minAB, min);
    QCOMPARE(between.avgAB, avg);
}

void TestGraph::cursorLine()
{
    ChartModel chart = chartOf({ 72.4f, 80.0f });
    chart.setX(0, 1, at(1.6)); // 12:00:01.600 shows as 12:00:02
    const GraphStatistics::Cursor c = GraphStatistics::cursor(chart, 1);
    QCOMPARE(c.level, QString("80.0"));
    QCOMPARE(c.lineX, at(1.6));
    QCOMPARE(c.time, DateTimeDays::dateTimeText(at(2)));
    QCOMPARE(c.lineText, "|t" + DateTimeDays::timeText(at(2)) + "\n80.0dB");
}

void TestGraph::exportLines()
{
    GraphStatistics::Fields f;
    f.startTime = "S";
    f.max = "95.0";
    f.maxTime = "T";
    const QString text = GraphStatistics::exportText(f);
    const QStringList lines = text.split('\n');
    QCOMPARE(lines.size(), 12); // eleven lines, each ending with a line feed
    QCOMPARE(lines.last(), QString());
    QCOMPARE(lines[0], QString("Start Time:S"));
    QCOMPARE(lines[4], QString("Maximum:95.0@T"));
    // Empty fields still give every line.
    const QStringList empty = GraphStatistics::exportText({}).split('\n');
    QCOMPARE(empty.mid(0, 11),
             (QStringList { "Start Time:", "Sampling Rate:", "DataNo:", "Avg.:", "Maximum:@",
                            "Minimum:@", "Cursor A:@", "Cursor B:@", "Max.Between A and B:@",
                            "Min.Between A and B:@", "Avg. Between A and B:" }));
}

void TestGraph::cumulativeLeq()
{
    const std::vector<float> leq
        = GraphStatistics::cumulativeLeq({ 80.0f, 90.0f, 100.0f }, FloatingPointOption());
    QCOMPARE(leq.size(), std::size_t(3));
    QCOMPARE(leq[0], 80.0f);
    QCOMPARE(GraphStatistics::levelText(leq[2]), QString("95.7"));
    const double expected = 10.0 * std::log10((1e8 + 1e9 + 1e10) / 3.0);
    QVERIFY(std::abs(leq[2] - expected) < 1e-3);
    // An overflowing step keeps the previous Leq unless the option passes the infinity on.
    const std::vector<float> huge
        = GraphStatistics::cumulativeLeq({ 80.0f, 4000.0f }, FloatingPointOption(false));
    QCOMPARE(huge[1], 80.0f);
    const std::vector<float> passed
        = GraphStatistics::cumulativeLeq({ 80.0f, 4000.0f }, FloatingPointOption(true));
    QVERIFY(std::isinf(passed[1]));
}

void TestGraph::tickArithmetic_data()
{
    QTest::addColumn<float>("rate");
    QTest::addColumn<QString>("pattern"); // one letter per tick: A appended, . waiting
    QTest::newRow("0.5 s") << 0.5f << "AAAAAA";
    QTest::newRow("1.0 s") << 1.0f << "AAAAAA";
    QTest::newRow("2.0 s") << 2.0f << ".A.A.A";
    QTest::newRow("2.5 s") << 2.5f << "..A..A";
}

void TestGraph::tickArithmetic()
{
    QFETCH(float, rate);
    QFETCH(QString, pattern);
    AppState state;
    state.RealTimeRate = rate;
    state.CurrentLevel = 60.0f;
    ChartModel chart;
    chart.setSubsets(1);
    RealTimeRecorder recorder;
    recorder.start(state, chart, 100, Noon);
    QString seen;
    for (int i = 0; i < pattern.size(); ++i) {
        RealTimeRecorder::Texts texts;
        const auto tick = recorder.tick(state, chart, at(i + 1), texts);
        seen += tick == RealTimeRecorder::Tick::Appended ? 'A' : '.';
    }
    QCOMPARE(seen, pattern);
}

void TestGraph::levelSubstitution_data()
{
    QTest::addColumn<float>("lastValid"); // a level recorded first, 0 for none
    QTest::addColumn<float>("level");
    QTest::addColumn<bool>("appended");
    QTest::addColumn<float>("recorded");
    QTest::newRow("in range") << 0.0f << 55.5f << true << 55.5f;
    QTest::newRow("150 after 85") << 85.0f << 150.0f << true << 85.0f;
    QTest::newRow("15 right after Run") << 0.0f << 15.0f << false << 0.0f;
    QTest::newRow("15 after 25 (not above 30)") << 25.0f << 15.0f << false << 0.0f;
    QTest::newRow("edges 20.0") << 0.0f << 20.0f << true << 20.0f;
    QTest::newRow("edges 140.0") << 0.0f << 140.0f << true << 140.0f;
    QTest::newRow("140.1 after 31") << 31.0f << 140.1f << true << 31.0f;
}

void TestGraph::levelSubstitution()
{
    QFETCH(float, lastValid);
    QFETCH(float, level);
    QFETCH(bool, appended);
    QFETCH(float, recorded);
    AppState state;
    ChartModel chart;
    chart.setSubsets(1);
    RealTimeRecorder recorder;
    recorder.start(state, chart, 10, Noon);
    RealTimeRecorder::Texts texts;
    if (lastValid > 0) {
        state.CurrentLevel = lastValid;
        QVERIFY(recorder.append(state, chart, at(0), texts));
    }
    const int before = state.RealTimeCount;
    state.CurrentLevel = level;
    QCOMPARE(recorder.append(state, chart, at(1), texts), appended);
    QCOMPARE(state.RealTimeCount, before + (appended ? 1 : 0));
    if (appended) {
        QCOMPARE(chart.y(0, before), recorded);
        QCOMPARE(state.CurrentLevel, recorded); // a replaced level overwrites the live level
    } else {
        QCOMPARE(chart.y(0, before), ChartModel::NullValue); // not recorded: shows nothing
    }
}

void TestGraph::runningMaxMin()
{
    AppState state;
    ChartModel chart;
    chart.setSubsets(1);
    RealTimeRecorder recorder;
    recorder.start(state, chart, 10, Noon);
    const float levels[] = { 60.0f, 70.0f, 50.0f, 70.0f };
    QStringList maxima, minima;
    for (int i = 0; i < 4; ++i) {
        RealTimeRecorder::Texts texts;
        state.CurrentLevel = levels[i];
        recorder.append(state, chart, at(i), texts);
        maxima << texts.max.value_or("-");
        minima << texts.min.value_or("-");
        QCOMPARE(texts.dataNo, std::optional<QString>(QString::number(i + 1)));
    }
    QCOMPARE(maxima, (QStringList { "60.0", "70.0", "-", "-" })); // the first of equal maxima
    QCOMPARE(minima, (QStringList { "60.0", "-", "50.0", "-" }));
    QCOMPARE(recorder.RealTimeMaxTime, at(1));
    QVERIFY(state.RealTimeModified);
}

void TestGraph::stopShortensAndPlaces_data()
{
    QTest::addColumn<int>("recorded");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("placed");
    QTest::addColumn<int>("value1");
    QTest::addColumn<int>("value2");
    QTest::newRow("10 of 2000") << 10 << 10 << true << 3 << 6;
    QTest::newRow("2 of 100") << 2 << 2 << true << 0 << 1;
    QTest::newRow("1 of 100") << 1 << 1 << false << 0 << 0;
    QTest::newRow("0 of 100") << 0 << 100 << false << 0 << 0;
}

void TestGraph::stopShortensAndPlaces()
{
    QFETCH(int, recorded);
    QFETCH(int, points);
    QFETCH(bool, placed);
    QFETCH(int, value1);
    QFETCH(int, value2);
    AppState state;
    ChartModel chart;
    chart.setSubsets(1);
    RealTimeRecorder recorder;
    recorder.start(state, chart, recorded == 10 ? 2000 : 100, Noon);
    for (int i = 0; i < recorded; ++i) {
        RealTimeRecorder::Texts texts;
        state.CurrentLevel = 60.0f + i;
        recorder.append(state, chart, at(i), texts);
    }
    const auto result = recorder.stop(state, chart, at(100));
    QCOMPARE(chart.points(), points);
    QCOMPARE(result.placeCursors, placed);
    QCOMPARE(chart.xScale.max, at(100));
    if (placed) {
        QCOMPARE(result.value1, value1);
        QCOMPARE(result.value2, value2);
        QCOMPARE(chart.y(0, recorded - 1), 60.0f + recorded - 1);
    }
    QCOMPARE(result.avgAll,
             recorded ? GraphStatistics::levelText(60.0 + (recorded - 1) / 2.0) : QString("0.0"));
}

void TestGraph::countReachedStops()
{
    AppState state;
    state.RealTimeRate = 1.0f;
    state.CurrentLevel = 60.0f;
    ChartModel chart;
    chart.setSubsets(1);
    RealTimeRecorder recorder;
    recorder.start(state, chart, 3, Noon);
    RealTimeRecorder::Texts texts;
    QVERIFY(recorder.append(state, chart, at(0), texts)); // Run's first point
    QCOMPARE(recorder.tick(state, chart, at(1), texts), RealTimeRecorder::Tick::Appended);
    QCOMPARE(recorder.tick(state, chart, at(2), texts), RealTimeRecorder::Tick::Finished);
    QCOMPARE(state.RealTimeCount, 3);
    QCOMPARE(chart.points(), 3);
}

QTEST_GUILESS_MAIN(TestGraph)
#include "tst_graph.moc"
