// Printing: where the rows of a table go on the pages and what each printed line holds; the
// printout read back from a PDF file (pdftotext, pdfinfo); a graph through the customisation and
// print dialogs; and the Print command on each kind of window of the main window.

#include "app/ui/mainmenus.h"
#include "base/celltable.h"
#include "base/ui/stringgrid.h"
#include "common/mainwindowrig.h"
#include "graph/ui/chartcustomizedialog.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/pesgraph.h"
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
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

CellTable tableOf(const QList<QStringList> &rows)
{
    int cols = 1;
    for (const QStringList &row : rows)
        cols = std::max(cols, int(row.size()));
    CellTable table(cols, int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            table.setCell(c, r, rows[r][c]);
    return table;
}

// Runs a poppler tool on a file and returns what it wrote.
QString poppler(const char *tool, const QStringList &arguments)
{
    const QString program = QStandardPaths::findExecutable(QLatin1String(tool));
    if (program.isEmpty())
        qFatal("%s is missing: install poppler-utils (scripts/debian-packages.txt)", tool);
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The words of each line of each page of a PDF file; empty lines left out.
QList<QList<QStringList>> pdfPages(const QString &pdf)
{
    QList<QList<QStringList>> pages;
    QStringList pageTexts = poppler("pdftotext", { "-layout", pdf, "-" }).split(QLatin1Char('\f'));
    pageTexts.removeLast(); // the text after the last page's form feed
    for (const QString &pageText : pageTexts) {
        QList<QStringList> lines;
        for (const QString &line : pageText.split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty())
                lines << line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        pages << lines;
    }
    return pages;
}

// "Page size: 595.28 x 841.89 pts (A4)" from pdfinfo: the size in whole points.
QSize pdfPageSize(const QString &pdf)
{
    for (const QString &line : poppler("pdfinfo", { pdf }).split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Page size:"))) {
            const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            return QSize(qRound(words[2].toDouble()), qRound(words[4].toDouble()));
        }
    return {};
}

// A print dialog answered "print to this PDF file".
std::function<bool(QPrinter &)> printTo(const QString &pdf)
{
    return [pdf](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
}

// A table as the LEQ window holds it: a header row and numbered seconds.
QList<QStringList> leqRows(int seconds)
{
    QList<QStringList> rows { { "No", "Date", "TIME", "SPL", "Leq" } };
    for (int i = 1; i <= seconds; ++i)
        rows << QStringList { QString::number(i), "14.03.24",
                              QStringLiteral("08:%1:%2")
                                  .arg(i / 60, 2, 10, QLatin1Char('0'))
                                  .arg(i % 60, 2, 10, QLatin1Char('0')),
                              QString::number(60.0 + (i % 17) * 0.5, 'f', 1),
                              QString::number(64.0 + (i % 5) * 0.1, 'f', 1) };
    return rows;
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
    void tableDialogAnswers_data();
    void tableDialogAnswers();
    void graph_data();
    void graph();
    void printByWindowKind_data();
    void printByWindowKind();
};

void TestPrint::rowsOnPages_data()
{
    QTest::addColumn<int>("pageHeight");
    QTest::addColumn<int>("lineHeight");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("rowsPerPage");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("top");

    QTest::newRow("first row at the top") << 1000 << 30 << 0 << 33 << 0 << 0;
    QTest::newRow("row L-1 is the last of page 1") << 1000 << 30 << 32 << 33 << 0 << 960;
    QTest::newRow("row L starts page 2") << 1000 << 30 << 33 << 33 << 1 << 0;
    QTest::newRow("page 3") << 1000 << 30 << 70 << 33 << 2 << 120;
    QTest::newRow("page a whole number of lines") << 990 << 30 << 32 << 33 << 0 << 960;
    QTest::newRow("page lower than a line: a row a page") << 20 << 30 << 1 << 1 << 1 << 0;
}

void TestPrint::rowsOnPages()
{
    QFETCH(int, pageHeight);
    QFETCH(int, lineHeight);
    QFETCH(int, row);
    QFETCH(int, rowsPerPage);
    QFETCH(int, page);
    QFETCH(int, top);
    const TablePrintout::Layout layout = TablePrintout::layout(pageHeight, lineHeight);
    QCOMPARE(layout.rowsPerPage, rowsPerPage);
    QCOMPARE(layout.pageOf(row), page);
    QCOMPARE(layout.topOf(row), top);
    if (lineHeight <= pageHeight)
        QVERIFY(layout.topOf(row) + lineHeight <= pageHeight);
}

void TestPrint::printedLine_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("line");

    const QString ten = "0123456789";
    QTest::newRow("3 characters in column 0: 14 blanks")
        << QList<QStringList> { { "abc" } } << 0 << 1 << "abc" + blanks(14);
    QTest::newRow("3 characters in column 2: 28 blanks")
        << QList<QStringList> { { ten, ten, "abc" } } << 0 << 3 << ten + ten + "abc" + blanks(28);
    QTest::newRow("a full or longer field: no blanks, nothing between")
        << QList<QStringList> { { "ABCDEFGHIJKL", ten, "x" } } << 0 << 3
        << "ABCDEFGHIJKL" + ten + "x" + blanks(32);
    QTest::newRow("an empty cell: its whole field blank")
        << QList<QStringList> { { "", "7" } } << 0 << 2 << blanks(20) + "7" + blanks(18);
    QTest::newRow("the table window: its empty last column left out")
        << QList<QStringList> { { "No", "Date", "Time", "Value", "", "", "" },
                                { "1", "14.03.2024", "08:00:01", "65.2", "", "", "" } }
        << 1 << 4
        << "1" + blanks(18) + "14.03.2024" + "08:00:01" + blanks(18) + "65.2" + blanks(12);
    QTest::newRow("the LEQ window: its Leq column printed") << leqRows(1) << 0 << 5
                                                            << "No" + blanks(16) + "Date"
            + blanks(12) + "TIME" + blanks(26) + "SPL" + blanks(14) + "Leq" + blanks(14);
    QTest::newRow("a column with a text in one row only counts")
        << QList<QStringList> { { "No", "", "", "", "", "x" }, { "1" } } << 1 << 6
        << "1" + blanks(18 + 20 + 34 + 20 + 20 + 20);
    QTest::newRow("an empty table prints empty lines")
        << QList<QStringList> { { "", "" } } << 0 << 0 << QString();
}

void TestPrint::printedLine()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(int, row);
    QFETCH(int, columns);
    QFETCH(QString, line);
    const CellTable table = tableOf(rows);
    QCOMPARE(TablePrintout::printedColumns(table), columns);
    QCOMPARE(TablePrintout::line(table, row, columns), line);
}

void TestPrint::pagesOfAPdf_data()
{
    // The table's rows, header included, as whole pages of L rows and the rows beyond them; the
    // pages chosen in the print dialog (0: all).
    QTest::addColumn<int>("fullPages");
    QTest::addColumn<int>("extraRows");
    QTest::addColumn<int>("fromPage");
    QTest::addColumn<int>("toPage");
    QTest::addColumn<int>("pages");
    QTest::newRow("exactly L rows: one page") << 1 << 0 << 0 << 0 << 1;
    QTest::newRow("L + 1 rows: row L starts page 2") << 1 << 1 << 0 << 0 << 2;
    QTest::newRow("2L + 1 rows: three pages") << 2 << 1 << 0 << 0 << 3;
    QTest::newRow("page 2 of 3 chosen") << 2 << 1 << 2 << 2 << 1;
    QTest::newRow("pages 2 to 5 of 3 chosen") << 2 << 1 << 2 << 5 << 2;
}

void TestPrint::pagesOfAPdf()
{
    QFETCH(int, fullPages);
    QFETCH(int, extraRows);
    QFETCH(int, fromPage);
    QFETCH(int, toPage);
    QFETCH(int, pages);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("table.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const int perPage = TablePrintout::layout(printer, TablePrintout::font()).rowsPerPage;
    QVERIFY(perPage > 10);

    QList<QStringList> rows = leqRows(fullPages * perPage + extraRows - 1);
    // A character the fixed-pitch font may lack, which comes from another font.
    rows.last()[1] = QStringLiteral("\u2d30");
    StringGrid grid;
    grid.setColCount(5);
    grid.setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        grid.setRow(r, rows[r]);
    ScriptedPrompts prompts;
    prompts.printHandler = [&](QPrinter &p) {
        if (fromPage > 0)
            p.setFromTo(fromPage, toPage);
        return printTo(pdf)(p);
    };
    QVERIFY(PrintCommands::PrintTable(grid, prompts, printer));
    QVERIFY(prompts.errors.isEmpty());

    // Every row of the pages printed in order, L to a page, the header once at the top of page 1;
    // every word of the grid is there, the LEQ window's "Leq" column too.
    const int first = std::max(1, fromPage) - 1;
    const QList<QStringList> expected
        = rows.mid(first * perPage, toPage > 0 ? (toPage - first) * perPage : -1);
    const QList<QList<QStringList>> printed = pdfPages(pdf);
    QCOMPARE(printed.size(), pages);
    QList<QStringList> all;
    for (const QList<QStringList> &page : printed) {
        QVERIFY(page.size() == perPage || &page == &printed.last());
        all += page;
    }
    QCOMPARE(all, expected);
}

void TestPrint::tableDialogAnswers_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("file"); // relative to a temporary folder
    QTest::addColumn<bool>("printed");
    QTest::newRow("cancelled: nothing printed, nothing said") << false << "t.pdf" << false;
    QTest::newRow("a file that cannot be written: told") << true << "no/such/folder/t.pdf" << false;
}

void TestPrint::tableDialogAnswers()
{
    QFETCH(bool, answer);
    QFETCH(QString, file);
    QFETCH(bool, printed);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(file);
    StringGrid grid;
    grid.setRow(0, { "No" });
    QPrinter printer(QPrinter::HighResolution);
    ScriptedPrompts prompts;
    prompts.printHandler = [&](QPrinter &p) {
        return printTo(pdf)(p), answer;
    };
    QCOMPARE(PrintCommands::PrintTable(grid, prompts, printer), printed);
    QCOMPARE(prompts.printDialogs, 1);
    QCOMPARE(QFile::exists(pdf), printed);
    if (!answer) {
        QVERIFY(prompts.errors.isEmpty());
    } else {
        QCOMPARE(prompts.errors.size(), 1);
        QVERIFY2(prompts.errors[0].contains(QDir::toNativeSeparators(pdf)),
                 qPrintable(prompts.errors[0]));
    }
}

void TestPrint::graph_data()
{
    QTest::addColumn<int>("customization"); // the customisation dialog's answer
    QTest::addColumn<bool>("print"); // the print dialog's answer
    QTest::addColumn<bool>("printed");
    QTest::newRow("customisation cancelled, then printed")
        << int(QDialog::Rejected) << true << true;
    QTest::newRow("customisation accepted, print cancelled")
        << int(QDialog::Accepted) << false << false;
}

void TestPrint::graph()
{
    QFETCH(int, customization);
    QFETCH(bool, print);
    QFETCH(bool, printed);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("graph.pdf");
    PESGraph chart;
    chart.resize(800, 500);
    ChartModel &m = chart.model();
    m.setSubsets(1);
    m.setPoints(3);
    m.setSeries(0, { 45000.0, 45000.5, 45001.0 }, { 60.0f, 75.5f, 68.0f });
    m.mainTitle = QStringLiteral("Night survey");
    chart.redrawNow();

    // The customisation dialog first, with only what is left when its four pages are off.
    QStringList steps;
    chart.setDialogRunner([&](QDialog &dialog) {
        QTabWidget *tabs = static_cast<ChartCustomizeDialog &>(dialog).tabs();
        QStringList pages;
        for (int i = 0; i < tabs->count(); ++i)
            pages << tabs->tabText(i);
        steps << "customize: " + pages.join(',');
        return customization;
    });
    ScriptedPrompts prompts;
    prompts.printHandler = [&](QPrinter &p) {
        steps << "print dialog";
        return printTo(pdf)(p), print;
    };
    QPrinter printer(QPrinter::HighResolution);
    QCOMPARE(PrintCommands::PrintGraph(chart, prompts, printer), printed);
    QCOMPARE(steps, (QStringList { "customize: Annotations", "print dialog" }));
    QCOMPARE(QFile::exists(pdf), printed);
    if (printed) {
        const QList<QList<QStringList>> pages = pdfPages(pdf);
        QCOMPARE(pages.size(), 1);
        QVERIFY(pages[0].contains(QStringList { "Night", "survey" }));
    }

    // The four pages are back for the window's own Graph Option.
    chart.customize();
    QCOMPARE(steps.last(), QString("customize: Titles,Subsets,Look,Fonts,Annotations"));
}

void TestPrint::printByWindowKind_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("printDialogs");
    QTest::addColumn<QStringList>("line"); // a line of the printout; empty: nothing printed
    QTest::newRow("table window") << "TfrmList" << 1
                                  << QStringList { "1", "14.03.24", "08:00:01", "65.2" };
    QTest::newRow("LEQ window") << "TfrmLEQ" << 1
                                << QStringList { "No", "Date", "TIME", "SPL", "Leq" };
    QTest::newRow("graph window") << "TfrmGraph" << 1 << QStringList { "Noise", "at", "night" };
    QTest::newRow("control panel") << "TfrmPanel" << 0 << QStringList {};
    QTest::newRow("no window") << "" << 0 << QStringList {};
}

