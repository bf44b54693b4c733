// "Data Logger Setup" and Data Logger > Erase Memory as a user meets them, on the main window and
// the simulated meter: what each button sends and says, the questions before an erase, and the
// poll running again after every command.

#include "app/ui/mainmenus.h"
#include "app/ui/tfrmmain.h"
#include "base/appstate.h"
#include "common/mainwindowrig.h"
#include "leq/ui/leqcontroller.h"
#include "meter/simulatedloggermemory.h"
#include "meter/ui/setupcommands.h"
#include "meter/ui/tfrmsetup.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

namespace {

struct Rig : MainWindowRig
{
    explicit Rig(bool service = false)
        : MainWindowRig({ .seed = 9 })
    {
        connectAndPoll();
        window->setup().setServiceWork(service);
        window->menus().Setup1->trigger();
    }
    TfrmSetup &dialog() { return *window->setup().SetupWindow(); }
    QLineEdit &box(const char *name) { return control<QLineEdit>(dialog(), name); }
};

} // namespace

class TestSetupWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commands_data();
    void commands();
    void eepromOnlyForServiceWork();
};

void TestSetupWindow::commands_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("setsAfter");
    const int seeded = int(SimulatedLoggerMemory::seededSets().size());
    QTest::newRow("clock") << "clock" << QStringList { "Meter time updated successfully \n" }
                           << seeded;
    QTest::newRow("interval 00:05, read back")
        << "interval 05"
        << QStringList { "Recording Interval Setup Successfully, turn off and turn on the meter "
                         "to effective ",
                         "read data successfully" }
        << seeded;
    QTest::newRow("interval 00:00") << "interval 00" << QStringList { "Invalid Input" } << seeded;
    QTest::newRow("erase, Yes") << "erase yes" << QStringList { "erase memory successfully" } << 0;
    QTest::newRow("erase, No") << "erase no" << QStringList {} << seeded;
    QTest::newRow("erase while recording")
        << "erase recording"
        << QStringList { "The meter is recording data, please stop recording before erasing "
                         "data." }
        << seeded;
    QTest::newRow("Erase Memory, Yes")
        << "menu erase"
        << QStringList { "Please power off and power on meter before recording data or loading "
                         "again." }
        << 0;
    QTest::newRow("Erase Memory, no reply")
        << "menu erase no reply" << QStringList { "no response from device, error code=806" }
        << 0; // the simulated meter erases before its reply is lost
    QTest::newRow("clock while an LEQ measurement has the meter")
        << "busy"
        << QStringList { "The meter is busy with another exchange; try again when it has ended." }
        << seeded;
    QTest::newRow("EEPROM write fails")
        << "eeprom fails" << QStringList { "Error Code=709" } << seeded;
}

void TestSetupWindow::commands()
{
    QFETCH(QString, action);
    QFETCH(QStringList, messages);
    QFETCH(int, setsAfter);
    Rig rig(true);
    QCOMPARE(rig.dialog().windowTitle(), QString("Data Logger Setup"));
    QCOMPARE(rig.dialog().size(), QSize(770, 575));
    if (action == "clock") {
        rig.meter.setClockOffsetSeconds(-7200);
        rig.dialog().Button1Click();
        QCOMPARE(rig.meter.meterTime(), rig.clock.now());
    } else if (action.startsWith("interval")) {
        rig.box("edtInt2").setText(action.right(2));
        rig.dialog().Button2Click();
        if (action.endsWith("05")) {
            rig.dialog().Button4Click();
            QCOMPARE(rig.box("txtInt").text(), QString("5"));
        }
    } else if (action.startsWith("erase")) {
        rig.window->state().MeterRecording = action.endsWith("recording");
        rig.prompts.answers
            = { action.endsWith("yes") ? Prompts::Answer::Yes : Prompts::Answer::No };
        rig.dialog().Button3Click();
        if (!action.endsWith("recording"))
            QCOMPARE(rig.prompts.questions, QStringList { "Are you sure to erase memory ?" });
    } else if (action == "busy") {
        rig.window->menus().LEQ1->trigger();
        rig.window->leq().btnLEQClick();
        rig.dialog().Button1Click();
        rig.window->leq().Button1Click();
    } else if (action.startsWith("menu erase")) {
        rig.meter.faults().readTimesOut = action.endsWith("no reply");
        rig.prompts.answers = { Prompts::Answer::Yes };
        rig.window->menus().EraseMemory1->trigger();
    } else {
        rig.meter.faults().readTimesOut = true;
        rig.dialog().Button6Click();
    }
    QCOMPARE(rig.prompts.messages, messages);
    QCOMPARE(rig.meter.logger().setCount(), setsAfter);
    // The poll runs again, and finds the meter.
    QVERIFY(rig.window->MainTimer.isActive());
    QVERIFY(!rig.window->state().ExchangeRunning);
    rig.meter.faults().readTimesOut = false;
    rig.window->MainTimerTimer();
    QVERIFY(rig.window->state().Connected);
}

void TestSetupWindow::eepromOnlyForServiceWork()
{
    for (bool service : { false, true }) {
        Rig rig(service);
        QCOMPARE(Rig::control<QGroupBox>(rig.dialog(), "grpEeprom").isVisibleTo(&rig.dialog()),
                 service);
        QVERIFY(rig.window->menus().Setup1->isVisible());
    }
}

QTEST_MAIN(TestSetupWindow)
#include "tst_setupwindow.moc"
