// The measurement journal's format: what it reads back, where a crash cut it, and what it
// refuses; random bytes never get further than a reason.

#include "files/journalwriter.h"
#include "files/measurementjournal.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace MeasurementJournal;

namespace {

const Header RealTimeHeader { Kind::RealTime, 46000.5, 0.2, 2000 };

QByteArray journalOf(int points)
{
    QByteArray bytes = headerBytes(RealTimeHeader);
    for (int i = 0; i < points; ++i)
        bytes += recordBytes(Point { 46000.5 + i / 86400.0, 60.0f + float(i) / 10 }, quint32(i));
    return bytes;
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writtenAndReadBack();
    void tornOrDamaged_data();
    void tornOrDamaged();
    void refused_data();
    void refused();
    void randomBytes();
};

// What the writer writes, the reader reads: every point, and the LEQ seconds with their fields.
void TestJournal::writtenAndReadBack()
{
    QTemporaryDir dir;
    const QString path = JournalWriter::fileName(dir.path(), RealTimeHeader);
    QVERIFY(path.endsWith("realtime-20251209-120000-000.journal"));
    {
        JournalWriter writer;
        QCOMPARE(writer.start(path, RealTimeHeader), QString());
        for (int i = 0; i < 70000; ++i) // past the 16-bit sequence number
            QCOMPARE(writer.append(Point { 46000.5 + i, float(i % 100) }), QString());
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const ReadResult read = MeasurementJournal::read(file.readAll());
    QVERIFY(read.contents);
    QCOMPARE(read.contents->points.size(), std::size_t(70000));
    QCOMPARE(read.contents->points[69999].x, 46000.5 + 69999);
    QCOMPARE(read.contents->points[69999].level, 99.0f);
    QCOMPARE(read.contents->header.parameter, 0.2);
    QCOMPARE(read.contents->header.planned, quint32(2000));

    const Header leq { Kind::Leq, 46001.0, 600.0, 600 };
    const QByteArray seconds
        = headerBytes(leq) + recordBytes(Second { 46001.0, 61.5f, 60.25f, 27 }, 0);
    const ReadResult second = MeasurementJournal::read(seconds);
    QVERIFY(second.contents);
    QCOMPARE(second.contents->seconds.size(), std::size_t(1));
    QCOMPARE(second.contents->seconds[0].leq, 60.25f);
    QCOMPARE(second.contents->seconds[0].readings, quint16(27));
    // A record whose zero word is not zero was not written by the program, even with a check
    // that fits it: it ends the journal.
    QByteArray forged = seconds;
    forged[HeaderSize + 18] = 1;
    const quint16 check = qChecksum(forged.mid(HeaderSize, 22), Qt::ChecksumIso3309);
    forged[HeaderSize + 22] = char(check & 0xFF);
    forged[HeaderSize + 23] = char(check >> 8);
    const ReadResult forgedRead = MeasurementJournal::read(forged);
    QVERIFY(forgedRead.contents);
    QCOMPARE(forgedRead.contents->seconds.size(), std::size_t(0));
    QCOMPARE(forgedRead.contents->damaged, 1);

    JournalWriter discarding;
    QCOMPARE(discarding.start(path, RealTimeHeader), QString());
    discarding.discard();
    QVERIFY(!QFile::exists(path));
}

void TestJournal::tornOrDamaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("levels"); // N: a gap where a skipped record stood
    QTest::addColumn<int>("dropped");
    QTest::addColumn<QString>("said");

    const QByteArray five = journalOf(5);
    auto flipped = [&five](int record, int byte) {
        QByteArray b = five;
        b[HeaderSize + 16 * record + byte] = char(b[HeaderSize + 16 * record + byte] ^ 0x10);
        return b;
    };
    const QString oneDamaged = "1 damaged record of its journal was left out.";
    QTest::newRow("whole") << five << "60.0 60.1 60.2 60.3 60.4" << 0 << "";
    QTest::newRow("no record yet") << journalOf(0) << "" << 0 << "";
    QTest::newRow("last record cut after 1 byte")
        << five.chopped(15) << "60.0 60.1 60.2 60.3" << 1 << "";
    QTest::newRow("last record cut before its check")
        << five.chopped(2) << "60.0 60.1 60.2 60.3" << 14 << "";
    QTest::newRow("last record's level damaged")
        << flipped(4, 3) << "60.0 60.1 60.2 60.3" << 0 << oneDamaged;
    QTest::newRow("a record in the middle damaged")
        << flipped(2, 0) << "60.0 60.1 N 60.3 60.4" << 0 << oneDamaged;
    QTest::newRow("the first record damaged")
        << flipped(0, 9) << "60.1 60.2 60.3 60.4" << 0 << oneDamaged;
    QByteArray swapped = five;
    swapped.replace(HeaderSize + 16, 16, five.mid(HeaderSize + 32, 16));
    QTest::newRow("a record out of place")
        << swapped << "60.0 N 60.2 60.3 60.4" << 0
        << "1 record of its journal was out of place and was left out.";
    QByteArray both = swapped;
    both[HeaderSize + 16 * 3 + 14] = char(both[HeaderSize + 16 * 3 + 14] ^ 1);
    QTest::newRow("one out of place, one damaged")
        << both << "60.0 N 60.2 N 60.4" << 0
        << "2 records of its journal were left out: 1 damaged, 1 out of place.";
}

// A record the crash cut short at the end is dropped; a whole record that does not check out is
// left out alone, and said; every other record is recovered, a gap between two standing in the
// place of each one left out.
void TestJournal::tornOrDamaged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, levels);
    QFETCH(int, dropped);
    QFETCH(QString, said);
    const ReadResult read = MeasurementJournal::read(bytes);
    QVERIFY(read.contents);
    const std::vector<Point> &points = read.contents->points;
    QStringList seen;
    for (std::size_t i = 0; i < points.size(); ++i) {
        seen << (points[i].level == NoLevel ? QString("N")
                                            : QString::number(points[i].level, 'f', 1));
        if (i > 0) // in time order, gaps too
            QVERIFY(points[i].x > points[i - 1].x);
    }
    QCOMPARE(seen.join(' '), levels);
    QCOMPARE(int(read.contents->droppedBytes), dropped);
    QCOMPARE(skippedText(*read.contents), said);
}

