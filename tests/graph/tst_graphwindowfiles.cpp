// The graph windows as documents: new windows readable and in front, the questions on closing,
// saving and opening graph files, the template that keeps the look alone, and pictures.

#include "tst_graphwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QScrollBar>
#include <QToolBar>

void TestGraphWindow::newWindowsReadableAndInFront_data()
{
    QTest::addColumn<QString>("kind");
    for (const char *kind :
         { "real-time at start-up", "real-time from View after closing", "DataLogger",
           "DataLogger loaded into again from behind", "CAL Leq", "file or table" })
        QTest::newRow(kind) << QString(kind);
}

// Every new graph window stands inside the client area, in front, at a size where none of its
// panels is cut off and its chart can be read.
void TestGraphWindow::newWindowsReadableAndInFront()
{
    QFETCH(QString, kind);
    Rig rig;
    GraphWindowFactory &graphs = rig.window->graphs();
    TfrmGraph *graph = &rig.graph();
    if (kind == "real-time from View after closing") {
        graph->closeForm();
        settle();
        rig.window->menus().RealTimeGraph1->trigger();
        graph = graphs.RealTimeGraphWindow();
    } else if (kind.startsWith("DataLogger")) {
        graph = &graphs.showDataLoggerGraph();
        if (kind.contains("again")) {
            rig.window->activateChildWindow(rig.graph());
            QCOMPARE(&graphs.showDataLoggerGraph(), graph);
        }
    } else if (kind == "CAL Leq") {
        rig.action("bunCalLEQ").trigger();
        graph = rig.windowCaptioned("LEQ");
    } else if (kind == "file or table") {
        graph = &graphs.createGraph("survey.ghf");
    }
    settle();
    QVERIFY(graph);
    QMdiArea &area = rig.window->mdiArea();
    QCOMPARE(area.activeSubWindow(), graph->parentWidget());
    QVERIFY(area.viewport()->rect().contains(graph->parentWidget()->geometry()));
    // The real-time graph, however it is made, stands beside the control panel.
    if (kind.startsWith("real-time"))
        QCOMPARE(graph->parentWidget()->pos(),
                 QPoint(rig.window->PanelWindow->parentWidget()->width(), 0));
    const QList<ScrolledPanel *> panels = graph->findChildren<ScrolledPanel *>();
    QCOMPARE(panels.size(), 5); // the statistics, the cursors and the three pages
    for (const ScrolledPanel *panel : panels) {
        if (!panel->isVisibleTo(graph))
            continue; // the page behind the shown one
        const QSize needed
            = panel->widget()->minimumSizeHint().expandedTo(panel->widget()->minimumSize());
        QVERIFY2(panel->viewport()->width() >= needed.width()
                     && panel->viewport()->height() >= needed.height(),
                 qPrintable(panel->widget()->objectName() + " is cut off"));
    }
    auto &chart = Rig::control<PESGraph>(*graph, "PESGraph1");
    QVERIFY(chart.height() >= 300);
    // The read-out stands in the plotting area's corner, the slider under the plotting area.
    chart.redrawNow();
    const QRect plot = chart.plottingRect();
    QCOMPARE(Rig::control<QLabel>(*graph, "Panel12").pos(), plot.topLeft() + QPoint(1, 1));
    const auto &slider = Rig::control<Tslider2>(*graph, "Slider1");
    QCOMPARE(slider.mapTo(graph, QPoint()).x(), chart.mapTo(graph, plot.topLeft()).x());
    QCOMPARE(slider.width(), plot.width());
}

// Whether every part of w that a parent cuts off can be scrolled into view: each parent that cuts
// it is a scroll area's viewport with the scroll bar that way showing.
static bool reachable(const QWidget *w, const QWidget *top)
{
    QRect r = w->rect();
    for (const QWidget *p = w; p != top; p = p->parentWidget()) {
        const QWidget *parent = p->parentWidget();
        r.translate(p->pos());
        if (parent->rect().contains(r))
            continue;
        const auto *area = qobject_cast<const QAbstractScrollArea *>(parent->parentWidget());
        if (!area || area->viewport() != parent)
            return false;
        const QRect view = parent->rect();
        if ((r.left() < view.left() || r.right() > view.right())
            && !area->horizontalScrollBar()->isVisible())
            return false;
        if ((r.top() < view.top() || r.bottom() > view.bottom())
            && !area->verticalScrollBar()->isVisible())
            return false;
        r = view; // scrolled into view, the field is where the viewport is
    }
    return true;
}

void TestGraphWindow::smallWindowsKeepFiguresReadable_data()
{
    QTest::addColumn<int>("graphs"); // graph windows tiled; 0: the real-time graph maximised
    QTest::newRow("four graphs tiled") << 4;
    QTest::newRow("five graphs tiled") << 5;
    QTest::newRow("maximised, no scroll bar") << 0;
}

