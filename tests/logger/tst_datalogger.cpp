// The data logger as a user drives it, on the main window with the simulated meter: "Load Data",
// the data sets panel, graphing a set, correcting a start time, saving a collection and opening
// it after a restart, what the user is told when a download or a save fails, and that nothing
// starts inside a running download.

#include "app/ui/mainmenus.h"
#include "app/ui/tfrmmain.h"
#include "base/datetimedays.h"
#include "base/ui/stringgrid.h"
#include "chart/ui/pesgraph.h"
#include "common/mainwindowrig.h"
#include "files/datasetfile.h"
#include "files/ui/tfrmopensave.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/realtimecontroller.h"
#include "graph/ui/tfrmgraph.h"
#include "logger/ui/dataloggercontroller.h"
#include "logger/ui/tfrmdatetime.h"
#include "meter/simulatedloggermemory.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

namespace {

// The "DataLogger" window's rows after a download of the seeded memory: one per set, and the
// titles.
const int SeededRows = int(SimulatedLoggerMemory::seededSets().size()) + 1;

// The test drives the poll itself and checks the frames sent. It owns the folder, so that a second
// rig on it is the program started again.
struct Rig : MainWindowRig
{
    explicit Rig(QTemporaryDir &folder)
        : MainWindowRig(folder,
                        { .seed = 5,
                          .recordCalls = true,
                          .stopMainTimer = true,
                          .size = QSize(1280, 800),
                          .makeProgramFolder = true })
    {
    }
    TfrmGraph *logger() { return window->graphs().DataLoggerGraphWindow(); }
    DataLoggerController &controller() { return window->dataLogger(); }
    void load() { window->menus().LoadData1->trigger(); }
    QString cell(int col, int row) { return logger()->dataSetCell(col, row); }
    QStringList rows()
    {
        QStringList texts;
        for (int r = 1; r < logger()->dataSetRowCount(); ++r)
            texts << cell(4, r) + ' ' + cell(1, r) + ' ' + cell(2, r);
        return texts;
    }
    void answerChoice(int choice)
    {
        prompts.dialogHandler = [choice](QDialog &) {
            return choice;
        };
    }
    // Saves the "DataLogger" window's collection as the Save command does.
    bool saveCollection(const QString &file)
    {
        window->activateChildWindow(*logger());
        answerChoice(TfrmOpenSave::Ok);
        prompts.fileNames = { file };
        return window->Save1Click();
    }
    int writesOf(char letter)
    {
        int n = 0;
        for (const QByteArray &frame : usb->writes())
            n += frame.at(1) == letter;
        return n;
    }
};

QByteArray contents(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class TestDataLogger : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void notConnected();
    void meterRecording();
    void loadShowsEverySet();
    void rowClickGraphsThatSet();
    void graphingLeavesTheRecordingRate();
    void changeStartOfOneSet();
    void correctedStartSurvivesSaving();
    void saveAndOpenAfterRestart();
    void eachSetKeepsItsAnalysis();
    void failures_data();
    void failures();
    void failedLoadIntoNewWindowShowsNothingOld();
    void noDataSets();
    void refusedMemoryChangesNothing_data();
    void refusedMemoryChangesNothing();
    void replacingAnUnsavedDownloadAsks_data();
    void replacingAnUnsavedDownloadAsks();
    void nothingStartsInsideADownload();
    void failedSavesSaySo_data();
    void failedSavesSaySo();
    void tempFileThatCannotBeWritten();
    void closeAsksAboutUnsavedData();
    void onlyItsOwnClosingForgetsTheData();
};

void TestDataLogger::notConnected()
{
    QTemporaryDir dir;
    Rig rig(dir);
    rig.load();
    QCOMPARE(rig.prompts.messages, QStringList { "There is no connection with meter !" });
    QVERIFY(!rig.logger());
    QVERIFY(!rig.window->MainTimer.isActive()); // untouched
}

void TestDataLogger::meterRecording()
{
    QTemporaryDir dir;
    Rig rig(dir);
    rig.meter.state().recording = true;
    rig.connectAndPoll();
    rig.load();
    QCOMPARE(
        rig.prompts.messages,
        QStringList { "The meter is recording data, please stop recording before loading data." });
    QVERIFY(!rig.logger());
}

void TestDataLogger::loadShowsEverySet()
{
    QTemporaryDir dir;
    Rig rig(dir);
    rig.connectAndPoll();
    rig.load();
    QVERIFY(rig.prompts.messages.isEmpty());
    QVERIFY(rig.logger());
    QCOMPARE(rig.logger()->windowTitle(), QString("DataLogger"));
    QVERIFY(Rig::control<QWidget>(*rig.logger(), "pnlDataSets").isVisible());
    QVERIFY(rig.window->state().loggerDataLoaded);
    QVERIFY(rig.window->MainTimer.isActive());
    QVERIFY(rig.window->state().memoryImage.isEmpty());
    QCOMPARE(rig.logger()->dataSetRowCount(), SeededRows); // the seeded sets and the titles
    QCOMPARE(rig.cell(0, 0), QString("Set"));
    QCOMPARE(rig.cell(7, 0), QString("LEVEL"));
    QCOMPARE(rig.cell(4, 2), QString("1800"));
    QCOMPARE(rig.cell(3, 4), QString("01:00"));
    QCOMPARE(rig.cell(7, 4), QString("30-130"));
    QCOMPARE(rig.cell(5, 3), QString("dBC"));
    // Set 1 is graphed with its statistics and cursors.
    QCOMPARE(rig.logger()->fields().dataNo, QString("600"));
    QCOMPARE(rig.logger()->chartModel().points(), 600);
    QVERIFY(!rig.logger()->fields().avgAll.isEmpty());
    QVERIFY(!rig.logger()->fields().cursorA.isEmpty());
    // The temporary file keeps the memory: lastAddress + 257 bytes.
    const SimulatedLoggerMemory::SeededSet last = SimulatedLoggerMemory::seededSets().last();
    QCOMPARE(QFileInfo(rig.controller().tempFile()).size(),
             qint64(last.address + 17 + 2 * last.count + 257));
    // A second "Load Data" reuses the window.
    TfrmGraph *first = rig.logger();
    rig.load();
    QCOMPARE(rig.logger(), first);
}

void TestDataLogger::rowClickGraphsThatSet()
{
    QTemporaryDir dir;
    Rig rig(dir);
    rig.connectAndPoll();
    rig.load();
    rig.controller().Grid2Click(3);
    const LoggerData &data = rig.controller().data();
    const GraphStatistics::Fields f = rig.logger()->fields();
    QCOMPARE(f.dataNo, QString("383"));
    QCOMPARE(f.samplingRate, QString("10"));
    QCOMPARE(rig.logger()->chartModel().points(), 383);
    QCOMPARE(rig.logger()->chartModel().yAxisLabel, QString("Level (dB(C) FAST)"));
    // Set 3's own figures, not set 1's: its average, its maximum and minimum in their places.
    const int first = data.setOffset(2);
    QCOMPARE(f.avgAll, GraphStatistics::levelText(data.setAverages[2]));
    QCOMPARE(f.max,
             GraphStatistics::levelText(data.levels[std::size_t(first + data.setMaxIndex[2])]));
    QCOMPARE(f.min,
             GraphStatistics::levelText(data.levels[std::size_t(first + data.setMinIndex[2])]));
    QVERIFY(f.max.toDouble() > f.min.toDouble());
    QCOMPARE(
        f.maxTime,
        DateTimeDays::RoundedTimeText(data.levelTimes[std::size_t(first + data.setMaxIndex[2])]));
    QVERIFY(f.avgAll != GraphStatistics::levelText(data.setAverages[0]));
    // A click on an empty row does nothing.
    rig.controller().Grid2Click(12);
    QCOMPARE(rig.logger()->chartModel().points(), 383);
}

void TestDataLogger::graphingLeavesTheRecordingRate()
{
    // The data set's interval goes into the DataLogger window's rate box; the recording's rate
    // and a running recording are left alone.
    QTemporaryDir dir;
    Rig rig(dir);
    rig.window->state().RealTimeRate = 0.2f;
    rig.connectAndPoll();
    rig.load();
    rig.controller().Grid2Click(3); // interval 10 s
    QCOMPARE(rig.window->state().RealTimeRate, 0.2f);
    rig.window->state().RealTimeRunning = true;
    rig.controller().Grid2Click(2);
    QCOMPARE(rig.window->state().RealTimeRate, 0.2f);
    QVERIFY(rig.prompts.messages.isEmpty()); // no "Can not change Sampling Rate ..."
}

void TestDataLogger::changeStartOfOneSet()
{
    QTemporaryDir dir;
    Rig rig(dir);
    rig.connectAndPoll();
    rig.load();
    const double set1 = rig.controller().data().setStartTimes[0];
    const double set3 = rig.controller().data().setStartTimes[2];
    QString shownStart;
    QDateTime pickersStart;
    rig.prompts.dialogHandler = [&](QDialog &dialog) {
        auto &picker = dynamic_cast<TfrmDateTime &>(dialog);
        shownStart = picker.Label1->text();
        pickersStart = picker.dateTime();
        picker.DatePicker->setDate(QDate(2008, 1, 2));
        picker.TimePicker->setTime(QTime(9, 8, 7));
        return int(QDialog::Accepted);
    };
    // The pop-up item reads "Change Date & Time": the ampersand is shown, not taken as an access
    // key.
    const auto &item = Rig::control<QAction>(*rig.logger(), "ChangeDateTime1");
    QCOMPARE(QString(item.text()).replace("&&", "&"), QString("Change Date & Time"));
    QVERIFY(QKeySequence::mnemonic(item.text()).isEmpty());
    rig.controller().ChangeDateTime1Click(2);
    // The dialog starts at set 2's recorded start, and says which start it corrects.
    QCOMPARE(pickersStart, QDateTime(QDate(2007, 3, 15), QTime(14, 0)));
    QCOMPARE(shownStart, DateTimeDays::dateTimeText(DateTimeDays::fromDateTime(pickersStart)));
    const LoggerData &data = rig.controller().data();
    QCOMPARE(rig.cell(2, 2), QString("09:08:07"));
    QCOMPARE(data.setStartTimes[0], set1);
    QCOMPARE(data.setStartTimes[2], set3);
    QVERIFY(data.invariantsHold());
    QCOMPARE(rig.logger()->fields().dataNo, QString("1800")); // set 2 is graphed
    QVERIFY(rig.logger()->fields().startTime.contains("2008"));

    // A year the meter cannot hold is refused and changes nothing.
    rig.prompts.dialogHandler = [](QDialog &dialog) {
        dynamic_cast<TfrmDateTime &>(dialog).DatePicker->setDate(QDate(2100, 1, 1));
        return int(QDialog::Accepted);
    };
    rig.controller().ChangeDateTime1Click(1);
    QCOMPARE(rig.prompts.errors,
             QStringList { "The meter keeps years 2000 to 2099 only: 2100 "
                           "cannot be stored. The start time is unchanged." });
    QCOMPARE(data.setStartTimes[0], set1);
}

void TestDataLogger::correctedStartSurvivesSaving()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("corrected.rec");
    QStringList corrected;
    {
        Rig rig(dir);
        rig.connectAndPoll();
        rig.load();
        rig.prompts.dialogHandler = [](QDialog &dialog) {
            auto &picker = dynamic_cast<TfrmDateTime &>(dialog);
            picker.DatePicker->setDate(QDate(2031, 7, 14));
            picker.TimePicker->setTime(QTime(22, 15, 30));
            return int(QDialog::Accepted);
        };
        rig.controller().ChangeDateTime1Click(4);
        corrected = rig.rows();
        QVERIFY(corrected[3].endsWith("22:15:30"));
        QVERIFY(rig.saveCollection(file));
    }
    Rig restarted(dir);
    restarted.answerChoice(TfrmOpenSave::Ok);
    restarted.prompts.fileNames = { file };
    restarted.window->Open1Click();
    QVERIFY(restarted.logger());
    QCOMPARE(restarted.rows(), corrected);
}

