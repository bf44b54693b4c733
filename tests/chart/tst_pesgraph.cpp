// What the chart draws: pixels and values, the time axis and its ticks, null points, redraws, the
// plotting rectangle, annotations, monochrome, the cursors' texts, exclusion bands and printing.

#include "tst_pesgraph.h"

#include "chart/timeticks.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

namespace {

constexpr float Null = ChartModel::NullValue;

template<typename Item> int visibleItems(QCustomPlot &plot)
{
    int count = 0;
    for (int i = 0; i < plot.itemCount(); ++i) {
        if (auto *item = qobject_cast<Item *>(plot.item(i)); item && item->visible())
            ++count;
    }
    return count;
}

int visibleCrosses(QCustomPlot &plot) // our crosses are the only items of no public item class
{
    int count = 0;
    for (int i = 0; i < plot.itemCount(); ++i) {
        QCPAbstractItem *item = plot.item(i);
        if (item->visible() && !qobject_cast<QCPItemText *>(item)
            && !qobject_cast<QCPItemStraightLine *>(item))
            ++count;
    }
    return count;
}

} // namespace

void TestPESGraph::initTestCase()
{
    // Wall-clock X must not move with the time zone.
    qputenv("TZ", "America/New_York");
}

void TestPESGraph::pixelValueRoundTrip_data()
{
    QTest::addColumn<bool>("dateTime");
    QTest::addColumn<double>("fraction");
    QTest::newRow("date-time start") << true << 0.0;
    QTest::newRow("date-time middle") << true << 0.5;
    QTest::newRow("date-time end") << true << 1.0;
    QTest::newRow("numeric middle") << false << 0.37;
}

void TestPESGraph::pixelValueRoundTrip()
{
    QFETCH(bool, dateTime);
    QFETCH(double, fraction);
    auto chart = shownChart();
    ChartModel &m = chart->model();
    fill(m, 100);
    m.dateTimeX = dateTime;
    const double lo = dateTime ? T0 : 10.0;
    const double hi = dateTime ? T0 + 3600 * Sec : 250.0;
    m.xScale = { true, lo, hi };
    chart->redrawNow();
    const QRect r = chart->plottingRect();
    const double x = lo + (hi - lo) * fraction;
    const QPointF pixel = chart->valueToPixel({ x, 80.0 });
    QVERIFY(std::abs(pixel.x() - (r.left() + fraction * (r.right() - r.left()))) <= 1.0);
    const QPointF back = chart->pixelToValue(pixel);
    QVERIFY(std::abs(back.x() - x) <= (hi - lo) / r.width());
    QVERIFY(std::abs(back.y() - 80.0) <= 100.0 / r.height());
}

void TestPESGraph::dateTimeTicksShowWallClock()
{
    auto chart = shownChart();
    ChartModel &m = chart->model();
    fill(m, 10);
    m.xScale = { true, T0, T0 + 30 * 60 * Sec }; // 14:00 to 14:30
    chart->redrawNow();
    const QVector<double> ticks = chart->plot().xAxis->tickVector();
    const QVector<QString> labels = chart->plot().xAxis->tickVectorLabels();
    QVERIFY(!ticks.isEmpty());
    for (qsizetype i = 0; i < ticks.size(); ++i) {
        const QTime shown = DateTimeDays::toDateTime(ticks[i] / 86400.0 + 25569.0).time();
        QCOMPARE(labels[i], QLocale::system().toString(shown, QLocale::ShortFormat));
    }
    QVERIFY(labels.contains(QLocale::system().toString(QTime(14, 10), QLocale::ShortFormat)));
}

void TestPESGraph::tickLabelsNeverRunTogether_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<double>("spanSeconds");
    for (int width : { 300, 480, 1200 })
        for (double span : { 60.0, 3600.0, 3 * 86400.0 })
            QTest::addRow("%d px, %.0f s", width, span) << width << span;
}

