// "Overlay..." as a user drives it on a graph window of the main window: a graph file, a text
// file or a data set of the downloaded collection drawn over the graph by clock time or by
// start, its figures in the panel's own column and in "Export Figures", kept through saving and
// opening the graph file, and sources that cannot be used refused with the graph unchanged.

#include "app/ui/filecommands.h"
#include "app/ui/mainmenus.h"
#include "app/ui/tfrmmain.h"
#include "base/datetimedays.h"
#include "chart/chartblock.h"
#include "chart/ui/pesgraph.h"
#include "common/mainwindowrig.h"
#include "files/graphfile.h"
#include "files/textexport.h"
#include "files/wholefile.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/tfrmgraph.h"
#include "logger/ui/dataloggercontroller.h"
#include "logger/ui/tfrmoverlay.h"
#include "survey/overlayplacement.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <qcustomplot.h>

namespace {

const double GraphStart = DateTimeDays::fromDateTime(QDate(2026, 12, 9), QTime(8, 0));
const double OverlayStart = DateTimeDays::fromDateTime(QDate(2026, 12, 8), QTime(14, 0));

// The second measurement: four points 2 s apart, the second one null.
std::vector<double> overlayXs()
{
    std::vector<double> xs;
    for (int i = 0; i < 4; ++i)
        xs.push_back(OverlayStart + 2 * i * DateTimeDays::OneSecond);
    return xs;
}
const std::vector<float> OverlayYs { 60.0f, ChartModel::NullValue, 70.0f, 60.0f };

struct Rig : MainWindowRig
{
    Rig()
        : MainWindowRig({ .seed = 3, .stopMainTimer = true, .size = QSize(1280, 800) })
    {
    }
    // A graph of five points of 50 dB a second apart, its first 10 s excluded.
    TfrmGraph &graph()
    {
        TfrmGraph &g = window->graphs().createGraph(QStringLiteral("survey"));
        std::vector<double> xs;
        for (int i = 0; i < 5; ++i)
            xs.push_back(GraphStart + i * DateTimeDays::OneSecond);
        g.PrepareGraph(1, 130, 30, xs.back(), xs.front(), 5);
        g.chartModel().setSeries(0, xs, std::vector<float>(5, 50.0f));
        g.chartModel().exclusions
            = { { GraphStart, GraphStart + 10 * DateTimeDays::OneSecond, QStringLiteral("door") } };
        g.UpdateGraphStatistics();
        g.chart().redrawNow();
        return g;
    }
    QString file(const char *name) { return dir.filePath(QLatin1String(name)); }
    void writeGraphFile(const QString &name, const std::vector<float> &ys,
                        const QString &levelTitle = QStringLiteral("Level (dB)"))
    {
        ChartModel chart;
        chart.yAxisLabel = levelTitle;
        chart.setSubsets(1);
        chart.setPoints(int(ys.size()));
        chart.setSeries(0, overlayXs(), ys);
        QVERIFY(GraphFile::write(name, ChartBlock::save(chart)).isEmpty());
    }
    // Picks a source in the "Overlay" dialog and accepts it.
    void answer(const std::function<void(TfrmOverlay &)> &fill)
    {
        prompts.dialogHandler = [fill](QDialog &dialog) {
            auto *overlay = qobject_cast<TfrmOverlay *>(&dialog);
            if (!overlay)
                return int(QDialog::Rejected);
            fill(*overlay);
            return int(QDialog::Accepted);
        };
    }
    void answerFile(TfrmOverlay::Source kind, const QString &name, OverlayAlignment alignment)
    {
        prompts.fileNames = { name };
        answer([kind, alignment](TfrmOverlay &d) {
            QVERIFY(d.chooseFile(kind));
            d.setAlignment(alignment);
        });
    }
    static void overlay(TfrmGraph &g) { control<QAction>(g, "Overlay1").trigger(); }
};

// The overlay's points as drawn: the last graph of the plot, its keys back in days.
std::vector<QCPGraphData> drawn(TfrmGraph &g)
{
    QCustomPlot &plot = g.chart().plot();
    const auto data = plot.graph(plot.graphCount() - 1)->data();
    return std::vector<QCPGraphData>(data->constBegin(), data->constEnd());
}

double days(const QCPGraphData &point)
{
    return point.key / DateTimeDays::SecondsPerDay + DateTimeDays::UnixEpochDays;
}

QString exportedLine(const QString &name)
{
    for (const QString &line : QApplication::clipboard()->text().split('\n'))
        if (line.startsWith(name + '\t'))
            return line;
    return {};
}

} // namespace

