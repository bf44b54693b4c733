// Figures over clock intervals and runs above a limit: the periods, the day-evening-night levels
// and the exceedances on small charts worked out by hand.

#include "base/datetimedays.h"
#include "survey/daynightlevels.h"
#include "survey/exceedances.h"
#include "survey/figuretable.h"
#include "survey/graphsource.h"
#include "survey/headedcsv.h"
#include "survey/measurement.h"
#include "survey/periodfigures.h"
#include "survey/workbooksheets.h"

#include <QTest>

namespace {

// Midnight starting 9 December 2025.
constexpr double Day0 = 46000.0;
constexpr double MsPerDay = 86400000.0;

struct Point
{
    double ms; // from Day0's midnight
    float level;
};

Measurement chartOf(const std::vector<Point> &points)
{
    Measurement chart;
    chart.setSubsets(1);
    chart.setPoints(int(points.size()));
    std::vector<double> xs;
    std::vector<float> ys;
    for (const Point &p : points) {
        xs.push_back(Day0 + p.ms / MsPerDay);
        ys.push_back(p.level);
    }
    chart.setSeries(0, xs, ys);
    return chart;
}

constexpr double at(int hours, int minutes, double seconds = 0.0)
{
    return ((hours * 60.0 + minutes) * 60.0 + seconds) * 1000.0;
}

QString number(const std::optional<double> &value)
{
    return value ? QString::number(*value, 'f', 1) : QString();
}

// count points stepMs apart from fromMs, at 60 dB.
std::vector<Point> spaced(double fromMs, int count, double stepMs)
{
    std::vector<Point> points;
    for (int i = 0; i < count; ++i)
        points.push_back({ fromMs + i * stepMs, 60 });
    return points;
}

// A table's rows from column `from` on, a flagged cell followed by "*", rows joined by " | ".
QString shown(const FigureTable &table, int from)
{
    QStringList rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList cells;
        for (int column = from; column < table.columnCount(); ++column)
            cells << table.text(row, column) + (table.isFlagged(row, column) ? "*" : "");
        rows << cells.join(' ');
    }
    return rows.join(" | ");
}

} // namespace

class TestPeriods : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void periods_data();
    void periods();
    void coverageAndFlags_data();
    void coverageAndFlags();
    void dayEveningNight_data();
    void dayEveningNight();
    void exceedances_data();
    void exceedances();
    void spreadsheetLevels_data();
    void spreadsheetLevels();
};

void TestPeriods::periods_data()
{
    QTest::addColumn<std::vector<Point>>("points");
    QTest::addColumn<int>("period");
    QTest::addColumn<QString>("rows"); // "start N Leq Lmax L10 L90" joined by " | "

    QTest::newRow("figures of one period; null and 0 not counted")
        << std::vector<Point> { { at(10, 0), 80 },
                                { at(10, 1), 9999 },
                                { at(10, 2), 90 },
                                { at(10, 3), 0 },
                                { at(10, 14, 59.999), 100 } }
        << 900 << "2025-12-09T10:00:00 3 95.7 100.0 100.0 80.0";
    // 10:15 written a few microseconds short is 10:15:00.000 to the millisecond: the later
    // period.
    QTest::newRow("a point on a boundary belongs to the later period")
        << std::vector<Point> { { at(10, 14, 59.999), 60 }, { at(10, 15) - 0.004, 70 } } << 900
        << "2025-12-09T10:00:00 1 60.0 60.0 60.0 60.0 | 2025-12-09T10:15:00 1 70.0 70.0 70.0 70.0";
    QTest::newRow("empty periods between filled ones")
        << std::vector<Point> { { at(10, 59, 59), 50 }, { at(11, 45), 70 } } << 900
        << "2025-12-09T10:45:00 1 50.0 50.0 50.0 50.0 | 2025-12-09T11:00:00 0     | "
           "2025-12-09T11:15:00 0     | 2025-12-09T11:30:00 0     | "
           "2025-12-09T11:45:00 1 70.0 70.0 70.0 70.0";
    // 7 minutes do not divide an hour: from midnight, 10:00 lies in 09:55 to 10:02.
    QTest::newRow("7 minutes")
        << std::vector<Point> { { at(9, 56), 50 }, { at(10, 1, 59), 70 }, { at(10, 2), 60 } } << 420
        << "2025-12-09T09:55:00 2 67.0 70.0 70.0 50.0 | 2025-12-09T10:02:00 1 60.0 60.0 60.0 60.0";
    // 7 s do not divide a day: its last period is 23:59:54 to midnight, then 00:00:00 anew.
    QTest::newRow("7 seconds across midnight")
        << std::vector<Point> { { at(23, 59, 53), 40 },
                                { at(23, 59, 59.5), 50 },
                                { at(24, 0, 6), 60 } }
        << 7
        << "2025-12-09T23:59:47 1 40.0 40.0 40.0 40.0 | 2025-12-09T23:59:54 1 50.0 50.0 50.0 50.0 "
           "| 2025-12-10T00:00:00 1 60.0 60.0 60.0 60.0";
    QTest::newRow("points out of time order are sorted")
        << std::vector<Point> { { at(10, 1), 70 }, { at(9, 59), 50 }, { at(10, 0, 30), 60 } } << 60
        << "2025-12-09T09:59:00 1 50.0 50.0 50.0 50.0 | 2025-12-09T10:00:00 1 60.0 60.0 60.0 60.0 "
           "| 2025-12-09T10:01:00 1 70.0 70.0 70.0 70.0";
    QTest::newRow("no valid point") << std::vector<Point> { { at(10, 0), 9999 } } << 60 << "";
    QTest::newRow("a period of 0 s gives nothing")
        << std::vector<Point> { { at(10, 0), 50 } } << 0 << "";
}

