// What audexa-cli exports from a collection: text files, pictures, reports, and the figures of a
// set and of clock intervals.

#include "tst_cli.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>

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
    const QByteArray header = "# Source: File: DIR/nulls.ghf\n# Weighting and response: not known\n"
                              "# Interval: 1 s\n# Time zone: Europe/Berlin\n# Program: Audexa V\n"
                              "time,level_dB\n";
    QTest::newRow("with header: 0.0, a null point's empty level, summer's offset")
        << QStringList { "export", "nulls.ghf", "-", "--with-header" } << german << 0
        << header + "2007-03-15T10:30:00+01:00,0.0\n2007-03-15T10:30:01+01:00,\n"
                    "2007-03-15T10:30:02+01:00,45.0\n2007-07-01T12:00:00+02:00,61.2\n"
        << "";
    QTest::newRow("with header to a .csv in a comma locale")
        << QStringList { "export", "nulls.ghf", "OUT.csv", "--with-header" } << german << 0
        << header + "2007-03-15T10:30:00+01:00,0.0\n2007-03-15T10:30:01+01:00,\n"
                    "2007-03-15T10:30:02+01:00,45.0\n2007-07-01T12:00:00+02:00,61.2\n"
        << "";
    QTest::newRow("--with-header is export's alone")
        << QStringList { "figures", "nulls.ghf", "--with-header" } << us << 2 << QByteArray()
        << "unknown option";
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
    // The folder and the program's version as the expected text writes them.
    const auto general = [this](QByteArray text) {
        text.replace(m_dir.path().toUtf8(), "DIR");
        const QByteArray program = "# Program: Audexa ";
        if (const qsizetype at = text.indexOf(program); at >= 0)
            text.replace(at + program.size(), text.indexOf('\n', at) - at - program.size(), "V");
        return text;
    };
    if (arguments.contains("-")) {
        QCOMPARE(general(run.out.toUtf8()), written);
    } else if (status == 0) {
        QFile file(arguments.filter(QRegularExpression("OUT")).constFirst());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(general(file.readAll()), written);
    }
}

void TestCli::workbook_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<qint64>("fileSizeLimit"); // bytes, 0 for none
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("errorContains");

    QTest::newRow("a data set") << QStringList { "workbook", "survey.rec", "OUT.xlsx", "--set", "2" }
                                << qint64(0) << 0 << "";
    QTest::newRow("period and hours told")
        << QStringList { "workbook", "categories.ghf", "OUT.xlsx", "--period=60", "--hours",
                         "07-22" }
        << qint64(0) << 0 << "";
    QTest::newRow("a bad period") << QStringList { "workbook", "nulls.ghf", "OUT.xlsx", "--period",
                                                   "0" }
                                  << qint64(0) << 2 << "--period needs";
    QTest::newRow("bad hours") << QStringList { "workbook", "nulls.ghf", "OUT.xlsx", "--hours", "8" }
                               << qint64(0) << 2 << "--hours needs";
    QTest::newRow("not an .xlsx") << QStringList { "workbook", "nulls.ghf", "OUT.csv" } << qint64(0)
                                  << 2 << "\".xlsx\"";
    QTest::newRow("--limit is not the workbook's")
        << QStringList { "workbook", "nulls.ghf", "OUT.xlsx", "--limit", "60" } << qint64(0) << 2
        << "unknown option";
    QTest::newRow("a full disk keeps the old file and names it")
        << QStringList { "workbook", "categories.ghf", "OUT.xlsx" } << qint64(2048) << 2
        << "Cannot write file \"DIR/OUT.xlsx\"";
}

