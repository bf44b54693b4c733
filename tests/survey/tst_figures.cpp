// The acoustic figures: each rule on small series worked out by hand, exclusions, and the fast
// figures between the cursors against a plain sort and sum on random series; and the excluded
// intervals themselves, merged, added and removed.

#include "survey/acousticfigures.h"
#include "survey/excludedintervals.h"
#include "survey/graphsource.h"
#include "survey/measurement.h"
#include "survey/methodlines.h"
#include "survey/seriesfigures.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <cmath>

using AcousticFigures::Figures;

namespace {

constexpr double Second = 1.0 / 86400.0;
constexpr double Start = 46000.5;

Measurement chartOf(const std::vector<float> &levels, double spacingSeconds = 1.0)
{
    Measurement chart;
    chart.setSubsets(1);
    chart.setPoints(int(levels.size()));
    std::vector<double> xs(levels.size());
    for (std::size_t i = 0; i < xs.size(); ++i)
        xs[i] = Start + double(i) * spacingSeconds * Second;
    chart.setSeries(0, xs, levels);
    return chart;
}

// "N T Leq Lmax Lmin L5 L10 L50 L90 L95 SEL" as the command line writes them.
QString textOf(const Figures &figures)
{
    QStringList values;
    for (const AcousticFigures::Line &line : AcousticFigures::lines(figures, QLocale::c(), 0))
        values << line.value;
    return values.join(QLatin1Char(' '));
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

} // namespace

class TestFigures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rules_data();
    void rules();
    void percentileRank_data();
    void percentileRank();
    void exclusions_data();
    void exclusions();
    void fastBetweenMatchesSortAndSum();
    void interval();
    void methodLines_data();
    void methodLines();

    void mergedIntervals_data();
    void mergedIntervals();
    void addAndRemoveAt_data();
    void addAndRemoveAt();
};

void TestFigures::rules_data()
{
    QTest::addColumn<std::vector<float>>("levels");
    QTest::addColumn<double>("interval");
    QTest::addColumn<QString>("figures");

    QTest::newRow("80, 90, 100") << std::vector<float> { 80, 90, 100 } << 1.0
                                 << "3 3 95.7 100.0 80.0 100.0 100.0 90.0 80.0 80.0 100.5";
    std::vector<float> tenAndOne(10, 60.0f);
    tenAndOne.push_back(80.0f);
    QTest::newRow("ten of 60, one of 80")
        << tenAndOne << 1.0 << "11 11 70.0 80.0 60.0 80.0 60.0 60.0 60.0 60.0 80.4";
    QTest::newRow("N = 1") << std::vector<float> { 72.3f } << 2.0
                           << "1 2 72.3 72.3 72.3 72.3 72.3 72.3 72.3 72.3 75.3";
    QTest::newRow("ties") << std::vector<float> { 60, 50, 60, 50 } << 1.0
                          << "4 4 57.4 60.0 50.0 60.0 60.0 50.0 50.0 50.0 63.4";
    QTest::newRow("null, 0 and NaN left out")
        << std::vector<float> { 9999.0f, 80, 0, 90, std::nanf(""), 100 } << 1.0
        << "3 3 95.7 100.0 80.0 100.0 100.0 90.0 80.0 80.0 100.5";
    QTest::newRow("no valid point") << std::vector<float> { 9999.0f, 0 } << 1.0 << "0 0         ";
    QTest::newRow("T = 0: no interval") << std::vector<float> { 80, 90, 100 } << 0.0
                                        << "3  95.7 100.0 80.0 100.0 100.0 90.0 80.0 80.0 ";
    // Not tenths of a dB: worked out by selection instead of counting.
    QTest::newRow("hundredths") << std::vector<float> { 80.04f, 90.04f, 100.04f } << 0.5
                                << "3 2 95.7 100.0 80.0 100.0 100.0 90.0 80.0 80.0 97.5";
}

