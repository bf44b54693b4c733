// The meter link: command frames byte for byte, the exchanges and their time-outs, the live
// reply's fields, the connection monitor, the simulated meter and the hidapi transport's framing.

#include "common/fakeclock.h"
#include "common/recordingmeterusb.h"
#include "meter/commandframe.h"
#include "meter/connectionmonitor.h"
#include "meter/hidmeterusb.h"
#include "meter/livereading.h"
#include "meter/meterlink.h"
#include "meter/simulatedmeter.h"

#include <QMap>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

QByteArray frame(char letter, quint8 byte5 = 0)
{
    const char bytes[] = { 0x02, letter, 0, 0, 0, static_cast<char>(byte5), 0x03 };
    return QByteArray(bytes, sizeof bytes);
}

QByteArray bytesOf(const CommandFrame &command)
{
    return QByteArray(reinterpret_cast<const char *>(command.data()), CommandFrame::Size);
}

ReplyReport framedReply()
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

void applyFault(SimulatedMeterFaults &faults, const QString &name)
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

QByteArray lettersWritten(const RecordingMeterUsb &usb)
{
    QByteArray letters;
    for (const QByteArray &written : usb.writes())
        letters += written.at(1);
    return letters;
}

// The arguments of every call of an exchange: the meter's ids, equal time-outs, 7-byte
// commands and 32-byte replies.
void checkCalls(const RecordingMeterUsb &usb, int timeoutMs)
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

QMap<QString, int> fieldsOf(const LiveReading &r)
{
    return {
        { QStringLiteral("recording"), r.recording },
        { QStringLiteral("maxMinActive"), r.maxMinActive },
        { QStringLiteral("weightingA"), r.weightingA },
        { QStringLiteral("fast"), r.fast },
        { QStringLiteral("under"), r.under },
        { QStringLiteral("over"), r.over },
        { QStringLiteral("memoryFull"), r.memoryFull },
        { QStringLiteral("range"), r.range },
        { QStringLiteral("maxMinState"), r.maxMinState },
        { QStringLiteral("level"), r.level },
        { QStringLiteral("maxLevel"), r.maxLevel },
        { QStringLiteral("minLevel"), r.minLevel },
        { QStringLiteral("clockSeconds"), r.clockSeconds },
        { QStringLiteral("clockMinutes"), r.clockMinutes },
        { QStringLiteral("clockHours"), r.clockHours },
        { QStringLiteral("dateMonth"), r.dateMonth },
        { QStringLiteral("dateDay"), r.dateDay },
        { QStringLiteral("dateYear"), r.dateYear },
    };
}

// The fake hidapi: file-static state that the table's plain functions record into.
namespace fakehid {

int deviceTag = 0;
hid_device *const Device = reinterpret_cast<hid_device *>(&deviceTag);

struct ReadStep
{
    int result; // bytes handed back, 0 for a time-out, -1 for an error
    QByteArray bytes;
};

struct State
{
    int initResult = 0;
    bool openFails = false;
    int writeResult = -2; // -2: the whole length was written
    QList<ReadStep> reads;
    std::wstring serial;

    int closeCalls = 0;
    int readCalls = 0;
    int foreignDeviceCalls = 0;
    unsigned short vendorId = 0;
    unsigned short productId = 0;
    bool serialPassed = false;
    QList<QByteArray> writes;
    QList<int> readTimeouts;
};
State state;

void check(hid_device *device)
{
    if (device != Device)
        ++state.foreignDeviceCalls;
}

int init()
{
    return state.initResult;
}

hid_device *open(unsigned short vendorId, unsigned short productId, const wchar_t *serial)
{
    state.vendorId = vendorId;
    state.productId = productId;
    state.serialPassed = serial != nullptr;
    return state.openFails ? nullptr : Device;
}

void close(hid_device *device)
{
    check(device);
    ++state.closeCalls;
}

int write(hid_device *device, const unsigned char *data, size_t length)
{
    check(device);
    state.writes << QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(length));
    return state.writeResult == -2 ? static_cast<int>(length) : state.writeResult;
}