void TestCli::workbook()
{
    QFETCH(QStringList, arguments);
    QFETCH(qint64, fileSizeLimit);
    QFETCH(int, status);
    QFETCH(QString, errorContains);
    const QByteArray old = "an earlier file";
    QVERIFY(!write("OUT.xlsx", old).isEmpty());

    const Run run = runCli(inFolder(arguments), QStringLiteral("en_US.UTF-8"),
                           { false, fileSizeLimit });
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(QString(errorContains).replace("DIR", m_dir.path())),
             qPrintable(run.err));
    QFile file(m_dir.filePath("OUT.xlsx"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(4), status == 0 ? QByteArray("PK\x03\x04") : old.left(4));
    // No file of the attempt is left beside it.
    QCOMPARE(QDir(m_dir.path()).entryList({ ".OUT*" }, QDir::Files | QDir::Hidden), QStringList());
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
    QTest::addColumn<QStringList>("texts"); // in the report, blanks made one; none: no file
    QTest::addColumn<QString>("errorContains");
    QTest::addColumn<QStringList>("absent");

    QTest::newRow("graph file: its title, figures between its cursors")
        << QStringList { "report", "gate.ghf", "OUT.pdf" } << 0
        << QStringList { "Night at the gate", "Leq (dB) 66.0 67.1",
                         "Cursor A: 55.5 dB at 3/15/07 10:30:00 AM", "lorry" }
        << "" << QStringList {};
    QTest::newRow("--title") << QStringList { "report", "gate.ghf", "OUT.pdf", "--title=Gate 2" }
                             << 0 << QStringList { "Gate 2" } << "" << QStringList {};
    QTest::newRow("collection: the file's name, cursors at a third and two thirds as shown")
        << QStringList { "report", "survey.rec", "OUT.pdf", "--set", "2" } << 0
        << QStringList { "survey.rec", "Data set 2 of the meter's memory", "Lmax (dB) 140.0 140.0",
                         "Cursor A: 100.0 dB at 12/31/08 11:59:59 PM",
                         "Cursor B: 140.0 dB at 1/1/09 12:00:04 AM" }
        << "" << QStringList {};
    QTest::newRow("missing input") << QStringList { "report", "missing.ghf", "OUT.pdf" } << 2
                                   << QStringList {} << "missing.ghf" << QStringList {};
    QTest::newRow("unwritable output")
        << QStringList { "report", "gate.ghf", "no/such/folder/out.pdf" } << 2 << QStringList {}
        << "out.pdf" << QStringList {};
    QTest::newRow("not a PDF or an OpenDocument text")
        << QStringList { "report", "gate.ghf", "OUT.png" } << 2 << QStringList {} << ".odt"
        << QStringList {};
    QTest::newRow("--limit and --period")
        << QStringList { "report", "gate.ghf", "OUT.pdf", "--limit", "60", "--period=60" } << 0
        << QStringList { "Limit 60.0 dB", "Exceedances: 1, 2 s above the limit in all",
                         "Periods of 1 minute", "Exceedances of Limit 60.0 dB" }
        << "" << QStringList {};
    QTest::newRow("--sections: those alone")
        << QStringList { "report", "gate.ghf", "OUT.pdf", "--sections", "Figures, annotations" }
        << 0 << QStringList { "Acoustic figures", "lorry" } << ""
        << QStringList { "Periods of", "Method", "Compliance" };
    QTest::newRow("--sections with an unknown name")
        << QStringList { "report", "gate.ghf", "OUT.pdf", "--sections", "figures,charts" } << 2
        << QStringList {} << "\"charts\" is not a section" << QStringList {};
    QTest::newRow("--period out of range")
        << QStringList { "report", "gate.ghf", "OUT.pdf", "--period", "0" } << 2 << QStringList {}
        << "--period needs" << QStringList {};
    QTest::newRow("an OpenDocument text") << QStringList { "report", "gate.ghf", "OUT.odt" } << 0
                                          << QStringList { "odt" } << "" << QStringList {};
    QTest::newRow("nothing decoded") << QStringList { "report", "empty.rec", "OUT.pdf" } << 3
                                     << QStringList {} << "code 31" << QStringList {};
    QTest::newRow("--title without its title")
        << QStringList { "report", "gate.ghf", "OUT.pdf", "--title" } << 2 << QStringList {}
        << "--title needs" << QStringList {};
    QTest::newRow("--title is for reports")
        << QStringList { "export", "gate.ghf", "-", "--title", "x" } << 2 << QStringList {}
        << "unknown option" << QStringList {};
}

