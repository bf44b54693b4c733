// The chart's look: titles and legend in the header rows above the plotting area, the subsets'
// pens (colour or monochrome, line types), the axes, their labels and the grid.
#include "chart/ui/pesgraph_p.h"

#include <algorithm>

namespace {

const QColor GridColor(175, 175, 175);

Qt::PenStyle penStyle(int lineType)
{
    switch (static_cast<LineType>(lineType)) {
    case LineType::Dash:
        return Qt::DashLine;
    case LineType::Dot:
        return Qt::DotLine;
    case LineType::DashDot:
        return Qt::DashDotLine;
    case LineType::DashDotDot:
        return Qt::DashDotDotLine;
    case LineType::Solid:
        break;
    }
    return Qt::SolidLine;
}

} // namespace

QFont PESGraph::Private::font(double points, bool bold) const
{
    // Pixel sizes, so that a chart drawn onto a printer or picture through a scaled painter
    // keeps its proportions.
    QFont f = q->font();
    f.setPixelSize(std::max(1, qRound(points * plot->logicalDpiY() / 72.0)));
    f.setBold(bold);
    return f;
}

void PESGraph::Private::applyLook(const ChartModel &m)
{
    const bool mono = m.viewingStyle == ViewingStyle::Monochrome;
    const QFont labelFont = font(m.labelFontSize);

    mainTitle->setText(m.mainTitle.trimmed());
    mainTitle->setFont(font(m.titleFontSize, true));
    subTitle->setText(m.subTitle.trimmed());
    subTitle->setFont(font(std::max<double>(m.labelFontSize, m.titleFontSize * 0.8)));
    plot->legend->setFont(font(m.legendFontSize));

    bool anyLabel = false;
    for (int s = 0; s < subsetGraphCount(); ++s) {
        QCPGraph *graph = plot->graph(s);
        int lineType = m.subsetLineType(s);
        // In monochrome the line types tell the subsets apart: solid ones take the styles in turn.
        if (mono && lineType == static_cast<int>(LineType::Solid))
            lineType = s % 5;
        graph->setPen(QPen(mono ? QColor(Qt::black) : m.subsetColor(s), 1.0, penStyle(lineType)));
        const QString label = m.subsetLabel(s).trimmed();
        graph->setName(label);
        if (label.isEmpty()) {
            graph->removeFromLegend();
        } else {
            graph->addToLegend();
            anyLabel = true;
        }
    }
    anyLabel = styleOverlay(m) || anyLabel;
    arrangeRows(!mainTitle->text().isEmpty(), !subTitle->text().isEmpty(), anyLabel);

    const QColor yColor = mono ? QColor(Qt::black) : m.yAxisColor;
    for (QCPAxis *axis : { plot->xAxis, plot->yAxis }) {
        const QColor c = axis == plot->yAxis ? yColor : QColor(Qt::black);
        axis->setBasePen(QPen(c, 0));
        axis->setTickPen(QPen(c, 0));
        axis->setTickLabelColor(c);
        axis->setLabelColor(c);
        axis->setTickLabelFont(labelFont);
        axis->setLabelFont(labelFont);
        axis->grid()->setVisible(m.gridStyle != GridStyle::None);
        const Qt::PenStyle style = m.gridStyle == GridStyle::Dash ? Qt::DashLine
            : m.gridStyle == GridStyle::Solid                     ? Qt::SolidLine
                                                                  : Qt::DotLine;
        axis->grid()->setPen(QPen(mono ? QColor(Qt::gray) : GridColor, 0, style));
    }
    plot->xAxis->setLabel(m.xAxisLabel.trimmed());
    plot->yAxis->setLabel(m.yAxisLabel.trimmed());
    plot->xAxis->setTicker(m.dateTimeX ? dateTicker : numberTicker);
    applyAnnotations(m);
}

void PESGraph::Private::arrangeRows(bool showMain, bool showSub, bool showLegend)
{
    const int wanted = (showMain ? 1 : 0) | (showSub ? 2 : 0) | (showLegend ? 4 : 0);
    plot->legend->setVisible(showLegend);
    if (wanted == rows)
        return;
    rows = wanted;
    QCPLayoutGrid *layout = plot->plotLayout();
    for (QCPLayoutElement *element :
         { static_cast<QCPLayoutElement *>(mainTitle), static_cast<QCPLayoutElement *>(subTitle),
           static_cast<QCPLayoutElement *>(legendRow) }) {
        if (element->layout() == layout)
            layout->take(element);
    }
    layout->simplify();
    QList<QCPLayoutElement *> header;
    if (showMain)
        header << mainTitle;
    if (showSub)
        header << subTitle;
    if (showLegend)
        header << legendRow;
    for (auto it = header.crbegin(); it != header.crend(); ++it) {
        layout->insertRow(0);
        layout->addElement(0, 0, *it);
    }
    for (int row = 0; row < layout->rowCount(); ++row)
        layout->setRowStretchFactor(row, row < header.size() ? 0.001 : 1.0);
    layout->setRowSpacing(0);
}
