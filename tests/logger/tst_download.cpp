// The memory download against the simulated meter: the size rule, a whole download byte for byte
// and call by call, every failure code with the device's state afterwards, the progress reports,
// and the simulated meter's logger memory: its seeded sets, a set recorded while REC is on, a
// memory that fills up, and images with any header at all.

#include "base/datetimedays.h"
#include "base/workprogress.h"
#include "common/fakeclock.h"
#include "common/recordingmeterusb.h"
#include "logger/loggerdata.h"
#include "logger/memorydecoder.h"
#include "logger/memorydownload.h"
#include "meter/meterlink.h"
#include "meter/simulatedloggermemory.h"
#include "meter/simulatedmeter.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <climits>

namespace {

constexpr int MemorySize = SimulatedLoggerMemory::Size;

struct Rig
{
    FakeClock clock;
    SimulatedMeter meter { clock, 7 };
    RecordingMeterUsb usb { meter };
    MeterLink link { usb };
    QByteArray image;
    int lastAddress = -1;

    int download(WorkProgress *progress = nullptr)
    {
        return MemoryDownload::ReadLoggerMemory(link, image, lastAddress, progress);
    }
};

// The progress reports in order: "start 256", "received 64", ..., "finish".
class RecordingProgress : public WorkProgress
{
public:
    QStringList events;
    void start(int total) override { events << QStringLiteral("start %1").arg(total); }
    void progressed(int bytes) override { events << QStringLiteral("received %1").arg(bytes); }
    void finish() override { events << QStringLiteral("finish"); }
};

int big(const QByteArray &bytes, int at, int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | static_cast<quint8>(bytes.at(at + i));
    return value;
}

void putBig(QByteArray &bytes, int at, int count, int value)
{
    for (int i = count - 1; i >= 0; --i, value >>= 8)
        bytes[at + i] = static_cast<char>(value & 0xFF);
}

// A whole memory with a framed header block holding sets and lastAddress; every other byte
// numbered, so that a block out of place shows.
QByteArray memoryImage(int lastAddress, int sets = 1)
{
    QByteArray image(MemorySize, '\0');
    for (int i = 0; i < MemorySize; ++i)
        image[i] = static_cast<char>(i % 251);
    image[0] = 0x04;
    image[31] = 0x05;
    putBig(image, 9, 2, sets);
    putBig(image, 11, 3, lastAddress);
    return image;
}

QByteArray lettersWritten(const RecordingMeterUsb &usb)
{
    QByteArray letters;
    for (const QByteArray &written : usb.writes())
        letters += written.at(1);
    return letters;
}

QByteArray downloadLetters(int total)
{
    return 'P' + QByteArray(total / 32 - 1, 'p') + 'q';
}

} // namespace

class TestDownload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sizeRule_data();
    void sizeRule();
    void seededDownload();
    void failures_data();
    void failures();
    void seededMemoryDecodes();
    void recordedSet_data();
    void recordedSet();
    void memoryFull_data();
    void memoryFull();
    void anyHeader();
};

void TestDownload::sizeRule_data()
{
    QTest::addColumn<int>("lastAddress");
    QTest::addColumn<int>("total");
    QTest::newRow("255: the header block alone, 8 blocks") << 255 << 256;
    QTest::newRow("254: below the header block, all") << 254 << 131072;
    QTest::newRow("256: rounded up") << 256 << 288;
    QTest::newRow("1000: one 'P' and 31 'p'") << 1000 << 1024;
    QTest::newRow("131071: the last byte") << 131071 << 131072;
    QTest::newRow("131072: beyond the memory, all") << 131072 << 131072;
    QTest::newRow("0: all, 4096 blocks") << 0 << 131072;
    QTest::newRow("0xFFFFFF: the largest the reply holds") << 0xFFFFFF << 131072;
}

