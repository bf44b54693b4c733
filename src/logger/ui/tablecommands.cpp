#include "logger/ui/tablecommands.h"

#include "base/celltable.h"
#include "base/ui/progresswindow.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "chart/chartmodel.h"
#include "chart/ui/pesgraph.h"
#include "files/textexport.h"
#include "files/textimport.h"
#include "files/wholefile.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/tfrmgraph.h"
#include "logger/tabletograph.h"
#include "logger/ui/tfrmlist.h"

#include <QFileInfo>
#include <QLocale>

namespace {
// A new table window opens at the top right of the client area, clear of the control panel at
// its top left.
QRect tablePlace(const QSize &clientArea)
{
    constexpr int Margin = 24;
    const int x = std::max(0, clientArea.width() - TfrmList::DefaultSize.width() - Margin);
    return { QPoint(x, Margin), TfrmList::DefaultSize };
}
} // namespace

TableCommands::TableCommands(WindowServices &services, GraphWindowFactory &graphs)
    : m_services(services)
    , m_graphs(graphs)
{
}

TfrmList *TableCommands::ImportTextFile(const QString &fileName, const QString &extension)
{
    const QChar separator = QLatin1Char(TextExport::separatorForExtension(extension));
    TextImport::Result result;
    {
        ProgressWindow progress(ProgressWindow::Use::Opening, m_services.dialogParent());
        result = TextImport::readFile(fileName, separator, TfrmList::Columns, QLocale::system(),
                                      &progress);
    }
    if (!result.error.isEmpty()) {
        m_services.prompts().showError(result.error);
        return nullptr;
    }
    // A file that gives no line opens no empty table; a cancel before the first line says
    // nothing more.
    if (result.lines == 0) {
        if (!result.cancelled)
            m_services.prompts().showError(
                QStringLiteral("No line of \"%1\" could be read: %2")
                    .arg(WholeFile::shownName(fileName), result.noLineReason));
        return nullptr;
    }
    auto *list = new TfrmList(m_services);
    list->setWindowTitle(QFileInfo(fileName).absoluteFilePath());
    m_services.addChildWindow(*list, tablePlace(m_services.clientAreaSize()));
    list->showTable(std::move(result.table), result.dateNote);
    if (result.cutLines > 0)
        m_services.prompts().showError(
            QStringLiteral("Lines of \"%1\" longer than %2 characters were cut to their first %2 "
                           "characters: %3 of them.")
                .arg(WholeFile::shownName(fileName), QString::number(TextImport::MaxLineLength),
                     QString::number(result.cutLines)));
    return list;
}

TfrmGraph *TableCommands::btnOutputToGraphClick(MdiChildForm *active)
{
    auto *list = qobject_cast<TfrmList *>(active);
    if (!list)
        return nullptr;
    const CellTable &table = list->table();
    const int n = TableToGraph::readingRows(table);
    if (n == 0) {
        m_services.prompts().showMessage(QStringLiteral("No data to graph !"));
        return nullptr;
    }
    const QLocale locale = QLocale::system();
    const TableToGraph::RowTime start = TableToGraph::rowTime(table, 1, locale);
    const TableToGraph::RowTime end = TableToGraph::rowTime(table, n, locale);
    if (!start.days || !end.days) {
        m_services.prompts().showError(start.days ? end.error : start.error);
        return nullptr;
    }

    TfrmGraph &graph = m_graphs.createGraph(list->windowTitle());
    graph.setSource(GraphSource::file(list->windowTitle()));
    graph.PrepareGraph(1, 130, 30, *end.days, *start.days, n);
    TableToGraph::Points points;
    {
        ProgressWindow progress(ProgressWindow::Use::Graphing, m_services.dialogParent());
        points = TableToGraph::points(table, locale, &progress);
    }
    ChartModel &chart = graph.chartModel();
    chart.setPoints(int(points.xs.size()));
    chart.setSeries(0, points.xs, points.ys);
    m_services.activateChildWindow(graph);
    graph.UpdateGraphStatistics();
    graph.chart().reinitAndReset();
    return &graph;
}
