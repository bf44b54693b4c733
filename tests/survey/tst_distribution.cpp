// The level distribution: class edges on whole tenths, empty classes between, the percents, the
// points left out (null, 0, excluded) and the points between two cursors.

#include "survey/leveldistribution.h"
#include "survey/measurement.h"
#include "survey/seriesfigures.h"

#include <QTest>

#include <cmath>

namespace {

constexpr double Second = 1.0 / 86400.0;
constexpr double Start = 46000.5;

} // namespace

class TestDistribution : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void classes_data();
    void classes();
};

void TestDistribution::classes_data()
{
    QTest::addColumn<std::vector<float>>("levels"); // one a second
    QTest::addColumn<int>("excludedPoint"); // -1: none
    QTest::addColumn<int>("a"); // -1: the whole series
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("width"); // tenths of a dB
    QTest::addColumn<QString>("lines");

    QTest::newRow("59.9, 60.0, 60.1 at 1 dB")
        << std::vector<float> { 59.9f, 60.0f, 60.1f } << -1 << -1 << -1 << 10
        << "59.0\t1\t33.33\t100.00\n60.0\t2\t66.67\t66.67\n";
    QTest::newRow("60.4, 60.5 at 0.5 dB") << std::vector<float> { 60.4f, 60.5f } << -1 << -1 << -1
                                          << 5 << "60.0\t1\t50.00\t100.00\n60.5\t1\t50.00\t50.00\n";
    QTest::newRow("rounded to tenths first")
        << std::vector<float> { 59.94f, 59.96f } << -1 << -1 << -1 << 10
        << "59.0\t1\t50.00\t100.00\n60.0\t1\t50.00\t50.00\n";
    QTest::newRow("empty classes between")
        << std::vector<float> { 50.2f, 53.7f, 53.9f, 50.0f } << -1 << -1 << -1 << 10
        << "50.0\t2\t50.00\t100.00\n51.0\t0\t0.00\t50.00\n52.0\t0\t0.00\t50.00\n"
           "53.0\t2\t50.00\t50.00\n";
    QTest::newRow("0.1 dB, floats just below their tenths")
        << std::vector<float> { 60.1f, 60.1f, 60.3f } << -1 << -1 << -1 << 1
        << "60.1\t2\t66.67\t100.00\n60.2\t0\t0.00\t33.33\n60.3\t1\t33.33\t33.33\n";
    QTest::newRow("2 dB") << std::vector<float> { 61.9f, 62.0f, 65.9f } << -1 << -1 << -1 << 20
                          << "60.0\t1\t33.33\t100.00\n62.0\t1\t33.33\t66.67\n"
                             "64.0\t1\t33.33\t33.33\n";
    QTest::newRow("5 dB, null and 0 left out")
        << std::vector<float> { 44.9f, 9999.0f, 0.0f, 45.0f } << -1 << -1 << -1 << 50
        << "40.0\t1\t50.00\t100.00\n45.0\t1\t50.00\t50.00\n";
    QTest::newRow("an excluded point left out")
        << std::vector<float> { 60.0f, 61.5f, 62.2f } << 1 << -1 << -1 << 10
        << "60.0\t1\t50.00\t100.00\n61.0\t0\t0.00\t50.00\n62.0\t1\t50.00\t50.00\n";
    QTest::newRow("between the cursors, B before A")
        << std::vector<float> { 50.0f, 60.0f, 61.0f, 70.0f } << -1 << 2 << 1 << 10
        << "60.0\t1\t50.00\t100.00\n61.0\t1\t50.00\t50.00\n";
    QTest::newRow("below 0 dB") << std::vector<float> { -0.3f, 0.4f } << -1 << -1 << -1 << 10
                                << "-1.0\t1\t50.00\t100.00\n0.0\t1\t50.00\t50.00\n";
    QTest::newRow("no valid level")
        << std::vector<float> { 9999.0f, 0.0f } << -1 << -1 << -1 << 10 << "";
    QTest::newRow("too many classes")
        << std::vector<float> { 1.0f, 9000.0f } << -1 << -1 << -1 << 1 << "too many classes";
}

// Each class from the lowest to the highest holding a level: lower edge, count, percent of N
// and percent at or above the edge, worked out by hand.
void TestDistribution::classes()
{
    QFETCH(std::vector<float>, levels);
    QFETCH(int, excludedPoint);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, width);
    QFETCH(QString, lines);

    Measurement chart;
    chart.setSubsets(1);
    chart.setPoints(int(levels.size()));
    std::vector<double> xs(levels.size());
    for (std::size_t i = 0; i < xs.size(); ++i)
        xs[i] = Start + double(i) * Second;
    chart.setSeries(0, xs, levels);
    if (excludedPoint >= 0)
        chart.exclusions.push_back({ xs[std::size_t(excludedPoint)], xs[std::size_t(excludedPoint)],
                                     QStringLiteral("door") });
    const SeriesFigures series(chart, 1.0);
    const LevelDistribution::Result result = LevelDistribution::of(
        a < 0 ? series.validLevels() : series.validLevelsBetween(a, b), width);
    QCOMPARE(result.tooManyClasses ? QStringLiteral("too many classes")
                                   : LevelDistribution::lines(result),
             lines);

    // Every level in one class, the percents adding up to 100, the lowest exceeded throughout.
    long long counted = 0;
    double percents = 0.0;
    for (const LevelDistribution::Class &c : result.classes)
        counted += c.count, percents += c.percent;
    if (!result.classes.empty()) {
        QCOMPARE(counted, result.n);
        QVERIFY(std::fabs(percents - 100.0) < 1e-9);
        QCOMPARE(result.classes.front().exceeded, 100.0);
    }
}

QTEST_GUILESS_MAIN(TestDistribution)
#include "tst_distribution.moc"
