// The graph windows' arithmetic without a window: date-times in days, the statistics and
// cursors, the cumulative Leq, the real-time recorder's rules, and the excluded intervals.

#include "base/appstate.h"
#include "base/datetimedays.h"
#include "base/floatingpoint.h"
#include "chart/chartmodel.h"
#include "chart/timeticks.h"
#include "graph/realtimerecorder.h"
#include "survey/excludedintervals.h"
#include "survey/graphstatistics.h"

#include <QTest>

#include <cmath>

namespace {

const double Noon = DateTimeDays::fromDateTime(QDateTime(QDate(2026, 12, 8), QTime(12, 0)));

double at(double seconds)
{
    return Noon + seconds * DateTimeDays::OneSecond;
}

// A one-subset chart of the given levels, one second apart from noon plus offsetMs.
ChartModel chartOf(const std::vector<float> &levels, int offsetMs = 0)
{
    ChartModel chart;
    chart.setSubsets(1);
    chart.setPoints(static_cast<int>(levels.size()));
    for (int i = 0; i < chart.points(); ++i) {
        chart.setX(0, i, at(i + offsetMs / 1000.0));
        chart.setY(0, i, levels[static_cast<std::size_t>(i)]);
    }
    return chart;
}

// Levels written as text, "N" for a null point, "inf" for an overflowed value.
std::vector<float> levelsOf(const QString &text)
{
    std::vector<float> levels;
    for (const QString &word : text.split(' ', Qt::SkipEmptyParts))
        levels.push_back(word == "N" ? ChartModel::NullValue : word.toFloat());
    return levels;
}

// Intervals written as text, "from-to label" separated by commas (the label may be missing), and
// back; "nan" is an end that is not a number.
std::vector<ExcludedInterval> intervalsOf(const QString &text)
{
    std::vector<ExcludedInterval> out;
    for (const QString &item : text.split(',', Qt::SkipEmptyParts)) {
        const QStringList words = item.trimmed().split(' ');
        const QStringList ends = words.first().split('-');
        out.push_back({ ends[0] == "nan" ? qQNaN() : ends[0].toDouble(),
                        ends[1] == "nan" ? qQNaN() : ends[1].toDouble(), words.value(1) });
    }
    return out;
}

QString textOf(const std::vector<ExcludedInterval> &intervals)
{
    QStringList items;
    for (const ExcludedInterval &e : intervals)
        items << QString("%1-%2 %3").arg(e.from).arg(e.to).arg(e.label).trimmed();
    return items.join(", ");
}

// A live reading as the poll hands it over.
void reading(AppState &state, float level)
{
    state.CurrentLevel = level;
    ++state.LiveReadingCount;
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

    void wholeStatistics_data();
    void wholeStatistics();
    void sliderPlaces_data();
    void sliderPlaces();
    void betweenCursors_data();
    void betweenCursors();
    void cursorLine();
    void exportLines();
    void cumulativeLeq_data();
    void cumulativeLeq();

    void timeAxisTicks_data();
    void timeAxisTicks();
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

    void mergedIntervals_data();
    void mergedIntervals();
    void addAndRemoveAt_data();
    void addAndRemoveAt();
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

void TestGraph::wholeStatistics_data()
{
    QTest::addColumn<QString>("levels");
    QTest::addColumn<int>("offsetMs"); // of every point's time
    QTest::addColumn<bool>("discard"); // the "discard floating error" option
    // Expected texts; times as seconds after noon, -1 for an empty field.
    QTest::addColumn<QString>("dataNo");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("avg");
    QTest::addColumn<QString>("max");
    QTest::addColumn<int>("maxAt");
    QTest::addColumn<QString>("min");
    QTest::addColumn<int>("minAt");
    QTest::addColumn<int>("startAt");
    QTest::addColumn<bool>("failed");
    QTest::newRow("three levels") << "80 90 100" << 0 << false << "3"
                                  << "1.0"
                                  << "90.0"
                                  << "100.0" << 2 << "80.0" << 0 << 0 << false;
    QTest::newRow("first of equal extremes") << "70 95.5 60 95.5 60" << 0 << false << "5"
                                             << "1.0"
                                             << "76.2"
                                             << "95.5" << 1 << "60.0" << 2 << 0 << false;
    // Null points are no levels: not 9999, not the 30 Dec 1899 of a point never recorded.
    QTest::newRow("null points left out") << "N 80 N 90 100 N" << 0 << false << "3"
                                          << "1.5"
                                          << "90.0"
                                          << "100.0" << 4 << "80.0" << 1 << 1 << false;
    QTest::newRow("only null points") << "N N N" << 0 << false << "0"
                                      << ""
                                      << ""
                                      << "" << -1 << "" << -1 << -1 << false;
    QTest::newRow("one point: no rate") << "72.4" << 0 << false << "1"
                                        << ""
                                        << "72.4"
                                        << "72.4" << 0 << "72.4" << 0 << 0 << false;
    // The start rounds up from .600; the rate spans from the rounded start.
    QTest::newRow("start at .600") << "60 61 62" << 600 << false << "3"
                                   << "0.8"
                                   << "61.0"
                                   << "62.0" << 3 << "60.0" << 1 << 1 << false;
    QTest::newRow("no group separator") << "1234.5 60.1" << 0 << false << "2"
                                        << "1.0"
                                        << "647.3"
                                        << "1234.5" << 0 << "60.1" << 1 << 0 << false;
    QTest::newRow("failed average, option off") << "80 inf" << 0 << false << "2"
                                                << "1.0"
                                                << ""
                                                << "inf" << 1 << "80.0" << 0 << 0 << true;
    QTest::newRow("failed average, option on") << "80 inf" << 0 << true << "2"
                                               << "1.0"
                                               << "inf"
                                               << "inf" << 1 << "80.0" << 0 << 0 << false;
}

void TestGraph::wholeStatistics()
{
    QFETCH(QString, levels);
    QFETCH(int, offsetMs);
    QFETCH(bool, discard);
    const GraphStatistics::Whole w
        = GraphStatistics::whole(chartOf(levelsOf(levels), offsetMs), FloatingPointOption(discard));
    const auto timeAt = [](int seconds) {
        return seconds < 0 ? QString() : DateTimeDays::dateTimeText(at(seconds));
    };
    QTEST(w.dataNo, "dataNo");
    QTEST(w.samplingRate, "rate");
    QTEST(w.avgAll, "avg");
    QTEST(w.max, "max");
    QTEST(w.min, "min");
    QFETCH(int, maxAt);
    QFETCH(int, minAt);
    QFETCH(int, startAt);
    QCOMPARE(w.maxTime, timeAt(maxAt));
    QCOMPARE(w.minTime, timeAt(minAt));
    QCOMPARE(w.startTime, timeAt(startAt));
    QTEST(w.failed, "failed");
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
    QTest::newRow("null points left out") << 0 << 6 << "90.0"
                                          << "50.0"
                                          << "70.0";
    QTest::newRow("only null points") << 5 << 6 << ""
                                      << ""
                                      << "";
}

void TestGraph::betweenCursors()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(QString, max);
    QFETCH(QString, min);
    QFETCH(QString, avg);
    const ChartModel chart = chartOf(levelsOf("50 75 90 60 75 N N"));
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

void TestGraph::cumulativeLeq_data()
{
    QTest::addColumn<QString>("levels");
    QTest::addColumn<bool>("discard");
    QTest::addColumn<QString>("expected"); // one decimal each, N: no figure
    QTest::addColumn<bool>("failed");
    // 10 log10 of the mean of 10^8, 10^9, 10^10 is 95.7: the energy mean, not the average.
    QTest::newRow("80 90 100") << "80 90 100" << false << "80.0 87.4 95.7" << false;
    QTest::newRow("null points have none")
        << "N 80 N 90 100" << false << "N 80.0 N 87.4 95.7" << false;
    // An overflowing step makes no figure, and none after it builds on it.
    QTest::newRow("overflow, option off") << "80 4000 90" << false << "80.0 N N" << true;
    QTest::newRow("overflow, option on") << "80 4000" << true << "80.0 inf" << false;
}

void TestGraph::cumulativeLeq()
{
    QFETCH(QString, levels);
    QFETCH(bool, discard);
    const GraphStatistics::CumulativeLeq leq
        = GraphStatistics::cumulativeLeq(levelsOf(levels), FloatingPointOption(discard));
    QStringList shown;
    for (const float value : leq.levels)
        shown << (ChartModel::isNull(value) ? QString("N") : GraphStatistics::levelText(value));
    QTEST(shown.join(' '), "expected");
    QTEST(leq.failed, "failed");
}

void TestGraph::timeAxisTicks_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("span"); // seconds
    QTest::addColumn<double>("step");
    QTest::addColumn<QString>("firstLabel");
    // Every axis starts at 8 December 2026, 21:32:37.3, and asks for about five ticks.
    QTest::newRow("10 s, en_US") << "en_US" << 10.0 << 2.0 << "9:32:38 PM";
    QTest::newRow("10 s, de_DE") << "de_DE" << 10.0 << 2.0 << "21:32:38";
    QTest::newRow("14 s: 2 s, not 2.5 s") << "en_US" << 14.0 << 2.0 << "9:32:38 PM";
    QTest::newRow("1 min") << "de_DE" << 60.0 << 10.0 << "21:32:40";
    QTest::newRow("5 min") << "en_US" << 300.0 << 60.0 << "9:33 PM";
    QTest::newRow("1 h") << "de_DE" << 3600.0 << 600.0 << "21:40";
    QTest::newRow("6 h") << "en_US" << 21600.0 << 3600.0 << "10:00 PM";
    QTest::newRow("1 day") << "de_DE" << 86400.0 << 21600.0 << "00:00";
    QTest::newRow("3 days: the date under the time")
        << "en_US" << 3 * 86400.0 << 43200.0 << "12:00 AM";
    QTest::newRow("10 days: the date alone") << "en_US" << 10 * 86400.0 << 2 * 86400.0 << "12/9/26";
    QTest::newRow("30 days") << "de_DE" << 30 * 86400.0 << 7 * 86400.0 << "10.12.26";
}

// The ticks stand at whole multiples of a round step from midnight, and each label shows its
// tick exactly: no tick has a part finer than its label writes.
void TestGraph::timeAxisTicks()
{
    QFETCH(QString, locale);
    QFETCH(double, span);
    QFETCH(double, step);
    QFETCH(QString, firstLabel);
    const QLocale l(locale);
    const double start
        = double(QDateTime(QDate(2026, 12, 8), QTime(21, 32, 37, 300), Qt::UTC).toMSecsSinceEpoch())
        / 1000.0;
    QCOMPARE(TimeTicks::stepFor(span, 5), step);
    const std::vector<double> ticks = TimeTicks::ticks(start, start + span, step);
    QVERIFY(ticks.size() >= 3 && ticks.size() <= 8);
    const QString format = TimeTicks::labelFormat(step, span, l);
    const bool seconds = format.contains('s');
    const bool time = format.contains('h') || format.contains('H');
    for (double tick : ticks) {
        QCOMPARE(std::fmod(tick, step), 0.0);
        if (!seconds)
            QCOMPARE(std::fmod(tick, 60.0), 0.0);
        if (!time)
            QCOMPARE(std::fmod(tick, 86400.0), 0.0);
    }
    const QDateTime first = QDateTime::fromMSecsSinceEpoch(qint64(ticks.front() * 1000), Qt::UTC);
    QCOMPARE(l.toString(first, format).split('\n').first(), firstLabel);
}

void TestGraph::tickArithmetic_data()
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

void TestGraph::tickArithmetic()
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

void TestGraph::stopShortensAndPlaces_data()
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
    reading(state, 60.0f);
    QVERIFY(recorder.append(state, chart, at(0), texts)); // Run's first point
    reading(state, 60.0f);
    QCOMPARE(recorder.tick(state, chart, at(1), texts), RealTimeRecorder::Tick::Appended);
    reading(state, 60.0f);
    QCOMPARE(recorder.tick(state, chart, at(2), texts), RealTimeRecorder::Tick::Finished);
    QCOMPARE(state.RealTimeCount, 3);
    QCOMPARE(chart.points(), 3);
}

