// audexa-cli as a user runs it: the built program on collection files written to a temporary
// folder, its exact output, exit status and error lines, in the C and a German locale.

#include "chart/chartblock.h"
#include "chart/chartmodel.h"
#include "files/graphfile.h"
#include "meter/simulatedloggermemory.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

struct Run
{
    QString out;
    QString err;
    int status = -1;
};

// How a run's output is hindered: standard output on a full device, or files limited to a size.
struct Hindrance
{
    bool fullStandardOutput = false;
    qint64 fileSizeLimit = 0; // bytes, 0 for none
};

Run runCli(const QStringList &arguments, const QString &locale = QStringLiteral("C.UTF-8"),
           Hindrance hindrance = {})
{
    // Where the widgets' platform wants a runtime folder of its own.
    static const QTemporaryDir runtime;
    QProcess process;
    if (hindrance.fullStandardOutput)
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
    if (hindrance.fileSizeLimit > 0)
        process.setChildProcessModifier([limit = hindrance.fileSizeLimit] {
            // The file size limit stands in for a disk that fills.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small { rlim_t(limit), rlim_t(limit) };
            setrlimit(RLIMIT_FSIZE, &small);
        });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), locale);
    environment.insert(QStringLiteral("LANG"), locale);
    // Times are wall-clock times; a zone with summer time shows that none moves with it.
    environment.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Berlin"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(AUDEXA_CLI_PATH), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return { QString::fromUtf8(process.readAllStandardOutput()),
             QString::fromUtf8(process.readAllStandardError()), process.exitCode() };
}

// The worked example: one data set of three readings, 30.0 to 30.2 dB from 10:30:00 on
// 15 March 2007, then a second set of two readings at 5 s across a new year, FAST, C weighting,
// range 30-130. Written as a collection: lastAddress + 257 bytes.
QByteArray collection(int sets = 2)
{
    QByteArray memory(256, '\0');
    memory[10] = char(sets);
    memory += QByteArray::fromHex("A55A0007031510300000010000030200012C012D012E5AA5");
    if (sets == 2)
        memory += QByteArray::fromHex("A55A0008123123595900050000020D0003E805785AA5");
    const int lastAddress = int(memory.size()) - 1;
    memory[12] = char(lastAddress >> 8);
    memory[13] = char(lastAddress & 0xFF);
    memory.resize(lastAddress + 257, '\0');
    return memory;
}

const QString SetsOutput = QStringLiteral(
    "result\t0\n"
    "set\tstart\tinterval\tcount\tweighting\tresponse\trange\taverage\tmax_index\tmin_index\n"
    "1\t2007-03-15T10:30:00\t1\t3\tdBA\tSLOW\t30-90\t30.1\t2\t0\n"
    "2\t2008-12-31T23:59:59\t5\t2\tdBC\tFAST\t30-130\t120.0\t1\t0\n");

const QString ReadingsHeader = QStringLiteral("set\tindex\ttime\tlevel\n");
const QString Set1Readings = QStringLiteral("1\t0\t2007-03-15T10:30:00\t30.0\n"
                                            "1\t1\t2007-03-15T10:30:01\t30.1\n"
                                            "1\t2\t2007-03-15T10:30:02\t30.2\n");
const QString Set2Readings = QStringLiteral("2\t0\t2008-12-31T23:59:59\t100.0\n"
                                            "2\t1\t2009-01-01T00:00:04\t140.0\n");

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void output_data();
    void output();
    void failures_data();
    void failures();
    void unwrittenOutput_data();
    void unwrittenOutput();
    void namesAsGiven_data();
    void namesAsGiven();
    void help();
    void exportText_data();
    void exportText();
    void pictures_data();
    void pictures();
    void figures_data();
    void figures();
    void reports_data();
    void reports();
    void clockFigures_data();
    void clockFigures();
    void sameOutputInEveryLocale();
    void simulatedMetersMemory();

private:
    QString write(const QString &name, const QByteArray &bytes);
    // The arguments with every file name (a name with a dot) in the test's folder.
    QStringList inFolder(QStringList arguments) const;
    QTemporaryDir m_dir;
};

QString TestCli::write(const QString &name, const QByteArray &bytes)
{
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return file.fileName();
}

