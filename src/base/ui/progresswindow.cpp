#include "base/ui/progresswindow.h"

#include "base/ui/tfrmscope.h"

#include <QCoreApplication>

#include <algorithm>

namespace {
// About 30 repaints a second, and pending window messages (the Cancel button) run at least every
// 20 ms: a unit of work that takes microseconds (a line of a text file) then costs little, and
// Cancel still takes effect within a tenth of a second.
constexpr int RepaintIntervalMs = 33;
constexpr int MessagesIntervalMs = 20;
constexpr int MaxLookStride = 256;
} // namespace

ProgressWindow::ProgressWindow(Use use, QWidget *parent)
    : m_window(new TfrmScope(parent))
{
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    m_window->showProgressOf(use);
}

ProgressWindow::~ProgressWindow()
{
    delete m_window;
}

void ProgressWindow::start(int total)
{
    m_window->startProgress(total);
    m_sinceStart.start();
    m_repaintedAt = m_messagesAt = m_lookedAt = 0;
    m_sinceLook = 0;
    m_lookStride = 1;
    QCoreApplication::processEvents();
}

void ProgressWindow::show(int value)
{
    m_lastShown = value;
    m_window->showProgress(value);
}

void ProgressWindow::progressed(int bytes)
{
    m_latest = bytes;
    if (!m_window)
        return;
    // Units of work that take microseconds (lines of a text file) look at the clock only every
    // so many units; the stride grows while a look finds less than a millisecond gone, and falls
    // back to every unit once units get slow (a download's blocks).
    if (++m_sinceLook < m_lookStride && bytes != m_window->progressTotal())
        return;
    m_sinceLook = 0;
    const qint64 now = m_sinceStart.elapsed();
    if (now - m_lookedAt < 1)
        m_lookStride = std::min(m_lookStride * 2, MaxLookStride);
    else if (now - m_lookedAt > 4)
        m_lookStride = 1;
    m_lookedAt = now;
    if (bytes == m_window->progressTotal() || now - m_repaintedAt >= RepaintIntervalMs) {
        show(bytes);
        m_repaintedAt = now;
    }
    if (now - m_messagesAt >= MessagesIntervalMs) {
        QCoreApplication::processEvents();
        m_messagesAt = now;
    }
}

void ProgressWindow::finish()
{
    if (m_window && m_lastShown != m_latest)
        show(m_latest);
    if (m_window)
        m_window->close();
}

bool ProgressWindow::cancelled() const
{
    return m_window && m_window->ModalResult == TfrmScope::Result::Cancel;
}