// However narrow the chart, the time labels stand apart; a wide chart keeps about six.
void TestPESGraph::tickLabelsNeverRunTogether()
{
    QFETCH(int, width);
    QFETCH(double, spanSeconds);
    auto chart = shownChart();
    chart->resize(width, 300);
    ChartModel &m = chart->model();
    fill(m, 10);
    m.xScale = { true, T0, T0 + spanSeconds * Sec };
    chart->redrawNow();
    chart->redrawNow();
    QCPAxis *axis = chart->plot().xAxis;
    const QVector<double> ticks = axis->tickVector();
    const QVector<QString> labels = axis->tickVectorLabels();
    const QFontMetrics metrics(axis->tickLabelFont());
    const auto widest = [&metrics](const QString &label) {
        int most = 0;
        for (const QString &line : label.split('\n'))
            most = std::max(most, metrics.horizontalAdvance(line));
        return most;
    };
    QVERIFY(!ticks.isEmpty());
    for (qsizetype i = 1; i < ticks.size(); ++i) {
        const double apart = axis->coordToPixel(ticks[i]) - axis->coordToPixel(ticks[i - 1]);
        const int halves = (widest(labels[i]) + widest(labels[i - 1])) / 2;
        QVERIFY2(apart > halves, qPrintable(labels[i - 1] + " runs into " + labels[i]));
    }
    if (width >= 1200)
        QVERIFY(ticks.size() >= 5);
}

void TestPESGraph::timeAxisTicks_data()
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
void TestPESGraph::timeAxisTicks()
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

void TestPESGraph::nullAndUnrecordedPoints_data()
{
    QTest::addColumn<QList<double>>("xs"); // seconds after T0; -1 = X 0 (not recorded)
    QTest::addColumn<QList<float>>("ys");
    QTest::addColumn<QList<QPointF>>("expected"); // seconds after T0, NaN = gap
    const double nan = qQNaN();
    QTest::newRow("null inside") << QList<double> { 0, 1, 2 } << QList<float> { 60, Null, 62 }
                                 << QList<QPointF> { { 0, 60 }, { 1, nan }, { 2, 62 } };
    QTest::newRow("unrecorded tail")
        << QList<double> { 0, 1, -1, -1 } << QList<float> { 60, 61, Null, 0 }
        << QList<QPointF> { { 0, 60 }, { 1, 61 } };
    QTest::newRow("unrecorded run inside is one gap")
        << QList<double> { 0, -1, -1, 3 } << QList<float> { 60, 0, Null, 63 }
        << QList<QPointF> { { 0, 60 }, { 0, nan }, { 3, 63 } };
    QTest::newRow("nothing recorded")
        << QList<double> { -1, -1 } << QList<float> { Null, 0 } << QList<QPointF> {};
    QTest::newRow("non-finite level")
        << QList<double> { 0, 1 } << QList<float> { std::numeric_limits<float>::infinity(), 61 }
        << QList<QPointF> { { 0, nan }, { 1, 61 } };
}

void TestPESGraph::nullAndUnrecordedPoints()
{
    QFETCH(QList<double>, xs);
    QFETCH(QList<float>, ys);
    QFETCH(QList<QPointF>, expected);
    PESGraph chart;
    ChartModel &m = chart.model();
    m.setSubsets(1);
    m.setPoints(static_cast<int>(xs.size()));
    for (int i = 0; i < xs.size(); ++i) {
        m.setX(0, i, xs[i] < 0 ? 0.0 : T0 + xs[i] * Sec);
        m.setY(0, i, ys[i]);
    }
    chart.redrawNow();
    QList<QPointF> want;
    for (const QPointF &p : expected)
        want << QPointF(T0 + p.x() * Sec, p.y());
    QVERIFY(samePoints(handedData(chart), want));
}

// Later redraws hand over only what changed; the result must always equal a fresh chart.
void TestPESGraph::laterRedrawsMatchAFreshChart_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("append points one by one") << 0;
    QTest::newRow("rewrite an earlier point") << 1;
    QTest::newRow("append before the last point") << 2;
    QTest::newRow("null appended") << 3;
    QTest::newRow("point count changed") << 4;
}