void TestCli::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(!write("survey.rec", collection()).isEmpty());
    QByteArray empty = collection(1);
    empty[10] = 0;
    QVERIFY(!write("empty.rec", empty).isEmpty());
    // A graph file with one point of 55.5 dB at 10:30:00.600, which the text rounds to 10:30:01.
    ChartModel chart;
    chart.setSubsets(1);
    chart.setPoints(1);
    chart.setX(0, 0, 39156.4375 + 0.6 / 86400.0);
    chart.setY(0, 0, 55.5f);
    QVERIFY(GraphFile::write(m_dir.filePath("graph.ghf"), ChartBlock::save(chart)).isEmpty());
    QVERIFY(QFile::link(m_dir.filePath("case.rec"), m_dir.filePath("link.pdf")));
    for (const char *pipe : { "pipe.rec", "pipe.ghf" })
        QCOMPARE(mkfifo(QFile::encodeName(m_dir.filePath(pipe)).constData(), 0600), 0);
}

QStringList TestCli::inFolder(QStringList arguments) const
{
    for (QString &argument : arguments)
        if (argument.contains('.') && !argument.startsWith('-'))
            argument = m_dir.filePath(argument);
    return arguments;
}

void TestCli::output_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("out");
    QTest::newRow("sets") << QStringList { "sets", "survey.rec" } << SetsOutput;
    QTest::newRow("readings") << QStringList { "readings", "survey.rec" }
                              << ReadingsHeader + Set1Readings + Set2Readings;
    QTest::newRow("readings --set 1")
        << QStringList { "readings", "survey.rec", "--set", "1" } << ReadingsHeader + Set1Readings;
    QTest::newRow("readings --set=2")
        << QStringList { "readings", "--set=2", "survey.rec" } << ReadingsHeader + Set2Readings;
}

void TestCli::output()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    arguments.replaceInStrings("survey.rec", m_dir.filePath("survey.rec"));
    const Run run = runCli(arguments);
    QCOMPARE(run.out, out);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
}

void TestCli::failures_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("errorContains");
    QTest::addColumn<bool>("usage");

    QByteArray noSets = collection(1);
    noSets[10] = 0;
    QByteArray tooMany = collection(1);
    tooMany[9] = char(0x0F);
    tooMany[10] = char(0xA1);
    QByteArray badMarker = collection(1);
    badMarker[256] = 0;
    const QString badMarkerSets = QStringLiteral(
        "result\t33\n"
        "set\tstart\tinterval\tcount\tweighting\tresponse\trange\taverage\tmax_index\tmin_index\n"
        "1\t2007-03-15T10:30:00\t1\t3\tdBA\tSLOW\t30-90\t30.1\t2\t0\n");

    QTest::newRow("no data set") << noSets << QStringList { "sets", "FILE" } << 3 << "result\t31\n"
                                 << "code 31" << false;
    QTest::newRow("more than 4000 sets")
        << tooMany << QStringList { "sets", "FILE" } << 3 << "result\t32\n"
        << "code 32" << false;
    QTest::newRow("readings, no data set")
        << noSets << QStringList { "readings", "FILE" } << 3 << ""
        << "code 31" << false;
    QTest::newRow("bad marker still decoded")
        << badMarker << QStringList { "sets", "FILE" } << 0 << badMarkerSets << "" << false;
    QTest::newRow("readings with a bad marker warn")
        << badMarker << QStringList { "readings", "FILE", "--set", "1" } << 0
        << ReadingsHeader + Set1Readings << "code 33" << false;
    QTest::newRow("13 bytes") << collection().left(13) << QStringList { "sets", "FILE" } << 2 << ""
                              << "too short" << false;
    QTest::newRow("empty file") << QByteArray() << QStringList { "readings", "FILE" } << 2 << ""
                                << "empty" << false;
    QTest::newRow("missing file") << QByteArray() << QStringList { "sets", "MISSING" } << 2 << ""
                                  << "Cannot open file" << false;
    QTest::newRow("no such set") << collection() << QStringList { "readings", "FILE", "--set", "3" }
                                 << 2 << ""
                                 << "no data set 3" << false;
    QTest::newRow("set 0") << collection() << QStringList { "readings", "FILE", "--set", "0" } << 2
                           << ""
                           << "--set" << false;
    QTest::newRow("set not a number")
        << collection() << QStringList { "readings", "FILE", "--set=x" } << 2 << ""
        << "--set" << false;
    QTest::newRow("--set without a number")
        << collection() << QStringList { "readings", "FILE", "--set" } << 2 << ""
        << "--set" << true;
    QTest::newRow("--set with sets")
        << collection() << QStringList { "sets", "FILE", "--set", "1" } << 2 << ""
        << "unknown option" << true;
    QTest::newRow("unknown command") << collection() << QStringList { "convert", "FILE" } << 2 << ""
                                     << "unknown command" << true;
    QTest::newRow("no file") << collection() << QStringList { "sets" } << 2 << ""
                             << "no file" << true;
    QTest::newRow("no arguments") << collection() << QStringList {} << 2 << ""
                                  << "no command" << true;
    QTest::newRow("export onto its input")
        << collection() << QStringList { "export", "FILE", "FILE" } << 2 << ""
        << "is the input file" << false;
    QTest::newRow("picture onto its input through a link")
        << collection() << QStringList { "picture", "FILE", "LINK" } << 2 << ""
        << "is the input file" << false;
    QTest::newRow("report onto its input through a link")
        << collection() << QStringList { "report", "FILE", "LINK" } << 2 << ""
        << "is the input file" << false;
    QTest::newRow("a pipe without a writer")
        << collection() << QStringList { "sets", "PIPE" } << 2 << ""
        << "pipe.rec\". It is not a regular file" << false;
    QTest::newRow("a graph file on a pipe")
        << collection() << QStringList { "figures", "PIPE.ghf" } << 2 << ""
        << "pipe.ghf\". It is not a regular file" << false;
}

