#include "panel/ui/keyarea.h"

#include <QMouseEvent>
#include <QPainter>

KeyArea::KeyArea(const QString &objectName, const QRect &geometry, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(objectName);
    setGeometry(geometry);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_TranslucentBackground);
}

void KeyArea::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    update();
}

void KeyArea::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool click
        = m_pressed && !m_swallowRelease && rect().contains(event->position().toPoint());
    m_pressed = false;
    m_swallowRelease = false;
    update();
    if (click)
        Q_EMIT clicked();
}

void KeyArea::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_swallowRelease = true;
    Q_EMIT doubleClicked();
}

void KeyArea::paintEvent(QPaintEvent *)
{
    // The key itself is part of the panel picture; a pressed or hovered key gets a soft glow, a
    // disabled one a dark veil.
    const bool enabled = isEnabled();
    if (enabled && !m_pressed && !m_hovered)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(!enabled        ? QColor(0, 0, 0, 110)
                         : m_pressed ? QColor(0, 0, 0, 70)
                                     : QColor(255, 255, 255, 40));
    painter.drawRoundedRect(rect().adjusted(1, 1, -1, -1), 5, 5);
}

void KeyArea::enterEvent(QEnterEvent *)
{
    m_hovered = true;
    update();
}

void KeyArea::leaveEvent(QEvent *)
{
    m_hovered = false;
    update();
}

void KeyArea::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        m_pressed = false;
        setCursor(isEnabled() ? Qt::PointingHandCursor : Qt::ArrowCursor);
        update();
    }
    QWidget::changeEvent(event);
}
