#include "chart/ui/chartcustomizedialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace {

// The entries of the line type boxes, in LineType order, with the pen style drawn in the icon.
struct LineTypeEntry
{
    const char *name;
    Qt::PenStyle style;
};
constexpr LineTypeEntry LineTypes[]
    = { { QT_TRANSLATE_NOOP("ChartCustomizeDialog", "Solid"), Qt::SolidLine },
        { QT_TRANSLATE_NOOP("ChartCustomizeDialog", "Dash"), Qt::DashLine },
        { QT_TRANSLATE_NOOP("ChartCustomizeDialog", "Dot"), Qt::DotLine },
        { QT_TRANSLATE_NOOP("ChartCustomizeDialog", "Dash Dot"), Qt::DashDotLine },
        { QT_TRANSLATE_NOOP("ChartCustomizeDialog", "Dash Dot Dot"), Qt::DashDotDotLine } };
constexpr int LineTypeCount = static_cast<int>(std::size(LineTypes));

QIcon lineIcon(Qt::PenStyle style)
{
    QPixmap pixmap(40, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(Qt::black, 1.5, style));
    painter.drawLine(2, 6, 38, 6);
    return QIcon(pixmap);
}

QIcon colorIcon(const QColor &color)
{
    QPixmap pixmap(32, 14);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::darkGray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

// A spin box whose range always holds the chart's value, so that opening and closing the
// dialog never changes a value by clamping it.
QSpinBox *sizeBox(int minimum, int maximum, int value, const QString &suffix)
{
    auto *box = new QSpinBox;
    box->setRange(std::min(minimum, value), std::max(maximum, value));
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

template<typename T> bool assign(T &target, const T &value)
{
    if (target == value)
        return false;
    target = value;
    return true;
}

} // namespace

ChartCustomizeDialog::ChartCustomizeDialog(const ChartModel &chart, Pages pages, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Graph Customization"));
    m_tabs = new QTabWidget(this);
    if (pages.titles)
        m_tabs->addTab(createTitlesPage(chart), tr("Titles"));
    if (pages.subsets)
        m_tabs->addTab(createSubsetsPage(chart), tr("Subsets"));
    if (pages.look)
        m_tabs->addTab(createLookPage(chart), tr("Look"));
    if (pages.fonts)
        m_tabs->addTab(createFontsPage(chart), tr("Fonts"));
    m_tabs->addTab(createAnnotationsPage(chart), tr("Annotations"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    // Wide enough that every tab shows without scroll arrows, and for the whole caption as a
    // window manager writes it (in bold, beside its buttons).
    QFont captionFont = font();
    captionFont.setBold(true);
    const QString caption = windowTitle();
    const int wanted = std::max(m_tabs->tabBar()->sizeHint().width() + 48,
                                QFontMetrics(captionFont).horizontalAdvance(caption) + 120);
    resize(std::max(sizeHint().width(), wanted), sizeHint().height());
}

QWidget *ChartCustomizeDialog::createTitlesPage(const ChartModel &chart)
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    m_mainTitle = new QLineEdit(chart.mainTitle);
    m_subTitle = new QLineEdit(chart.subTitle);
    m_xAxisLabel = new QLineEdit(chart.xAxisLabel);
    form->addRow(tr("Main title:"), m_mainTitle);
    form->addRow(tr("Sub title:"), m_subTitle);
    form->addRow(tr("X axis label:"), m_xAxisLabel);
    return page;
}

QWidget *ChartCustomizeDialog::createSubsetsPage(const ChartModel &chart)
{
    auto *inner = new QWidget;
    auto *grid = new QGridLayout(inner);
    grid->addWidget(new QLabel(tr("Subset")), 0, 0);
    grid->addWidget(new QLabel(tr("Colour")), 0, 1);
    grid->addWidget(new QLabel(tr("Line type")), 0, 2);
    for (int s = 0; s < chart.subsets(); ++s) {
        const QString label = chart.subsetLabel(s);
        grid->addWidget(new QLabel(label.isEmpty() ? tr("Subset %1").arg(s + 1)
                                                   : tr("%1: %2").arg(s + 1).arg(label)),
                        s + 1, 0);
        m_colors.push_back(chart.subsetColor(s));
        auto *button = new QPushButton;
        button->setIcon(colorIcon(m_colors.back()));
        button->setIconSize(QSize(32, 14));
        button->setToolTip(tr("Choose the colour"));
        connect(button, &QPushButton::clicked, this, [this, s] { chooseColor(s); });
        m_colorButtons.push_back(button);
        grid->addWidget(button, s + 1, 1);

        auto *box = new QComboBox;
        for (const LineTypeEntry &entry : LineTypes)
            box->addItem(lineIcon(entry.style), tr(entry.name));
        box->setIconSize(QSize(40, 12));
        box->setCurrentIndex(std::clamp(chart.subsetLineType(s), 0, LineTypeCount - 1));
        m_lineTypes.push_back(box);
        grid->addWidget(box, s + 1, 2);
    }
    grid->setRowStretch(chart.subsets() + 1, 1);

    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(inner);
    return scroll;
}

QWidget *ChartCustomizeDialog::createLookPage(const ChartModel &chart)
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    m_gridStyle = new QComboBox;
    m_gridStyle->addItems({ tr("Dotted"), tr("Dashed"), tr("Solid"), tr("None") });
    m_gridStyle->setCurrentIndex(static_cast<int>(chart.gridStyle));
    m_viewingStyle = new QComboBox;
    m_viewingStyle->addItems({ tr("Colour"), tr("Monochrome") });
    m_viewingStyle->setCurrentIndex(static_cast<int>(chart.viewingStyle));
    form->addRow(tr("Grid lines:"), m_gridStyle);
    form->addRow(tr("Viewing style:"), m_viewingStyle);
    return page;
}

QWidget *ChartCustomizeDialog::createFontsPage(const ChartModel &chart)
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    const QString points = tr(" pt");
    m_titleSize = sizeBox(6, 48, chart.titleFontSize, points);
    m_labelSize = sizeBox(6, 48, chart.labelFontSize, points);
    m_legendSize = sizeBox(6, 48, chart.legendFontSize, points);
    form->addRow(tr("Titles:"), m_titleSize);
    form->addRow(tr("Axis labels:"), m_labelSize);
    form->addRow(tr("Legend:"), m_legendSize);
    return page;
}