void TestDataLogger::saveAndOpenAfterRestart()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("survey.REC");
    QStringList rows;
    {
        Rig rig(dir);
        rig.connectAndPoll();
        rig.load();
        rows = rig.rows();
        QVERIFY(rig.saveCollection(file));
        QCOMPARE(rig.prompts.dialogs.first(), QString("Save File"));
    }
    QVERIFY(QFileInfo::exists(file));
    QFile temp(QDir(dir.filePath("Documents/Q7316/temp")).filePath("DataSetsTemp.tmp"));
    QVERIFY(temp.open(QIODevice::ReadOnly));
    const QByteArray before = temp.readAll();
    temp.close();
    QVERIFY(temp.remove());

    Rig restarted(dir);
    restarted.answerChoice(TfrmOpenSave::Ok);
    restarted.prompts.fileNames = { file };
    restarted.window->Open1Click();
    QVERIFY2(
        restarted.logger(),
        qPrintable(restarted.prompts.errors.join("; ") + restarted.prompts.dialogs.join("; ")));
    QCOMPARE(restarted.rows(), rows);
    QVERIFY(temp.open(QIODevice::ReadOnly));
    QCOMPARE(temp.readAll(), before); // the same temporary file again
}

void TestDataLogger::eachSetKeepsItsAnalysis()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("survey.rec");
    const int last = SeededRows - 1;
    MeasurementAnalysis first;
    QByteArray saved;
    {
        Rig rig(dir);
        rig.connectAndPoll();
        rig.load();
        TfrmGraph &g = *rig.logger();
        ChartModel &m = g.chartModel();
        const double x0 = m.x(0, 10), x1 = m.x(0, 20);
        MeasurementAnalysis a;
        a.annotations[4] = { x0, 70.0, 2, "Bus idling 10:37", Qt::red };
        a.exclusions = { { x0, x1, "Passing lorry" } };
        a.limit = 55.0;
        a.overlay = OverlaySeries { "Set 2", Qt::blue, OverlayAlignment::Start, 0.5, 10.0,
                                    { x0, x1 }, { 60.0f, 61.0f } };
        g.showAnalysis(a);
        g.placeCursors(m.points() - 1, 5, 15);
        first = m.analysis();
        const QString n = g.fields().dataNo;
        const QString between = g.fields().avgAB;

        // Another set shows none of it: no mark, interval, limit or overlay, its own cursors.
        rig.controller().Grid2Click(last);
        QVERIFY(m.annotations.empty());
        QVERIFY(m.exclusions.empty());
        QVERIFY(!m.limit);
        QVERIFY(!m.overlay);
        QCOMPARE(m.verticalLines[0].x, m.x(0, m.points() / 3));
        m.limit = 60.0;

        // The first again shows all of it as it was left, and the figures it gave.
        rig.controller().Grid2Click(1);
        QVERIFY(m.analysis() == first);
        QCOMPARE(g.fields().dataNo, n);
        QCOMPARE(g.fields().avgAB, between);
        rig.controller().Grid2Click(last);
        QCOMPARE(m.limit, std::optional<double>(60.0));
        QVERIFY(rig.saveCollection(file));
        saved = contents(file);
    }
    // The collection stays the meter's own bytes; the analysis lies beside it.
    QVERIFY(QFileInfo::exists(file + ".audexa"));
    const auto reopen = [&](Rig &rig) {
        rig.answerChoice(TfrmOpenSave::Ok);
        rig.prompts.fileNames = { file };
        rig.window->Open1Click();
        QVERIFY(rig.logger());
    };
    {
        Rig restarted(dir);
        reopen(restarted);
        QVERIFY(restarted.prompts.errors.isEmpty());
        QVERIFY(restarted.logger()->chartModel().analysis() == first);
        restarted.controller().Grid2Click(last);
        QCOMPARE(restarted.logger()->chartModel().limit, std::optional<double>(60.0));
        // Opened as saved, it closes without a question; a limit changed since is offered.
        QVERIFY(!restarted.controller().hasUnsavedAnalysis());
        restarted.logger()->chartModel().limit = 65.0;
        restarted.prompts.answers = { Prompts::Answer::Cancel };
        restarted.logger()->closeForm();
        settle();
        QCOMPARE(restarted.prompts.questions, QStringList { "Save DataLogger Data ?" });
        QVERIFY(restarted.logger());
    }
    QCOMPARE(contents(file), saved);

    // A damaged analysis file: said in one line, and the data sets open without it.
    QFile sidecar(file + ".audexa");
    QVERIFY(sidecar.open(QIODevice::WriteOnly) && sidecar.write("PK\x03\x04") > 0);
    sidecar.close();
    Rig damaged(dir);
    reopen(damaged);
    QCOMPARE(damaged.rows().size(), SeededRows - 1);
    QCOMPARE(damaged.prompts.errors.size(), 1);
    QVERIFY2(damaged.prompts.errors.first().contains("line 1: this is not an analysis file"),
             qPrintable(damaged.prompts.errors.first()));
    QVERIFY(damaged.logger()->chartModel().analysis().holdsNothing());
}