void TestCli::failures()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, errorContains);
    QFETCH(bool, usage);
    const QString name = write(QStringLiteral("case.rec"), file);
    QVERIFY(!name.isEmpty());
    arguments.replaceInStrings("FILE", name);
    arguments.replaceInStrings("MISSING", m_dir.filePath("missing.rec"));
    arguments.replaceInStrings("LINK", m_dir.filePath("link.pdf"));
    arguments.replaceInStrings(QRegularExpression("^PIPE$"), m_dir.filePath("pipe.rec"));
    arguments.replaceInStrings("PIPE.ghf", m_dir.filePath("pipe.ghf"));

    QElapsedTimer timer;
    timer.start();
    const Run run = runCli(arguments);
    QVERIFY(timer.elapsed() < 10000); // a pipe without a writer is refused, not waited on
    QCOMPARE(run.status, status);
    QCOMPARE(run.out, out);
    QVERIFY2(run.err.contains(errorContains), qPrintable(run.err));
    if (!errorContains.isEmpty())
        QVERIFY(run.err.startsWith("audexa-cli: "));
    // A one-line reason, or the reason followed by the usage.
    QCOMPARE(run.err.contains("Usage:"), usage);
    if (!usage && !run.err.isEmpty())
        QCOMPARE(run.err.count('\n'), 1);
    // No command changes its input.
    QFile input(name);
    QVERIFY(input.open(QIODevice::ReadOnly));
    QCOMPARE(input.readAll(), file);
}

void TestCli::unwrittenOutput_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");

    // Standard output on a full device.
    for (const QStringList &arguments :
         { QStringList { "sets", "survey.rec" }, QStringList { "readings", "survey.rec" },
           QStringList { "export", "survey.rec", "-" }, QStringList { "figures", "survey.rec" },
           QStringList { "periods", "survey.rec", "--period", "60" },
           QStringList { "lden", "survey.rec" },
           QStringList { "exceed", "survey.rec", "--limit", "20" } })
        QTest::newRow(qPrintable(arguments.first() + " to a full standard output"))
            << arguments << "cannot write to standard output: No space left on device";
    // A disk that fills one byte before the file's end.
    for (const char *out : { "OUT.svg", "OUT.pdf", "OUT.png" })
        QTest::newRow(qPrintable(QString(out) + " on a disk that fills"))
            << QStringList { "picture", "marked.ghf", out, "--size", "400x300" }
            << "File too large";
    QTest::newRow("report on a disk that fills")
        << QStringList { "report", "marked.ghf", "OUT.pdf" } << "File too large";
    QTest::newRow("export on a disk that fills")
        << QStringList { "export", "survey.rec", "OUT.txt" } << "File too large";
}

