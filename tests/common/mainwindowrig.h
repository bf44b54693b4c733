#pragma once

#include "app/ui/tfrmmain.h"
#include "common/fakeclock.h"
#include "common/recordingmeterusb.h"
#include "common/scriptedprompts.h"
#include "meter/simulatedmeter.h"

#include <QSettings>
#include <QSize>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>
#include <optional>

// A main window on a simulated meter, a clock that stands still, scripted prompts, and a
// settings file and documents folder of its own in a temporary folder.
class MainWindowRig
{
public:
    struct Options
    {
        // Seeds the simulated meter's levels, so that each test sees the same readings every run.
        quint32 seed = 1;
        // Puts a RecordingMeterUsb between the window and the meter, so that tests can check the
        // calls and frames in `usb`.
        bool recordCalls = false;
        bool show = true;
        // Stops MainTimer once the window is up, so that the test alone drives the poll.
        bool stopMainTimer = false;
        // The window's size before it is shown; an invalid size leaves the window's own.
        QSize size {};
        // Creates "program" beside "Documents"; without it the program's folder does not exist.
        bool makeProgramFolder = false;
    };

    // Works in a temporary folder of its own, removed with the rig.
    explicit MainWindowRig(const Options &options);
    // Works in a folder the test owns: a second rig on the same folder is the program
    // started again on the files and settings the first one left.
    MainWindowRig(QTemporaryDir &folder, const Options &options);

    MainWindowRig(const MainWindowRig &) = delete;
    MainWindowRig &operator=(const MainWindowRig &) = delete;

    // One tick of the poll: the window identifies the meter (and polls nothing else in that
    // tick); checks that it now shows the meter as connected.
    void connect();
    // connect() and one more tick, so that the window has the meter's live level and state.
    void connectAndPoll();
    // `n` ticks of the poll.
    void ticks(int n);

    // A named control of a window, as the user finds it on screen.
    template<typename T> static T &control(const QWidget &window, const char *name)
    {
        T *found = window.findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s in %s", name, qPrintable(window.objectName()));
        return *found;
    }

private:
    MainWindowRig(std::unique_ptr<QTemporaryDir> ownDir, QTemporaryDir *folder,
                  const Options &options);

    // Declared before everything that lives in the folder, so that it is removed last.
    std::unique_ptr<QTemporaryDir> m_ownDir;

public:
    // In the order they are needed; the window, last, goes first.
    QTemporaryDir &dir;
    FakeClock clock;
    SimulatedMeter meter;
    // Set when Options::recordCalls asked for it.
    std::optional<RecordingMeterUsb> usb;
    ScriptedPrompts prompts;
    QSettings settings;
    std::unique_ptr<TfrmMain> window;
};
