#include "logger/ui/overlaycommands.h"

#include "base/appfolders.h"
#include "base/celltable.h"
#include "base/datetimedays.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "chart/chartblock.h"
#include "files/filefilters.h"
#include "files/graphfile.h"
#include "files/textexport.h"
#include "files/textimport.h"
#include "files/wholefile.h"
#include "graph/ui/tfrmgraph.h"
#include "logger/datasetrows.h"
#include "logger/tabletograph.h"
#include "logger/ui/dataloggercontroller.h"
#include "logger/ui/tfrmlist.h"
#include "logger/ui/tfrmoverlay.h"
#include "survey/graphsource.h"
#include "survey/overlayplacement.h"

#include <QFileInfo>
#include <QLocale>

namespace {

QStringList dataSetRows(const LoggerData &data)
{
    const QLocale locale = QLocale::system();
    QStringList rows;
    for (int i = 0; i < data.setCount(); ++i) {
        const auto s = std::size_t(i);
        rows << QStringLiteral("Set %1    %2    %3 readings, every %4 s")
                    .arg(i + 1)
                    .arg(DateTimeDays::dateTimeText(data.setStartTimes[s]))
                    .arg(locale.toString(data.setCounts[s]))
                    .arg(data.setIntervals[s]);
    }
    return rows;
}

// The median spacing of the points' X, as a graph of them would take it for its figures.
std::optional<double> spacingOf(const std::vector<double> &xs, const std::vector<float> &ys)
{
    ChartModel chart;
    chart.setSubsets(1);
    chart.setPoints(int(xs.size()));
    chart.setSeries(0, xs, ys);
    return medianSpacingSeconds(chart);
}

} // namespace

OverlayCommands::OverlayCommands(WindowServices &services, const DataLoggerController &logger)
    : m_services(services)
    , m_logger(logger)
{
}

bool OverlayCommands::OverlayClick(TfrmGraph &graph)
{
    Prompts &prompts = m_services.prompts();
    const ChartModel &chart = graph.chartModel();
    const QColor color = OverlayPlacement::colorBeside(chart.subsetColor(0));
    const QString folder = m_services.folders().dialogFolder();
    TfrmOverlay dialog(
        dataSetRows(m_logger.data()), color,
        [&prompts, folder](TfrmOverlay::Source kind) {
            return kind == TfrmOverlay::Source::GraphFile
                ? prompts.openFileName(QStringLiteral("Overlay a graph file"), folder,
                                       FileFilters::fromPairs(QStringLiteral("Graph file|*.GHF")))
                : prompts.openFileName(
                    QStringLiteral("Overlay a text file"), folder,
                    FileFilters::tableFilter(FileFilters::systemUsesDecimalComma()));
        },
        m_services.dialogParent());
    if (prompts.execDialog(dialog) != QDialog::Accepted
        || dialog.source() == TfrmOverlay::Source::None)
        return false;

    std::optional<Measurement> read;
    QString name;
    switch (dialog.source()) {
    case TfrmOverlay::Source::DataSet:
        read = readDataSet(dialog.dataSet());
        name = QStringLiteral("Data set %1").arg(dialog.dataSet() + 1);
        break;
    case TfrmOverlay::Source::GraphFile:
        read = readGraphFile(dialog.fileName(), chart.dateTimeX);
        name = WholeFile::shownName(dialog.fileName());
        break;
    case TfrmOverlay::Source::TextFile:
        read = readTextFile(dialog.fileName());
        name = WholeFile::shownName(dialog.fileName());
        break;
    case TfrmOverlay::Source::None:
        break;
    }
    if (!read)
        return false;
    if (!OverlayPlacement::firstValidX(read->xs, read->ys)) {
        prompts.showError(QStringLiteral("\"%1\" has no valid level to overlay.").arg(name));
        return false;
    }
    const std::optional<double> shift
        = OverlayPlacement::shiftFor(dialog.alignment(), chart, read->xs, read->ys);
    if (!shift) {
        prompts.showError(QStringLiteral("The graph has no valid level to align the start of "
                                         "\"%1\" with.")
                              .arg(name));
        return false;
    }

    // Levels of another weighting or response do not compare directly: the legend says so.
    const QString difference
        = levelKindDifference(LevelKind::of(chart.source, chart.yAxisLabel), read->kind);
    OverlaySeries overlay;
    overlay.label = overlayLabel(dialog.label(), difference);
    overlay.color = color;
    overlay.alignment = dialog.alignment();
    overlay.shift = *shift;
    overlay.interval = read->interval.value_or(0.0);
    overlay.xs = std::move(read->xs);
    overlay.ys = std::move(read->ys);
    const bool within = OverlayPlacement::anyPointWithin(
        chart,
        chart.xScale.manual
            ? std::optional<OverlayPlacement::XRange>({ chart.xScale.min, chart.xScale.max })
            : std::nullopt,
        overlay);
    graph.setOverlay(std::move(overlay));
    if (!difference.isEmpty())
        prompts.showMessage(QStringLiteral("\"%1\" is %2 and the graph %3: their levels do not "
                                           "compare directly.")
                                .arg(dialog.label().trimmed(), read->kind.text(),
                                     LevelKind::of(chart.source, chart.yAxisLabel).text()));
    if (!within)
        prompts.showMessage(QStringLiteral("No level of \"%1\" falls within the graph's time span "
                                           "by clock time. Align it by start to compare the two.")
                                .arg(name));
    return true;
}

