// The logger memory decoder and the data set model: the worked example byte for byte, every rule
// and result code, the bytes outside the image, the panel's row texts, the start-time correction,
// and randomised images, good and corrupted.

#include "common/fakeclock.h"
#include "logger/datasetrows.h"
#include "logger/loggerdata.h"
#include "logger/memorydecoder.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

#include <climits>
#include <cmath>

using MemoryDecoder::DecodeLoggerMemory;

namespace {

const QDateTime FakeNow(QDate(2031, 6, 17), QTime(21, 45, 13, 250));

double days(const QDateTime &t)
{
    return static_cast<double>(QDate(1899, 12, 30).daysTo(t.date()))
        + t.time().msecsSinceStartOfDay() / 86400000.0;
}

bool near(double a, double b)
{
    return std::fabs(a - b) < 1e-9;
}

// A data set as the builder lays it out.
struct SetLayout
{
    quint8 time[6] = { 0x07, 0x03, 0x15, 0x10, 0x30, 0x00 }; // year, month, day, hour, min, sec
    quint8 interval = 1;
    quint8 flags = 0x02;
    std::vector<quint16> readings;
    qint64 headerCount = -1; // -1: the number of readings
    bool startMarker = true;
    bool endMarker = true;
};

struct Image
{
    QByteArray bytes;
    int lastAddress = 0;
    std::vector<int> starts;
    std::vector<int> ends;
};

void put24(QByteArray &bytes, qsizetype at, qint64 value)
{
    bytes[at] = char((value >> 16) & 0xFF);
    bytes[at + 1] = char((value >> 8) & 0xFF);
    bytes[at + 2] = char(value & 0xFF);
}

// The sets back to back from 256; the set count in bytes 9-10 and lastAddress (the last set's
// end offset) in bytes 11-13. extra bytes of zeros follow the last set.
Image buildImage(const std::vector<SetLayout> &sets, int extra = 0)
{
    Image image;
    image.bytes = QByteArray(256, '\0');
    image.bytes[9] = char(sets.size() >> 8);
    image.bytes[10] = char(sets.size() & 0xFF);
    for (const SetLayout &set : sets) {
        const qsizetype s = image.bytes.size();
        image.starts.push_back(int(s));
        QByteArray header(16, '\0');
        header[0] = char(set.startMarker ? 0xA5 : 0xA4);
        header[1] = char(0x5A);
        for (int i = 0; i < 6; ++i)
            header[3 + i] = char(set.time[i]);
        header[10] = char(set.interval);
        put24(header, 11, set.headerCount >= 0 ? set.headerCount : qint64(set.readings.size()));
        header[14] = char(set.flags);
        image.bytes += header;
        for (const quint16 word : set.readings) {
            image.bytes += char(word >> 8);
            image.bytes += char(word & 0xFF);
        }
        image.bytes += char(set.endMarker ? 0x5A : 0x00);
        image.bytes += char(0xA5);
        image.ends.push_back(int(image.bytes.size() - 1));
    }
    image.lastAddress = image.ends.empty() ? 255 : image.ends.back();
    put24(image.bytes, 11, image.lastAddress);
    image.bytes += QByteArray(extra, '\0');
    return image;
}

SetLayout readingsSet(int count, quint16 word = 0x0258)
{
    SetLayout set;
    set.readings.assign(std::size_t(count), word);
    return set;
}

QByteArray workedExampleImage()
{
    QByteArray image(256, '\0');
    image[10] = 1;
    image[12] = 0x01;
    image[13] = char(0x17); // lastAddress 279
    image += QByteArray::fromHex("A55A0007031510300000010000030200012C012D012E5AA5");
    return image;
}

// Decodes and checks the model's invariants; -1 when they fail.
int decodeChecked(const QByteArray &image, int lastAddress, LoggerData &out,
                  const Clock &clock = FakeClock(FakeNow))
{
    const int result = DecodeLoggerMemory(image, lastAddress, clock, out);
    if (!QTest::qVerify(out.invariantsHold(), "out.invariantsHold()", "", __FILE__, __LINE__))
        return -1;
    return result;
}

LoggerData decodedWorkedExample()
{
    LoggerData data;
    DecodeLoggerMemory(workedExampleImage(), 279, FakeClock(FakeNow), data);
    return data;
}

float levelOf(quint8 hi, quint8 lo)
{
    const int raw = (hi & 0x0F) * 256 + lo;
    return raw < 200 || raw > 1400 ? 0.0f : static_cast<float>(raw * 0.1);
}

// An image the way the meter writes one, with the model it must decode to.
struct Generated
{
    Image image;
    LoggerData expected;
};

Generated generate(QRandomGenerator &rng, int capacity)
{
    Generated g;
    std::vector<SetLayout> sets;
    qint64 s = 256;
    const int wanted = rng.bounded(1, 12);
    for (int i = 0; i < wanted && s + 18 <= capacity; ++i) {
        SetLayout set;
        const QDate date = QDate(2000 + rng.bounded(100), rng.bounded(1, 13), rng.bounded(1, 29));
        const QTime time(rng.bounded(24), rng.bounded(60), rng.bounded(60));
        const int fields[6] = { date.year() - 2000, date.month(),  date.day(),
                                time.hour(),        time.minute(), time.second() };
        for (int f = 0; f < 6; ++f)
            set.time[f] = quint8((fields[f] / 10) << 4 | fields[f] % 10);
        set.interval = quint8(rng.bounded(4) == 0 ? rng.bounded(256) : rng.bounded(61));
        set.flags = quint8(rng.bounded(256));
        qint64 count = rng.bounded(int(std::min<qint64>(2000, (capacity - s - 18) / 2)) + 1);
        // Now and then end the set so that the next one starts where its count's first byte is
        // the last byte of a page (starts are always even, as every set has an even length).
        if (rng.bounded(3) == 0) {
            const qint64 next = s + 18 + ((244 - (s + 18)) % 256 + 256) % 256;
            if (next + 18 <= capacity)
                count = (next - s - 18) / 2;
        }
        for (qint64 k = 0; k < count; ++k) {
            quint8 hi = quint8(rng.bounded(256));
            const quint8 lo = quint8(rng.bounded(256));
            if (hi == 0x5A) // no end marker inside the readings
                hi = 0x0A;
            set.readings.push_back(quint16(hi << 8 | lo));
        }
        // The count of a set on a page boundary is not used: the meter's may be anything.
        if ((s + 11) % 256 == 255)
            set.headerCount = rng.bounded(0x1000000);
        const double start = days(QDateTime(date, time));
        const int interval = set.interval > 60 ? 2 : set.interval;
        LoggerData &e = g.expected;
        e.setStartTimes.push_back(start);
        e.setIntervals.push_back(interval);
        e.setCounts.push_back(int(count));
        e.setFlags.push_back(set.flags);
        e.setHeaderOffsets.push_back(int(s));
        e.setEndOffsets.push_back(int(s + 17 + 2 * count));
        float highest = -99999, lowest = 99999;
        int maxIndex = 0, minIndex = 0;
        double sum = 0;
        for (int k = 0; k < count; ++k) {
            const quint16 word = set.readings[std::size_t(k)];
            const float level = levelOf(quint8(word >> 8), quint8(word & 0xFF));
            e.levels.push_back(level);
            e.levelTimes.push_back(start + k * (interval / 86400.0));
            sum += level;
            if (level > highest) {
                highest = level;
                maxIndex = k;
            }
            if (level < lowest) {
                lowest = level;
                minIndex = k;
            }
        }
        e.setMaxIndex.push_back(maxIndex);
        e.setMinIndex.push_back(minIndex);
        e.setAverages.push_back(count ? sum / double(count) : sum);
        sets.push_back(set);
        s += 18 + 2 * count;
    }
    g.image = buildImage(sets);
    // As downloaded (up to a multiple of 32) or as a temporary file (lastAddress + 257 bytes).
    const int length
        = rng.bounded(2) ? ((g.image.lastAddress + 1 + 31) / 32) * 32 : g.image.lastAddress + 257;
    g.image.bytes.resize(length, '\0');
    return g;
}

bool sameModel(const LoggerData &a, const LoggerData &b)
{
    if (a.setIntervals != b.setIntervals || a.setCounts != b.setCounts || a.setFlags != b.setFlags
        || a.setHeaderOffsets != b.setHeaderOffsets || a.setEndOffsets != b.setEndOffsets
        || a.setMaxIndex != b.setMaxIndex || a.setMinIndex != b.setMinIndex || a.levels != b.levels
        || a.setStartTimes.size() != b.setStartTimes.size()
        || a.levelTimes.size() != b.levelTimes.size())
        return false;
    for (std::size_t i = 0; i < a.setStartTimes.size(); ++i)
        if (!near(a.setStartTimes[i], b.setStartTimes[i])
            || std::fabs(a.setAverages[i] - b.setAverages[i]) > 1e-9)
            return false;
    for (std::size_t i = 0; i < a.levelTimes.size(); ++i)
        if (!near(a.levelTimes[i], b.levelTimes[i]))
            return false;
    return true;
}

quint8 byteAt(const QByteArray &image, qint64 p)
{
    return p >= 0 && p < image.size() ? quint8(image[p]) : 0;
}

} // namespace

class TestDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void workedExample_data();
    void workedExample();
    void nextSetStartsAfterEndMarker();
    void setCount_data();
    void setCount();
    void pageBoundaryCount_data();
    void pageBoundaryCount();
    void headerCountDisagrees_data();
    void headerCountDisagrees();
    void levels_data();
    void levels();
    void intervals_data();
    void intervals();
    void startTimeFallbacks_data();
    void startTimeFallbacks();
    void resultOrder_data();
    void resultOrder();
    void levelStatistics_data();
    void levelStatistics();
    void outsideTheImage_data();
    void outsideTheImage();
    void hugeCountsAllocateNothing();
    void panelFlags_data();
    void panelFlags();
    void panelRow();
    void changeSetStart();
    void generatedImagesDecodeExactly();
    void corruptedImages();
};

void TestDecoder::workedExample_data()
{
    QTest::addColumn<int>("lastAddress");
    QTest::addColumn<int>("extra");
    QTest::addColumn<int>("result");
    QTest::newRow("image ends at the marker") << 279 << 0 << 0;
    QTest::newRow("as a temporary file") << 279 << 256 << 0;
    QTest::newRow("lastAddress beyond the set") << 5000 << 0 << 0;
    QTest::newRow("lastAddress INT_MAX") << INT_MAX << 0 << 0;
    QTest::newRow("end one beyond lastAddress") << 278 << 0 << 34;
    QTest::newRow("lastAddress negative") << -1 << 0 << 34;
}