// Output that did not reach its place is a failure with the system's reason; an earlier file
// of the same name stays as it was.
void TestCli::unwrittenOutput()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    ChartModel chart;
    chart.setSubsets(1);
    chart.setPoints(3);
    chart.setSeries(0, { 39156.4375, 39156.4376, 39156.4377 }, { 55.5f, 70.0f, 62.0f });
    QVERIFY(GraphFile::write(m_dir.filePath("marked.ghf"), ChartBlock::save(chart)).isEmpty());
    arguments = inFolder(arguments);
    const QString out = arguments.value(2);
    Hindrance hindrance;
    QByteArray earlier;
    if (out.contains("OUT")) {
        QFile::remove(out);
        QCOMPARE(runCli(arguments).status, 0);
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        earlier = file.readAll();
        hindrance.fileSizeLimit = earlier.size() - 1;
    } else {
        hindrance.fullStandardOutput = true;
    }

    const Run run = runCli(arguments, QStringLiteral("C.UTF-8"), hindrance);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(reason), qPrintable(run.err));
    if (!earlier.isEmpty()) {
        QVERIFY2(run.err.contains(QFileInfo(out).fileName()), qPrintable(run.err));
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), earlier);
    }
}

void TestCli::namesAsGiven_data()
{
    // Shell commands run in the test's folder, where $CLI is audexa-cli and $BAD and $OUT are
    // names that are not valid UTF-8 ($BAD a copy of survey.rec); what they print.
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("printed");
    QTest::newRow("sets") << "\"$CLI\" sets \"$BAD\"" << SetsOutput;
    QTest::newRow("export, and the same text under the name given")
        << "\"$CLI\" export \"$BAD\" plain.txt && \"$CLI\" export \"$BAD\" \"$OUT\" && "
           "cmp plain.txt \"$OUT\" && echo same"
        << "same\n";
    QTest::newRow("a picture under the name given")
        << "\"$CLI\" picture \"$BAD\" \"$OUT.svg\" && head -c 5 \"$OUT.svg\""
        << "<?xml";
    QTest::newRow("export onto its input under the name given")
        << "\"$CLI\" export \"$BAD\" \"$BAD\" 2>/dev/null; echo $?; cmp survey.rec \"$BAD\" && "
           "echo kept"
        << "2\nkept\n";
    QTest::newRow("a missing file is named as given")
        << "\"$CLI\" sets \"$OUT.rec\" 2>&1 | grep -c 'Cannot open file \"out\xEF\xBF\xBD.rec\"'"
        << "1\n";
}

// A name that is not valid UTF-8 reaches its file, as the system gives it.
void TestCli::namesAsGiven()
{
    QFETCH(QString, script);
    QFETCH(QString, printed);
    QProcess shell;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C.UTF-8");
    environment.insert("CLI", AUDEXA_CLI_PATH);
    shell.setProcessEnvironment(environment);
    shell.setWorkingDirectory(m_dir.path());
    shell.start("/bin/sh",
                { "-c",
                  "BAD=$(printf 'bad\\377name.rec'); OUT=$(printf 'out\\377'); "
                  "cp survey.rec \"$BAD\" && "
                      + script + "; rm -f \"$BAD\" \"$OUT\" \"$OUT.svg\"" });
    QVERIFY(shell.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(shell.readAllStandardOutput()), printed);
}

void TestCli::exportText_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("written"); // to OUT, or to standard output for "-"
    QTest::addColumn<QString>("errorContains");

    const QString us = QStringLiteral("en_US.UTF-8");
    const QString german = QStringLiteral("de_DE.UTF-8");
    const QByteArray set1Us = "3/15/07\t10:30:00 AM\t30.0\r\n3/15/07\t10:30:01 AM\t30.1\r\n"
                              "3/15/07\t10:30:02 AM\t30.2\r\n";
    QTest::newRow("en_US, set 1 to standard output")
        << QStringList { "export", "survey.rec", "-" } << us << 0 << set1Us << "";
    QTest::newRow("en_US, csv by extension in capitals")
        << QStringList { "export", "survey.rec", "OUT.CSV", "--set", "1" } << us << 0
        << QByteArray("3/15/07,10:30:00 AM,30.0\r\n3/15/07,10:30:01 AM,30.1\r\n"
                      "3/15/07,10:30:02 AM,30.2\r\n")
        << "";
    QTest::newRow("de_DE, set 2 across the new year")
        << QStringList { "export", "--set=2", "survey.rec", "OUT.txt" } << german << 0
        << QByteArray("31.12.08\t23:59:59\t100,0\r\n01.01.09\t00:00:04\t140,0\r\n") << "";
    QTest::newRow("graph file") << QStringList { "export", "graph.ghf", "-" } << german << 0
                                << QByteArray("15.03.07\t10:30:01\t55,5\r\n") << "";
    QTest::newRow("no such set") << QStringList { "export", "survey.rec", "-", "--set", "3" } << us
                                 << 2 << QByteArray() << "no data set 3";
    QTest::newRow("--set on a graph file")
        << QStringList { "export", "graph.ghf", "-", "--set", "1" } << us << 2 << QByteArray()
        << ".rec";
    QTest::newRow("refused collection")
        << QStringList { "export", "empty.rec", "-" } << us << 3 << QByteArray() << "code 31";
    QTest::newRow("unreadable input")
        << QStringList { "export", "missing.rec", "-" } << us << 2 << QByteArray() << "missing.rec";
    QTest::newRow("unwritable output")
        << QStringList { "export", "survey.rec", "no/such/folder/out.txt" } << us << 2
        << QByteArray() << "out.txt";
    QTest::newRow("de_DE refuses commas") << QStringList { "export", "survey.rec", "OUT.csv" }
                                          << german << 2 << QByteArray() << "comma";
    QTest::newRow("--set without its number")
        << QStringList { "export", "survey.rec", "-", "--set" } << us << 2 << QByteArray()
        << "--set needs";
    QTest::newRow("output missing") << QStringList { "export", "survey.rec" } << us << 2
                                    << QByteArray() << "an input and an output";
}

