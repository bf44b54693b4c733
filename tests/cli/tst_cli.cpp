// audexa-cli as a user runs it: the built program on collection files written to a temporary
// folder, its exact output, exit status and error lines, in the C and a German locale.

#include "tst_cli.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

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
    // A spreadsheet's semicolon CSV: 60 and 70 dB a second apart around a null point.
    QVERIFY(!write("sheet.csv",
                   "\"time\";\"level_dB\"\n\"2026-12-08T21:05:07+01:00\";\"60,0\"\n"
                   "\"2026-12-08T21:05:08+01:00\";\"\"\n"
                   "\"2026-12-08T21:05:09+01:00\";\"70,0\"\n")
                 .isEmpty());
    // A graph file with one point of 55.5 dB at 10:30:00.600, which the text rounds to 10:30:01.
    ChartModel chart;
    chart.setSubsets(1);
    chart.setPoints(1);
    chart.setX(0, 0, 39156.4375 + 0.6 / 86400.0);
    chart.setY(0, 0, 55.5f);
    QVERIFY(GraphFile::write(m_dir.filePath("graph.ghf"), ChartBlock::save(chart)).isEmpty());
    // 60, 70, 80, 90 dB a second apart: points 3 and 4 Specific, 1 to 3 Residual, 4 Excluded.
    chart.setPoints(4);
    const double second = 1.0 / 86400.0;
    const auto at = [&](int point) {
        return 39156.4375 + point * second;
    };
    chart.setSeries(0, { at(0), at(1), at(2), at(3) }, { 60.0f, 70.0f, 80.0f, 90.0f });
    chart.exclusions = { { at(2), at(3), "lorry", IntervalCategory::Specific },
                         { at(0), at(2), "quiet", IntervalCategory::Residual },
                         { at(3), at(3), "horn" } };
    QVERIFY(GraphFile::write(m_dir.filePath("categories.ghf"), ChartBlock::save(chart)).isEmpty());
    // A reading of 0 and a null point in winter, a point in summer; 1 s apart but the last.
    chart.exclusions.clear();
    chart.setPoints(4);
    chart.setSeries(0, { at(0), at(1), at(2), 39264.5 }, { 0.0f, 9999.0f, 45.0f, 61.2f });
    QVERIFY(GraphFile::write(m_dir.filePath("nulls.ghf"), ChartBlock::save(chart)).isEmpty());
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
    QTest::newRow("a text file has no data sets")
        << collection() << QStringList { "readings", "table.CSV" } << 2 << ""
        << "\"table.CSV\" is a text file, not a collection of data sets" << false;
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
        // The disk fills half way: a report's size differs by a few bytes from run to run
        // (the time it was made), so one byte short of the first run's could still fit.
        hindrance.fileSizeLimit = earlier.size() / 2;
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

QTEST_GUILESS_MAIN(TestCli)
