// The data logger when things go wrong: what the user is told when a download or a save fails, a
// refused memory image that changes nothing, the questions before unsaved data is replaced or
// closed, and that nothing starts inside a running download.

#include "tst_datalogger.h"

#include <QAction>
#include <QTimer>

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
