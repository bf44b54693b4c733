// The text forms of levels: the lines written from a graph and from a table, byte for byte; the
// lines read back into a table; and a table read back into the points of a graph.

#include "base/celltable.h"
#include "base/workprogress.h"
#include "files/textexport.h"
#include "files/textimport.h"
#include "files/workbookwriter.h"
#include "logger/tabletograph.h"

#include <QTest>

#include <ctime>

namespace {

// 8 December 2026 in days from 30 December 1899, and a second.
constexpr double Dec8 = 46364.0;
constexpr double Second = 1.0 / 86400.0;

using Rows = QList<QStringList>;

// A progress whose user presses Cancel once a number of lines (0: never) were written.
class CancelAfter : public WorkProgress
{
public:
    explicit CancelAfter(int lines)
        : m_lines(lines)
    {
    }
    void start(int) override { }
    void progressed(int done) override { m_done = done; }
    void finish() override { }
    bool cancelled() const override { return m_lines > 0 && m_done >= m_lines; }

private:
    int m_lines;
    int m_done = 0;
};

// The cells of rows 1 to rowCount - 1, columns 0 to 6.
Rows rowsOf(const CellTable &table)
{
    Rows rows;
    for (int r = 1; r < table.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < table.colCount(); ++c)
            row << table.cell(c, r).toString();
        rows << row;
    }
    return rows;
}

} // namespace

class TestTextFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void graphLines_data();
    void graphLines();
    void tableLinesEndWithTheSeparator();
    void separators();
    void import_data();
    void import();
    void spreadsheetLines_data();
    void spreadsheetLines();
    void levels_data();
    void levels();
    void graphTextReadBackGivesTheSamePoints_data();
    void graphTextReadBackGivesTheSamePoints();
    void workbookSheetsSplit_data();
    void workbookSheetsSplit();
    void workbookDateFormats_data();
    void workbookDateFormats();
};

void TestTextFiles::graphLines_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QList<double>>("xs");
    QTest::addColumn<QList<float>>("ys");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<char>("separator");
    QTest::addColumn<int>("cancelAfter"); // lines; 0: never
    QTest::addColumn<QByteArray>("lines");

    const double noon = Dec8 + 0.5;
    const QList<double> rounding { noon + 0.6 * Second, noon + 0.5 * Second, noon + 59.9 * Second };
    const QList<float> levels { 67.25f, 30.0f, 129.96f };
    QTest::newRow("en_US: .600 rounds up, .500 down, halves away from zero")
        << "en_US" << rounding << levels << 1 << 3 << '\t' << 0
        << QByteArray("12/8/26\t12:00:01 PM\t67.3\r\n12/8/26\t12:00:00 PM\t30.0\r\n"
                      "12/8/26\t12:01:00 PM\t130.0\r\n");
    QTest::newRow("de_DE: decimal comma, 24 hours")
        << "de_DE" << QList<double> { Dec8 + 21.5 / 24 } << QList<float> { 55.5f } << 1 << 1 << '\t'
        << 0 << QByteArray("08.12.26\t21:30:00\t55,5\r\n");
    QTest::newRow("comma separator, a null point's level left empty")
        << "en_GB" << QList<double> { Dec8, Dec8 } << QList<float> { 9999.f, 9998.96f } << 1 << 2
        << ',' << 0 << QByteArray("08/12/2026,00:00:00,\r\n08/12/2026,00:00:00,9999.0\r\n");
    QTest::newRow("X 0 ends the series")
        << "en_US" << QList<double> { noon, 0.0, noon } << QList<float> { 1, 2, 3 } << 1 << 3
        << '\t' << 0 << QByteArray("12/8/26\t12:00:00 PM\t1.0\r\n");
    QTest::newRow("range 0 to 0 writes nothing")
        << "en_US" << rounding << levels << 1 << 0 << '\t' << 0 << QByteArray();
    QTest::newRow("range 2 to 2") << "en_US" << rounding << levels << 2 << 2 << '\t' << 0
                                  << QByteArray("12/8/26\t12:00:00 PM\t30.0\r\n");
    QTest::newRow("range beyond the points")
        << "en_US" << rounding.mid(0, 1) << levels.mid(0, 1) << 1 << 10 << '\t' << 0
        << QByteArray("12/8/26\t12:00:01 PM\t67.3\r\n");
    QTest::newRow("cancel keeps the lines written before")
        << "en_US" << rounding << levels << 1 << 3 << '\t' << 2
        << QByteArray("12/8/26\t12:00:01 PM\t67.3\r\n12/8/26\t12:00:00 PM\t30.0\r\n");
}