void TestDataLogger::failures_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("code");
    QTest::newRow("unframed reply to P") << "unframed" << 121;
    QTest::newRow("block read fails early") << "read3" << 126;
    QTest::newRow("q write fails") << "q" << 125;
}

void TestDataLogger::failures()
{
    QFETCH(QString, fault);
    QFETCH(int, code);
    QTemporaryDir dir;
    Rig rig(dir);
    rig.connectAndPoll();
    if (fault == "unframed")
        rig.meter.faults().downloadStartUnframed = true;
    else if (fault == "read3")
        rig.meter.faults().blockReadFailsAt = 3;
    else
        rig.meter.faults().downloadEndWriteFails = true;
    rig.usb->clear();
    rig.load();
    QCOMPARE(
        rig.prompts.messages,
        QStringList { "There was error,please try again!   error code=" + QString::number(code) });
    QCOMPARE(rig.usb->writes().last().at(1), 'Q'); // the meter is resynchronised
    QVERIFY(!rig.window->state().loggerDataLoaded);
    QVERIFY(rig.window->MainTimer.isActive());
    QVERIFY(rig.window->state().memoryImage.isEmpty());
}

void TestDataLogger::failedLoadIntoNewWindowShowsNothingOld()
{
    // A download fills the window; the window is closed; the next download fails: the new
    // window starts with one empty row, not the earlier data sets.
    QTemporaryDir dir;
    Rig rig(dir);
    rig.connectAndPoll();
    rig.load();
    rig.prompts.answers = { Prompts::Answer::No };
    rig.logger()->closeForm();
    settle();
    QVERIFY(!rig.logger());
    rig.meter.faults().downloadStartUnframed = true;
    rig.load();
    QVERIFY(rig.logger());
    QCOMPARE(rig.logger()->dataSetRowCount(), 2);
    QCOMPARE(rig.cell(1, 1), QString());
    QCOMPARE(rig.logger()->chartModel().points(), 500);
}

