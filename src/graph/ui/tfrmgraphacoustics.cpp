// The graph window's "Acoustic figures" panel: Leq, the percentile levels, SEL and the rest
// for the whole graph and between cursors A and B, with the excluded intervals left out.

#include "base/ui/prompts.h"
#include "base/ui/windowservices.h"
#include "chart/ui/pesgraph.h"
#include "graph/ui/tfrmgraph.h"
#include "graph/ui/tslider2.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int ValueWidth = 64;

QLabel *valueLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setFixedWidth(ValueWidth);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Base);
    return label;
}

} // namespace

QWidget *TfrmGraph::buildAcousticPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlAcoustic"));
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(6, 4, 6, 4);
    auto *title = new QLabel(QStringLiteral("Acoustic figures"), panel);
    title->setStyleSheet(QStringLiteral("font-weight: bold;"));
    layout->addWidget(title);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    grid->addWidget(new QLabel(QStringLiteral("Whole"), panel), 0, 1, Qt::AlignRight);
    grid->addWidget(new QLabel(QStringLiteral("A - B"), panel), 0, 2, Qt::AlignRight);
    const std::vector<AcousticFigures::Line> names = AcousticFigures::lines({}, QLocale::system());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int row = int(i) + 1;
        const QString unit = i == 0 ? QString()
            : i == 1                ? QStringLiteral(" (s)")
                                    : QStringLiteral(" (dB)");
        grid->addWidget(new QLabel(names[i].name + unit, panel), row, 0);
        m_wholeFigureTexts.append(valueLabel(panel));
        m_betweenFigureTexts.append(valueLabel(panel));
        grid->addWidget(m_wholeFigureTexts.last(), row, 1);
        grid->addWidget(m_betweenFigureTexts.last(), row, 2);
    }
    buildOverlayColumn(*grid, panel, valueLabel);
    layout->addLayout(grid);
    auto *note = new QLabel(QStringLiteral("Excluded intervals are left out."), panel);
    note->setWordWrap(true);
    note->setEnabled(false);
    layout->addWidget(note);
    btnExportFigures = new QPushButton(QStringLiteral("Export Figures"), panel);
    btnExportFigures->setObjectName(QStringLiteral("btnExportFigures"));
    connect(btnExportFigures, &QPushButton::clicked, this, &TfrmGraph::ExportFiguresClick);
    layout->addWidget(btnExportFigures);
    layout->addStretch(1);
    connect(this, &TfrmGraph::exclusionsChanged, this, &TfrmGraph::refreshAcousticFigures);
    return panel;
}

void TfrmGraph::setSource(const GraphSource &source)
{
    m_source = source;
    refreshAcousticFigures();
}

const SeriesFigures &TfrmGraph::currentFigures()
{
    const ChartModel &chart = chartModel();
    const std::optional<double> interval = m_source.intervalOf(chart);
    if (!m_figuresMade || m_figuresRevision != chart.dataRevision()
        || m_figuresExclusions != chart.exclusions || m_figuresInterval != interval) {
        m_figures = SeriesFigures(chart, interval);
        m_figuresMade = true;
        m_figuresRevision = chart.dataRevision();
        m_figuresExclusions = chart.exclusions;
        m_figuresInterval = interval;
    }
    return m_figures;
}

AcousticFigures::Figures TfrmGraph::wholeAcousticFigures()
{
    return currentFigures().whole();
}

AcousticFigures::Figures TfrmGraph::betweenAcousticFigures()
{
    // Without a cursor range (nothing recorded yet, a single point) there is nothing between.
    if (Slider1->Maximum() == 0)
        return {};
    return currentFigures().between(Slider1->Value1(), Slider1->Value2());
}

void TfrmGraph::refreshAcousticFigures()
{
    const std::vector<AcousticFigures::Line> whole
        = AcousticFigures::lines(wholeAcousticFigures(), QLocale::system());
    for (qsizetype i = 0; i < m_wholeFigureTexts.size(); ++i)
        m_wholeFigureTexts[i]->setText(whole[std::size_t(i)].value);
    showBetweenAcousticFigures();
    refreshExceedances();
    showOverlayFigures();
}

void TfrmGraph::showBetweenAcousticFigures()
{
    const std::vector<AcousticFigures::Line> between
        = AcousticFigures::lines(betweenAcousticFigures(), QLocale::system());
    for (qsizetype i = 0; i < m_betweenFigureTexts.size(); ++i)
        m_betweenFigureTexts[i]->setText(between[std::size_t(i)].value);
}

void TfrmGraph::ExportFiguresClick()
{
    QApplication::clipboard()->setText(figuresExportText());
    m_services.prompts().showMessage(
        QStringLiteral("The figures have been copied to the clipboard."));
}