// However small Tile makes a graph window, every figure keeps its size (its text whole) and can
// be scrolled into view, and a button a toolbar has no room for is in its overflow menu.
void TestGraphWindow::smallWindowsKeepFiguresReadable()
{
    QFETCH(int, graphs);
    Rig rig;
    rig.record(12);
    for (int i = 0; i < 12; ++i)
        rig.second();
    TfrmGraph &g = rig.graph();
    for (int i = 1; i < graphs; ++i)
        rig.window->graphs().createGraph(QString("Graph %1").arg(i));
    settle();
    if (graphs)
        rig.window->menus().Tile1->trigger();
    else
        g.parentWidget()->showMaximized();
    settle();
    QVERIFY(g.width() < (graphs ? 600 : 2000) && g.height() < (graphs ? 400 : 2000));

    int fields = 0;
    for (const QWidget *w : g.findChildren<QWidget *>()) {
        const auto *edit = qobject_cast<const QLineEdit *>(w);
        const auto *label = qobject_cast<const QLabel *>(w);
        const QString text = edit ? edit->text() : label ? label->text() : QString();
        if (text.isEmpty() || !w->isVisibleTo(&g) || (label && label->parent() == &g.chart()))
            continue;
        ++fields;
        const QString name = w->objectName() + ' ' + text;
        QVERIFY2(w->width() >= w->fontMetrics().horizontalAdvance(text) + (edit ? 4 : 0)
                     && w->height() >= w->fontMetrics().height(),
                 qPrintable(name + " is squashed"));
        QVERIFY2(reachable(w, &g), qPrintable(name + " is cut off out of reach"));
    }
    QVERIFY(fields > 40);
    for (QToolBar *bar : g.findChildren<QToolBar *>()) {
        const auto *overflow = bar->findChild<QWidget *>("qt_toolbar_ext_button");
        for (QAction *action : bar->actions()) {
            const QWidget *button = bar->widgetForAction(action);
            if (action->isVisible() && !action->isSeparator())
                QVERIFY2((button->isVisible() && bar->rect().contains(button->geometry()))
                             || (overflow && overflow->isVisible()),
                         qPrintable(action->text() + " is cut off"));
        }
    }
    if (!graphs)
        for (const QScrollBar *bar : g.findChildren<QScrollBar *>())
            QVERIFY(!bar->isVisibleTo(&g));
}

void TestGraphWindow::closeQuestions_data()
{
    QTest::addColumn<bool>("clear"); // Clear instead of closing the window
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("gone"); // the recording (closed or cleared) and its journal
    QTest::addColumn<int>("saves");
    const int yes = int(Prompts::Answer::Yes);
    const int no = int(Prompts::Answer::No);
    const int cancel = int(Prompts::Answer::Cancel);
    QTest::newRow("yes saves and closes") << false << yes << true << 1;
    QTest::newRow("no closes") << false << no << true << 0;
    QTest::newRow("cancel keeps") << false << cancel << false << 0;
    // Clear of a recording never saved asks as closing does: it may be the user's only copy.
    QTest::newRow("Clear: yes saves and clears") << true << yes << true << 1;
    QTest::newRow("Clear: no clears") << true << no << true << 0;
    QTest::newRow("Clear: cancel keeps") << true << cancel << false << 0;
}

void TestGraphWindow::closeQuestions()
{
    QFETCH(bool, clear);
    QFETCH(int, answer);
    QFETCH(bool, gone);
    QFETCH(int, saves);
    Rig rig;
    rig.record(3);
    rig.second();
    rig.second();
    rig.second();
    const QString journal = rig.window->realTime().journal().path();
    QVERIFY(QFileInfo::exists(journal));
    const QString file = rig.dir.filePath("saved.ghf");
    rig.prompts.fileNames = { file };
    rig.prompts.answers = { Prompts::Answer(answer) };
    if (clear)
        rig.action("tbntClr").trigger();
    else
        rig.graph().closeForm();
    settle();
    QCOMPARE(rig.prompts.questions.join('|'), QString("Save Real-Time Graph ?"));
    if (clear)
        QCOMPARE(rig.window->state().RealTimeCount == 0, gone);
    else
        QCOMPARE(rig.window->graphs().RealTimeGraphWindow() == nullptr, gone);
    QCOMPARE(QFileInfo::exists(file), saves == 1);
    QCOMPARE(QFileInfo::exists(journal), !gone);
    QCOMPARE(rig.window->state().RealTimeModified, !gone);
}

