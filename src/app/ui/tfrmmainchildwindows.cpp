// The main window's child windows: where they are placed, how Tile and Cascade arrange them, and
// the Window menu that lists them.

#include "app/ui/mainmenus.h"
#include "app/ui/statuspanels.h"
#include "app/ui/tfrmmain.h"
#include "app/windowarrangement.h"
#include "base/ui/mdichildform.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QToolBar>

namespace {
constexpr QSize MinimumChildSize(160, 90);
} // namespace

QRect TfrmMain::realTimeGraphPlace() const
{
    // Right of the control panel, as wide as the main window leaves, and never past the client
    // area.
    const int panelWidth = PanelWindow ? PanelWindow->parentWidget()->width() : 0;
    const QSize area = clientAreaSize();
    const int width = qMin(area.width() - panelWidth, qMax(200, this->width() - panelWidth - 5));
    const int height
        = qMin(area.height(),
               qMax(200, this->height() - m_menus->Panel1->height() - StatusBar1->height() - 40));
    return { panelWidth, 0, width, height };
}

QMdiSubWindow *TfrmMain::addChildFrame(MdiChildForm &form)
{
    form.setAttribute(Qt::WA_DeleteOnClose);
    // A window may be made smaller than its controls need (Tile of many windows), rather than
    // grow the client area: its controls are then cut off at its edge, or (a graph window) its
    // panels scroll.
    if (form.minimumSize().isNull())
        form.setMinimumSize(MinimumChildSize);
    QMdiSubWindow *frame = m_mdiArea->addSubWindow(&form);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    return frame;
}

void TfrmMain::addChildWindow(MdiChildForm &form, const QRect &geometry)
{
    QMdiSubWindow *frame = addChildFrame(form);
    frame->setGeometry(geometry);
    frame->show();
    // A new window comes to the front, whatever window was active.
    m_mdiArea->setActiveSubWindow(frame);
}

QSize TfrmMain::clientAreaSize() const
{
    return m_mdiArea->size();
}

void TfrmMain::activateChildWindow(MdiChildForm &form)
{
    auto *frame = qobject_cast<QMdiSubWindow *>(form.parentWidget());
    if (!frame)
        return;
    if (frame->isMinimized() || frame->isMaximized())
        frame->showNormal();
    m_mdiArea->setActiveSubWindow(frame);
}

void TfrmMain::restoreChildWindow(MdiChildForm &form)
{
    auto *frame = qobject_cast<QMdiSubWindow *>(form.parentWidget());
    if (!frame || !(frame->isMinimized() || frame->isMaximized()))
        return;
    QMdiSubWindow *active = m_mdiArea->activeSubWindow();
    frame->showNormal();
    if (active && active != frame) {
        m_mdiArea->setActiveSubWindow(active);
        active->raise();
    }
}

void TfrmMain::activeChildChanged(QMdiSubWindow *frame)
{
    // Only a table window can be drawn as a graph; it enables the button when activated.
    m_menus->btnOutputToGraph->setEnabled(false);
    if (!frame)
        return;
    if (auto *child = qobject_cast<MdiChildForm *>(frame->widget()))
        Q_EMIT child->formActivated();
}

void TfrmMain::Tile1Click()
{
    arrangeChildWindows(Arrangement::Tile);
}

void TfrmMain::Cascade1Click()
{
    arrangeChildWindows(Arrangement::Cascade);
}

void TfrmMain::arrangeChildWindows(Arrangement arrangement)
{
    // Tiling follows the order the windows were opened in; cascading keeps the stacking order,
    // so the window in front stays in front. Minimised and hidden windows stay where they are.
    const QList<QMdiSubWindow *> all = m_mdiArea->subWindowList(
        arrangement == Arrangement::Tile ? QMdiArea::CreationOrder : QMdiArea::StackingOrder);
    QList<QMdiSubWindow *> frames;
    QList<WindowArrangement::Frame> sizes;
    for (QMdiSubWindow *frame : all) {
        if (!frame->isVisible() || frame->isMinimized())
            continue;
        if (frame->isMaximized())
            frame->showNormal();
        frames.append(frame);
        sizes.append({ frame->size(), frame->minimumSize() == frame->maximumSize() });
    }
    const QSize area = m_mdiArea->viewport()->size();
    const QList<QRect> places = arrangement == Arrangement::Tile
        ? WindowArrangement::tile(area, sizes)
        : WindowArrangement::cascade(area, sizes, cascadeStep());
    for (qsizetype i = 0; i < frames.size(); ++i)
        frames[i]->setGeometry(places[i]);
}

int TfrmMain::cascadeStep() const
{
    // One title bar down and across, so that every caption of the cascade can be read.
    QStyleOptionTitleBar option;
    option.initFrom(m_mdiArea);
    return style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, m_mdiArea) + 4;
}

void TfrmMain::rebuildWindowMenu()
{
    QMenu *menu = m_menus->Window1;
    // Keep "&Tile" and "&Cascade"; list the open child windows after a separator.
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions)
        if (action != m_menus->Tile1 && action != m_menus->Cascade1) {
            menu->removeAction(action);
            action->deleteLater();
        }
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    if (windows.isEmpty())
        return;
    menu->addSeparator();
    int number = 1;
    for (QMdiSubWindow *frame : windows) {
        const QString caption
            = frame->widget() ? frame->widget()->windowTitle() : frame->windowTitle();
        QAction *action = menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(caption));
        action->setCheckable(true);
        action->setChecked(frame == m_mdiArea->activeSubWindow());
        connect(action, &QAction::triggered, this, [this, frame = QPointer(frame)] {
            if (!frame)
                return;
            if (frame->isMinimized())
                frame->showNormal();
            m_mdiArea->setActiveSubWindow(frame);
        });
    }
}
