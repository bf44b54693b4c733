// The analysis kept beside a collection: every part of a set's analysis written and read back
// as it was, and a damaged file refused as a whole with the line that is wrong; and the survey
// details' calibration checks, flagged beyond their tolerance.

#include "survey/analysisfile.h"

#include <QTemporaryDir>
#include <QFileInfo>

#include <cmath>
#include <limits>
#include <QTest>

class TestAnalysisFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip();
    void damaged_data();
    void damaged();
    void calibrationFlag_data();
    void calibrationFlag();
};

void TestAnalysisFile::roundTrip()
{
    AnalysisFile::Sets sets;
    AnalysisFile::SetAnalysis &one = sets[0];
    one.start = 46000.4375;
    one.points = 600;
    one.analysis.annotations[0] = { 46000.44, 71.5, 2, "Bus idling\t10:37\\", Qt::red };
    one.analysis.annotations[7] = { 46000.45, 64.25, 0, "two\nlines\r", QColor() };
    one.analysis.verticalLines[0].x = 46000.4401;
    one.analysis.verticalLines[1].x = 46000.4599;
    one.analysis.exclusions = { { 46000.441, 46000.442, "Passing lorry" },
                                { 46000.443, 46000.444, "Lorry", IntervalCategory::Specific },
                                { 46000.5, 46000.5, "" },
                                { 46000.3, 46000.6, "Quiet", IntervalCategory::Residual } };
    one.analysis.limit = 55.5;
    one.analysis.overlay = OverlaySeries { "Set 2 \"night\"", QColor(220, 80, 20, 128),
                                           OverlayAlignment::Start, -0.125, 10.0,
                                           { 45999.1, 45999.2, 0.0 }, { 60.5f, 9999.0f, 0.0f } };
    // A set with cursors only, and one with an overlay without points or colour.
    sets[6].start = 46001.0;
    sets[6].points = 1;
    sets[6].analysis.verticalLines[0].x = 46001.0;
    SurveyDetails &details = sets[6].analysis.details;
    details.project = "Wind farm\tnight";
    details.client = "Gemeinde Süd";
    details.position = "Garden, 1.5 m";
    details.notes = "Dry\nwind 2 m/s\\";
    details.instrument = { "Q7316", "SN 0042", "1.05", "0.3", "" };
    details.calibrationBefore = { 94.0, 94.2 };
    details.calibrationAfter = { std::nullopt, 93.6 };
    sets[9].analysis.overlay = OverlaySeries { "", QColor(), OverlayAlignment::ClockTime, 2.0, 0.0,
                                               {}, {} };

    QTemporaryDir dir;
    const QString collection = dir.filePath("survey.rec");
    QCOMPARE(AnalysisFile::write(collection, sets), QString());
    QVERIFY(QFileInfo::exists(dir.filePath("survey.rec.audexa")));
    const AnalysisFile::ReadResult read = AnalysisFile::read(collection);
    QCOMPARE(read.error, QString());
    QVERIFY(read.sets == sets);
    // What reading would refuse is left out when written, so a saved file always reads back.
    AnalysisFile::Sets odd = sets;
    odd[0].analysis.overlay->xs.insert(odd[0].analysis.overlay->xs.begin(), { std::nan(""), 1.0 });
    odd[0].analysis.overlay->ys.insert(odd[0].analysis.overlay->ys.begin(),
                                       { 60.0f, std::numeric_limits<float>::infinity() });
    odd[0].analysis.exclusions.push_back({ 2.0, std::numeric_limits<double>::infinity(), "x" });
    const AnalysisFile::Decoded back = AnalysisFile::decode(AnalysisFile::encode(odd));
    QVERIFY(back.sets && *back.sets == sets);
    // No analysis file: nothing, and nothing to say.
    const AnalysisFile::ReadResult none = AnalysisFile::read(dir.filePath("other.rec"));
    QVERIFY(none.sets.empty() && none.error.isEmpty());
}