void TestDownload::sizeRule()
{
    QFETCH(int, lastAddress);
    QFETCH(int, total);
    QCOMPARE(MemoryDownload::totalFor(lastAddress), total);

    Rig rig;
    rig.meter.setLoggerMemory(memoryImage(lastAddress));
    QCOMPARE(rig.download(), 0);
    QCOMPARE(rig.lastAddress, lastAddress);
    QCOMPARE(rig.image, memoryImage(lastAddress).left(total));
    QCOMPARE(lettersWritten(rig.usb), downloadLetters(total));

    // Values no reply can carry still give the whole memory.
    QCOMPARE(MemoryDownload::totalFor(-1), 131072);
    QCOMPARE(MemoryDownload::totalFor(INT_MAX), 131072);
}

void TestDownload::seededDownload()
{
    Rig rig;
    QVERIFY(rig.link.PollLiveReading()); // the command buffer's byte 5 now holds 1
    rig.usb.clear();
    RecordingProgress progress;
    rig.image = "kept"; // the download appends
    QCOMPARE(rig.download(&progress), 0);

    const QByteArray memory = rig.meter.loggerMemory();
    const int total = MemoryDownload::totalFor(big(memory, 11, 3));
    QCOMPARE(rig.lastAddress, big(memory, 11, 3));
    QCOMPARE(rig.image, "kept" + memory.left(total));

    // 'P' with UsbAfterWrite, the 'p' blocks without it, 'q' without a reply; left open.
    const int blocks = total / 32;
    QCOMPARE(rig.usb.sequence(),
             QStringLiteral("Close Open SetTimeouts Write AfterWrite Read")
                 + QStringLiteral(" Write Read").repeated(blocks - 1) + QStringLiteral(" Write"));
    const QList<QByteArray> writes = rig.usb.writes();
    const QByteArray letters = downloadLetters(total);
    QCOMPARE(writes.size(), letters.size());
    for (int i = 0; i < writes.size(); ++i)
        QCOMPARE(writes[i], QByteArray("\x02") + letters[i] + QByteArray("\0\0\0\x01\x03", 5));
    QCOMPARE(rig.usb.calls()[2].a, 1000);
    QCOMPARE(rig.usb.calls()[2].b, 1000);
    QVERIFY(rig.meter.isOpen());
    QCOMPARE(rig.meter.downloadPosition(), -1); // the meter saw the 'q'

    QStringList events { QStringLiteral("start %1").arg(total) };
    for (int block = 2; block <= blocks; ++block)
        events << QStringLiteral("received %1").arg(block * 32);
    events << QStringLiteral("finish");
    QCOMPARE(progress.events, events);
}

void TestDownload::failures_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("lastAddress");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("blocksKept");

    // 8 blocks (lastAddress 255): a loop failing at block k has received 32k bytes, and
    // 256 - 32k remain; below half way (k < 4) it is a failed loop, 126.
    QTest::newRow("117 open") << "open" << 0 << 255 << 117 << false << 0;
    QTest::newRow("118 time-outs") << "timeouts" << 0 << 255 << 118 << true << 0;
    QTest::newRow("119 'P' write") << "startWrite" << 0 << 255 << 119 << true << 0;
    QTest::newRow("120 'P' reply lost") << "startRead" << 0 << 255 << 120 << true << 0;
    QTest::newRow("121 'P' reply framed like a live reply")
        << "startUnframed" << 0 << 255 << 121 << true << 0;
    QTest::newRow("126 'p' write, block 1 of 8") << "blockWrite" << 1 << 255 << 126 << false << 1;
    QTest::newRow("126 'p' write, block 3 of 8") << "blockWrite" << 3 << 255 << 126 << false << 3;
    QTest::newRow("123 'p' write, block 4 of 8") << "blockWrite" << 4 << 255 << 123 << false << 4;
    QTest::newRow("123 'p' write, block 7 of 8") << "blockWrite" << 7 << 255 << 123 << false << 7;
    QTest::newRow("126 block read, block 1 of 8") << "blockRead" << 1 << 255 << 126 << false << 1;
    QTest::newRow("126 block read, block 3 of 8") << "blockRead" << 3 << 255 << 126 << false << 3;
    QTest::newRow("124 block read, block 4 of 8") << "blockRead" << 4 << 255 << 124 << false << 4;
    QTest::newRow("124 block read, block 7 of 8") << "blockRead" << 7 << 255 << 124 << false << 7;
    QTest::newRow("126 'p' write, block 2047 of 4096")
        << "blockWrite" << 2047 << 0 << 126 << false << 2047;
    QTest::newRow("124 block read, block 2048 of 4096")
        << "blockRead" << 2048 << 0 << 124 << false << 2048;
    QTest::newRow("125 'q' write") << "endWrite" << 0 << 255 << 125 << true << 8;
}

