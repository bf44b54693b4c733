// The stored chart block: every field of a chart survives saving and loading, and the layout is
// the documented one (version 1 without excluded intervals, 2 with them, 3 with a limit or an
// overlay, 4 with a Specific or Residual interval, 5 with survey details).

#include "tst_chartblock.h"

#include <bit>

void TestChartBlock::roundTrip_data()
{
    QTest::addColumn<ChartModel>("chart");
    QTest::addColumn<QByteArray>("header");
    const QByteArray v1("AXCB\x01\x00", 6);
    const QByteArray v2("AXCB\x02\x00", 6);
    QTest::newRow("every field set") << fullChart() << v1;
    QTest::newRow("built-in defaults") << ChartModel() << v1;
    ChartModel subsetsOnly;
    subsetsOnly.setSubsets(256);
    QTest::newRow("subsets without points") << subsetsOnly << v1;
    ChartModel outOfRange = fullChart(3);
    outOfRange.titleFontSize = 500;
    outOfRange.graphAnnotationTextSize = 1;
    QTest::newRow("limits of the ranges") << outOfRange << v1;
    ChartModel excluded = fullChart();
    excluded.exclusions = { { Day0 + 5 * Second, Day0 + 9 * Second, QStringLiteral("Lkw ✓") },
                            { Day0 + 7 * Second, Day0 + 7 * Second, QString() },
                            { -1e300, 1e300, QStringLiteral("all") },
                            { Day0 + 5 * Second, Day0 + 9 * Second, QStringLiteral("again") } };
    QTest::newRow("excluded intervals") << excluded << v2;
    const QByteArray v3("AXCB\x03\x00", 6);
    ChartModel limited = fullChart();
    limited.limit = 72.25;
    QTest::newRow("limit") << limited << v3;
    ChartModel overlaid = excluded;
    overlaid.overlay = OverlaySeries { QStringLiteral("vorher ✓"),
                                       QColor(),
                                       OverlayAlignment::Start,
                                       -0.25,
                                       2.0,
                                       fullChart(300).xs(1),
                                       fullChart(300).ys(0) };
    QTest::newRow("overlay and excluded intervals") << overlaid << v3;
    ChartModel categories = fullChart();
    categories.exclusions = { { Day0 + 5 * Second, Day0 + 9 * Second, QStringLiteral("lorry"),
                                IntervalCategory::Specific },
                              { Day0, Day0 + 20 * Second, QString(), IntervalCategory::Residual },
                              { Day0 + 7 * Second, Day0 + 7 * Second, QStringLiteral("door") } };
    QTest::newRow("specific and residual intervals") << categories << QByteArray("AXCB\x04\x00", 6);
    ChartModel detailed = fullChart(3);
    detailed.details.site = QStringLiteral("Am Bach 3 ✓");
    detailed.details.notes = QStringLiteral("gusts\nrain at 14:00");
    detailed.details.instrument.firmware = QStringLiteral("1.05");
    detailed.details.instrument.calibration70 = QStringLiteral("0.50  (128)");
    detailed.details.calibrationBefore = { 94.0, 94.4 };
    detailed.details.calibrationAfter.reading = 93.9;
    QTest::newRow("survey details") << detailed << QByteArray("AXCB\x05\x00", 6);
}

void TestChartBlock::roundTrip()
{
    QFETCH(ChartModel, chart);
    QFETCH(QByteArray, header);
    const QByteArray block = ChartBlock::save(chart);
    QCOMPARE(block.left(6), header);
    ChartModel loaded = otherChart();
    const quint64 revision = loaded.dataRevision();
    QString error = QStringLiteral("stale");
    QVERIFY(ChartBlock::load(block, loaded, &error));
    QVERIFY(error.isEmpty());
    QVERIFY(loaded == chart);
    QVERIFY(sameBits(loaded, chart));
    // A view that drew the replaced chart must see that the data changed.
    QVERIFY(loaded.dataRevision() > revision);
    QCOMPARE(ChartBlock::save(loaded), block);
}

void TestChartBlock::notANumberKeepsItsBits()
{
    ChartModel chart = fullChart(4);
    chart.setX(0, 1, std::bit_cast<double>(0x7FF800000000ABCDull));
    chart.setY(1, 3, std::bit_cast<float>(0xFFC00123u));
    chart.annotations[2].y = std::numeric_limits<double>::quiet_NaN();
    ChartModel loaded;
    QVERIFY(ChartBlock::load(ChartBlock::save(chart), loaded));
    QVERIFY(sameBits(loaded, chart));
    QVERIFY(std::isnan(loaded.annotations[2].y));
}