int readTimeout(hid_device *device, unsigned char *data, size_t length, int milliseconds)
{
    check(device);
    ++state.readCalls;
    state.readTimeouts << milliseconds;
    if (state.reads.isEmpty())
        return 0;
    const ReadStep step = state.reads.takeFirst();
    if (step.result <= 0)
        return step.result;
    const int n = std::min(static_cast<int>(length), step.result);
    std::memcpy(data, step.bytes.constData(), static_cast<std::size_t>(n));
    return n;
}

// As hidapi documents it: maxLength is the buffer's length in wide characters, terminator
// included.
int serialNumber(hid_device *device, wchar_t *text, size_t maxLength)
{
    check(device);
    if (!text || maxLength == 0)
        return -1;
    const std::size_t n = std::min(state.serial.size(), maxLength - 1);
    std::copy_n(state.serial.begin(), n, text);
    text[n] = L'\0';
    return 0;
}

HidApiTable table()
{
    return { &init, &open, &close, &write, &readTimeout, &serialNumber };
}

} // namespace fakehid

} // namespace

Q_DECLARE_METATYPE(ConnectionMonitor::Outcome)

class TestMeter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { fakehid::state = {}; }

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

void TestMeter::setAddressAndCommand_data()
{
    QTest::addColumn<quint32>("address");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("zero") << 0u << QByteArray("\x02W\x00\x00\x00\x5A\x03", 7);
    QTest::newRow("high byte first") << 0x123456u << QByteArray("\x02W\x12\x34\x56\x5A\x03", 7);
    QTest::newRow("last address") << 0xFFFFFFu << QByteArray("\x02W\xFF\xFF\xFF\x5A\x03", 7);
    QTest::newRow("only 24 bits") << 0xAB010203u << QByteArray("\x02W\x01\x02\x03\x5A\x03", 7);
}

void TestMeter::setAddressAndCommand()
{
    QFETCH(quint32, address);
    QFETCH(QByteArray, expected);
    CommandFrame command;
    command.setCommand('r');
    command.setByte5(0x5A);
    command.setAddress(0x999999); // overwritten in full
    command.setAddress(address);
    // A command sets bytes 0, 1 and 6 only: the address and byte 5 stay.
    command.setCommand('W');
    QCOMPARE(bytesOf(command), expected);
}

void TestMeter::fixedFrames_data()
{
    QTest::addColumn<QByteArray>("actual");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("erase") << bytesOf(CommandFrame::erase())
                           << QByteArray(1, '\x02') + "erase" + '\x03';
    QTest::newRow("information") << bytesOf(CommandFrame::information())
                                 << QByteArray("\x02Y\x00\x00\x00\x00\x03", 7);
}

void TestMeter::fixedFrames()
{
    QFETCH(QByteArray, actual);
    QFETCH(QByteArray, expected);
    QCOMPARE(actual, expected);
}

void TestMeter::mainBufferFrames_data()
{
    // One poll runs first, so byte 5 holds sequence counter 1 when the exchange starts.
    QTest::addColumn<QString>("exchange");
    QTest::addColumn<char>("letter");
    QTest::addColumn<QList<QByteArray>>("expected");
    QTest::addColumn<quint8>("nextPollSequence");

    QTest::newRow("A") << "poll" << 'A' << QList<QByteArray> { frame('A', 2) } << quint8(3);
    QTest::newRow("K") << "query" << 'K' << QList<QByteArray> { frame('K', 1) } << quint8(2);
    QTest::newRow("Q") << "resync" << 'Q' << QList<QByteArray> { frame('A', 2), frame('Q', 2) }
                       << quint8(3);
    for (const char key : { 'R', 'L', 'M', 'N', 'C', 'F' })
        QTest::addRow("%c", key) << "key" << key << QList<QByteArray> { frame(key, 1) }
                                 << quint8(2);
}