void TestDecoder::workedExample()
{
    QFETCH(int, lastAddress);
    QFETCH(int, extra);
    QFETCH(int, result);
    LoggerData data;
    QCOMPARE(decodeChecked(workedExampleImage() + QByteArray(extra, '\0'), lastAddress, data),
             result);

    QCOMPARE(data.setCount(), 1);
    const double start = days(QDateTime(QDate(2007, 3, 15), QTime(10, 30, 0)));
    QVERIFY(near(data.setStartTimes[0], start));
    QCOMPARE(data.setIntervals[0], 1);
    QCOMPARE(data.setCounts[0], 3);
    QCOMPARE(data.setFlags[0], quint8(0x02));
    QCOMPARE(data.setHeaderOffsets[0], 256);
    QCOMPARE(data.setEndOffsets[0], 279);
    QCOMPARE(data.levels, (std::vector<float> { 30.0f, 30.1f, 30.2f }));
    QCOMPARE(data.levelTimes.size(), std::size_t(3));
    for (int k = 0; k < 3; ++k)
        QVERIFY(near(data.levelTimes[std::size_t(k)],
                     days(QDateTime(QDate(2007, 3, 15), QTime(10, 30, k)))));
    QCOMPARE(data.setMaxIndex[0], 2);
    QCOMPARE(data.setMinIndex[0], 0);
    QVERIFY(std::fabs(data.setAverages[0] - 30.1) < 1e-5);
}

void TestDecoder::nextSetStartsAfterEndMarker()
{
    QByteArray image = workedExampleImage();
    image[10] = 2;
    image += workedExampleImage().mid(256);
    image[13] = char(image.size() - 1);
    LoggerData data;
    QCOMPARE(decodeChecked(image, image.size() - 1, data), 0);
    QCOMPARE(data.setHeaderOffsets, (std::vector<int> { 256, 280 }));
    QCOMPARE(data.setEndOffsets, (std::vector<int> { 279, 303 }));
    QCOMPARE(data.setOffset(1), 3);
    QCOMPARE(data.levels.size(), std::size_t(6));
}

void TestDecoder::setCount_data()
{
    QTest::addColumn<int>("sets");
    QTest::addColumn<int>("result");
    QTest::newRow("0x0000") << 0 << 31;
    QTest::newRow("0x0FA0 (4000)") << 4000 << 0;
    QTest::newRow("0x0FA1 (4001)") << 4001 << 32;
    QTest::newRow("0xFFFF") << 0xFFFF << 32;
}

void TestDecoder::setCount()
{
    QFETCH(int, sets);
    QFETCH(int, result);
    const std::vector<SetLayout> layouts(std::size_t(std::min(sets, 4001)), SetLayout());
    Image image = buildImage(layouts);
    image.bytes[9] = char(sets >> 8);
    image.bytes[10] = char(sets & 0xFF);

    const LoggerData before = decodedWorkedExample();
    LoggerData data = before;
    QCOMPARE(decodeChecked(image.bytes, image.lastAddress, data), result);
    if (result == 31 || result == 32) {
        QVERIFY(data == before);
    } else {
        QCOMPARE(data.setCount(), sets);
        QCOMPARE(data.setHeaderOffsets.back(), image.starts.back());
    }
}