void TestPESGraph::laterRedrawsMatchAFreshChart()
{
    QFETCH(int, change);
    PESGraph chart;
    ChartModel &m = chart.model();
    m.setSubsets(2);
    m.setPoints(50);
    for (int i = 0; i < 50; ++i)
        m.fillPoint(i, 0.0, Null);
    for (int i = 0; i < 20; ++i) {
        m.fillPoint(i, T0 + i * Sec, 70.0f + static_cast<float>(i));
        chart.redraw();
    }
    switch (change) {
    case 1:
        m.setY(1, 5, 99.0f);
        m.fillPoint(20, T0 + 20 * Sec, 50.0f);
        break;
    case 2:
        m.fillPoint(20, T0 + 3.5 * Sec, 50.0f);
        break;
    case 3:
        m.fillPoint(20, T0 + 20 * Sec, Null);
        m.fillPoint(21, T0 + 21 * Sec, 51.0f);
        break;
    case 4:
        m.setPoints(10);
        break;
    default:
        break;
    }
    chart.redrawNow();
    PESGraph fresh;
    fresh.model() = m;
    fresh.redrawNow();
    for (int s = 0; s < 2; ++s)
        QVERIFY2(samePoints(handedData(chart, s), handedData(fresh, s)),
                 qPrintable(QStringLiteral("subset %1").arg(s)));
}

void TestPESGraph::plottingRect_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("small") << QSize(320, 240);
    QTest::newRow("large") << QSize(1200, 700);
}

void TestPESGraph::plottingRect()
{
    QFETCH(QSize, size);
    auto chart = shownChart(size);
    fill(chart->model(), 50);
    chart->model().mainTitle = QStringLiteral("Title");
    chart->redraw(); // the layout is brought up to date on demand, before any repaint
    const QRect r = chart->plottingRect();
    QVERIFY(!r.isEmpty());
    QVERIFY(chart->rect().contains(r));
    const QPointF topLeft = chart->valueToPixel({ T0, 130.0 });
    QVERIFY(std::abs(topLeft.x() - r.left()) <= 1 && std::abs(topLeft.y() - r.top()) <= 1);

    // Asked straight after a resize (the window's resize handler does), before any event.
    chart->resize(size + QSize(200, 100));
    const QRect grown = chart->plottingRect();
    QVERIFY(chart->rect().contains(grown));
    QVERIFY(grown.width() > r.width() + 150 && grown.height() > r.height() + 50);
}

void TestPESGraph::annotations_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("crosses");
    QTest::addColumn<int>("texts");
    QTest::newRow("cross") << 2 << QString() << 1 << 0;
    QTest::newRow("cross with text") << 2 << QStringLiteral("12:00:01\r72.4 dB") << 1 << 1;
    QTest::newRow("text") << 0 << QStringLiteral("Truck") << 0 << 1;
    QTest::newRow("erased") << 0 << QString() << 0 << 0;
}

void TestPESGraph::annotations()
{
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(int, crosses);
    QFETCH(int, texts);
    PESGraph chart;
    ChartModel &m = chart.model();
    fill(m, 20);
    m.verticalLines = { VerticalLine { T0 + 2 * Sec, QStringLiteral("|t14:00:02\n61.0dB") },
                        VerticalLine { T0 + 9 * Sec, QStringLiteral("|t14:00:09\n69.0dB") } };
    for (int index : { 5, 6 })
        m.annotations[index] = { T0 + index * Sec, 70.0, type, text, Qt::blue };
    chart.redrawNow();
    QCOMPARE(visibleCrosses(chart.plot()), 2 * crosses);
    QCOMPARE(visibleItems<QCPItemText>(chart.plot()), 2 * texts + 2);
    QCOMPARE(visibleItems<QCPItemStraightLine>(chart.plot()), 2);

    m.showGraphAnnotations = false;
    m.showVertLineAnnotations = false;
    chart.redrawNow();
    QCOMPARE(visibleCrosses(chart.plot()), 0);
    QCOMPARE(visibleItems<QCPItemText>(chart.plot()), 0);
    QCOMPARE(visibleItems<QCPItemStraightLine>(chart.plot()), 0);
}