void TestTextFiles::graphLines()
{
    QFETCH(QString, locale);
    QFETCH(QList<double>, xs);
    QFETCH(QList<float>, ys);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(char, separator);
    QFETCH(int, cancelAfter);
    QFETCH(QByteArray, lines);
    CancelAfter progress(cancelAfter);
    const TextExport::Lines written
        = TextExport::graphLines({ xs.begin(), xs.end() }, { ys.begin(), ys.end() }, { from, to },
                                 separator, QLocale(locale), &progress);
    QCOMPARE(written.bytes, lines);
    QCOMPARE(written.lines, int(lines.count('\n')));
    QCOMPARE(written.cancelled, cancelAfter > 0);
}

void TestTextFiles::tableLinesEndWithTheSeparator()
{
    CellTable table(7, 4);
    table.setCell(0, 1, 1);
    table.setCell(1, 1, u"8.12.26");
    table.setCell(3, 1, u"55,5");
    table.setCell(6, 1, u"last");
    table.setCell(1, 0, u"Date"); // titles are never written
    table.setCell(1, 3, u"x");
    QCOMPARE(TextExport::tableLines(table, { 1, 3 }, ',').bytes,
             QByteArray("8.12.26,,55,5,,,last,\r\n,,,,,,\r\nx,,,,,,\r\n"));
    QCOMPARE(TextExport::tableLines(table, { 3, 3 }, '\t').bytes, QByteArray("x\t\t\t\t\t\t\r\n"));
    QCOMPARE(TextExport::tableLines(table, { 1, 0 }, '\t').bytes, QByteArray());
}

void TestTextFiles::separators()
{
    for (const char *csv : { "survey.csv", "SURVEY.CSV", "surveycsv", "a.CsV" })
        QCOMPARE(TextExport::separatorForFileName(QLatin1String(csv)), ',');
    for (const char *tab : { "survey.txt", "csv.txt", "survey", "survey.cs" })
        QCOMPARE(TextExport::separatorForFileName(QLatin1String(tab)), '\t');
    QCOMPARE(TextExport::separatorForExtension(".CSV"), ',');
    QCOMPARE(TextExport::separatorForExtension("txt"), '\t');
}

void TestTextFiles::import_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<int>("cut"); // lines longer than a cell may show

    const QString longField(300, QLatin1Char('x'));
    QTest::newRow("graph lines, CR LF")
        << QByteArray("12/8/26\t9:05:07 PM\t67.3\r\n12/8/26\t9:05:08 PM\t67.4\r\n") << QChar('\t')
        << Rows { { "1", "12/8/26", "9:05:07 PM", "67.3", "", "", "" },
                  { "2", "12/8/26", "9:05:08 PM", "67.4", "", "", "" } }
        << 0;
    QTest::newRow("commas, last line without its end")
        << QByteArray("a,b\nc,d") << QChar(',')
        << Rows { { "1", "a", "b", "", "", "", "" }, { "2", "c", "d", "", "", "", "" } } << 0;
    QTest::newRow("empty fields and a trailing separator")
        << QByteArray("a\t\tc\t\n") << QChar('\t') << Rows { { "1", "a", "", "c", "", "", "" } }
        << 0;
    QTest::newRow("fields beyond the last column are dropped")
        << QByteArray("1\t2\t3\t4\t5\t6\t7\t8\n") << QChar('\t')
        << Rows { { "1", "1", "2", "3", "4", "5", "6" } } << 0;
    QTest::newRow("an empty line ends the reading")
        << QByteArray("a\tb\n\nc\td\n") << QChar('\t') << Rows { { "1", "a", "b", "", "", "", "" } }
        << 0;
    QTest::newRow("a line without the separator ends it too")
        << QByteArray("a,b\na\tb\nc,d\n") << QChar(',')
        << Rows { { "1", "a", "b", "", "", "", "" } } << 0;
    QTest::newRow("a long line keeps its first 179 characters, and the next is read")
        << ("a\t" + longField + "\tz\nnext\t1\n").toUtf8() << QChar('\t')
        << Rows { { "1", "a", longField.left(177), "", "", "", "" },
                  { "2", "next", "1", "", "", "", "" } }
        << 1;
    QTest::newRow("a line whose first separator lies beyond them ends the reading")
        << (longField + "\tz\nnext\t1\n").toUtf8() << QChar('\t')
        << Rows { { "", "", "", "", "", "", "" } } << 0;
    QTest::newRow("a first line without separator: one empty row")
        << QByteArray("header only\na\tb\n") << QChar('\t')
        << Rows { { "", "", "", "", "", "", "" } } << 0;
    QTest::newRow("byte order mark and UTF-8")
        << QByteArray("\xEF\xBB\xBF"
                      "8 déc.\t21:05\n")
        << QChar('\t') << Rows { { "1", QString::fromUtf8("8 déc."), "21:05", "", "", "", "" } }
        << 0;
}

