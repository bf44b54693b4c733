// Text files as a user meets them, in the locale the test runs in (CTest runs it in en_US and in
// de_DE): a graph saved as text, the file opened into a table window, the table drawn as a graph,
// the table saved; and the Save and Open commands' dispatch and filters.

#include "app/ui/filecommands.h"
#include "app/ui/mainmenus.h"
#include "base/appstate.h"
#include "base/datetimedays.h"
#include "base/ui/stringgrid.h"
#include "base/ui/tfrmscope.h"
#include "chart/chartmodel.h"
#include "common/mainwindowrig.h"
#include "files/ui/tfrmopensave.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/tfrmgraph.h"
#include "logger/ui/tfrmlist.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

constexpr double Second = 1.0 / 86400.0;
// 8 December 2026, 21:05:07.
constexpr double Start = 46364.0 + (21 * 3600 + 5 * 60 + 7) * Second;

bool german()
{
    return QLocale::system().decimalPoint() == QLatin1String(",");
}

QByteArray readFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Rig : MainWindowRig
{
    Rig()
        : MainWindowRig({ .stopMainTimer = true })
    {
        // The open choice answers "single file"; the range dialog takes everything.
        prompts.dialogHandler = [](QDialog &dialog) {
            if (qobject_cast<TfrmOpenSave *>(&dialog))
                return int(TfrmOpenSave::No);
            return int(QDialog::Accepted);
        };
    }
    QString file(const char *name) const { return dir.filePath(QLatin1String(name)); }
    void activate(QWidget &form)
    {
        window->mdiArea().setActiveSubWindow(qobject_cast<QMdiSubWindow *>(form.parentWidget()));
    }
    MdiChildForm *active() const
    {
        QMdiSubWindow *frame = window->mdiArea().activeSubWindow();
        return frame ? qobject_cast<MdiChildForm *>(frame->widget()) : nullptr;
    }
    TfrmList *open(const QString &fileName)
    {
        prompts.fileNames << fileName;
        window->Open1Click();
        return qobject_cast<TfrmList *>(active());
    }
    QAction &outputToGraph() { return *window->menus().btnOutputToGraph; }
};

} // namespace

class TestTextWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void graphToTextToTableToGraph();
    void tableWithALeqColumn();
    void oddTextFiles_data();
    void oddTextFiles();
    void saveByWindowKind();
};