void TestPrint::printByWindowKind()
{
    QFETCH(QString, kind);
    QFETCH(int, printDialogs);
    QFETCH(QStringList, line);
    MainWindowRig rig({ .stopMainTimer = true });
    TfrmMain &w = *rig.window;
    const QString pdf = rig.dir.filePath("printout.pdf");
    // Printer Setup chooses A5 across; every printout then comes on that paper.
    rig.prompts.printerSetupHandler = [](QPrinter &printer) {
        printer.setPageSize(QPageSize(QPageSize::A5));
        printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    };
    w.menus().PrinterSetup1->trigger();
    rig.prompts.printHandler = printTo(pdf);

    QWidget *window = nullptr;
    if (kind == "TfrmList") {
        auto *list = new TfrmList(w);
        list->showTable(
            tableOf({ { "", "", "", "", "", "", "" }, { "1", "14.03.24", "08:00:01", "65.2" } }));
        w.addChildWindow(*list, QRect(0, 0, 400, 300));
        window = list;
    } else if (kind == "TfrmLEQ") {
        w.menus().LEQ1->trigger();
        window = w.leq().LeqWindow();
        w.leq().LeqWindow()->appendRow(leqRows(1).last());
    } else if (kind == "TfrmGraph") {
        TfrmGraph *graph = w.graphs().RealTimeGraphWindow();
        graph->chart().model().mainTitle = QStringLiteral("Noise at night");
        graph->chart().redrawNow();
        graph->chart().setDialogRunner([](QDialog &) { return int(QDialog::Rejected); });
        window = graph;
    } else if (kind == "TfrmPanel") {
        window = w.PanelWindow;
    }
    QVERIFY(!window || window->metaObject()->className() == kind);
    w.mdiArea().setActiveSubWindow(nullptr);
    if (window)
        w.mdiArea().setActiveSubWindow(qobject_cast<QMdiSubWindow *>(window->parentWidget()));

    // The menu item and the toolbar button are the same command.
    w.menus().Print1->trigger();
    QCOMPARE(rig.prompts.printDialogs, printDialogs);
    QCOMPARE(QFile::exists(pdf), !line.isEmpty());
    if (line.isEmpty())
        return;
    QFile::remove(pdf);
    w.menus().btnPrint->trigger();
    QCOMPARE(rig.prompts.printDialogs, 2 * printDialogs);
    const QList<QList<QStringList>> pages = pdfPages(pdf);
    QCOMPARE(pages.size(), 1);
    QVERIFY2(pages[0].contains(line), qPrintable(poppler("pdftotext", { "-layout", pdf, "-" })));
    QCOMPARE(pdfPageSize(pdf), QSize(595, 420));
    QVERIFY(rig.prompts.errors.isEmpty());
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