class TestOverlay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filesOverlaid_data();
    void filesOverlaid();
    void levelKinds_data();
    void levelKinds();
    void unusableSourcesRefused_data();
    void unusableSourcesRefused();
    void dataSetOfTheCollection();
    void shifts_data();
    void shifts();
};

void TestOverlay::filesOverlaid_data()
{
    QTest::addColumn<bool>("text");
    QTest::addColumn<OverlayAlignment>("alignment");
    QTest::addColumn<double>("firstDrawn");

    // By clock time the day before's afternoon moves onto the graph's day, at the same time.
    QTest::newRow("graph file by clock")
        << false << OverlayAlignment::ClockTime << OverlayStart + 1.0;
    QTest::newRow("graph file by start") << false << OverlayAlignment::Start << GraphStart;
    QTest::newRow("text file by clock")
        << true << OverlayAlignment::ClockTime << OverlayStart + 1.0;
    QTest::newRow("text file by start") << true << OverlayAlignment::Start << GraphStart;
}

void TestOverlay::filesOverlaid()
{
    QFETCH(bool, text);
    QFETCH(OverlayAlignment, alignment);
    QFETCH(double, firstDrawn);
    Rig rig;
    QString name = rig.file("evening.ghf");
    if (text) {
        name = rig.file("evening.txt");
        const TextExport::Lines lines
            = TextExport::graphLines(overlayXs(), OverlayYs, { 1, 4 }, '\t', QLocale::system());
        QVERIFY(WholeFile::write(name, lines.bytes).isEmpty());
    } else {
        rig.writeGraphFile(name, OverlayYs);
    }
    TfrmGraph &graph = rig.graph();
    QVERIFY(Rig::control<QLabel>(graph, "lblOverlayFigures").isHidden());
    rig.answerFile(text ? TfrmOverlay::Source::TextFile : TfrmOverlay::Source::GraphFile, name,
                   alignment);
    Rig::overlay(graph);
    QVERIFY(rig.prompts.errors.isEmpty());
    QVERIFY(graph.chartModel().overlay);
    QCOMPARE(graph.chartModel().overlay->label, QString("evening"));
    // By clock time it lies in the afternoon, after the graph's morning: the user is told.
    QCOMPARE(rig.prompts.messages.size(), alignment == OverlayAlignment::ClockTime ? 1 : 0);

    graph.chart().redrawNow();
    const std::vector<QCPGraphData> points = drawn(graph);
    QCOMPARE(points.size(), std::size_t(4));
    QVERIFY(std::abs(days(points[0]) - firstDrawn) < 1e-3 * DateTimeDays::OneSecond);
    QVERIFY(std::abs(days(points[3]) - firstDrawn - 6 * DateTimeDays::OneSecond)
            < 1e-3 * DateTimeDays::OneSecond);
    QVERIFY(std::isnan(points[1].value)); // the null point is a gap

    // Its figures with its own interval of 2 s, and the graph's excluded interval not applied.
    QVERIFY(!Rig::control<QLabel>(graph, "lblOverlayFigures").isHidden());
    QVERIFY(Rig::control<QAction>(graph, "RemoveOverlay1").isEnabled());
    graph.ExportFiguresClick();
    QCOMPARE(exportedLine("N"), QString("N\t0\t0\t3"));
    QCOMPARE(exportedLine("T"), QString("T\t0.0\t0.0\t6.0"));
    QCOMPARE(exportedLine("Leq"), QString("Leq\t\t\t66.0"));
    QCOMPARE(exportedLine("Lmax"), QString("Lmax\t\t\t70.0"));
    // Then, after a blank line, how they were worked out.
    QVERIFY(QApplication::clipboard()->text().contains(
        "\n\ndt: 1 s, the median spacing of consecutive points' times.\n"));

    // Saved with the graph file, and there again when it is opened.
    const OverlaySeries overlay = *graph.chartModel().overlay;
    rig.window->activateChildWindow(graph);
    rig.prompts.fileNames = { rig.file("both.ghf") };
    QVERIFY(rig.window->Save1Click());
    QVERIFY(rig.window->files().OpenGraphFile(rig.file("both.ghf")));
    auto *reopened = qobject_cast<TfrmGraph *>(rig.window->mdiArea().activeSubWindow()->widget());
    QVERIFY(reopened && reopened != &graph);
    QCOMPARE(reopened->chartModel().overlay, std::optional<OverlaySeries>(overlay));
    QVERIFY(!Rig::control<QLabel>(*reopened, "lblOverlayFigures").isHidden());

    Rig::control<QAction>(*reopened, "RemoveOverlay1").trigger();
    QVERIFY(!reopened->chartModel().overlay);
    QVERIFY(Rig::control<QLabel>(*reopened, "lblOverlayFigures").isHidden());
    QCOMPARE(reopened->chart().plot().graphCount(), 1);
}

