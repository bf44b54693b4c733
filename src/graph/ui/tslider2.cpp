#include "graph/ui/tslider2.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int ThumbHalfWidth = 6;
const QColor TrackColour(255, 255, 0); // yellow
const QColor TrackEdge(150, 150, 0);
const QColor ThumbColour(0, 255, 0); // lime
const QColor ThumbEdge(0, 100, 0);

} // namespace

Tslider2::Tslider2(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumSize(4 * ThumbHalfWidth, 20);
}

QSize Tslider2::sizeHint() const
{
    return { 200, 24 };
}

void Tslider2::setMinimum(int minimum)
{
    applyRange(minimum, m_requestedMaximum);
}

void Tslider2::setMaximum(int maximum)
{
    applyRange(m_minimum, maximum);
}

void Tslider2::applyRange(int minimum, int requestedMaximum)
{
    m_minimum = minimum;
    m_requestedMaximum = requestedMaximum;
    m_maximum = std::max(minimum, requestedMaximum);
    setValues(m_value1, m_value2);
    update();
}

void Tslider2::setValue1(int value)
{
    setValues(value, m_value2);
}

void Tslider2::setValue2(int value)
{
    setValues(m_value1, value);
}

// Both values are stored before either signal goes out, so that a handler reading the other
// thumb sees it clamped to the current range too.
void Tslider2::setValues(int value1, int value2)
{
    value1 = std::clamp(value1, m_minimum, m_maximum);
    value2 = std::clamp(value2, m_minimum, m_maximum);
    const bool changed1 = value1 != m_value1;
    const bool changed2 = value2 != m_value2;
    m_value1 = value1;
    m_value2 = value2;
    if (changed1 || changed2)
        update();
    if (changed1)
        Q_EMIT OnValueChange1(m_value1);
    if (changed2)
        Q_EMIT OnValueChange2(m_value2);
}

// The thumbs' centres run from one half thumb inside the left edge to one half thumb inside the
// right edge; positions are linear in the value.
int Tslider2::thumbX(int value) const
{
    const double span = std::max(0, width() - 2 * ThumbHalfWidth);
    const double range = double(m_maximum) - double(m_minimum);
    const double t = range > 0.0 ? (double(value) - double(m_minimum)) / range : 0.0;
    return ThumbHalfWidth + int(std::lround(t * span));
}

int Tslider2::valueAt(double x) const
{
    const double span = width() - 2 * ThumbHalfWidth;
    if (span <= 0.0)
        return m_minimum;
    const double t = std::clamp((x - ThumbHalfWidth) / span, 0.0, 1.0);
    const double range = double(m_maximum) - double(m_minimum);
    const double value = double(m_minimum) + std::round(t * range);
    return int(std::clamp(value, double(m_minimum), double(m_maximum)));
}

// Thumb A covers the upper half of the widget, thumb B the lower half.
int Tslider2::thumbAt(const QPoint &pos) const
{
    const bool upper = pos.y() < height() / 2;
    const int x = upper ? thumbX(m_value1) : thumbX(m_value2);
    if (std::abs(pos.x() - x) > ThumbHalfWidth)
        return 0;
    return upper ? 1 : 2;
}

void Tslider2::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double mid = height() / 2.0;
    const double left = ThumbHalfWidth;
    const double right = std::max(left, double(width() - ThumbHalfWidth));

    // Track: half-pixel offsets keep the one-pixel edges on pixel boundaries.
    painter.setPen(QPen(TrackEdge, 1.0));
    painter.setBrush(TrackColour);
    painter.drawRect(QRectF(left - 0.5, mid - 2.5, right - left + 1.0, 5.0));

    QFont font = painter.font();
    font.setPixelSize(std::max(6, height() / 2 - 4));
    font.setBold(true);
    painter.setFont(font);

    // One thumb: a pentagon whose body lies away from the track and whose tip touches its
    // middle; direction -1 draws thumb A above the track, +1 thumb B below it.
    const auto drawThumb = [&](int value, int direction, const QString &letter) {
        const double x = thumbX(value) + 0.5;
        const double tip = mid;
        const double shoulder = mid + direction * 3.0;
        const double end = direction < 0 ? 0.5 : height() - 0.5;
        QPainterPath path;
        path.moveTo(x, tip);
        path.lineTo(x + ThumbHalfWidth, shoulder);
        path.lineTo(x + ThumbHalfWidth, end);
        path.lineTo(x - ThumbHalfWidth, end);
        path.lineTo(x - ThumbHalfWidth, shoulder);
        path.closeSubpath();
        painter.setPen(QPen(ThumbEdge, 1.0));
        painter.setBrush(ThumbColour);
        painter.drawPath(path);
        const QRectF body(x - ThumbHalfWidth, std::min(end, shoulder), 2.0 * ThumbHalfWidth,
                          std::abs(end - shoulder));
        painter.setPen(Qt::black);
        painter.drawText(body, Qt::AlignCenter, letter);
    };
    drawThumb(m_value1, -1, QStringLiteral("A"));
    drawThumb(m_value2, +1, QStringLiteral("B"));
}

void Tslider2::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    m_dragging = thumbAt(pos);
    if (m_dragging != 0) {
        m_grabOffset = pos.x() - thumbX(m_dragging == 1 ? m_value1 : m_value2);
    } else {
        // On the track: the nearer thumb jumps there (the half pressed decides a tie).
        const int toA = std::abs(pos.x() - thumbX(m_value1));
        const int toB = std::abs(pos.x() - thumbX(m_value2));
        m_dragging = toA < toB || (toA == toB && pos.y() < height() / 2) ? 1 : 2;
        m_grabOffset = 0;
        const int value = valueAt(pos.x());
        if (m_dragging == 1)
            setValue1(value);
        else
            setValue2(value);
    }
    event->accept();
}

void Tslider2::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging == 0) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const int value = valueAt(event->position().x() - m_grabOffset);
    if (m_dragging == 1)
        setValue1(value);
    else
        setValue2(value);
    event->accept();
}

void Tslider2::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_dragging != 0) {
        m_dragging = 0;
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}
