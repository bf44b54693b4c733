// Marks on graph windows, end to end on the main window: the drawing modes shared by every
// graph window, placing crosses and texts with a click, the numbering, "Erase Annotation", the
// double click, Clear, the marks kept in the graph file, the excluded intervals made and
// taken back with "Exclude A-B" and "Include", and the limit set with "Limit..." and its
// exceedances.

#include "app/ui/filecommands.h"
#include "app/ui/tfrmmain.h"
#include "base/appstate.h"
#include "base/datetimedays.h"
#include "base/ui/stringgrid.h"
#include "chart/ui/pesgraph.h"
#include "common/mainwindowrig.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/tfrmannoedit.h"
#include "graph/ui/tfrmdelanno.h"
#include "graph/ui/tfrmgraph.h"
#include "graph/ui/tslider2.h"
#include "survey/placedannotations.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <qcustomplot.h>

namespace {

struct Rig : MainWindowRig
{
    Rig()
        : MainWindowRig({ .seed = 5, .stopMainTimer = true, .size = QSize(1280, 800) })
    {
        QCoreApplication::processEvents();
    }
    TfrmGraph &realTime() { return *window->graphs().RealTimeGraphWindow(); }
    static void press(TfrmGraph &g, const char *button) { control<QAction>(g, button).trigger(); }
    // A click at a position of the chart (widget pixels); the text dialog, when it comes, is
    // answered with `text` (a null text: Cancel).
    int click(TfrmGraph &g, QPoint at, const QString &text = QString())
    {
        prompts.dialogHandler = [text](QDialog &dialog) {
            auto *edit = dynamic_cast<TfrmAnnoEdit *>(&dialog);
            if (!edit || text.isNull())
                return int(QDialog::Rejected);
            edit->Edit1->setText(text);
            return int(QDialog::Accepted);
        };
        g.chart().redrawNow();
        QCustomPlot &plot = g.chart().plot();
        const int before = state().annotationCounter;
        const bool onMark = g.chart().annotationAt(at) >= 0;
        QTest::mouseClick(&plot, Qt::LeftButton, {}, plot.mapFrom(&g.chart(), at));
        if (onMark) // a click on a mark waits to see whether it is a double click
            (void)QTest::qWaitFor([&] { return state().annotationCounter != before; },
                                  QApplication::doubleClickInterval() + 500);
        return state().annotationCounter == before ? -1 : state().annotationCounter;
    }
    static QPoint middle(TfrmGraph &g) { return g.chart().plottingRect().center(); }
    // The graph saved as a graph file of that name and opened again: the window of the file, or
    // none when either step failed.
    const TfrmGraph *saveAndReopen(TfrmGraph &g, const QString &name)
    {
        const QString file = dir.filePath(name);
        prompts.fileNames = { file };
        if (!window->files().SaveGraph(g) || !window->files().OpenGraphFile(file))
            return nullptr;
        for (const TfrmGraph *w : window->findChildren<TfrmGraph *>())
            if (w->isCaption(QFileInfo(file).absoluteFilePath()))
                return w;
        return nullptr;
    }
    AppState &state() { return window->state(); }
    // "Erase Annotation", deleting grid rows first to last (none: Cancel); gives the rows that
    // were listed, as "NO|Contents".
    QStringList erase(TfrmGraph &g, int first = 0, int last = 0, bool *deleteEnabled = nullptr)
    {
        QStringList listed;
        prompts.dialogHandler = [&](QDialog &dialog) {
            auto &d = dynamic_cast<TfrmDelAnno &>(dialog);
            for (int r = 1; r < d.StringGrid1->RowCount(); ++r)
                listed << d.StringGrid1->Cells(0, r) + "|" + d.StringGrid1->Cells(2, r);
            if (deleteEnabled)
                *deleteEnabled = d.btnDelete->isEnabled();
            if (first == 0)
                return int(QDialog::Rejected);
            QItemSelection range(d.StringGrid1->model()->index(first - 1, 0),
                                 d.StringGrid1->model()->index(last - 1, 2));
            d.StringGrid1->selectionModel()->select(range, QItemSelectionModel::ClearAndSelect);
            return int(QDialog::Accepted);
        };
        press(g, "ToolButton13");
        return listed;
    }
};

} // namespace