void TestPeriods::periods()
{
    QFETCH(std::vector<Point>, points);
    QFETCH(int, period);
    QFETCH(QString, rows);
    const PeriodFigures::Result result = PeriodFigures::periods(chartOf(points), period, 1.0);
    QStringList texts;
    for (const PeriodFigures::Row &row : result.rows)
        texts << QStringList { DateTimeDays::isoText(row.startDays()),
                               QString::number(row.n),
                               number(row.leq),
                               number(row.lmax),
                               number(row.l10),
                               number(row.l90) }
                     .join(' ');
    QCOMPARE(texts.join(" | "), rows);
}

void TestPeriods::coverageAndFlags_data()
{
    QTest::addColumn<std::vector<Point>>("points");
    QTest::addColumn<int>("period");
    QTest::addColumn<double>("interval"); // dt, 0: not known
    QTest::addColumn<QString>("rows"); // "N Leq Lmax L10 L90 coverage", flagged cells with "*"

    // 10:00:59.999 is the first minute's, 10:01:00 the second's; 2 x 10 s of 60 s is 33.3 %.
    QTest::newRow("a period's edges, an empty period")
        << std::vector<Point> { { at(10, 0), 60 },
                                { at(10, 0, 59.999), 60 },
                                { at(10, 1), 60 },
                                { at(10, 3), 60 } }
        << 60 << 10.0
        << "2 60.0* 60.0* 60.0* 60.0* 33.3* | 1 60.0* 60.0* 60.0* 60.0* 16.7* | 0 * * * * 0.0* | "
           "1 60.0* 60.0* 60.0* 60.0* 16.7*";
    QTest::newRow("more points than the period holds: 100 %")
        << spaced(at(10, 0), 12, 5000.0) << 60 << 10.0 << "12 60.0 60.0 60.0 60.0 100.0";
    // 7 s: the day's last period is 23:59:54 to midnight, 6 s, then 00:00:00 to 00:00:07.
    QTest::newRow("a day's shorter last period")
        << spaced(at(23, 59, 57), 6, 1000.0) << 7 << 1.0
        << "3 60.0 60.0 60.0* 60.0* 50.0 | 3 60.0* 60.0* 60.0* 60.0* 42.9*";
    QTest::newRow("49.9 % is below 50")
        << spaced(at(10, 0), 1, 0) << 1000 << 499.0 << "1 60.0* 60.0* 60.0* 60.0* 49.9*";
    QTest::newRow("50.0 % is not")
        << spaced(at(10, 0), 1, 0) << 1000 << 500.0 << "1 60.0 60.0 60.0* 60.0* 50.0";
    QTest::newRow("49.996 % is shown 50.0, not below")
        << spaced(at(10, 0), 1, 0) << 1000 << 499.96 << "1 60.0 60.0 60.0* 60.0* 50.0";
    QTest::newRow("L10 and L90 from 9 points")
        << spaced(at(10, 0), 9, 6000.0) << 60 << 6.0 << "9 60.0 60.0 60.0* 60.0* 90.0";
    QTest::newRow("from 10 points")
        << spaced(at(10, 0), 10, 6000.0) << 60 << 6.0 << "10 60.0 60.0 60.0 60.0 100.0";
    QTest::newRow("dt not known") << spaced(at(10, 0), 1, 0) << 60 << 0.0
                                  << "1 60.0 60.0 60.0* 60.0* ";
}

