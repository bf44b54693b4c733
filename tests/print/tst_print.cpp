// Printing: the rows' places on the pages and the printed lines; printouts read back from PDF
// files (poppler-utils); failures; and Print on each kind of window of the main window.

#include "app/ui/mainmenus.h"
#include "base/celltable.h"
#include "base/ui/stringgrid.h"
#include "chart/ui/chartcustomizedialog.h"
#include "chart/ui/pesgraph.h"
#include "common/mainwindowrig.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/tfrmgraph.h"
#include "leq/ui/leqcontroller.h"
#include "leq/ui/tfrmleq.h"
#include "logger/ui/tfrmlist.h"
#include "print/tableprintout.h"
#include "print/ui/printcommands.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QProcess>
#include <QTabWidget>
#include <QTest>

namespace {

using Rows = QList<QStringList>;

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

CellTable tableOf(const Rows &rows)
{
    CellTable table(int(rows.first().size()), int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            table.setCell(c, r, rows[r][c]);
    return table;
}

// A header row and numbered seconds, as the LEQ window shows them.
Rows leqRows(int seconds)
{
    Rows rows { { "No", "Date", "TIME", "SPL", "Leq" } };
    for (int i = 1; i <= seconds; ++i)
        rows << QStringList { QString::number(i), "14.03.24",
                              QTime(8, 0).addSecs(i).toString("hh:mm:ss"),
                              QString::number(60 + i % 17), QString::number(64 + i % 5) };
    return rows;
}

QString poppler(const char *tool, const QStringList &arguments)
{
    QProcess process;
    process.start(QLatin1String(tool), arguments);
    if (!process.waitForFinished(30000))
        qFatal("%s did not run: install poppler-utils (scripts/debian-packages.txt)", tool);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The words of every non-empty line of every page of a PDF file.
QList<Rows> pdfPages(const QString &pdf)
{
    QList<Rows> pages;
    QStringList texts = poppler("pdftotext", { "-layout", pdf, "-" }).split(QLatin1Char('\f'));
    texts.removeLast(); // after the last page's form feed
    for (const QString &text : texts) {
        pages.append(Rows());
        for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            if (!line.trimmed().isEmpty())
                pages.last() << line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    return pages;
}

// A print dialog answered "print to this PDF file".
std::function<bool(QPrinter &)> printTo(const QString &pdf)
{
    return [pdf](QPrinter &printer) {
        printer.setOutputFileName(pdf);
        return true;
    };
}

} // namespace

class TestPrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsOnPages_data();
    void rowsOnPages();
    void printedLine_data();
    void printedLine();
    void pagesOfAPdf_data();
    void pagesOfAPdf();
    void nothingPrinted_data();
    void nothingPrinted();
    void printByWindowKind_data();
    void printByWindowKind();
};

void TestPrint::rowsOnPages_data()
{
    QTest::addColumn<int>("pageHeight");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("top");
    // A line height of 30: 33 rows to a page of 1000, each row ending by 990.
    QTest::newRow("row L-1 ends inside the page") << 1000 << 32 << 0 << 960;
    QTest::newRow("row L starts page 2 at the top") << 1000 << 33 << 1 << 0;
    QTest::newRow("page 3") << 1000 << 70 << 2 << 120;
    QTest::newRow("a page lower than a line takes one row") << 20 << 1 << 1 << 0;
}

void TestPrint::rowsOnPages()
{
    QFETCH(int, pageHeight);
    QFETCH(int, row);
    QFETCH(int, page);
    QFETCH(int, top);
    const TablePrintout::Layout layout = TablePrintout::layout(pageHeight, 30);
    QCOMPARE(layout.pageOf(row), page);
    QCOMPARE(layout.topOf(row), top);
}

void TestPrint::printedLine_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("line"); // of the last row
    const QString ten = "0123456789";
    QTest::newRow("3 characters in column 0: 14 blanks")
        << Rows { { "abc" } } << "abc" + blanks(14);
    QTest::newRow("3 characters in column 2: 28 blanks; a full field: one blank")
        << Rows { { ten, "ABCDEFGHIJKL", "abc" } }
        << ten + " " + "ABCDEFGHIJKL" + " " + "abc" + blanks(28);
    QTest::newRow("the LEQ window's 10-character date: a blank before the time")
        << Rows { { "1", "10/12/2026", "00:08:04", "60.8", "61.2" } }
        << "1" + blanks(18) + "10/12/2026" + " " + "00:08:04" + blanks(18) + "60.8" + blanks(12)
            + "61.2" + blanks(12);
    QTest::newRow("the table window's empty last columns left out")
        << Rows { { "No", "Date", "Time", "Value", "", "", "" }, { "1", "", "", "65", "", "", "" } }
        << "1" + blanks(18 + 20 + 34) + "65" + blanks(16);
    QTest::newRow("the LEQ window's Leq column printed") << leqRows(0)
                                                         << "No" + blanks(16) + "Date" + blanks(12)
            + "TIME" + blanks(26) + "SPL" + blanks(14) + "Leq" + blanks(14);
}

void TestPrint::printedLine()
{
    QFETCH(Rows, rows);
    QFETCH(QString, line);
    const CellTable table = tableOf(rows);
    const int last = table.rowCount() - 1;
    QCOMPARE(TablePrintout::line(table, last, TablePrintout::printedColumns(table)), line);
}

void TestPrint::pagesOfAPdf_data()
{
    // The table's rows (header included) as whole pages of L rows and rows beyond them; the page
    // chosen in the print dialog (0: all).
    QTest::addColumn<int>("fullPages");
    QTest::addColumn<int>("extraRows");
    QTest::addColumn<int>("chosenPage");
    QTest::addColumn<int>("pages");
    QTest::newRow("exactly L rows: one page") << 1 << 0 << 0 << 1;
    QTest::newRow("L + 1 rows: row L starts page 2") << 1 << 1 << 0 << 2;
    QTest::newRow("page 2 of 3 chosen") << 2 << 1 << 2 << 1;
}

void TestPrint::pagesOfAPdf()
{
    QFETCH(int, fullPages);
    QFETCH(int, extraRows);
    QFETCH(int, chosenPage);
    QFETCH(int, pages);
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const int perPage = TablePrintout::layout(printer, TablePrintout::font()).rowsPerPage;
    Rows rows = leqRows(fullPages * perPage + extraRows - 1);
    rows.last()[1] = QStringLiteral("\u2d30"); // a letter the fixed-pitch font may lack
    StringGrid grid;
    grid.setColCount(5);
    grid.setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        grid.setRow(r, rows[r]);
    ScriptedPrompts prompts;
    prompts.printHandler = [&](QPrinter &p) {
        p.setFromTo(chosenPage, chosenPage);
        return printTo(dir.filePath("t.pdf"))(p);
    };
    QVERIFY(PrintCommands::PrintTable(grid, prompts, printer));

    // The rows of the pages printed, in order, L to a page: the header only at the top of page 1.
    const QList<Rows> printed = pdfPages(dir.filePath("t.pdf"));
    QCOMPARE(printed.size(), pages);
    Rows all;
    for (const Rows &page : printed) {
        QVERIFY(page.size() == perPage || &page == &printed.last());
        all += page;
    }
    QCOMPARE(all, chosenPage ? rows.mid((chosenPage - 1) * perPage, perPage) : rows);
}

void TestPrint::nothingPrinted_data()
{
    QTest::addColumn<bool>("graph");
    QTest::addColumn<bool>("answer"); // of the print dialog
    QTest::addColumn<QString>("file");
    QTest::newRow("table, cancelled: nothing said") << false << false << "t.pdf";
    QTest::newRow("table, file not writable: told") << false << true << "no/folder/t.pdf";
    QTest::newRow("graph, cancelled: nothing said") << true << false << "t.pdf";
    QTest::newRow("graph, file not writable: told") << true << true << "no/folder/t.pdf";
}

void TestPrint::nothingPrinted()
{
    QFETCH(bool, graph);
    QFETCH(bool, answer);
    QFETCH(QString, file);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(file);
    ScriptedPrompts prompts;
    prompts.printHandler = [&](QPrinter &p) {
        return printTo(pdf)(p) && answer;
    };
    QPrinter printer(QPrinter::HighResolution);
    StringGrid grid;
    PESGraph chart;
    chart.setDialogRunner([](QDialog &) { return int(QDialog::Accepted); });
    QVERIFY(!(graph ? PrintCommands::PrintGraph(chart, prompts, printer)
                    : PrintCommands::PrintTable(grid, prompts, printer)));
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(prompts.errors.size(), answer ? 1 : 0);
    if (answer)
        QVERIFY(prompts.errors[0].contains(pdf));
}

void TestPrint::printByWindowKind_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("line"); // a line of the printout; none: nothing printed
    QTest::newRow("table window") << "TfrmList" << QStringList { "1", "14.03.24", "65.2" };
    QTest::newRow("LEQ window") << "TfrmLEQ" << QStringList { "No", "Date", "TIME", "SPL", "Leq" };
    QTest::newRow("graph window") << "TfrmGraph" << QStringList { "Noise", "at", "night" };
    QTest::newRow("control panel") << "TfrmPanel" << QStringList {};
    QTest::newRow("no window") << "" << QStringList {};
}

