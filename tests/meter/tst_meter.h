// The meter link's test, one class over three files: the command frames, exchanges and live reply
// (tst_meter.cpp), the connection monitor and the simulated meter (tst_metermonitor.cpp), and
// the hidapi transport's framing (tst_meterhid.cpp). The rig and helpers they share are here.

#pragma once

#include "common/fakeclock.h"
#include "common/recordingmeterusb.h"
#include "meter/commandframe.h"
#include "meter/connectionmonitor.h"
#include "meter/livereading.h"
#include "meter/meterlink.h"
#include "meter/simulatedmeter.h"

#include <QTest>

#include <algorithm>

inline QByteArray frame(char letter, quint8 byte5 = 0)
{
    const char bytes[] = { 0x02, letter, 0, 0, 0, static_cast<char>(byte5), 0x03 };
    return QByteArray(bytes, sizeof bytes);
}

inline ReplyReport framedReply()
{
    ReplyReport reply {};
    reply[0] = 0x02;
    reply[31] = 0x03;
    return reply;
}

// The simulated meter behind a recorder, and the main window's link on top.
struct Rig
{
    FakeClock clock;
    SimulatedMeter meter { clock, 7 };
    RecordingMeterUsb usb { meter };
    MeterLink link { usb };
};

inline void applyFault(SimulatedMeterFaults &faults, const QString &name)
{
    faults = {};
    if (name == QLatin1String("openFails"))
        faults.openFails = true;
    else if (name == QLatin1String("setTimeoutsFails"))
        faults.setTimeoutsFails = true;
    else if (name == QLatin1String("writeFails"))
        faults.writeFails = true;
    else if (name == QLatin1String("readTimesOut"))
        faults.readTimesOut = true;
    else if (name == QLatin1String("shortReply"))
        faults.shortReply = true;
    else if (name == QLatin1String("unframedReply"))
        faults.unframedReply = true;
    else if (name == QLatin1String("wrongSequence"))
        faults.wrongSequence = true;
    else if (name == QLatin1String("wrongIdentity"))
        faults.wrongIdentity = true;
    else
        QVERIFY2(name.isEmpty(), qPrintable(name));
}

inline QByteArray lettersWritten(const RecordingMeterUsb &usb)
{
    QByteArray letters;
    for (const QByteArray &written : usb.writes())
        letters += written.at(1);
    return letters;
}

// The arguments of every call of an exchange: the meter's ids, equal time-outs, 7-byte
// commands and 32-byte replies.
inline void checkCalls(const RecordingMeterUsb &usb, int timeoutMs)
{
    for (const RecordingMeterUsb::Call &call : usb.calls()) {
        if (call.name == QLatin1String("Open")) {
            QCOMPARE(call.a, 0x04D9);
            QCOMPARE(call.b, 0xE000);
        } else if (call.name == QLatin1String("SetTimeouts")) {
            QCOMPARE(call.a, timeoutMs);
            QCOMPARE(call.b, timeoutMs);
        } else if (call.name == QLatin1String("Write")) {
            QCOMPARE(call.a, 7);
        } else if (call.name == QLatin1String("Read")) {
            QCOMPARE(call.a, 32);
        }
    }
}

Q_DECLARE_METATYPE(ConnectionMonitor::Outcome)

class TestMeter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    // Command frames
    void setAddressAndCommand_data();
    void setAddressAndCommand();
    void fixedFrames_data();
    void fixedFrames();
    void mainBufferFrames_data();
    void mainBufferFrames();
    void sequenceCounterWraps();

    // Exchanges
    void queryAndKeyExchanges_data();
    void queryAndKeyExchanges();
    void pollLiveReading_data();
    void pollLiveReading();

    // Live reply
    void decodeFields_data();
    void decodeFields();

    // Connection monitor
    void monitorIdentification_data();
    void monitorIdentification();
    void monitorCountsFailures_data();
    void monitorCountsFailures();
    void monitorIgnoresUnframedReplies();
    void monitorCurrentLevel_data();
    void monitorCurrentLevel();

    // Simulated meter
    void simulatedKeys_data();
    void simulatedKeys();
    void simulatedClock_data();
    void simulatedClock();
    void simulatedUnplug();

    // hidapi transport
    void hidWriteFraming_data();
    void hidWriteFraming();
    void hidReadAssemblesReply_data();
    void hidReadAssemblesReply();
    void hidOpenFailure_data();
    void hidOpenFailure();
    void hidClose();
    void hidSerialNumber_data();
    void hidSerialNumber();
};
