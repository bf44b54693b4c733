// A damaged stored chart block: each malformed field, a block cut off anywhere and random damage
// are refused with a reason, and the chart loaded into stays as it was.

#include "tst_chartblock.h"

#include <QRandomGenerator>

void TestChartBlock::malformed_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QString>("reason");
    const auto row = [](const char *name, const QByteArray &block, const char *reason) {
        QTest::newRow(name) << block << QString::fromUtf8(reason);
    };
    row("empty", QByteArray(), "signature");
    row("wrong magic", build([](Fields &f) { f.magic = "AXCC"; }), "signature");
    row("magic only", "AXCB", "ends early");
    row("newer version", build([](Fields &f) { f.version = 6; }), "version 6 is newer");
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
    row("huge label count", build([](Fields &f) { f.labelCount = 0x40000000; }), "subset labels");
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
    row("duplicate annotation index", build([](Fields &f) { f.secondIndex = 2; }), "out of order");
    row("annotations out of order", build([](Fields &f) { f.secondIndex = 1; }), "out of order");
    row("annotation type 1", build([](Fields &f) { f.annotationType = 1; }), "annotation type (1)");
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
    row("version 2 with a trailing byte", v2([](Fields &f) { f.trailing = "x"; }), "unexpected");
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
    row("version 3 without its overlay flag", v3([](Fields &f) { f.overlayFlag = 0; }).chopped(1),
        "ends early, in its overlay");
    row("version 3 with a trailing byte", v3([](Fields &f) { f.trailing = "x"; }), "unexpected");
    row("interval category out of range", build([](Fields &f) {
            f.version = 4;
            f.category = 3;
        }),
        "interval category (3)");
    row("calibration flag out of range", build([](Fields &f) {
            f.version = 5;
            f.referenceFlag = 2;
        }),
        "calibration flag (2)");
    row("calibration level not finite", build([](Fields &f) {
            f.version = 5;
            f.reading = qInf();
        }),
        "calibration level that is not finite");
}

void TestChartBlock::malformed()
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

void TestChartBlock::truncatedAnywhere()
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
void TestChartBlock::randomDamage()
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