void TestMeter::mainBufferFrames()
{
    QFETCH(QString, exchange);
    QFETCH(char, letter);
    QFETCH(QList<QByteArray>, expected);
    QFETCH(quint8, nextPollSequence);

    Rig rig;
    QVERIFY(rig.link.PollLiveReading());
    rig.usb.clear();
    if (exchange == QLatin1String("poll")) {
        QVERIFY(rig.link.PollLiveReading());
    } else if (exchange == QLatin1String("query")) {
        QVERIFY(rig.link.QueryMeter(letter));
    } else if (exchange == QLatin1String("resync")) {
        rig.meter.faults().wrongSequence = true;
        QVERIFY(rig.link.PollLiveReading());
        rig.meter.faults().wrongSequence = false;
    } else {
        QVERIFY(rig.link.SendMeterKey(letter));
    }
    QCOMPARE(rig.usb.writes(), expected);

    // Only the live reading steps the counter.
    rig.usb.clear();
    QVERIFY(rig.link.PollLiveReading());
    QCOMPARE(rig.usb.writes(), QList<QByteArray> { frame('A', nextPollSequence) });
}

void TestMeter::sequenceCounterWraps()
{
    Rig rig;
    const int polls = 600;
    for (int i = 0; i < polls; ++i)
        QVERIFY(rig.link.PollLiveReading());
    const QList<QByteArray> writes = rig.usb.writes();
    // The echo matches on every poll, including counter 0 after the wrap: no 'Q' is written.
    QCOMPARE(writes.size(), polls);
    for (int i = 0; i < polls; ++i)
        QCOMPARE(writes.at(i), frame('A', static_cast<quint8>((i + 1) % 256)));
    QCOMPARE(writes.at(254).at(5), char(255));
    QCOMPARE(writes.at(255).at(5), char(0));
    QCOMPARE(rig.link.sequence(), quint8(polls % 256));
}

void TestMeter::queryAndKeyExchanges_data()
{
    // Whether an exchange closes the device on an early failure is left open (the next
    // exchange closes it first in any case); where it stops is not.
    QTest::addColumn<QString>("exchange");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("calls");
    QTest::addColumn<QByteArray>("letters");

    const QString query = QStringLiteral("query");
    const QString key = QStringLiteral("key");
    QTest::newRow("query") << query << "" << true
                           << "Close Open SetTimeouts Write AfterWrite Read Close"
                           << QByteArray("K");
    QTest::newRow("query, no meter")
        << query << "openFails" << false << "Close Open" << QByteArray();
    QTest::newRow("query, time-outs refused")
        << query << "setTimeoutsFails" << false << "Close Open SetTimeouts" << QByteArray();
    QTest::newRow("query, no reply")
        << query << "readTimesOut" << false << "Close Open SetTimeouts Write AfterWrite Read"
        << QByteArray("K");
    QTest::newRow("key") << key << "" << true << "Close Open SetTimeouts Write Close"
                         << QByteArray("R");
    QTest::newRow("key, no meter") << key << "openFails" << false << "Close Open" << QByteArray();
    QTest::newRow("key, time-outs refused")
        << key << "setTimeoutsFails" << false << "Close Open SetTimeouts" << QByteArray();
}

void TestMeter::queryAndKeyExchanges()
{
    QFETCH(QString, exchange);
    QFETCH(QString, fault);
    QFETCH(bool, ok);
    QFETCH(QString, calls);
    QFETCH(QByteArray, letters);

    Rig rig;
    applyFault(rig.meter.faults(), fault);
    const bool isQuery = exchange == QLatin1String("query");
    QCOMPARE(isQuery ? rig.link.QueryMeter('K') : rig.link.SendMeterKey('R'), ok);
    const QString actual = rig.usb.sequence();
    QVERIFY2(actual == calls || (!ok && actual == calls + QLatin1String(" Close")),
             qPrintable(actual));
    QCOMPARE(lettersWritten(rig.usb), letters);
    checkCalls(rig.usb, isQuery ? 1000 : 500);
    if (!isQuery)
        QCOMPARE(rig.meter.state().recording, ok); // the meter saw the key only when sent
}

