// The connection monitor (identification, failures counted, the current level) and the simulated
// meter (its keys, its clock, unplugging).

#include "tst_meter.h"

namespace {

// A transport that answers every read with a given reply, echoing the request's sequence byte,
// and notes whether the poll was marked busy while it ran.
class ScriptedReplyUsb : public MeterUsb
{
public:
    ReplyReport reply = framedReply();

    int UsbClose() override { return 0; }
    int UsbAfterWrite() override { return 0; }
    int UsbGetSerialNumber(int, char *buffer, int size) override
    {
        if (size > 0)
            buffer[0] = '\0';
        return 0;
    }
    int UsbOpen(quint16, quint16) override { return 0; }
    int UsbReadReport(int length, quint8 *buffer) override
    {
        reply[30] = m_sequence;
        std::copy_n(reply.begin(), std::min(length, 32), buffer);
        return 0;
    }
    int UsbSetTimeouts(int, int) override { return 0; }
    int UsbWriteReport(int, const quint8 *buffer) override
    {
        m_sequence = buffer[5];
        return 0;
    }
    int UsbWriteData(int, const quint8 *) override { return 0; }

private:
    quint8 m_sequence = 0;
};

} // namespace

void TestMeter::monitorIdentification_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("identified");
    QTest::newRow("meter answers") << "" << true;
    QTest::newRow("other device answers") << "wrongIdentity" << false;
    QTest::newRow("no meter") << "openFails" << false;
    QTest::newRow("no reply") << "readTimesOut" << false;
    // Only bytes 23-25 of the identification reply are checked.
    QTest::newRow("unframed reply with the identity") << "unframedReply" << true;
}

void TestMeter::monitorIdentification()
{
    QFETCH(QString, fault);
    QFETCH(bool, identified);

    Rig rig;
    bool connected = false;
    int failures = 0;
    applyFault(rig.meter.faults(), fault);
    const ConnectionMonitor::Result result = ConnectionMonitor::tick(rig.link, connected, failures);
    QCOMPARE(result.outcome,
             identified ? ConnectionMonitor::Outcome::Identified
                        : ConnectionMonitor::Outcome::NotIdentified);
    QCOMPARE(connected, identified);
    QVERIFY(!result.reading);
    QCOMPARE(failures, 0);
    // The identifying tick does not also poll.
    QCOMPARE(lettersWritten(rig.usb), QByteArray(fault == "openFails" ? "" : "K"));
    if (fault.isEmpty())
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(rig.link.reply().data()) + 23, 3),
                 QByteArray("519"));
}

void TestMeter::monitorCountsFailures_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("read times out") << "readTimesOut";
    QTest::newRow("meter unplugged") << "openFails";
    QTest::newRow("time-outs refused") << "setTimeoutsFails";
    QTest::newRow("short reply") << "shortReply";
    QTest::newRow("write fails") << "writeFails";
}

void TestMeter::monitorCountsFailures()
{
    QFETCH(QString, fault);
    using Outcome = ConnectionMonitor::Outcome;

    Rig rig;
    bool connected = false;
    int failures = 0;
    auto tick = [&] {
        return ConnectionMonitor::tick(rig.link, connected, failures).outcome;
    };
    QCOMPARE(tick(), Outcome::Identified);

    // Four failures, then a good reply: still connected, count reset.
    for (int i = 1; i <= 4; ++i) {
        applyFault(rig.meter.faults(), fault);
        QCOMPARE(tick(), Outcome::Failed);
        QCOMPARE(failures, i);
        QVERIFY(connected);
    }
    applyFault(rig.meter.faults(), QString());
    QCOMPARE(tick(), Outcome::Reading);
    QCOMPARE(failures, 0);
    QVERIFY(connected);

    // Five in a row: the fifth disconnects and resets the count.
    applyFault(rig.meter.faults(), fault);
    for (int i = 1; i <= 4; ++i)
        QCOMPARE(tick(), Outcome::Failed);
    QCOMPARE(tick(), Outcome::Disconnected);
    QVERIFY(!connected);
    QCOMPARE(failures, 0);

    // The next tick looks for the meter again.
    applyFault(rig.meter.faults(), QString());
    rig.usb.clear();
    QCOMPARE(tick(), Outcome::Identified);
    QCOMPARE(lettersWritten(rig.usb), QByteArray("K"));
}

