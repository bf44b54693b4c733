#include "base/ui/progresswindow.h"

#include "base/ui/tfrmscope.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {
constexpr int RepaintIntervalMs = 33;
}

ProgressWindow::ProgressWindow(Use use, QWidget *parent)
    : m_use(use)
    , m_window(new TfrmScope(parent))
{
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    m_window->showsProgress = true;
    switch (use) {
    case Use::Download:
        m_window->setWindowTitle(QStringLiteral("Data Retriving Progress"));
        m_window->SText1->setText(QStringLiteral("bytes received"));
        for (QWidget *w : std::initializer_list<QWidget *> {
                 m_window->Progress1, m_window->SText1, m_window->SText2,
                 m_window->lblBytesReceived, m_window->lblTotalBytes })
            w->show();
        break;
    case Use::Saving:
        m_window->setWindowTitle(QStringLiteral("Saving Progress"));
        m_window->SText1->setText(QStringLiteral("saving....."));
        m_window->Progress1->show();
        m_window->SText1->show();
        m_window->BitBtn2->show();
        break;
    case Use::Opening:
        m_window->setWindowTitle(QStringLiteral("Open Progress"));
        m_window->SText1->show();
        m_window->BitBtn2->show();
        break;
    case Use::Graphing:
        m_window->setWindowTitle(QStringLiteral("Graphing Progress"));
        m_window->SText1->setText(QStringLiteral("graphing....."));
        m_window->Progress1->show();
        m_window->SText1->show();
        break;
    }
}

ProgressWindow::~ProgressWindow()
{
    delete m_window;
}

void ProgressWindow::start(int total)
{
    m_window->ModalResult = TfrmScope::Result::None;
    m_window->Progress1->setRange(0, total);
    m_window->Progress1->setValue(0);
    m_window->lblTotalBytes->setText(QString::number(total));
    m_window->lblBytesReceived->setText(QStringLiteral("0"));
    m_window->show();
    m_window->repaint();
    m_sinceRepaint.start();
}

void ProgressWindow::show(int value)
{
    m_lastShown = value;
    m_window->Progress1->setValue(value);
    if (m_use == Use::Download)
        m_window->lblBytesReceived->setText(QString::number(value));
    else if (m_use == Use::Opening)
        m_window->SText1->setText(QString::number(value));
    m_sinceRepaint.restart();
}

void ProgressWindow::progressed(int bytes)
{
    m_latest = bytes;
    if (!m_window)
        return;
    if (bytes == m_window->Progress1->maximum() || m_sinceRepaint.elapsed() >= RepaintIntervalMs)
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