class TestAnnotations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placing_data();
    void placing();
    void modeAndCounterAreShared();
    void erasing_data();
    void erasing();
    void manyMarks();
    void doubleClickSaveAndReopen_data();
    void doubleClickSaveAndReopen();
    void excludeAndInclude_data();
    void excludeAndInclude();
    void limit_data();
    void limit();
};

void TestAnnotations::placing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("fromRight"); // the click's distance left of the plotting area's right
    QTest::addColumn<QString>("text"); // the text dialog's answer; null: Cancel
    QTest::addColumn<int>("index"); // -1: nothing placed
    QTest::addColumn<int>("type");
    QTest::addColumn<QPoint>("shift"); // where the mark lies, from the click

    QTest::newRow("cross") << "ToolButton5" << 200 << QString() << 5 << 2 << QPoint(15, 15);
    QTest::newRow("text") << "ToolButton9" << 200 << "lorry" << 5 << 0 << QPoint(1, 7);
    QTest::newRow("text cancelled") << "ToolButton9" << 200 << QString() << -1 << 0 << QPoint();
    QTest::newRow("normal") << "ToolButton4" << 200 << QString() << -1 << 0 << QPoint();
    QTest::newRow("cross 10 px from the edge")
        << "ToolButton5" << 10 << QString() << -1 << 0 << QPoint();
    QTest::newRow("cross 15 px from the edge")
        << "ToolButton5" << 15 << QString() << 5 << 2 << QPoint(15, 15);
}

void TestAnnotations::placing()
{
    QFETCH(QString, button);
    QFETCH(int, fromRight);
    QFETCH(QString, text);
    QFETCH(int, index);
    QFETCH(int, type);
    QFETCH(QPoint, shift);
    Rig rig;
    TfrmGraph &g = rig.realTime();
    Rig::press(g, qPrintable(button));
    const QRect area = g.chart().plottingRect();
    const QPoint at(area.right() - fromRight, area.center().y());
    QCOMPARE(rig.click(g, at, text), index);
    if (index < 0) {
        QVERIFY(PlacedAnnotations::listed(g.chartModel()).empty());
        return;
    }
    const GraphAnnotation &a = g.chartModel().annotations.at(index);
    QCOMPARE(a.type, type);
    QCOMPARE(a.text, type == 2 ? QString() : text);
    // The mark lies where the shift puts it: a cross under the centre of the cross cursor.
    const QPointF drawn = g.chart().valueToPixel(QPointF(a.x, a.y));
    QVERIFY2((drawn - QPointF(at + shift)).manhattanLength() <= 1.0,
             qPrintable(QString("%1,%2").arg(drawn.x()).arg(drawn.y())));
}

// One mode and one counter for every graph window: the first mark takes 5, a second window goes
// on from there; showing a window puts the mode back to normal; after Clear the numbering
// starts again and the new mark can be listed and erased.
void TestAnnotations::modeAndCounterAreShared()
{
    Rig rig;
    TfrmGraph &first = rig.realTime();
    TfrmGraph &second = rig.window->graphs().createGraph("second");
    second.PrepareGraph(1, 130, 30, 45000.01, 45000.0, 10);
    QCoreApplication::processEvents();
    Rig::press(first, "ToolButton5");
    QCOMPARE(rig.click(first, Rig::middle(first)), 5);
    QCOMPARE(rig.click(second, Rig::middle(second)), 6); // the mode of the first window
    QCOMPARE(rig.click(second, Rig::middle(second) + QPoint(20, 0)), 7);
    QVERIFY(!second.chartModel().annotations.count(5));

    second.hide();
    second.show(); // a shown window: the normal mode, whatever button is down
    QCOMPARE(rig.state().drawingMode, PlacedAnnotations::NormalMode);
    QCOMPARE(rig.click(first, Rig::middle(first)), -1);

    Rig::press(first, "tbntClr");
    QVERIFY(PlacedAnnotations::listed(first.chartModel()).empty());
    QCOMPARE(PlacedAnnotations::listed(second.chartModel()).size(), std::size_t(2));
    Rig::press(first, "ToolButton5");
    QCOMPARE(rig.click(first, Rig::middle(first)), 4);
    QCOMPARE(rig.erase(first, 1, 1), QStringList { "1|X" });
    QVERIFY(PlacedAnnotations::listed(first.chartModel()).empty());
    // The second window's marks stay: the next one there is numbered past them.
    QCOMPARE(rig.click(second, Rig::middle(second) + QPoint(40, 0)), 8);
}