void TestDecoder::pageBoundaryCount_data()
{
    QTest::addColumn<qint64>("headerCount");
    QTest::addColumn<bool>("endMarker");
    QTest::addColumn<bool>("markerInReadings");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("result");
    // The second set starts at 500: its count's first byte is at 511, the last of a page.
    QTest::newRow("right count") << qint64(5) << true << false << 5 << 500 + 17 + 10 << 0;
    QTest::newRow("count too high") << qint64(7) << true << false << 5 << 527 << 0;
    QTest::newRow("count 0") << qint64(0) << true << false << 5 << 527 << 0;
    QTest::newRow("count 0xFFFFFF") << qint64(0xFFFFFF) << true << false << 5 << 527 << 0;
    QTest::newRow("no end marker") << qint64(5) << false << false << 0 << 516 << 33;
    // The header's right count is not even looked at: the first marker pattern ends the set.
    QTest::newRow("marker pattern in the readings") << qint64(5) << true << true << 1 << 519 << 0;
}

void TestDecoder::pageBoundaryCount()
{
    QFETCH(qint64, headerCount);
    QFETCH(bool, endMarker);
    QFETCH(bool, markerInReadings);
    QFETCH(int, count);
    QFETCH(int, end);
    QFETCH(int, result);
    SetLayout second = readingsSet(5, 0x0300);
    second.headerCount = headerCount;
    second.endMarker = endMarker;
    if (markerInReadings)
        second.readings[1] = 0x5AA5;
    const Image image = buildImage({ readingsSet(113), second });
    QCOMPARE(image.starts[1], 500);

    LoggerData data;
    QCOMPARE(decodeChecked(image.bytes, image.lastAddress, data), result);
    QCOMPARE(data.setCounts[1], count);
    QCOMPARE(data.setEndOffsets[1], end);
    QCOMPARE(data.setCounts[0], 113);
    for (int k = 0; k < count; ++k)
        QCOMPARE(data.levels[std::size_t(113 + k)], 76.8f);
}

void TestDecoder::headerCountDisagrees_data()
{
    QTest::addColumn<int>("sets");
    QTest::addColumn<qint64>("headerCount");
    QTest::addColumn<bool>("endMarker");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("result");
    // The count follows the end marker the scan finds; the second set is found at 280.
    QTest::newRow("count too high") << 2 << qint64(10) << true << 3 << 279 << 0;
    QTest::newRow("count too low") << 2 << qint64(1) << true << 3 << 279 << 0;
    QTest::newRow("count 0") << 2 << qint64(0) << true << 3 << 279 << 0;
    // No marker to follow: the header's count and end stay, and the set is reported.
    QTest::newRow("end marker damaged") << 1 << qint64(3) << false << 3 << 279 << 33;
    QTest::newRow("damaged, count too low") << 1 << qint64(1) << false << 1 << 275 << 33;
    // With a damaged end marker the scan runs on to the next set's end marker: the two sets
    // become one, and the second set of the header count lies beyond lastAddress.
    QTest::newRow("damaged, next set swallowed") << 2 << qint64(3) << false << 14 << 301 << 34;
}

void TestDecoder::headerCountDisagrees()
{
    QFETCH(int, sets);
    QFETCH(qint64, headerCount);
    QFETCH(bool, endMarker);
    QFETCH(int, count);
    QFETCH(int, end);
    QFETCH(int, result);
    SetLayout first = readingsSet(3);
    first.headerCount = headerCount;
    first.endMarker = endMarker;
    std::vector<SetLayout> layouts { first };
    if (sets == 2)
        layouts.push_back(readingsSet(2));
    const Image image = buildImage(layouts, 64);
    LoggerData data;
    QCOMPARE(decodeChecked(image.bytes, image.lastAddress, data), result);
    QCOMPARE(data.setCounts[0], count);
    QCOMPARE(data.setEndOffsets[0], end);
    QCOMPARE(data.setCount(), sets);
    if (sets == 2) {
        QCOMPARE(data.setHeaderOffsets[1], end + 1);
        QCOMPARE(data.setCounts[1], end == 279 ? 2 : 0);
    }
}

void TestDecoder::levels_data()
{
    QTest::addColumn<quint16>("word");
    QTest::addColumn<float>("level");
    QTest::newRow("19.9 -> 0") << quint16(0x00C7) << 0.0f;
    QTest::newRow("20.0") << quint16(0x00C8) << 20.0f;
    QTest::newRow("140.0") << quint16(0x0578) << 140.0f;
    QTest::newRow("140.1 -> 0") << quint16(0x0579) << 0.0f;
    QTest::newRow("upper nibble ignored") << quint16(0x83E8) << 100.0f;
    QTest::newRow("upper nibble with 140.0") << quint16(0xF578) << 140.0f;
    QTest::newRow("0") << quint16(0x0000) << 0.0f;
    QTest::newRow("409.5 -> 0") << quint16(0x0FFF) << 0.0f;
    QTest::newRow("65.4") << quint16(0x028E) << 65.4f;
}

