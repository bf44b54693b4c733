#include "graph/ui/pesgraph.h"

#include "graph/chartblock.h"
#include "graph/ui/chartcustomizedialog.h"

#include <QLocale>
#include <QMouseEvent>
#include <QPicture>
#include <QPrinter>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// X reaches QCustomPlot as seconds since 1 January 1970 read as UTC: the wall-clock time the
// days stand for, with no time zone shift, so the axis shows exactly the clock time recorded.
constexpr double UnixEpochDays = 25569.0; // 1 January 1970 counted from 30 December 1899
constexpr double SecondsPerDay = 86400.0;

double toKey(double days, bool dateTime)
{
    return dateTime ? (days - UnixEpochDays) * SecondsPerDay : days;
}

double fromKey(double key, bool dateTime)
{
    return dateTime ? key / SecondsPerDay + UnixEpochDays : key;
}

constexpr int ClickSlop = 3; // pixels a press may move and still be a click
constexpr int LineHotSpot = 3; // pixels either side of a vertical line that grab it
constexpr int DataHotSpot = 5; // pixels around a drawn point that hit it
constexpr int MinZoomPixels = 4; // a rubber band side shorter than this does not zoom its axis
constexpr double CrossRadius = 5.0;

const QColor LineColors[2] = { QColor(0, 0, 230), QColor(220, 0, 0) }; // cursors A and B
const QColor GridColor(175, 175, 175);

// A locale's time format, with or without seconds, never with a time zone or milliseconds.
QString timeFormat(QLocale::FormatType type)
{
    static const QRegularExpression milliseconds(QStringLiteral("[.,]?z+"));
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b"));
    return QLocale::system().timeFormat(type).remove(milliseconds).remove(zone).trimmed();
}

// Date-time tick labels in the user's locale: the time of day (with seconds when ticks are
// less than a minute apart), and the date above it once the range spans more than a day.
class LocaleDateTimeTicker : public QCPAxisTickerDateTime
{
protected:
    double getTickStep(const QCPRange &range) override
    {
        const double step = QCPAxisTickerDateTime::getTickStep(range);
        const QLocale locale = QLocale::system();
        const QString time = timeFormat(step < 60 ? QLocale::LongFormat : QLocale::ShortFormat);
        const QString date = locale.dateFormat(QLocale::ShortFormat);
        if (step >= SecondsPerDay)
            mDateTimeFormat = date;
        else if (range.size() > SecondsPerDay)
            mDateTimeFormat = time + QLatin1Char('\n') + date;
        else
            mDateTimeFormat = time;
        return step;
    }
};

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

// What one subset handed to QCustomPlot at the last hand-over, so that a redraw after points
// were written at the end adds only those instead of handing the whole series again.
//
// Points that are not recorded yet (X 0 on a date-time chart, or a non-finite X) are no data:
// a run of them inside the series becomes one gap, a run at the end is left out. A null or
// non-finite Y is handed as NaN, which QCustomPlot draws as a gap in the line.
struct SeriesFeed
{
    std::vector<double> xs; // the model's X of points [0, tail) as handed
    std::vector<float> ys;
    int tail = 0; // from here on every point was "not recorded" when handed
    double lastKey = 0.0;
    bool anyHanded = false;
    bool lastGap = false;
    bool sorted = true;
    double minKey = 0, maxKey = 0, minValue = 0, maxValue = 0;
    bool hasRange = false;

    static bool notRecorded(double x, bool dateTime)
    {
        return !std::isfinite(x) || (dateTime && x == 0.0);
    }

    static int tailOf(const std::vector<double> &x, int from, bool dateTime)
    {
        int tail = static_cast<int>(x.size());
        while (tail > from && notRecorded(x[static_cast<std::size_t>(tail - 1)], dateTime))
            --tail;
        return tail;
    }

