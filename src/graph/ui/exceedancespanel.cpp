#include "graph/ui/exceedancespanel.h"

#include "base/datetimedays.h"
#include "graph/ui/exceedancerows.h"
#include "survey/acousticfigures.h"
#include "survey/graphsource.h"
#include "survey/measurement.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

ExceedancesPanel::ExceedancesPanel(const Measurement &measurement, QWidget *parent)
    : QWidget(parent)
    , m_measurement(measurement)
{
    setObjectName(QStringLiteral("pnlExceedances"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    const auto row = [&](int at, const QString &name, const char *objectName) {
        grid->addWidget(new QLabel(name, this), at, 0);
        auto *value = new QLabel(this);
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
    tblExceedances = new QTableView(this);
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
                            this);
    note->setWordWrap(true);
    note->setEnabled(false);
    layout->addWidget(note);
    btnExportExceedances = new QPushButton(QStringLiteral("Export Exceedances"), this);
    btnExportExceedances->setObjectName(QStringLiteral("btnExportExceedances"));
    connect(btnExportExceedances, &QPushButton::clicked, this, &ExceedancesPanel::exportRequested);
    layout->addWidget(btnExportExceedances);
}

const Exceedances::Result &ExceedancesPanel::result()
{
    const Measurement &m = m_measurement;
    if (!m.limit) {
        m_exceedances = {};
        m_exceedancesMade = false;
        return m_exceedances;
    }
    const std::optional<double> interval = m_measurement.source.intervalOf(m);
    if (!m_exceedancesMade || m_exceedancesRevision != m.dataRevision()
        || m_exceedancesLimit != m.limit || m_exceedancesExclusions != m.exclusions
        || m_exceedancesInterval != interval) {
        m_exceedances = Exceedances::of(m, *m.limit, interval);
        m_exceedancesMade = true;
        m_exceedancesRevision = m.dataRevision();
        m_exceedancesLimit = m.limit;
        m_exceedancesExclusions = m.exclusions;
        m_exceedancesInterval = interval;
    }
    return m_exceedances;
}

void ExceedancesPanel::refresh()
{
    const std::optional<double> limit = m_measurement.limit;
    const QLocale locale = QLocale::system();
    const Exceedances::Result &runs = result();
    const std::optional<double> interval = m_exceedancesInterval;
    lblLimit->setText(limit ? AcousticFigures::decimalText(limit, locale, 1)
                            : QStringLiteral("none"));
    lblExceedanceCount->setText(limit ? QString::number(runs.runs.size()) : QString());
    lblExceedanceSeconds->setText(AcousticFigures::decimalText(
        runs.totalSeconds, locale, Exceedances::secondsDecimals(interval)));
    m_exceedanceRows->show(runs, interval);
    btnExportExceedances->setEnabled(limit.has_value());
}

QString ExceedancesPanel::exportText()
{
    return Exceedances::exportText(result(), m_measurement.source.intervalOf(m_measurement),
                                   QLocale::system());
}
