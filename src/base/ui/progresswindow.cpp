#include "base/ui/progresswindow.h"

#include "base/ui/tfrmscope.h"

#include <QCoreApplication>

namespace {
constexpr int RepaintIntervalMs = 33;
}

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
    m_sinceRepaint.start();
}

void ProgressWindow::show(int value)
{
    m_lastShown = value;
    m_window->showProgress(value);
    m_sinceRepaint.restart();
}

void ProgressWindow::progressed(int bytes)
{
    m_latest = bytes;
    if (!m_window)
        return;
    if (bytes == m_window->progressTotal() || m_sinceRepaint.elapsed() >= RepaintIntervalMs)
        show(bytes);
    QCoreApplication::processEvents();
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