void TestAnnotations::erasing_data()
{
    QTest::addColumn<int>("marks"); // crosses and texts, alternately
    QTest::addColumn<int>("first"); // rows to delete; 0: Cancel
    QTest::addColumn<int>("last");
    QTest::addColumn<QStringList>("listedBefore");
    QTest::addColumn<QStringList>("listedAfter");
    QTest::addColumn<bool>("deleteEnabled");

    QTest::newRow("none") << 0 << 0 << 0 << QStringList { "|" } << QStringList { "|" } << false;
    QTest::newRow("cancel") << 2 << 0 << 0 << QStringList { "1|X", "2|mark 2" }
                            << QStringList { "1|X", "2|mark 2" } << true;
    QTest::newRow("one row") << 3 << 2 << 2 << QStringList { "1|X", "2|mark 2", "3|X" }
                             << QStringList { "1|X", "2|X" } << true;
    QTest::newRow("a range") << 3 << 1 << 2 << QStringList { "1|X", "2|mark 2", "3|X" }
                             << QStringList { "1|X" } << true;
}

void TestAnnotations::erasing()
{
    QFETCH(int, marks);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QStringList, listedBefore);
    QFETCH(QStringList, listedAfter);
    QFETCH(bool, deleteEnabled);
    Rig rig;
    TfrmGraph &g = rig.realTime();
    for (int i = 1; i <= marks; ++i) {
        Rig::press(g, i % 2 ? "ToolButton5" : "ToolButton9");
        QVERIFY(rig.click(g, Rig::middle(g) + QPoint(i * 20, 0), QString("mark %1").arg(i)) > 0);
    }
    bool enabled = !deleteEnabled;
    QCOMPARE(rig.erase(g, first, last, &enabled), listedBefore);
    QCOMPARE(enabled, deleteEnabled);
    QCOMPARE(rig.erase(g), listedAfter);
}

// More marks than one byte can number: each row still erases its own mark.
void TestAnnotations::manyMarks()
{
    Rig rig;
    TfrmGraph &g = rig.realTime();
    ChartModel &chart = g.chartModel();
    for (int i = 1; i <= 300; ++i)
        PlacedAnnotations::place(chart, rig.state().annotationCounter, 0, 45000.0 + i, 80,
                                 QString("m%1").arg(i));
    const QStringList listed = rig.erase(g, 299, 299);
    QCOMPARE(listed.size(), 300);
    QCOMPARE(listed.at(299), QString("300|m300"));
    QCOMPARE(chart.annotations.at(5 + 298).text, QString());
    QCOMPARE(chart.annotations.at(5 + 299).text, QString("m300"));
    QCOMPARE(chart.annotations.at(5 + 255).text, QString("m256"));
}

void TestAnnotations::doubleClickSaveAndReopen_data()
{
    QTest::addColumn<QString>("mode"); // the mode button down at the double click
    QTest::newRow("normal") << "ToolButton4";
    QTest::newRow("cross") << "ToolButton5";
    QTest::newRow("text") << "ToolButton9";
}