void TestGraphWindow::saveClearsTheQuestion()
{
    Rig rig;
    rig.record(3);
    rig.second();
    rig.second();
    rig.window->activateChildWindow(rig.graph());
    rig.prompts.fileNames = { rig.dir.filePath("evening.ghf") };
    QVERIFY(rig.window->Save1Click());
    rig.graph().closeForm();
    settle();
    QVERIFY(rig.prompts.questions.isEmpty()); // saved: nothing to ask
    QVERIFY(!rig.window->graphs().RealTimeGraphWindow());
}

void TestGraphWindow::unknownExtensionSaysSo()
{
    // A name no writer knows is refused with a reason; a Yes to the close question whose save
    // fails keeps the window and its data.
    Rig rig;
    rig.record(3);
    rig.second();
    rig.second();
    const QString file = rig.dir.filePath("evening.xyz");
    rig.prompts.fileNames = { file };
    rig.prompts.answers = { Prompts::Answer::Yes };
    rig.graph().closeForm();
    settle();
    QCOMPARE(rig.prompts.errors,
             QStringList { "Cannot save \"" + file
                           + "\": a file of type \".xyz\" cannot be written. Choose a name "
                             "ending in \".ghf\", \".txt\", \".csv\" or \".xlsx\"." });
    QVERIFY(rig.window->graphs().RealTimeGraphWindow());
    QVERIFY(rig.window->state().RealTimeModified);
    QVERIFY(!QFileInfo::exists(file));
}

void TestGraphWindow::templateTakesLookOnly()
{
    Rig rig;
    TfrmGraph &g = rig.graph();
    g.chartModel().mainTitle = "Survey at the gate";
    g.chartModel().gridStyle = GridStyle::Solid;
    g.chartModel().exclusions = { { 45000.0, 45000.1, "lorry" } };
    g.chartModel().annotations[3] = { 45000.05, 70.0, 2, "Bus idling 10:37", Qt::red };
    g.chartModel().limit = 55.0;
    g.chartModel().setSubsets(1);
    g.chartModel().setPoints(4);
    rig.prompts.answers = { Prompts::Answer::Yes };
    g.PESGraph1CustomizeDlg(true);
    // Each user's own, never in the program's folder that every user of this copy shares.
    const QString own = rig.dir.filePath("user/template/graph.ghf");
    const QString shared = rig.dir.filePath("program/template/graph.ghf");
    QVERIFY(!QFile::exists(shared));
    // Excluded intervals belong to one measurement: the template keeps none, as version 1.
    const GraphFile::ReadResult stored = GraphFile::read(own);
    QVERIFY(stored.block);
    QCOMPARE(stored.block->left(6), QByteArray("AXCB\x01\x00", 6));
    QCOMPARE(g.chartModel().exclusions.size(), std::size_t(1));
    // Nor the points, the marks, the limit or the cursors: the look alone.
    ChartModel kept;
    QVERIFY(ChartBlock::load(*stored.block, kept));
    QVERIFY(kept.look() == g.chartModel().look());
    QCOMPARE(kept.subsets(), 0);
    QVERIFY(kept.analysis() == MeasurementAnalysis {});
    const ChartModel marked = g.chartModel();

    g.closeForm();
    settle();
    rig.window->menus().RealTimeGraph1->trigger();
    const ChartModel &fresh = rig.chart();
    QCOMPARE(fresh.mainTitle, QString("Survey at the gate"));
    QCOMPARE(fresh.gridStyle, GridStyle::Solid);
    QCOMPARE(fresh.points(), 500); // points and scales still come from the caller
    QCOMPARE(fresh.yScale.max, 130.0);
    QVERIFY(fresh.exclusions.empty());

    // A template an earlier version saved with a graph's points and marks gives its look alone.
    QVERIFY(GraphFile::write(own, ChartBlock::save(marked)).isEmpty());
    rig.graph().closeForm();
    settle();
    rig.window->menus().RealTimeGraph1->trigger();
    QCOMPARE(rig.chart().mainTitle, QString("Survey at the gate"));
    QVERIFY(rig.chart().annotations.empty());
    QVERIFY(!rig.chart().limit);
    QCOMPARE(rig.chart().points(), 500);
    QVERIFY(GraphFile::write(own, *stored.block).isEmpty());

    // One in the program's folder is every user's default, and is only read: a user's own look
    // is saved apart and wins.
    QVERIFY(QDir().mkpath(rig.dir.filePath("program/template")) && QFile::rename(own, shared));
    const auto freshGraph = [&rig] {
        rig.graph().closeForm();
        settle();
        rig.window->menus().RealTimeGraph1->trigger();
        return rig.chart().mainTitle;
    };
    QCOMPARE(freshGraph(), QString("Survey at the gate"));
    rig.chart().mainTitle = "Mine";
    rig.prompts.answers = { Prompts::Answer::Yes };
    rig.graph().PESGraph1CustomizeDlg(true);
    QCOMPARE(GraphFile::read(shared).block.value_or(QByteArray()), *stored.block);
    QCOMPARE(freshGraph(), QString("Mine"));

    // No change in the dialog asks nothing.
    const int asked = rig.prompts.questions.size();
    rig.graph().PESGraph1CustomizeDlg(false);
    QCOMPARE(rig.prompts.questions.size(), asked);
}