void TestDownload::failures()
{
    QFETCH(QString, fault);
    QFETCH(int, block);
    QFETCH(int, lastAddress);
    QFETCH(int, code);
    QFETCH(bool, open);
    QFETCH(int, blocksKept);

    Rig rig;
    rig.meter.setLoggerMemory(memoryImage(lastAddress));
    SimulatedMeterFaults &faults = rig.meter.faults();
    faults.openFails = fault == QLatin1String("open");
    faults.setTimeoutsFails = fault == QLatin1String("timeouts");
    faults.downloadStartWriteFails = fault == QLatin1String("startWrite");
    faults.downloadStartReadFails = fault == QLatin1String("startRead");
    faults.downloadStartUnframed = fault == QLatin1String("startUnframed");
    faults.blockWriteFailsAt = fault == QLatin1String("blockWrite") ? block : -1;
    faults.blockReadFailsAt = fault == QLatin1String("blockRead") ? block : -1;
    faults.downloadEndWriteFails = fault == QLatin1String("endWrite");

    RecordingProgress progress;
    QCOMPARE(rig.download(&progress), code);
    QCOMPARE(rig.meter.isOpen(), open);
    QCOMPARE(rig.image, memoryImage(lastAddress).left(blocksKept * 32));
    if (code == 121)
        QCOMPARE(rig.link.reply()[0], quint8(0x02));
    if (code <= 121) {
        QCOMPARE(rig.lastAddress, -1);
        QVERIFY(progress.events.isEmpty());
        return;
    }
    const int total = MemoryDownload::totalFor(lastAddress);
    QCOMPARE(progress.events.first(), QStringLiteral("start %1").arg(total));
    QCOMPARE(progress.events.last(), QStringLiteral("finish"));
    QCOMPARE(progress.events.size(), blocksKept + 1);
    if (blocksKept > 1)
        QCOMPARE(progress.events.at(blocksKept - 1),
                 QStringLiteral("received %1").arg(blocksKept * 32));
}

void TestDownload::seededMemoryDecodes()
{
    Rig rig;
    QCOMPARE(rig.download(), 0);
    LoggerData data;
    QCOMPARE(MemoryDecoder::DecodeLoggerMemory(rig.image, rig.lastAddress, rig.clock, data), 0);
    QVERIFY(data.invariantsHold());

    const QList<SimulatedLoggerMemory::SeededSet> sets = SimulatedLoggerMemory::seededSets();
    QCOMPARE(data.setCount(), static_cast<int>(sets.size()));
    bool pageBoundary = false;
    for (int i = 0; i < sets.size(); ++i) {
        const auto at = static_cast<std::size_t>(i);
        QCOMPARE(data.setHeaderOffsets[at], sets[i].address);
        QCOMPARE(data.setCounts[at], sets[i].count);
        QCOMPARE(data.setIntervals[at], sets[i].interval);
        QCOMPARE(data.setFlags[at], sets[i].flags);
        QCOMPARE(data.setStartTimes[at], DateTimeDays::fromDateTime(sets[i].start));
        pageBoundary = pageBoundary || (sets[i].address + 11) % 256 == 255;
    }
    QVERIFY(pageBoundary);
    QCOMPARE(rig.lastAddress, data.setEndOffsets.back());
    // Every reading is a level the meter measures, none decodes as out of range.
    QVERIFY(std::all_of(data.levels.begin(), data.levels.end(),
                        [](float level) { return level >= 25.0f && level <= 140.0f; }));

    // Another seed gives the same sets with other readings.
    SimulatedMeter other(rig.clock, 8);
    QCOMPARE(other.logger().lastAddress(), rig.meter.logger().lastAddress());
    QVERIFY(other.loggerMemory() != rig.meter.loggerMemory());
    for (const SimulatedLoggerMemory::SeededSet &set : sets)
        QCOMPARE(other.loggerMemory().mid(set.address, 16),
                 rig.meter.loggerMemory().mid(set.address, 16));
}

