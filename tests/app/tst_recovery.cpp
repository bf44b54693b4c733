// A measurement survives the program: Audexa killed in the middle of a recording, started again,
// offers the recording back with every point it had taken. Journals that hold nothing, that the
// user keeps or discards, and that are not journals at all.

#include "app/ui/filecommands.h"
#include "app/ui/journalrecovery.h"
#include "app/ui/mainmenus.h"
#include "app/ui/tfrmmain.h"
#include "base/appfolders.h"
#include "base/appstate.h"
#include "chart/chartmodel.h"
#include "common/mainwindowrig.h"
#include "files/journalwriter.h"
#include "files/measurementjournal.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/realtimecontroller.h"
#include "graph/ui/tfrmgraph.h"
#include "leq/ui/leqcontroller.h"
#include "leq/ui/tfrmleq.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTest>

namespace {

QString tempFolderOf(QTemporaryDir &dir)
{
    return dir.filePath("Documents/Q7316/temp");
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

MainWindowRig::Options startAgain()
{
    return { .seed = 3, .stopMainTimer = true, .size = QSize(1280, 800) };
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedRecordingComesBack();
    void interruptedLeqComesBack();
    void unwritableJournalIsSaid();
    void journalsLeftBehind_data();
    void journalsLeftBehind();
    void unattendedRecordingWaitsForTheAnswer();
};

// Runs Audexa in a child process on the simulated meter with `options`, and kills it (SIGKILL:
// nothing of the program runs after it) once its journal holds `records` records of
// `recordSize` bytes. Gives the journal's bytes as the killed program left them.
QByteArray killAfter(QTemporaryDir &dir, const QStringList &options, int recordSize, int records,
                     QString *journal)
{
    QProcess audexa;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", dir.path());
    environment.insert("XDG_CONFIG_HOME", dir.filePath(".config"));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    audexa.setProcessEnvironment(environment);
    audexa.start(QStringLiteral(AUDEXA_PATH), QStringList { "--simulate-meter" } + options);
    if (!audexa.waitForStarted())
        return {};
    const qint64 enough = MeasurementJournal::HeaderSize + qint64(records) * recordSize;
    QElapsedTimer waited;
    waited.start();
    while (journal->isEmpty() && waited.elapsed() < 60000) {
        QTest::qWait(50);
        for (const QString &n : filesIn(tempFolderOf(dir)))
            if (n.endsWith(".journal") && QFileInfo(tempFolderOf(dir) + "/" + n).size() >= enough)
                *journal = tempFolderOf(dir) + "/" + n;
    }
    audexa.kill();
    audexa.waitForFinished();
    QFile file(*journal);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestRecovery::killedRecordingComesBack()
{
    QTemporaryDir dir;
    QString journal;
    // Five points: one a second at the default rate.
    const QByteArray bytes = killAfter(dir, { "--record", "1000" }, 16, 5, &journal);
    const MeasurementJournal::ReadResult written = MeasurementJournal::read(bytes);
    QVERIFY(written.contents);
    const std::vector<MeasurementJournal::Point> &points = written.contents->points;
    // Every whole record the killed program wrote comes back.
    QCOMPARE(qsizetype(points.size()), (bytes.size() - MeasurementJournal::HeaderSize) / 16);
    QVERIFY(points.size() >= 5);

    MainWindowRig rig(dir, startAgain());
    rig.prompts.answers = { Prompts::Answer::Yes };
    settle();
    QCOMPARE(rig.prompts.questions.size(), 1);
    QVERIFY(rig.prompts.questions[0].startsWith("Recover the real-time recording of "));
    QVERIFY(rig.prompts.questions[0].endsWith(QString(" (%1 points)?").arg(points.size())));
    TfrmGraph &graph = *rig.window->graphs().RealTimeGraphWindow();
    const ChartModel &chart = graph.chartModel();
    QCOMPARE(chart.points(), int(points.size()));
    for (int i = 0; i < chart.points(); ++i) {
        QCOMPARE(chart.x(0, i), points[std::size_t(i)].x);
        QCOMPARE(chart.y(0, i), points[std::size_t(i)].level);
        QVERIFY(chart.y(0, i) > 20.0f && chart.y(0, i) < 140.0f);
        if (i > 0) // one a second
            QVERIFY(qAbs((chart.x(0, i) - chart.x(0, i - 1)) * 86400.0 - 1.0) < 0.3);
    }
    QCOMPARE(graph.fields().dataNo, QString::number(points.size()));
    QVERIFY(rig.window->state().RealTimeModified);

    // Saved, the recording needs its journal no more.
    rig.prompts.fileNames = { dir.filePath("evening.ghf") };
    QVERIFY(rig.window->files().SaveGraph(graph));
    QVERIFY(!QFile::exists(journal));
}

// An LEQ measurement whose program was killed: its completed seconds come back into the LEQ
// window, and Graph and Save work on them.
void TestRecovery::interruptedLeqComesBack()
{
    QTemporaryDir dir;
    QString journal;
    const QByteArray bytes = killAfter(dir, { "--leq", "600" }, 24, 4, &journal);
    const MeasurementJournal::ReadResult written = MeasurementJournal::read(bytes);
    QVERIFY(written.contents);
    const std::vector<MeasurementJournal::Second> &seconds = written.contents->seconds;
    QCOMPARE(qsizetype(seconds.size()), (bytes.size() - MeasurementJournal::HeaderSize) / 24);
    QStringList rows;
    for (std::size_t i = 0; i < seconds.size(); ++i)
        rows << (seconds[i].readings ? QString("%1|%2|%3")
                                           .arg(i + 1)
                                           .arg(seconds[i].spl, 0, 'f', 1)
                                           .arg(seconds[i].leq, 0, 'f', 1)
                                     : QString("%1||").arg(i + 1)); // an empty second
    MainWindowRig again(dir, startAgain());
    again.prompts.answers = { Prompts::Answer::Yes };
    settle();
    QCOMPARE(again.prompts.questions.size(), 1);
    QVERIFY(again.prompts.questions[0].startsWith("Recover the LEQ measurement of "));
    QVERIFY(again.prompts.questions[0].endsWith(QString(" (%1 seconds)?").arg(seconds.size())));
    TfrmLEQ *form = again.window->leq().LeqWindow();
    QVERIFY(form);
    QStringList recovered;
    for (int r = 1; r < form->rowCount(); ++r)
        recovered << QStringList { form->cell(0, r), form->cell(3, r), form->cell(4, r) }.join('|');
    QCOMPARE(recovered, rows);
    QVERIFY(again.window->leq().Button3Click());
    QCOMPARE(again.window->leq().journal().path(), journal);
    QVERIFY(QFile::exists(journal));
    again.prompts.fileNames = { dir.filePath("leq.txt") };
    QVERIFY(again.window->leq().Button2Click());
    QVERIFY(!QFile::exists(journal));
}

// A journal that cannot be written is said once, without waiting for an answer inside the
// recording's tick, and the recording goes on without it.
void TestRecovery::unwritableJournalIsSaid()
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("Documents/Q7316"));
    QFile blocker(tempFolderOf(dir)); // a file where the folder should be
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    MainWindowRig rig(dir, startAgain());
    settle(); // the journals left behind are offered first
    rig.connectAndPoll();
    QVERIFY(rig.window->realTime().recordUnattended(5));
    for (int i = 0; i < 3; ++i) {
        rig.clock.advanceMs(1000);
        rig.window->MainTimerTimer();
        rig.window->realTime().RealTime_TimerTimer();
    }
    QCOMPARE(rig.prompts.errors, QStringList());
    QCOMPARE(rig.prompts.notices.size(), 1);
    QVERIFY(rig.prompts.notices[0].endsWith("a crash or a power cut would lose it: save it when "
                                            "it ends."));
    QCOMPARE(rig.window->state().RealTimeCount, 4);
}

namespace {

const MeasurementJournal::Header ThreePointsHeader { MeasurementJournal::Kind::RealTime, 46000.5,
                                                     1.0, 100 };
const QString JournalName = "realtime-20251209-120000-000.journal";

QByteArray threePoints()
{
    QByteArray bytes = MeasurementJournal::headerBytes(ThreePointsHeader);
    for (int i = 0; i < 3; ++i)
        bytes += MeasurementJournal::recordBytes(
            MeasurementJournal::Point { 46000.5 + i / 86400.0, 55.0f }, quint32(i));
    return bytes;
}

QString writeJournal(QTemporaryDir &dir, const QByteArray &bytes)
{
    QDir().mkpath(tempFolderOf(dir));
    QFile file(tempFolderOf(dir) + "/" + JournalName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return file.fileName();
}

// Whether a program other than this test holds the journal's lock.
bool lockHeld(const QString &journal)
{
    QLockFile other(JournalWriter::lockName(journal));
    other.setStaleLockTime(0);
    return !other.tryLock(0);
}

} // namespace

void TestRecovery::journalsLeftBehind_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("answers"); // Prompts::Answer values
    QTest::addColumn<int>("questions");
    QTest::addColumn<QStringList>("left"); // files in temp afterwards
    QTest::addColumn<int>("errors");
    QTest::addColumn<QString>("lock"); // "", "another Audexa's", or "a killed Audexa's"

