// The timed Leq: the seconds, their mean levels and the running Leq from scripted live
// replies; failed reads; a meter clock that names no time; the time-left text; random replies.

#include "leq/leqlog.h"
#include "leq/leqmeasurement.h"
#include "meter/bcd.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

const QDateTime Now(QDate(2026, 12, 9), QTime(5, 0, 0));

// A live reply at 14:03:<second> on 9 December 2026 with a level in tenths of a dB.
ReplyReport reply(int second, int tenths)
{
    ReplyReport r {};
    r[0] = 0x02;
    r[31] = 0x03;
    r[5] = quint8(tenths >> 8);
    r[6] = quint8(tenths & 0xFF);
    r[15] = Bcd::fromInt(second);
    r[16] = Bcd::fromInt(3);
    r[17] = Bcd::fromInt(14);
    r[19] = Bcd::fromInt(12);
    r[20] = Bcd::fromInt(9);
    r[21] = Bcd::fromInt(26);
    return r;
}

QString text(double level)
{
    return QString::number(level, 'f', 1);
}

} // namespace

class TestLeq : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void seconds_data();
    void seconds();
    void failedReadsEndIt();
    void clockThatNamesNoTime();
    void timeLeftText_data();
    void timeLeftText();
    void logKeepsTheLastMeasurement();
    void randomReplies();
};

void TestLeq::seconds_data()
{
    QTest::addColumn<QString>("readings"); // "second:tenths" in order
    QTest::addColumn<int>("duration");
    QTest::addColumn<QStringList>("rows"); // "SPL/Leq", "-" for an empty second's SPL
    QTest::addColumn<bool>("timeUp");

    QStringList constant;
    for (int s = 0; s <= 10; ++s)
        for (int k = 0; k < 3; ++k)
            constant << QString("%1:600").arg(s);
    QTest::newRow("constant 60.0 dB, 10 sec")
        << constant.join(' ') << 10 << QStringList(10, "60.0/60.0") << true;
    QTest::newRow("50 then 70 dB") << "0:500 0:500 1:700 1:700 2:600" << 10
                                   << QStringList { "50.0/50.0", "70.0/67.0" } << false;
    QTest::newRow("one reading a second counts")
        << "7:550 8:650 9:600" << 10 << QStringList { "55.0/55.0", "65.0/62.4" } << false;
    QTest::newRow("mean of a second")
        << "0:601 0:602 0:603 1:0" << 10 << QStringList { "60.2/60.2" } << false;
    QTest::newRow("a skipped second is empty")
        << "0:500 2:700 3:0" << 10 << QStringList { "50.0/50.0", "-/50.0", "70.0/65.3" } << false;
    QTest::newRow("minute wraps") << "59:600 0:600 1:600" << 10
                                  << QStringList { "60.0/60.0", "60.0/60.0" } << false;
    QTest::newRow("time up inside a gap")
        << "0:500 5:700" << 3 << QStringList { "50.0/50.0", "-/50.0", "-/50.0" } << true;
}

void TestLeq::seconds()
{
    QFETCH(QString, readings);
    QFETCH(int, duration);
    QFETCH(QStringList, rows);
    QFETCH(bool, timeUp);

    LeqMeasurement m;
    m.start(duration);
    bool ended = false;
    for (const QString &reading : readings.split(' ')) {
        const QStringList parts = reading.split(':');
        const ReplyReport r = reply(parts[0].toInt(), parts[1].toInt());
        const LeqMeasurement::Tick t = m.tick(&r, Now);
        QVERIFY(t.read);
        ended = t.end == LeqMeasurement::End::TimeUp;
        if (ended)
            break;
    }
    QStringList shown;
    for (const LeqMeasurement::Second &s : m.seconds())
        shown << (s.readings ? text(s.spl) : QString("-")) + '/' + text(s.leq);
    QCOMPARE(shown, rows);
    QCOMPARE(ended, timeUp);
    QCOMPARE(m.running(), !timeUp);
    QCOMPARE(m.secondsLeft(), duration - int(rows.size()));
    QCOMPARE(m.seconds().front().time, QTime(14, 3, readings.section(':', 0, 0).toInt()));
}

void TestLeq::failedReadsEndIt()
{
    LeqMeasurement m;
    m.start(60);
    const ReplyReport unframed {};
    for (int i = 1; i <= LeqMeasurement::MaxFailedReads; ++i) {
        // Failed reads are counted over the whole measurement, good readings between them.
        const ReplyReport good = reply(i % 2, 600);
        QCOMPARE(m.tick(i % 3 ? nullptr : &unframed, Now).end, LeqMeasurement::End::None);
        m.tick(&good, Now);
    }
    QVERIFY(m.running());
    QCOMPARE(m.tick(nullptr, Now).end, LeqMeasurement::End::Failed);
    QVERIFY(!m.running());
    QCOMPARE(m.tick(nullptr, Now).end, LeqMeasurement::End::None); // nothing after the end
}

// An unset clock sends 0x5A in its time bytes: the seconds are the computer's, and they end.
void TestLeq::clockThatNamesNoTime()
{
    LeqMeasurement m;
    m.start(10);
    ReplyReport r = reply(0, 600);
    r[15] = r[16] = r[17] = 0x5A;
    LeqMeasurement::Tick t;
    for (int i = 0; i < 100 && t.end == LeqMeasurement::End::None; ++i)
        t = m.tick(&r, Now.addMSecs(700 + 400 * i));
    QCOMPARE(t.end, LeqMeasurement::End::TimeUp);
    QCOMPARE(m.seconds().size(), std::size_t(10));
    QCOMPARE(m.seconds().front().date, Now.date());
    QCOMPARE(m.seconds().front().time, Now.time());
    QCOMPARE(m.seconds().back().time, QTime(5, 0, 9));
    QCOMPARE(m.seconds().back().spl, 60.0);
}