void TestDecoder::levels()
{
    QFETCH(quint16, word);
    QFETCH(float, level);
    const Image image = buildImage({ readingsSet(2, word) });
    LoggerData data;
    QCOMPARE(decodeChecked(image.bytes, image.lastAddress, data), 0);
    QCOMPARE(data.levels, (std::vector<float> { level, level }));
}

void TestDecoder::intervals_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("interval");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("60") << 60 << 60;
    QTest::newRow("61") << 61 << 2;
    QTest::newRow("255") << 255 << 2;
}

void TestDecoder::intervals()
{
    QFETCH(int, byte);
    QFETCH(int, interval);
    SetLayout set = readingsSet(3);
    set.interval = quint8(byte);
    const Image image = buildImage({ set });
    LoggerData data;
    QCOMPARE(decodeChecked(image.bytes, image.lastAddress, data), 0);
    QCOMPARE(data.setIntervals[0], interval);
    const QDateTime start(QDate(2007, 3, 15), QTime(10, 30, 0));
    QVERIFY(near(data.levelTimes[2], days(start.addSecs(2 * interval))));
}

void TestDecoder::startTimeFallbacks_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("byte");
    QTest::addColumn<QDateTime>("start");
    const QDate day(2007, 3, 15);
    const QTime time(10, 30, 0);
    QTest::newRow("year 0x1A: the current year")
        << 3 << 0x1A << QDateTime(QDate(2031, 3, 15), time);
    QTest::newRow("year 0x99") << 3 << 0x99 << QDateTime(QDate(2099, 3, 15), time);
    QTest::newRow("month 0x13: now") << 4 << 0x13 << FakeNow;
    QTest::newRow("month 0x00: now") << 4 << 0x00 << FakeNow;
    QTest::newRow("month 0x1A: the current month")
        << 4 << 0x1A << QDateTime(QDate(2007, 6, 15), time);
    QTest::newRow("day 0x00: now") << 5 << 0x00 << FakeNow;
    QTest::newRow("day 0x32: now") << 5 << 0x32 << FakeNow;
    QTest::newRow("day 0xF1: the current day") << 5 << 0xF1 << QDateTime(QDate(2007, 3, 17), time);
    QTest::newRow("hour 0x24: now") << 6 << 0x24 << FakeNow;
    QTest::newRow("hour 0x2F: the current hour") << 6 << 0x2F << QDateTime(day, QTime(21, 30, 0));
    QTest::newRow("minute 0x60: now") << 7 << 0x60 << FakeNow;
    QTest::newRow("second 0x59") << 8 << 0x59 << QDateTime(day, QTime(10, 30, 59));
    QTest::newRow("second 0xA0: the current second")
        << 8 << 0xA0 << QDateTime(day, QTime(10, 30, 13));
}

void TestDecoder::startTimeFallbacks()
{
    QFETCH(int, offset);
    QFETCH(int, byte);
    QFETCH(QDateTime, start);
    SetLayout set = readingsSet(2);
    set.interval = 5;
    set.time[offset - 3] = quint8(byte);
    const Image image = buildImage({ set });
    LoggerData data;
    QCOMPARE(decodeChecked(image.bytes, image.lastAddress, data), 0);
    QVERIFY2(near(data.setStartTimes[0], days(start)),
             qPrintable(QString::number(data.setStartTimes[0], 'f', 9)));
    QVERIFY(near(data.levelTimes[1], days(start.addSecs(5))));
}

void TestDecoder::resultOrder_data()
{
    // Per set: 'g' good, 'm' bad start marker, 'e' bad end marker (the scan finds nothing),
    // 'b' ending beyond lastAddress (lastAddress is put before it), 'x' both 'm' and 'b'.
    QTest::addColumn<QString>("sets");
    QTest::addColumn<int>("result");
    QTest::newRow("all good") << "ggg" << 0;
    QTest::newRow("a fault is not reset by later good sets") << "mgg" << 33;
    QTest::newRow("bad end marker in the last set") << "gge" << 33;
    QTest::newRow("34 comes after 33 within a set") << "ggx" << 34;
    QTest::newRow("a marker fault then an end beyond lastAddress") << "mgb" << 34;
    // Once a set ends beyond lastAddress every later one does, so a later 33 comes with 34.
    QTest::newRow("beyond lastAddress then a bad marker") << "gbm" << 34;
}