std::optional<OverlayCommands::Measurement> OverlayCommands::readDataSet(int set) const
{
    const LoggerData &data = m_logger.data();
    if (set < 0 || set >= data.setCount()) {
        m_services.prompts().showError(
            QStringLiteral("Data set %1 is no longer open.").arg(set + 1));
        return std::nullopt;
    }
    const auto from = std::size_t(data.setOffset(set));
    const auto count = std::size_t(data.setCounts[std::size_t(set)]);
    Measurement m;
    m.xs.assign(data.levelTimes.begin() + qsizetype(from),
                data.levelTimes.begin() + qsizetype(from + count));
    m.ys.assign(data.levels.begin() + qsizetype(from),
                data.levels.begin() + qsizetype(from + count));
    if (std::size_t(set) < data.setFlags.size()) {
        const quint8 flags = data.setFlags[std::size_t(set)];
        m.kind = { DataSetRows::weightingText(flags), DataSetRows::responseText(flags) };
    }
    if (const int interval = data.setIntervals[std::size_t(set)]; interval > 0)
        m.interval = interval;
    else
        m.interval = spacingOf(m.xs, m.ys);
    return m;
}

std::optional<OverlayCommands::Measurement> OverlayCommands::readGraphFile(const QString &fileName,
                                                                           bool dateTimeX) const
{
    Prompts &prompts = m_services.prompts();
    const GraphFile::ReadResult file = GraphFile::read(fileName);
    if (!file.block) {
        prompts.showError(file.error);
        return std::nullopt;
    }
    ChartModel chart;
    QString error;
    if (!ChartBlock::load(*file.block, chart, &error)) {
        prompts.showError(QStringLiteral("\"%1\" cannot be read as a graph: %2")
                              .arg(WholeFile::shownName(fileName), error));
        return std::nullopt;
    }
    if (chart.subsets() < 1 || chart.dateTimeX != dateTimeX) {
        prompts.showError(QStringLiteral("\"%1\" holds no series over time to overlay.")
                              .arg(WholeFile::shownName(fileName)));
        return std::nullopt;
    }
    // Its first series; an overlay of its own stays in its file.
    Measurement m;
    m.xs = chart.xs(0);
    m.ys = chart.ys(0);
    m.interval = medianSpacingSeconds(chart);
    m.kind = LevelKind::fromAxisTitle(chart.yAxisLabel);
    return m;
}

std::optional<OverlayCommands::Measurement>
OverlayCommands::readTextFile(const QString &fileName) const
{
    Prompts &prompts = m_services.prompts();
    const QString shown = WholeFile::shownName(fileName);
    const QChar separator
        = QLatin1Char(TextExport::separatorForExtension(QFileInfo(fileName).suffix()));
    const TextImport::Result table
        = TextImport::readFile(fileName, separator, TfrmList::Columns, QLocale::system());
    if (!table.error.isEmpty()) {
        prompts.showError(table.error);
        return std::nullopt;
    }
    if (TableToGraph::readingRows(table.table) == 0) {
        prompts.showError(QStringLiteral("\"%1\" holds no readings to overlay.").arg(shown));
        return std::nullopt;
    }
    TableToGraph::Points points = TableToGraph::points(table.table, QLocale::system());
    Measurement m;
    m.interval = spacingOf(points.xs, points.ys);
    m.xs = std::move(points.xs);
    m.ys = std::move(points.ys);
    return m;
}