// audexa-cli report writes without a display, in the environment's locale (en_US here).
void TestCli::reports()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QStringList, texts);
    QFETCH(QString, errorContains);
    QFETCH(QStringList, absent);
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
    const QString out = m_dir.filePath(arguments.value(2).endsWith(".odt") ? "OUT.odt" : "OUT.pdf");
    arguments = inFolder(arguments);
    QFile::remove(out);

    const Run run = runCli(arguments, QStringLiteral("en_US.UTF-8"));
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(errorContains), qPrintable(run.err));
    QCOMPARE(QFile::exists(out), !texts.isEmpty());
    if (texts.isEmpty())
        return;
    if (out.endsWith(".odt")) {
        QFile odt(out);
        QVERIFY(odt.open(QIODevice::ReadOnly));
        QVERIFY(odt.read(100).contains("application/vnd.oasis.opendocument.text"));
        return;
    }
    QProcess text;
    text.start("pdftotext", { "-layout", out, "-" });
    QVERIFY(text.waitForFinished(30000));
    const QString read = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    for (const QString &part : texts)
        QVERIFY2(read.contains(part), qPrintable(part + " not in: " + read));
    for (const QString &part : absent)
        QVERIFY2(!read.contains(part), qPrintable(part + " in: " + read));
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
    QTest::newRow("--category specific: a point also residual is specific, excluded none")
        << QStringList { "figures", "categories.ghf", "--category", "specific" } << 0
        << "N\t1\nT\t1\nLeq\t80.0\nLmax\t80.0\nLmin\t80.0\nL5\t80.0\nL10\t80.0\n"
           "L50\t80.0\nL90\t80.0\nL95\t80.0\nSEL\t80.0\n"
        << "";
    QTest::newRow("--category=residual")
        << QStringList { "figures", "categories.ghf", "--category=residual" } << 0
        << "N\t2\nT\t2\nLeq\t67.4\nLmax\t70.0\nLmin\t60.0\nL5\t70.0\nL10\t70.0\n"
           "L50\t60.0\nL90\t60.0\nL95\t60.0\nSEL\t70.4\n"
        << "";
    QTest::newRow("without --category: the whole graph but the excluded point")
        << QStringList { "figures", "categories.ghf" } << 0
        << "N\t3\nT\t3\nLeq\t75.7\nLmax\t80.0\nLmin\t60.0\nL5\t80.0\nL10\t80.0\n"
           "L50\t70.0\nL90\t60.0\nL95\t60.0\nSEL\t80.5\n"
        << "";
    QTest::newRow("a spreadsheet's CSV, its null point left out")
        << QStringList { "figures", "sheet.csv" } << 0
        << "N\t2\nT\t2\nLeq\t67.4\nLmax\t70.0\nLmin\t60.0\nL5\t70.0\nL10\t70.0\n"
           "L50\t60.0\nL90\t60.0\nL95\t60.0\nSEL\t70.4\n"
        << "";
    QTest::newRow("--category without such intervals: no point")
        << QStringList { "figures", "graph.ghf", "--category", "Specific" } << 0
        << "N\t0\nT\t\nLeq\t\nLmax\t\nLmin\t\nL5\t\nL10\t\nL50\t\nL90\t\nL95\t\nSEL\t\n"
        << "";
    QTest::newRow("--method: the method after a blank line")
        << QStringList { "figures", "survey.rec", "--set", "2", "--method" } << 0
        << "N\t2\nT\t10\nLeq\t137.0\nLmax\t140.0\nLmin\t100.0\nL5\t140.0\nL10\t140.0\n"
           "L50\t100.0\nL90\t100.0\nL95\t100.0\nSEL\t147.0\n\ndt: 5 s, the data set's interval.\n"
           "Weighting and response: dBC FAST.\n"
           "Leq: the energy mean of the valid points, 10 log10 of the mean of 10^(L/10).\n"
           "Ln: the level exceeded for n % of the valid points, the nearest-rank level of the "
           "levels sorted (k = ceil((100 - n) N / 100)), without interpolation, to 0.1 dB.\n"
           "Periods: a point belongs to the period with start <= t < start + P on the clock "
           "times the data hold; no daylight-saving correction is made.\n"
           "Lden: day 07-19 h, evening 19-23 h (+5 dB), night 23-07 h (+10 dB), the night on "
           "the day it starts; the energy mean over 24 h of 12 Lday, 4 (Levening + 5), 8 "
           "(Lnight + 10) hours.\n"
           "Coverage: min(P, N dt) / P of each period; below 50 % flagged, as are L5 and L95 "
           "from fewer than 20 points and L10 and L90 from fewer than 10.\n"
           "Points: 2 in all, 2 valid; left out: not recorded 0, readings of 0 (out of range) 0, "
           "in excluded intervals 0.\n"
        << "";
    QTest::newRow("--category excluded")
        << QStringList { "figures", "categories.ghf", "--category", "excluded" } << 2 << ""
        << "--category needs specific or residual, not \"excluded\"";
    QTest::newRow("--category with --to")
        << QStringList { "figures", "categories.ghf", "--category", "residual", "--to", "2" } << 2
        << ""
        << "does not go with --from or --to";
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
        << "2007-03-15T10:30:00\t3\t30.1\t30.2\t30.2\t30.0\t5.0\n"
        << "";
    // One point 5 s long covers the whole of a 2-second period.
    QTest::newRow("periods across a new year, the empty ones listed")
        << QStringList { "periods", "survey.rec", "--set", "2", "--period=2" } << 0
        << "2008-12-31T23:59:58\t1\t100.0\t100.0\t100.0\t100.0\t100.0\n"
           "2009-01-01T00:00:00\t0\t\t\t\t\t0.0\n2009-01-01T00:00:02\t0\t\t\t\t\t0.0\n"
           "2009-01-01T00:00:04\t1\t140.0\t140.0\t140.0\t140.0\t100.0\n"
        << "";
    // dt is the graph's spacing, 0.5 s: 3 and 1 valid points of 2 s.
    QTest::newRow("periods of a graph, coverage from its spacing")
        << QStringList { "periods", "halves.ghf", "--period", "2" } << 0
        << "2007-03-15T10:30:00\t3\t84.3\t86.0\t86.0\t80.0\t75.0\n"
           "2007-03-15T10:30:02\t1\t60.0\t60.0\t60.0\t60.0\t25.0\n"
        << "";
    QTest::newRow("lden, a day part alone")
        << QStringList { "lden", "survey.rec" } << 0 << "2007-03-15\t30.1\t\t\t\t0.0\t0.0\t0.0\n"
        << "";
    QTest::newRow("lden, a night across a new year on the day it starts")
        << QStringList { "lden", "survey.rec", "--set", "2" } << 0
        << "2008-12-31\t\t\t137.0\t\t0.0\t0.0\t0.0\n"
        << "";
    // 18:00 to 21:00 an hour apart: with 06-18-22 all four hours of the evening, none of the day.
    QTest::newRow("lden, 06-18-22 moves the evening")
        << QStringList { "lden", "evening.ghf", "--hours", "06-18-22" } << 0
        << "2007-03-15\t\t60.0\t\t\t0.0\t100.0\t0.0\n"
        << "";
    QTest::newRow("ldn, no evening") << QStringList { "lden", "survey.rec", "--hours=07-22" } << 0
                                     << "2007-03-15\t30.1\t\t\t\t0.0\t\t0.0\n"
                                     << "";
    QTest::newRow("hours not a preset")
        << QStringList { "lden", "survey.rec", "--hours", "07-20" } << 2 << ""
        << "--hours needs 07-19-23, 06-18-22, 06-20-22 or 07-22, not \"07-20\"";
    QTest::newRow("exceed, whole seconds of a data set")
        << QStringList { "exceed", "survey.rec", "--set", "2", "--limit", "120" } << 0
        << "2009-01-01T00:00:04\t5\t140.0\t140.0\ntotal\t1\t5\n"
        << "";
    QTest::newRow("exceed, half seconds of a graph, a null point ends a run")
        << QStringList { "exceed", "halves.ghf", "--limit=70" } << 0
        << "2007-03-15T10:30:00\t0.5\t80.0\t80.0\n"
           "2007-03-15T10:30:01\t1.0\t86.0\t85.5\ntotal\t2\t1.5\n"
        << "";
    QTest::newRow("distribution in 5 dB classes, the null point left out")
        << QStringList { "distribution", "halves.ghf", "--class", "5" } << 0
        << "60.0\t1\t25.00\t100.00\n65.0\t0\t0.00\t75.00\n70.0\t0\t0.00\t75.00\n"
           "75.0\t0\t0.00\t75.00\n80.0\t1\t25.00\t75.00\n85.0\t2\t50.00\t50.00\n"
        << "";
    QTest::newRow("distribution of points 3 to 4 in 0.5 dB classes")
        << QStringList { "distribution", "halves.ghf", "--from", "3", "--to", "4", "--class=0.5" }
        << 0 << "85.0\t1\t50.00\t100.00\n85.5\t0\t0.00\t50.00\n86.0\t1\t50.00\t50.00\n"
        << "";
    QTest::newRow("class of 3 dB")
        << QStringList { "distribution", "halves.ghf", "--class", "3" } << 2 << ""
        << "--class needs";
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

// periods, lden, exceed and distribution print header-less lines with points, whatever the locale.
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
    const double hour = 1.0 / 24.0;
    chart.setPoints(4);
    chart.setSeries(0, { 39156.75, 39156.75 + hour, 39156.75 + 2 * hour, 39156.75 + 3 * hour },
                    { 60.0f, 60.0f, 60.0f, 60.0f });
    QVERIFY(GraphFile::write(m_dir.filePath("evening.ghf"), ChartBlock::save(chart)).isEmpty());
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