void TestCli::exportText()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, locale);
    QFETCH(int, status);
    QFETCH(QByteArray, written);
    QFETCH(QString, errorContains);

    QFile::remove(m_dir.filePath("OUT.CSV"));
    QFile::remove(m_dir.filePath("OUT.txt"));
    QFile::remove(m_dir.filePath("OUT.csv"));
    arguments = inFolder(arguments);

    const Run run = runCli(arguments, locale);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(errorContains), qPrintable(run.err));
    QCOMPARE(run.err.count('\n'), status == 0 ? 0 : 1);
    if (arguments.contains("-")) {
        QCOMPARE(run.out.toUtf8(), written);
    } else if (status == 0) {
        QFile file(arguments.filter(QRegularExpression("OUT")).constFirst());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), written);
    }
}

void TestCli::pictures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("starts"); // how the file begins
    QTest::addColumn<QSize>("size"); // of a PNG
    QTest::addColumn<QString>("errorContains");

    QTest::newRow("set 2 as PNG") << QStringList { "picture", "survey.rec", "OUT.png", "--set",
                                                   "2",       "--size",     "640x360" }
                                  << 0 << QByteArray("\x89PNG") << QSize(640, 360) << "";
    QTest::newRow("default size") << QStringList { "picture", "survey.rec", "OUT.PNG" } << 0
                                  << QByteArray("\x89PNG") << QSize(1600, 900) << "";
    QTest::newRow("graph file as SVG")
        << QStringList { "picture", "marked.ghf", "OUT.svg", "--size=800x450" } << 0
        << QByteArray("<?xml") << QSize() << "";
    QTest::newRow("graph file as PDF") << QStringList { "picture", "marked.ghf", "OUT.pdf" } << 0
                                       << QByteArray("%PDF") << QSize() << "";
    QTest::newRow("bad size") << QStringList { "picture", "survey.rec", "OUT.png", "--size", "0x9" }
                              << 2 << QByteArray() << QSize() << "--size needs";
    QTest::newRow("other type") << QStringList { "picture", "survey.rec", "OUT.bmp" } << 2
                                << QByteArray() << QSize() << ".png";
    QTest::newRow("--size is for pictures")
        << QStringList { "export", "survey.rec", "-", "--size", "9x9" } << 2 << QByteArray()
        << QSize() << "unknown option";
}

// audexa-cli picture draws without a display: the chart's picture in the type its name asks.
void TestCli::pictures()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, starts);
    QFETCH(QSize, size);
    QFETCH(QString, errorContains);
    ChartModel chart;
    chart.setSubsets(1);
    chart.setPoints(3);
    chart.setSeries(0, { 39156.4375, 39156.4376, 39156.4377 }, { 55.5f, 70.0f, 62.0f });
    chart.annotations[5] = { 39156.4376, 70.0, 2, {}, Qt::black };
    chart.annotations[6] = { 39156.4376, 60.0, 0, QStringLiteral("lorry"), Qt::black };
    QVERIFY(GraphFile::write(m_dir.filePath("marked.ghf"), ChartBlock::save(chart)).isEmpty());
    arguments = inFolder(arguments);
    const QString out = arguments.at(2);
    QFile::remove(out);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(AUDEXA_CLI_PATH), arguments);
    QVERIFY(process.waitForFinished(30000));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitCode(), status);
    QVERIFY2(err.contains(errorContains), qPrintable(err));
    QFile file(out);
    if (starts.isEmpty()) {
        QVERIFY(!file.exists());
        return;
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith(starts));
    if (size.isValid()) {
        const QImage image = QImage::fromData(bytes, "PNG");
        QCOMPARE(image.size(), size);
        // Drawn, not blank: the level line, axes and texts leave dark pixels.
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 100;
        QVERIFY2(dark > 500, qPrintable(QString::number(dark)));
    }
}