void TestTextFiles::import()
{
    QFETCH(QByteArray, text);
    QFETCH(QChar, separator);
    QFETCH(Rows, rows);
    QFETCH(int, cut);
    const TextImport::Result result = TextImport::read(text, separator, 7, QLocale("en_US"));
    QCOMPARE(rowsOf(result.table), rows);
    QCOMPARE(result.cutLines, cut);
}

// Times with a UTC offset are read into local time: the tests' local time is UTC.
void TestTextFiles::initTestCase()
{
    qputenv("TZ", "UTC");
    tzset();
}

void TestTextFiles::spreadsheetLines_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QChar>("separator"); // the one the file's name implies
    QTest::addColumn<QStringList>("titles"); // row 0
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("note");
    QTest::addColumn<int>("skipped"); // rows whose date does not read back for a graph

    const QStringList none(7);
    const QString row1 = QStringLiteral("1");
    QTest::newRow("quoted fields, doubled quotes inside")
        << "en_US" << QByteArray("\"12/18/26\",\"9:05:07 PM\",\"67.3\",\"say \"\"hi\"\", twice\"\n")
        << QChar(',') << none
        << Rows { { row1, "12/18/26", "9:05:07 PM", "67.3", "say \"hi\", twice", "", "" } }
        << QString() << 0;
    QTest::newRow("a header line names the columns")
        << "en_US" << QByteArray("Date,Time,Level,Note,Place\r\n12/18/26,9:05:07 PM,67.3,,a\r\n")
        << QChar(',') << QStringList { "", "Date", "Time", "Level", "Note", "Place", "" }
        << Rows { { row1, "12/18/26", "9:05:07 PM", "67.3", "", "a", "" } } << QString() << 0;
    QTest::newRow("semicolons and decimal commas, ISO date and 24-hour time")
        << "en_US" << QByteArray("2026-12-08;21:05:07;63,4;x,y\n") << QChar(',') << none
        << Rows { { row1, "12/8/26", "9:05:07 PM", "63.4", "x,y", "", "" } } << QString() << 0;
    QTest::newRow("semicolons, 4-digit year, the locale's comma")
        << "de_DE" << QByteArray("18.12.2026;21:05:07;63,4\n") << QChar(',') << none
        << Rows { { row1, "18.12.26", "21:05:07", "63,4", "", "", "" } } << QString() << 0;
    QTest::newRow("decimal points where the locale writes commas")
        << "de_DE" << QByteArray("18.12.26\t21:05:07\t63.4\t-1.5\n") << QChar('\t')
        << QStringList { "", "", "", "SPL", "Leq", "", "" }
        << Rows { { row1, "18.12.26", "21:05:07", "63,4", "-1,5", "", "" } } << QString() << 0;
    QTest::newRow("comments, a header, ISO with offsets, a null point")
        << "en_GB"
        << QByteArray("# Source: Data set 1\n# Interval: 1 s\ntime,level_dB\n"
                      "2026-12-08T21:05:07+01:00,63.4\n2026-12-08T23:59:59.6Z,\n"
                      "2026-12-08 21:05:07,0.0\n")
        << QChar(',') << QStringList { "", "time", "", "level_dB", "", "", "" }
        << Rows { { row1, "08/12/2026", "20:05:07", "63.4", "", "", "" },
                  { "2", "09/12/2026", "00:00:00", "", "", "", "" },
                  { "3", "08/12/2026", "21:05:07", "0.0", "", "", "" } }
        << QString() << 0;
    QTest::newRow("a line whose date does not read is kept as it stands")
        << "en_GB" << QByteArray("2026-12-08T21:05:07,63.4\nnoon,64.0\n") << QChar(',') << none
        << Rows { { row1, "08/12/2026", "21:05:07", "63.4", "", "", "" },
                  { "2", "noon", "", "64.0", "", "", "" } }
        << QString() << 1;
    const QString utf16 = QStringLiteral("\uFEFF12/8/26\t9:05:07 PM\t67.3\r\n");
    QTest::newRow("UTF-16 little endian")
        << "en_US" << QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2)
        << QChar('\t') << none << Rows { { row1, "12/8/26", "9:05:07 PM", "67.3", "", "", "" } }
        << "Dates read as month/day/year: every date looked at also reads as day/month/year." << 0;
    QByteArray bigEndian(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2);
    for (qsizetype i = 0; i + 1 < bigEndian.size(); i += 2)
        std::swap(bigEndian[i], bigEndian[i + 1]);
    QTest::newRow("UTF-16 big endian")
        << "en_US" << bigEndian << QChar('\t') << none
        << Rows { { row1, "12/8/26", "9:05:07 PM", "67.3", "", "", "" } }
        << "Dates read as month/day/year: every date looked at also reads as day/month/year." << 0;

    // A day-month order the first 1,000 lines cannot settle is the locale's for the whole file.
    QByteArray ambiguous;
    Rows held;
    for (int i = 1; i <= 1000; ++i) {
        ambiguous += "03/04/2026,21:05:07,60.0\n";
        held << QStringList { QString::number(i), "3/4/26", "9:05:07 PM", "60.0", "", "", "" };
    }
    ambiguous += "13/04/2026,21:05:07,61.0\n";
    held << QStringList { "1001", "13/04/2026", "21:05:07", "61.0", "", "", "" };
    QTest::newRow("ambiguous dates keep the locale's order")
        << "en_US" << ambiguous << QChar(',') << none << held
        << "Dates read as month/day/year: every date looked at also reads as day/month/year." << 1;
    QByteArray settled = ambiguous;
    settled.replace(0, 2, "13");
    Rows dayFirst;
    for (int i = 1; i <= 1001; ++i)
        dayFirst << QStringList { QString::number(i),
                                  i == 1 || i == 1001 ? "4/13/26" : "4/3/26",
                                  "9:05:07 PM",
                                  i == 1001 ? "61.0" : "60.0",
                                  "",
                                  "",
                                  "" };
    QTest::newRow("a day above 12 among them settles it")
        << "en_US" << settled << QChar(',') << none << dayFirst << QString() << 0;
}