void TestMeter::pollLiveReading_data()
{
    // Each row follows a good poll, so the reply buffer holds a framed reply beforehand and
    // the counter is 1.
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("calls");
    QTest::addColumn<QByteArray>("letters");
    QTest::addColumn<QString>("reply"); // framed, zeros, first16, unframed, kept
    QTest::addColumn<quint8>("sequence");

    const QString full = QStringLiteral("Close Open SetTimeouts Write AfterWrite Read Close");
    const QString withQ
        = QStringLiteral("Close Open SetTimeouts Write AfterWrite Read Write Close");
    QTest::newRow("good reply") << "" << true << full << QByteArray("A") << "framed" << quint8(2);
    QTest::newRow("wrong sequence byte")
        << "wrongSequence" << true << withQ << QByteArray("AQ") << "framed" << quint8(2);
    QTest::newRow("unframed reply")
        << "unframedReply" << true << full << QByteArray("A") << "unframed" << quint8(2);
    QTest::newRow("read times out")
        << "readTimesOut" << false << withQ << QByteArray("AQ") << "zeros" << quint8(2);
    QTest::newRow("short reply") << "shortReply" << false << withQ << QByteArray("AQ") << "first16"
                                 << quint8(2);
    QTest::newRow("write fails, no reply")
        << "writeFails" << false << withQ << QByteArray("AQ") << "zeros" << quint8(2);
    QTest::newRow("no meter") << "openFails" << false << "Close Open" << QByteArray() << "kept"
                              << quint8(1);
    QTest::newRow("time-outs refused") << "setTimeoutsFails" << false << "Close Open SetTimeouts"
                                       << QByteArray() << "kept" << quint8(1);
}

void TestMeter::pollLiveReading()
{
    QFETCH(QString, fault);
    QFETCH(bool, result);
    QFETCH(QString, calls);
    QFETCH(QByteArray, letters);
    QFETCH(QString, reply);
    QFETCH(quint8, sequence);

    Rig rig;
    QVERIFY(rig.link.PollLiveReading());
    const ReplyReport before = rig.link.reply();
    QVERIFY(LiveReading::isFramed(before));
    rig.usb.clear();

    applyFault(rig.meter.faults(), fault);
    QCOMPARE(rig.link.PollLiveReading(), result);
    const QString actual = rig.usb.sequence();
    if (result || reply != QLatin1String("kept"))
        QCOMPARE(actual, calls);
    else
        QVERIFY2(actual == calls || actual == calls + QLatin1String(" Close"), qPrintable(actual));
    QCOMPARE(lettersWritten(rig.usb), letters);
    checkCalls(rig.usb, 1000);
    QCOMPARE(rig.link.sequence(), sequence);
    // The 'Q' goes out with the same counter in byte 5.
    for (const QByteArray &written : rig.usb.writes())
        QCOMPARE(written, frame(written.at(1), sequence));

    const ReplyReport &now = rig.link.reply();
    if (reply == QLatin1String("framed")) {
        QVERIFY(LiveReading::isFramed(now));
    } else if (reply == QLatin1String("unframed")) {
        QVERIFY(!LiveReading::isFramed(now));
        QCOMPARE(now[31], quint8(0x03));
    } else if (reply == QLatin1String("zeros")) {
        QVERIFY(std::all_of(now.begin(), now.end(), [](quint8 b) { return b == 0; }));
        QVERIFY(!LiveReading::isFramed(now));
    } else if (reply == QLatin1String("first16")) {
        QCOMPARE(now[0], quint8(0x02));
        QVERIFY(std::all_of(now.begin() + 16, now.end(), [](quint8 b) { return b == 0; }));
        QVERIFY(!LiveReading::isFramed(now));
    } else {
        QVERIFY(now == before);
    }
}