void TestDownload::recordedSet_data()
{
    QTest::addColumn<int>("interval");
    QTest::addColumn<QByteArray>("keys"); // pressed before REC
    QTest::addColumn<int>("startMs"); // past the clock's whole second when REC goes on
    QTest::addColumn<int>("recordMs");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("flags");

    // The meter starts in A weighting, FAST, 30-130 dB; 'L' steps the range from 30-90 dB on.
    QTest::newRow("1 s, A FAST 30-130, 5 s") << 1 << QByteArray() << 0 << 5000 << 6 << 0x0F;
    QTest::newRow("2 s, C SLOW 30-90, 11 s") << 2 << QByteArray("CFL") << 0 << 11000 << 6 << 0x00;
    QTest::newRow("10 s, 50-110, REC on 0.7 s into a second")
        << 10 << QByteArray("LL") << 700 << 29500 << 4 << 0x07;
    QTest::newRow("60 s, A SLOW 70-130, off before the second reading")
        << 60 << QByteArray("LLLF") << 0 << 59999 << 1 << 0x0A;
}

void TestDownload::recordedSet()
{
    QFETCH(int, interval);
    QFETCH(QByteArray, keys);
    QFETCH(int, startMs);
    QFETCH(int, recordMs);
    QFETCH(int, count);
    QFETCH(int, flags);

    Rig rig;
    QVERIFY(rig.meter.setRecordingInterval(interval));
    for (char key : keys)
        QVERIFY(rig.link.SendMeterKey(key));
    rig.clock.advanceMs(startMs);
    const QDateTime start = rig.clock.now();
    const int s = rig.meter.logger().lastAddress() + 1;
    QVERIFY(rig.link.SendMeterKey('R'));
    QVERIFY(rig.meter.state().recording);
    rig.clock.advanceMs(recordMs);
    QVERIFY(rig.link.SendMeterKey('R'));
    QVERIFY(!rig.meter.state().recording);
    rig.clock.advanceMs(3600000);
    QVERIFY(rig.link.PollLiveReading()); // nothing is recorded after REC went off
    QCOMPARE(rig.download(), 0);

    const QByteArray &m = rig.image;
    QCOMPARE(big(m, 9, 2), int(SimulatedLoggerMemory::seededSets().size()) + 1);
    QCOMPARE(m.mid(s, 2), QByteArray("\xA5\x5A"));
    // BCD digits read as hexadecimal are the decimal digits.
    QCOMPARE(m.mid(s + 3, 6).toHex(), start.toString(QStringLiteral("yyMMddhhmmss")).toLatin1());
    QCOMPARE(big(m, s + 10, 1), interval);
    QCOMPARE(big(m, s + 11, 3), count);
    QCOMPARE(big(m, s + 14, 1), flags);
    const int end = s + 17 + 2 * count;
    QCOMPARE(m.mid(end - 1, 2), QByteArray("\x5A\xA5"));
    QCOMPARE(rig.lastAddress, end);
    for (int p = s + 16; p < end - 1; p += 2)
        QVERIFY(big(m, p, 2) >= 250 && big(m, p, 2) <= 1400);
}

void TestDownload::memoryFull_data()
{
    QTest::addColumn<int>("lastAddress"); // -1: the seeded memory
    QTest::addColumn<int>("sets");
    QTest::addColumn<qint64>("recordMs");
    QTest::addColumn<bool>("refused");

    QTest::newRow("room for 5 readings, 60 s") << MemorySize - 30 << 1 << qint64(60000) << false;
    QTest::newRow("the clock jumps ten years")
        << -1 << 0 << qint64(10) * 365 * 86400 * 1000 << false;
    QTest::newRow("no room for a reading") << MemorySize - 20 << 1 << qint64(0) << true;
    QTest::newRow("4000 sets") << 255 << 4000 << qint64(0) << true;
}