void TestAnnotations::doubleClickSaveAndReopen()
{
    QFETCH(QString, mode);
    Rig rig;
    TfrmGraph &g = rig.realTime();
    Rig::press(g, "ToolButton5");
    const QPoint at = Rig::middle(g);
    QCOMPARE(rig.click(g, at), 5);
    Rig::press(g, "ToolButton9");
    QCOMPARE(rig.click(g, at + QPoint(60, -40), "compressor on"), 6);
    QCOMPARE(rig.click(g, at + QPoint(-80, 30), "gone"), 7);
    Rig::press(g, qPrintable(mode));
    // Over a mark the chart says how to delete it; a double click there erases it, and in every
    // mode places nothing and asks for no text.
    int dialogs = 0;
    rig.prompts.dialogHandler = [&dialogs](QDialog &) {
        ++dialogs;
        return int(QDialog::Rejected);
    };
    QCustomPlot &plot = g.chart().plot();
    const ChartModel &chart = g.chartModel();
    const QPoint gone
        = g.chart()
              .valueToPixel(QPointF(chart.annotations.at(7).x, chart.annotations.at(7).y))
              .toPoint()
        + QPoint(8, -6); // inside the text's box, right of and above its corner
    g.chart().redrawNow(); // the marks as the user sees them
    QTest::mouseMove(&plot, plot.mapFrom(&g.chart(), gone));
    if (mode == "ToolButton4") // (the test's mouse moves are not delivered under a mode's cursor)
        QCOMPARE(g.chart().toolTip(), QString("Double click to delete."));
    // As the system delivers a double click: press, release, double click, release.
    const QPoint goneOnPlot = plot.mapFrom(&g.chart(), gone);
    QTest::mousePress(&plot, Qt::LeftButton, {}, goneOnPlot);
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, goneOnPlot);
    QTest::mouseDClick(&plot, Qt::LeftButton, {}, goneOnPlot);
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, goneOnPlot);
    QCOMPARE(chart.annotations.at(7).text, QString());
    QCOMPARE(rig.state().annotationCounter, 7);
    QCOMPARE(dialogs, 0);
    QTest::mouseMove(&plot, plot.mapFrom(&g.chart(), at - QPoint(100, 100)));
    if (mode == "ToolButton4")
        QCOMPARE(g.chart().toolTip(), QString());

    const auto kept = chart.annotations;
    const QString file = rig.dir.filePath("marked.ghf");
    rig.prompts.fileNames = { file };
    QVERIFY(rig.window->files().SaveGraph(g));
    QVERIFY(rig.window->files().OpenGraphFile(file));
    TfrmGraph *opened = nullptr;
    for (TfrmGraph *w : rig.window->findChildren<TfrmGraph *>())
        if (w->isCaption(QFileInfo(file).absoluteFilePath()))
            opened = w;
    QVERIFY(opened);
    QCOMPARE(opened->chartModel().annotations, kept);
    QCOMPARE(rig.erase(*opened), (QStringList { "1|X", "2|compressor on" }));
}

void TestAnnotations::excludeAndInclude_data()
{
    QTest::addColumn<int>("points"); // negative: that many points never recorded
    QTest::addColumn<QString>("before"); // intervals "from-to label" in point indexes, by commas
    QTest::addColumn<int>("a"); // the cursors' points
    QTest::addColumn<int>("b");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("answer"); // "category|label" in the dialog; null: Cancel
    QTest::addColumn<QString>("offered"); // what the dialog starts with; empty: not shown
    QTest::addColumn<QString>("after"); // "from-to [category] label", Excluded not named
    QTest::addColumn<QString>("message"); // what the window says; empty: nothing

    const QString none;
    const QString fresh("Excluded|");
    QTest::newRow("exclude with a label")
        << 20 << "" << 3 << 8 << "ExcludeAB"
        << "Excluded|  lorry  passing " << fresh << "3-8 lorry passing" << none;
    QTest::newRow("exclude, B before A") << 20 << "1-2 dog" << 9 << 4 << "ExcludeAB"
                                         << "Excluded|" << fresh << "1-2 dog, 4-9" << none;
    QTest::newRow("exclude, A on B") << 20 << "" << 5 << 5 << "ExcludeAB"
                                     << "Excluded|x" << fresh << "5-5 x" << none;
    QTest::newRow("specific") << 20 << "0-19 a" << 3 << 8 << "ExcludeAB"
                              << "Specific|lorry" << fresh << "0-19 a, 3-8 Specific lorry" << none;
    QTest::newRow("the same range again changes it")
        << 20 << "2-6 a, 3-8 b, 9-9 c" << 8 << 3 << "ExcludeAB"
        << "Residual| quiet"
        << "Excluded|b"
        << "2-6 a, 3-8 Residual quiet, 9-9 c" << none;
    QTest::newRow("the same range, nothing changed") << 20 << "3-8 b" << 3 << 8 << "ExcludeAB"
                                                     << "Excluded|b"
                                                     << "Excluded|b"
                                                     << "3-8 b" << none;
    QTest::newRow("exclude cancelled")
        << 20 << "" << 3 << 8 << "ExcludeAB" << QString() << fresh << "" << none;
    QTest::newRow("exclude on an empty chart") << 0 << "" << 0 << 0 << "ExcludeAB"
                                               << "Excluded|x" << none << "" << none;
    QTest::newRow("exclude before recording") << -20 << "" << 3 << 8 << "ExcludeAB"
                                              << "Excluded|x" << none << ""
                                              << "Place cursors A and B on recorded points first.";
    QTest::newRow("include under A")
        << 20 << "2-6 a, 10-12 b" << 4 << 11 << "Include" << none << none << "10-12 b" << none;
    QTest::newRow("include under B")
        << 20 << "2-6 a" << 15 << 6 << "Include" << none << none << "" << none;
    QTest::newRow("include the most recent") << 20 << "0-19 a, 3-5 b, 8-9 c" << 4 << 4 << "Include"
                                             << none << none << "0-19 a, 8-9 c" << none;
    QTest::newRow("include, neither cursor in one")
        << 20 << "2-6 a" << 8 << 15 << "Include" << none << none << "2-6 a"
        << "Neither cursor stands in an excluded interval.";
}