void TestMeter::decodeFields_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("field"); // empty: no field changes
    QTest::addColumn<int>("value");

    QTest::newRow("byte 1 bit 0: REC") << 1 << QByteArray("\x01") << "recording" << 1;
    QTest::newRow("byte 1 bit 1: unused") << 1 << QByteArray("\x02") << "" << 0;
    QTest::newRow("byte 1 bit 2: MAX/MIN mode") << 1 << QByteArray("\x04") << "maxMinActive" << 1;
    QTest::newRow("byte 1 bit 3: dBA") << 1 << QByteArray("\x08") << "weightingA" << 1;
    QTest::newRow("byte 1 bit 4: FAST") << 1 << QByteArray("\x10") << "fast" << 1;
    QTest::newRow("byte 1 bit 5: unused") << 1 << QByteArray("\x20") << "" << 0;
    QTest::newRow("byte 1 bit 6: under") << 1 << QByteArray("\x40") << "under" << 1;
    QTest::newRow("byte 1 bit 7: over") << 1 << QByteArray("\x80") << "over" << 1;
    QTest::newRow("byte 2 bit 4: FULL") << 2 << QByteArray("\x10") << "memoryFull" << 1;
    QTest::newRow("byte 2 other bits") << 2 << QByteArray("\xEF") << "" << 0;
    QTest::newRow("range") << 3 << QByteArray("\x44") << "range" << 0x44;
    QTest::newRow("unknown range kept as read") << 3 << QByteArray("\x5C") << "range" << 0x5C;
    QTest::newRow("MAX/MIN state") << 4 << QByteArray("\x22") << "maxMinState" << 0x22;
    QTest::newRow("level, high byte first") << 5 << QByteArray("\x12\x34") << "level" << 0x1234;
    QTest::newRow("level 65535") << 5 << QByteArray("\xFF\xFF") << "level" << 0xFFFF;
    QTest::newRow("bytes 7-10 unused") << 7 << QByteArray("\xFF\xFF\xFF\xFF") << "" << 0;
    QTest::newRow("MAX level") << 11 << QByteArray("\x03\x84") << "maxLevel" << 900;
    QTest::newRow("MIN level") << 13 << QByteArray("\x01\x2C") << "minLevel" << 300;
    QTest::newRow("clock seconds") << 15 << QByteArray("\x59") << "clockSeconds" << 0x59;
    QTest::newRow("clock minutes") << 16 << QByteArray("\x07") << "clockMinutes" << 0x07;
    QTest::newRow("clock hours") << 17 << QByteArray("\x23") << "clockHours" << 0x23;
    QTest::newRow("byte 18 unused") << 18 << QByteArray("\x06") << "" << 0;
    QTest::newRow("date month") << 19 << QByteArray("\x12") << "dateMonth" << 0x12;
    QTest::newRow("date day") << 20 << QByteArray("\x31") << "dateDay" << 0x31;
    QTest::newRow("date year") << 21 << QByteArray("\x99") << "dateYear" << 0x99;
    QTest::newRow("bytes 22-30 unused")
        << 22 << QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF") << "" << 0;
}

void TestMeter::decodeFields()
{
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, field);
    QFETCH(int, value);

    ReplyReport reply = framedReply();
    for (int i = 0; i < bytes.size(); ++i)
        reply[static_cast<std::size_t>(offset + i)] = static_cast<quint8>(bytes.at(i));

    QMap<QString, int> expected = fieldsOf(LiveReading::decode(framedReply()));
    for (const int v : expected)
        QCOMPARE(v, 0);
    if (!field.isEmpty())
        expected[field] = value;
    const QMap<QString, int> actual = fieldsOf(LiveReading::decode(reply));
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QVERIFY2(actual.value(it.key()) == it.value(),
                 qPrintable(QStringLiteral("%1 is 0x%2, expected 0x%3")
                                .arg(it.key())
                                .arg(actual.value(it.key()), 0, 16)
                                .arg(it.value(), 0, 16)));
}

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

void TestMeter::hidWriteFraming_data()
{
    QTest::addColumn<bool>("dataBlock");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("writeResult"); // -2: all bytes written
    QTest::addColumn<bool>("ok");
    QTest::newRow("command report") << false << 7 << -2 << true;
    QTest::newRow("data block") << true << 32 << -2 << true;
    QTest::newRow("command, short write") << false << 7 << 7 << false;
    QTest::newRow("command, write error") << false << 7 << -1 << false;
    QTest::newRow("data block, short write") << true << 32 << 8 << false;
}

