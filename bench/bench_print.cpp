// Printing to a PDF file, as the Print command does once its dialogs are answered: a table of
// 65,536 rows as text lines, and a graph of 65,536 points; and the one-page report of a graph of
// 65,536 points, as Report... makes it once its dialogs are answered. Each iteration writes the
// whole file. Run offscreen.
#include "base/celltable.h"
#include "base/datetimedays.h"
#include "base/ui/prompts.h"
#include "base/ui/stringgrid.h"
#include "survey/graphsource.h"
#include "survey/seriesfigures.h"
#include "chart/ui/chartpicture.h"
#include "chart/ui/pesgraph.h"
#include "print/surveyreport.h"
#include "print/ui/printcommands.h"
#include "windowbench.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QFileInfo>
#include <QLocale>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <vector>

namespace {

constexpr int Rows = 65536;

// The dialogs answered at once: print to this PDF file.
class PdfPrompts : public QtPrompts
{
public:
    explicit PdfPrompts(QString file)
        : m_file(std::move(file))
    {
    }
    bool printDialog(QPrinter &printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_file);
        return true;
    }

private:
    QString m_file;
};

// A table window's rows: number, date, time and level, one reading a second.
CellTable readingsTable()
{
    CellTable table(7, Rows + 1);
    table.setCell(0, 0, QStringLiteral("No"));
    table.setCell(1, 0, QStringLiteral("Date"));
    table.setCell(2, 0, QStringLiteral("Time"));
    table.setCell(3, 0, QStringLiteral("Value"));
    const QDateTime start(QDate(2024, 3, 14), QTime(8, 0));
    const QLocale locale = QLocale::system();
    for (int row = 1; row <= Rows; ++row) {
        const QDateTime at = start.addSecs(row);
        table.setCell(0, row, row);
        table.setCell(1, row, locale.toString(at.date(), QLocale::ShortFormat));
        table.setCell(2, row, locale.toString(at.time(), QLocale::LongFormat));
        table.setCell(3, row, QString::number(55.0 + (row % 400) * 0.1, 'f', 1));
    }
    return table;
}

void BM_PrintTable(benchmark::State &state)
{
    StringGrid grid;
    grid.adoptTable(readingsTable());
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("table.pdf"));
    PdfPrompts prompts(file);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    for (auto _ : state)
        if (!PrintCommands::PrintTable(grid, prompts, printer))
            state.SkipWithError("the printout was not written");
    state.counters["rows"] = Rows + 1;
    state.counters["KiB"] = double(QFileInfo(file).size()) / 1024.0;
}

// A wandering level, one point a second from 14 March 2024 08:00.
void fillLevels(ChartModel &m)
{
    m.setSubsets(1);
    m.setPoints(Rows);
    std::vector<double> xs(Rows);
    std::vector<float> ys(Rows);
    const double t0 = DateTimeDays::fromDateTime(QDateTime(QDate(2024, 3, 14), QTime(8, 0)));
    double level = 65.0;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        level += double((i * 7919) % 61) / 10.0 - 3.0 + (65.0 - level) * 0.02;
        xs[i] = t0 + double(i) * DateTimeDays::OneSecond;
        ys[i] = float(level);
    }
    m.setSeries(0, xs, ys);
    m.xScale = { true, xs.front(), xs.back() };
    m.yScale = { true, 30.0, 130.0 };
}

void BM_PrintGraph(benchmark::State &state)
{
    PESGraph chart;
    chart.resize(1200, 700);
    chart.show();
    QApplication::processEvents();
    fillLevels(chart.model());
    chart.redrawNow();
    // The customisation dialog is closed at once.
    chart.setDialogRunner([](QDialog &) { return int(QDialog::Rejected); });
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("graph.pdf"));
    PdfPrompts prompts(file);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    for (auto _ : state)
        if (!PrintCommands::PrintGraph(chart, prompts, printer))
            state.SkipWithError("the printout was not written");
    state.counters["points"] = Rows;
    state.counters["KiB"] = double(QFileInfo(file).size()) / 1024.0;
}

// The figures of the whole graph and between the cursors, then the page with the chart, 20
// annotations and an excluded interval.
void BM_Report65536(benchmark::State &state)
{
    PESGraph chart;
    chart.resize(1200, 700);
    chart.show();
    QApplication::processEvents();
    ChartModel &m = chart.model();
    fillLevels(m);
    for (int i = 0; i < 20; ++i)
        m.annotations[i] = { m.x(0, i * 3000), 90.0, i % 2 == 0 ? 2 : 0,
                             QStringLiteral("Event %1").arg(i), Qt::black };
    m.exclusions = { { m.x(0, 30000), m.x(0, 30600), QStringLiteral("Dog barking") } };
    chart.redrawNow();
    const GraphSource source = GraphSource::realTime(1.0);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("report.pdf"));
    for (auto _ : state) {
        const SeriesFigures figures(m, source.intervalOf(m));
        SurveyReport::Contents contents;
        contents.title = QStringLiteral("Survey of a day");
        contents.note = QStringLiteral("Measured at the school gate.");
        contents.made = QDateTime::currentDateTime();
        contents.whole = figures.whole();
        contents.between = figures.between(Rows / 3, 2 * Rows / 3);
        SurveyReport::describeChart(contents, m, source);
        contents.drawGraph = [&chart](QPainter &painter, const QRectF &target) {
            ChartPicture::draw(chart, painter, target);
        };
        if (!SurveyReport::write(contents, file).isEmpty())
            state.SkipWithError("the report was not written");
    }
    state.counters["points"] = Rows;
    state.counters["KiB"] = double(QFileInfo(file).size()) / 1024.0;
}

} // namespace

BENCHMARK(BM_PrintTable)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrintGraph)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Report65536)->Unit(benchmark::kMillisecond)->UseRealTime();

AUDEXA_WINDOW_BENCHMARK_MAIN()