// The two commands through the window's toolbar: cursor A and B give the interval, the dialog
// (category and label) may be cancelled; the chart redraws and the window tells its figures; a
// graph file keeps what was marked.
void TestAnnotations::excludeAndInclude()
{
    QFETCH(int, points);
    QFETCH(QString, before);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(QString, button);
    QFETCH(QString, answer);
    QFETCH(QString, offered);
    QFETCH(QString, after);
    QFETCH(QString, message);
    Rig rig;
    TfrmGraph &g = rig.window->graphs().createGraph("survey");
    const double t0 = 45000.5;
    const auto xOf = [&](int point) {
        return t0 + point * DateTimeDays::OneSecond;
    };
    g.PrepareGraph(1, 130, 30, xOf(std::abs(points)), t0, std::abs(points));
    for (int i = 0; i < points; ++i)
        g.chartModel().fillPoint(i, xOf(i), 60.0f + i);
    g.UpdateGraphStatistics();
    for (const QString &item : before.split(", ", Qt::SkipEmptyParts)) {
        const QStringList words = item.split(' ');
        const QStringList ends = words.first().split('-');
        g.chartModel().exclusions.push_back(
            { xOf(ends[0].toInt()), xOf(ends[1].toInt()), words.value(1) });
    }
    Tslider2 &slider = Rig::control<Tslider2>(g, "Slider1");
    slider.setValue1(a);
    slider.setValue2(b);
    QString shown;
    rig.prompts.dialogHandler = [&](QDialog &dialog) {
        auto *category = dialog.findChild<QComboBox *>("cboCategory");
        auto *label = dialog.findChild<QLineEdit *>("txtLabel");
        if (!category || !label)
            return int(QDialog::Rejected);
        shown = category->currentText() + '|' + label->text();
        if (answer.isNull())
            return int(QDialog::Rejected);
        category->setCurrentText(answer.section('|', 0, 0));
        label->setText(answer.section('|', 1));
        return int(QDialog::Accepted);
    };
    QSignalSpy changed(&g, &TfrmGraph::exclusionsChanged);
    Rig::press(g, qPrintable(button));

    QStringList left;
    for (const ExcludedInterval &e : g.chartModel().exclusions) {
        const auto pointOf = [&](double x) {
            return qRound((x - t0) / DateTimeDays::OneSecond);
        };
        const QString category
            = e.category == IntervalCategory::Excluded ? QString() : categoryName(e.category);
        left << QString("%1-%2 %3 %4")
                    .arg(pointOf(e.from))
                    .arg(pointOf(e.to))
                    .arg(category, e.label)
                    .simplified();
    }
    QCOMPARE(left.join(", "), after);
    QCOMPARE(changed.count(), after == before ? 0 : 1);
    QCOMPARE(rig.prompts.messages.value(0), message);
    // The dialog is shown only when there are cursors to mark between.
    QCOMPARE(shown, offered);
    QCOMPARE(rig.prompts.dialogs.size(), offered.isEmpty() ? 0 : 1);
    // A category's column in the panel and in "Export Figures" while it has an interval.
    g.ExportFiguresClick();
    const QString exported = QApplication::clipboard()->text().section('\n', 0, 0);
    for (const QString category : { "Specific", "Residual" }) {
        QCOMPARE(exported.contains('\t' + category), after.contains(category));
        QCOMPARE(Rig::control<QLabel>(g, qPrintable("lbl" + category + "Figures")).isHidden(),
                 !after.contains(category));
    }

    if (g.chartModel().exclusions.empty())
        return;
    const TfrmGraph *reopened = rig.saveAndReopen(g, "excluded.ghf");
    QVERIFY(reopened);
    QCOMPARE(reopened->chartModel().exclusions, g.chartModel().exclusions);
}