void TestMeter::hidWriteFraming()
{
    QFETCH(bool, dataBlock);
    QFETCH(int, length);
    QFETCH(int, writeResult);
    QFETCH(bool, ok);

    fakehid::state.writeResult = writeResult;
    HidMeterUsb usb(fakehid::table());
    QCOMPARE(usb.UsbOpen(MeterUsb::VendorId, MeterUsb::ProductId), 0);
    QCOMPARE(fakehid::state.vendorId, quint16(0x04D9));
    QCOMPARE(fakehid::state.productId, quint16(0xE000));
    QVERIFY(!fakehid::state.serialPassed);

    QByteArray payload;
    for (int i = 0; i < length; ++i)
        payload += static_cast<char>(0x80 + i);
    const auto *bytes = reinterpret_cast<const quint8 *>(payload.constData());
    const int result
        = dataBlock ? usb.UsbWriteData(length, bytes) : usb.UsbWriteReport(length, bytes);
    QCOMPARE(result == 0, ok);
    // Report id 0 (unnumbered reports), then the bytes as they are.
    QCOMPARE(fakehid::state.writes, QList<QByteArray> { QByteArray(1, '\0') + payload });
    QCOMPARE(fakehid::state.foreignDeviceCalls, 0);
}

void TestMeter::hidReadAssemblesReply_data()
{
    QTest::addColumn<QList<int>>("reports"); // bytes per input report; 0 time-out, -1 error
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("filled");

    QTest::newRow("four reports of 8") << QList<int> { 8, 8, 8, 8 } << true << 32;
    QTest::newRow("one report of 32") << QList<int> { 32 } << true << 32;
    QTest::newRow("one report of 64, the rest dropped") << QList<int> { 64 } << true << 32;
    QTest::newRow("20 and 20, the rest dropped") << QList<int> { 20, 20 } << true << 32;
    QTest::newRow("16, then the time-out") << QList<int> { 16, 0 } << false << 16;
    QTest::newRow("8, 8, 8, then the time-out") << QList<int> { 8, 8, 8, 0 } << false << 24;
    QTest::newRow("nothing") << QList<int> { 0 } << false << 0;
    QTest::newRow("device error") << QList<int> { -1 } << false << 0;
    QTest::newRow("8, then a device error") << QList<int> { 8, -1 } << false << 8;
}

void TestMeter::hidReadAssemblesReply()
{
    QFETCH(QList<int>, reports);
    QFETCH(bool, ok);
    QFETCH(int, filled);

    // The bytes as the device sends them: 0xA0, 0xA1, ...
    QByteArray stream;
    for (const int n : reports) {
        const QByteArray bytes = [&stream, n] {
            QByteArray b;
            for (int i = 0; i < n; ++i)
                b += static_cast<char>(0xA0 + stream.size() + i);
            return b;
        }();
        stream += bytes;
        fakehid::state.reads << fakehid::ReadStep { n, bytes };
    }

    HidMeterUsb usb(fakehid::table());
    QCOMPARE(usb.UsbOpen(MeterUsb::VendorId, MeterUsb::ProductId), 0);
    QCOMPARE(usb.UsbSetTimeouts(250, 250), 0);
    std::array<quint8, 32> buffer;
    buffer.fill(0xEE);
    const int result = usb.UsbReadReport(32, buffer.data());
    QCOMPARE(result == 0, ok);

    for (int i = 0; i < 32; ++i) {
        const quint8 expected = i < filled ? static_cast<quint8>(0xA0 + i) : quint8(0xEE);
        QVERIFY2(buffer[static_cast<std::size_t>(i)] == expected,
                 qPrintable(QStringLiteral("byte %1").arg(i)));
    }
    QCOMPARE(fakehid::state.readCalls, reports.size());
    QVERIFY(fakehid::state.reads.isEmpty());
    // The whole read stays within the read time-out.
    QVERIFY(fakehid::state.readTimeouts.first() > 0);
    for (const int ms : fakehid::state.readTimeouts)
        QVERIFY2(ms >= 0 && ms <= 250, qPrintable(QString::number(ms)));
    QCOMPARE(fakehid::state.foreignDeviceCalls, 0);
}

void TestMeter::hidOpenFailure_data()
{
    QTest::addColumn<bool>("initFails");
    QTest::newRow("no device") << false;
    QTest::newRow("library fails to start") << true;
}

