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
#include <QFile>
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

void TestRecovery::killedRecordingComesBack()
{
    QTemporaryDir dir;
    QProcess audexa;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", dir.path());
    environment.insert("XDG_CONFIG_HOME", dir.filePath(".config"));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    audexa.setProcessEnvironment(environment);
    audexa.start(QStringLiteral(AUDEXA_PATH), { "--simulate-meter", "--record", "1000" });
    QVERIFY(audexa.waitForStarted());
    // Killed once it has recorded five points (one a second at the default rate).
    const qint64 fivePoints = MeasurementJournal::HeaderSize + 5 * 16;
    QString journal;
    QTRY_VERIFY_WITH_TIMEOUT(!(journal =
                                   [&] {
                                       const QStringList names = filesIn(tempFolderOf(dir));
                                       for (const QString &n : names)
                                           if (n.endsWith(".journal")
                                               && QFileInfo(tempFolderOf(dir) + "/" + n).size()
                                                   >= fivePoints)
                                               return tempFolderOf(dir) + "/" + n;
                                       return QString();
                                   }())
                                  .isEmpty(),
                             30000);
    audexa.kill(); // SIGKILL: nothing of the program runs after it
    QVERIFY(audexa.waitForFinished());
    QFile file(journal);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
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

// An LEQ measurement whose program went without closing a window, as a crash leaves it: its
// completed seconds come back into the LEQ window, and Graph and Save work on them.
void TestRecovery::interruptedLeqComesBack()
{
    QTemporaryDir dir;
    QStringList rows;
    {
        MainWindowRig first(dir, { .seed = 5 });
        first.connectAndPoll();
        first.window->menus().LEQ1->trigger();
        LeqController &leq = first.window->leq();
        leq.btnLEQClick();
        while (leq.LeqWindow()->rowCount() - 1 < 4) {
            first.clock.advanceMs(40);
            leq.LEQTimerTimer();
        }
        for (int r = 1; r <= 4; ++r) {
            QStringList cells;
            for (int c = 0; c <= 4; ++c)
                cells << leq.LeqWindow()->cell(c, r);
            rows << cells.join('|');
        }
    }
    MainWindowRig again(dir, startAgain());
    again.prompts.answers = { Prompts::Answer::Yes };
    settle();
    QCOMPARE(again.prompts.questions.size(), 1);
    QVERIFY(again.prompts.questions[0].startsWith("Recover the LEQ measurement of "));
    QVERIFY(again.prompts.questions[0].endsWith(" (4 seconds)?"));
    TfrmLEQ *form = again.window->leq().LeqWindow();
    QVERIFY(form);
    QStringList recovered;
    for (int r = 1; r < form->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c <= 4; ++c)
            cells << form->cell(c, r);
        recovered << cells.join('|');
    }
    QCOMPARE(recovered, rows);
    QVERIFY(again.window->leq().Button3Click());
    const QString journal = again.window->leq().journal().path();
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
                                  << 0;
    QTest::newRow("no, and discarded")
        << three << QList<int> { no, yes } << 2 << QStringList {} << 0;
    QTest::newRow("torn: the whole records")
        << three + QByteArray(7, '\x55') << QList<int> { yes } << 1 << QStringList { name } << 0;
    QTest::newRow("nothing recorded")
        << MeasurementJournal::headerBytes(header) << QList<int> {} << 0 << QStringList {} << 0;
    QTest::newRow("random bytes set aside")
        << QByteArray("\x12\x34 not a journal at all") << QList<int> {} << 0
        << QStringList { name + ".unreadable" } << 1;
}

void TestRecovery::journalsLeftBehind()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, answers);
    QFETCH(int, questions);
    QFETCH(QStringList, left);
    QFETCH(int, errors);
    QTemporaryDir dir;
    QDir().mkpath(tempFolderOf(dir));
    QFile file(tempFolderOf(dir) + "/realtime-20251209-120000-000.journal");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    MainWindowRig rig(dir, startAgain());
    for (int a : answers)
        rig.prompts.answers << Prompts::Answer(a);
    settle();
    QCOMPARE(rig.prompts.questions.size(), questions);
    QCOMPARE(rig.prompts.errors.size(), errors);
    if (errors)
        QVERIFY(rig.prompts.errors[0].contains("is kept as"));
    QStringList files = filesIn(tempFolderOf(dir));
    files.removeIf([](const QString &f) { return !f.contains(".journal"); });
    QCOMPARE(files, left);
    if (!answers.isEmpty() && answers[0] == int(Prompts::Answer::Yes))
        QCOMPARE(rig.window->graphs().RealTimeGraphWindow()->chartModel().points(), 3);
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