void TestDataLogger::noDataSets()
{
    QTemporaryDir dir;
    Rig rig(dir);
    QByteArray empty(131072, '\0');
    empty[0] = 0x04;
    empty[31] = 0x05;
    empty[13] = char(0xFF); // lastAddress 255: only the header
    rig.meter.setLoggerMemory(empty);
    rig.connectAndPoll();
    rig.load();
    QCOMPARE(rig.prompts.messages,
             QStringList { "There was not any data recorded in momery of meter !" });
    // A memory without data sets is not kept.
    QVERIFY(!QFileInfo::exists(rig.controller().tempFile()));
    QCOMPARE(rig.cell(1, 1), QString()); // the panel still has its empty row
}

void TestDataLogger::refusedMemoryChangesNothing_data()
{
    QTest::addColumn<QString>("from"); // "open": a collection file; "load": the meter
    QTest::addColumn<int>("sets"); // the refused memory's set count
    QTest::newRow("collection without data sets") << "open" << 0;
    QTest::newRow("collection of 65535 data sets") << "open" << 0xFFFF;
    QTest::newRow("Load Data from an erased meter") << "load" << 0;
}

void TestDataLogger::refusedMemoryChangesNothing()
{
    // After a download, a memory the decoder refuses leaves the data sets shown, the temporary
    // file a collection is saved from, and the name a report gives, all those of the download.
    QFETCH(QString, from);
    QFETCH(int, sets);
    QTemporaryDir dir;
    Rig rig(dir);
    rig.connectAndPoll();
    rig.load();
    const QStringList rows = rig.rows();
    const QByteArray downloaded = contents(rig.controller().tempFile());
    QByteArray refused(131072, '\0');
    refused[0] = 0x04;
    refused[9] = char(sets >> 8);
    refused[10] = char(sets);
    refused[13] = char(0xFF); // lastAddress 255
    refused[31] = 0x05;
    rig.prompts.answers = { Prompts::Answer::No }; // the unsaved download may be replaced
    if (from == "open") {
        const QString file = dir.filePath("refused.rec");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(refused) == refused.size());
        out.close();
        rig.answerChoice(TfrmOpenSave::Ok);
        rig.prompts.fileNames = { file };
        rig.window->Open1Click();
    } else {
        rig.meter.setLoggerMemory(refused);
        rig.load();
    }
    QCOMPARE(rig.rows(), rows);
    QCOMPARE(contents(rig.controller().tempFile()), downloaded);
    QVERIFY(rig.window->state().loggerDataLoaded); // the download is still unsaved
    rig.controller().Grid2Click(2);
    QCOMPARE(rig.logger()->source().fileName, QString()); // a download, not the refused file
    const QString saved = dir.filePath("saved.rec");
    QVERIFY(rig.saveCollection(saved));
    QCOMPARE(contents(saved), downloaded);
}

