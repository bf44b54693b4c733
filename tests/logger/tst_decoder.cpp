// The logger memory decoder and the data set model: the worked example byte for byte, every rule
// and result code, the panel's row texts and the start-time correction.

#include "tst_decoder.h"

#include <QLocale>

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

QTEST_GUILESS_MAIN(TestDecoder)
