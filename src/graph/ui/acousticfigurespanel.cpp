#include "graph/ui/acousticfigurespanel.h"

#include "survey/figureflags.h"
#include "survey/graphsource.h"
#include "survey/measurement.h"
#include "survey/overlayfigures.h"

#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <tuple>

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

void showValues(const QList<QLabel *> &labels, const AcousticFigures::Figures &figures)
{
    const std::vector<AcousticFigures::Line> lines
        = AcousticFigures::lines(figures, QLocale::system());
    for (qsizetype i = 0; i < labels.size(); ++i)
        labels[i]->setText(lines[std::size_t(i)].value);
    // L5 to L95 from too few points are still shown, flagged in italics with the reason.
    constexpr qsizetype FirstPercentile = 5; // N, T, Leq, Lmax, Lmin come first
    for (std::size_t p = 0; p < AcousticFigures::ExceededPercents.size(); ++p) {
        QLabel *label = labels.value(FirstPercentile + qsizetype(p));
        if (!label)
            continue;
        const QString reason
            = FigureFlags::fewPointsReason(AcousticFigures::ExceededPercents[p], figures.n);
        QFont font = label->font();
        font.setItalic(!reason.isEmpty());
        label->setFont(font);
        label->setForegroundRole(reason.isEmpty() ? QPalette::WindowText
                                                  : QPalette::PlaceholderText);
        label->setToolTip(reason);
    }
}

} // namespace