void TestDataLogger::replacingAnUnsavedDownloadAsks_data()
{
    QTest::addColumn<QString>("command"); // "load" or "open"
    QTest::addColumn<QString>("answer"); // to "Save DataLogger Data ?"
    QTest::addColumn<bool>("replaced");
    const auto row = [](const char *name, const char *command, const char *answer, bool replaced) {
        QTest::newRow(name) << QString(command) << QString(answer) << replaced;
    };
    row("Load Data, Cancel", "load", "Cancel", false);
    row("Load Data, No", "load", "No", true);
    row("Load Data, Yes", "load", "Yes", true);
    row("Load Data, Yes, save cancelled", "load", "Yes, cancelled", false);
    row("Open, Cancel", "open", "Cancel", false);
    row("Open, No", "open", "No", true);
    row("Open, Yes", "open", "Yes", true);
    row("Open, Yes, save cancelled", "open", "Yes, cancelled", false);
}

void TestDataLogger::replacingAnUnsavedDownloadAsks()
{
    QFETCH(QString, command);
    QFETCH(QString, answer);
    QFETCH(bool, replaced);
    QTemporaryDir dir;
    Rig rig(dir);
    rig.connectAndPoll();
    rig.load();
    const QByteArray downloaded = contents(rig.controller().tempFile());
    const QString other = dir.filePath("other.rec");
    QVERIFY(QFile::copy(rig.controller().tempFile(), other));
    const QString saved = dir.filePath("saved.rec");
    rig.prompts.answers = { answer == "Cancel"   ? Prompts::Answer::Cancel
                                : answer == "No" ? Prompts::Answer::No
                                                 : Prompts::Answer::Yes };
    rig.answerChoice(TfrmOpenSave::Ok);
    if (answer == "Yes")
        rig.prompts.fileNames << saved;
    if (answer != "Yes, cancelled")
        rig.prompts.fileNames << other;
    if (command == "load")
        rig.load();
    else
        rig.window->Open1Click();
    QCOMPARE(rig.prompts.questions, QStringList { "Save DataLogger Data ?" });
    QCOMPARE(command == "load" ? rig.writesOf('P') == 2 : rig.logger()->source().fileName == other,
             replaced);
    QCOMPARE(contents(saved), answer == "Yes" ? downloaded : QByteArray());
    // A new download is unsaved; data sets opened from a file are not.
    QCOMPARE(rig.window->state().loggerDataLoaded, command == "load" || !replaced);
}