void TestCli::reports_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>(
        "texts"); // in the one-page report, blanks made one; none: no file
    QTest::addColumn<QString>("errorContains");

    QTest::newRow("graph file: its title, figures between its cursors")
        << QStringList { "report", "gate.ghf", "OUT.pdf" } << 0
        << QStringList { "Night at the gate", "Leq (dB) 66.0 67.1",
                         "Cursor A: 55.5 dB at 3/15/07 10:30:00 AM", "lorry" }
        << "";
    QTest::newRow("--title") << QStringList { "report", "gate.ghf", "OUT.pdf", "--title=Gate 2" }
                             << 0 << QStringList { "Gate 2" } << "";
    QTest::newRow("collection: the file's name, cursors at a third and two thirds as shown")
        << QStringList { "report", "survey.rec", "OUT.pdf", "--set", "2" } << 0
        << QStringList { "survey.rec", "Data set 2 of the meter's memory", "Lmax (dB) 140.0 140.0",
                         "Cursor A: 100.0 dB at 12/31/08 11:59:59 PM",
                         "Cursor B: 140.0 dB at 1/1/09 12:00:04 AM" }
        << "";
    QTest::newRow("missing input") << QStringList { "report", "missing.ghf", "OUT.pdf" } << 2
                                   << QStringList {} << "missing.ghf";
    QTest::newRow("unwritable output")
        << QStringList { "report", "gate.ghf", "no/such/folder/out.pdf" } << 2 << QStringList {}
        << "out.pdf";
    QTest::newRow("not a PDF") << QStringList { "report", "gate.ghf", "OUT.png" } << 2
                               << QStringList {} << ".pdf";
    QTest::newRow("nothing decoded")
        << QStringList { "report", "empty.rec", "OUT.pdf" } << 3 << QStringList {} << "code 31";
    QTest::newRow("--title without its title")
        << QStringList { "report", "gate.ghf", "OUT.pdf", "--title" } << 2 << QStringList {}
        << "--title needs";
    QTest::newRow("--title is for reports")
        << QStringList { "export", "gate.ghf", "-", "--title", "x" } << 2 << QStringList {}
        << "unknown option";
}

// audexa-cli report writes without a display, in the environment's locale (en_US here).
void TestCli::reports()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QStringList, texts);
    QFETCH(QString, errorContains);
    ChartModel chart;
    chart.setSubsets(1);
    chart.setPoints(3);
    chart.setSeries(0, { 39156.4375, 39156.4375 + 1 / 86400.0, 39156.4375 + 2 / 86400.0 },
                    { 55.5f, 70.0f, 62.0f });
    chart.mainTitle = QStringLiteral("Night at the gate");
    chart.verticalLines
        = { VerticalLine { chart.x(0, 0), {} }, VerticalLine { chart.x(0, 1), {} } };
    chart.annotations[3] = { chart.x(0, 1), 60.0, 0, QStringLiteral("lorry"), Qt::black };
    QVERIFY(GraphFile::write(m_dir.filePath("gate.ghf"), ChartBlock::save(chart)).isEmpty());
    arguments = inFolder(arguments);
    const QString out = m_dir.filePath("OUT.pdf");
    QFile::remove(out);

    const Run run = runCli(arguments, QStringLiteral("en_US.UTF-8"));
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(errorContains), qPrintable(run.err));
    QCOMPARE(QFile::exists(out), !texts.isEmpty());
    if (texts.isEmpty())
        return;
    QProcess info;
    info.start("pdfinfo", { out });
    QVERIFY(info.waitForFinished(30000));
    QVERIFY(QString::fromUtf8(info.readAllStandardOutput())
                .contains(QRegularExpression("Pages:\\s+1\n")));
    QProcess text;
    text.start("pdftotext", { "-layout", out, "-" });
    QVERIFY(text.waitForFinished(30000));
    const QString read = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    for (const QString &part : texts)
        QVERIFY2(read.contains(part), qPrintable(part + " not in: " + read));
}