    // Hands point (x, y) to sink(key, value).
    template<typename Sink> void feed(double x, float y, bool dateTime, Sink &&sink)
    {
        if (notRecorded(x, dateTime)) {
            if (anyHanded && !lastGap) {
                sink(lastKey, qQNaN());
                lastGap = true;
            }
            return;
        }
        const double key = toKey(x, dateTime);
        if (anyHanded && key < lastKey)
            sorted = false;
        if (y == ChartModel::NullValue || !std::isfinite(y)) {
            sink(key, qQNaN());
            lastGap = true;
        } else {
            const double value = y;
            sink(key, value);
            lastGap = false;
            if (!hasRange) {
                minKey = maxKey = key;
                minValue = maxValue = value;
                hasRange = true;
            } else {
                minKey = std::min(minKey, key);
                maxKey = std::max(maxKey, key);
                minValue = std::min(minValue, value);
                maxValue = std::max(maxValue, value);
            }
        }
        lastKey = key;
        anyHanded = true;
    }
};

// Bitwise equality of the first n values (so that NaNs compare equal to themselves).
template<typename T> bool samePrefix(const std::vector<T> &a, const std::vector<T> &b, int n)
{
    return n <= static_cast<int>(a.size()) && n <= static_cast<int>(b.size())
        && std::memcmp(a.data(), b.data(), static_cast<std::size_t>(n) * sizeof(T)) == 0;
}

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

// Texts may break lines with "\r", "\r\n" or "\n"; QCustomPlot breaks them at "\n".
QString displayText(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

struct ZoomLevel
{
    QCPRange x;
    QCPRange y;
};

} // namespace

class PESGraph::Private : public QObject
{
public:
    explicit Private(PESGraph *owner);
    ~Private() override;

    // Mouse events of the plot, seen before QCustomPlot handles them.
    bool eventFilter(QObject *watched, QEvent *event) override;

    void handOver(const ChartModel &m);
    bool appendSeries(const ChartModel &m, int subset);
    void handSeries(const ChartModel &m, int subset);
    void applyLook(const ChartModel &m);
    void arrangeRows(bool mainTitle, bool subTitle, bool legend);
    void applyAnnotations(const ChartModel &m);
    void applyScales(const ChartModel &m);
    void updateAntialiasing();
    void scheduleReplot();
    void replotNow();
    void ensureLayout();
    void zoomTo(const QRect &rect);
    void paintChart(QCPPainter &painter, const QRect &target, double deviceDpi);
    QFont font(double points, bool bold = false) const;
    QPoint toWidget(const QPoint &plotPos) const { return plot->mapTo(q, plotPos); }
    int lineHit(const QPoint &pos) const;
    bool dataHit(const QPoint &pos, int *subset, int *point) const;

    PESGraph *q;
    QCustomPlot *plot;
    QCPAxisRect *axisRect;
    QCPTextElement *mainTitle;
    QCPTextElement *subTitle;
    QCPLayoutGrid *legendRow;
    QSharedPointer<QCPAxisTicker> dateTicker { new LocaleDateTimeTicker };
    QSharedPointer<QCPAxisTicker> numberTicker { new QCPAxisTicker };
    int rows = -1; // which header rows are laid out (bits: main title, sub title, legend)

    std::vector<SeriesFeed> feeds;
    bool handed = false;
    quint64 handedRevision = 0;
    bool handedDateTime = true;
    int handedPoints = 0;

    std::vector<ZoomLevel> zoomStack;
    bool scalesApplied = false;
    AxisScale appliedX, appliedY;
    bool appliedDateTime = true;
    bool zoomingAllowed = true;

    std::array<QCPItemStraightLine *, 2> lines {};
    std::array<QCPItemText *, 2> lineTexts {};
    std::vector<CrossItem *> crosses;
    std::vector<QCPItemText *> crossTexts;

    ChartCustomizeDialog::Pages pages;
    DialogRunner runner;
    bool replotQueued = false;
    bool layoutStale = true;

    QPoint pressPos;
    bool pressed = false;
    bool moved = false;
    bool draggingLine = false;
};