// Rows of a text file as a spreadsheet writes it: what the table shows, the note it gives on
// its date order, and how many rows a graph of it would skip.
void TestTextFiles::spreadsheetLines()
{
    QFETCH(QString, locale);
    QFETCH(QByteArray, text);
    QFETCH(QChar, separator);
    QFETCH(QStringList, titles);
    QFETCH(Rows, rows);
    QFETCH(QString, note);
    QFETCH(int, skipped);
    const QLocale l(locale);
    const TextImport::Result result = TextImport::read(text, separator, 7, l);
    QStringList row0;
    for (int c = 0; c < 7; ++c)
        row0 << result.table.cell(c, 0).toString();
    QCOMPARE(row0, titles);
    QCOMPARE(rowsOf(result.table), rows);
    QCOMPARE(result.dateNote, note);
    QCOMPARE(TableToGraph::points(result.table, l).skipped, skipped);
}

void TestTextFiles::levels_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("read");
    QTest::addColumn<float>("level");
    QTest::newRow("en_US") << "en_US"
                           << "67.3" << true << 67.3f;
    QTest::newRow("de_DE comma, blanks, sign") << "de_DE"
                                               << " -3,5 " << true << -3.5f;
    QTest::newRow("de_DE refuses a point") << "de_DE"
                                           << "67.3" << false << 0.f;
    QTest::newRow("no group separators") << "en_US"
                                         << "1,067.5" << false << 0.f;
    QTest::newRow("exponent") << "en_US"
                              << "1e2" << true << 100.f;
    QTest::newRow("empty") << "en_US"
                           << "" << false << 0.f;
    QTest::newRow("words") << "en_US"
                           << "inf" << false << 0.f;
    QTest::newRow("beyond a float") << "en_US"
                                    << "1e60" << false << 0.f;
}

void TestTextFiles::levels()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, read);
    QFETCH(float, level);
    const std::optional<float> value = TableToGraph::readLevel(text, QLocale(locale));
    QCOMPARE(value.has_value(), read);
    if (read)
        QCOMPARE(*value, level);
}