void TestTextWindows::graphToTextToTableToGraph()
{
    Rig rig;
    TfrmGraph *graph = rig.window->graphs().RealTimeGraphWindow();
    QVERIFY(graph);
    const std::vector<double> xs { Start, Start + 1.6 * Second, Start + 2.5 * Second };
    const std::vector<float> ys { 67.3f, ChartModel::NullValue, 129.9f }; // a gap between
    graph->chartModel().setPoints(3);
    graph->chartModel().setSeries(0, xs, ys);

    // Save as text: the filter offers CSV only without a decimal comma. Points 2 to 3 alone
    // leave the recording unsaved; all of them save it.
    rig.activate(*graph);
    rig.window->state().RealTimeModified = true;
    rig.prompts.dialogHandler = [](QDialog &dialog) {
        Rig::control<QRadioButton>(dialog, "radNo").setChecked(true);
        Rig::control<QLineEdit>(dialog, "edtSelFrom").setText("2");
        return int(QDialog::Accepted);
    };
    rig.prompts.fileNames << rig.file("part.txt");
    QVERIFY(rig.window->Save1Click());
    QCOMPARE(readFile(rig.file("part.txt")).count('\n'), 2);
    QVERIFY(rig.window->state().RealTimeModified);
    rig.prompts.dialogHandler = [](QDialog &dialog) {
        return qobject_cast<TfrmOpenSave *>(&dialog) ? int(TfrmOpenSave::No)
                                                     : int(QDialog::Accepted);
    };
    rig.prompts.fileNames << rig.file("graph.txt");
    QVERIFY(rig.window->Save1Click());
    QVERIFY(!rig.window->state().RealTimeModified);
    QCOMPARE(rig.prompts.filters.last().contains("EXCEL file format(*.CSV,seperated by comma)"),
             !german());
    QCOMPARE(rig.prompts.defaultSuffixes.last(), QString("GHF"));
    QCOMPARE(readFile(rig.file("graph.txt")),
             german() ? QByteArray("08.12.26\t21:05:07\t67,3\r\n08.12.26\t21:05:09\t\r\n"
                                   "08.12.26\t21:05:09\t129,9\r\n")
                      : QByteArray("12/8/26\t9:05:07 PM\t67.3\r\n12/8/26\t9:05:09 PM\t\r\n"
                                   "12/8/26\t9:05:09 PM\t129.9\r\n"));

    // Open it: a table window captioned with the path, the output button enabled.
    TfrmList *list = rig.open(rig.file("graph.txt"));
    QVERIFY(list);
    QCOMPARE(rig.prompts.dialogs.mid(rig.prompts.dialogs.size() - 2),
             QStringList({ "Open File", "Open" }));
    QCOMPARE(list->windowTitle(), rig.file("graph.txt"));
    QCOMPARE(list->parentWidget()->size(), QSize(405, 460));
    const StringGrid &grid = list->grid();
    QCOMPARE(grid.RowCount(), 4);
    QCOMPARE((QStringList { grid.Cells(0, 0), grid.Cells(1, 0), grid.Cells(2, 0), grid.Cells(3, 0),
                            grid.Cells(0, 3), grid.Cells(3, 3) }),
             (QStringList { "No", "Date", "Time", "Value", "3", german() ? "129,9" : "129.9" }));
    QVERIFY(rig.outputToGraph().isEnabled());

    // Drawn as a graph: the same points, to the second, the gap again a null point.
    rig.outputToGraph().trigger();
    auto *drawn = qobject_cast<TfrmGraph *>(rig.active());
    QVERIFY(drawn && drawn != graph);
    QCOMPARE(drawn->windowTitle(), list->windowTitle());
    QVERIFY(!rig.outputToGraph().isEnabled());
    const ChartModel &chart = drawn->chartModel();
    QCOMPARE(chart.points(), 3);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(std::abs(chart.x(0, i) - DateTimeDays::roundedToSecond(xs[std::size_t(i)]))
                < 0.001 * Second);
        QCOMPARE(chart.y(0, i), ys[std::size_t(i)]);
    }

    // The table saved: each line ends with the separator; CSV by the name's last letters.
    rig.activate(*list);
    QVERIFY(rig.outputToGraph().isEnabled());
    const QString tableName = rig.file(german() ? "table.txt" : "table.csv");
    rig.prompts.fileNames << tableName;
    QVERIFY(rig.window->Save1Click());
    QCOMPARE(rig.prompts.filters.last().contains("EXCEL"), !german());
    QCOMPARE(rig.prompts.filters.last().startsWith(" TXT file"), german());
    QCOMPARE(rig.prompts.defaultSuffixes.last(), QString("TXT"));
    QCOMPARE(readFile(tableName).split('\n').first(),
             german() ? QByteArray("08.12.26\t21:05:07\t67,3\t\t\t\t\r")
                      : QByteArray("12/8/26,9:05:07 PM,67.3,,,,\r"));
}

