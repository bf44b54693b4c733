// The meter link: command frames byte for byte, the exchanges and their time-outs, and the live
// reply's fields.

#include "tst_meter.h"

#include <QMap>

namespace {

QByteArray bytesOf(const CommandFrame &command)
{
    return QByteArray(reinterpret_cast<const char *>(command.data()), CommandFrame::Size);
}

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

} // namespace

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

QTEST_GUILESS_MAIN(TestMeter)
