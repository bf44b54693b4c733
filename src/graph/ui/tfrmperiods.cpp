#include "graph/ui/tfrmperiods.h"

#include "base/appstate.h"
#include "base/celltable.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "graph/ui/figuretablemodel.h"
#include "graph/ui/periodbarchart.h"
#include "graph/ui/tfrmgraph.h"
#include "survey/daynightlevels.h"
#include "survey/exceedances.h"
#include "survey/figuretable.h"
#include "survey/periodchoice.h"
#include "survey/periodfigures.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int LeqColumn = 2;

QString periodName(int seconds)
{
    const QString item = PeriodChoice::textOf(seconds);
    return item == QString::number(seconds) ? QStringLiteral("%1 s").arg(seconds) : item;
}

} // namespace

TfrmPeriods::TfrmPeriods(WindowServices &services, TfrmGraph &graph, QWidget *parent)
    : MdiChildForm(parent)
    , m_services(services)
    , m_graph(&graph)
{
    setObjectName(QStringLiteral("TfrmPeriods"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(captionFor(graph));
    resize(1200, 640);

    m_periodModel = new FigureTableModel(this);
    m_dayModel = new FigureTableModel(this);
    grdPeriods = buildTable("grdPeriods", m_periodModel);
    grdDays = buildTable("grdDays", m_dayModel);
    m_lastTable = grdPeriods;
    chtPeriods = new PeriodBarChart(this);
    chtPeriods->setObjectName(QStringLiteral("chtPeriods"));
    chtPeriods->setMinimumHeight(160);

    auto *days = new QWidget(this);
    auto *daysLayout = new QVBoxLayout(days);
    daysLayout->setContentsMargins(0, 0, 0, 0);
    daysLayout->setSpacing(2);
    lblDays = new QLabel(days);
    lblDays->setObjectName(QStringLiteral("lblDays"));
    daysLayout->addWidget(lblDays);
    daysLayout->addWidget(grdDays, 1);
    auto *right = new QSplitter(Qt::Vertical, this);
    right->addWidget(chtPeriods);
    right->addWidget(days);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 1);
    m_tables = new QSplitter(Qt::Horizontal, this);
    QSplitter *tables = m_tables;
    tables->addWidget(grdPeriods);
    tables->addWidget(right);
    tables->setStretchFactor(0, 0);
    tables->setStretchFactor(1, 1);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
    layout->addWidget(buildPeriodBar());
    layout->addWidget(tables, 1);
    layout->addWidget(lblStatus);

    connect(grdPeriods, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { grdPeriodsDblClick(index.row()); });
    connect(&graph, &MdiChildForm::formClosed, this, &MdiChildForm::closeForm);
    connect(&FollowTimer, &QTimer::timeout, this, &TfrmPeriods::FollowTimerTimer);
    FollowTimer.start(FollowIntervalMs);
    // What the user changes on the graph shows at once; a recording's points wait for the timer.
    connect(&graph, &TfrmGraph::limitChanged, this, &TfrmPeriods::FollowTimerTimer);
    connect(&graph, &TfrmGraph::exclusionsChanged, this, &TfrmPeriods::FollowTimerTimer);

    m_period = PeriodChoice::Items[PeriodChoice::DefaultIndex].seconds;
    m_hours = DayEveningNightHours::parse(services.state().dayEveningNightHours)
                  .value_or(DayEveningNightHours {});
    m_threshold = std::clamp(services.state().coverageThreshold, 0, 100);
    for (int i = 0; i < cboHours->count(); ++i)
        if (cboHours->itemData(i).toString() == m_hours.code())
            cboHours->setCurrentIndex(i);
    spnCoverage->setValue(m_threshold);
    connect(cboHours, &QComboBox::activated, this, &TfrmPeriods::cboHoursChange);
    connect(spnCoverage, &QSpinBox::valueChanged, this, &TfrmPeriods::spnCoverageChange);
    recompute();
}

TfrmPeriods::~TfrmPeriods() = default;

QString TfrmPeriods::captionFor(const TfrmGraph &graph)
{
    return QStringLiteral("Periods - %1").arg(graph.windowTitle());
}

QWidget *TfrmPeriods::buildPeriodBar()
{
    auto *bar = new QWidget(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    cboPeriod = new QComboBox(bar);
    cboPeriod->setObjectName(QStringLiteral("cboPeriod"));
    cboPeriod->setEditable(true);
    cboPeriod->setInsertPolicy(QComboBox::NoInsert);
    for (const PeriodChoice::Item &item : PeriodChoice::Items)
        cboPeriod->addItem(QLatin1String(item.text), item.seconds);
    cboPeriod->setCurrentIndex(PeriodChoice::DefaultIndex);
    cboPeriod->setMinimumWidth(130);
    cboPeriod->setToolTip(QStringLiteral("Choose a period, or type a whole number of seconds "
                                         "from 1 to 86400 and press Enter"));
    btnCopy = new QPushButton(QStringLiteral("Copy"), bar);
    btnCopy->setObjectName(QStringLiteral("btnCopy"));
    btnCopy->setFocusPolicy(Qt::NoFocus);
    btnCopy->setToolTip(QStringLiteral("Copy the selected rows (or all) of the table last used, "
                                       "with its titles, to the clipboard (Ctrl+C)"));
    row->addWidget(new QLabel(QStringLiteral("Period"), bar));
    row->addWidget(cboPeriod);
    row->addWidget(new QLabel(QStringLiteral("or type seconds (1 to 86400) and press Enter"), bar));
    row->addSpacing(12);
    cboHours = new QComboBox(bar);
    cboHours->setObjectName(QStringLiteral("cboHours"));
    for (const DayEveningNightHours::Preset &preset : DayEveningNightHours::Presets)
        cboHours->addItem(QLatin1String(preset.text),
                          DayEveningNightHours::ofPreset(preset).code());
    cboHours->setToolTip(QStringLiteral("The start hours of the day, the evening and the night; "
                                        "without an evening the days show Ldn"));
    spnCoverage = new QSpinBox(bar);
    spnCoverage->setObjectName(QStringLiteral("spnCoverage"));
    spnCoverage->setRange(0, 100);
    spnCoverage->setSuffix(QStringLiteral(" %"));
    spnCoverage->setToolTip(QStringLiteral("A period or part measured for less than this is "
                                           "shown in italic grey"));
    row->addWidget(new QLabel(QStringLiteral("Hours"), bar));
    row->addWidget(cboHours);
    row->addWidget(new QLabel(QStringLiteral("Low coverage below"), bar));
    row->addWidget(spnCoverage);
    row->addStretch(1);
    row->addWidget(btnCopy);

    // Only the user's choice or Enter applies a period; the program's writes to the box do not.
    connect(cboPeriod, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < int(PeriodChoice::Items.size()))
            cboPeriodChange();
    });
    connect(cboPeriod->lineEdit(), &QLineEdit::returnPressed, this, &TfrmPeriods::cboPeriodChange);
    connect(btnCopy, &QPushButton::clicked, this, &TfrmPeriods::btnCopyClick);
    return bar;
}