void TestTextWindows::tableWithALeqColumn()
{
    Rig rig;
    const QByteArray lines = german() ? "08.12.26\t21:05:07\t50,0\t60,0\t\r\n"
                                        "08.12.26\t21:05:08\t52,0\t61,5\t\r\n"
                                      : "12/8/26\t9:05:07 PM\t50.0\t60.0\t\r\n"
                                        "12/8/26\t9:05:08 PM\t52.0\t61.5\t\r\n";
    QFile file(rig.file("leq.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(lines) == lines.size());
    file.close();
    TfrmList *list = rig.open(file.fileName());
    QVERIFY(list);
    QCOMPARE(list->grid().Cells(3, 0), QString("SPL"));
    QCOMPARE(list->grid().Cells(4, 0), QString("Leq"));
    rig.outputToGraph().trigger();
    auto *drawn = qobject_cast<TfrmGraph *>(rig.active());
    QVERIFY(drawn);
    QCOMPARE(drawn->chartModel().ys(0), (std::vector<float> { 60.0f, 61.5f }));
}

void TestTextWindows::oddTextFiles_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("opens"); // a table window
    QTest::addColumn<QString>("error"); // the last error shown; empty: none
    const QString noTab = "No line of \"%1\" could be read: its first line holds no tab.";
    QTest::newRow("empty") << QByteArray() << false
                           << "No line of \"%1\" could be read: the file is empty.";
    QTest::newRow("a megabyte of NUL bytes") << QByteArray(1 << 20, '\0') << false << noTab;
    QTest::newRow("no separator") << QByteArray("no separator here\r\n") << false << noTab;
    QTest::newRow("a first row without a date") << QByteArray("\tx\r\n") << true << QString();
    QTest::newRow("a line of a megabyte")
        << "\t" + QByteArray(1 << 20, 'x') + "\r\n"
        << true
        << "Lines of \"%1\" longer than 179 characters were cut to their first 179 characters: 1 "
           "of them.";
}

void TestTextWindows::oddTextFiles()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, opens);
    QFETCH(QString, error);
    Rig rig;
    QFile file(rig.file("table.TXT")); // the extension in capitals is still text
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    const int windows = int(rig.window->mdiArea().subWindowList().size());
    TfrmList *list = rig.open(file.fileName());
    const QString shown = QDir::toNativeSeparators(file.fileName());
    QCOMPARE(rig.prompts.errors.value(0), error.isEmpty() ? error : error.arg(shown));
    QCOMPARE(bool(list), opens);
    QCOMPARE(int(rig.window->mdiArea().subWindowList().size()), windows + (opens ? 1 : 0));
    if (list) {
        QVERIFY(list->grid().Cells(2, 1).size() <= 179);
        rig.outputToGraph().trigger();
        QCOMPARE(rig.prompts.messages.last(), QString("No data to graph !"));
    }

    // A file that cannot be read says so, and makes no window.
    const int before = int(rig.window->mdiArea().subWindowList().size());
    rig.open(rig.file("missing.txt"));
    QVERIFY(rig.prompts.errors.last().contains("missing.txt"));
    QCOMPARE(int(rig.window->mdiArea().subWindowList().size()), before);
}

void TestTextWindows::saveByWindowKind()
{
    Rig rig;
    // The control panel has nothing to save: no dialog.
    rig.activate(*rig.window->PanelWindow);
    const int dialogs = int(rig.prompts.dialogs.size());
    QVERIFY(!rig.window->Save1Click());
    QCOMPARE(int(rig.prompts.dialogs.size()), dialogs);

    // A graph: a name without a known extension is refused with a message; ".CSV" in capitals
    // is a CSV file.
    TfrmGraph *graph = rig.window->graphs().RealTimeGraphWindow();
    graph->chartModel().setPoints(1);
    graph->chartModel().setSeries(0, { Start }, { 40.0f });
    rig.activate(*graph);
    rig.prompts.fileNames << rig.file("graph.doc");
    QVERIFY(!rig.window->Save1Click());
    QVERIFY(rig.prompts.errors.last().contains("graph.doc"));
    QVERIFY(!QFile::exists(rig.file("graph.doc")));
    // ".CSV" in capitals is a CSV file; where decimals have a comma, it is refused.
    rig.prompts.fileNames << rig.file("GRAPH.CSV");
    QCOMPARE(rig.window->Save1Click(), !german());
    QCOMPARE(readFile(rig.file("GRAPH.CSV")),
             german() ? QByteArray() : QByteArray("12/8/26,9:05:07 PM,40.0\r\n"));
    if (german())
        QVERIFY(rig.prompts.errors.last().contains("comma"));

    // A file that cannot be written says so, with its name.
    rig.prompts.fileNames << rig.file("no/such/folder/graph.txt");
    QVERIFY(!rig.window->Save1Click());
    QVERIFY(rig.prompts.errors.last().contains("graph.txt"));

    // The open choice names the single-file types the locale offers.
    TfrmOpenSave choice;
    choice.forOpening(german());
    QCOMPARE(choice.btnOpenSingleSet->text(),
             german() ? QString("Open single data flle(*.TXT,*.GHF)")
                      : QString("Open single data file(*.TXT,*.CSV,*.GHF)"));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestTextWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_textwindows.moc"
