// The chart's annotations: graph annotations by index (type 2 a cross with its text beside it,
// type 0 the text alone) and the two vertical line annotations (cursors A and B) with their
// texts. The items are made once and reused; those not needed are hidden.
#include "chart/ui/pesgraph_p.h"

#include <QFontMetrics>

#include <algorithm>

namespace {

constexpr double CrossRadius = 5.0;

const QColor LineColors[2] = { QColor(0, 0, 230), QColor(220, 0, 0) }; // cursors A and B

// Texts may break lines with "\r", "\r\n" or "\n"; QCustomPlot breaks them at "\n".
QString displayText(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace

namespace PESGraphInternal {

// A graph annotation's cross: an X of fixed pixel size centred on its position.
class CrossItem : public QCPAbstractItem
{
public:
    explicit CrossItem(QCustomPlot *plot)
        : QCPAbstractItem(plot)
        , position(createPosition(QStringLiteral("position")))
    {
    }
    double selectTest(const QPointF &, bool, QVariant *) const override { return -1; }

    QCPItemPosition *const position;
    QPen pen;

protected:
    void draw(QCPPainter *painter) override
    {
        const QPointF c = position->pixelPosition();
        const double r = CrossRadius;
        if (!QRectF(clipRect()).adjusted(-r, -r, r, r).contains(c))
            return;
        painter->setPen(pen);
        painter->drawLine(QLineF(c.x() - r, c.y() - r, c.x() + r, c.y() + r));
        painter->drawLine(QLineF(c.x() - r, c.y() + r, c.x() + r, c.y() - r));
    }
};

} // namespace PESGraphInternal

using namespace PESGraphInternal;

int PESGraph::Private::annotationHit(const QPoint &pos) const
{
    if (!q->m_model.allowGraphAnnotHotSpots)
        return -1;
    // The front-most mark wins: the items are drawn in index order.
    for (std::size_t i = shownAnnotations.size(); i-- > 0;) {
        const CrossItem *c = crosses[i];
        const QCPItemText *t = crossTexts[i];
        if (c->visible()) {
            const QPointF d = c->position->pixelPosition() - QPointF(pos);
            if (std::abs(d.x()) <= CrossRadius + 2 && std::abs(d.y()) <= CrossRadius + 2)
                return shownAnnotations[i];
        }
        if (t->visible()
            && QRectF(t->topLeft->pixelPosition(), t->bottomRight->pixelPosition())
                   .normalized()
                   .contains(pos))
            return shownAnnotations[i];
    }
    return -1;
}

void PESGraph::Private::applyAnnotations(const ChartModel &m)
{
    const bool mono = m.viewingStyle == ViewingStyle::Monochrome;

    // Graph annotations: type 2 a cross with its text beside it, type 0 the text alone.
    std::size_t used = 0;
    shownAnnotations.clear();
    if (m.showGraphAnnotations) {
        const QFont textFont = font(m.labelFontSize * m.graphAnnotationTextSize / 100.0);
        for (const auto &[index, a] : m.annotations) {
            const QString text = displayText(a.text);
            const bool cross = a.type == 2;
            if (!cross && text.trimmed().isEmpty())
                continue;
            if (used == crosses.size()) {
                auto *c = new CrossItem(plot);
                c->setLayer(QStringLiteral("annotations"));
                c->position->setAxes(plot->xAxis, plot->yAxis);
                auto *t = new QCPItemText(plot);
                t->setLayer(QStringLiteral("annotations"));
                crosses.push_back(c);
                crossTexts.push_back(t);
            }
            CrossItem *c = crosses[used];
            QCPItemText *t = crossTexts[used];
            ++used;
            shownAnnotations.push_back(index);
            const QColor color = mono ? QColor(Qt::black) : a.color;
            c->setVisible(cross);
            c->pen = QPen(color, 1.6);
            c->position->setCoords(toKey(a.x, m.dateTimeX), a.y);
            t->setVisible(!text.isEmpty());
            t->setText(text);
            t->setFont(textFont);
            t->setColor(color);
            t->setTextAlignment(Qt::AlignLeft);
            t->setPadding(QMargins(3, 1, 3, 1));
            // A backing that keeps light texts (the yellow data point marker) readable.
            t->setBrush(qGray(color.rgb()) > 160 ? QColor(50, 50, 50, 200)
                                                 : QColor(255, 255, 255, 190));
            if (cross) { // beside the cross, on the right
                t->position->setParentAnchor(c->position);
                t->position->setType(QCPItemPosition::ptAbsolute);
                t->position->setCoords(CrossRadius + 3, 0);
                t->setPositionAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            } else { // its bottom left corner at the point
                t->position->setParentAnchor(nullptr);
                t->position->setType(QCPItemPosition::ptPlotCoords);
                t->position->setAxes(plot->xAxis, plot->yAxis);
                t->position->setCoords(toKey(a.x, m.dateTimeX), a.y);
                t->setPositionAlignment(Qt::AlignLeft | Qt::AlignBottom);
            }
        }
    }
    for (std::size_t i = used; i < crosses.size(); ++i) {
        crosses[i]->setVisible(false);
        crossTexts[i]->setVisible(false);
    }

    // Vertical lines 0 and 1 (cursors A and B) with their texts at the top of the plotting area;
    // a text starting with "|t" or "|b" goes to the top or the bottom, without those two
    // characters. A text that would run out on the right is put on the line's left instead.
    // Both need the plotting area where it will be drawn: laid out for the look just applied,
    // not where the last replot left it (or nowhere yet, on a chart that was never drawn).
    if (m.showVertLineAnnotations)
        ensureLayout();
    const QFont lineFont = font(m.labelFontSize * m.lineAnnotationTextSize / 100.0);
    const QFontMetrics metrics(lineFont);
    QRect textRects[2];
    bool atBottom[2] = { false, false };
    bool shownTexts[2] = { false, false };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const VerticalLine &v = m.verticalLines[i];
        const QColor color = mono ? QColor(Qt::black) : LineColors[i];
        const double key = toKey(v.x, m.dateTimeX);
        lines[i]->setVisible(m.showVertLineAnnotations);
        lines[i]->setPen(QPen(color, 1.0, mono && i == 1 ? Qt::DashLine : Qt::SolidLine));
        lines[i]->point1->setCoords(key, 0);
        lines[i]->point2->setCoords(key, 1);

        QString text = displayText(v.text);
        if (text.startsWith(QLatin1Char('|')) && text.size() >= 2) {
            atBottom[i] = text.at(1) == QLatin1Char('b');
            text = text.mid(2);
        }
        QCPItemText *t = lineTexts[i];
        // A cursor outside the range shown (after a zoom) has no text: it would be cut off at
        // the plotting area's edge, beside a line that is not drawn.
        shownTexts[i] = m.showVertLineAnnotations && !text.trimmed().isEmpty()
            && plot->xAxis->range().contains(key);
        t->setVisible(shownTexts[i]);
        t->setText(text);
        t->setFont(lineFont);
        t->setColor(color);
        t->setPen(QPen(color, 0));
        const QSize box = metrics.boundingRect(QRect(), Qt::AlignLeft, text).size() + QSize(8, 4);
        const double px = plot->xAxis->coordToPixel(key);
        // On the line's right; on its left where the right has no room; against the area's
        // left edge where neither side has room (a narrow chart).
        const bool left = px + box.width() + 2 > axisRect->right();
        const bool atEdge = left && px - box.width() - 2 < axisRect->left();
        const double textKey = atEdge ? plot->xAxis->pixelToCoord(axisRect->left() + 1) : key;
        const double textPx = atEdge ? axisRect->left() + 1 : px;
        t->setPositionAlignment((left && !atEdge ? Qt::AlignRight : Qt::AlignLeft)
                                | (atBottom[i] ? Qt::AlignBottom : Qt::AlignTop));
        t->position->setCoords(textKey, atBottom[i] ? 1.0 : 0.0);
        // Two pixels apart at least, so that two boxes side by side do not touch. Only a text
        // shown has a place (a line far outside the range lies beyond any pixel).
        if (shownTexts[i])
            textRects[i]
                = QRect(QPoint(qRound(left && !atEdge ? textPx - box.width() : textPx), 0), box)
                      .adjusted(-2, 0, 2, 2);
    }
    // When the two texts would overlap, cursor B's text moves off cursor A's, by one and a half
    // times A's box: a picture of the chart replayed on a printer or in a PDF file sets its text
    // a little taller than the screen does.
    if (shownTexts[0] && shownTexts[1] && atBottom[0] == atBottom[1]
        && textRects[0].intersects(textRects[1])) {
        const double shift = (1.5 * textRects[0].height() + 3.0) / std::max(1, axisRect->height());
        QCPItemPosition *p = lineTexts[1]->position;
        p->setCoords(p->key(), p->value() + (atBottom[1] ? -shift : shift));
    }
}
