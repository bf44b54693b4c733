// The real-time recorder's rules without a window: when a tick appends a point, which levels it
// records, the running maximum and minimum, stopping, gaps while the meter is lost, and the
// scale that follows the recording.

#include "base/appstate.h"
#include "base/datetimedays.h"
#include "chart/chartmodel.h"
#include "graph/realtimerecorder.h"
#include "survey/graphstatistics.h"

#include <QTest>

#include <cmath>

namespace {

const double Noon = DateTimeDays::fromDateTime(QDateTime(QDate(2026, 12, 8), QTime(12, 0)));

double at(double seconds)
{
    return Noon + seconds * DateTimeDays::OneSecond;
}

// A live reading as the poll hands it over.
void reading(AppState &state, float level)
{
    state.CurrentLevel = level;
    ++state.LiveReadingCount;
}

} // namespace

class TestRealTimeRecorder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void tickArithmetic_data();
    void tickArithmetic();
    void levelSubstitution_data();
    void levelSubstitution();
    void runningMaxMin();
    void stopShortensAndPlaces_data();
    void stopShortensAndPlaces();
    void countReachedStops();
    void lostMeterMakesGaps();
    void scaleFollowsRecording();
};

void TestRealTimeRecorder::tickArithmetic_data()
{
    QTest::addColumn<float>("rate");
    QTest::addColumn<QList<int>>("seconds"); // when the ticks come
    QTest::addColumn<QString>("pattern"); // one letter per tick: A appended, . waiting
    QTest::addColumn<QString>("recorded"); // L a level, N a null point
    const QList<int> everySecond { 1, 2, 3, 4, 5, 6 };
    QTest::newRow("0.5 s") << 0.5f << everySecond << "AAAAAA"
                           << "LLLLLL";
    QTest::newRow("1.0 s") << 1.0f << everySecond << "AAAAAA"
                           << "LLLLLL";
    QTest::newRow("2.0 s") << 2.0f << everySecond << ".A.A.A"
                           << "LLL";
    QTest::newRow("2.5 s") << 2.5f << everySecond << "..A..A"
                           << "LL";
    // The window thread held up: the ticks that could not run are null points at their times.
    QTest::newRow("1.0 s, 2 ticks lost") << 1.0f << QList<int> { 1, 2, 5, 6 } << "AAAA"
                                         << "LLNNLL";
    QTest::newRow("2.0 s, 3 ticks lost") << 2.0f << QList<int> { 1, 2, 6, 7 } << ".AA."
                                         << "LNL";
}

void TestRealTimeRecorder::tickArithmetic()
{
    QFETCH(float, rate);
    QFETCH(QList<int>, seconds);
    QFETCH(QString, pattern);
    QFETCH(QString, recorded);
    AppState state;
    state.RealTimeRate = rate;
    state.CurrentLevel = 60.0f;
    ChartModel chart;
    chart.setSubsets(1);
    RealTimeRecorder recorder;
    recorder.start(state, chart, 100, Noon);
    QString seen;
    for (int second : seconds) {
        RealTimeRecorder::Texts texts;
        reading(state, 60.0f);
        const auto tick = recorder.tick(state, chart, at(second), texts);
        seen += tick == RealTimeRecorder::Tick::Appended ? 'A' : '.';
    }
    QCOMPARE(seen, pattern);
    QString levels;
    for (int i = 0; i < state.RealTimeCount; ++i) {
        levels += ChartModel::isNull(chart.y(0, i)) ? 'N' : 'L';
        if (i > 0)
            QVERIFY(chart.x(0, i) > chart.x(0, i - 1));
    }
    QCOMPARE(levels, recorded);
}

void TestRealTimeRecorder::levelSubstitution_data()
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

void TestRealTimeRecorder::levelSubstitution()
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
        reading(state, lastValid);
        QVERIFY(recorder.append(state, chart, at(0), texts));
    }
    const int before = state.RealTimeCount;
    reading(state, level);
    QCOMPARE(recorder.append(state, chart, at(1), texts), appended);
    QCOMPARE(state.RealTimeCount, before + (appended ? 1 : 0));
    if (appended) {
        QCOMPARE(chart.y(0, before), recorded);
        QCOMPARE(state.CurrentLevel, recorded); // a replaced level overwrites the live level
    } else {
        QCOMPARE(chart.y(0, before), ChartModel::NullValue); // not recorded: shows nothing
    }
}

void TestRealTimeRecorder::runningMaxMin()
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
        reading(state, levels[i]);
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