void TestCli::help()
{
    const Run run = runCli({ "--help" });
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QString());
    QVERIFY(run.out.startsWith("Usage: audexa-cli sets FILE.rec\n"));
    for (const char *part : { "readings FILE.rec [--set N]",
                              "set start interval count weighting response range average max_index "
                              "min_index",
                              "set index time level", "codes 0, 33, 34 and 35", "  2  ", "  3  ",
                              "shorter than\n     14 bytes" })
        QVERIFY2(run.out.contains(QLatin1String(part)), part);
    QCOMPARE(runCli({ "sets", "x.rec", "--help" }).out, run.out);
}

void TestCli::sameOutputInEveryLocale()
{
    const QString file = m_dir.filePath("survey.rec");
    for (const QStringList &arguments :
         { QStringList { "sets", file }, QStringList { "readings", file } }) {
        const Run c = runCli(arguments);
        const Run german = runCli(arguments, QStringLiteral("de_DE.UTF-8"));
        QCOMPARE(german.status, 0);
        QCOMPARE(german.out, c.out);
        QVERIFY(!german.out.contains(','));
    }
}

void TestCli::simulatedMetersMemory()
{
    SimulatedLoggerMemory memory;
    memory.seed(7);
    const QString file
        = write(QStringLiteral("seeded.rec"), memory.bytes().left(memory.lastAddress() + 257));
    const Run sets = runCli({ "sets", file });
    QCOMPARE(sets.status, 0);
    const QStringList lines = sets.out.split('\n', Qt::SkipEmptyParts);
    const QList<SimulatedLoggerMemory::SeededSet> seeded = SimulatedLoggerMemory::seededSets();
    QCOMPARE(lines.size(), seeded.size() + 2);
    QCOMPARE(lines[0], QString("result\t0"));
    int readings = 0;
    const QStringList ranges { "30-90", "50-110", "70-130", "30-130" };
    for (int i = 0; i < seeded.size(); ++i) {
        const SimulatedLoggerMemory::SeededSet &set = seeded[i];
        const QStringList fields = lines[i + 2].split('\t');
        QCOMPARE(fields.size(), 10);
        QCOMPARE(fields.mid(0, 7),
                 (QStringList { QString::number(i + 1), set.start.toString("yyyy-MM-ddTHH:mm:ss"),
                                QString::number(set.interval), QString::number(set.count),
                                set.flags & 2 ? "dBA" : "dBC", set.flags & 1 ? "FAST" : "SLOW",
                                ranges[(set.flags >> 2) & 3] }));
        readings += set.count;
    }
    const Run all = runCli({ "readings", file });
    QCOMPARE(all.status, 0);
    QCOMPARE(all.out.count('\n'), readings + 1);
}

void TestCli::figures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("errorContains");

    QTest::newRow("set 2, in a comma locale still with points")
        << QStringList { "figures", "survey.rec", "--set", "2" } << 0
        << "N\t2\nT\t10\nLeq\t137.0\nLmax\t140.0\nLmin\t100.0\nL5\t140.0\nL10\t140.0\n"
           "L50\t100.0\nL90\t100.0\nL95\t100.0\nSEL\t147.0\n"
        << "";
    QTest::newRow("point 2 of set 1 alone")
        << QStringList { "figures", "survey.rec", "--from", "2", "--to=2" } << 0
        << "N\t1\nT\t1\nLeq\t30.1\nLmax\t30.1\nLmin\t30.1\nL5\t30.1\nL10\t30.1\n"
           "L50\t30.1\nL90\t30.1\nL95\t30.1\nSEL\t30.1\n"
        << "";
    QTest::newRow("one point has no interval: no T, no SEL")
        << QStringList { "figures", "graph.ghf" } << 0
        << "N\t1\nT\t\nLeq\t55.5\nLmax\t55.5\nLmin\t55.5\nL5\t55.5\nL10\t55.5\n"
           "L50\t55.5\nL90\t55.5\nL95\t55.5\nSEL\t\n"
        << "";
    QTest::newRow("--to beyond the last point")
        << QStringList { "figures", "survey.rec", "--to", "4" } << 2 << ""
        << "beyond";
    QTest::newRow("--from after --to")
        << QStringList { "figures", "survey.rec", "--from", "3", "--to", "2" } << 2 << ""
        << "after";
    QTest::newRow("--from 0") << QStringList { "figures", "survey.rec", "--from", "0" } << 2 << ""
                              << "from 1";
    QTest::newRow("refused collection") << QStringList { "figures", "empty.rec" } << 3 << ""
                                        << "code 31";
    QTest::newRow("missing file") << QStringList { "figures", "missing.rec" } << 2 << ""
                                  << "missing.rec";
    QTest::newRow("two files") << QStringList { "figures", "survey.rec", "graph.ghf" } << 2 << ""
                               << "one input file";
}