void TestDownload::memoryFull()
{
    QFETCH(int, lastAddress);
    QFETCH(int, sets);
    QFETCH(qint64, recordMs);
    QFETCH(bool, refused);

    Rig rig;
    if (lastAddress >= 0)
        rig.meter.setLoggerMemory(memoryImage(lastAddress, sets));
    QCOMPARE(rig.meter.state().memoryFull, refused);
    const QByteArray before = rig.meter.loggerMemory();
    const int s = rig.meter.logger().lastAddress() + 1;
    QVERIFY(rig.link.SendMeterKey('R'));
    QCOMPARE(rig.meter.state().recording, !refused);
    rig.clock.advanceMs(recordMs);
    QVERIFY(rig.link.PollLiveReading());
    QCOMPARE(rig.link.reply()[2], quint8(0x10)); // FULL
    QCOMPARE(rig.link.reply()[1] & 0x01, 0); // REC went off
    if (refused) {
        QCOMPARE(rig.meter.loggerMemory(), before);
        return;
    }
    // The set fills the memory up to its last byte but one or two, and stays complete.
    const QByteArray &m = rig.meter.loggerMemory();
    const int count = (MemorySize - s - 18) / 2;
    QCOMPARE(big(m, s + 11, 3), count);
    QCOMPARE(rig.meter.logger().lastAddress(), s + 17 + 2 * count);
    QCOMPARE(m.mid(s + 16 + 2 * count, 2), QByteArray("\x5A\xA5"));
    QCOMPARE(rig.meter.logger().setCount(),
             sets == 0 ? int(SimulatedLoggerMemory::seededSets().size()) + 1 : sets + 1);
}

// Images with any header at all: recording after them and downloading them stays inside the
// memory and ends with a code.
void TestDownload::anyHeader()
{
    QRandomGenerator random(4711);
    FakeClock clock;
    SimulatedMeter meter(clock, 3);
    MeterLink link(meter);
    for (int round = 0; round < 200; ++round) {
        QByteArray image(static_cast<qsizetype>(random.bounded(MemorySize + 64)), '\0');
        for (char &byte : image)
            byte = static_cast<char>(random.bounded(256));
        // Mostly a framed header block, with a last used address anywhere, near the memory's end
        // or below the first set.
        if (image.size() >= 32 && random.bounded(4) != 0) {
            image[0] = 0x04;
            image[31] = 0x05;
            const int choices[] = { static_cast<int>(random.bounded(0x1000000)),
                                    MemorySize - 1 - static_cast<int>(random.bounded(40)),
                                    static_cast<int>(random.bounded(300)) };
            putBig(image, 11, 3, choices[random.bounded(3)]);
        }
        meter.setLoggerMemory(image);
        meter.state().recording = false;
        const int setsBefore = meter.logger().setCount();
        QVERIFY(meter.setRecordingInterval(1 + static_cast<int>(random.bounded(60))));
        link.SendMeterKey('R');
        clock.advanceMs(random.bounded(200000));
        link.SendMeterKey('R');
        if (meter.logger().setCount() == setsBefore + 1) {
            const int last = meter.logger().lastAddress();
            QVERIFY(last < MemorySize);
            QCOMPARE(meter.loggerMemory().mid(last - 1, 2), QByteArray("\x5A\xA5"));
        }

        QByteArray downloaded;
        int lastAddress = -1;
        const int code = MemoryDownload::ReadLoggerMemory(link, downloaded, lastAddress, nullptr);
        const QByteArray &memory = meter.loggerMemory();
        if (quint8(memory[0]) != 0x04 || quint8(memory[31]) != 0x05) {
            QCOMPARE(code, 121);
            continue;
        }
        QCOMPARE(code, 0);
        QCOMPARE(downloaded, memory.left(MemoryDownload::totalFor(lastAddress)));
    }
}

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_download.moc"
