#pragma once

class AppFolders;
class Clock;
class FloatingPointOption;
class MdiChildForm;
class Prompts;
class QRect;
class QSize;
class QWidget;
struct AppState;

// What the program offers its windows and their controllers. The main window implements it;
// every window is handed this (and, where it talks to the meter, MeterServices), never the main
// window itself, so that each can be built and tested without it.
class WindowServices
{
public:
    virtual ~WindowServices() = default;

    virtual AppState &state() = 0;
    virtual Clock &clock() = 0;
    virtual Prompts &prompts() = 0;
    virtual const AppFolders &folders() const = 0;
    virtual const FloatingPointOption &floatingPoint() const = 0;
    // The window that dialogs and message boxes belong to.
    virtual QWidget *dialogParent() = 0;

    // Adds a child window to the main window's client area at geometry (in the client area's
    // coordinates) and shows it; the window releases itself when closed.
    virtual void addChildWindow(MdiChildForm &form, const QRect &geometry) = 0;
    // The client area's size, to place child windows in it.
    virtual QSize clientAreaSize() const = 0;
    // Restores a child window from minimised and brings it to the front.
    virtual void activateChildWindow(MdiChildForm &form) = 0;
    // Restores a child window from minimised or maximised to its normal size, leaving the window
    // the user works in active and in front.
    virtual void restoreChildWindow(MdiChildForm &form) = 0;

    // The Save command for a child window, as File > Save runs it for the active one; true when
    // something was saved.
    virtual bool saveChildWindow(MdiChildForm &form) = 0;

    // The commands whose enabled state follows the program's state (Run, Stop, the data logger,
    // Open, LEQ): worked out again after the state changed (a recording, the connection, an
    // exchange).
    virtual void refreshCommands() = 0;
    // "Output Tabular to graph": a table window enables it, the other windows disable it.
    virtual void setOutputToGraphEnabled(bool enabled) = 0;
    // The check mark of "Real Time &Graph".
    virtual void setRealTimeGraphChecked(bool checked) = 0;
};
