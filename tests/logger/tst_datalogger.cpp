// The data logger as a user drives it, on the main window with the simulated meter: "Load Data",
// the data sets panel, graphing a set, correcting a start time, saving a collection and opening
// it after a restart, and what the user is told when a download fails.

#include "app/ui/mainmenus.h"
#include "app/ui/stringgrid.h"
#include "app/ui/tfrmmain.h"
#include "common/mainwindowrig.h"
#include "files/datasetfile.h"
#include "files/ui/tfrmopensave.h"
#include "graph/ui/pesgraph.h"
#include "graph/ui/tfrmgraph.h"
#include "logger/ui/tfrmdatetime.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>

namespace {

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
    TfrmGraph *logger() { return window->DataLoggerGraphWindow; }
    void load() { window->menus().LoadData1->trigger(); }
    QString cell(int col, int row) { return logger()->Grid2->Cells(col, row); }
    void answerChoice(int choice)
    {
        prompts.dialogHandler = [choice](QDialog &) {
            return choice;
        };
    }
};

} // namespace

class TestDataLogger : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void notConnected();
    void meterRecording();
    void loadShowsEverySet();
    void rowClickGraphsThatSet();
    void changeStartOfOneSet();
    void saveAndOpenAfterRestart();
    void failures_data();
    void failures();
    void noDataSets();
    void closeAsksAboutUnsavedData();
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
    QVERIFY(rig.logger()->pnlDataSets->isVisible());
    QVERIFY(rig.window->state().loggerDataLoaded);
    QVERIFY(rig.window->MainTimer.isActive());
    QVERIFY(rig.window->state().memoryImage.isEmpty());
    QCOMPARE(rig.logger()->Grid2->RowCount(), 7); // six seeded sets and the titles
    QCOMPARE(rig.cell(4, 2), QString("1800"));
    QCOMPARE(rig.cell(3, 4), QString("01:00"));
    QCOMPARE(rig.cell(7, 4), QString("30-130"));
    QCOMPARE(rig.cell(5, 3), QString("dBC"));
    // Set 1 is graphed with its statistics and cursors.
    QCOMPARE(rig.logger()->txtDataNo->text(), QString("600"));
    QCOMPARE(rig.logger()->PESGraph1->model().points(), 600);
    QVERIFY(!rig.logger()->txtAvgAll->text().isEmpty());
    QVERIFY(!rig.logger()->txtCursorA->text().isEmpty());
    // The temporary file keeps the memory: lastAddress + 257 bytes.
    const QString temp = rig.window->dataLogger().tempFile();
    QCOMPARE(QFileInfo(temp).size(), qint64(12899 + 257));
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
    rig.window->dataLogger().Grid2Click(3);
    QCOMPARE(rig.logger()->txtDataNo->text(), QString("383"));
    QCOMPARE(rig.logger()->txtSamplingRate->currentText(), QString("10"));
    QCOMPARE(rig.logger()->PESGraph1->model().points(), 383);
    // A click on an empty row does nothing.
    rig.window->dataLogger().Grid2Click(12);
    QCOMPARE(rig.logger()->PESGraph1->model().points(), 383);
}

void TestDataLogger::changeStartOfOneSet()
{
    QTemporaryDir dir;
    Rig rig(dir);
    rig.connectAndPoll();
    rig.load();
    const double set1 = rig.window->dataLogger().data().setStartTimes[0];
    const double set3 = rig.window->dataLogger().data().setStartTimes[2];
    rig.prompts.dialogHandler = [](QDialog &dialog) {
        auto &picker = dynamic_cast<TfrmDateTime &>(dialog);
        picker.DatePicker->setDate(QDate(2008, 1, 2));
        picker.TimePicker->setTime(QTime(9, 8, 7));
        return int(QDialog::Accepted);
    };
    rig.window->dataLogger().ChangeDateTime1Click(2);
    const LoggerData &data = rig.window->dataLogger().data();
    QCOMPARE(rig.cell(2, 2), QString("09:08:07"));
    QCOMPARE(data.setStartTimes[0], set1);
    QCOMPARE(data.setStartTimes[2], set3);
    QVERIFY(data.invariantsHold());
    QCOMPARE(rig.logger()->txtDataNo->text(), QString("1800")); // set 2 is graphed
    QVERIFY(rig.logger()->txtStartTime->text().contains("2008"));
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
        for (int r = 1; r <= 6; ++r)
            rows << rig.logger()->Grid2->Cells(4, r) + rig.cell(1, r) + rig.cell(2, r);
        rig.window->mdiArea().setActiveSubWindow(
            qobject_cast<QMdiSubWindow *>(rig.logger()->parentWidget()));
        rig.answerChoice(TfrmOpenSave::Ok);
        rig.prompts.fileNames = { file };
        QVERIFY(rig.window->Save1Click());
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
    QStringList reopened;
    for (int r = 1; r <= 6; ++r)
        reopened << restarted.cell(4, r) + restarted.cell(1, r) + restarted.cell(2, r);
    QCOMPARE(reopened, rows);
    QVERIFY(temp.open(QIODevice::ReadOnly));
    QCOMPARE(temp.readAll(), before); // the same temporary file again
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
    QVERIFY(!QFileInfo::exists(rig.window->dataLogger().tempFile()));
    QCOMPARE(rig.logger()->Grid2->Cells(1, 1), QString()); // the panel still has its empty row
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
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!rig.logger());
    QVERIFY(!rig.window->state().loggerDataLoaded);
}

QTEST_MAIN(TestDataLogger)
#include "tst_datalogger.moc"