// "figures" prints every figure by name in a fixed order and format, whatever the locale.
void TestCli::figures()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, errorContains);
    const Run run = runCli(inFolder(arguments), QStringLiteral("de_DE.UTF-8"));
    QCOMPARE(run.status, status);
    QCOMPARE(run.out, out);
    QVERIFY2(run.err.contains(errorContains), qPrintable(run.err));
}

void TestCli::clockFigures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("errorContains");

    QTest::newRow("periods of a minute")
        << QStringList { "periods", "survey.rec", "--period", "60" } << 0
        << "2007-03-15T10:30:00\t3\t30.1\t30.2\t30.2\t30.0\n"
        << "";
    QTest::newRow("periods across a new year, the empty ones listed")
        << QStringList { "periods", "survey.rec", "--set", "2", "--period=2" } << 0
        << "2008-12-31T23:59:58\t1\t100.0\t100.0\t100.0\t100.0\n"
           "2009-01-01T00:00:00\t0\t\t\t\t\n2009-01-01T00:00:02\t0\t\t\t\t\n"
           "2009-01-01T00:00:04\t1\t140.0\t140.0\t140.0\t140.0\n"
        << "";
    QTest::newRow("lden, a day part alone")
        << QStringList { "lden", "survey.rec" } << 0 << "2007-03-15\t30.1\t\t\t\n"
        << "";
    QTest::newRow("lden, a night across a new year on the day it starts")
        << QStringList { "lden", "survey.rec", "--set", "2" } << 0 << "2008-12-31\t\t\t137.0\t\n"
        << "";
    QTest::newRow("exceed, whole seconds of a data set")
        << QStringList { "exceed", "survey.rec", "--set", "2", "--limit", "120" } << 0
        << "2009-01-01T00:00:04\t5\t140.0\t140.0\ntotal\t1\t5\n"
        << "";
    QTest::newRow("exceed, half seconds of a graph, a null point ends a run")
        << QStringList { "exceed", "halves.ghf", "--limit=70" } << 0
        << "2007-03-15T10:30:00\t0.5\t80.0\t80.0\n"
           "2007-03-15T10:30:01\t1.0\t86.0\t85.5\ntotal\t2\t1.5\n"
        << "";
    QTest::newRow("period missing") << QStringList { "periods", "survey.rec" } << 2 << ""
                                    << "--period needs whole seconds";
    QTest::newRow("period of a day and a second")
        << QStringList { "periods", "survey.rec", "--period", "86401" } << 2 << ""
        << "not \"86401\"";
    QTest::newRow("limit not a number")
        << QStringList { "exceed", "survey.rec", "--limit", "loud" } << 2 << ""
        << "--limit needs";
    QTest::newRow("--limit is for exceed")
        << QStringList { "lden", "survey.rec", "--limit", "60" } << 2 << ""
        << "unknown option";
    QTest::newRow("refused collection") << QStringList { "lden", "empty.rec" } << 3 << ""
                                        << "code 31";
}

// periods, lden and exceed print header-less lines with points, whatever the locale.
void TestCli::clockFigures()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, errorContains);
    // Half a second apart from 10:30:00: 80, null, 85, 86, 60 dB.
    ChartModel chart;
    chart.setSubsets(1);
    chart.setPoints(5);
    const double second = 1.0 / 86400.0;
    chart.setSeries(0,
                    { 39156.4375, 39156.4375 + 0.5 * second, 39156.4375 + second,
                      39156.4375 + 1.5 * second, 39156.4375 + 2 * second },
                    { 80.0f, 9999.0f, 85.0f, 86.0f, 60.0f });
    QVERIFY(GraphFile::write(m_dir.filePath("halves.ghf"), ChartBlock::save(chart)).isEmpty());
    QByteArray empty = collection(1);
    empty[10] = 0;
    QVERIFY(!write("empty.rec", empty).isEmpty());
    for (QString &argument : arguments)
        if (argument.contains('.') && !argument.startsWith('-'))
            argument = m_dir.filePath(argument);

    const Run run = runCli(arguments, QStringLiteral("de_DE.UTF-8"));
    QCOMPARE(run.status, status);
    QCOMPARE(run.out, out);
    QVERIFY2(run.err.contains(errorContains), qPrintable(run.err));
    QCOMPARE(run.err.isEmpty(), errorContains.isEmpty());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
