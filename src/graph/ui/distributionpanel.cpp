#include "graph/ui/distributionpanel.h"

#include "survey/graphsource.h"
#include "survey/measurement.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <qcustomplot.h>

namespace {

const QColor BarColor(70, 125, 200);
const QColor CurveColor(200, 60, 20);

} // namespace

DistributionPanel::DistributionPanel(const Measurement &measurement, QWidget *parent)
    : QWidget(parent)
    , m_measurement(measurement)
    , m_figures(measurement)
{
    setObjectName(QStringLiteral("pnlDistribution"));
    const QLocale locale = QLocale::system();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    // Two rows of choices, so that the chart keeps the page's height.
    const auto combo = [&](int row, int column, const QString &name, const char *objectName) {
        grid->addWidget(new QLabel(name, this), row, column);
        auto *box = new QComboBox(this);
        box->setObjectName(QLatin1String(objectName));
        grid->addWidget(box, row, column + 1);
        return box;
    };
    cmbClassWidth = combo(0, 0, QStringLiteral("Class (dB)"), "cmbClassWidth");
    for (const int tenths : LevelDistribution::WidthsInTenths)
        cmbClassWidth->addItem(locale.toString(tenths / 10.0, 'g', 3), tenths);
    cmbClassWidth->setCurrentIndex(
        cmbClassWidth->findData(LevelDistribution::DefaultWidthInTenths));
    cmbDistributionBars = combo(0, 2, QStringLiteral("Bars"), "cmbDistributionBars");
    cmbDistributionBars->addItems({ QStringLiteral("Count"), QStringLiteral("Percent") });
    cmbDistributionRange = combo(1, 0, QStringLiteral("Points"), "cmbDistributionRange");
    cmbDistributionRange->addItems({ QStringLiteral("Whole"), QStringLiteral("A - B") });
    grid->setColumnStretch(4, 1);
    layout->addLayout(grid);
    for (QComboBox *box : { cmbClassWidth, cmbDistributionRange, cmbDistributionBars })
        connect(box, &QComboBox::currentIndexChanged, this, &DistributionPanel::showDistribution);

    plotDistribution = new QCustomPlot(this);
    plotDistribution->setObjectName(QStringLiteral("plotDistribution"));
    plotDistribution->setLocale(locale);
    plotDistribution->setBackground(Qt::white);
    plotDistribution->setMinimumSize(240, 180);
    plotDistribution->xAxis->setLabel(QStringLiteral("Level (dB)"));
    plotDistribution->yAxis2->setVisible(true);
    plotDistribution->yAxis2->setLabel(QStringLiteral("Exceeded (%)"));
    plotDistribution->yAxis2->setRange(0.0, 100.0);
    for (QCPAxis *axis : { plotDistribution->xAxis, plotDistribution->yAxis }) {
        axis->grid()->setSubGridVisible(false);
        axis->setSubTicks(false);
    }
    m_bars = new QCPBars(plotDistribution->xAxis, plotDistribution->yAxis);
    m_bars->setPen(QPen(BarColor.darker(130)));
    m_bars->setBrush(BarColor);
    m_exceeded = plotDistribution->addGraph(plotDistribution->xAxis, plotDistribution->yAxis2);
    m_exceeded->setPen(QPen(CurveColor, 2));
    plotDistribution->installEventFilter(this);
    layout->addWidget(plotDistribution, 1);

    lblDistribution = new QLabel(this);
    lblDistribution->setObjectName(QStringLiteral("lblDistribution"));
    lblDistribution->setWordWrap(true);
    layout->addWidget(lblDistribution);
    auto *note = new QLabel(QStringLiteral("Valid levels in whole tenths of a dB, a class from "
                                           "its lower edge; excluded intervals are left out."),
                            this);
    note->setWordWrap(true);
    note->setEnabled(false);
    layout->addWidget(note);
    btnCopyDistribution = new QPushButton(QStringLiteral("Copy"), this);
    btnCopyDistribution->setObjectName(QStringLiteral("btnCopyDistribution"));
    connect(btnCopyDistribution, &QPushButton::clicked, this, &DistributionPanel::copyRequested);
    layout->addWidget(btnCopyDistribution);
}