void TestDataLogger::nothingStartsInsideADownload()
{
    // The progress window lets events run after every block. What the user can reach then must
    // not start another exchange: the commands are disabled, and refuse when called anyway.
    QTemporaryDir dir;
    Rig rig(dir);
    rig.connectAndPoll();
    rig.usb->clear();
    QStringList during;
    bool entered = false;
    QTimer::singleShot(0, rig.window.get(), [&] {
        entered = true;
        MainMenus &m = rig.window->menus();
        for (QAction *a : { m.LoadData1, m.btnDataLogger, m.Run1, m.btnRun, m.EraseMemory1, m.Open1,
                            m.btnOpen, m.LEQ1 })
            if (a->isEnabled())
                during << a->objectName();
        m.LoadData1->trigger();
        rig.controller().LoadData1Click();
        rig.window->Open1Click();
        rig.window->realTime().btnRunClick();
    });
    rig.load();
    QVERIFY(entered);
    QCOMPARE(during, QStringList());
    QCOMPARE(rig.writesOf('P'), 1); // one download
    QVERIFY(rig.prompts.messages.isEmpty()); // it ended well: no "error code=126"
    QVERIFY(rig.prompts.dialogs.isEmpty()); // Open asked nothing
    QVERIFY(rig.window->state().loggerDataLoaded);
    QCOMPARE(rig.logger()->dataSetRowCount(), SeededRows);
    // Afterwards the commands are back.
    QVERIFY(rig.window->menus().LoadData1->isEnabled() && rig.window->menus().btnRun->isEnabled());
    QVERIFY(rig.window->MainTimer.isActive());
}

