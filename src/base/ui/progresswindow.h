#pragma once

#include "base/ui/tfrmscope.h"
#include "base/workprogress.h"

#include <QElapsedTimer>
#include <QPointer>

class TfrmScope;
class QWidget;

// Shows a long operation's progress in a fresh TfrmScope. The bar and the counts repaint at a
// capped rate (about 30 times a second) however many units of work there are, so that showing
// progress costs little; pending window messages run at a capped rate too (at least every
// 20 ms of work), so that Cancel is honoured at once.
class ProgressWindow : public WorkProgress
{
public:
    using Use = TfrmScope::Use;

    ProgressWindow(Use use, QWidget *parent);
    ~ProgressWindow() override;

    void start(int total) override;
    void progressed(int bytes) override;
    void finish() override;

    // True once the user pressed Cancel (it takes effect at the next unit of work).
    bool cancelled() const override;
    TfrmScope *window() const { return m_window; }

private:
    void show(int value);

    QPointer<TfrmScope> m_window;
    QElapsedTimer m_sinceStart;
    qint64 m_repaintedAt = 0;
    qint64 m_lookedAt = 0;
    int m_sinceLook = 0;
    int m_lookStride = 1;
    qint64 m_messagesAt = 0;
    int m_lastShown = -1;
    int m_latest = 0;
};