void TestRealTimeRecorder::stopShortensAndPlaces_data()
{
    QTest::addColumn<int>("recorded");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("placed");
    QTest::addColumn<int>("value1");
    QTest::addColumn<int>("value2");
    QTest::addColumn<QString>("avg"); // of 60, 61, 62 ...
    QTest::newRow("10 of 2000") << 10 << 10 << true << 3 << 6 << "64.5";
    QTest::newRow("2 of 100") << 2 << 2 << true << 0 << 1 << "60.5";
    QTest::newRow("1 of 100") << 1 << 1 << false << 0 << 0 << "60.0";
    QTest::newRow("0 of 100: no average") << 0 << 100 << false << 0 << 0 << "";
}

void TestRealTimeRecorder::stopShortensAndPlaces()
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
        reading(state, 60.0f + i);
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
    QTEST(result.avgAll, "avg");
}

void TestRealTimeRecorder::countReachedStops()
{
    AppState state;
    state.RealTimeRate = 1.0f;
    state.CurrentLevel = 60.0f;
    ChartModel chart;
    chart.setSubsets(1);
    RealTimeRecorder recorder;
    recorder.start(state, chart, 3, Noon);
    RealTimeRecorder::Texts texts;
    reading(state, 60.0f);
    QVERIFY(recorder.append(state, chart, at(0), texts)); // Run's first point
    reading(state, 60.0f);
    QCOMPARE(recorder.tick(state, chart, at(1), texts), RealTimeRecorder::Tick::Appended);
    reading(state, 60.0f);
    QCOMPARE(recorder.tick(state, chart, at(2), texts), RealTimeRecorder::Tick::Finished);
    QCOMPARE(state.RealTimeCount, 3);
    QCOMPARE(chart.points(), 3);
}

void TestRealTimeRecorder::lostMeterMakesGaps()
{
    // Each letter a second of the recording at 1 s: R a reading came, - none came.
    AppState state;
    state.RealTimeRate = 1.0f;
    ChartModel chart;
    chart.setSubsets(1);
    RealTimeRecorder recorder;
    recorder.start(state, chart, 10, Noon);
    reading(state, 71.0f);
    RealTimeRecorder::Texts texts;
    QVERIFY(recorder.append(state, chart, at(0), texts));
    const QString seconds = "R--RR";
    QStringList lost, counts;
    for (int i = 0; i < seconds.size(); ++i) {
        if (seconds[i] == 'R')
            reading(state, 80.0f + i);
        RealTimeRecorder::Texts tick;
        recorder.tick(state, chart, at(i + 1), tick);
        lost << tick.meterLost.value_or("");
        counts << tick.dataNo.value_or("-");
    }
    QStringList levels;
    for (int i = 0; i < state.RealTimeCount; ++i)
        levels << (ChartModel::isNull(chart.y(0, i)) ? QString("N")
                                                     : GraphStatistics::levelText(chart.y(0, i)));
    // The last level is never recorded again: the seconds without a reading are gaps.
    QCOMPARE(levels.join(' '), QString("71.0 80.0 N N 83.0 84.0"));
    QCOMPARE(chart.x(0, 2), at(2)); // a gap keeps its time
    const QString lostAt = DateTimeDays::timeText(at(2));
    const QString backAt = DateTimeDays::timeText(at(4));
    QCOMPARE(
        lost,
        (QStringList {
            "", "No readings since " + lostAt + ": the graph has a gap.", "",
            "No readings from " + lostAt + " to " + backAt + ": the graph has a gap there.", "" }));
    QCOMPARE(counts, (QStringList { "2", "-", "-", "3", "4" })); // valid points only
    const auto stopped = recorder.stop(state, chart, at(6));
    QCOMPARE(stopped.avgAll, QString("79.5")); // (71 + 80 + 83 + 84) / 4, the gaps left out
}

void TestRealTimeRecorder::scaleFollowsRecording()
{
    // Run spans 100 s from its start; a point beyond the end moves it to 30 s after that point.
    AppState state;
    ChartModel chart;
    chart.setSubsets(1);
    RealTimeRecorder recorder;
    recorder.start(state, chart, 10, Noon);
    QCOMPARE(chart.xScale, (AxisScale { true, at(0), at(100) }));
    RealTimeRecorder::Texts texts;
    for (const double second : { 99.0, 100.0, 101.0, 130.0, 131.5 }) {
        reading(state, 60.0f);
        recorder.append(state, chart, at(second), texts);
    }
    // 101 passed the end (100): 131; 131.5 passed 131: 161.5.
    QVERIFY(std::abs(chart.xScale.max - at(161.5)) < 1e-9);
    QCOMPARE(chart.xScale.min, at(0));
}

QTEST_GUILESS_MAIN(TestRealTimeRecorder)
#include "tst_realtimerecorder.moc"