void TestDecoder::resultOrder()
{
    QFETCH(QString, sets);
    QFETCH(int, result);
    std::vector<SetLayout> layouts;
    int beyondFrom = -1;
    for (int i = 0; i < sets.size(); ++i) {
        SetLayout set = readingsSet(2);
        const QChar kind = sets.at(i);
        set.startMarker = kind != QLatin1Char('m') && kind != QLatin1Char('x');
        set.endMarker = kind != QLatin1Char('e');
        if ((kind == QLatin1Char('b') || kind == QLatin1Char('x')) && beyondFrom < 0)
            beyondFrom = i;
        layouts.push_back(set);
    }
    const Image image = buildImage(layouts);
    const int lastAddress
        = beyondFrom < 0 ? image.lastAddress : image.starts[std::size_t(beyondFrom)];
    LoggerData data;
    QCOMPARE(decodeChecked(image.bytes, lastAddress, data), result);
    QCOMPARE(data.setCount(), int(sets.size()));
}

void TestDecoder::levelStatistics_data()
{
    QTest::addColumn<std::vector<quint16>>("words");
    QTest::addColumn<int>("maxIndex");
    QTest::addColumn<int>("minIndex");
    QTest::addColumn<double>("average");
    QTest::newRow("all zero") << std::vector<quint16> { 0, 0, 0, 0x00C7 } << 0 << 0 << 0.0;
    QTest::newRow("ties keep the first")
        << std::vector<quint16> { 500, 600, 600, 400, 400 } << 1 << 3 << 50.0;
    QTest::newRow("zeros count in the average")
        << std::vector<quint16> { 0, 600 } << 1 << 0 << 30.0;
    QTest::newRow("one reading") << std::vector<quint16> { 777 } << 0 << 0 << 77.7;
    QTest::newRow("no readings") << std::vector<quint16> {} << 0 << 0 << 0.0;
}

void TestDecoder::levelStatistics()
{
    QFETCH(std::vector<quint16>, words);
    QFETCH(int, maxIndex);
    QFETCH(int, minIndex);
    QFETCH(double, average);
    SetLayout set;
    set.readings = words;
    const Image image = buildImage({ readingsSet(4, 0x0500), set });
    LoggerData data;
    QCOMPARE(decodeChecked(image.bytes, image.lastAddress, data), 0);
    QCOMPARE(data.setMaxIndex[1], maxIndex);
    QCOMPARE(data.setMinIndex[1], minIndex);
    QVERIFY(std::fabs(data.setAverages[1] - average) < 1e-5);
}

void TestDecoder::outsideTheImage_data()
{
    // The worked example, cut or stretched, with a set count of `sets`.
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("sets");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<int>("lastAddress");
    QTest::addColumn<int>("result");
    QTest::addColumn<std::vector<int>>("counts");
    QTest::addColumn<std::vector<int>>("ends");
    // The image ends inside the readings: the set keeps the readings inside the image.
    QTest::newRow("cut in the readings")
        << 275 << 1 << qint64(3) << 279 << 33 << std::vector<int> { 1 } << std::vector<int> { 279 };
    QTest::newRow("cut in the end marker")
        << 279 << 1 << qint64(3) << 279 << 33 << std::vector<int> { 3 } << std::vector<int> { 279 };
    // The count bytes lie beyond the image and read as 0.
    QTest::newRow("cut in the header")
        << 266 << 1 << qint64(3) << 279 << 33 << std::vector<int> { 0 } << std::vector<int> { 273 };
    QTest::newRow("header count far beyond the image")
        << 278 << 1 << qint64(0xFFFFFF) << 279 << 34 << std::vector<int> { 3 }
        << std::vector<int> { 256 + 17 + 2 * 0xFFFFFF };
    // Later sets lie beyond the image: empty sets, where an empty set would end.
    QTest::newRow("sets beyond the image")
        << 280 << 3 << qint64(3) << 400 << 33 << std::vector<int> { 3, 0, 0 }
        << std::vector<int> { 279, 297, 315 };
    QTest::newRow("sets beyond the image and lastAddress")
        << 280 << 3 << qint64(3) << 279 << 34 << std::vector<int> { 3, 0, 0 }
        << std::vector<int> { 279, 297, 315 };
    QTest::newRow("image without the first set")
        << 200 << 2 << qint64(3) << 1000 << 33 << std::vector<int> { 0, 0 }
        << std::vector<int> { 273, 291 };
    QTest::newRow("image shorter than the set count")
        << 10 << 1 << qint64(3) << 279 << 31 << std::vector<int> {} << std::vector<int> {};
    QTest::newRow("empty image") << 0 << 1 << qint64(3) << 279 << 31 << std::vector<int> {}
                                 << std::vector<int> {};
}

