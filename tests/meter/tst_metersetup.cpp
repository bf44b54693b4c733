// The setup exchanges against the simulated meter: every code and message, the clock's data
// block byte for byte, the interval and EEPROM frames, the information reply's texts; random
// information replies.

#include "common/fakeclock.h"
#include "common/recordingmeterusb.h"
#include "meter/bcd.h"
#include "meter/metersetup.h"
#include "meter/simulatedloggermemory.h"
#include "meter/simulatedmeter.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

struct Rig
{
    FakeClock clock { QDateTime(QDate(2026, 12, 9), QTime(14, 3, 27)) };
    SimulatedMeter meter { clock, 3 };
    RecordingMeterUsb usb { meter };
    MeterSetup setup { usb };
};

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

} // namespace

class TestMeterSetup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void codes_data();
    void codes();
    void unknownFaultName();
    void clockBlock();
    void intervalFields_data();
    void intervalFields();
    void intervalAndEepromFrames();
    void information();
    void eraseEmptiesTheMemory();
    void randomInformationReplies();
};

void TestMeterSetup::codes_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const char *commands[]
        = { "clock", "interval", "erase", "information", "eeprom write", "eeprom read" };
    for (const char *c : commands)
        QTest::addRow("%s works", c) << c << "" << 0 << "";
    QTest::newRow("clock: open") << "clock"
                                 << "open" << 201 << "Meter time updated fail";
    QTest::newRow("clock: time-outs") << "clock"
                                      << "timeouts" << 202 << "Meter time updated fail";
    QTest::newRow("clock: write") << "clock"
                                  << "write" << 203 << "Meter time updated fail";
    QTest::newRow("clock: block") << "clock"
                                  << "data-write" << 205 << "Meter time updated fail";
    QTest::newRow("interval: open") << "interval"
                                    << "open" << 703 << "fail to open device";
    QTest::newRow("interval: time-outs") << "interval"
                                         << "timeouts" << 704 << "fail to set timeout";
    QTest::newRow("interval: write") << "interval"
                                     << "write" << 705 << "fail to write command to device";
    QTest::newRow("interval: read")
        << "interval"
        << "no-reply" << 706 << "no response from device, error code=706";
    QTest::newRow("interval: echo")
        << "interval"
        << "echo-byte-1" << 707 << "no response from device, error code=707";
    QTest::newRow("erase: open") << "erase"
                                 << "open" << 803 << "fail to open device";
    QTest::newRow("erase: time-outs") << "erase"
                                      << "timeouts" << 804 << "fail to set timeout";
    QTest::newRow("erase: write") << "erase"
                                  << "write" << 805 << "fail to write command to device";
    QTest::newRow("erase: no reply")
        << "erase"
        << "no-reply" << 806 << "no response from device, error code=806";
    for (int byte = 0; byte < 7; ++byte)
        QTest::addRow("erase: echo byte %d", byte)
            << "erase" << QString("echo-byte-%1").arg(byte) << 807
            << "no response from device, error code=807";
    QTest::newRow("information: open") << "information"
                                       << "open" << 903 << "fail to open device";
    QTest::newRow("information: time-outs") << "information"
                                            << "timeouts" << 904 << "fail to set timeout";
    QTest::newRow("information: write") << "information"
                                        << "write" << 905 << "fail to write command to device";
    QTest::newRow("information: no reply")
        << "information"
        << "no-reply" << 906 << "no response from device, error code=906";
    QTest::newRow("eeprom write: read") << "eeprom write"
                                        << "no-reply" << 709 << "";
    QTest::newRow("eeprom write: echo") << "eeprom write"
                                        << "echo-byte-1" << 707 << "";
    QTest::newRow("eeprom read: write") << "eeprom read"
                                        << "write" << 708 << "";
    QTest::newRow("eeprom read: echo") << "eeprom read"
                                       << "echo-byte-1" << 707 << "";
}

void TestMeterSetup::codes()
{
    QFETCH(QString, command);
    QFETCH(QString, fault);
    QFETCH(int, code);
    QFETCH(QString, message);
    Rig rig;
    // The faults by the names a user gives them (--simulate-fault).
    if (!fault.isEmpty())
        QVERIFY(rig.meter.faults().set(fault));
    int result = -1;
    QString shown;
    if (command == "clock") {
        result = rig.setup.setClock(rig.clock.now());
        shown = code ? MeterSetup::clockMessage(result) : QString();
    } else if (command == "interval") {
        result = rig.setup.setInterval(30);
        shown = code ? MeterSetup::intervalMessage(result) : QString();
    } else if (command == "erase") {
        result = rig.setup.eraseMemory();
        shown = code ? MeterSetup::eraseMessage(result) : QString();
    } else if (command == "information") {
        MeterSetup::Information info;
        result = rig.setup.readInformation(info);
        shown = code ? MeterSetup::informationMessage(result) : QString();
    } else if (command == "eeprom write") {
        result = rig.setup.writeEeprom(100, 7);
    } else {
        int value = 0;
        result = rig.setup.readEeprom(100, value);
    }
    QCOMPARE(result, code);
    QCOMPARE(shown, message);
}

