// The memory decoder on images it must not trust: bytes outside the image, counts too large to
// allocate, and randomised images, decoded exactly when good and within the image when
// corrupted.

#include "tst_decoder.h"

#include <QRandomGenerator>

namespace {

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