PESGraph::Private::Private(PESGraph *owner)
    : q(owner)
    , plot(new QCustomPlot(owner))
    , axisRect(plot->axisRect())
    , mainTitle(new QCPTextElement(plot))
    , subTitle(new QCPTextElement(plot))
    , legendRow(new QCPLayoutGrid)
{
    plot->setLocale(QLocale::system());
    plot->setBackground(Qt::white);
    plot->setAutoAddPlottableToLegend(false);
    plot->setSelectionRectMode(QCP::srmCustom);
    // One paint buffer for everything: a separately buffered rubber band layer would cost a
    // second buffer to clear and blend on every replot.
    plot->layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    plot->selectionRect()->setPen(QPen(QColor(60, 60, 60), 0, Qt::DashLine));
    plot->selectionRect()->setBrush(QColor(80, 120, 220, 40));
    connect(plot->selectionRect(), &QCPSelectionRect::accepted, this,
            [this](const QRect &rect, QMouseEvent *) { zoomTo(rect); });
    plot->installEventFilter(this);
    plot->setMouseTracking(true);

    // Annotations and cursor lines draw above the data.
    plot->addLayer(QStringLiteral("annotations"), plot->layer(QStringLiteral("main")),
                   QCustomPlot::limAbove);

    // A closed frame around the plotting area; only the bottom and left axes carry ticks.
    for (QCPAxis *axis : { plot->xAxis2, plot->yAxis2 }) {
        axis->setVisible(true);
        axis->setTicks(false);
        axis->setTickLabels(false);
    }
    for (QCPAxis *axis : { plot->xAxis, plot->yAxis }) {
        axis->grid()->setSubGridVisible(false);
        axis->grid()->setZeroLinePen(Qt::NoPen);
        axis->setSubTicks(false);
        axis->setTickLength(0, 5);
        axis->setPadding(4);
    }
    dateTicker.staticCast<LocaleDateTimeTicker>()->setDateTimeSpec(Qt::UTC);
    plot->xAxis->setTicker(dateTicker);

    // Header rows above the plotting area: main title, sub title, legend (centred in its row).
    mainTitle->setMargins(QMargins(4, 6, 4, 0));
    subTitle->setMargins(QMargins(4, 2, 4, 0));
    axisRect->insetLayout()->take(plot->legend);
    plot->legend->setFillOrder(QCPLegend::foColumnsFirst);
    plot->legend->setWrap(0);
    plot->legend->setBorderPen(Qt::NoPen);
    plot->legend->setBrush(Qt::NoBrush);
    plot->legend->setMargins(QMargins(4, 2, 4, 0));
    plot->legend->setColumnSpacing(16);
    plot->legend->setIconSize(28, 12);
    legendRow->addElement(0, 0, new QCPLayoutElement(plot));
    legendRow->addElement(0, 1, plot->legend);
    legendRow->addElement(0, 2, new QCPLayoutElement(plot));
    legendRow->setColumnStretchFactors({ 1, 0.001, 1 });
    legendRow->setMargins(QMargins(0, 0, 0, 0));

    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = new QCPItemStraightLine(plot);
        lines[i]->setLayer(QStringLiteral("annotations"));
        lineTexts[i] = new QCPItemText(plot);
        lineTexts[i]->setLayer(QStringLiteral("annotations"));
        lineTexts[i]->setClipToAxisRect(true);
        lineTexts[i]->setPadding(QMargins(4, 2, 4, 2));
        lineTexts[i]->setBrush(QColor(255, 255, 255, 215));
        lineTexts[i]->position->setTypeX(QCPItemPosition::ptPlotCoords);
        lineTexts[i]->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        lineTexts[i]->setTextAlignment(Qt::AlignLeft);
    }
}

PESGraph::Private::~Private()
{
    // Header rows that are not laid out now belong to no layout: release them here (the legend
    // inside its row tells the plot it is gone).
    for (QCPLayoutElement *element :
         { static_cast<QCPLayoutElement *>(mainTitle), static_cast<QCPLayoutElement *>(subTitle),
           static_cast<QCPLayoutElement *>(legendRow) }) {
        if (!element->layout())
            delete element;
    }
}