void TestLeq::timeLeftText_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("shown");
    QTest::newRow("1:2:5") << 3725 << "1:2:5";
    QTest::newRow("10 sec") << 10 << "0:0:10";
    QTest::newRow("24 hours") << 86400 << "24:0:0";
    QTest::newRow("over") << -1 << "0:0:0";
}

void TestLeq::timeLeftText()
{
    QFETCH(int, seconds);
    QFETCH(QString, shown);
    QCOMPARE(LeqMeasurement::timeLeftText(seconds), shown);
}

void TestLeq::logKeepsTheLastMeasurement()
{
    QTemporaryDir dir;
    LeqLog log;
    QVERIFY(log.open(dir.filePath("temp")));
    log.append("2:03:04 PM", "61.5");
    QVERIFY(log.open(dir.filePath("temp"))); // a new Start while the log is open
    log.append("2:05:00 PM", "70.0");
    log.close();
    QDir temp(dir.filePath("temp"));
    const QStringList kept = temp.entryList({ "LEQ *.txt" }, QDir::Files);
    QCOMPARE(kept.size(), 1);
    QFile first(temp.filePath(kept.first()));
    QVERIFY(first.open(QIODevice::ReadOnly));
    QCOMPARE(first.readAll(), QByteArray("2:03:04 PM\t61.5\r\n"));
    QFile last(temp.filePath("LEQ.txt"));
    QVERIFY(last.open(QIODevice::ReadOnly));
    QCOMPARE(last.readAll(), QByteArray("2:05:00 PM\t70.0\r\n"));
    // A folder that cannot be made: no log, and no failure of the measurement.
    QVERIFY(!log.open(dir.filePath("temp/LEQ.txt/inside")));

    // 22 kept logs and a Start: the 20 newest stay, counting the one set aside now; what is not
    // named as a kept log stays too.
    QDir many(dir.filePath("many"));
    QVERIFY(many.mkpath("."));
    QStringList old;
    for (int day = 1; day <= 21; ++day)
        old << QString("LEQ 2020-01-%1 10.00.00.txt").arg(day, 2, 10, QLatin1Char('0'));
    old.insert(3, "LEQ 2020-01-03 10.00.00 (2).txt");
    const QStringList others { "LEQ.txt", "LEQ notes.txt", "LEQ 2019-12-31.txt",
                               "leq 2019-12-31 10.00.00.txt", "LEQ 2019-12-31 10.00.00.txt.bak" };
    for (const QString &name : old + others) {
        QFile file(many.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    QVERIFY(many.mkdir("LEQ 2019-12-31 10.00.00.txt")); // a folder, not a log
    QVERIFY(log.open(many.path()));
    log.close();
    QStringList stayed = many.entryList({ "*" }, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : others + QStringList { "LEQ 2019-12-31 10.00.00.txt" })
        QVERIFY2(stayed.removeOne(name), qPrintable(name));
    QCOMPARE(stayed.size(), 20);
    QVERIFY(!stayed.contains("LEQ 2020-01-03 10.00.00.txt"));
    QVERIFY(stayed.contains("LEQ 2020-01-03 10.00.00 (2).txt"));
    QVERIFY(stayed.contains("LEQ 2020-01-04 10.00.00.txt"));

    // A last log that cannot be set aside (its folder's entries cannot change, while the file
    // itself could be written) is left as it is: no log for this measurement.
    QDir fixed(dir.filePath("fixed"));
    QVERIFY(fixed.mkpath("."));
    QFile previous(fixed.filePath("LEQ.txt"));
    QVERIFY(previous.open(QIODevice::WriteOnly) && previous.write("2:03:04 PM\t61.5\r\n") > 0);
    previous.close();
    if (QProcess::execute("chattr", { "+i", fixed.path() }) != 0)
        QSKIP("no immutable folder here");
    const bool opened = log.open(fixed.path());
    log.close();
    QProcess::execute("chattr", { "-i", fixed.path() });
    QVERIFY(!opened);
    QVERIFY(previous.open(QIODevice::ReadOnly));
    QCOMPARE(previous.readAll(), QByteArray("2:03:04 PM\t61.5\r\n"));
}

// Random replies, framed or not, with random clocks and levels: the invariants hold.
void TestLeq::randomReplies()
{
    QRandomGenerator random(20261209);
    LeqMeasurement m;
    const int duration = 100000;
    m.start(duration);
    std::size_t rows = 0;
    int total = 0;
    for (int i = 0; i < 100000 && m.running(); ++i) {
        ReplyReport r;
        for (auto &byte : r)
            byte = quint8(random.bounded(256));
        if (random.bounded(4) != 0) {
            r[0] = 0x02;
            r[31] = 0x03;
        }
        if (random.bounded(2))
            r[15] = Bcd::fromInt(int(random.bounded(60))); // clocks that are mostly valid
        const double before = m.runningLeq();
        const LeqMeasurement::Tick t = m.tick(random.bounded(10) ? &r : nullptr, Now.addSecs(i));
        QVERIFY(m.seconds().size() == rows + std::size_t(t.completed));
        rows = m.seconds().size();
        QCOMPARE(m.secondsLeft(), duration - int(rows));
        QVERIFY(std::isfinite(m.runningLeq()) || m.runningLeq() == before);
        if (t.read)
            QVERIFY(t.date.isValid() && t.time.isValid());
        total += t.completed;
        if (t.end == LeqMeasurement::End::Failed) {
            m.start(duration); // go on, to feed all the replies
            rows = 0;
        }
    }
    QVERIFY(total > 1000);
}

QTEST_GUILESS_MAIN(TestLeq)
#include "tst_leq.moc"
