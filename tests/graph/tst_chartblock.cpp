// The stored chart block: every field of a chart survives saving and loading, the layout is the
// documented one (version 1 without excluded intervals, 2 with them, 3 with a limit or an
// overlay), and a damaged block
// is refused with a reason while the chart stays as it was.

#include "chart/chartblock.h"
#include "chart/chartmodel.h"

#include <QRandomGenerator>
#include <QTest>
#include <QtEndian>

#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

namespace {

constexpr double Day0 = 45000.5; // a date-time in days
constexpr double Second = 1.0 / 86400.0;

// A chart with every field away from its default.
ChartModel fullChart(int points = 500)
{
    ChartModel chart;
    chart.setSubsets(2);
    chart.setPoints(points);
    for (int i = 0; i < points; ++i) {
        const float level = 30.0f + static_cast<float>(i % 1000) * 0.1f;
        chart.setX(0, i, Day0 + i * Second);
        chart.setX(1, i, Day0 + i * Second);
        chart.setY(0, i, i % 7 == 3 ? ChartModel::NullValue : level);
        chart.setY(1, i, level + 0.05f);
    }
    if (points > 2) {
        chart.setX(1, 1, std::numeric_limits<double>::infinity());
        chart.setX(1, 2, -std::numeric_limits<double>::infinity());
        chart.setY(1, 2, std::numeric_limits<float>::denorm_min());
    }
    chart.xScale = { true, Day0, Day0 + points * Second };
    chart.yScale = { true, 30.0, 130.0 };
    chart.mainTitle = QStringLiteral("Lärm am Fenster – 日本");
    chart.subTitle = QStringLiteral(" ");
    chart.xAxisLabel = QStringLiteral("Time");
    chart.yAxisLabel = QString();
    chart.subsetLabels = { QStringLiteral("SPL"), QStringLiteral("Leq µ") };
    chart.subsetColors = { QColor(Qt::black), QColor(255, 0, 0, 128), QColor() };
    chart.subsetLineTypes = { 1, 4 };
    chart.yAxisColor = Qt::red;
    chart.gridStyle = GridStyle::Solid;
    chart.viewingStyle = ViewingStyle::Monochrome;
    chart.dateTimeX = false;
    chart.titleFontSize = 18;
    chart.labelFontSize = 7;
    chart.legendFontSize = 11;
    chart.annotations[-3] = { 0.0, 0.0, 0, QString(), QColor() };
    chart.annotations[2]
        = { Day0, 71.5, 2, QStringLiteral("12:00:01\r71.5 dB"), QColor(255, 255, 0) };
    chart.annotations[5] = { Day0 + 0.5, 80.25, 0, QStringLiteral("Tür zu ✓"), Qt::blue };
    chart.annotations[6] = { Day0 + 0.75, 40.0, 2, QString(), QColor(1, 2, 3, 4) };
    chart.showGraphAnnotations = false;
    chart.graphAnnotationTextSize = 150;
    chart.allowGraphAnnotHotSpots = false;
    chart.verticalLines[0] = { Day0 + 10 * Second, QStringLiteral("A\r55.0 dB") };
    chart.verticalLines[1] = { Day0 + 20 * Second, QStringLiteral("B") };
    chart.showVertLineAnnotations = false;
    chart.allowVertLineAnnotHotSpots = false;
    chart.lineAnnotationTextSize = 80;
    chart.allowDataHotSpots = true;
    return chart;
}

// A chart that differs from all of the above, to load into.
ChartModel otherChart()
{
    ChartModel chart;
    chart.setSubsets(1);
    chart.setPoints(3);
    chart.fillPoint(1, 1.0, 2.0f);
    chart.mainTitle = QStringLiteral("unchanged");
    chart.annotations[9] = { 1.0, 2.0, 2, QStringLiteral("keep"), Qt::green };
    chart.exclusions = { { 1.0, 1.5, QStringLiteral("keep") } };
    chart.limit = 70.0;
    chart.overlay = OverlaySeries {
        QStringLiteral("keep"), Qt::green, OverlayAlignment::ClockTime, 0.0, 1.0, { 1.0 }, { 60.0f }
    };
    return chart;
}

// Builds blocks field by field as the layout documents them, independently of the writer.
struct Fields
{
    QByteArray magic = "AXCB";
    quint16 version = 1;
    quint32 subsets = 1;
    quint32 points = 2;
    qint64 pointBytes = -1; // -1: as many as subsets and points say
    quint8 manual = 1;
    quint32 titleLength = 5; // of "Title"
    quint32 labelCount = 1;
    quint8 colourFlag = 1;
    quint32 lineTypeCount = 1;
    quint8 lineType = 3;
    quint8 grid = 1;
    quint8 viewing = 1;
    qint32 fontSize = 14;
    quint32 annotationCount = 2;
    qint32 secondIndex = 7;
    quint8 annotationType = 2;
    qint32 textSize = 120;
    quint8 lastFlag = 1;
    // Version 2: the excluded intervals' count, then ("lorry", from, to) and ("", Day0 + 0.5
    // twice) as far as the count goes.
    quint32 exclusionCount = 2;
    double from = Day0 + 0.25;
    double to = Day0 + 0.375;
    // Version 3: the limit, then an overlay "before" of overlayPoints points from Day0 - 1 on.
    quint8 limitFlag = 1;
    double limit = 55.0;
    quint8 overlayFlag = 1;
    quint8 alignment = 1;
    double interval = 10.0;
    quint32 overlayPoints = 2;
    qint64 overlayBytes = -1; // -1: as many as overlayPoints says
    QByteArray trailing;
};

class Bytes
{
public:
    QByteArray data;
    template<typename T> Bytes &le(T value)
    {
        char b[sizeof(T)];
        qToLittleEndian(value, b);
        data.append(b, sizeof b);
        return *this;
    }
    Bytes &u8(quint8 v) { return le(v); }
    Bytes &f64(double v)
    {
        quint64 bits;
        std::memcpy(&bits, &v, 8);
        return le(bits);
    }
    Bytes &text(const QByteArray &utf8) { return le(quint32(utf8.size())).raw(utf8); }
    Bytes &raw(const QByteArray &b)
    {
        data.append(b);
        return *this;
    }
};

QByteArray build(const std::function<void(Fields &)> &change = {})
{
    Fields f;
    if (change)
        change(f);
    Bytes b;
    b.raw(f.magic).le(f.version).le(f.subsets).le(f.points);
    const qint64 pointBytes = f.pointBytes >= 0 ? f.pointBytes : qint64(f.subsets) * f.points * 12;
    for (qint64 i = 0; i < pointBytes / 12; ++i)
        b.f64(Day0 + i);
    for (qint64 i = 0; i < pointBytes / 12; ++i)
        b.le(float(50 + i));
    b.raw(QByteArray(pointBytes % 12, '\0'));
    b.u8(f.manual).f64(1.0).f64(2.0).u8(0).f64(30.0).f64(130.0);
    b.le(f.titleLength).raw("Title").text("Sub").text("X").text("Y");
    b.le(f.labelCount).text("dB");
    b.le(quint32(2)).u8(f.colourFlag).le(quint32(0x80FF0000)).u8(0);
    b.le(f.lineTypeCount).u8(f.lineType);
    b.u8(1).le(quint32(0xFF00FF00)).u8(f.grid).u8(f.viewing).u8(1);
    b.le(f.fontSize).le(qint32(10)).le(qint32(8));
    b.le(f.annotationCount);
    b.le(qint32(2)).f64(Day0).f64(60.0).u8(f.annotationType).text("").u8(1).le(quint32(0xFFFFFF00));
    b.le(f.secondIndex).f64(Day0 + 1).f64(70.0).u8(0).text("Tür").u8(0);
    b.u8(0).le(f.textSize).u8(1);
    b.f64(Day0 + 0.25).text("A").f64(Day0 + 0.5).text("B");
    b.u8(1).u8(0).le(qint32(90)).u8(f.lastFlag);
    if (f.version >= 2) {
        b.le(f.exclusionCount);
        if (f.exclusionCount >= 1)
            b.f64(f.from).f64(f.to).text("lorry");
        if (f.exclusionCount >= 2)
            b.f64(Day0 + 0.5).f64(Day0 + 0.5).text("");
    }
    if (f.version >= 3) {
        b.u8(f.limitFlag);
        if (f.limitFlag == 1)
            b.f64(f.limit);
        b.u8(f.overlayFlag);
        if (f.overlayFlag == 1) {
            b.text("before").u8(1).le(quint32(0xFF0000FF)).u8(f.alignment);
            b.f64(0.5).f64(f.interval).le(f.overlayPoints);
            const qint64 n = f.overlayBytes >= 0 ? f.overlayBytes / 12 : f.overlayPoints;
            for (qint64 i = 0; i < n; ++i)
                b.f64(Day0 - 1 + i * Second);
            for (qint64 i = 0; i < n; ++i)
                b.le(float(40 + i));
        }
    }
    b.raw(f.trailing);
    return b.data;
}

bool sameBits(const ChartModel &a, const ChartModel &b)
{
    if (a.subsets() != b.subsets() || a.points() != b.points())
        return false;
    if (a.points() == 0)
        return true;
    for (int s = 0; s < a.subsets(); ++s) {
        const auto n = static_cast<std::size_t>(a.points());
        if (std::memcmp(a.xs(s).data(), b.xs(s).data(), n * sizeof(double)) != 0
            || std::memcmp(a.ys(s).data(), b.ys(s).data(), n * sizeof(float)) != 0)
            return false;
    }
    return true;
}

} // namespace