void TestMeterSetup::unknownFaultName()
{
    SimulatedMeterFaults faults;
    for (const char *name : { "bogus", "echo-byte-7", "echo-byte-", "unplug-after-x" })
        QVERIFY2(!faults.set(name), name);
    QVERIFY(faults.set("unplug-after-3"));
    QCOMPARE(faults.unplugAfterOpens, 3);
}

void TestMeterSetup::clockBlock()
{
    Rig rig;
    rig.meter.setClockOffsetSeconds(-3600 * 5);
    QCOMPARE(rig.setup.setClock(rig.clock.now()), 0);
    QCOMPARE(rig.usb.sequence(), QString("Close Open SetTimeouts Write AfterWrite WriteData"));
    QCOMPARE(rig.usb.writes().first(), bytes({ 0x02, 't', 'c', 0, 0, 0, 0x03 }));
    const QByteArray block = rig.usb.calls().last().bytes;
    QCOMPARE(block.size(), 32);
    QCOMPARE(block.left(8), bytes({ 0x27, 0x03, 0x14, 0x09, 0x12, 0, 0x26, 0 }));
    // The meter's clock now runs with the computer's.
    QCOMPARE(rig.meter.meterTime(), rig.clock.now());
    QCOMPARE(MeterSetup::clockMessage(0), QString("Meter time updated successfully \n"));
}

void TestMeterSetup::intervalFields_data()
{
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<int>("interval"); // 0: "Invalid Input"
    QTest::newRow("01:00") << "01"
                           << "00" << 60;
    QTest::newRow("00:05") << "00"
                           << "05" << 5;
    QTest::newRow("00:01") << "00"
                           << "01" << 1;
    QTest::newRow("01:01") << "01"
                           << "01" << 0;
    QTest::newRow("05:00") << "05"
                           << "00" << 0;
    QTest::newRow("00:00") << "00"
                           << "00" << 0;
    QTest::newRow("no number") << "0"
                               << "  " << 0;
}

void TestMeterSetup::intervalFields()
{
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    QFETCH(int, interval);
    QCOMPARE(MeterSetup::intervalSeconds(minutes, seconds).value_or(0), interval);
}

void TestMeterSetup::intervalAndEepromFrames()
{
    Rig rig;
    QCOMPARE(rig.setup.setInterval(5), 0);
    QCOMPARE(rig.usb.writes(),
             (QList<QByteArray> { bytes({ 0x02, 'W', 0, 0, 14, 0, 0x03 }),
                                  bytes({ 0x02, 'W', 0, 0, 15, 5, 0x03 }) }));
    QCOMPARE(rig.meter.recordingInterval(), 5); // the meter records at the new interval
    rig.usb.clear();
    QCOMPARE(rig.setup.writeEeprom(70000, 0x1AB), 0);
    QCOMPARE(rig.usb.writes().first(), bytes({ 0x02, 'W', 0x01, 0x11, 0x70, 0xAB, 0x03 }));
    int value = -1;
    QCOMPARE(rig.setup.readEeprom(15, value), 0);
    QCOMPARE(value, 5);
    QCOMPARE(rig.usb.writes().last().mid(1, 4), bytes({ 'r', 0, 0, 15 }));
}

void TestMeterSetup::information()
{
    Rig rig;
    MeterSetup::Information info;
    QCOMPARE(rig.setup.readInformation(info), 0);
    QCOMPARE(info.dataSets, QString::number(SimulatedLoggerMemory::seededSets().size()));
    QCOMPARE(info.interval, QString("1"));
    QCOMPARE(info.meterTime, QString("12/09/2026   14:03:27"));
    QCOMPARE(info.version, QString("1.12"));
    QCOMPARE(info.cal94, QString("-0.3"));
    QCOMPARE(info.cal70, QString("70.50  (18048)"));
    QCOMPARE(info.serialNumber, QString("SIM7316-0001"));
    ReplyReport r {};
    r[11] = 0x01;
    r[12] = 0xF4;
    r[13] = 0xFE;
    QCOMPARE(MeterSetup::decodeInformation(r, {}).memoryAvailable, QString("1"));
}

void TestMeterSetup::eraseEmptiesTheMemory()
{
    Rig rig;
    QCOMPARE(rig.setup.eraseMemory(), 0);
    QCOMPARE(rig.usb.writes().first(), bytes({ 0x02, 'e', 'r', 'a', 's', 'e', 0x03 }));
    MeterSetup::Information info;
    QCOMPARE(rig.setup.readInformation(info), 0);
    QCOMPARE(info.dataSets, QString("0"));
}

// Random replies decode to texts without a fault; the free memory follows the address.
void TestMeterSetup::randomInformationReplies()
{
    QRandomGenerator random(7316);
    for (int i = 0; i < 100000; ++i) {
        ReplyReport r;
        for (auto &byte : r)
            byte = quint8(random.bounded(256));
        const MeterSetup::Information info = MeterSetup::decodeInformation(r, {});
        const int address = (r[11] << 16) | (r[12] << 8) | r[13];
        QVERIFY(info.memoryAvailable.toInt() == (0x1F500 - address) / 2);
        QCOMPARE(info.meterTime.size(), 21);
    }
}

QTEST_GUILESS_MAIN(TestMeterSetup)
#include "tst_metersetup.moc"