void TestGraph::lostMeterMakesGaps()
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

void TestGraph::scaleFollowsRecording()
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

void TestGraph::mergedIntervals_data()
{
    QTest::addColumn<QString>("intervals");
    QTest::addColumn<QString>("merged");
    QTest::newRow("none") << ""
                          << "";
    QTest::newRow("one, label dropped") << "2-5 lorry"
                                        << "2-5";
    QTest::newRow("disjoint, out of order") << "7-9 a, 1-2 b, 4-5"
                                            << "1-2, 4-5, 7-9";
    QTest::newRow("overlapping") << "1-4, 3-6, 5-8"
                                 << "1-8";
    QTest::newRow("touching") << "1-3, 3-5"
                              << "1-5";
    QTest::newRow("a gap between") << "1-3, 3.5-5"
                                   << "1-3, 3.5-5";
    QTest::newRow("nested") << "1-10 outer, 2-3 inner, 4-4"
                            << "1-10";
    QTest::newRow("nested, the inner first") << "4-5, 0-20, 21-22"
                                             << "0-20, 21-22";
    QTest::newRow("the same twice") << "2-6 a, 2-6 b"
                                    << "2-6";
    QTest::newRow("zero width, alone and inside") << "3-3, 5-8, 6-6"
                                                  << "3-3, 5-8";
    QTest::newRow("ends the wrong way round") << "6-2, 7-9"
                                              << "2-6, 7-9";
    QTest::newRow("an end not a number") << "nan-3, 1-2, 4-nan"
                                         << "1-2";
}