AcousticFiguresPanel::AcousticFiguresPanel(const Measurement &measurement, QWidget *parent)
    : QWidget(parent)
    , m_measurement(measurement)
    , m_figures(measurement)
{
    setObjectName(QStringLiteral("pnlAcoustic"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    auto *title = new QLabel(QStringLiteral("Acoustic figures"), this);
    title->setStyleSheet(QStringLiteral("font-weight: bold;"));
    layout->addWidget(title);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    grid->addWidget(new QLabel(QStringLiteral("Whole"), this), 0, 1, Qt::AlignRight);
    grid->addWidget(new QLabel(QStringLiteral("A - B"), this), 0, 2, Qt::AlignRight);
    const std::vector<AcousticFigures::Line> names = AcousticFigures::lines({}, QLocale::system());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int row = int(i) + 1;
        const QString unit = i == 0 ? QString()
            : i == 1                ? QStringLiteral(" (s)")
                                    : QStringLiteral(" (dB)");
        grid->addWidget(new QLabel(names[i].name + unit, this), row, 0);
        m_wholeFigureTexts.append(valueLabel(this));
        m_betweenFigureTexts.append(valueLabel(this));
        grid->addWidget(m_wholeFigureTexts.last(), row, 1);
        grid->addWidget(m_betweenFigureTexts.last(), row, 2);
    }
    m_specificTitle = new QLabel(QStringLiteral("Specific"), this);
    m_specificTitle->setObjectName(QStringLiteral("lblSpecificFigures"));
    m_specificTitle->setToolTip(QStringLiteral("The points in the Specific intervals"));
    m_specificFigureTexts = addColumn(*grid, m_specificTitle);
    m_residualTitle = new QLabel(QStringLiteral("Residual"), this);
    m_residualTitle->setObjectName(QStringLiteral("lblResidualFigures"));
    m_residualTitle->setToolTip(
        QStringLiteral("The points in the Residual intervals, those also Specific left out"));
    m_residualFigureTexts = addColumn(*grid, m_residualTitle);
    m_overlayTitle = new QLabel(QStringLiteral("Overlay"), this);
    m_overlayTitle->setObjectName(QStringLiteral("lblOverlayFigures"));
    m_overlayFigureTexts = addColumn(*grid, m_overlayTitle);
    showCategories();
    showOverlay();
    layout->addLayout(grid);
    auto *note = new QLabel(QStringLiteral("Excluded intervals are left out."), this);
    note->setWordWrap(true);
    note->setEnabled(false);
    layout->addWidget(note);
    btnExportFigures = new QPushButton(QStringLiteral("Export Figures"), this);
    btnExportFigures->setObjectName(QStringLiteral("btnExportFigures"));
    connect(btnExportFigures, &QPushButton::clicked, this, &AcousticFiguresPanel::exportRequested);
    layout->addWidget(btnExportFigures);
    layout->addStretch(1);
}

QList<QLabel *> AcousticFiguresPanel::addColumn(QGridLayout &grid, QLabel *title)
{
    const int column = grid.columnCount();
    grid.addWidget(title, 0, column, Qt::AlignRight);
    QList<QLabel *> texts;
    for (qsizetype i = 0; i < m_wholeFigureTexts.size(); ++i) {
        texts.append(valueLabel(this));
        grid.addWidget(texts.last(), int(i) + 1, column);
    }
    return texts;
}

void AcousticFiguresPanel::showCategories()
{
    for (const auto &[category, title, texts] :
         { std::tuple { IntervalCategory::Specific, m_specificTitle, &m_specificFigureTexts },
           std::tuple { IntervalCategory::Residual, m_residualTitle, &m_residualFigureTexts } }) {
        const std::optional<AcousticFigures::Figures> f = figures().ofCategory(category);
        title->setVisible(f.has_value());
        showValues(*texts, f.value_or(AcousticFigures::Figures()));
        for (QLabel *label : std::as_const(*texts))
            label->setVisible(f.has_value());
    }
}

const SeriesFigures &AcousticFiguresPanel::figures()
{
    return m_figures.get();
}

AcousticFigures::Figures AcousticFiguresPanel::whole()
{
    return figures().whole();
}

AcousticFigures::Figures AcousticFiguresPanel::between(Cursors cursors)
{
    if (!cursors)
        return {};
    return figures().between(cursors->first, cursors->second);
}

AcousticFigures::Figures AcousticFiguresPanel::overlay()
{
    // The whole overlay with its own interval: the excluded intervals are this graph's own
    // events and apply to its series only.
    if (!m_measurement.overlay)
        return {};
    if (m_overlayFiguresRevision != m_measurement.dataRevision()) {
        m_overlayFigures = OverlayFigures::of(*m_measurement.overlay);
        m_overlayFiguresRevision = m_measurement.dataRevision();
    }
    return m_overlayFigures;
}

void AcousticFiguresPanel::refresh(Cursors cursors)
{
    showValues(m_wholeFigureTexts, whole());
    showBetween(cursors);
    showCategories();
    showOverlay();
}

void AcousticFiguresPanel::showBetween(Cursors cursors)
{
    showValues(m_betweenFigureTexts, between(cursors));
}

void AcousticFiguresPanel::showOverlay()
{
    const bool shown = m_measurement.overlay.has_value();
    m_overlayTitle->setVisible(shown);
    showValues(m_overlayFigureTexts, shown ? overlay() : AcousticFigures::Figures());
    for (QLabel *label : std::as_const(m_overlayFigureTexts))
        label->setVisible(shown);
    if (shown)
        m_overlayTitle->setToolTip(m_measurement.overlay->label);
}

QString AcousticFiguresPanel::exportText(Cursors cursors)
{
    std::vector<AcousticFigures::Column> columns { { QStringLiteral("Whole graph"), whole() },
                                                   { QStringLiteral("Between A and B"),
                                                     between(cursors) } };
    for (const IntervalCategory category :
         { IntervalCategory::Specific, IntervalCategory::Residual })
        if (const std::optional<AcousticFigures::Figures> f = figures().ofCategory(category))
            columns.push_back({ categoryName(category), *f });
    if (m_measurement.overlay)
        columns.push_back({ QStringLiteral("Overlay"), overlay() });
    return AcousticFigures::exportText(columns, QLocale::system());
}