void TestPrint::printByWindowKind()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, line);
    MainWindowRig rig({ .stopMainTimer = true });
    TfrmMain &w = *rig.window;
    // Printer Setup chooses A5 across, which every printout then takes.
    rig.prompts.printerSetupHandler = [](QPrinter &printer) {
        return printer.setPageSize(QPageSize(QPageSize::A5))
            && printer.setPageOrientation(QPageLayout::Landscape);
    };
    w.menus().PrinterSetup1->trigger();
    const QString pdf = rig.dir.filePath("printout.pdf");
    QStringList steps;
    rig.prompts.printHandler = [&](QPrinter &p) {
        return steps << "print", printTo(pdf)(p);
    };

    QWidget *window = nullptr;
    if (kind == "TfrmList") {
        auto *list = new TfrmList(w);
        list->showTable(tableOf({ { "", "", "", "", "", "", "" }, { "1", "14.03.24", "65.2" } }));
        w.addChildWindow(*list, QRect(0, 0, 400, 300));
        window = list;
    } else if (kind == "TfrmLEQ") {
        w.menus().LEQ1->trigger();
        window = w.leq().LeqWindow();
    } else if (kind == "TfrmGraph") {
        PESGraph &chart = w.graphs().RealTimeGraphWindow()->chart();
        chart.model().mainTitle = QStringLiteral("Noise at night");
        chart.redrawNow();
        chart.setDialogRunner([&](QDialog &dialog) {
            steps << static_cast<ChartCustomizeDialog &>(dialog).tabs()->tabText(0);
            return int(QDialog::Rejected);
        });
        window = w.graphs().RealTimeGraphWindow();
    } else if (kind == "TfrmPanel") {
        window = w.PanelWindow;
    }
    w.mdiArea().setActiveSubWindow(window ? qobject_cast<QMdiSubWindow *>(window->parentWidget())
                                          : nullptr);
    QCOMPARE(w.mdiArea().activeSubWindow() ? w.mdiArea().activeSubWindow()->widget() : nullptr,
             window);

    w.menus().Print1->trigger();
    if (line.isEmpty()) {
        QVERIFY(steps.isEmpty());
        QVERIFY(!QFile::exists(pdf));
        return;
    }
    // A graph's customisation dialog comes first, with its Annotations page only.
    const QStringList dialogs
        = kind == "TfrmGraph" ? QStringList { "Annotations", "print" } : QStringList { "print" };
    QCOMPARE(steps, dialogs);
    const QList<Rows> pages = pdfPages(pdf);
    QCOMPARE(pages.size(), 1);
    QVERIFY(pages[0].contains(line));
    QVERIFY(poppler("pdfinfo", { pdf }).contains("595 x 420 pts"));
    QVERIFY(rig.prompts.errors.isEmpty());
    // The toolbar button is the same command.
    w.menus().btnPrint->trigger();
    QCOMPARE(steps.count("print"), 2);
    // The graph window's own Graph Option has all its pages again.
    if (kind == "TfrmGraph") {
        w.graphs().RealTimeGraphWindow()->chart().customize();
        QCOMPARE(steps.last(), QString("Titles"));
    }
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
