// The control panel's test, one class over two files: the display rules (tst_panel.cpp), and the
// panel window with random replies through it (tst_panelwindow.cpp). The rig they share is here.

#pragma once

#include "common/fakeclock.h"
#include "common/recordingmeterusb.h"
#include "common/scriptedprompts.h"
#include "meter/connectionmonitor.h"
#include "meter/livereading.h"
#include "meter/meterlink.h"
#include "meter/simulatedmeter.h"
#include "panel/paneldisplay.h"
#include "panel/ui/keyarea.h"
#include "panel/ui/tfrmpanel.h"
#include "resources/bitmaptable.h"

#include <QTest>
#include <QTimer>

using Digits = QList<int>;

inline LiveReading maxMinReading(bool active, int state)
{
    LiveReading r;
    r.maxMinActive = active;
    r.maxMinState = static_cast<quint8>(state);
    return r;
}

// The panel on the simulated meter, with scripted prompts and its own blink timer.
struct PanelRig
{
    explicit PanelRig(const BitmapTable &bitmaps)
        : panel(bitmaps, link, prompts, maxMinTimer)
    {
        maxMinTimer.setInterval(500);
    }
    QWidget *child(const char *name) const
    {
        return panel.findChild<QWidget *>(QLatin1String(name));
    }
    bool shown(const char *name) const
    {
        const QWidget *w = child(name);
        return w && !w->isHidden();
    }

    FakeClock clock;
    SimulatedMeter meter { clock, 3 };
    RecordingMeterUsb usb { meter };
    MeterLink link { usb };
    ScriptedPrompts prompts;
    QTimer maxMinTimer;
    TfrmPanel panel;
};

Q_DECLARE_METATYPE(PanelDisplay::BlinkTimer)

class TestPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_bitmaps.load()); }

    // Display rules
    void levelDigits_data();
    void levelDigits();
    void rangeAndBar_data();
    void rangeAndBar();
    void unknownRangeKeepsBar_data();
    void unknownRangeKeepsBar();
    void clock_data();
    void clock();
    void annunciators_data();
    void annunciators();
    void maxMin_data();
    void maxMin();
    void blinkTick();
    void randomReplies();

    // The panel window
    void readingShowsOnWidgets();
    void keys_data();
    void keys();
    void maxMinDoubleClick();
    void keysWithoutMeter_data();
    void keysWithoutMeter();
    void keyAreasLook();
    void closeKeys_data();
    void closeKeys();
    void maxMinBlinking();

private:
    BitmapTable m_bitmaps;
};