void TestMeter::monitorIgnoresUnframedReplies()
{
    // A reply that was read but is not framed is not decoded; as a reply came, the failure
    // count starts again.
    Rig rig;
    bool connected = false;
    int failures = 0;
    QCOMPARE(ConnectionMonitor::tick(rig.link, connected, failures).outcome,
             ConnectionMonitor::Outcome::Identified);
    rig.meter.faults().readTimesOut = true;
    ConnectionMonitor::tick(rig.link, connected, failures);
    QCOMPARE(failures, 1);
    applyFault(rig.meter.faults(), "unframedReply");
    for (int i = 0; i < 6; ++i) {
        const ConnectionMonitor::Result result
            = ConnectionMonitor::tick(rig.link, connected, failures);
        QCOMPARE(result.outcome, ConnectionMonitor::Outcome::IgnoredReply);
        QVERIFY(!result.reading);
        QVERIFY(connected);
        QCOMPARE(failures, 0);
    }
    applyFault(rig.meter.faults(), QString());
    QVERIFY(ConnectionMonitor::tick(rig.link, connected, failures).reading);
}

void TestMeter::monitorCurrentLevel_data()
{
    QTest::addColumn<int>("flags"); // reply byte 1
    QTest::addColumn<int>("state"); // reply byte 4
    QTest::addColumn<float>("currentLevel");
    QTest::addColumn<bool>("recording");
    // level 52.3 dB, MAX 90.1 dB, MIN 30.7 dB
    QTest::newRow("level") << 0x18 << 0x00 << 52.3f << false;
    QTest::newRow("MAX mode") << 0x1C << 0x11 << 90.1f << false;
    QTest::newRow("MIN mode") << 0x1C << 0x22 << 30.7f << false;
    QTest::newRow("MAX and MIN alternating") << 0x1C << 0x44 << 52.3f << false;
    QTest::newRow("mode bit, state 00") << 0x1C << 0x00 << 52.3f << false;
    QTest::newRow("mode bit, unknown state") << 0x1C << 0x33 << 52.3f << false;
    QTest::newRow("MAX state without the mode bit") << 0x18 << 0x11 << 52.3f << false;
    QTest::newRow("MIN state without the mode bit") << 0x18 << 0x22 << 52.3f << false;
    QTest::newRow("recording") << 0x19 << 0x00 << 52.3f << true;
    QTest::newRow("recording in MIN mode") << 0x1D << 0x22 << 30.7f << true;
}

void TestMeter::monitorCurrentLevel()
{
    QFETCH(int, flags);
    QFETCH(int, state);
    QFETCH(float, currentLevel);
    QFETCH(bool, recording);

    ScriptedReplyUsb usb;
    ReplyReport &reply = usb.reply;
    reply[1] = static_cast<quint8>(flags);
    reply[3] = 0x88;
    reply[4] = static_cast<quint8>(state);
    reply[5] = 0x02; // 523
    reply[6] = 0x0B;
    reply[11] = 0x03; // 901
    reply[12] = 0x85;
    reply[13] = 0x01; // 307
    reply[14] = 0x33;
    MeterLink link(usb);
    bool connected = true;
    int failures = 0;

    const ConnectionMonitor::Result result = ConnectionMonitor::tick(link, connected, failures);
    QCOMPARE(result.outcome, ConnectionMonitor::Outcome::Reading);
    QVERIFY(result.reading);
    QCOMPARE(result.reading->currentLevel(), currentLevel);
    QCOMPARE(result.reading->recording, recording);
}

void TestMeter::simulatedKeys_data()
{
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<bool>("recording");
    QTest::addColumn<bool>("weightingA");
    QTest::addColumn<bool>("fast");
    QTest::addColumn<int>("range");
    QTest::addColumn<bool>("maxMinActive");
    QTest::addColumn<int>("maxMinState");

    QTest::newRow("as switched on") << QByteArray() << false << true << true << 0x88 << false << 0;
    QTest::newRow("REC") << QByteArray("R") << true << true << true << 0x88 << false << 0;
    QTest::newRow("REC twice") << QByteArray("RR") << false << true << true << 0x88 << false << 0;
    QTest::newRow("LEVEL") << QByteArray("L") << false << true << true << 0x11 << false << 0;
    QTest::newRow("LEVEL x2") << QByteArray("LL") << false << true << true << 0x22 << false << 0;
    QTest::newRow("LEVEL x3") << QByteArray("LLL") << false << true << true << 0x44 << false << 0;
    QTest::newRow("LEVEL x4") << QByteArray("LLLL") << false << true << true << 0x88 << false << 0;
    QTest::newRow("LEVEL x5") << QByteArray("LLLLL") << false << true << true << 0x11 << false << 0;
    QTest::newRow("MAX/MIN") << QByteArray("M") << false << true << true << 0x88 << true << 0x11;
    QTest::newRow("MAX/MIN x2") << QByteArray("MM") << false << true << true << 0x88 << true
                                << 0x22;
    QTest::newRow("MAX/MIN x3") << QByteArray("MMM") << false << true << true << 0x88 << true
                                << 0x44;
    QTest::newRow("MAX/MIN x4") << QByteArray("MMMM") << false << true << true << 0x88 << true
                                << 0x11;
    QTest::newRow("MAX then cancel")
        << QByteArray("MN") << false << true << true << 0x88 << false << 0;
    QTest::newRow("alternating then cancel")
        << QByteArray("MMMN") << false << true << true << 0x88 << false << 0;
    QTest::newRow("cancel then MAX/MIN starts at MAX")
        << QByteArray("MMNM") << false << true << true << 0x88 << true << 0x11;
    QTest::newRow("A/C") << QByteArray("C") << false << false << true << 0x88 << false << 0;
    QTest::newRow("A/C twice") << QByteArray("CC") << false << true << true << 0x88 << false << 0;
    QTest::newRow("FAST/SLOW") << QByteArray("F") << false << true << false << 0x88 << false << 0;
    QTest::newRow("FAST/SLOW twice")
        << QByteArray("FF") << false << true << true << 0x88 << false << 0;
    QTest::newRow("all keys") << QByteArray("RLMCF") << true << false << false << 0x11 << true
                              << 0x11;
}

