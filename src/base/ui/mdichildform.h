#pragma once

#include <QWidget>

class QCloseEvent;

// The base of every child window of the main window. A child answers FormCloseQuery (may it
// close? it may ask its own questions) and tells the main window when it has closed, so the
// main window can clear its reference and its menu's check mark.
class MdiChildForm : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    // True when the window may close; a window with unsaved data asks here.
    virtual bool FormCloseQuery() { return true; }
    // Closes the window, and the MDI frame around it.
    void closeForm();

Q_SIGNALS:
    void formClosed();
    void formActivated();

protected:
    void closeEvent(QCloseEvent *event) override;
};