// The whole graph's figures follow the rules, through the same entry the window uses.
void TestFigures::rules()
{
    QFETCH(std::vector<float>, levels);
    QFETCH(double, interval);
    QFETCH(QString, figures);
    const SeriesFigures series(chartOf(levels),
                               interval > 0 ? std::optional(interval) : std::nullopt);
    QCOMPARE(textOf(series.whole()), figures);
    // Between the first and the last point is the whole graph.
    QCOMPARE(textOf(series.between(int(levels.size()) - 1, 0)), figures);
}

void TestFigures::percentileRank_data()
{
    QTest::addColumn<long long>("count");
    QTest::addColumn<int>("percent");
    QTest::addColumn<long long>("rank");
    QTest::newRow("none") << 0LL << 50 << 0LL;
    QTest::newRow("one") << 1LL << 5 << 1LL;
    QTest::newRow("at least 1") << 3LL << 95 << 1LL;
    QTest::newRow("exact: 20 x 95 / 100 = 19") << 20LL << 5 << 19LL;
    QTest::newRow("21 x 95 / 100 = 19.95") << 21LL << 5 << 20LL;
    QTest::newRow("100 x 5 / 100 = 5") << 100LL << 95 << 5LL;
    QTest::newRow("101 x 5 / 100 = 5.05") << 101LL << 95 << 6LL;
    QTest::newRow("a billion") << 1000000001LL << 10 << 900000001LL;
}

void TestFigures::percentileRank()
{
    QFETCH(long long, count);
    QFETCH(int, percent);
    QFETCH(long long, rank);
    QCOMPARE(AcousticFigures::percentileRank(count, percent), rank);
}

void TestFigures::exclusions_data()
{
    QTest::addColumn<std::vector<ExcludedInterval>>("excluded");
    QTest::addColumn<QString>("nAndLeq");
    QTest::addColumn<QString>("specific"); // "N Leq"; empty: no such interval
    QTest::addColumn<QString>("residual");
    const auto at = [](double seconds) {
        return Start + seconds * Second;
    };
    constexpr auto S = IntervalCategory::Specific;
    constexpr auto R = IntervalCategory::Residual;
    QTest::newRow("none") << std::vector<ExcludedInterval> {} << "10 73.2"
                          << ""
                          << "";
    QTest::newRow("the first point")
        << std::vector<ExcludedInterval> { { at(0), at(0), {} } } << "9 70.8"
        << ""
        << "";
    QTest::newRow("both ends, one beyond the series")
        << std::vector<ExcludedInterval> { { at(-5), at(0), {} }, { at(9), at(20), {} } }
        << "8 60.0"
        << ""
        << "";
    QTest::newRow("overlapping") << std::vector<ExcludedInterval> { { at(2), at(5), {} },
                                                                    { at(4), at(7), {} } }
                                 << "4 77.0"
                                 << ""
                                 << "";
    QTest::newRow("nested") << std::vector<ExcludedInterval> { { at(1), at(8), {} },
                                                               { at(3), at(4),
                                                                 QStringLiteral("x") } }
                            << "2 80.0"
                            << ""
                            << "";
    QTest::newRow("everything") << std::vector<ExcludedInterval> { { at(0), at(9), {} } } << "0 "
                                << ""
                                << "";
    // Specific and Residual points stay in the whole graph's figures.
    QTest::newRow("specific and residual apart")
        << std::vector<ExcludedInterval> { { at(0), at(1), {}, S }, { at(2), at(4), {}, R } }
        << "10 73.2"
        << "2 77.0"
        << "3 60.0";
    QTest::newRow("specific wins over residual")
        << std::vector<ExcludedInterval> { { at(0), at(9), {}, R }, { at(8), at(9), {}, S } }
        << "10 73.2"
        << "2 77.0"
        << "8 71.3";
    QTest::newRow("excluded wins over both")
        << std::vector<ExcludedInterval> { { at(0), at(3), {}, S },
                                           { at(3), at(9), {}, R },
                                           { at(0), at(0), {} },
                                           { at(9), at(9), {} } }
        << "8 60.0"
        << "3 60.0"
        << "5 60.0";
    QTest::newRow("residual only, all excluded")
        << std::vector<ExcludedInterval> { { at(9), at(9), {}, R }, { at(8), at(9), {} } }
        << "8 71.3"
        << ""
        << "0 ";
}