QWidget *ChartCustomizeDialog::createAnnotationsPage(const ChartModel &chart)
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    m_showGraphAnnotations = new QCheckBox(tr("Show crosses and texts"));
    m_showGraphAnnotations->setChecked(chart.showGraphAnnotations);
    m_graphAnnotationSize = sizeBox(25, 400, chart.graphAnnotationTextSize, tr(" %"));
    m_showLineAnnotations = new QCheckBox(tr("Show cursor lines"));
    m_showLineAnnotations->setChecked(chart.showVertLineAnnotations);
    m_lineAnnotationSize = sizeBox(25, 400, chart.lineAnnotationTextSize, tr(" %"));
    form->addRow(m_showGraphAnnotations);
    form->addRow(tr("Text size:"), m_graphAnnotationSize);
    form->addRow(m_showLineAnnotations);
    form->addRow(tr("Cursor text size:"), m_lineAnnotationSize);
    return page;
}

void ChartCustomizeDialog::chooseColor(int subset)
{
    const QColor chosen = QColorDialog::getColor(subsetColor(subset), this, tr("Subset Colour"));
    if (chosen.isValid())
        setSubsetColor(subset, chosen);
}

QColor ChartCustomizeDialog::subsetColor(int subset) const
{
    return (subset >= 0 && subset < subsetCount()) ? m_colors[static_cast<std::size_t>(subset)]
                                                   : QColor();
}

void ChartCustomizeDialog::setSubsetColor(int subset, const QColor &color)
{
    if (subset < 0 || subset >= subsetCount() || !color.isValid())
        return;
    const auto i = static_cast<std::size_t>(subset);
    m_colors[i] = color;
    m_colorButtons[i]->setIcon(colorIcon(color));
}

QComboBox *ChartCustomizeDialog::lineTypeBox(int subset) const
{
    return (subset >= 0 && subset < subsetCount()) ? m_lineTypes[static_cast<std::size_t>(subset)]
                                                   : nullptr;
}

bool ChartCustomizeDialog::applyTo(ChartModel &chart) const
{
    bool changed = false;
    if (m_mainTitle) {
        changed |= assign(chart.mainTitle, m_mainTitle->text());
        changed |= assign(chart.subTitle, m_subTitle->text());
        changed |= assign(chart.xAxisLabel, m_xAxisLabel->text());
    }
    // Subsets: only values that differ from what the chart draws are written, so an untouched
    // page leaves default colours and line types as they were.
    const int subsets = std::min(subsetCount(), chart.subsets());
    for (int s = 0; s < subsets; ++s) {
        const auto i = static_cast<std::size_t>(s);
        if (m_colors[i] != chart.subsetColor(s)) {
            if (chart.subsetColors.size() <= i)
                chart.subsetColors.resize(i + 1);
            chart.subsetColors[i] = m_colors[i];
            changed = true;
        }
        const int lineType = m_lineTypes[i]->currentIndex();
        if (lineType != std::clamp(chart.subsetLineType(s), 0, LineTypeCount - 1)) {
            if (chart.subsetLineTypes.size() <= i)
                chart.subsetLineTypes.resize(i + 1, static_cast<int>(LineType::Solid));
            chart.subsetLineTypes[i] = lineType;
            changed = true;
        }
    }
    if (m_gridStyle && m_gridStyle->currentIndex() >= 0)
        changed |= assign(chart.gridStyle, static_cast<GridStyle>(m_gridStyle->currentIndex()));
    if (m_viewingStyle && m_viewingStyle->currentIndex() >= 0)
        changed |= assign(chart.viewingStyle,
                          static_cast<ViewingStyle>(m_viewingStyle->currentIndex()));
    if (m_titleSize) {
        changed |= assign(chart.titleFontSize, m_titleSize->value());
        changed |= assign(chart.labelFontSize, m_labelSize->value());
        changed |= assign(chart.legendFontSize, m_legendSize->value());
    }
    changed |= assign(chart.showGraphAnnotations, m_showGraphAnnotations->isChecked());
    changed |= assign(chart.graphAnnotationTextSize, m_graphAnnotationSize->value());
    changed |= assign(chart.showVertLineAnnotations, m_showLineAnnotations->isChecked());
    changed |= assign(chart.lineAnnotationTextSize, m_lineAnnotationSize->value());
    return changed;
}
