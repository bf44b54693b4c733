// The chart's marked intervals: each one a translucent band over the plotting area's full
// height, from its start to its end, with its label in small text at the top inside the band
// (after its category's name for a Specific or Residual one). Excluded intervals are grey,
// Specific ones orange and Residual ones blue, all light so the levels stay readable; in
// monochrome all are grey, Specific ones hatched one way and Residual ones crossed.
// The bands lie beneath the series and the annotations, on a layer of their own above the grid;
// one layerable draws them all from its own array of keys, so a redraw costs nothing per point.
#include "chart/ui/pesgraph_p.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace {

// Grey reads the same in colour and in monochrome; translucent, so the grid and a band under
// another still show.
const QColor BandFill(128, 128, 128, 64);
const QColor BandEdge(90, 90, 90, 170);
const QColor SpecificFill(255, 140, 0, 60);
const QColor SpecificEdge(200, 100, 0, 190);
const QColor ResidualFill(40, 110, 230, 50);
const QColor ResidualEdge(30, 80, 180, 190);

QBrush fillOf(IntervalCategory category, bool monochrome)
{
    if (monochrome)
        return category == IntervalCategory::Specific
            ? QBrush(QColor(70, 70, 70, 110), Qt::BDiagPattern)
            : category == IntervalCategory::Residual
            ? QBrush(QColor(70, 70, 70, 110), Qt::CrossPattern)
            : QBrush(BandFill);
    return category == IntervalCategory::Specific ? SpecificFill
        : category == IntervalCategory::Residual  ? ResidualFill
                                                  : BandFill;
}

QColor edgeOf(IntervalCategory category, bool monochrome)
{
    if (monochrome)
        return BandEdge;
    return category == IntervalCategory::Specific ? SpecificEdge
        : category == IntervalCategory::Residual  ? ResidualEdge
                                                  : BandEdge;
}
const QColor LabelColor(50, 50, 50);
constexpr int LabelPadding = 3;
// How far down a label moves to keep off the cursors' texts and the labels before it, at most.
constexpr int MaxLabelRows = 6;

} // namespace

namespace PESGraphInternal {

class ExclusionBands : public QCPLayerable
{
public:
    struct Band
    {
        double fromKey = 0.0;
        double toKey = 0.0;
        QString label;
        IntervalCategory category = IntervalCategory::Excluded;
    };

    ExclusionBands(QCustomPlot *plot, QCPAxisRect *axisRect)
        : QCPLayerable(plot)
        , m_axisRect(axisRect)
    {
        setAntialiased(false);
    }

    std::vector<Band> bands;
    bool monochrome = false;
    QFont labelFont;
    // The texts of cursor lines A and B, which stand at the top too: a label keeps off them.
    std::array<const QCPItemText *, 2> cursorTexts {};

protected:
    QRect clipRect() const override { return m_axisRect->rect(); }
    void applyDefaultAntialiasingHint(QCPPainter *painter) const override
    {
        applyAntialiasingHint(painter, mAntialiased, QCP::aeOther);
    }
    void draw(QCPPainter *painter) override;

private:
    QCPAxisRect *m_axisRect;
};

void ExclusionBands::draw(QCPPainter *painter)
{
    const QRect area = m_axisRect->rect();
    const QCPAxis *axis = m_axisRect->axis(QCPAxis::atBottom);
    const QFontMetrics metrics(labelFont);
    painter->setFont(labelFont);
    // Where a label may not go: the cursors' texts (drawn above the bands), then the labels
    // already placed.
    std::vector<QRect> taken;
    for (const QCPItemText *text : cursorTexts)
        if (text && text->visible())
            taken.push_back(
                QRectF(text->topLeft->pixelPosition(), text->bottomRight->pixelPosition())
                    .normalized()
                    .toAlignedRect());
    for (const Band &band : bands) {
        double left = axis->coordToPixel(band.fromKey);
        double right = axis->coordToPixel(band.toKey);
        if (left > right)
            std::swap(left, right);
        if (!(right >= area.left() && left <= area.right() + 1))
            continue; // outside the visible range, or not a number
        // Whole pixels, at least one wide, and never far outside the area (a band far beyond a
        // zoomed range would give coordinates too large to paint).
        const int x0 = int(std::floor(std::max(left, area.left() - 2.0)));
        const int x1 = std::max(x0 + 1, int(std::ceil(std::min(right, area.right() + 2.0))));
        const QRect rect(x0, area.top(), x1 - x0, area.height());
        painter->fillRect(rect, fillOf(band.category, monochrome));
        painter->setPen(QPen(edgeOf(band.category, monochrome), 0));
        painter->drawLine(QLineF(x0 + 0.5, area.top(), x0 + 0.5, area.bottom() + 1));
        if (x1 - x0 > 1)
            painter->drawLine(QLineF(x1 - 0.5, area.top(), x1 - 0.5, area.bottom() + 1));

        QString text = band.label.simplified();
        if (band.category != IntervalCategory::Excluded)
            text = categoryName(band.category)
                + (text.isEmpty() ? QString() : QStringLiteral(": ") + text);
        if (text.isEmpty())
            continue;
        QRect box(QPoint(std::max(x0, area.left()) + LabelPadding, area.top() + LabelPadding),
                  metrics.size(Qt::TextSingleLine, text));
        for (int row = 0; row < MaxLabelRows; ++row) {
            const bool overlaps = std::any_of(taken.begin(), taken.end(), [&](const QRect &r) {
                return r.adjusted(-2, -1, 2, 1).intersects(box);
            });
            if (!overlaps)
                break;
            box.translate(0, box.height() + 1);
        }
        taken.push_back(box);
        painter->setPen(LabelColor);
        painter->drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }
}

} // namespace PESGraphInternal

using namespace PESGraphInternal;

void PESGraph::Private::makeExclusionBands()
{
    plot->addLayer(QStringLiteral("exclusions"), plot->layer(QStringLiteral("grid")),
                   QCustomPlot::limAbove);
    exclusionBands = new ExclusionBands(plot, axisRect);
    exclusionBands->setLayer(QStringLiteral("exclusions"));
}

void PESGraph::Private::applyExclusions(const ChartModel &m)
{
    std::vector<ExclusionBands::Band> &bands = exclusionBands->bands;
    bands.clear();
    bands.reserve(m.exclusions.size());
    for (const ExcludedInterval &e : m.exclusions)
        bands.push_back(
            { toKey(e.from, m.dateTimeX), toKey(e.to, m.dateTimeX), e.label, e.category });
    exclusionBands->monochrome = m.viewingStyle == ViewingStyle::Monochrome;
    exclusionBands->labelFont = font(std::max(1.0, m.labelFontSize * 0.85));
    exclusionBands->cursorTexts = { lineTexts[0], lineTexts[1] };
    exclusionBands->setVisible(!bands.empty());
}
