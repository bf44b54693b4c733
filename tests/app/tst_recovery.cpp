// A measurement survives the program: Audexa killed in the middle of a recording, started again,
// offers the recording back with every point it had taken. Journals that hold nothing, that the
// user keeps or discards, and that are not journals at all.

#include "app/ui/filecommands.h"
#include "app/ui/mainmenus.h"
#include "app/ui/tfrmmain.h"
#include "base/appfolders.h"
#include "base/appstate.h"
#include "common/mainwindowrig.h"
#include "files/journalwriter.h"
#include "files/measurementjournal.h"
#include "graph/chartmodel.h"
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

// A journal that cannot be written is said once, and the recording goes on without it.
void TestRecovery::unwritableJournalIsSaid()
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("Documents/Q7316"));
    QFile blocker(tempFolderOf(dir)); // a file where the folder should be
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    MainWindowRig rig(dir, startAgain());
    rig.connectAndPoll();
    QVERIFY(rig.window->realTime().recordUnattended(5));
    for (int i = 0; i < 3; ++i) {
        rig.clock.advanceMs(1000);
        rig.window->MainTimerTimer();
        rig.window->realTime().RealTime_TimerTimer();
    }
    QCOMPARE(rig.prompts.errors.size(), 1);
    QVERIFY(rig.prompts.errors[0].endsWith("a crash or a power cut would lose it: save it when "
                                           "it ends."));
    QCOMPARE(rig.window->state().RealTimeCount, 4);
}

void TestRecovery::journalsLeftBehind_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("answers"); // Prompts::Answer values
    QTest::addColumn<int>("questions");
    QTest::addColumn<QStringList>("left"); // files in temp afterwards
    QTest::addColumn<int>("errors");
    QTest::addColumn<bool>("locked"); // another Audexa answers for the journal

    const MeasurementJournal::Header header { MeasurementJournal::Kind::RealTime, 46000.5, 1.0,
                                              100 };
    QByteArray three = MeasurementJournal::headerBytes(header);
    for (int i = 0; i < 3; ++i)
        three += MeasurementJournal::recordBytes(
            MeasurementJournal::Point { 46000.5 + i / 86400.0, 55.0f }, quint32(i));
    const int no = int(Prompts::Answer::No);
    const int yes = int(Prompts::Answer::Yes);
    const QString name = "realtime-20251209-120000-000.journal";
    QTest::newRow("no, and kept") << three << QList<int> { no, no } << 2 << QStringList { name }
                                  << 0 << false;
    QTest::newRow("no, and discarded")
        << three << QList<int> { no, yes } << 2 << QStringList {} << 0 << false;
    QTest::newRow("torn: the whole records") << three + QByteArray(7, '\x55') << QList<int> { yes }
                                             << 1 << QStringList { name } << 0 << false;
    QTest::newRow("another Audexa's")
        << three << QList<int> {} << 0 << QStringList { name } << 0 << true;
    QTest::newRow("nothing recorded") << MeasurementJournal::headerBytes(header) << QList<int> {}
                                      << 0 << QStringList {} << 0 << false;
    QTest::newRow("random bytes set aside")
        << QByteArray("\x12\x34 not a journal at all") << QList<int> {} << 0
        << QStringList { name + ".unreadable" } << 1 << false;
}

void TestRecovery::journalsLeftBehind()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, answers);
    QFETCH(int, questions);
    QFETCH(QStringList, left);
    QFETCH(int, errors);
    QFETCH(bool, locked);
    QTemporaryDir dir;
    QDir().mkpath(tempFolderOf(dir));
    QFile file(tempFolderOf(dir) + "/realtime-20251209-120000-000.journal");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QLockFile lock(JournalWriter::lockName(file.fileName()));
    if (locked)
        QVERIFY(lock.tryLock(0));

    MainWindowRig rig(dir, startAgain());
    for (int a : answers)
        rig.prompts.answers << Prompts::Answer(a);
    settle();
    QCOMPARE(rig.prompts.questions.size(), questions);
    QCOMPARE(rig.prompts.errors.size(), errors);
    if (errors)
        QVERIFY(rig.prompts.errors[0].contains("is kept as"));
    QStringList files = filesIn(tempFolderOf(dir));
    files.removeIf(
        [](const QString &f) { return !f.endsWith(".journal") && !f.endsWith(".unreadable"); });
    QCOMPARE(files, left);
    if (!answers.isEmpty() && answers[0] == int(Prompts::Answer::Yes))
        QCOMPARE(rig.window->graphs().RealTimeGraphWindow()->chartModel().points(), 3);
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