void TestDecoder::outsideTheImage()
{
    QFETCH(int, length);
    QFETCH(int, sets);
    QFETCH(qint64, count);
    QFETCH(int, lastAddress);
    QFETCH(int, result);
    QFETCH(std::vector<int>, counts);
    QFETCH(std::vector<int>, ends);
    QByteArray image = workedExampleImage();
    image[10] = char(sets);
    put24(image, 256 + 11, count);
    image.resize(length, '\0');

    LoggerData data;
    QCOMPARE(decodeChecked(image, lastAddress, data), result);
    if (result == 31)
        return;
    QCOMPARE(data.setCounts, counts);
    QCOMPARE(data.setEndOffsets, ends);
    QVERIFY(data.levels.size() <= std::size_t(image.size() / 2));
    // A set whose header lies beyond the image takes the current time.
    for (std::size_t i = 0; i < data.setHeaderOffsets.size(); ++i)
        if (data.setHeaderOffsets[i] >= image.size())
            QVERIFY(near(data.setStartTimes[i], days(FakeNow)));
}

void TestDecoder::hugeCountsAllocateNothing()
{
    // 4000 sets, each header claiming 0xFFFFFF readings with no end marker anywhere: the
    // readings are bounded by the image, not by the counts.
    QByteArray image(131072, '\0');
    image[9] = char(0x0F);
    image[10] = char(0xA0);
    for (int s = 256; s + 16 < image.size(); s += 16) {
        image[s] = char(0xA5);
        image[s + 1] = char(0x5A);
        put24(image, s + 11, 0xFFFFFF);
    }
    LoggerData data;
    QCOMPARE(decodeChecked(image, 131071, data), 34);
    QCOMPARE(data.setCount(), 4000);
    QCOMPARE(data.setCounts[0], (131072 - 256 - 16) / 2);
    QCOMPARE(data.levels.size(), std::size_t(data.setCounts[0]));
}

void TestDecoder::panelFlags_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("weighting");
    QTest::addColumn<QString>("response");
    QTest::addColumn<QString>("range");
    QTest::newRow("0x0F") << 0x0F << "dBA"
                          << "FAST"
                          << "30-130";
    QTest::newRow("0x00") << 0x00 << "dBC"
                          << "SLOW"
                          << "30-90";
    QTest::newRow("0x06") << 0x06 << "dBA"
                          << "SLOW"
                          << "50-110";
    QTest::newRow("0x09") << 0x09 << "dBC"
                          << "FAST"
                          << "70-130";
    QTest::newRow("upper bits ignored") << 0xF0 << "dBC"
                                        << "SLOW"
                                        << "30-90";
}

void TestDecoder::panelFlags()
{
    QFETCH(int, flags);
    QFETCH(QString, weighting);
    QFETCH(QString, response);
    QFETCH(QString, range);
    SetLayout set = readingsSet(1);
    set.flags = quint8(flags);
    const Image image = buildImage({ set });
    LoggerData data;
    QCOMPARE(decodeChecked(image.bytes, image.lastAddress, data), 0);
    const QStringList row = DataSetRows::row(data, 0);
    QCOMPARE(row.mid(5), (QStringList { weighting, response, range }));
}

void TestDecoder::panelRow()
{
    LoggerData data = decodedWorkedExample();
    QCOMPARE(
        DataSetRows::row(data, 0),
        (QStringList { "1", QLocale::system().toString(QDate(2007, 3, 15), QLocale::ShortFormat),
                       "10:30:00", "00:01", "3", "dBA", "SLOW", "30-90" }));
    QCOMPARE(DataSetRows::row(data, 1), QStringList(8, QString()));
    QCOMPARE(DataSetRows::row(data, -1), QStringList(8, QString()));

    QCOMPARE(DataSetRows::rateText(0), QString("00:00"));
    QCOMPARE(DataSetRows::rateText(2), QString("00:02"));
    QCOMPARE(DataSetRows::rateText(59), QString("00:59"));
    QCOMPARE(DataSetRows::rateText(60), QString("01:00"));
}