void TestMeter::hidOpenFailure()
{
    QFETCH(bool, initFails);
    fakehid::state.initResult = initFails ? -1 : 0;
    fakehid::state.openFails = !initFails;

    HidMeterUsb usb(fakehid::table());
    QVERIFY(usb.UsbOpen(MeterUsb::VendorId, MeterUsb::ProductId) != 0);
    QVERIFY(usb.UsbSetTimeouts(1000, 1000) != 0);
    const quint8 command[7] = { 0x02, 'A', 0, 0, 0, 1, 0x03 };
    QVERIFY(usb.UsbWriteReport(7, command) != 0);
    std::array<quint8, 32> block {};
    QVERIFY(usb.UsbWriteData(32, block.data()) != 0);
    std::array<quint8, 32> buffer;
    buffer.fill(0xEE);
    QVERIFY(usb.UsbReadReport(32, buffer.data()) != 0);
    QVERIFY(std::all_of(buffer.begin(), buffer.end(), [](quint8 b) { return b == 0xEE; }));
    char serial[64];
    std::memset(serial, 'x', sizeof serial);
    usb.UsbGetSerialNumber(0, serial, 64);
    QCOMPARE(serial[0], '\0');
    usb.UsbClose();
    usb.UsbClose();

    QVERIFY(fakehid::state.writes.isEmpty());
    QCOMPARE(fakehid::state.readCalls, 0);
    QCOMPARE(fakehid::state.closeCalls, 0);
}

void TestMeter::hidClose()
{
    {
        HidMeterUsb usb(fakehid::table());
        QCOMPARE(usb.UsbClose(), 0); // nothing open: harmless
        QCOMPARE(fakehid::state.closeCalls, 0);

        QCOMPARE(usb.UsbOpen(MeterUsb::VendorId, MeterUsb::ProductId), 0);
        usb.UsbClose();
        QCOMPARE(fakehid::state.closeCalls, 1);
        usb.UsbClose();
        QCOMPARE(fakehid::state.closeCalls, 1);
        const quint8 command[7] = { 0x02, 'K', 0, 0, 0, 0, 0x03 };
        QVERIFY(usb.UsbWriteReport(7, command) != 0);
        QVERIFY(fakehid::state.writes.isEmpty());

        // Open again: the exchange after the next one starts as the first did.
        QCOMPARE(usb.UsbOpen(MeterUsb::VendorId, MeterUsb::ProductId), 0);
        QCOMPARE(usb.UsbWriteReport(7, command), 0);
        QCOMPARE(fakehid::state.writes.size(), 1);
    }
    // A device left open is closed with the transport.
    QCOMPARE(fakehid::state.closeCalls, 2);
    QCOMPARE(fakehid::state.foreignDeviceCalls, 0);
}

void TestMeter::hidSerialNumber_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<int>("size");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("fits") << "SIM7316-0001" << 64 << QByteArray("SIM7316-0001");
    QTest::newRow("empty") << "" << 64 << QByteArray();
    QTest::newRow("63 characters in 64 bytes")
        << QString(63, QLatin1Char('7')) << 64 << QByteArray(63, '7');
    QTest::newRow("fits exactly") << "SIM-12345" << 10 << QByteArray("SIM-12345");
    QTest::newRow("truncated") << "SIM-12345" << 5 << QByteArray("SIM-");
    QTest::newRow("room for the terminator only") << "SIM-12345" << 1 << QByteArray();
}

void TestMeter::hidSerialNumber()
{
    QFETCH(QString, serial);
    QFETCH(int, size);
    QFETCH(QByteArray, expected);

    fakehid::state.serial = serial.toStdWString();
    HidMeterUsb usb(fakehid::table());
    QCOMPARE(usb.UsbOpen(MeterUsb::VendorId, MeterUsb::ProductId), 0);
    QByteArray buffer(size + 8, '#');
    usb.UsbGetSerialNumber(0, buffer.data(), size);

    // Nothing is written past the buffer, and the text is terminated inside it.
    QCOMPARE(buffer.mid(size), QByteArray(8, '#'));
    const int end = buffer.indexOf('\0');
    QVERIFY(end >= 0 && end < size);
    QCOMPARE(buffer.left(end), expected);
}

QTEST_GUILESS_MAIN(TestMeter)
#include "tst_meter.moc"