// What the program never sets is stored as the nearest accepted value, so that every saved
// chart can be loaded again.
void TestChartBlock::savedValuesOutOfRangeStillLoad()
{
    ChartModel chart = fullChart(2);
    chart.subsetLineTypes = { -1, 9, 2 };
    chart.titleFontSize = 0;
    chart.legendFontSize = 100000;
    chart.lineAnnotationTextSize = -5;
    chart.annotations[5].type = 7;
    chart.gridStyle = static_cast<GridStyle>(9);
    chart.viewingStyle = static_cast<ViewingStyle>(-1);
    chart.exclusions = { { Day0 + 5, Day0 + 3, QStringLiteral("back"), IntervalCategory(9) },
                         { std::numeric_limits<double>::quiet_NaN(), Day0, QString() } };
    chart.limit = std::numeric_limits<double>::infinity();
    chart.overlay = OverlaySeries { QString(), Qt::red, static_cast<OverlayAlignment>(7),
                                    qQNaN(),   -3.0,    { Day0, Day0 + Second },
                                    { 50.0f } };
    ChartModel loaded;
    QString error;
    QVERIFY2(ChartBlock::load(ChartBlock::save(chart), loaded, &error), qPrintable(error));
    ChartModel pointsOnly;
    pointsOnly.setPoints(40);
    QVERIFY2(ChartBlock::load(ChartBlock::save(pointsOnly), pointsOnly, &error), qPrintable(error));
    QCOMPARE(pointsOnly.points(), 0);
    QCOMPARE(loaded.subsetLineTypes, (std::vector<int> { 0, 0, 2 }));
    QCOMPARE(loaded.titleFontSize, 1);
    QCOMPARE(loaded.legendFontSize, 500);
    QCOMPARE(loaded.lineAnnotationTextSize, 1);
    QCOMPARE(loaded.annotations[5].type, 0);
    QCOMPARE(loaded.gridStyle, GridStyle::Dot);
    QCOMPARE(loaded.viewingStyle, ViewingStyle::Color);
    QCOMPARE(loaded.exclusions,
             (std::vector<ExcludedInterval> { { Day0 + 3, Day0 + 5, QStringLiteral("back") } }));
    QVERIFY(!loaded.limit);
    QVERIFY(loaded.overlay);
    QCOMPARE(loaded.overlay->alignment, OverlayAlignment::ClockTime);
    QCOMPARE(loaded.overlay->shift, 0.0);
    QCOMPARE(loaded.overlay->interval, 0.0);
    QCOMPARE(loaded.overlay->xs, std::vector<double> { Day0 });
}

// The layout as documented, written by hand; saving the loaded chart writes the same bytes,
// so a chart without excluded intervals is stored exactly as version 1 always was.
void TestChartBlock::handBuiltBlockLoads_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<std::vector<ExcludedInterval>>("exclusions");
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<double>("limit"); // NaN: none
    QTest::addColumn<int>("overlayPoints"); // -1: no overlay
    const double none = qQNaN();
    const std::vector<ExcludedInterval> two
        = { { Day0 + 0.25, Day0 + 0.375, QStringLiteral("lorry") },
            { Day0 + 0.5, Day0 + 0.5, QString() } };
    const QByteArray v1 = build();
    const QByteArray v2 = build([](Fields &f) { f.version = 2; });
    const auto v3 = [](const std::function<void(Fields &)> &change) {
        return build([&change](Fields &f) {
            f.version = 3;
            change(f);
        });
    };
    const QByteArray v3Whole = v3([](Fields &) {});
    QTest::newRow("version 1") << v1 << std::vector<ExcludedInterval>() << v1 << none << -1;
    QTest::newRow("version 2") << v2 << two << v2 << none << -1;
    QTest::newRow("version 2, none excluded") << build([](Fields &f) {
        f.version = 2;
        f.exclusionCount = 0;
    }) << std::vector<ExcludedInterval>() << v1
                                              << none << -1;
    QTest::newRow("version 3") << v3Whole << two << v3Whole << 55.0 << 2;
    const QByteArray limitOnly = v3([](Fields &f) {
        f.exclusionCount = 0;
        f.overlayFlag = 0;
    });
    QTest::newRow("version 3, limit only")
        << limitOnly << std::vector<ExcludedInterval>() << limitOnly << 55.0 << -1;
    const QByteArray emptyOverlay = v3([](Fields &f) {
        f.limitFlag = 0;
        f.overlayPoints = 0;
    });
    QTest::newRow("version 3, overlay without points")
        << emptyOverlay << two << emptyOverlay << none << 0;
    QTest::newRow("version 3, neither") << v3([](Fields &f) {
        f.limitFlag = 0;
        f.overlayFlag = 0;
    }) << two << v2 << none << -1;
    std::vector<ExcludedInterval> specific = two;
    specific[0].category = IntervalCategory::Specific;
    const QByteArray v4 = build([](Fields &f) { f.version = 4; });
    QTest::newRow("version 4") << v4 << specific << v4 << 55.0 << 2;
    // Every interval Excluded: saved as the older version, which earlier builds read.
    QTest::newRow("version 4, every interval excluded") << build([](Fields &f) {
        f.version = 4;
        f.category = 0;
        f.limitFlag = 0;
        f.overlayFlag = 0;
    }) << two << v2 << none << -1;
    const QByteArray v5 = build([](Fields &f) { f.version = 5; });
    QTest::newRow("version 5") << v5 << specific << v5 << 55.0 << 2;
}