void TestAnalysisFile::damaged_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    const QByteArray head = "AUDEXA-ANALYSIS\t1\nset\t1\t46000\t10\n";
    QTest::newRow("empty") << QByteArray() << "the file is empty";
    QTest::newRow("not ours") << QByteArray("\x89PNG\r\n") << "line 1: this is not an analysis file of data sets";
    QTest::newRow("newer version") << QByteArray("\xEF\xBB\xBF" "AUDEXA-ANALYSIS\t2\n")
                                   << "line 1: the file was written by a newer version of Audexa "
                                      "(its format 2; this one reads 1)";
    QTest::newRow("level beyond a float")
        << head + "overlay\tclock\t0\t0\t\tx\npoint\t1\t1e300\n" << "line 4: its level is too large";
    QTest::newRow("a line of tabs") << head + QByteArray(100000, '\t')
                                    << "line 3: more fields than any line of this file has";
    QTest::newRow("record before a set") << QByteArray("AUDEXA-ANALYSIS\t1\nlimit\t55\n")
                                         << "line 2: a record before the first data set";
    QTest::newRow("set 0") << QByteArray("AUDEXA-ANALYSIS\t1\nset\t0\t1\t1\n")
                           << "line 2: the data set must be a whole number from 1 to 65535";
    QTest::newRow("set twice") << head + "set\t1\t46000\t10\n" << "line 3: data set 1 a second time";
    QTest::newRow("limit too high") << head + "limit\t250\n"
                                    << "line 3: the limit must lie from 0 to 200 dB";
    QTest::newRow("limit not a number") << head + "# a comment\n\nlimit\tnan\n"
                                        << "line 5: the limit is not a number";
    QTest::newRow("interval backwards") << head + "exclude\t2\t1\tlorry\n"
                                        << "line 3: the interval ends before it starts";
    QTest::newRow("mark type 1") << head + "mark\t0\t1\t1\t1\t\tx\n"
                                 << "line 3: a mark is a text (0) or a cross (2)";
    QTest::newRow("mark twice") << head + "mark\t0\t2\t1\t1\t\tx\nmark\t0\t2\t1\t1\t\ty\n"
                                << "line 4: a second mark 0";
    QTest::newRow("bad colour") << head + "mark\t0\t2\t1\t1\tred\tx\n"
                                << "line 3: its colour is not a colour #AARRGGBB";
    QTest::newRow("bad escape") << head + "exclude\t1\t2\tlorry\\q\n"
                                << "line 3: its label holds a backslash that escapes nothing";
    QTest::newRow("field missing") << head + "exclude\t1\t2\n" << "line 3: its label is missing";
    QTest::newRow("field too many") << head + "limit\t55\t56\n"
                                    << "line 3: more fields than a limit line has";
    QTest::newRow("point alone") << head + "point\t1\t2\n" << "line 3: a point that follows no overlay";
    QTest::newRow("overlay by what") << head + "overlay\tsun\t0\t0\t\tx\n"
                                     << "line 3: an overlay is aligned by clock or by start";
    QTest::newRow("unknown record") << head + "note\thello\n"
                                    << "line 3: \"note\" is not a record of this file";
    QTest::newRow("unknown detail") << head + "detail\tsite\tA\ndetail\tcolour\tred\n"
                                    << "line 4: \"colour\" is not a survey detail";
    QTest::newRow("detail twice") << head + "detail\tsite\tA\ndetail\tsite\tB\n"
                                  << "line 4: a second \"site\" detail";
    QTest::newRow("calibration when") << head + "calibration\tduring\t94\t94\n"
                                      << "line 3: a calibration check is made before or after";
    QTest::newRow("calibration level") << head + "calibration\tafter\t\tinf\n"
                                       << "line 3: its reading is not a number";
}

void TestAnalysisFile::damaged()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    const AnalysisFile::Decoded decoded = AnalysisFile::decode(text);
    QVERIFY(!decoded.sets);
    QCOMPARE(decoded.error, error);
}

void TestAnalysisFile::calibrationFlag_data()
{
    QTest::addColumn<double>("reference"); // NaN: not known
    QTest::addColumn<double>("reading");
    QTest::addColumn<bool>("flagged");
    const double none = std::nan("");
    QTest::newRow("half a dB above") << 94.0 << 94.5 << false;
    QTest::newRow("half a dB above, in tenths") << 93.8 << 94.3 << false;
    QTest::newRow("half a dB below, in tenths") << 94.3 << 93.8 << false;
    QTest::newRow("half a dB below, 114 dB") << 114.1 << 113.6 << false;
    QTest::newRow("half a dB across 64 dB") << 63.9 << 64.4 << false;
    QTest::newRow("half a dB across 128 dB") << 128.3 << 127.8 << false;
    QTest::newRow("0.6 dB above") << 93.8 << 94.4 << true;
    QTest::newRow("0.6 dB below") << 94.0 << 93.4 << true;
    QTest::newRow("0.51 dB above") << 94.0 << 94.51 << true;
    QTest::newRow("no reading") << 94.0 << none << false;
    QTest::newRow("no reference") << none << 99.0 << false;
}

void TestAnalysisFile::calibrationFlag()
{
    QFETCH(double, reference);
    QFETCH(double, reading);
    QFETCH(bool, flagged);
    CalibrationCheck check;
    if (!std::isnan(reference))
        check.reference = reference;
    if (!std::isnan(reading))
        check.reading = reading;
    QCOMPARE(check.flagged(), flagged);
}

QTEST_GUILESS_MAIN(TestAnalysisFile)
#include "tst_analysisfile.moc"