void TestMeter::simulatedKeys()
{
    QFETCH(QByteArray, keys);
    QFETCH(bool, recording);
    QFETCH(bool, weightingA);
    QFETCH(bool, fast);
    QFETCH(int, range);
    QFETCH(bool, maxMinActive);
    QFETCH(int, maxMinState);

    Rig rig;
    for (const char key : keys) {
        QVERIFY(rig.link.SendMeterKey(key));
        // A poll between the keys changes nothing.
        QVERIFY(rig.link.PollLiveReading());
    }
    QVERIFY(rig.link.PollLiveReading());
    QVERIFY(LiveReading::isFramed(rig.link.reply()));
    const LiveReading reading = LiveReading::decode(rig.link.reply());
    QCOMPARE(reading.recording, recording);
    QCOMPARE(reading.weightingA, weightingA);
    QCOMPARE(reading.fast, fast);
    QCOMPARE(int(reading.range), range);
    QCOMPARE(reading.maxMinActive, maxMinActive);
    QCOMPARE(int(reading.maxMinState), maxMinState);
    QVERIFY(!reading.memoryFull);
}

void TestMeter::simulatedClock_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<int>("advanceMs");
    QTest::addColumn<QByteArray>("clock"); // reply bytes 15-17
    QTest::addColumn<QByteArray>("date"); // reply bytes 19-21

    const QDateTime dec8(QDate(2026, 12, 8), QTime(10, 30, 0));
    QTest::newRow("10:30:00 2026-12-08")
        << dec8 << 0 << QByteArray("\x00\x30\x10", 3) << QByteArray("\x12\x08\x26");
    QTest::newRow("clock runs") << dec8 << 61500 << QByteArray("\x01\x31\x10")
                                << QByteArray("\x12\x08\x26");
    QTest::newRow("23:59:59 2009-01-31")
        << QDateTime(QDate(2009, 1, 31), QTime(23, 59, 59)) << 0 << QByteArray("\x59\x59\x23")
        << QByteArray("\x01\x31\x09");
    QTest::newRow("past midnight into a leap day")
        << QDateTime(QDate(2000, 2, 28), QTime(23, 59, 59)) << 8000 << QByteArray("\x07\x00\x00", 3)
        << QByteArray("\x02\x29\x00", 3);
}

void TestMeter::simulatedClock()
{
    QFETCH(QDateTime, start);
    QFETCH(int, advanceMs);
    QFETCH(QByteArray, clock);
    QFETCH(QByteArray, date);

    FakeClock fakeClock(start);
    fakeClock.advanceMs(advanceMs);
    SimulatedMeter meter(fakeClock, 1);
    MeterLink link(meter);
    QVERIFY(link.PollLiveReading());
    const ReplyReport &reply = link.reply();
    const auto bytes = [&reply](int first) {
        return QByteArray(reinterpret_cast<const char *>(reply.data()) + first, 3);
    };
    QCOMPARE(bytes(15), clock);
    QCOMPARE(bytes(19), date);
}

void TestMeter::simulatedUnplug()
{
    Rig rig;
    rig.meter.faults().unplugAfterOpens = 2;
    QVERIFY(rig.link.PollLiveReading());
    QVERIFY(rig.link.SendMeterKey('R'));
    QVERIFY(!rig.link.PollLiveReading());
    QVERIFY(!rig.link.SendMeterKey('R'));
    QVERIFY(!rig.link.QueryMeter('K'));
    QVERIFY(rig.meter.state().recording); // only the first key came through

    rig.meter.replug();
    QVERIFY(rig.link.QueryMeter('K'));
    QVERIFY(rig.link.replyIdentifiesMeter());
    for (int i = 0; i < 5; ++i)
        QVERIFY(rig.link.PollLiveReading());
}
