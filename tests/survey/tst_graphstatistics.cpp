// The graph's statistics without a window: the whole graph's figures, the slider's places, the
// figures between the cursors and at a cursor, the exported lines, and the cumulative Leq.

#include "base/datetimedays.h"
#include "base/floatingpoint.h"
#include "survey/graphstatistics.h"
#include "survey/measurement.h"

#include <QTest>

namespace {

const double Noon = DateTimeDays::fromDateTime(QDateTime(QDate(2026, 12, 8), QTime(12, 0)));

double at(double seconds)
{
    return Noon + seconds * DateTimeDays::OneSecond;
}

// A one-subset measurement of the given levels, one second apart from noon plus offsetMs.
Measurement chartOf(const std::vector<float> &levels, int offsetMs = 0)
{
    Measurement chart;
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
        levels.push_back(word == "N" ? Measurement::NullValue : word.toFloat());
    return levels;
}

} // namespace

class TestGraphStatistics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

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
};

void TestGraphStatistics::wholeStatistics_data()
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
    // The start shows rounded up from .600; the rate spans the unrounded times.
    QTest::newRow("start at .600") << "60 61 62" << 600 << false << "3"
                                   << "1.0"
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

void TestGraphStatistics::wholeStatistics()
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

void TestGraphStatistics::sliderPlaces_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value1");
    QTest::addColumn<int>("value2");
    QTest::newRow("3 points") << 3 << 2 << 1 << 2;
    QTest::newRow("10 points") << 10 << 9 << 3 << 6;
    QTest::newRow("1 point") << 1 << 0 << 0 << 0;
}

void TestGraphStatistics::sliderPlaces()
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

void TestGraphStatistics::betweenCursors_data()
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

void TestGraphStatistics::betweenCursors()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(QString, max);
    QFETCH(QString, min);
    QFETCH(QString, avg);
    const Measurement chart = chartOf(levelsOf("50 75 90 60 75 N N"));
    const GraphStatistics::Between between
        = GraphStatistics::between(chart, a, b, FloatingPointOption());
    QCOMPARE(between.maxAB, max);
    QCOMPARE(between.minAB, min);
    QCOMPARE(between.avgAB, avg);
}

void TestGraphStatistics::cursorLine()
{
    Measurement chart = chartOf({ 72.4f, 80.0f });
    chart.setX(0, 1, at(1.6)); // 12:00:01.600 shows as 12:00:02
    const GraphStatistics::Cursor c = GraphStatistics::cursor(chart, 1);
    QCOMPARE(c.level, QString("80.0"));
    QCOMPARE(c.lineX, at(1.6));
    QCOMPARE(c.time, DateTimeDays::dateTimeText(at(2)));
    QCOMPARE(c.lineText, "|t" + DateTimeDays::timeText(at(2)) + "\n80.0dB");
}

void TestGraphStatistics::exportLines()
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

void TestGraphStatistics::cumulativeLeq_data()
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

void TestGraphStatistics::cumulativeLeq()
{
    QFETCH(QString, levels);
    QFETCH(bool, discard);
    const GraphStatistics::CumulativeLeq leq
        = GraphStatistics::cumulativeLeq(levelsOf(levels), FloatingPointOption(discard));
    QStringList shown;
    for (const float value : leq.levels)
        shown << (Measurement::isNull(value) ? QString("N") : GraphStatistics::levelText(value));
    QTEST(shown.join(' '), "expected");
    QTEST(leq.failed, "failed");
}

QTEST_GUILESS_MAIN(TestGraphStatistics)
#include "tst_graphstatistics.moc"