// Points whose time lies in any Excluded interval (ends included) are left out, however the
// intervals lie; the Specific and Residual points have figures of their own.
void TestFigures::exclusions()
{
    QFETCH(std::vector<ExcludedInterval>, excluded);
    QFETCH(QString, nAndLeq);
    QFETCH(QString, specific);
    QFETCH(QString, residual);
    Measurement chart = chartOf({ 80, 60, 60, 60, 60, 60, 60, 60, 60, 80 });
    chart.exclusions = excluded;
    const SeriesFigures series(chart, 1.0);
    const auto nAndLeqOf = [](const std::optional<Figures> &f) {
        if (!f)
            return QString();
        const std::vector<AcousticFigures::Line> lines = AcousticFigures::lines(*f, QLocale::c());
        return lines[0].value + QLatin1Char(' ') + lines[2].value;
    };
    QCOMPARE(nAndLeqOf(series.whole()), nAndLeq);
    QCOMPARE(nAndLeqOf(series.between(0, 9)), nAndLeq);
    QCOMPARE(nAndLeqOf(series.ofCategory(IntervalCategory::Specific)), specific);
    QCOMPARE(nAndLeqOf(series.ofCategory(IntervalCategory::Residual)), residual);
}

// The figures between two cursors, from the index, are those of the points between them
// sorted and summed the plain way, on random series (tenths or not, with nulls, zeros and
// exclusions) and random cursor places.
void TestFigures::fastBetweenMatchesSortAndSum()
{
    QRandomGenerator random(20261209);
    for (int round = 0; round < 60; ++round) {
        const int n = 1 + int(random.bounded(round < 50 ? 300 : 5000));
        const bool tenths = round % 3 != 0;
        std::vector<float> levels(static_cast<std::size_t>(n));
        for (float &level : levels) {
            const int kind = int(random.bounded(20));
            if (kind == 0)
                level = 9999.0f;
            else if (kind == 1)
                level = 0.0f;
            else if (tenths)
                level = float(double(300 + random.bounded(1000)) / 10.0);
            else
                level = float(20.0 + random.generateDouble() * 120.0);
        }
        Measurement chart = chartOf(levels);
        if (round % 2 == 0) {
            const double a = Start + random.bounded(n) * Second;
            chart.exclusions.push_back({ a, a + random.bounded(20) * Second, {} });
        }
        const SeriesFigures series(chart, 1.0);
        for (int q = 0; q < 40; ++q) {
            const int a = int(random.bounded(n));
            const int b = int(random.bounded(n));
            std::vector<double> plain;
            for (int i = std::min(a, b); i <= std::max(a, b); ++i) {
                const bool excluded = !chart.exclusions.empty()
                    && chart.xs(0)[std::size_t(i)] >= chart.exclusions[0].from
                    && chart.xs(0)[std::size_t(i)] <= chart.exclusions[0].to;
                if (AcousticFigures::isValidLevel(levels[std::size_t(i)]) && !excluded)
                    plain.push_back(levels[std::size_t(i)]);
            }
            const Figures f = series.between(a, b);
            QCOMPARE(f.n, static_cast<long long>(plain.size()));
            if (plain.empty()) {
                QVERIFY(!f.leq && !f.lmax && !f.percentiles[2]);
                continue;
            }
            std::sort(plain.begin(), plain.end());
            double sum = 0;
            for (const double level : plain)
                sum += std::pow(10.0, level / 10.0);
            QVERIFY(std::fabs(*f.leq - 10.0 * std::log10(sum / double(plain.size()))) < 1e-9);
            QCOMPARE(*f.lmin, plain.front());
            QCOMPARE(*f.lmax, plain.back());
            const std::size_t size = plain.size();
            const std::array<std::size_t, 5> k { size - size * 5 / 100, size - size * 10 / 100,
                                                 size - size * 50 / 100, size - size * 90 / 100,
                                                 size - size * 95 / 100 };
            for (std::size_t p = 0; p < k.size(); ++p)
                QCOMPARE(*f.percentiles[p], plain[std::max<std::size_t>(k[p], 1) - 1]);
        }
    }
}

