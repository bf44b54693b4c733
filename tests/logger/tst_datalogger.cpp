// The data logger as a user drives it, on the main window with the simulated meter: "Load Data",
// the data sets panel, graphing a set, correcting a start time, saving a collection and opening
// it after a restart, and each set keeping its own analysis.

#include "tst_datalogger.h"

#include "logger/datasetchart.h"

#include <QAction>
#include <QKeySequence>

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
        a.details.site = "Am Bach 3";
        a.details.calibrationBefore = { 94.0, 94.1 };
        a.overlay = OverlaySeries { "Set 2", Qt::blue,   OverlayAlignment::Start, 0.5,
                                    10.0,    { x0, x1 }, { 60.0f, 61.0f } };
        g.showAnalysis(a);
        g.placeCursors(m.points() - 1, 5, 15);
        first = m.analysis();
        const QString n = g.fields().dataNo;
        const QString between = g.fields().avgAB;

        // Another set shows none of it: no mark, interval, limit, overlay or detail, its own
        // cursors.
        rig.controller().Grid2Click(last);
        QVERIFY(m.annotations.empty());
        QVERIFY(m.details.isEmpty());
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
    QVERIFY(damaged.prompts.errors.first().contains("survey.rec.audexa.old"));
    // Saving the collection again sets the file it could not read aside, never loses it.
    QVERIFY(damaged.saveCollection(file));
    QCOMPARE(contents(file + ".audexa.old"), QByteArray("PK\x03\x04"));
    QVERIFY(!QFileInfo::exists(file + ".audexa"));
}

void TestDataLogger::correctedStartMovesTheAnalysis()
{
    QTemporaryDir dir;
    Rig rig(dir);
    rig.connectAndPoll();
    rig.load();
    TfrmGraph &g = *rig.logger();
    ChartModel &m = g.chartModel();
    // Set 2 (15 Mar 2007 from 14:00) laid over set 1 (from 10:30) by clock time; a cross on set
    // 1's eleventh point.
    ChartModel set2;
    DataSetChart::draw(set2, rig.controller().data(), 1);
    MeasurementAnalysis a;
    a.annotations[5] = { m.x(0, 10), 70.0, 2, "horn", Qt::red };
    a.overlay = OverlaySeries { "Set 2",    Qt::blue,  OverlayAlignment::ClockTime, 0.0, 2.0,
                                set2.xs(0), set2.ys(0) };
    g.showAnalysis(a);
    // Set 1 really started the evening before, at 23:00.
    rig.prompts.dialogHandler = [](QDialog &dialog) {
        auto &picker = dynamic_cast<TfrmDateTime &>(dialog);
        picker.DatePicker->setDate(QDate(2007, 3, 14));
        picker.TimePicker->setTime(QTime(23, 0));
        return int(QDialog::Accepted);
    };
    rig.controller().ChangeDateTime1Click(1);
    // The cross stays on its point; the overlay keeps its time of day, a day back on the new date.
    QCOMPARE(m.annotations.at(5).x, m.x(0, 10));
    QCOMPARE(m.overlay->shift, -1.0);

    // Closed, the window lets the sets' analysis go: nothing of it is left to be taken for a
    // later window's.
    rig.prompts.answers = { Prompts::Answer::No };
    g.closeForm();
    settle();
    QVERIFY(!rig.logger());
    QVERIFY(rig.controller().analyses().empty());
    QVERIFY(!rig.controller().hasUnsavedAnalysis());
}

QTEST_MAIN(TestDataLogger)