QFont PESGraph::Private::font(double points, bool bold) const
{
    // Pixel sizes, so that a chart drawn onto a printer or picture through a scaled painter
    // keeps its proportions.
    QFont f = q->font();
    f.setPixelSize(std::max(1, qRound(points * plot->logicalDpiY() / 72.0)));
    f.setBold(bold);
    return f;
}

// --- Data ------------------------------------------------------------------------------------

void PESGraph::Private::handOver(const ChartModel &m)
{
    const bool sameShape = handed && handedDateTime == m.dateTimeX && handedPoints == m.points()
        && static_cast<int>(feeds.size()) == m.subsets();
    if (handed && sameShape && handedRevision == m.dataRevision())
        return;
    while (plot->graphCount() > m.subsets())
        plot->removeGraph(plot->graphCount() - 1);
    while (plot->graphCount() < m.subsets()) {
        QCPGraph *graph = plot->addGraph(plot->xAxis, plot->yAxis);
        graph->setAdaptiveSampling(true);
        graph->setLineStyle(QCPGraph::lsLine);
    }
    feeds.resize(static_cast<std::size_t>(m.subsets()));
    for (int s = 0; s < m.subsets(); ++s) {
        if (!sameShape || !appendSeries(m, s))
            handSeries(m, s);
    }
    handed = true;
    handedRevision = m.dataRevision();
    handedDateTime = m.dateTimeX;
    handedPoints = m.points();
}

// The cheap path: everything handed before is unchanged and points were written after it.
bool PESGraph::Private::appendSeries(const ChartModel &m, int subset)
{
    SeriesFeed &f = feeds[static_cast<std::size_t>(subset)];
    const std::vector<double> &xs = m.xs(subset);
    const std::vector<float> &ys = m.ys(subset);
    if (!samePrefix(xs, f.xs, f.tail) || !samePrefix(ys, f.ys, f.tail))
        return false;
    const int tail = SeriesFeed::tailOf(xs, f.tail, m.dateTimeX);
    double last = f.anyHanded ? f.lastKey : -qInf();
    for (int i = f.tail; i < tail; ++i) { // new points before the last handed one: hand all
        const double x = xs[static_cast<std::size_t>(i)];
        if (SeriesFeed::notRecorded(x, m.dateTimeX))
            continue;
        if (toKey(x, m.dateTimeX) < last)
            return false;
        last = toKey(x, m.dateTimeX);
    }
    QCPGraphDataContainer *data = plot->graph(subset)->data().data();
    for (int i = f.tail; i < tail; ++i) {
        const auto k = static_cast<std::size_t>(i);
        f.feed(xs[k], ys[k], m.dateTimeX,
               [data](double key, double value) { data->add(QCPGraphData(key, value)); });
    }
    f.xs.insert(f.xs.end(), xs.begin() + f.tail, xs.begin() + tail);
    f.ys.insert(f.ys.end(), ys.begin() + f.tail, ys.begin() + tail);
    f.tail = tail;
    return true;
}

void PESGraph::Private::handSeries(const ChartModel &m, int subset)
{
    SeriesFeed &f = feeds[static_cast<std::size_t>(subset)];
    f = SeriesFeed();
    const std::vector<double> &xs = m.xs(subset);
    const std::vector<float> &ys = m.ys(subset);
    const int tail = SeriesFeed::tailOf(xs, 0, m.dateTimeX);
    // Written through a pointer into a buffer of the largest size needed: appending element by
    // element costs several times more for large series.
    QVector<QCPGraphData> data(tail);
    QCPGraphData *out = data.data();
    for (int i = 0; i < tail; ++i) {
        const auto k = static_cast<std::size_t>(i);
        f.feed(xs[k], ys[k], m.dateTimeX,
               [&out](double key, double value) { *out++ = QCPGraphData(key, value); });
    }
    data.resize(out - data.constData());
    plot->graph(subset)->data()->set(data, f.sorted);
    f.xs.assign(xs.begin(), xs.begin() + tail);
    f.ys.assign(ys.begin(), ys.begin() + tail);
    f.tail = tail;
}