// dt: the source's interval, or the median spacing of the points.
void TestFigures::interval()
{
    Measurement chart = chartOf({ 60, 60, 60, 60 }, 2.0);
    chart.setX(0, 3, chart.x(0, 2) + 3600 * Second); // one gap does not move the median
    QCOMPARE(GraphSource().intervalOf(chart), std::optional(2.0));
    QCOMPARE(GraphSource::file("a.ghf").intervalOf(chart), std::optional(2.0));
    QCOMPARE(GraphSource::realTime(0.5).intervalOf(chart), std::optional(0.5));
    QCOMPARE(GraphSource::dataSetOf(1, Start, 10, "dBA", "FAST").intervalOf(chart),
             std::optional(10.0));
    QCOMPARE(GraphSource().intervalOf(chartOf({ 60 })), std::nullopt);
}

void TestFigures::methodLines_data()
{
    QTest::addColumn<GraphSource>("source");
    QTest::addColumn<QString>("axisTitle");
    QTest::addColumn<QString>("dt");
    QTest::addColumn<QString>("kind");
    QTest::newRow("data set") << GraphSource::dataSetOf(1, Start, 10, "dBA", "FAST") << ""
                              << "dt: 10 s, the data set's interval."
                              << "Weighting and response: dBA FAST.";
    QTest::newRow("real-time") << GraphSource::realTime(1.0) << "Level (dB)"
                               << "dt: 1 s, the interval the real-time recording kept."
                               << "Weighting and response: not recorded with the data.";
    QTest::newRow("graph file") << GraphSource::file("a.ghf") << "Level (dB(C) SLOW)"
                                << "dt: 2 s, the median spacing of consecutive points' times."
                                << "Weighting and response: dBC SLOW.";
}

// The method lines say where dt came from, what the levels are, and how many points were left
// out and why.
void TestFigures::methodLines()
{
    QFETCH(GraphSource, source);
    QFETCH(QString, axisTitle);
    Measurement chart = chartOf({ 80, Measurement::NullValue, 0, 60, 60, 70 }, 2.0);
    chart.exclusions = { { Start + 10 * Second, Start + 11 * Second, "door" } };
    const std::vector<QString> lines
        = MethodLines::lines(chart, source, axisTitle, {}, QLocale::c());
    QTEST(lines.front(), "dt");
    QTEST(lines.at(1), "kind");
    QVERIFY(std::find(lines.begin(), lines.end(),
                      QString("Lden: day 07-19 h, evening 19-23 h (+5 dB), night 23-07 h (+10 "
                              "dB), the night on the day it starts; the energy mean over 24 h of "
                              "12 Lday, 4 (Levening + 5), 8 (Lnight + 10) hours."))
            != lines.end());
    QCOMPARE(lines.back(),
             QString("Points: 6 in all, 3 valid; left out: not recorded 1, readings "
                     "of 0 (out of range) 1, in excluded intervals 1."));
}

void TestFigures::mergedIntervals_data()
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

void TestFigures::mergedIntervals()
{
    QFETCH(QString, intervals);
    QFETCH(QString, merged);
    QCOMPARE(textOf(ExcludedIntervals::merged(intervalsOf(intervals))), merged);
}

void TestFigures::addAndRemoveAt_data()
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
    QTest::newRow("the same range marked again")
        << "1-2 a, 3-4 c, 2-1 b" << 9.0 << false << "1-2 b, 3-4 c";
    QTest::newRow("none") << "" << 0.0 << false << "";
}

void TestFigures::addAndRemoveAt()
{
    QFETCH(QString, added);
    QFETCH(double, x);
    QFETCH(bool, removed);
    QFETCH(QString, left);
    Measurement chart;
    for (const ExcludedInterval &e : intervalsOf(added))
        ExcludedIntervals::add(chart, e.from, e.to, e.label);
    QCOMPARE(ExcludedIntervals::removeAt(chart, x), removed);
    QCOMPARE(textOf(chart.exclusions), left);
}

QTEST_GUILESS_MAIN(TestFigures)
#include "tst_figures.moc"