void TestTextFiles::graphTextReadBackGivesTheSamePoints_data()
{
    QTest::addColumn<QString>("locale");
    for (const char *locale : { "en_US", "de_DE", "en_GB", "ja_JP", "es_ES" })
        QTest::newRow(locale) << QString::fromLatin1(locale);
}

// What Save writes as text, read into a table and drawn as a graph, is the graph again (to the
// second and the tenth of a dB); a row that is no reading gives no point.
void TestTextFiles::graphTextReadBackGivesTheSamePoints()
{
    QFETCH(QString, locale);
    std::vector<double> xs;
    std::vector<float> ys;
    for (int i = 0; i < 500; ++i) {
        xs.push_back(Dec8 + 0.4 + i * 7.0 * Second); // across noon
        ys.push_back(30.0f + float(i % 1000) / 10.0f);
    }
    ys[100] = TextExport::NullLevel; // an empty level reads back as a null point
    const QLocale l(locale);
    const TextExport::Lines lines = TextExport::graphLines(xs, ys, { 1, 500 }, '\t', l);
    TextImport::Result read = TextImport::read(lines.bytes, QLatin1Char('\t'), 7, l);
    QCOMPARE(read.lines, 500);
    read.table.setCell(1, 250, u"not a date");
    const TableToGraph::Points points = TableToGraph::points(read.table, l);
    QCOMPARE(points.skipped, 1);
    xs.erase(xs.begin() + 249);
    ys.erase(ys.begin() + 249);
    QCOMPARE(points.xs.size(), xs.size());
    for (std::size_t i = 0; i < xs.size(); ++i) {
        QVERIFY2(std::abs(points.xs[i] - xs[i]) < 0.001 * Second, qPrintable(QString::number(i)));
        QCOMPARE(points.ys[i], ys[i]);
    }
}

QTEST_APPLESS_MAIN(TestTextFiles)
void TestTextFiles::workbookSheetsSplit_data()
{
    QTest::addColumn<qint64>("rows");
    QTest::addColumn<int>("titles");
    QTest::addColumn<QStringList>("parts"); // name, first row, rows

    QTest::newRow("no rows: one sheet of titles") << qint64(0) << 1 << QStringList { "Readings 0 0" };
    QTest::newRow("a full sheet beneath its title")
        << qint64(1048575) << 1 << QStringList { "Readings 0 1048575" };
    QTest::newRow("one row more goes on in a second sheet")
        << qint64(1048576) << 1 << QStringList { "Readings 0 1048575", "Readings 2 1048575 1" };
    QTest::newRow("without titles a sheet holds every row")
        << qint64(1048577) << 0 << QStringList { "Readings 0 1048576", "Readings 2 1048576 1" };
    QTest::newRow("three sheets and a bit") << qint64(3145726) << 1
                                             << QStringList { "Readings 0 1048575",
                                                              "Readings 2 1048575 1048575",
                                                              "Readings 3 2097150 1048575",
                                                              "Readings 4 3145725 1" };
}

void TestTextFiles::workbookSheetsSplit()
{
    QFETCH(qint64, rows);
    QFETCH(int, titles);
    QFETCH(QStringList, parts);
    QStringList got;
    for (const WorkbookWriter::Part &part : WorkbookWriter::parts("Readings", rows, titles))
        got << QStringLiteral("%1 %2 %3").arg(part.name).arg(part.first).arg(part.rows);
    QCOMPARE(got, parts);
}

void TestTextFiles::workbookDateFormats_data()
{
    QTest::addColumn<QString>("qt");
    QTest::addColumn<QString>("spreadsheet");

    QTest::newRow("en_US") << "M/d/yy h:mm:ss AP" << "m/d/yy h:mm:ss AM/PM";
    QTest::newRow("de_DE, 24 hours") << "dd.MM.yy HH:mm:ss" << "dd.mm.yy hh:mm:ss";
    QTest::newRow("zone name and milliseconds dropped") << "HH:mm:ss.zzz t" << "hh:mm:ss";
    QTest::newRow("quoted words stay words")
        << "d 'de' MMMM 'de' yyyy" << "d\" de \"mmmm\" de \"yyyy";
    QTest::newRow("a quote in quoted text") << "h 'o''clock' ap" << "h\" o'clock \"AM/PM";
}

void TestTextFiles::workbookDateFormats()
{
    QFETCH(QString, qt);
    QFETCH(QString, spreadsheet);
    QCOMPARE(WorkbookWriter::spreadsheetFormat(qt), spreadsheet);
}

#include "tst_textfiles.moc"