void TestChartBlock::handBuiltBlockLoads()
{
    QFETCH(QByteArray, block);
    QFETCH(std::vector<ExcludedInterval>, exclusions);
    QFETCH(QByteArray, saved);
    QFETCH(double, limit);
    QFETCH(int, overlayPoints);
    ChartModel chart = otherChart(); // it has an excluded interval, limit and overlay
    QString error;
    QVERIFY2(ChartBlock::load(block, chart, &error), qPrintable(error));
    QCOMPARE(chart.exclusions, exclusions);
    QCOMPARE(chart.limit.has_value(), !qIsNaN(limit));
    if (chart.limit)
        QCOMPARE(*chart.limit, limit);
    QCOMPARE(chart.overlay.has_value(), overlayPoints >= 0);
    if (chart.overlay) {
        QCOMPARE(chart.overlay->label, QStringLiteral("before"));
        QCOMPARE(chart.overlay->color, QColor(0, 0, 255));
        QCOMPARE(chart.overlay->alignment, OverlayAlignment::Start);
        QCOMPARE(chart.overlay->shift, 0.5);
        QCOMPARE(chart.overlay->interval, 10.0);
        QCOMPARE(int(chart.overlay->xs.size()), overlayPoints);
        QCOMPARE(int(chart.overlay->ys.size()), overlayPoints);
        if (overlayPoints > 1) {
            QCOMPARE(chart.overlay->xs[1], Day0 - 1 + Second);
            QCOMPARE(chart.overlay->ys[1], 41.0f);
        }
    }
    QCOMPARE(ChartBlock::save(chart), saved);
    QCOMPARE(chart.subsets(), 1);
    QCOMPARE(chart.points(), 2);
    QCOMPARE(chart.x(0, 1), Day0 + 1);
    QCOMPARE(chart.y(0, 1), 51.0f);
    QCOMPARE(chart.xScale, (AxisScale { true, 1.0, 2.0 }));
    QCOMPARE(chart.yScale, (AxisScale { false, 30.0, 130.0 }));
    QCOMPARE(chart.mainTitle, QStringLiteral("Title"));
    QCOMPARE(chart.yAxisLabel, QStringLiteral("Y"));
    QCOMPARE(chart.subsetLabels, QStringList { QStringLiteral("dB") });
    QCOMPARE(chart.subsetColors, (std::vector<QColor> { QColor(255, 0, 0, 128), QColor() }));
    QCOMPARE(chart.subsetLineTypes, std::vector<int> { 3 });
    QCOMPARE(chart.yAxisColor, QColor(0, 255, 0));
    QCOMPARE(chart.gridStyle, GridStyle::Dash);
    QCOMPARE(chart.viewingStyle, ViewingStyle::Monochrome);
    QCOMPARE(chart.titleFontSize, 14);
    QCOMPARE(chart.legendFontSize, 8);
    QCOMPARE(chart.annotations.size(), std::size_t(2));
    QCOMPARE(chart.annotations[2].type, 2);
    QCOMPARE(chart.annotations[2].color, QColor(255, 255, 0));
    QCOMPARE(chart.annotations[7].text, QStringLiteral("Tür"));
    QVERIFY(!chart.annotations[7].color.isValid());
    QCOMPARE(chart.showGraphAnnotations, false);
    QCOMPARE(chart.graphAnnotationTextSize, 120);
    QCOMPARE(chart.verticalLines[1].text, QStringLiteral("B"));
    QCOMPARE(chart.allowVertLineAnnotHotSpots, false);
    QCOMPARE(chart.lineAnnotationTextSize, 90);
    QCOMPARE(chart.allowDataHotSpots, true);
}

QTEST_GUILESS_MAIN(TestChartBlock)
