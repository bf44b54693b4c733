#include "base/ui/mdichildform.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

void MdiChildForm::closeForm()
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        frame->close();
    else
        close();
}

void MdiChildForm::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    Q_EMIT formClosed();
}