QTableView *TfrmPeriods::buildTable(const char *name, FigureTableModel *model)
{
    auto *view = new QTableView(this);
    view->setObjectName(QLatin1String(name));
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    view->verticalHeader()->hide();
    // Time order first; the header's default indicator would sort newest first.
    view->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    view->setSortingEnabled(true);
    view->installEventFilter(this);
    connect(view, &QAbstractItemView::pressed, this, [this, view] { m_lastTable = view; });
    return view;
}

const FigureTable &TfrmPeriods::periodTable() const
{
    return m_periodModel->table();
}

const FigureTable &TfrmPeriods::dayTable() const
{
    return m_dayModel->table();
}

CellTable TfrmPeriods::table() const
{
    return (m_lastTable == grdDays ? dayTable() : periodTable()).cellTable();
}

void TfrmPeriods::cboPeriodChange()
{
    const PeriodChoice::Parsed parsed = PeriodChoice::parse(cboPeriod->currentText());
    QString error = parsed.error;
    if (parsed.seconds && m_graph) {
        // A short period over a long graph could make more rows than a table holds.
        const PeriodFigures::Result trial
            = PeriodFigures::periods(m_graph->chartModel(), *parsed.seconds, std::nullopt);
        if (trial.refusedRows > 0)
            error = QStringLiteral("The points span %1 periods of %2 s, more than %3: choose a "
                                   "longer period.")
                        .arg(trial.refusedRows)
                        .arg(*parsed.seconds)
                        .arg(PeriodFigures::MaxRows);
    }
    if (!error.isEmpty()) {
        m_services.prompts().showError(error);
        cboPeriod->setEditText(PeriodChoice::textOf(m_period));
        return;
    }
    if (parsed.seconds && *parsed.seconds != m_period) {
        m_period = *parsed.seconds;
        recompute();
    }
}

void TfrmPeriods::cboHoursChange(int index)
{
    const std::optional<DayEveningNightHours> hours
        = DayEveningNightHours::parse(cboHours->itemData(index).toString());
    if (!hours || *hours == m_hours)
        return;
    m_hours = *hours;
    m_services.state().dayEveningNightHours = m_hours.code();
    recompute();
}

void TfrmPeriods::spnCoverageChange(int percent)
{
    if (percent == m_threshold)
        return;
    m_threshold = percent;
    m_services.state().coverageThreshold = percent;
    recompute();
}

void TfrmPeriods::recompute()
{
    if (!m_graph)
        return;
    const ChartModel &chart = m_graph->chartModel();
    m_revision = chart.dataRevision();
    m_exclusions = chart.exclusions;
    m_limit = chart.limit;
    const std::optional<double> interval = chart.source.intervalOf(chart);
    const PeriodFigures::Result periods = PeriodFigures::periods(chart, m_period, interval);
    m_periodModel->setTable(FigureTable::ofPeriods(periods.rows, m_period, m_threshold));
    m_dayModel->setTable(FigureTable::ofDays(DayNightLevels::days(chart, m_hours, interval).rows,
                                             m_hours, m_threshold));
    lblDays->setText(m_hours.description());
    m_unplaced = periods.unplaced;
    m_refusedRows = periods.refusedRows;
    fitColumns();
    showBars();
    showStatus();
}