void TestGraphWindow::saveAndReopen()
{
    Rig rig;
    rig.record(12);
    for (int i = 0; i < 11; ++i)
        rig.second();
    TfrmGraph &g = rig.graph();
    rig.slider().setValue1(2);
    const ChartModel saved = rig.chart();
    const QString file = rig.dir.filePath("survey"); // no extension: ".GHF" is added
    rig.prompts.fileNames = { file + ".GHF" };
    QVERIFY(rig.window->files().SaveGraph(g));
    QVERIFY(rig.window->files().OpenGraphFile(file + ".GHF"));
    TfrmGraph *opened = rig.windowCaptioned(QFileInfo(file + ".GHF").absoluteFilePath());
    QVERIFY(opened);
    QVERIFY(opened->chartModel().sameData(saved));
    QCOMPARE(opened->chartModel().annotations, saved.annotations);
    QCOMPARE(opened->chartModel().yScale, saved.yScale);
    QCOMPARE(opened->fields().dataNo, QString("12"));
    QCOMPARE(opened->fields().max, g.fields().max);
    QCOMPARE(opened->fields().avgAll, g.fields().avgAll);
    QCOMPARE(opened->fields().samplingRate, QString("1.0")); // 11 s over 11 steps
    // The cursors stand where the file keeps them, as its report and audexa-cli place them.
    const QString from = QFileInfo(file + ".GHF").absoluteFilePath();
    ChartModel stored;
    QVERIFY(ChartBlock::load(GraphFile::read(from).block.value_or(QByteArray()), stored));
    QCOMPARE(CursorPlacement::initial(stored), (CursorPlacement::Indexes { 2, 8 }));
    QCOMPARE(opened->fields().cursorA, g.fields().cursorA);
    QCOMPARE(opened->fields().cursorATime, g.fields().cursorATime);
    QCOMPARE(opened->fields().avgAB, g.fields().avgAB);
}

void TestGraphWindow::badGraphFileMakesNoWindow()
{
    Rig rig;
    const QString file = rig.dir.filePath("short.ghf");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("\x10\x00", 2);
    f.close();
    const int windows = rig.window->mdiArea().subWindowList().size();
    QVERIFY(!rig.window->files().OpenGraphFile(file));
    QCOMPARE(rig.prompts.errors.last(),
             QString("Stream read error: \"%1\": the file is 2 bytes long, too short to hold a "
                     "length.")
                 .arg(file));
    QCOMPARE(rig.window->mdiArea().subWindowList().size(), windows);
}

void TestGraphWindow::pictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("starts"); // empty: refused with a message
    QTest::newRow("PNG") << "graph.png" << QByteArray("\x89PNG");
    QTest::newRow("SVG") << "graph.SVG" << QByteArray("<?xml");
    QTest::newRow("PDF") << "graph.pdf" << QByteArray("%PDF");
    QTest::newRow("other") << "graph.bmp" << QByteArray();
    QTest::newRow("no folder") << "missing/graph.png" << QByteArray();
}

// Save Picture writes the chart as the name's type says; Copy Picture puts it on the clipboard
// at the size shown.
void TestGraphWindow::pictures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, starts);
    Rig rig;
    rig.record(5);
    const QString file = rig.dir.filePath(name);
    rig.prompts.fileNames = { file };
    QSize offered;
    rig.prompts.dialogHandler = [&](QDialog &dialog) {
        auto &size = dynamic_cast<TfrmPictureSize &>(dialog);
        offered = size.size();
        size.setSize({ 480, 270 });
        return int(QDialog::Accepted);
    };
    QCOMPARE(rig.graph().SavePicture1Click(), !starts.isEmpty());
    QCOMPARE(offered, Rig::control<PESGraph>(rig.graph(), "PESGraph1").size());
    QFile written(file);
    if (starts.isEmpty()) {
        QVERIFY(!written.exists());
        QVERIFY(rig.prompts.errors.last().contains(QDir::toNativeSeparators(file)));
        return;
    }
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.read(starts.size()) == starts);
    QVERIFY(written.size() > 1000);
    if (name.endsWith(".png"))
        QCOMPARE(QImage(file).size(), QSize(480, 270));
    rig.action("CopyPicture1").trigger();
    const QImage copied = QApplication::clipboard()->image();
    QCOMPARE(copied.size(), Rig::control<PESGraph>(rig.graph(), "PESGraph1").size());
}