void TestGraph::mergedIntervals()
{
    QFETCH(QString, intervals);
    QFETCH(QString, merged);
    QCOMPARE(textOf(ExcludedIntervals::merged(intervalsOf(intervals))), merged);
}

void TestGraph::addAndRemoveAt_data()
{
    QTest::addColumn<QString>("added"); // in order, through add (ends as given)
    QTest::addColumn<double>("x");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<QString>("left");
    QTest::newRow("ends put in order") << "5-3 a" << 9.0 << false << "3-5 a";
    QTest::newRow("inside") << "3-5 a" << 4.0 << true << "";
    QTest::newRow("at the start") << "3-5 a" << 3.0 << true << "";
    QTest::newRow("at the end") << "3-5 a" << 5.0 << true << "";
    QTest::newRow("just outside") << "3-5 a" << 5.001 << false << "3-5 a";
    QTest::newRow("zero width") << "1-2 a, 4-4 b" << 4.0 << true << "1-2 a";
    QTest::newRow("the most recent of two")
        << "0-10 a, 2-6 b, 20-30 c" << 4.0 << true << "0-10 a, 20-30 c";
    QTest::newRow("the most recent, an outer one") << "2-6 a, 0-10 b" << 4.0 << true << "2-6 a";
    QTest::newRow("only the one containing x") << "0-10 a, 2-6 b" << 8.0 << true << "2-6 b";
    QTest::newRow("the same interval twice")
        << "1-2 a, 1-2 a, 1-2 b" << 1.5 << true << "1-2 a, 1-2 a";
    QTest::newRow("none") << "" << 0.0 << false << "";
}

void TestGraph::addAndRemoveAt()
{
    QFETCH(QString, added);
    QFETCH(double, x);
    QFETCH(bool, removed);
    QFETCH(QString, left);
    ChartModel chart;
    for (const ExcludedInterval &e : intervalsOf(added))
        ExcludedIntervals::add(chart, e.from, e.to, e.label);
    QCOMPARE(ExcludedIntervals::removeAt(chart, x), removed);
    QCOMPARE(textOf(chart.exclusions), left);
}

QTEST_GUILESS_MAIN(TestGraph)
#include "tst_graph.moc"