void TfrmPeriods::fitColumns()
{
    // The first column as wide as its texts, the figures as wide as "100.0" or their title.
    const QFontMetrics metrics = fontMetrics();
    int total = 0;
    for (QTableView *view : { grdPeriods, grdDays }) {
        const FigureTable &table = view == grdDays ? dayTable() : periodTable();
        const int first = std::max(metrics.horizontalAdvance(table.text(0, 0)),
                                   metrics.horizontalAdvance(QStringLiteral("00/00/0000 00:00:00")))
            + 20;
        view->setColumnWidth(0, std::max(first, view->columnWidth(0)));
        for (int column = 1; column < table.columnCount(); ++column)
            view->setColumnWidth(column,
                                 std::max(metrics.horizontalAdvance(QStringLiteral("100.0")),
                                          metrics.horizontalAdvance(table.titles()[column]))
                                     + 24);
        if (view == grdPeriods)
            for (int column = 0; column < table.columnCount(); ++column)
                total += view->columnWidth(column);
    }
    if (!m_columnsFitted && m_tables) {
        // The periods table shows all its columns beside the chart.
        m_columnsFitted = true;
        const int width = total + grdPeriods->verticalScrollBar()->sizeHint().width()
            + 2 * grdPeriods->frameWidth() + 2;
        const int all = std::max(this->width() - 12, width * 2);
        m_tables->setSizes({ width, all - width });
    }
}

void TfrmPeriods::showBars()
{
    chtPeriods->showPeriods(periodTable(), m_period, m_limit);
}

void TfrmPeriods::showStatus()
{
    const FigureTable &periods = periodTable();
    QStringList parts;
    if (!m_graph)
        parts << QStringLiteral("The graph was closed.");
    else if (periods.rowCount() == 0 && m_refusedRows > 0)
        parts << QStringLiteral("The points span %1 periods of %2 s, more than %3: choose a "
                                "longer period.")
                     .arg(m_refusedRows)
                     .arg(m_period)
                     .arg(PeriodFigures::MaxRows);
    else if (periods.rowCount() == 0)
        parts << QStringLiteral("The graph has no valid points.");
    else
        parts << QStringLiteral("%1 %2 of %3, %4 %5.")
                     .arg(periods.rowCount())
                     .arg(periods.rowCount() == 1 ? QStringLiteral("period")
                                                  : QStringLiteral("periods"))
                     .arg(periodName(m_period))
                     .arg(dayTable().rowCount())
                     .arg(dayTable().rowCount() == 1 ? QStringLiteral("day")
                                                     : QStringLiteral("days"));
    if (m_limit) {
        int above = 0;
        for (int row = 0; row < periods.rowCount(); ++row) {
            const std::optional<double> &leq = periods.row(row).values[LeqColumn - 1];
            above += leq && *leq > *m_limit ? 1 : 0;
        }
        parts << QStringLiteral("%1: %2 periods above it.")
                     .arg(Exceedances::limitText(*m_limit, QLocale::system()))
                     .arg(above);
    }
    if (m_unplaced > 0)
        parts << QStringLiteral("%1 valid points have no date-time and are left out.")
                     .arg(m_unplaced);
    parts << QStringLiteral("Double-click a period to zoom the graph onto it.");
    lblStatus->setText(parts.join(QLatin1Char(' ')));
}

void TfrmPeriods::FollowTimerTimer()
{
    if (!m_graph)
        return;
    if (windowTitle() != captionFor(*m_graph))
        setWindowTitle(captionFor(*m_graph));
    const ChartModel &chart = m_graph->chartModel();
    if (chart.dataRevision() != m_revision || chart.exclusions != m_exclusions) {
        recompute();
    } else if (chart.limit != m_limit) {
        m_limit = chart.limit;
        showBars();
        showStatus();
    }
}

void TfrmPeriods::btnCopyClick()
{
    QTableView *view = m_lastTable ? m_lastTable : grdPeriods;
    const FigureTable &table = view == grdDays ? dayTable() : periodTable();
    std::vector<int> rows;
    for (const QModelIndex &index : view->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    QApplication::clipboard()->setText(table.copyText(rows));
}

void TfrmPeriods::grdPeriodsDblClick(int row)
{
    if (!m_graph || row < 0 || row >= periodTable().rowCount())
        return;
    m_graph->zoomOnto(periodTable().row(row).days, periodTable().endDays(row));
    m_services.activateChildWindow(*m_graph);
}

bool TfrmPeriods::eventFilter(QObject *watched, QEvent *event)
{
    auto *view = qobject_cast<QTableView *>(watched);
    if (view && (view == grdPeriods || view == grdDays)) {
        if (event->type() == QEvent::FocusIn)
            m_lastTable = view;
        if (event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
            m_lastTable = view;
            btnCopyClick();
            return true;
        }
    }
    return MdiChildForm::eventFilter(watched, event);
}
