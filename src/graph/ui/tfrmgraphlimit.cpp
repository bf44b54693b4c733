// The graph window's limit: "Limit..." sets the level (dB) the graph is checked against, drawn
// as a line on the chart; the "Exceedances" page beside the chart lists the runs of points
// above it (start, duration, Lmax, Leq), counts them and sums their durations, and "Export
// Exceedances" puts them on the clipboard.
#include "base/datetimedays.h"
#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "chart/ui/pesgraph.h"
#include "graph/ui/tfrmgraph.h"
#include "survey/acousticfigures.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// The runs as rows of a table view: the view asks only for the rows it shows, so a survey
// with many thousands of exceedances costs nothing per tick.
class ExceedanceRows : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    // A recording tick that left the runs as they were keeps the view's selection and place.
    void show(const Exceedances::Result &result, std::optional<double> interval)
    {
        const int decimals = Exceedances::secondsDecimals(interval);
        if (result.runs == m_runs && decimals == m_decimals)
            return;
        beginResetModel();
        m_runs = result.runs;
        m_decimals = decimals;
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_runs.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : 4;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= int(m_runs.size()))
            return {};
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(index.column() == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                                           : Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole)
            return {};
        const Exceedances::Run &run = m_runs[std::size_t(index.row())];
        const QLocale locale = QLocale::system();
        switch (index.column()) {
        case 0:
            return DateTimeDays::RoundedTimeText(run.start);
        case 1:
            return AcousticFigures::decimalText(run.seconds, locale, m_decimals);
        case 2:
            return AcousticFigures::decimalText(run.lmax, locale, 1);
        default:
            return AcousticFigures::decimalText(run.leq, locale, 1);
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        static const char *const titles[] = { "Start", "Seconds", "Lmax", "Leq" };
        return QString::fromLatin1(titles[std::clamp(section, 0, 3)]);
    }

private:
    std::vector<Exceedances::Run> m_runs;
    int m_decimals = 0;
};

} // namespace

void TfrmGraph::buildLimitAction()
{
    LimitAction = SurveyBar->addAction(QStringLiteral("Limit..."));
    LimitAction->setObjectName(QStringLiteral("LimitAction"));
    LimitAction->setToolTip(QStringLiteral("Set the limit (dB) the graph is checked against"));
    connect(LimitAction, &QAction::triggered, this, &TfrmGraph::LimitClick);
}

QWidget *TfrmGraph::buildFiguresTabs()
{
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabFigures"));
    tabs->setDocumentMode(true);
    pnlAcoustic = buildAcousticPanel();
    tabs->addTab(pnlAcoustic, QStringLiteral("Figures"));
    tabs->addTab(buildExceedancePanel(), QStringLiteral("Exceedances"));
    return tabs;
}

QWidget *TfrmGraph::buildExceedancePanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlExceedances"));
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(6, 4, 6, 4);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    const auto row = [&](int at, const QString &name, const char *objectName) {
        grid->addWidget(new QLabel(name, panel), at, 0);
        auto *value = new QLabel(panel);
        value->setObjectName(QLatin1String(objectName));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(value, at, 1);
        return value;
    };
    lblLimit = row(0, QStringLiteral("Limit (dB)"), "lblLimit");
    lblExceedanceCount = row(1, QStringLiteral("Exceedances"), "lblExceedanceCount");
    lblExceedanceSeconds = row(2, QStringLiteral("Above limit (s)"), "lblExceedanceSeconds");
    layout->addLayout(grid);

    m_exceedanceRows = new ExceedanceRows(this);
    tblExceedances = new QTableView(panel);
    tblExceedances->setObjectName(QStringLiteral("tblExceedances"));
    tblExceedances->setModel(m_exceedanceRows);
    tblExceedances->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblExceedances->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblExceedances->verticalHeader()->hide();
    tblExceedances->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    tblExceedances->horizontalHeader()->setStretchLastSection(true);
    // Widths from the texts they hold, measured once: measuring every row would cost a pass
    // over all the runs on every tick.
    const QFontMetrics metrics = tblExceedances->fontMetrics();
    const double sampleDay = DateTimeDays::fromDateTime(QDate(2000, 12, 28), QTime(12, 58, 58));
    const int widths[] = { metrics.horizontalAdvance(DateTimeDays::RoundedTimeText(sampleDay)),
                           metrics.horizontalAdvance(QStringLiteral("Seconds")),
                           metrics.horizontalAdvance(QStringLiteral("000.0")),
                           metrics.horizontalAdvance(QStringLiteral("000.0")) };
    int total = tblExceedances->verticalScrollBar()->sizeHint().width() + 4;
    for (int c = 0; c < 4; ++c) {
        tblExceedances->setColumnWidth(c, widths[c] + 14);
        total += widths[c] + 14;
    }
    tblExceedances->setMinimumWidth(total);
    layout->addWidget(tblExceedances, 1);

    auto *note = new QLabel(QStringLiteral("Runs of valid points above the limit; a null or "
                                           "excluded point ends a run."),
                            panel);
    note->setWordWrap(true);
    note->setEnabled(false);
    layout->addWidget(note);
    btnExportExceedances = new QPushButton(QStringLiteral("Export Exceedances"), panel);
    btnExportExceedances->setObjectName(QStringLiteral("btnExportExceedances"));
    connect(btnExportExceedances, &QPushButton::clicked, this, &TfrmGraph::ExportExceedancesClick);
    layout->addWidget(btnExportExceedances);
    return panel;
}

