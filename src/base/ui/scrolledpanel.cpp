#include "base/ui/scrolledpanel.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScrollBar>

ScrolledPanel::ScrolledPanel(QWidget *panel, Scroll scroll, QWidget *parent)
    : QScrollArea(parent)
    , m_scroll(scroll)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(scroll == Scroll::Down ? Qt::ScrollBarAlwaysOff
                                                        : Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(scroll == Scroll::Across ? Qt::ScrollBarAlwaysOff
                                                        : Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    setWidget(panel);
    // A row across may be as narrow as the window, a column down as low; the other way the
    // holder keeps what the panel needs.
    switch (scroll) {
    case Scroll::Across:
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        break;
    case Scroll::Down:
        setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Ignored);
        break;
    case Scroll::Both:
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        break;
    }
    fit();
}

QSize ScrolledPanel::panelSize() const
{
    return widget() ? widget()->minimumSizeHint().expandedTo(widget()->minimumSize()) : QSize();
}

// A holder not shown yet (or a page behind another) has no size of its own to go by: it asks
// for the panel's size without scroll bars, and fits again once it is laid out.
bool ScrolledPanel::scrollsAcross() const
{
    return isVisible() && m_scroll != Scroll::Down && width() < panelSize().width();
}

bool ScrolledPanel::scrollsDown() const
{
    const int across = scrollsAcross() ? horizontalScrollBar()->sizeHint().height() : 0;
    return isVisible() && m_scroll != Scroll::Across && height() - across < panelSize().height();
}

QSize ScrolledPanel::sizeHint() const
{
    // What the panel needs whole, with the scroll bars that show at the present size.
    QSize size = panelSize();
    if (scrollsAcross())
        size.rheight() += horizontalScrollBar()->sizeHint().height();
    if (scrollsDown())
        size.rwidth() += verticalScrollBar()->sizeHint().width();
    return size;
}

QSize ScrolledPanel::minimumSizeHint() const
{
    const QSize whole = sizeHint();
    switch (m_scroll) {
    case Scroll::Across:
        return { 0, whole.height() };
    case Scroll::Down:
        return { whole.width(), 0 };
    case Scroll::Both:
        break;
    }
    return { 0, 0 };
}

void ScrolledPanel::fit()
{
    const QSize whole = sizeHint();
    switch (m_scroll) {
    case Scroll::Across:
        setFixedHeight(whole.height());
        break;
    case Scroll::Down:
        setMinimumWidth(whole.width());
        break;
    case Scroll::Both:
        setMaximumHeight(whole.height());
        break;
    }
    if (whole != m_fitted) {
        m_fitted = whole;
        updateGeometry();
    }
}

void ScrolledPanel::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    fit();
}

bool ScrolledPanel::eventFilter(QObject *watched, QEvent *event)
{
    // The panel's fields changed (a column shown or hidden): the holder's limits follow, and
    // the panel is laid out again at the holder's width.
    if (watched == widget() && event->type() == QEvent::LayoutRequest) {
        fit();
        QCoreApplication::postEvent(this, new QEvent(QEvent::LayoutRequest));
    }
    return QScrollArea::eventFilter(watched, event);
}