void TestAnnotations::limit_data()
{
    QTest::addColumn<double>("before"); // the limit already set; NaN: none
    QTest::addColumn<QString>("typed"); // the answer to the question; null: Cancel
    QTest::addColumn<double>("after");
    QTest::addColumn<QString>("runs"); // "count seconds", as the page shows them
    QTest::addColumn<QString>("message");

    const double none = qQNaN();
    const QString refused("The limit must be a level from 0 to 200 dB, such as 55.");
    QTest::newRow("first limit") << none << " 55 " << 55.0 << "3 5" << QString();
    QTest::newRow("strictly above") << 55.0 << "70" << 70.0 << "1 1" << QString();
    QTest::newRow("a point") << none << "60.5" << 60.5 << "2 3" << QString();
    QTest::newRow("empty takes it off") << 55.0 << "" << none << " " << QString();
    QTest::newRow("cancel keeps it") << 55.0 << QString() << 55.0 << "3 5" << QString();
    QTest::newRow("not a number") << 55.0 << "loud" << 55.0 << "3 5" << refused;
    QTest::newRow("above the range") << none << "300" << none << " " << refused;
    QTest::newRow("below the range") << none << "-1" << none << " " << refused;
}

// "Limit..." through the toolbar: the limit is set, changed or taken off, the "Exceedances"
// page counts the runs above it (a null point ends one) and sums their seconds, "Export
// Exceedances" copies them, and a graph file keeps the limit.
void TestAnnotations::limit()
{
    QFETCH(double, before);
    QFETCH(QString, typed);
    QFETCH(double, after);
    QFETCH(QString, runs);
    QFETCH(QString, message);
    Rig rig;
    TfrmGraph &g = rig.window->graphs().createGraph("survey");
    const double t0 = 45000.5;
    const std::vector<float> levels = { 50, 60, 61, 50, ChartModel::NullValue, 70, 71, 50, 56 };
    const int n = int(levels.size());
    g.PrepareGraph(1, 130, 30, t0 + n * DateTimeDays::OneSecond, t0, n);
    for (int i = 0; i < n; ++i)
        g.chartModel().fillPoint(i, t0 + i * DateTimeDays::OneSecond, levels[std::size_t(i)]);
    if (!qIsNaN(before))
        g.chartModel().limit = before;
    g.UpdateGraphStatistics();
    rig.prompts.texts = { typed.isNull() ? std::nullopt : std::optional<QString>(typed) };
    QSignalSpy changed(&g, &TfrmGraph::limitChanged);
    Rig::press(g, "LimitAction");

    QCOMPARE(g.chartModel().limit.has_value(), !qIsNaN(after));
    if (g.chartModel().limit)
        QCOMPARE(*g.chartModel().limit, after);
    QCOMPARE(changed.count(), (qIsNaN(before) && qIsNaN(after)) || before == after ? 0 : 1);
    QCOMPARE(rig.prompts.messages.value(0), message);
    QCOMPARE(Rig::control<QLabel>(g, "lblExceedanceCount").text() + ' '
                 + Rig::control<QLabel>(g, "lblExceedanceSeconds").text(),
             runs);
    if (!g.chartModel().limit)
        return;
    g.ExportExceedancesClick();
    const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    const QStringList counts = runs.split(' ');
    QCOMPARE(lines.size(), counts[0].toInt() + 3);
    QCOMPARE(lines.first(), QString("Start\tSeconds\tLmax (dB)\tLeq (dB)"));
    QCOMPARE(lines.last(), "Above limit (s)\t" + counts[1]);

    const TfrmGraph *reopened = rig.saveAndReopen(g, "limit.ghf");
    QVERIFY(reopened);
    QCOMPARE(reopened->chartModel().limit, g.chartModel().limit);
}

QTEST_MAIN(TestAnnotations)
#include "tst_annotations.moc"