void TestDataLogger::failedSavesSaySo_data()
{
    QTest::addColumn<QString>("target"); // under the test's folder
    QTest::addColumn<QString>("error"); // how the message starts, %1 the target
    QTest::newRow("folder does not exist") << "no/such/survey.rec"
                                           << "Cannot create file \"%1\".";
    QTest::newRow("a folder of that name") << "taken.rec"
                                           << "Cannot create file \"%1\".";
}

void TestDataLogger::failedSavesSaySo()
{
    // A failed save of the collection says which file and why, and a Yes to "Save DataLogger
    // Data ?" whose save failed keeps the window, with the data still counted as unsaved.
    QFETCH(QString, target);
    QFETCH(QString, error);
    QTemporaryDir dir;
    Rig rig(dir);
    QVERIFY(QDir().mkpath(dir.filePath("taken.rec")));
    rig.connectAndPoll();
    rig.load();
    const QString name = dir.filePath(target);
    rig.answerChoice(TfrmOpenSave::Ok);
    rig.prompts.fileNames = { name };
    rig.prompts.answers = { Prompts::Answer::Yes };
    rig.logger()->closeForm();
    settle();
    QCOMPARE(rig.prompts.errors.size(), 1);
    QVERIFY2(rig.prompts.errors.first().startsWith(error.arg(name)),
             qPrintable(rig.prompts.errors.first()));
    QVERIFY(rig.logger());
    QVERIFY(rig.window->state().loggerDataLoaded);
}

void TestDataLogger::tempFileThatCannotBeWritten()
{
    // The temporary file of a first download is in place; the second download's cannot be
    // written. The user is told, still sees the data sets, and cannot save the first download's
    // file as the second one's collection.
    QTemporaryDir dir;
    Rig rig(dir);
    rig.connectAndPoll();
    rig.load();
    const QString temp = rig.controller().tempFile();
    QVERIFY(QFile::remove(temp));
    QVERIFY(QDir().mkpath(temp)); // a folder in the file's place
    rig.load();
    QCOMPARE(rig.prompts.errors.size(), 1);
    QVERIFY(rig.prompts.errors.first().startsWith("Cannot create file \"" + temp + "\""));
    QCOMPARE(rig.logger()->dataSetRowCount(), SeededRows);
    QCOMPARE(rig.logger()->fields().dataNo, QString("600"));
    const QString file = dir.filePath("survey.rec");
    QVERIFY(!rig.saveCollection(file));
    QVERIFY(!QFileInfo::exists(file));
    QCOMPARE(rig.prompts.errors.size(), 2);
    QCOMPARE(rig.prompts.errors.last(),
             "Cannot save \"" + file + "\": the data sets shown could not be kept in \"" + temp
                 + "\".");
}

void TestDataLogger::closeAsksAboutUnsavedData()
{
    QTemporaryDir dir;
    Rig rig(dir);
    rig.connectAndPoll();
    rig.load();
    rig.prompts.answers = { Prompts::Answer::Cancel };
    rig.logger()->closeForm();
    QCOMPARE(rig.prompts.questions.last(), QString("Save DataLogger Data ?"));
    QVERIFY(rig.logger());
    rig.prompts.answers = { Prompts::Answer::No };
    rig.logger()->closeForm();
    settle();
    QVERIFY(!rig.logger());
    QVERIFY(!rig.window->state().loggerDataLoaded);

    // Saved: closing asks nothing.
    rig.load();
    const int asked = rig.prompts.questions.size();
    QVERIFY(rig.saveCollection(dir.filePath("saved.rec")));
    rig.logger()->closeForm();
    settle();
    QVERIFY(!rig.logger());
    QCOMPARE(rig.prompts.questions.size(), asked);
}

void TestDataLogger::onlyItsOwnClosingForgetsTheData()
{
    // Closing the real-time graph leaves the downloaded data unsaved: closing "DataLogger"
    // still asks.
    QTemporaryDir dir;
    Rig rig(dir);
    rig.connectAndPoll();
    rig.load();
    rig.window->graphs().RealTimeGraphWindow()->closeForm();
    settle();
    QVERIFY(rig.window->state().loggerDataLoaded);
    rig.prompts.answers = { Prompts::Answer::Cancel };
    rig.logger()->closeForm();
    QCOMPARE(rig.prompts.questions.last(), QString("Save DataLogger Data ?"));
}

QTEST_MAIN(TestDataLogger)
#include "tst_datalogger.moc"