void TestPeriods::coverageAndFlags()
{
    QFETCH(std::vector<Point>, points);
    QFETCH(int, period);
    QFETCH(double, interval);
    QFETCH(QString, rows);
    const PeriodFigures::Result result = PeriodFigures::periods(
        chartOf(points), period, interval > 0 ? std::optional(interval) : std::nullopt);
    QCOMPARE(shown(FigureTable::ofPeriods(result.rows, period, 50, QLocale::c()), 1), rows);
}

void TestPeriods::dayEveningNight_data()
{
    QTest::addColumn<std::vector<Point>>("points");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<double>("interval"); // dt; 0: the levels alone, else the table as shown
    // "date Lday Levening Lnight Lden" joined by " | "; with dt the table's titles and rows
    // without the date, flagged cells with "*"
    QTest::addColumn<QString>("rows");

    QTest::newRow("all three parts at 60 dB")
        << std::vector<Point> { { at(7, 0), 60 }, { at(19, 0), 60 }, { at(23, 0), 60 } }
        << "07-19-23" << 0.0 << "2025-12-09 60.0 60.0 60.0 66.4";
    QTest::newRow("55, 50 and 45 weigh the same")
        << std::vector<Point> { { at(12, 0), 55 }, { at(20, 0), 50 }, { at(24 + 6, 59, 59), 45 } }
        << "07-19-23" << 0.0 << "2025-12-09 55.0 50.0 45.0 55.0";
    // 02:00 and 06:59:59 on the 10th are the 9th's night; 07:00 on the 10th is the 10th's day.
    QTest::newRow("the night belongs to the day it starts, a missing part leaves Lden empty")
        << std::vector<Point> { { at(18, 59, 59), 50 },
                                { at(23, 30), 70 },
                                { at(26, 0), 50 },
                                { at(30, 59, 59), 50 },
                                { at(31, 0), 65 } }
        << "07-19-23" << 0.0 << "2025-12-09 50.0  65.3  | 2025-12-10 65.0   ";
    QTest::newRow("a day of night points alone")
        << std::vector<Point> { { at(2, 0), 40 } } << "07-19-23" << 0.0 << "2025-12-08   40.0 ";
    // 12 x 10^7 + 4 x 10^6.5 + 8 x 10^6 over 24: 67.7 dB. 05:59:59 is the 8th's night.
    QTest::newRow("06-18-22") << std::vector<Point> { { at(5, 59, 59), 50 },
                                                      { at(6, 0), 70 },
                                                      { at(17, 59, 59), 70 },
                                                      { at(18, 0), 60 },
                                                      { at(22, 0), 50 } }
                              << "06-18-22" << 0.0
                              << "2025-12-08   50.0  | 2025-12-09 70.0 60.0 50.0 67.7";
    // 14 x 10^7 + 2 x 10^6.5 + 8 x 10^6 over 24: 68.1 dB. Covered 2 h of 14, 2 of 2, 2 of 8.
    QTest::newRow("06-20-22, coverage of each part")
        << std::vector<Point> { { at(6, 0), 70 },  { at(19, 59, 59), 70 },
                                { at(20, 0), 60 }, { at(21, 59, 59), 60 },
                                { at(22, 0), 50 }, { at(29, 59, 59), 50 } }
        << "06-20-22" << 3600.0
        << "Lday Levening Lnight Lden Day % Evening % Night % | "
           "70.0* 60.0 50.0* 68.1* 14.3* 100.0 25.0*";
    // Ldn: 15 x 10^7 + 9 x 10^6 over 24, 68.2 dB; 2 x 7.5 h cover the day's 15 and the night's 9.
    QTest::newRow("07-22 Ldn, no evening") << std::vector<Point> {
        { at(7, 0), 70 }, { at(21, 59, 59), 70 }, { at(22, 0), 50 }, { at(30, 59, 59), 50 }
    } << "07-22" << 27000.0 << "Lday Lnight Ldn Day % Night % | 70.0 50.0 68.2 100.0 100.0";
    QTest::newRow("07-19-23, a part with no point")
        << std::vector<Point> { { at(7, 0), 70 }, { at(23, 0), 50 } } << "07-19-23" << 36000.0
        << "Lday Levening Lnight Lden Day % Evening % Night % | "
           "70.0 * 50.0 * 83.3 0.0* 100.0";
}

