// The hidapi transport over a fake hidapi table: how reports are framed on write, how a reply is
// assembled from reads, and opening, closing and the serial number.

#include "meter/hidmeterusb.h"
#include "tst_meter.h"

#include <cstring>
#include <string>

namespace {

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

void TestMeter::init()
{
    fakehid::state = {};
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