    const QByteArray three = threePoints();
    auto damaged = [&three](QList<int> records) {
        QByteArray b = three;
        for (int r : records)
            b[MeasurementJournal::HeaderSize + 16 * r + 2] ^= 0x40;
        return b;
    };
    const int no = int(Prompts::Answer::No);
    const int yes = int(Prompts::Answer::Yes);
    const QString name = JournalName;
    QTest::newRow("no, and kept") << three << QList<int> { no, no } << 2 << QStringList { name }
                                  << 0 << "";
    QTest::newRow("no, and discarded")
        << three << QList<int> { no, yes } << 2 << QStringList {} << 0 << "";
    QTest::newRow("torn: the whole records") << three + QByteArray(7, '\x55') << QList<int> { yes }
                                             << 1 << QStringList { name } << 0 << "";
    QTest::newRow("first record damaged: the others offered")
        << damaged({ 0 }) << QList<int> { no, no } << 2 << QStringList { name } << 0 << "";
    QTest::newRow("every record damaged: set aside")
        << damaged({ 0, 1, 2 }) << QList<int> {} << 0 << QStringList { name + ".unreadable" } << 1
        << "";
    QTest::newRow("another Audexa's")
        << three << QList<int> {} << 0 << QStringList { name } << 0 << "another Audexa's";
    QTest::newRow("a killed Audexa's")
        << three << QList<int> { no, no } << 2 << QStringList { name } << 0 << "a killed Audexa's";
    QTest::newRow("nothing recorded") << MeasurementJournal::headerBytes(ThreePointsHeader)
                                      << QList<int> {} << 0 << QStringList {} << 0 << "";
    QTest::newRow("random bytes set aside")
        << QByteArray("\x12\x34 not a journal at all") << QList<int> {} << 0
        << QStringList { name + ".unreadable" } << 1 << "";
}

void TestRecovery::journalsLeftBehind()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, answers);
    QFETCH(int, questions);
    QFETCH(QStringList, left);
    QFETCH(int, errors);
    QFETCH(QString, lock);
    QTemporaryDir dir;
    const QString journal = writeJournal(dir, bytes);
    QVERIFY(!journal.isEmpty());
    QLockFile held(JournalWriter::lockName(journal));
    if (lock == "another Audexa's")
        QVERIFY(held.tryLock(0));
    if (lock == "a killed Audexa's") {
        // The lock file of a program that has ended: its number names no running process.
        QProcess ended;
        ended.start("true");
        QVERIFY(ended.waitForStarted());
        const qint64 pid = ended.processId();
        QVERIFY(ended.waitForFinished());
        QFile stale(JournalWriter::lockName(journal));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray::number(pid) + "\naudexa\n" + QSysInfo::machineHostName().toUtf8()
                    + "\n");
    }

    MainWindowRig rig(dir, startAgain());
    for (int a : answers)
        rig.prompts.answers << Prompts::Answer(a);
    // A second Audexa started meanwhile must not offer or discard what this one asks about.
    QStringList unlocked;
    rig.prompts.whileAsking = [&](const QString &question) {
        if (!lockHeld(journal))
            unlocked << question;
    };
    settle();
    QCOMPARE(rig.prompts.questions.size(), questions);
    QCOMPARE(unlocked, QStringList());
    const bool oneDamaged = bytes.size() == threePoints().size() && bytes != threePoints();
    if (questions)
        QVERIFY(rig.prompts.questions[0].endsWith(
            oneDamaged ? "(2 points)?\n1 damaged record of its journal was left out."
                       : "(3 points)?"));
    QCOMPARE(rig.prompts.errors.size(), errors);
    if (errors)
        QVERIFY(rig.prompts.errors[0].contains("is kept as"));
    QStringList files = filesIn(tempFolderOf(dir));
    files.removeIf(
        [](const QString &f) { return !f.endsWith(".journal") && !f.endsWith(".unreadable"); });
    QCOMPARE(files, left);
    const bool recovered = !answers.isEmpty() && answers[0] == int(Prompts::Answer::Yes);
    if (recovered)
        QCOMPARE(rig.window->graphs().RealTimeGraphWindow()->chartModel().points(), 3);
    // Shown again, it stays this program's; kept for the next start, it is free.
    if (lock != "another Audexa's" && QFile::exists(journal))
        QCOMPARE(lockHeld(journal), recovered);
}

