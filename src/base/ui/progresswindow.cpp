#include "base/ui/progresswindow.h"

#include "base/ui/tfrmscope.h"

#include <QCoreApplication>

namespace {
// About 30 repaints a second, and pending window messages (the Cancel button) run at least every
// 20 ms: a unit of work that takes microseconds (a line of a text file) then costs little, and
// Cancel still takes effect within a tenth of a second.
constexpr int RepaintIntervalMs = 33;
constexpr int MessagesIntervalMs = 20;
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
    m_repaintedAt = m_messagesAt = 0;
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
    const qint64 now = m_sinceStart.elapsed();
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