// Levels of another weighting or response are laid on with a word to the user and a note in the
// legend, where both sides say what they are.
void TestOverlay::levelKinds_data()
{
    QTest::addColumn<QString>("graphTitle");
    QTest::addColumn<QString>("overlayTitle");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("message");
    const QString af = "Level (dB(A) FAST)";
    QTest::newRow("same kind") << af << af << "evening"
                               << "";
    QTest::newRow("C on A") << af << "Level (dB(C) FAST)"
                            << "evening (dBC, graph dBA)"
                            << "\"evening\" is dBC FAST and the graph dBA FAST: their levels do "
                               "not compare directly.";
    QTest::newRow("SLOW on FAST") << af << "Level (dB(A) SLOW)"
                                  << "evening (SLOW, graph FAST)"
                                  << "\"evening\" is dBA SLOW and the graph dBA FAST: their "
                                     "levels do not compare directly.";
    QTest::newRow("both differ") << af << "Level (dB(C) SLOW)"
                                 << "evening (dBC SLOW, graph dBA FAST)"
                                 << "\"evening\" is dBC SLOW and the graph dBA FAST: their "
                                    "levels do not compare directly.";
    QTest::newRow("graph says nothing") << "Level (dB)"
                                        << "Level (dB(C) SLOW)"
                                        << "evening"
                                        << "";
}

void TestOverlay::levelKinds()
{
    QFETCH(QString, graphTitle);
    QFETCH(QString, overlayTitle);
    QFETCH(QString, label);
    QFETCH(QString, message);
    Rig rig;
    const QString name = rig.file("evening.ghf");
    rig.writeGraphFile(name, OverlayYs, overlayTitle);
    TfrmGraph &graph = rig.graph();
    graph.chartModel().yAxisLabel = graphTitle;
    rig.answerFile(TfrmOverlay::Source::GraphFile, name, OverlayAlignment::Start);
    Rig::overlay(graph);
    QVERIFY(graph.chartModel().overlay);
    QCOMPARE(graph.chartModel().overlay->label, label);
    QCOMPARE(rig.prompts.messages.join('|'), message);
}

void TestOverlay::unusableSourcesRefused_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes"); // empty: the file does not exist
    QTest::addColumn<QString>("error");

    QByteArray nulls;
    {
        ChartModel chart;
        chart.setSubsets(1);
        chart.setPoints(4);
        chart.setSeries(0, overlayXs(), std::vector<float>(4, ChartModel::NullValue));
        const QByteArray block = ChartBlock::save(chart);
        const quint32 n = quint32(block.size());
        nulls = QByteArray(reinterpret_cast<const char *>(&n), 4) + block;
    }
    QTest::newRow("missing graph file") << "gone.ghf" << QByteArray() << "Cannot open file";
    QTest::newRow("short graph file")
        << "short.ghf" << QByteArray("\x40\0\0\0abc", 7) << "Stream read error";
    QTest::newRow("not a chart") << "junk.ghf" << QByteArray("\x04\0\0\0junk", 8)
                                 << "cannot be read as a graph";
    QTest::newRow("only nulls") << "nulls.ghf" << nulls << "has no valid level to overlay";
    QTest::newRow("text without readings")
        << "notes.txt" << QByteArray("just a note\n") << "holds no readings to overlay";
}

