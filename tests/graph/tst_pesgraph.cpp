#include "base/datetimedays.h"
#include "chart/chartblock.h"
#include "chart/ui/chartcustomizedialog.h"
#include "chart/ui/pesgraph.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <qcustomplot.h>

#include <cmath>
#include <memory>

namespace {

constexpr float Null = ChartModel::NullValue;
const double T0 = DateTimeDays::fromDateTime(QDateTime(QDate(2024, 3, 14), QTime(14, 0)));
constexpr double Sec = DateTimeDays::OneSecond;

std::unique_ptr<PESGraph> shownChart(QSize size = QSize(900, 500))
{
    auto chart = std::make_unique<PESGraph>();
    chart->resize(size);
    chart->show();
    if (!QTest::qWaitForWindowExposed(chart.get()))
        qWarning("chart window not exposed");
    return chart;
}

// One subset of n points, one a second from T0, levels 60, 61, ... ; scales 30..130 dB and
// the first to the last point.
void fill(ChartModel &m, int n)
{
    m.setSubsets(1);
    m.setPoints(n);
    for (int i = 0; i < n; ++i) {
        m.setX(0, i, T0 + i * Sec);
        m.setY(0, i, 60.0f + static_cast<float>(i % 30));
    }
    m.xScale = { true, T0, T0 + (n - 1) * Sec };
    m.yScale = { true, 30, 130 };
}

// The graph's data as (days, value) pairs; NaN values are gaps.
QList<QPointF> handedData(PESGraph &chart, int subset = 0)
{
    QList<QPointF> out;
    const auto data = chart.plot().graph(subset)->data();
    for (auto it = data->constBegin(); it != data->constEnd(); ++it)
        out << QPointF(it->key / 86400.0 + 25569.0, it->value);
    return out;
}

bool samePoints(const QList<QPointF> &a, const QList<QPointF> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const bool gapA = std::isnan(a[i].y());
        if (gapA != std::isnan(b[i].y()) || std::abs(a[i].x() - b[i].x()) > 1e-9
            || (!gapA && a[i].y() != b[i].y()))
            return false;
    }
    return true;
}

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

void drag(QWidget *plot, QPoint from, QPoint to)
{
    QTest::mousePress(plot, Qt::LeftButton, {}, from);
    QTest::mouseMove(plot, (from + to) / 2);
    QTest::mouseMove(plot, to);
    QTest::mouseRelease(plot, Qt::LeftButton, {}, to);
}

} // namespace