void TestPESGraph::monochrome()
{
    PESGraph chart;
    ChartModel &m = chart.model();
    fill(m, 10);
    m.setSubsets(2);
    m.subsetColors = { Qt::red, Qt::blue };
    chart.redrawNow();
    QCOMPARE(chart.plot().graph(0)->pen().color(), QColor(Qt::red));
    QCOMPARE(chart.plot().graph(1)->pen().color(), QColor(Qt::blue));
    m.viewingStyle = ViewingStyle::Monochrome;
    chart.redrawNow();
    QCOMPARE(chart.plot().graph(0)->pen().color(), QColor(Qt::black));
    QCOMPARE(chart.plot().graph(1)->pen().color(), QColor(Qt::black));
    QVERIFY(chart.plot().graph(0)->pen().style() != chart.plot().graph(1)->pen().style());
}

// The cursors' texts are placed for the plotting area they are drawn in, also when the chart
// is drawn for the first time (a picture made from the command line): beside their lines,
// inside the area, never over each other, and none for a cursor outside the range shown.
void TestPESGraph::cursorTexts_data()
{
    QTest::addColumn<int>("width"); // of the chart, pixels
    QTest::addColumn<double>("a"); // the cursors, seconds from T0; the chart shows 0 to 99
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("from"); // a zoom onto from-to (none when equal)
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("texts");
    QTest::newRow("apart") << 600 << 20.0 << 60.0 << 0.0 << 0.0 << 2;
    QTest::newRow("close") << 600 << 20.0 << 21.0 << 0.0 << 0.0 << 2;
    QTest::newRow("B just left of A") << 600 << 21.0 << 20.0 << 0.0 << 0.0 << 2;
    QTest::newRow("close at the right end") << 600 << 98.0 << 99.0 << 0.0 << 0.0 << 2;
    QTest::newRow("narrow chart") << 260 << 40.0 << 60.0 << 0.0 << 0.0 << 2;
    QTest::newRow("A left of a zoom") << 600 << 20.0 << 50.0 << 22.0 << 80.0 << 1;
    QTest::newRow("B right of a zoom") << 600 << 40.0 << 81.0 << 22.0 << 80.0 << 1;
    QTest::newRow("both outside a zoom") << 600 << 20.0 << 90.0 << 30.0 << 40.0 << 0;
}

void TestPESGraph::cursorTexts()
{
    QFETCH(int, width);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, texts);
    PESGraph chart;
    chart.resize(width, 400);
    ChartModel &m = chart.model();
    fill(m, 100);
    m.verticalLines = { VerticalLine { T0 + a * Sec, QStringLiteral("|tA 10:32:05\n61.0dB") },
                        VerticalLine { T0 + b * Sec, QStringLiteral("|tB 10:32:06\n63.0dB") } };
    chart.redrawNow();
    if (to > from) {
        chart.zoomToX(T0 + from * Sec, T0 + to * Sec);
        chart.redrawNow();
    }
    const QRect area = chart.plottingRect();
    QList<QRectF> boxes;
    for (int i = 0; i < chart.plot().itemCount(); ++i) {
        const auto *t = qobject_cast<QCPItemText *>(chart.plot().item(i));
        if (!t || !t->visible())
            continue;
        const QRectF box
            = QRectF(t->topLeft->pixelPosition(), t->bottomRight->pixelPosition()).normalized();
        QVERIFY2(QRectF(area).adjusted(-1, -1, 1, 1).contains(box), qPrintable(t->text()));
        for (const QRectF &other : boxes)
            QVERIFY2(!other.intersects(box), qPrintable(t->text()));
        boxes << box;
        // Beside its own line: the line runs along the text's left or right side.
        const double line
            = chart.valueToPixel({ T0 + (t->text().startsWith('A') ? a : b) * Sec, 60.0 }).x();
        QVERIFY2(std::abs(box.left() - line) <= 2 || std::abs(box.right() - line) <= 2
                     || (box.left() <= line && line <= box.right()),
                 qPrintable(t->text()));
    }
    QCOMPARE(boxes.size(), texts);
}