// --- Look ------------------------------------------------------------------------------------

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
    for (int s = 0; s < plot->graphCount(); ++s) {
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

void PESGraph::Private::applyAnnotations(const ChartModel &m)
{
    const bool mono = m.viewingStyle == ViewingStyle::Monochrome;

    // Graph annotations: type 2 a cross with its text beside it, type 0 the text alone.
    std::size_t used = 0;
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
    const QFont lineFont = font(m.labelFontSize * m.lineAnnotationTextSize / 100.0);
    const QFontMetrics metrics(lineFont);
    QRect textRects[2];
    bool atBottom[2] = { false, false };
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
        t->setVisible(m.showVertLineAnnotations && !text.trimmed().isEmpty());
        t->setText(text);
        t->setFont(lineFont);
        t->setColor(color);
        t->setPen(QPen(color, 0));
        const QSize box = metrics.boundingRect(QRect(), Qt::AlignLeft, text).size() + QSize(8, 4);
        const double px = plot->xAxis->coordToPixel(key);
        const bool left = px + box.width() + 2 > axisRect->right();
        t->setPositionAlignment((left ? Qt::AlignRight : Qt::AlignLeft)
                                | (atBottom[i] ? Qt::AlignBottom : Qt::AlignTop));
        t->position->setCoords(key, atBottom[i] ? 1.0 : 0.0);
        textRects[i] = QRect(QPoint(qRound(left ? px - box.width() : px), 0), box);
    }
    // When the two texts would overlap, cursor B's text moves off cursor A's.
    if (atBottom[0] == atBottom[1] && textRects[0].intersects(textRects[1])) {
        const double shift = (textRects[0].height() + 3.0) / std::max(1, axisRect->height());
        QCPItemPosition *p = lineTexts[1]->position;
        p->setCoords(p->key(), p->value() + (atBottom[1] ? -shift : shift));
    }
}

// --- Scales and zoom -------------------------------------------------------------------------

void PESGraph::Private::applyScales(const ChartModel &m)
{
    const bool scalesChanged = scalesApplied
        && (appliedX != m.xScale || appliedY != m.yScale || appliedDateTime != m.dateTimeX);
    if (scalesChanged)
        zoomStack.clear(); // new scales from the program override a zoom
    appliedX = m.xScale;
    appliedY = m.yScale;
    appliedDateTime = m.dateTimeX;
    scalesApplied = true;
    if (!zoomStack.empty())
        return;

    bool found = false;
    double minKey = 0, maxKey = 0, minValue = 0, maxValue = 0;
    for (const SeriesFeed &f : feeds) {
        if (!f.hasRange)
            continue;
        minKey = found ? std::min(minKey, f.minKey) : f.minKey;
        maxKey = found ? std::max(maxKey, f.maxKey) : f.maxKey;
        minValue = found ? std::min(minValue, f.minValue) : f.minValue;
        maxValue = found ? std::max(maxValue, f.maxValue) : f.maxValue;
        found = true;
    }

    if (m.xScale.manual && m.xScale.max > m.xScale.min) {
        plot->xAxis->setRange(toKey(m.xScale.min, m.dateTimeX), toKey(m.xScale.max, m.dateTimeX));
    } else if (found) {
        const double pad = maxKey > minKey ? 0.0 : (m.dateTimeX ? 30.0 : 0.5);
        plot->xAxis->setRange(minKey - pad, maxKey + pad);
    }
    if (m.yScale.manual && m.yScale.max > m.yScale.min) {
        plot->yAxis->setRange(m.yScale.min, m.yScale.max);
    } else if (found) {
        const double pad = maxValue > minValue ? (maxValue - minValue) * 0.05 : 1.0;
        plot->yAxis->setRange(minValue - pad, maxValue + pad);
    }
}