const SeriesFigures &DistributionPanel::figures()
{
    return m_figures.get();
}

bool DistributionPanel::betweenCursors() const
{
    return cmbDistributionRange->currentIndex() == 1;
}

int DistributionPanel::widthTenths() const
{
    return cmbClassWidth->currentData().toInt();
}

LevelDistribution::Result DistributionPanel::distribution()
{
    const SeriesFigures &series = figures();
    if (!betweenCursors())
        return LevelDistribution::of(series.validLevels(), widthTenths());
    if (!m_cursors)
        return {};
    return LevelDistribution::of(series.validLevelsBetween(m_cursors->first, m_cursors->second),
                                 widthTenths());
}

QString DistributionPanel::copyText()
{
    return LevelDistribution::copyText(distribution(), QLocale::system());
}

void DistributionPanel::refresh(Cursors cursors)
{
    m_cursors = cursors;
    m_stale = true;
    if (isVisible())
        showDistribution();
}

void DistributionPanel::showBetween(Cursors cursors)
{
    if (cursors == m_cursors)
        return;
    m_cursors = cursors;
    if (betweenCursors())
        refresh(cursors);
}

void DistributionPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_stale)
        showDistribution();
}

bool DistributionPanel::eventFilter(QObject *watched, QEvent *event)
{
    // The chart neither zooms nor scrolls, but takes every wheel turn: over it, the wheel
    // scrolls the page that holds it, as it does over the rest of the page.
    if (watched == plotDistribution && event->type() == QEvent::Wheel) {
        for (QWidget *w = parentWidget(); w; w = w->parentWidget())
            if (auto *area = qobject_cast<QAbstractScrollArea *>(w)) {
                QCoreApplication::sendEvent(area->verticalScrollBar(), event);
                return true;
            }
    }
    return QWidget::eventFilter(watched, event);
}

void DistributionPanel::showDistribution()
{
    m_stale = false;
    const LevelDistribution::Result result = distribution();
    const bool percent = cmbDistributionBars->currentIndex() == 1;
    const double width = widthTenths() / 10.0;
    QVector<double> keys, values, edges, exceeded;
    double highest = 0.0;
    for (const LevelDistribution::Class &c : result.classes) {
        keys.push_back(c.lower + width / 2.0);
        values.push_back(percent ? c.percent : double(c.count));
        highest = std::max(highest, values.back());
        edges.push_back(c.lower);
        exceeded.push_back(c.exceeded);
    }
    // The curve falls to 0 at the upper edge of the highest class.
    if (!result.classes.empty()) {
        edges.push_back(result.classes.back().lower + width);
        exceeded.push_back(0.0);
    }
    m_bars->setWidth(width * 0.9);
    m_bars->setData(keys, values, true);
    m_exceeded->setData(edges, exceeded, true);
    plotDistribution->yAxis->setLabel(percent ? QStringLiteral("Percent")
                                              : QStringLiteral("Count"));
    plotDistribution->yAxis->setRange(0.0, highest > 0.0 ? highest * 1.05 : 1.0);
    if (result.classes.empty())
        plotDistribution->xAxis->setRange(0.0, 100.0);
    else
        plotDistribution->xAxis->setRange(result.classes.front().lower - width,
                                          result.classes.back().lower + 2.0 * width);

    if (result.tooManyClasses)
        lblDistribution->setText(
            QStringLiteral("The levels span more than %1 classes: choose a wider class.")
                .arg(LevelDistribution::MaxClasses));
    else if (result.classes.empty())
        lblDistribution->setText(betweenCursors() && !m_cursors
                                     ? QStringLiteral("No cursor range.")
                                     : QStringLiteral("No valid level."));
    else
        lblDistribution->setText(
            QStringLiteral("N = %1; classes: %2").arg(result.n).arg(result.classes.size()));
    btnCopyDistribution->setEnabled(!result.classes.empty());
    plotDistribution->replot(QCustomPlot::rpQueuedReplot);
}