void TestDecoder::changeSetStart()
{
    SetLayout second = readingsSet(4);
    second.interval = 10;
    const Image image = buildImage({ readingsSet(3), second, readingsSet(2) });
    LoggerData data;
    QCOMPARE(decodeChecked(image.bytes, image.lastAddress, data), 0);
    const LoggerData before = data;

    const double start = days(QDateTime(QDate(2024, 1, 2), QTime(8, 0, 0)));
    data.changeSetStart(1, start);
    QVERIFY(data.invariantsHold());
    QCOMPARE(data.setStartTimes[1], start);
    for (int k = 0; k < 4; ++k)
        QVERIFY(near(data.levelTimes[std::size_t(3 + k)], start + k * 10 / 86400.0));

    LoggerData expected = before;
    expected.setStartTimes[1] = data.setStartTimes[1];
    std::copy(data.levelTimes.begin() + 3, data.levelTimes.begin() + 7,
              expected.levelTimes.begin() + 3);
    QVERIFY(data == expected);

    data.changeSetStart(3, 0.0);
    data.changeSetStart(-1, 0.0);
    QVERIFY(data == expected);
}

void TestDecoder::generatedImagesDecodeExactly()
{
    QRandomGenerator rng(20070315);
    int pageBoundarySets = 0;
    for (int round = 0; round < 400; ++round) {
        const Generated g = generate(rng, rng.bounded(2) ? 131072 : 4096);
        LoggerData data = decodedWorkedExample();
        QCOMPARE(decodeChecked(g.image.bytes, g.image.lastAddress, data), 0);
        QVERIFY2(sameModel(data, g.expected), qPrintable(QString::number(round)));
        for (const int s : g.image.starts)
            pageBoundarySets += (s + 11) % 256 == 255;
    }
    QVERIFY(pageBoundarySets > 20);
}

void TestDecoder::corruptedImages()
{
    QRandomGenerator rng(131072);
    const LoggerData before = decodedWorkedExample();
    for (int round = 0; round < 6000; ++round) {
        const Generated g = generate(rng, rng.bounded(8) == 0 ? 131072 : 2048);
        QByteArray image = g.image.bytes;
        int lastAddress = g.image.lastAddress;
        const int kind = rng.bounded(6);
        if (kind == 0 || kind == 5) { // bytes flipped
            for (int n = rng.bounded(1, 9); n > 0; --n)
                image[rng.bounded(int(image.size()))] = char(rng.bounded(256));
        }
        if (kind == 1 || kind == 5) // cut short
            image.truncate(rng.bounded(int(image.size()) + 1));
        if (kind == 2 && !g.image.starts.empty()) { // a count set huge
            const int s = g.image.starts[std::size_t(rng.bounded(int(g.image.starts.size())))];
            put24(image, s + 11, 0xFFFFFF - rng.bounded(1000));
        }
        if (kind == 3) { // lastAddress anywhere
            const int choices[] = { -1,
                                    INT_MIN,
                                    INT_MAX,
                                    0,
                                    255,
                                    int(image.size()),
                                    rng.bounded(200000) - 1000,
                                    -rng.bounded(INT_MAX) };
            lastAddress = choices[rng.bounded(8)];
        }
        if (kind == 4 && image.size() > 10) { // the set count anywhere
            image[9] = char(rng.bounded(256));
            image[10] = char(rng.bounded(256));
        }

        LoggerData data = before;
        const int result = decodeChecked(image, lastAddress, data);
        const QByteArray context = QByteArray::number(round);
        QVERIFY2(result == 0 || (result >= 31 && result <= 34), context);
        if (result == 31 || result == 32) {
            QVERIFY2(data == before, context);
            continue;
        }
        const int sets = byteAt(image, 9) << 8 | byteAt(image, 10);
        QCOMPARE(data.setCount(), sets);
        QVERIFY2(data.levels.size() <= std::size_t(image.size() / 2), context);

        // Offsets chain from 256, readings come from the image, and the code is the last fault.
        int expected = 0;
        std::size_t position = 0;
        for (int i = 0; i < sets; ++i) {
            const std::size_t n = std::size_t(i);
            const int s = data.setHeaderOffsets[n];
            const int e = data.setEndOffsets[n];
            QCOMPARE(s, i == 0 ? 256 : data.setEndOffsets[n - 1] + 1);
            QVERIFY(e >= s + 16);
            for (int k = 0; k < data.setCounts[n]; ++k, ++position) {
                const qint64 p = qint64(s) + 16 + 2 * k;
                QVERIFY2(p + 1 < image.size(), context);
                QCOMPARE(data.levels[position], levelOf(byteAt(image, p), byteAt(image, p + 1)));
            }
            if (byteAt(image, s) != 0xA5 || byteAt(image, s + 1) != 0x5A
                || byteAt(image, e - 1) != 0x5A || byteAt(image, e) != 0xA5)
                expected = 33;
            if (e > lastAddress)
                expected = 34;
        }
        QCOMPARE(result, expected);
    }
}

QTEST_GUILESS_MAIN(TestDecoder)
#include "tst_decoder.moc"