// Smooth lines where the points are sparse enough for slanted segments to show. Dense data is
// drawn as one vertical stroke per pixel column (adaptive sampling), where smoothing changes
// nothing visible but costs a large share of the replot.
void PESGraph::Private::updateAntialiasing()
{
    const QCPRange range = plot->xAxis->range();
    const int limit = 2 * std::max(1, axisRect->width());
    for (int s = 0; s < plot->graphCount(); ++s) {
        QCPGraph *graph = plot->graph(s);
        const auto data = graph->data();
        const auto visible = data->findEnd(range.upper) - data->findBegin(range.lower);
        graph->setAntialiased(visible <= limit);
    }
}

void PESGraph::Private::zoomTo(const QRect &rect)
{
    // The band runs from the press to the release point, whichever way it was dragged
    // (QRect::normalized would move a reversed band's edges by a pixel).
    const QRect area = axisRect->rect();
    const int left = std::clamp(std::min(rect.left(), rect.right()), area.left(), area.right());
    const int right = std::clamp(std::max(rect.left(), rect.right()), area.left(), area.right());
    const int top = std::clamp(std::min(rect.top(), rect.bottom()), area.top(), area.bottom());
    const int bottom = std::clamp(std::max(rect.top(), rect.bottom()), area.top(), area.bottom());
    const bool zoomX = right - left >= MinZoomPixels;
    const bool zoomY = bottom - top >= MinZoomPixels;
    if (!zoomX && !zoomY)
        return;
    zoomStack.push_back({ plot->xAxis->range(), plot->yAxis->range() });
    if (zoomX)
        plot->xAxis->setRange(plot->xAxis->pixelToCoord(left), plot->xAxis->pixelToCoord(right));
    if (zoomY)
        plot->yAxis->setRange(plot->yAxis->pixelToCoord(bottom), plot->yAxis->pixelToCoord(top));
    applyAnnotations(q->m_model); // the cursor texts find their side in the new range
    updateAntialiasing();
    scheduleReplot();
    Q_EMIT q->zoomedIn();
}

// --- Painting --------------------------------------------------------------------------------

void PESGraph::Private::scheduleReplot()
{
    layoutStale = true;
    if (replotQueued)
        return;
    replotQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (replotQueued)
                replotNow();
        },
        Qt::QueuedConnection);
}

void PESGraph::Private::replotNow()
{
    replotQueued = false;
    if (plot->geometry() != q->rect())
        plot->setGeometry(q->rect());
    plot->replot(QCustomPlot::rpImmediateRefresh);
    layoutStale = false;
}

// Lays the plot out for the widget's size when that is not done yet, without painting, so that
// pixel conversions and the plotting rectangle are right straight after a change.
void PESGraph::Private::ensureLayout()
{
    if (plot->geometry() != q->rect()) {
        plot->setGeometry(q->rect());
        layoutStale = true;
    }
    if (plot->viewport() != plot->rect()) {
        plot->setViewport(plot->rect());
        layoutStale = true;
    }
    if (!layoutStale)
        return;
    plot->plotLayout()->update(QCPLayoutElement::upPreparation);
    plot->plotLayout()->update(QCPLayoutElement::upMargins);
    plot->plotLayout()->update(QCPLayoutElement::upLayout);
    layoutStale = false;
}

// Draws the chart into target (device pixels of a device of deviceDpi): laid out as it would be
// on the screen at the target's physical size, then scaled to the device.
void PESGraph::Private::paintChart(QCPPainter &painter, const QRect &target, double deviceDpi)
{
    const double scale = deviceDpi / std::max(1, plot->logicalDpiX());
    const int width = std::max(1, qRound(target.width() / scale));
    const int height = std::max(1, qRound(target.height() / scale));
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    painter.setClipRect(QRect(0, 0, width, height));
    plot->toPainter(&painter, width, height);
    painter.restore();
    layoutStale = true; // toPainter left the layout at the target's size
}

// --- Mouse -----------------------------------------------------------------------------------