void TestJournal::refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    const QByteArray good = journalOf(2);
    auto patched = [&good](int at, QByteArray with, bool fixCheck) {
        QByteArray b = good;
        b.replace(at, with.size(), with);
        if (fixCheck) {
            const quint16 crc = qChecksum(QByteArrayView(b.constData(), 46), Qt::ChecksumIso3309);
            b[46] = char(crc & 0xFF);
            b[47] = char(crc >> 8);
        }
        return b;
    };
    QTest::newRow("empty") << QByteArray() << "not a measurement journal";
    QTest::newRow("a graph file") << QByteArray(100, 'x') << "not a measurement journal";
    QTest::newRow("header damaged") << patched(20, "\x01", false) << "header is damaged";
    QTest::newRow("version 2") << patched(8, QByteArray("\x02\x00", 2), true) << "another version";
    QTest::newRow("kind 3") << patched(10, QByteArray("\x03\x00", 2), true) << "unknown kind";
    QTest::newRow("record size 24 for points")
        << patched(12, QByteArray("\x18\0\0\0", 4), true) << "unknown size";
    QTest::newRow("start not a number")
        << patched(16, QByteArray("\0\0\0\0\0\0\xf8\x7f", 8), true) << "header is damaged";
}

void TestJournal::refused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const ReadResult read = MeasurementJournal::read(bytes);
    QVERIFY(!read.contents);
    QVERIFY2(read.error.contains(error), qPrintable(read.error));
}

// Random bytes, alone or after a good header: a reason or whole records, each read or skipped.
void TestJournal::randomBytes()
{
    QRandomGenerator rng(20261209);
    const QByteArray header = headerBytes(RealTimeHeader);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes(rng.bounded(200), '\0');
        for (char &b : bytes)
            b = char(rng.bounded(256));
        if (round % 2)
            bytes.prepend(header);
        const ReadResult read = MeasurementJournal::read(bytes);
        QCOMPARE(read.contents.has_value(), read.error.isEmpty());
        if (read.contents) {
            const Contents &c = *read.contents;
            QVERIFY(HeaderSize + qsizetype(c.records() + c.damaged + c.misplaced) * 16
                        + c.droppedBytes
                    == bytes.size());
        }
    }
}

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