bool TfrmGraph::LimitClick()
{
    ChartModel &chart = chartModel();
    const QLocale locale = QLocale::system();
    // The limit exactly as it stands, so that OK without an edit keeps it.
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    const QString current = chart.limit
        ? plain.toString(*chart.limit, 'g', QLocale::FloatingPointShortest)
        : QString();
    const std::optional<QString> typed = m_services.prompts().askText(
        QStringLiteral("Limit in dB (leave empty for none):"), current);
    if (!typed)
        return false;
    std::optional<double> limit;
    if (!typed->trimmed().isEmpty()) {
        limit = Exceedances::parseLimit(*typed, locale);
        if (!limit) {
            m_services.prompts().showMessage(
                QStringLiteral("The limit must be a level from %1 to %2 dB, such as 55.")
                    .arg(Exceedances::LowestLimit)
                    .arg(Exceedances::HighestLimit));
            return false;
        }
    }
    if (limit == chart.limit)
        return false;
    chart.limit = limit;
    PESGraph1->redraw();
    refreshExceedances();
    Q_EMIT limitChanged();
    return true;
}

const Exceedances::Result &TfrmGraph::currentExceedances()
{
    const ChartModel &chart = chartModel();
    if (!chart.limit) {
        m_exceedances = {};
        m_exceedancesMade = false;
        return m_exceedances;
    }
    const std::optional<double> interval = m_source.intervalOf(chart);
    if (!m_exceedancesMade || m_exceedancesRevision != chart.dataRevision()
        || m_exceedancesLimit != chart.limit || m_exceedancesExclusions != chart.exclusions
        || m_exceedancesInterval != interval) {
        m_exceedances = Exceedances::of(chart, *chart.limit, interval);
        m_exceedancesMade = true;
        m_exceedancesRevision = chart.dataRevision();
        m_exceedancesLimit = chart.limit;
        m_exceedancesExclusions = chart.exclusions;
        m_exceedancesInterval = interval;
    }
    return m_exceedances;
}

void TfrmGraph::refreshExceedances()
{
    const ChartModel &chart = chartModel();
    const QLocale locale = QLocale::system();
    const Exceedances::Result &result = currentExceedances();
    const std::optional<double> interval = m_exceedancesInterval;
    lblLimit->setText(chart.limit ? AcousticFigures::decimalText(chart.limit, locale, 1)
                                  : QStringLiteral("none"));
    lblExceedanceCount->setText(chart.limit ? QString::number(result.runs.size()) : QString());
    lblExceedanceSeconds->setText(AcousticFigures::decimalText(
        result.totalSeconds, locale, Exceedances::secondsDecimals(interval)));
    static_cast<ExceedanceRows *>(m_exceedanceRows)->show(result, interval);
    btnExportExceedances->setEnabled(chart.limit.has_value());
}

void TfrmGraph::ExportExceedancesClick()
{
    if (!chartModel().limit) {
        m_services.prompts().showMessage(QStringLiteral("Set a limit first (Limit...)."));
        return;
    }
    QApplication::clipboard()->setText(Exceedances::exportText(
        currentExceedances(), m_source.intervalOf(chartModel()), QLocale::system()));
    m_services.prompts().showMessage(
        QStringLiteral("The exceedances have been copied to the clipboard."));
}
