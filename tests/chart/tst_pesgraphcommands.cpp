// What the user does with the chart: manual scales, mouse gestures, the zoom stack, hot spots,
// the customisation dialog, storing and loading the chart as a block, and rendering it.

#include "chart/ui/chartcustomizedialog.h"
#include "tst_pesgraph.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>

namespace {

void drag(QWidget *plot, QPoint from, QPoint to)
{
    QTest::mousePress(plot, Qt::LeftButton, {}, from);
    QTest::mouseMove(plot, (from + to) / 2);
    QTest::mouseMove(plot, to);
    QTest::mouseRelease(plot, Qt::LeftButton, {}, to);
}

} // namespace

void TestPESGraph::scales_data()
{
    QTest::addColumn<bool>("manual");
    QTest::newRow("manual") << true;
    QTest::newRow("automatic") << false;
}

void TestPESGraph::scales()
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

void TestPESGraph::mouseGestures_data()
{
    QTest::addColumn<QPoint>("from"); // relative to the plotting rectangle's centre
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<bool>("zoomX");
    QTest::addColumn<bool>("zoomY");
    QTest::newRow("click") << QPoint(0, 0) << QPoint(0, 0) << false << false;
    QTest::newRow("jitter is still a click") << QPoint(0, 0) << QPoint(2, 1) << false << false;
    QTest::newRow("rectangle") << QPoint(-100, -80) << QPoint(120, 60) << true << true;
    QTest::newRow("upwards to the left") << QPoint(120, 60) << QPoint(-100, -80) << true << true;
    QTest::newRow("horizontal band") << QPoint(-100, 0) << QPoint(120, 2) << true << false;
}

void TestPESGraph::mouseGestures()
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

void TestPESGraph::zoomStack_data()
{
    QTest::addColumn<int>("zooms");
    QTest::newRow("one zoom") << 1;
    QTest::newRow("two nested") << 2;
    QTest::newRow("three nested") << 3;
}

void TestPESGraph::zoomStack()
{
    QFETCH(int, zooms);
    auto chart = shownChart();
    fill(chart->model(), 300);
    chart->redrawNow();
    const QCPRange fullX = chart->plot().xAxis->range();
    const QCPRange fullY = chart->plot().yAxis->range();
    for (int level = 0; level < zooms; ++level) {
        const QCPRange before = chart->plot().xAxis->range();
        const QRect r = chart->plottingRect();
        drag(&chart->plot(), r.topLeft() + QPoint(30, 30), r.bottomRight() - QPoint(40, 20));
        QVERIFY(chart->plot().xAxis->range().size() < before.size());
    }
    // A point recorded while zoomed in keeps the zoom.
    const QCPRange zoomedX = chart->plot().xAxis->range();
    chart->model().setY(0, 10, 75.0f);
    chart->redrawNow();
    QCOMPARE(chart->plot().xAxis->range(), zoomedX);
    // One undo returns to the unzoomed view, however deep the zooms were nested.
    QVERIFY(chart->canUndoZoom());
    chart->undoZoom();
    QCOMPARE(chart->plot().xAxis->range(), fullX);
    QCOMPARE(chart->plot().yAxis->range(), fullY);
    QVERIFY(!chart->canUndoZoom());
    chart->undoZoom(); // nothing left: no change
    QCOMPARE(chart->plot().xAxis->range(), fullX);

    const QRect r = chart->plottingRect();
    drag(&chart->plot(), r.topLeft() + QPoint(30, 30), r.center());
    QVERIFY(chart->canUndoZoom());
    chart->reinitAndReset();
    QVERIFY(!chart->canUndoZoom());
    QCOMPARE(chart->plot().xAxis->range(), fullX);

    chart->setZoomingAllowed(false);
    drag(&chart->plot(), r.topLeft() + QPoint(30, 30), r.center());
    QVERIFY(!chart->canUndoZoom());
}

void TestPESGraph::hotSpots_data()
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

void TestPESGraph::hotSpots()
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

void TestPESGraph::customize_data()
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

void TestPESGraph::customize()
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

void TestPESGraph::customizeShowsTheDialogModally()
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

void TestPESGraph::customizePages_data()
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

void TestPESGraph::customizePages()
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

void TestPESGraph::storeAndLoadBlock()
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

void TestPESGraph::malformedBlockIsRefused_data()
{
    QTest::addColumn<int>("damage");
    QTest::newRow("empty") << 0;
    QTest::newRow("not a chart") << 1;
    QTest::newRow("truncated") << 2;
}

void TestPESGraph::malformedBlockIsRefused()
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

void TestPESGraph::renderDrawsTheChart()
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