int PESGraph::Private::lineHit(const QPoint &pos) const
{
    const ChartModel &m = q->m_model;
    if (!m.allowVertLineAnnotHotSpots || !m.showVertLineAnnotations
        || !axisRect->rect().adjusted(-LineHotSpot, 0, LineHotSpot, 0).contains(pos))
        return -1;
    int best = -1;
    double bestDistance = LineHotSpot + 0.5;
    for (int i = 0; i < 2; ++i) {
        const double px = plot->xAxis->coordToPixel(
            toKey(m.verticalLines[static_cast<std::size_t>(i)].x, m.dateTimeX));
        const double distance = std::abs(px - pos.x());
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

bool PESGraph::Private::dataHit(const QPoint &pos, int *subset, int *point) const
{
    const ChartModel &m = q->m_model;
    if (!axisRect->rect().contains(pos))
        return false;
    double best = DataHotSpot * DataHotSpot + 0.5;
    bool found = false;
    for (int s = 0; s < m.subsets(); ++s) {
        const std::vector<double> &xs = m.xs(s);
        const std::vector<float> &ys = m.ys(s);
        for (std::size_t i = 0; i < xs.size(); ++i) {
            if (SeriesFeed::notRecorded(xs[i], m.dateTimeX) || ys[i] == ChartModel::NullValue
                || !std::isfinite(ys[i]))
                continue;
            const double dx = plot->xAxis->coordToPixel(toKey(xs[i], m.dateTimeX)) - pos.x();
            if (std::abs(dx) > DataHotSpot)
                continue;
            const double dy = plot->yAxis->coordToPixel(ys[i]) - pos.y();
            if (dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                *subset = s;
                *point = static_cast<int>(i);
                found = true;
            }
        }
    }
    return found;
}

bool PESGraph::Private::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != plot)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *e = static_cast<QMouseEvent *>(event);
        const QPoint pos = e->position().toPoint();
        ensureLayout();
        q->m_lastMouse = toWidget(pos);
        pressPos = pos;
        pressed = true;
        moved = false;
        draggingLine = false;
        if (e->button() == Qt::LeftButton) {
            const int line = lineHit(pos);
            if (line >= 0) {
                // The window drags the cursor; no rubber band for this press.
                draggingLine = true;
                plot->setSelectionRectMode(QCP::srmNone);
                Q_EMIT q->verticalLineHotSpot(line);
                return true;
            }
        }
        plot->setSelectionRectMode(zoomingAllowed && e->button() == Qt::LeftButton
                                           && axisRect->rect().contains(pos)
                                       ? QCP::srmCustom
                                       : QCP::srmNone);
        return false;
    }
    case QEvent::MouseMove: {
        const QPoint pos = static_cast<QMouseEvent *>(event)->position().toPoint();
        q->m_lastMouse = toWidget(pos);
        if (pressed && (pos - pressPos).manhattanLength() > ClickSlop)
            moved = true;
        Q_EMIT q->mouseMoved();
        return draggingLine;
    }
    case QEvent::MouseButtonRelease: {
        const auto *e = static_cast<QMouseEvent *>(event);
        const QPoint pos = e->position().toPoint();
        q->m_lastMouse = toWidget(pos);
        const bool click = pressed && !moved && !draggingLine && e->button() == Qt::LeftButton;
        const bool wasLine = draggingLine;
        pressed = false;
        draggingLine = false;
        if (click) {
            int subset = -1;
            int point = -1;
            if (q->m_model.allowDataHotSpots && dataHit(pos, &subset, &point))
                Q_EMIT q->dataHotSpot(subset, point);
            Q_EMIT q->clicked();
        }
        Q_EMIT q->mouseReleased();
        return wasLine;
    }
    case QEvent::Resize:
        layoutStale = true;
        return false;
    default:
        return false;
    }
}

// --- PESGraph --------------------------------------------------------------------------------

PESGraph::PESGraph(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Private>(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->plot);
    setArrowCursor(1);
    redraw();
}

PESGraph::~PESGraph() = default;

void PESGraph::redraw()
{
    d->handOver(m_model);
    d->applyScales(m_model); // before the look: cursor texts are placed within the ranges
    d->applyLook(m_model);
    d->updateAntialiasing();
    d->scheduleReplot();
}

void PESGraph::redrawNow()
{
    redraw();
    d->replotNow();
}

void PESGraph::reinitAndReset()
{
    d->zoomStack.clear();
    d->handed = false;
    d->scalesApplied = false;
    redraw();
}