void TestPESGraph::exclusionBands_data()
{
    QTest::addColumn<double>("from"); // seconds from T0; the chart shows 0 to 99
    QTest::addColumn<double>("to");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("mono");
    QTest::addColumn<double>("inside"); // a second where the band must be
    QTest::addColumn<double>("outside"); // and one where it must not
    QTest::addColumn<bool>("cursorText"); // cursor A's text stands at the band's start
    QTest::newRow("colour, labelled") << 20.0 << 40.0 << "lorry" << false << 30.0 << 45.0 << false;
    QTest::newRow("monochrome, labelled")
        << 20.0 << 40.0 << "lorry" << true << 21.0 << 60.0 << false;
    QTest::newRow("no label") << 60.0 << 70.0 << QString() << false << 69.0 << 50.0 << false;
    QTest::newRow("zero width") << 50.0 << 50.0 << "door" << false << 50.0 << 52.0 << false;
    QTest::newRow("beyond the left end")
        << -500.0 << 10.0 << "early" << false << 0.5 << 15.0 << false;
    QTest::newRow("under cursor A's text")
        << 20.0 << 40.0 << "lorry" << false << 30.0 << 45.0 << true;
}

// A band spans the plotting area's height beneath the levels, in grey whatever the look,
// at least a pixel wide, cut off at the plotting area, with its label at the top inside it;
// pictures and printouts show it too.
void TestPESGraph::exclusionBands()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(QString, label);
    QFETCH(bool, mono);
    QFETCH(double, inside);
    QFETCH(double, outside);
    QFETCH(bool, cursorText);
    PESGraph chart;
    chart.resize(600, 400);
    ChartModel &m = chart.model();
    fill(m, 100); // levels 60 to 89 dB on a scale of 30 to 130
    if (cursorText)
        m.verticalLines[0] = { T0 + from * Sec, QStringLiteral("|t14:00:20\n61.0dB") };
    m.viewingStyle = mono ? ViewingStyle::Monochrome : ViewingStyle::Color;
    const auto picture = [&] {
        chart.redrawNow();
        QImage image(600, 400, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        chart.render(painter, image.rect());
        return image;
    };
    const QImage plain = picture();
    m.exclusions = { { T0 + from * Sec, T0 + to * Sec, label } };
    const QImage image = picture();

    // Compared with the same chart without the band: the band's pixels turn grey, every
    // other pixel stays.
    const QRect area = chart.plottingRect();
    const int low = qRound(chart.valueToPixel({ T0, 40.0 }).y()); // under every level
    const auto column = [&](double second) {
        return qRound(chart.valueToPixel({ T0 + second * Sec, 40.0 }).x());
    };
    const auto shaded = [&](int x, int y) {
        const QRgb p = image.pixel(x, y);
        return p != plain.pixel(x, y) && qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
    };
    const auto shadedNear = [&](int x, int y) { // a band of one pixel may round either way
        return shaded(x - 1, y) || shaded(x, y) || shaded(x + 1, y);
    };
    for (const int y : { area.top() + 1, low, area.bottom() - 1 })
        QVERIFY2(shadedNear(column(inside), y), qPrintable(QString::number(y)));
    QCOMPARE(image.pixel(column(outside), low), plain.pixel(column(outside), low));
    for (int x = 0; x < area.left(); ++x) // cut off at the plotting area
        QCOMPARE(image.pixel(x, low), plain.pixel(x, low));

    // The label: dark text near the top, inside the band's start (below a cursor's text
    // there, which would hide it).
    int dark = 0;
    const int left = std::max(area.left(), column(from));
    for (int y = area.top() + 2; y < area.top() + 60; ++y)
        for (int x = left + 1; x < left + 40; ++x)
            dark += shaded(x, y) && qGray(image.pixel(x, y)) < 110; // grey text
    QCOMPARE(dark > 0, !label.isEmpty());

    if (label.isEmpty())
        return;
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("chart.pdf"));
    QVERIFY(chart.print(printer));
    QProcess text;
    text.start("pdftotext", { dir.filePath("chart.pdf"), "-" });
    QVERIFY(text.waitForFinished(20000));
    QVERIFY(QString::fromUtf8(text.readAllStandardOutput()).contains(label));
}

QTEST_MAIN(TestPESGraph)