void TestOverlay::unusableSourcesRefused()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    Rig rig;
    const QString name = rig.dir.filePath(fileName);
    if (!bytes.isEmpty())
        QVERIFY(WholeFile::write(name, bytes).isEmpty());
    TfrmGraph &graph = rig.graph();
    OverlaySeries before;
    before.label = QStringLiteral("before");
    before.xs = { GraphStart };
    before.ys = { 55.0f };
    graph.setOverlay(before);
    const ChartModel unchanged = graph.chartModel();
    rig.answerFile(fileName.endsWith(".txt") ? TfrmOverlay::Source::TextFile
                                             : TfrmOverlay::Source::GraphFile,
                   name, OverlayAlignment::Start);
    Rig::overlay(graph);
    QCOMPARE(rig.prompts.errors.size(), 1);
    QVERIFY2(rig.prompts.errors[0].contains(error), qPrintable(rig.prompts.errors[0]));
    QVERIFY(graph.chartModel().sameData(unchanged));
}

void TestOverlay::dataSetOfTheCollection()
{
    Rig rig;
    TfrmGraph &graph = rig.graph();
    // No collection open: the list is disabled and says so.
    rig.answer([](TfrmOverlay &d) {
        QVERIFY(!Rig::control<QListWidget>(d, "lstDataSets").isEnabled());
        Rig::control<QLabel>(d, "lblNoCollection");
    });
    Rig::overlay(graph);
    QVERIFY(!graph.chartModel().overlay);

    rig.connect();
    rig.window->menus().LoadData1->trigger();
    const LoggerData &data = rig.window->dataLogger().data();
    QVERIFY(data.setCount() >= 2);
    rig.answer([](TfrmOverlay &d) {
        d.selectDataSet(1);
        d.setAlignment(OverlayAlignment::Start);
    });
    Rig::overlay(graph);
    QVERIFY(rig.prompts.errors.isEmpty());
    const std::optional<OverlaySeries> &overlay = graph.chartModel().overlay;
    QVERIFY(overlay);
    QCOMPARE(overlay->label, QString("Data set 2"));
    QCOMPARE(overlay->interval, double(data.setIntervals[1]));
    QCOMPARE(int(overlay->xs.size()), data.setCounts[1]);
}

void TestOverlay::shifts_data()
{
    QTest::addColumn<QDateTime>("graph"); // the first valid points
    QTest::addColumn<QDateTime>("overlay");
    QTest::addColumn<OverlayAlignment>("alignment");
    QTest::addColumn<double>("shift"); // days
    const auto at = [](int day, int hour, int minute) {
        return QDateTime(QDate(2026, 12, day), QTime(hour, minute));
    };
    const auto clock = OverlayAlignment::ClockTime;
    QTest::newRow("same day") << at(5, 8, 0) << at(5, 14, 0) << clock << 0.0;
    QTest::newRow("days before") << at(5, 8, 0) << at(2, 9, 0) << clock << 3.0;
    // A night that starts before midnight meets one that starts after it.
    QTest::newRow("before midnight") << at(5, 0, 30) << at(2, 23, 30) << clock << 2.0;
    QTest::newRow("after midnight") << at(5, 23, 30) << at(7, 0, 30) << clock << -1.0;
    QTest::newRow("by start") << at(5, 8, 0) << at(4, 20, 0) << OverlayAlignment::Start << 0.5;
}

// The shift lays the overlay's first valid point where the alignment says, past a null first
// point on either side.
void TestOverlay::shifts()
{
    QFETCH(QDateTime, graph);
    QFETCH(QDateTime, overlay);
    QFETCH(OverlayAlignment, alignment);
    QFETCH(double, shift);
    const double g = DateTimeDays::fromDateTime(graph);
    const double o = DateTimeDays::fromDateTime(overlay);
    ChartModel chart;
    chart.setSubsets(1);
    chart.setPoints(2);
    chart.setSeries(0, { g - 0.25, g }, { ChartModel::NullValue, 60.0f });
    const std::optional<double> got = OverlayPlacement::shiftFor(
        alignment, chart, { o - 0.5, o, o + 0.1 }, { ChartModel::NullValue, 50.0f, 51.0f });
    QVERIFY(got);
    QVERIFY2(std::abs(*got - shift) < 1e-9, qPrintable(QString::number(*got, 'g', 17)));
}

QTEST_MAIN(TestOverlay)
#include "tst_overlay.moc"