void PESGraph::setZoomingAllowed(bool allowed)
{
    d->zoomingAllowed = allowed;
}

bool PESGraph::canUndoZoom() const
{
    return !d->zoomStack.empty();
}

void PESGraph::undoZoom()
{
    if (d->zoomStack.empty())
        return;
    const ZoomLevel level = d->zoomStack.back();
    d->zoomStack.pop_back();
    d->plot->xAxis->setRange(level.x);
    d->plot->yAxis->setRange(level.y);
    d->applyAnnotations(m_model);
    d->updateAntialiasing();
    d->scheduleReplot();
}

QPointF PESGraph::pixelToValue(const QPointF &pixel) const
{
    d->ensureLayout();
    const QPointF p = pixel - QPointF(d->plot->pos());
    return { fromKey(d->plot->xAxis->pixelToCoord(p.x()), m_model.dateTimeX),
             d->plot->yAxis->pixelToCoord(p.y()) };
}

QPointF PESGraph::valueToPixel(const QPointF &value) const
{
    d->ensureLayout();
    return QPointF(d->plot->xAxis->coordToPixel(toKey(value.x(), m_model.dateTimeX)),
                   d->plot->yAxis->coordToPixel(value.y()))
        + QPointF(d->plot->pos());
}

QRect PESGraph::plottingRect() const
{
    d->ensureLayout();
    return d->axisRect->rect().translated(d->plot->pos());
}

void PESGraph::setArrowCursor(int code)
{
    setArrowCursor(QCursor(code == 2 ? Qt::IBeamCursor : Qt::ArrowCursor));
}

void PESGraph::setArrowCursor(const QCursor &cursor)
{
    d->plot->setCursor(cursor);
}

void PESGraph::setCustomizePages(bool fonts, bool titles, bool look, bool subsets)
{
    d->pages = { fonts, titles, look, subsets };
}

void PESGraph::setDialogRunner(DialogRunner runner)
{
    d->runner = std::move(runner);
}

bool PESGraph::customize()
{
    ChartCustomizeDialog dialog(m_model, d->pages, this);
    const int result = d->runner ? d->runner(dialog) : dialog.exec();
    const bool changed = result == QDialog::Accepted && applyCustomization(dialog);
    Q_EMIT customizeDialogClosed(changed);
    return changed;
}

bool PESGraph::applyCustomization(const ChartCustomizeDialog &dialog)
{
    const bool changed = dialog.applyTo(m_model);
    if (changed)
        redraw();
    return changed;
}

void PESGraph::print(QPrinter &printer)
{
    QCPPainter painter;
    if (!painter.begin(&printer))
        return;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNonCosmetic);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    d->paintChart(painter, QRect(0, 0, qFloor(page.width()), qFloor(page.height())),
                  printer.logicalDpiX());
    painter.end();
}

void PESGraph::render(QPainter &painter, const QRect &target)
{
    // QCustomPlot draws through its own painter class: record into a picture, then play it back
    // onto the caller's painter.
    const double dpi = painter.device() ? painter.device()->logicalDpiX() : logicalDpiX();
    const double scale = dpi / std::max(1, logicalDpiX());
    const QRect logical(0, 0, std::max(1, qRound(target.width() / scale)),
                        std::max(1, qRound(target.height() / scale)));
    QPicture picture;
    QCPPainter recorder;
    if (!recorder.begin(&picture))
        return;
    recorder.setMode(QCPPainter::pmNonCosmetic);
    d->paintChart(recorder, logical, logicalDpiX());
    recorder.end();
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    painter.drawPicture(0, 0, picture);
    painter.restore();
}

QByteArray PESGraph::storeBlock() const
{
    return ChartBlock::save(m_model);
}

bool PESGraph::loadBlock(const QByteArray &block, QString *error)
{
    if (!ChartBlock::load(block, m_model, error))
        return false;
    reinitAndReset();
    return true;
}

QCustomPlot &PESGraph::plot()
{
    return *d->plot;
}