class TestChartBlock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data()
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
    }
    void roundTrip()
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

    void notANumberKeepsItsBits()
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
    void savedValuesOutOfRangeStillLoad()
    {
        ChartModel chart = fullChart(2);
        chart.subsetLineTypes = { -1, 9, 2 };
        chart.titleFontSize = 0;
        chart.legendFontSize = 100000;
        chart.lineAnnotationTextSize = -5;
        chart.annotations[5].type = 7;
        chart.gridStyle = static_cast<GridStyle>(9);
        chart.viewingStyle = static_cast<ViewingStyle>(-1);
        chart.exclusions = { { Day0 + 5, Day0 + 3, QStringLiteral("back") },
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
        QVERIFY2(ChartBlock::load(ChartBlock::save(pointsOnly), pointsOnly, &error),
                 qPrintable(error));
        QCOMPARE(pointsOnly.points(), 0);
        QCOMPARE(loaded.subsetLineTypes, (std::vector<int> { 0, 0, 2 }));
        QCOMPARE(loaded.titleFontSize, 1);
        QCOMPARE(loaded.legendFontSize, 500);
        QCOMPARE(loaded.lineAnnotationTextSize, 1);
        QCOMPARE(loaded.annotations[5].type, 0);
        QCOMPARE(loaded.gridStyle, GridStyle::Dot);
        QCOMPARE(loaded.viewingStyle, ViewingStyle::Color);
        QCOMPARE(
            loaded.exclusions,
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
    void handBuiltBlockLoads_data()
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
    }
    void handBuiltBlockLoads()
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

    void malformed_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char *name, const QByteArray &block, const char *reason) {
            QTest::newRow(name) << block << QString::fromUtf8(reason);
        };
        row("empty", QByteArray(), "signature");
        row("wrong magic", build([](Fields &f) { f.magic = "AXCC"; }), "signature");
        row("magic only", "AXCB", "ends early");
        row("newer version", build([](Fields &f) { f.version = 4; }), "version 4 is newer");
        row("version 0", build([](Fields &f) { f.version = 0; }), "version");
        row("too many subsets", build([](Fields &f) {
                f.subsets = 257;
                f.points = 0;
            }),
            "subsets");
        row("points without subsets", build([](Fields &f) { f.subsets = 0; }), "no subsets");
        row("points beyond int", build([](Fields &f) {
                f.subsets = 0;
                f.points = 0x80000000u;
            }),
            "points");
        row("huge point count, few bytes", build([](Fields &f) {
                f.points = 0x7FFFFFFF;
                f.pointBytes = 24;
            }),
            "points");
        row("huge subset x point product", build([](Fields &f) {
                f.subsets = 256;
                f.points = 0x7FFFFFFF;
                f.pointBytes = 24;
            }),
            "points");
        row("bad manual flag", build([](Fields &f) { f.manual = 2; }), "manual scale flag");
        row("title longer than block", build([](Fields &f) { f.titleLength = 0xFFFFFFFF; }),
            "longer than the block");
        row("huge label count", build([](Fields &f) { f.labelCount = 0x40000000; }),
            "subset labels");
        row("bad colour flag", build([](Fields &f) { f.colourFlag = 3; }), "colour flag");
        row("huge line type count", build([](Fields &f) { f.lineTypeCount = 0xFFFFFFFF; }),
            "line types");
        row("bad line type", build([](Fields &f) { f.lineType = 5; }), "line type (5)");
        row("bad grid style", build([](Fields &f) { f.grid = 4; }), "grid style (4)");
        row("bad viewing style", build([](Fields &f) { f.viewing = 2; }), "viewing style (2)");
        row("font size 0", build([](Fields &f) { f.fontSize = 0; }), "font size (0)");
        row("font size huge", build([](Fields &f) { f.fontSize = 1 << 30; }), "font size");
        row("huge annotation count", build([](Fields &f) { f.annotationCount = 1u << 31; }),
            "annotations");
        row("duplicate annotation index", build([](Fields &f) { f.secondIndex = 2; }),
            "out of order");
        row("annotations out of order", build([](Fields &f) { f.secondIndex = 1; }),
            "out of order");
        row("annotation type 1", build([](Fields &f) { f.annotationType = 1; }),
            "annotation type (1)");
        row("text size 0", build([](Fields &f) { f.textSize = 0; }), "text size (0)");
        row("bad last flag", build([](Fields &f) { f.lastFlag = 0xFF; }), "data hot spot flag");
        row("trailing byte", build([](Fields &f) { f.trailing = "x"; }), "unexpected");
        const auto v2 = [](const std::function<void(Fields &)> &change) {
            return build([&change](Fields &f) {
                f.version = 2;
                change(f);
            });
        };
        row("version 2 without its excluded intervals", build([](Fields &f) {
                                                            f.version = 2;
                                                            f.exclusionCount = 0;
                                                        }).chopped(4),
            "ends early, in its excluded intervals");
        row("excluded interval count beyond the block",
            v2([](Fields &f) { f.exclusionCount = 0x10000000; }), "excluded intervals (268435456)");
        row("excluded intervals cut short", v2([](Fields &f) { f.exclusionCount = 3; }),
            "excluded intervals (3)");
        row("excluded interval the wrong way round", v2([](Fields &f) { f.to = f.from - Second; }),
            "excluded interval 1 ending before it starts");
        row("excluded interval from NaN",
            v2([](Fields &f) { f.from = std::numeric_limits<double>::quiet_NaN(); }),
            "excluded interval 1 with an end not finite");
        row("excluded interval to infinity",
            v2([](Fields &f) { f.to = std::numeric_limits<double>::infinity(); }),
            "excluded interval 1 with an end not finite");
        row("version 2 with a trailing byte", v2([](Fields &f) { f.trailing = "x"; }),
            "unexpected");
        const auto v3 = [](const std::function<void(Fields &)> &change) {
            return build([&change](Fields &f) {
                f.version = 3;
                change(f);
            });
        };
        row("bad limit flag", v3([](Fields &f) { f.limitFlag = 2; }), "limit flag (2)");
        row("limit NaN", v3([](Fields &f) { f.limit = qQNaN(); }), "limit outside 0 to 200 dB");
        row("limit beyond 200 dB", v3([](Fields &f) { f.limit = 200.5; }), "limit outside");
        row("overlay interval -0", v3([](Fields &f) { f.interval = -0.0; }),
            "overlay shift or interval");
        row("bad overlay flag", v3([](Fields &f) { f.overlayFlag = 2; }), "overlay flag (2)");
        row("bad overlay alignment", v3([](Fields &f) { f.alignment = 2; }), "alignment (2)");
        row("overlay interval negative", v3([](Fields &f) { f.interval = -1.0; }),
            "overlay shift or interval");
        row("overlay points beyond the block", v3([](Fields &f) {
                f.overlayPoints = 0x7FFFFFFF;
                f.overlayBytes = 24;
            }),
            "overlay points (2147483647)");
        row("overlay cut short", v3([](Fields &f) { f.overlayBytes = 12; }), "overlay points (2)");
        row("version 3 without its overlay flag",
            v3([](Fields &f) { f.overlayFlag = 0; }).chopped(1), "ends early, in its overlay");
        row("version 3 with a trailing byte", v3([](Fields &f) { f.trailing = "x"; }),
            "unexpected");
    }
    void malformed()
    {
        QFETCH(QByteArray, block);
        QFETCH(QString, reason);
        ChartModel chart = otherChart();
        const ChartModel before = chart;
        const quint64 revision = chart.dataRevision();
        QString error;
        QVERIFY(!ChartBlock::load(block, chart, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!error.contains(QLatin1Char('\n')));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QVERIFY(chart == before);
        QCOMPARE(chart.dataRevision(), revision);
    }

    void truncatedAnywhere()
    {
        ChartModel excluded = fullChart(8);
        excluded.exclusions = { { Day0, Day0 + Second, QStringLiteral("door") } };
        excluded.limit = 60.0;
        excluded.overlay = OverlaySeries {
            QStringLiteral("before"), Qt::red,         OverlayAlignment::ClockTime, 0.0, 1.0,
            { Day0, Day0 + Second },  { 50.0f, 51.0f }
        };
        const QByteArray block = ChartBlock::save(excluded);
        ChartModel chart = otherChart();
        const ChartModel before = chart;
        for (qsizetype size = 0; size < block.size(); ++size) {
            QString error;
            QVERIFY2(!ChartBlock::load(block.left(size), chart, &error),
                     qPrintable(QString::number(size)));
            QVERIFY(!error.isEmpty());
            QVERIFY(chart == before);
        }
    }

    // Random damage never crashes; a block that still loads gives a chart that saves and loads
    // back the same.
    void randomDamage()
    {
        const QByteArray blocks[]
            = { ChartBlock::save(fullChart(6)), build([](Fields &f) { f.version = 3; }),
                ChartBlock::save(ChartModel()) };
        QRandomGenerator random(20240611);
        int loadedCount = 0;
        for (int i = 0; i < 6000; ++i) {
            QByteArray block = blocks[i % 3];
            const int flips = 1 + random.bounded(4);
            for (int f = 0; f < flips; ++f)
                block[random.bounded(int(block.size()))] = char(random.bounded(256));
            if (i % 5 == 0)
                block.truncate(random.bounded(int(block.size())));
            ChartModel chart = otherChart();
            const ChartModel before = chart;
            QString error;
            if (!ChartBlock::load(block, chart, &error)) {
                QVERIFY(!error.isEmpty());
                QVERIFY(chart == before);
                continue;
            }
            ++loadedCount;
            const QByteArray again = ChartBlock::save(chart);
            ChartModel reloaded;
            QVERIFY(ChartBlock::load(again, reloaded));
            QVERIFY(sameBits(reloaded, chart));
            QCOMPARE(ChartBlock::save(reloaded), again);
        }
        QVERIFY(loadedCount > 0); // some damage (to values, not structure) is harmless
    }
};

QTEST_GUILESS_MAIN(TestChartBlock)
#include "tst_chartblock.moc"