// Started with --record while the recovery question is open: the recording waits for the
// answer, and then asks, as Run does, before it replaces the recovered one. A journal that
// cannot be recovered because a recording runs is said to be kept.
void TestRecovery::unattendedRecordingWaitsForTheAnswer()
{
    QTemporaryDir dir;
    const QString journal = writeJournal(dir, threePoints());
    MainWindowRig rig(dir, startAgain());
    RealTimeController &realTime = rig.window->realTime();
    bool startedUnderTheQuestion = false;
    rig.prompts.whileAsking = [&](const QString &question) {
        if (!question.startsWith("Recover "))
            return;
        rig.connectAndPoll();
        startedUnderTheQuestion = realTime.recordUnattended(5);
    };
    rig.prompts.answers = { Prompts::Answer::Yes, Prompts::Answer::Cancel };
    settle();
    QVERIFY(!startedUnderTheQuestion);
    QCOMPARE(rig.window->graphs().RealTimeGraphWindow()->chartModel().points(), 3);
    QVERIFY(realTime.recordUnattended(5)); // done with: the user kept the recovered recording
    QCOMPARE(rig.prompts.questions.size(), 2);
    QVERIFY(rig.prompts.questions[1].startsWith("There are datas in Real_Time graph"));
    QVERIFY(!rig.window->state().RealTimeRunning);
    QVERIFY(QFile::exists(journal));

    // Answered No this time: the recording starts, and a journal offered now is kept.
    rig.prompts.answers = { Prompts::Answer::No };
    QVERIFY(realTime.recordUnattended(5));
    QVERIFY(rig.window->state().RealTimeRunning);
    const QString another = writeJournal(dir, threePoints());
    QCOMPARE(JournalRecovery::offer(*rig.window, realTime, rig.window->leq(), { another }), 0);
    QCOMPARE(rig.prompts.questions.size(), 3);
    QCOMPARE(rig.prompts.messages.size(), 1);
    QVERIFY(rig.prompts.messages[0].startsWith("The real-time recording of "));
    QVERIFY(rig.prompts.messages[0].contains(
        "cannot be recovered now: a real-time recording is running. Its journal"));
    QVERIFY(QFile::exists(another));
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