class TestPESGraph : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Wall-clock X must not move with the time zone.
        qputenv("TZ", "America/New_York");
    }

    void pixelValueRoundTrip_data()
    {
        QTest::addColumn<bool>("dateTime");
        QTest::addColumn<double>("fraction");
        QTest::newRow("date-time start") << true << 0.0;
        QTest::newRow("date-time middle") << true << 0.5;
        QTest::newRow("date-time end") << true << 1.0;
        QTest::newRow("numeric middle") << false << 0.37;
    }
    void pixelValueRoundTrip()
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

    void dateTimeTicksShowWallClock()
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

    void tickLabelsNeverRunTogether_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<double>("spanSeconds");
        for (int width : { 300, 480, 1200 })
            for (double span : { 60.0, 3600.0, 3 * 86400.0 })
                QTest::addRow("%d px, %.0f s", width, span) << width << span;
    }
    // However narrow the chart, the time labels stand apart; a wide chart keeps about six.
    void tickLabelsNeverRunTogether()
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

    void nullAndUnrecordedPoints_data()
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
    void nullAndUnrecordedPoints()
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
    void laterRedrawsMatchAFreshChart_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("append points one by one") << 0;
        QTest::newRow("rewrite an earlier point") << 1;
        QTest::newRow("append before the last point") << 2;
        QTest::newRow("null appended") << 3;
        QTest::newRow("point count changed") << 4;
    }
    void laterRedrawsMatchAFreshChart()
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

    void scales_data()
    {
        QTest::addColumn<bool>("manual");
        QTest::newRow("manual") << true;
        QTest::newRow("automatic") << false;
    }
    void scales()
    {
        QFETCH(bool, manual);
        PESGraph chart;
        ChartModel &m = chart.model();
        fill(m, 20); // levels 60..79, X from T0 to T0 + 19 s
        m.xScale = { manual, T0 - 60 * Sec, T0 + 60 * Sec };
        m.yScale = { manual, 30, 130 };
        chart.redrawNow();
        const QCPRange x = chart.plot().xAxis->range();
        const QCPRange y = chart.plot().yAxis->range();
        const double k0 = (T0 - 25569.0) * 86400.0;
        if (manual) {
            QVERIFY(std::abs(x.lower - (k0 - 60)) < 1e-3 && std::abs(x.upper - (k0 + 60)) < 1e-3);
            QCOMPARE(y.lower, 30.0);
            QCOMPARE(y.upper, 130.0);
        } else {
            QVERIFY(std::abs(x.lower - k0) < 1e-3 && std::abs(x.upper - (k0 + 19)) < 1e-3);
            QVERIFY(y.lower < 60 && y.lower > 55 && y.upper > 79 && y.upper < 85);
        }
    }

    void mouseGestures_data()
    {
        QTest::addColumn<QPoint>("from"); // relative to the plotting rectangle's centre
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<bool>("zoomX");
        QTest::addColumn<bool>("zoomY");
        QTest::newRow("click") << QPoint(0, 0) << QPoint(0, 0) << false << false;
        QTest::newRow("jitter is still a click") << QPoint(0, 0) << QPoint(2, 1) << false << false;
        QTest::newRow("rectangle") << QPoint(-100, -80) << QPoint(120, 60) << true << true;
        QTest::newRow("upwards to the left")
            << QPoint(120, 60) << QPoint(-100, -80) << true << true;
        QTest::newRow("horizontal band") << QPoint(-100, 0) << QPoint(120, 2) << true << false;
    }
    void mouseGestures()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(bool, zoomX);
        QFETCH(bool, zoomY);
        auto chart = shownChart();
        fill(chart->model(), 200);
        chart->redrawNow();
        QSignalSpy zoomed(chart.get(), &PESGraph::zoomedIn);
        QSignalSpy clicked(chart.get(), &PESGraph::clicked);
        QSignalSpy released(chart.get(), &PESGraph::mouseReleased);
        const QCPRange x0 = chart->plot().xAxis->range();
        const QCPRange y0 = chart->plot().yAxis->range();
        const QPoint c = chart->plottingRect().center();
        const double leftEdge = chart->pixelToValue(c + QPoint(std::min(from.x(), to.x()), 0)).x();
        drag(&chart->plot(), c + from, c + to);
        const bool isZoom = zoomX || zoomY;
        QCOMPARE(zoomed.count(), isZoom ? 1 : 0);
        QCOMPARE(clicked.count(), isZoom ? 0 : 1);
        QCOMPARE(released.count(), 1);
        QCOMPARE(chart->lastMousePosition(), c + to);
        QCOMPARE(chart->canUndoZoom(), isZoom);
        QCOMPARE(chart->plot().xAxis->range().size() < x0.size(), zoomX);
        QCOMPARE(chart->plot().yAxis->range().size() < y0.size(), zoomY);
        if (zoomX) // the band's left edge becomes the left end of the X range
            QVERIFY(std::abs(chart->pixelToValue(chart->plottingRect().topLeft()).x() - leftEdge)
                    < 1e-9);
    }

    void zoomStack()
    {
        auto chart = shownChart();
        fill(chart->model(), 300);
        chart->redrawNow();
        QList<QCPRange> xs { chart->plot().xAxis->range() };
        QList<QCPRange> ys { chart->plot().yAxis->range() };
        for (int level = 0; level < 3; ++level) {
            const QRect r = chart->plottingRect();
            drag(&chart->plot(), r.topLeft() + QPoint(30, 30), r.bottomRight() - QPoint(40, 20));
            xs << chart->plot().xAxis->range();
            ys << chart->plot().yAxis->range();
            QVERIFY(xs.last().size() < xs[xs.size() - 2].size());
        }
        // A point recorded while zoomed in keeps the zoom.
        chart->model().setY(0, 10, 75.0f);
        chart->redrawNow();
        QCOMPARE(chart->plot().xAxis->range(), xs.last());
        for (int level = 2; level >= 0; --level) {
            QVERIFY(chart->canUndoZoom());
            chart->undoZoom();
            QCOMPARE(chart->plot().xAxis->range(), xs[level]);
            QCOMPARE(chart->plot().yAxis->range(), ys[level]);
        }
        QVERIFY(!chart->canUndoZoom());
        chart->undoZoom(); // nothing left: no change
        QCOMPARE(chart->plot().xAxis->range(), xs[0]);

        const QRect r = chart->plottingRect();
        drag(&chart->plot(), r.topLeft() + QPoint(30, 30), r.center());
        QVERIFY(chart->canUndoZoom());
        chart->reinitAndReset();
        QVERIFY(!chart->canUndoZoom());
        QCOMPARE(chart->plot().xAxis->range(), xs[0]);

        chart->setZoomingAllowed(false);
        drag(&chart->plot(), r.topLeft() + QPoint(30, 30), r.center());
        QVERIFY(!chart->canUndoZoom());
    }

    void plottingRect_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("small") << QSize(320, 240);
        QTest::newRow("large") << QSize(1200, 700);
    }
    void plottingRect()
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

    void annotations_data()
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
    void annotations()
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

    void hotSpots_data()
    {
        QTest::addColumn<bool>("allowLines");
        QTest::addColumn<bool>("allowData");
        QTest::addColumn<int>("dx"); // from cursor B's line (at point 10)
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("point");
        QTest::newRow("on the line") << true << false << 0 << 1 << -1;
        QTest::newRow("near the line") << true << false << 3 << 1 << -1;
        QTest::newRow("off the line") << true << false << 9 << -1 << -1;
        QTest::newRow("lines not allowed") << false << false << 0 << -1 << -1;
        QTest::newRow("data point") << false << true << 0 << -1 << 10;
    }
    void hotSpots()
    {
        QFETCH(bool, allowLines);
        QFETCH(bool, allowData);
        QFETCH(int, dx);
        QFETCH(int, line);
        QFETCH(int, point);
        auto chart = shownChart();
        ChartModel &m = chart->model();
        fill(m, 21);
        m.verticalLines = { VerticalLine { T0 + 2 * Sec, {} }, VerticalLine { T0 + 10 * Sec, {} } };
        m.allowVertLineAnnotHotSpots = allowLines;
        m.allowDataHotSpots = allowData;
        chart->redrawNow();
        QSignalSpy lines(chart.get(), &PESGraph::verticalLineHotSpot);
        QSignalSpy data(chart.get(), &PESGraph::dataHotSpot);
        QSignalSpy zoomed(chart.get(), &PESGraph::zoomedIn);
        const QPoint at = chart->valueToPixel({ m.x(0, 10), m.y(0, 10) }).toPoint() + QPoint(dx, 0);
        QTest::mouseClick(&chart->plot(), Qt::LeftButton, {}, at);
        QCOMPARE(lines.count(), line >= 0 ? 1 : 0);
        if (line >= 0) {
            QCOMPARE(lines.first().first().toInt(), line);
            // Dragging a cursor line never zooms.
            drag(&chart->plot(), at, at + QPoint(150, 80));
            QCOMPARE(zoomed.count(), 0);
        }
        QCOMPARE(data.count(), point >= 0 ? 1 : 0);
        if (point >= 0)
            QCOMPARE(data.first().at(1).toInt(), point);
    }

    void monochrome()
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

    void customize_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("edit");
        QTest::addColumn<bool>("changed");
        QTest::newRow("cancel after editing") << false << 1 << false;
        QTest::newRow("ok without change") << true << 0 << false;
        QTest::newRow("ok with a new title") << true << 1 << true;
        QTest::newRow("ok with a new colour") << true << 2 << true;
        QTest::newRow("ok with monochrome") << true << 3 << true;
        QTest::newRow("ok with the same colour chosen") << true << 4 << false;
    }
    void customize()
    {
        QFETCH(bool, accept);
        QFETCH(int, edit);
        QFETCH(bool, changed);
        PESGraph chart;
        fill(chart.model(), 10);
        chart.model().subsetLabels = { QStringLiteral("dB") };
        chart.redrawNow();
        const ChartModel before = chart.model();
        chart.setDialogRunner([&](QDialog &dialog) {
            auto &d = static_cast<ChartCustomizeDialog &>(dialog);
            if (edit == 1)
                d.mainTitleEdit()->setText(QStringLiteral("Night survey"));
            if (edit == 2)
                d.setSubsetColor(0, Qt::darkGreen);
            if (edit == 3)
                d.viewingStyleBox()->setCurrentIndex(1);
            if (edit == 4)
                d.setSubsetColor(0, d.subsetColor(0));
            return accept ? QDialog::Accepted : QDialog::Rejected;
        });
        QSignalSpy closed(&chart, &PESGraph::customizeDialogClosed);
        QCOMPARE(chart.customize(), changed);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(closed.first().first().toBool(), changed);
        QCOMPARE(chart.model() == before, !changed);
        if (changed && edit == 1)
            QCOMPARE(chart.model().mainTitle, QStringLiteral("Night survey"));
        if (changed && edit == 2)
            QCOMPARE(chart.plot().graph(0)->pen().color(), QColor(Qt::darkGreen));
    }

    void customizeShowsTheDialogModally()
    {
        PESGraph chart;
        QTimer::singleShot(0, [] {
            auto *dialog = qobject_cast<ChartCustomizeDialog *>(QApplication::activeModalWidget());
            if (!dialog) { // never leave the test hanging in the dialog's event loop
                for (QWidget *w : QApplication::topLevelWidgets())
                    if (auto *d = qobject_cast<QDialog *>(w))
                        d->reject();
                QFAIL("the customisation dialog is not the active modal window");
            }
            dialog->subTitleEdit()->setText(QStringLiteral("Changed"));
            dialog->accept();
        });
        QVERIFY(chart.customize());
        QCOMPARE(chart.model().subTitle, QStringLiteral("Changed"));
    }

    void customizePages_data()
    {
        QTest::addColumn<QList<bool>>("pages"); // fonts, titles, look, subsets
        QTest::addColumn<QStringList>("tabs");
        QTest::newRow("all") << QList<bool> { true, true, true, true }
                             << QStringList { "Titles", "Subsets", "Look", "Fonts", "Annotations" };
        QTest::newRow("none (printing)")
            << QList<bool> { false, false, false, false } << QStringList { "Annotations" };
        QTest::newRow("look and fonts") << QList<bool> { true, false, true, false }
                                        << QStringList { "Look", "Fonts", "Annotations" };
    }
    void customizePages()
    {
        QFETCH(QList<bool>, pages);
        QFETCH(QStringList, tabs);
        PESGraph chart;
        fill(chart.model(), 5);
        chart.setCustomizePages(pages[0], pages[1], pages[2], pages[3]);
        QStringList shown;
        chart.setDialogRunner([&](QDialog &dialog) {
            QTabWidget *t = static_cast<ChartCustomizeDialog &>(dialog).tabs();
            for (int i = 0; i < t->count(); ++i)
                shown << t->tabText(i);
            return int(QDialog::Accepted);
        });
        QVERIFY(!chart.customize()); // accepting pages nobody touched changes nothing
        QCOMPARE(shown, tabs);
    }

    void storeAndLoadBlock()
    {
        PESGraph source;
        ChartModel &m = source.model();
        fill(m, 40);
        m.mainTitle = QStringLiteral("Round trip");
        m.annotations[5] = { T0 + 3 * Sec, 71.0, 2, QStringLiteral("x"), Qt::green };
        m.viewingStyle = ViewingStyle::Monochrome;
        const QByteArray block = source.storeBlock();

        auto target = shownChart();
        fill(target->model(), 5);
        target->redrawNow();
        const QRect r = target->plottingRect();
        drag(&target->plot(), r.topLeft() + QPoint(20, 20), r.center());
        QVERIFY(target->canUndoZoom());
        QString error;
        QVERIFY2(target->loadBlock(block, &error), qPrintable(error));
        QVERIFY(target->model() == m);
        QVERIFY(!target->canUndoZoom());
        QCOMPARE(handedData(*target).size(), 40);
    }

    void malformedBlockIsRefused_data()
    {
        QTest::addColumn<int>("damage");
        QTest::newRow("empty") << 0;
        QTest::newRow("not a chart") << 1;
        QTest::newRow("truncated") << 2;
    }
    void malformedBlockIsRefused()
    {
        QFETCH(int, damage);
        PESGraph source;
        fill(source.model(), 40);
        QByteArray block = source.storeBlock();
        if (damage == 0)
            block.clear();
        else if (damage == 1)
            block = QByteArray("GHF chart, but not really").repeated(4);
        else
            block.chop(block.size() / 3);

        PESGraph chart;
        fill(chart.model(), 7);
        chart.model().mainTitle = QStringLiteral("Keep me");
        chart.redrawNow();
        const ChartModel before = chart.model();
        const QList<QPointF> drawn = handedData(chart);
        QString error;
        QVERIFY(!chart.loadBlock(block, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(chart.model() == before);
        chart.redrawNow();
        QVERIFY(samePoints(handedData(chart), drawn));
    }

    void renderDrawsTheChart()
    {
        PESGraph chart;
        fill(chart.model(), 100);
        chart.model().subsetColors = { Qt::red };
        chart.redraw();
        QImage image(600, 400, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        chart.render(painter, image.rect());
        painter.end();
        int red = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                red += qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 80;
        QVERIFY(red > 300); // the level line is drawn across the picture
    }

    // The cursors' texts are placed for the plotting area they are drawn in, also when the chart
    // is drawn for the first time (a picture made from the command line): beside their lines,
    // A's on its right, both inside the area.
    void cursorTextsOnAFirstDrawing()
    {
        PESGraph chart;
        chart.resize(600, 400);
        ChartModel &m = chart.model();
        fill(m, 100);
        m.verticalLines = { VerticalLine { T0 + 20 * Sec, QStringLiteral("|tA\n61.0dB") },
                            VerticalLine { T0 + 24 * Sec, QStringLiteral("|tB\n63.0dB") } };
        chart.redrawNow();
        const QRect area = chart.plottingRect();
        int texts = 0;
        for (int i = 0; i < chart.plot().itemCount(); ++i) {
            const auto *t = qobject_cast<QCPItemText *>(chart.plot().item(i));
            if (!t || !t->visible())
                continue;
            ++texts;
            const QRectF box
                = QRectF(t->topLeft->pixelPosition(), t->bottomRight->pixelPosition()).normalized();
            QVERIFY2(QRectF(area).adjusted(-1, -1, 1, 1).contains(box), qPrintable(t->text()));
            if (t->text().startsWith('A'))
                QVERIFY(box.left() >= chart.valueToPixel({ T0 + 20 * Sec, 60.0 }).x() - 1);
        }
        QCOMPARE(texts, 2);
    }

    void exclusionBands_data()
    {
        QTest::addColumn<double>("from"); // seconds from T0; the chart shows 0 to 99
        QTest::addColumn<double>("to");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("mono");
        QTest::addColumn<double>("inside"); // a second where the band must be
        QTest::addColumn<double>("outside"); // and one where it must not
        QTest::addColumn<bool>("cursorText"); // cursor A's text stands at the band's start
        QTest::newRow("colour, labelled")
            << 20.0 << 40.0 << "lorry" << false << 30.0 << 45.0 << false;
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
    void exclusionBands()
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
};

QTEST_MAIN(TestPESGraph)
#include "tst_pesgraph.moc"
