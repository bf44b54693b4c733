#include "base/ui/clippedpanel.h"

#include <QWheelEvent>

ClippedPanel::ClippedPanel(QWidget *panel, Cut cut, QWidget *parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    setWidget(panel);
    // The holder never grows past what the panel needs, nor shrinks in height where it may not.
    setMaximumHeight(panel->maximumHeight());
    m_minimumHeight = cut == Cut::Right ? panel->minimumHeight() : 0;
    setSizePolicy(QSizePolicy::Ignored, panel->sizePolicy().verticalPolicy());
}

QSize ClippedPanel::sizeHint() const
{
    // What the panel needs whole: a panel of fixed size asks for that size.
    return widget() ? widget()->sizeHint().expandedTo(widget()->minimumSize())
                    : QScrollArea::sizeHint();
}

QSize ClippedPanel::minimumSizeHint() const
{
    return { 0, m_minimumHeight };
}

void ClippedPanel::wheelEvent(QWheelEvent *event)
{
    // The wheel belongs to the window around the panel.
    event->ignore();
}