void TestPeriods::dayEveningNight()
{
    QFETCH(std::vector<Point>, points);
    QFETCH(QString, hours);
    QFETCH(double, interval);
    QFETCH(QString, rows);
    using namespace DayNightLevels;
    const std::optional<DayEveningNightHours> parts = DayEveningNightHours::parse(hours);
    QVERIFY(parts);
    const Result result
        = days(chartOf(points), *parts, interval > 0 ? std::optional(interval) : std::nullopt);
    if (interval > 0) {
        const FigureTable table = FigureTable::ofDays(result.rows, *parts, 50, QLocale::c());
        QCOMPARE(table.titles().mid(1).join(' ') + " | " + shown(table, 1), rows);
        return;
    }
    QStringList texts;
    for (const Row &row : result.rows)
        texts << QStringList { row.date.toString(Qt::ISODate), number(row.leq[Day]),
                               number(row.leq[Evening]), number(row.leq[Night]), number(row.lden) }
                     .join(' ');
    QCOMPARE(texts.join(" | "), rows);
}

void TestPeriods::exceedances_data()
{
    QTest::addColumn<std::vector<float>>("levels"); // a second apart from 10:00:00
    QTest::addColumn<double>("excludedSecond"); // -1: none
    QTest::addColumn<double>("interval");
    QTest::addColumn<QString>("runs"); // "start n seconds Lmax Leq" joined by " | ", then total

    QTest::newRow("a null point, one at the limit and the series' end")
        << std::vector<float> { 75, 80, 9999, 72, 70, 71, 71 } << -1.0 << 1.0
        << "10:00:00 2 2 80.0 78.2 | 10:00:03 1 1 72.0 72.0 | 10:00:05 2 2 71.0 71.0 | total 5";
    QTest::newRow("an excluded point and a reading of 0 end a run")
        << std::vector<float> { 75, 75, 75, 0, 76 } << 1.0 << 2.5
        << "10:00:00 1 2.5 75.0 75.0 | 10:00:02 1 2.5 75.0 75.0 | 10:00:04 1 2.5 76.0 76.0 "
           "| total 7.5";
    QTest::newRow("a run from the first point, no interval known")
        << std::vector<float> { 90, 60, 70 } << -1.0 << 0.0 << "10:00:00 1  90.0 90.0 | total ";
    QTest::newRow("nothing above") << std::vector<float> { 60, 70 } << -1.0 << 1.0 << "total 0";
}

void TestPeriods::exceedances()
{
    QFETCH(std::vector<float>, levels);
    QFETCH(double, excludedSecond);
    QFETCH(double, interval);
    QFETCH(QString, runs);
    std::vector<Point> points;
    for (std::size_t i = 0; i < levels.size(); ++i)
        points.push_back({ at(10, 0, double(i)), levels[i] });
    Measurement chart = chartOf(points);
    if (excludedSecond >= 0)
        chart.exclusions.push_back(
            { chart.x(0, int(excludedSecond)), chart.x(0, int(excludedSecond)), QString() });
    const Exceedances::Result result
        = Exceedances::of(chart, 70.0, interval > 0 ? std::optional(interval) : std::nullopt);
    QStringList texts;
    for (const Exceedances::Run &run : result.runs)
        texts << QStringList { DateTimeDays::isoText(run.start).mid(11), QString::number(run.n),
                               run.seconds ? QString::number(*run.seconds) : QString(),
                               number(run.lmax), number(run.leq) }
                     .join(' ');
    texts << QStringLiteral("total ")
            + (result.totalSeconds ? QString::number(*result.totalSeconds) : QString());
    QCOMPARE(texts.join(" | "), runs);
}

// A point's level as a workbook's "Readings" row and as a CSV with header's line hold it.
void TestPeriods::spreadsheetLevels_data()
{
    QTest::addColumn<float>("level");
    QTest::addColumn<QString>("cell"); // the level cell; "" for none
    QTest::addColumn<QString>("csvLevel"); // after the time and its comma

    QTest::newRow("a null point: no cell, an empty level") << 9999.0f << ""
                                                           << "";
    QTest::newRow("a reading of 0 is a number") << 0.0f << "0 (1 decimals)"
                                                << "0.0";
    QTest::newRow("a float level as the decimal it stands for") << 67.3f << "67.3 (1 decimals)"
                                                                << "67.3";
}

void TestPeriods::spreadsheetLevels()
{
    QFETCH(float, level);
    QFETCH(QString, cell);
    QFETCH(QString, csvLevel);
    // The series ends at its first X of 0: the second point is never written.
    Measurement chart = chartOf({ { at(10, 0), level }, { at(10, 0, 1), 50 } });
    chart.setX(0, 1, 0.0);
    chart.details.project = QStringLiteral("Ring road");
    chart.details.calibrationAfter = { 94.0, 94.6 };
    const auto sheets = WorkbookSheets::ofMeasurement(chart, {}, {}, {}, QLocale::c());
    // The survey's details on their sheet, a calibration drift marked.
    QStringList details;
    for (const WorkbookWriter::Sheet &sheet : sheets)
        for (qint64 r = 0; sheet.name == "Details" && r < sheet.rows; ++r) {
            std::vector<WorkbookWriter::Cell> cells;
            sheet.row(r, cells);
            for (const WorkbookWriter::Cell &c : cells)
                details << (c.kind == WorkbookWriter::Cell::Kind::Text ? c.text
                                                                       : QString::number(c.value));
        }
    QVERIFY2(details.join('|').contains("Project|Ring road"), qPrintable(details.join('|')));
    // The figures are the decimals the levels stand for, not their single-precision neighbours.
    for (const WorkbookWriter::Sheet &sheet : sheets)
        for (qint64 r = 0; sheet.name == "Figures" && r < sheet.rows; ++r) {
            std::vector<WorkbookWriter::Cell> cells;
            sheet.row(r, cells);
            if (cells.size() > 1 && cells[0].text.startsWith("Lmax")
                && cells[1].kind == WorkbookWriter::Cell::Kind::Number)
                QCOMPARE(QString::number(cells[1].value, 'g', 15),
                         level > 50 && level < 9999 ? cell.section(' ', 0, 0) : "50");
        }
    QVERIFY2(details.join('|').contains("94|94.6|0.6||more than 0.5 dB"),
             qPrintable(details.join('|')));
    QCOMPARE(sheets.front().name, "Readings");
    QCOMPARE(sheets.front().rows, 1);
    std::vector<WorkbookWriter::Cell> cells;
    sheets.front().row(0, cells);
    QCOMPARE(int(cells.front().kind), int(WorkbookWriter::Cell::Kind::DateTime));
    QCOMPARE(cells.front().value, Day0 + 10.0 / 24);
    QCOMPARE(cells.size() > 1 ? QStringLiteral("%1 (%2 decimals)")
                                    .arg(QString::number(cells[1].value, 'g', 16))
                                    .arg(cells[1].decimals)
                              : QString(),
             cell);
    const QList<QByteArray> lines = HeadedCsv::text(chart, {}, {}, "1.0").split('\n');
    QCOMPARE(lines.size(), 8); // five "#" lines, the titles, one point, the final line feed
    QCOMPARE(lines[5], "time,level_dB");
    QVERIFY2(lines[6].startsWith("2025-12-09T10:00:00"), lines[6]);
    QCOMPARE(lines[6].mid(lines[6].indexOf(',') + 1), csvLevel.toUtf8());
}

QTEST_GUILESS_MAIN(TestPeriods)
#include "tst_periods.moc"
