// Survey reports read back from their PDF files (poppler-utils): one page whatever they hold,
// their texts in the locale, the paper by locale, and Report... on a graph window; the "Report"
// dialog's details and sections, and the sections by name.

#include "base/datetimedays.h"
#include "chart/ui/pesgraph.h"
#include "common/mainwindowrig.h"
#include "graph/ui/graphwindowfactory.h"
#include "graph/ui/tfrmgraph.h"
#include "print/reportsections.h"
#include "print/surveyreport.h"
#include "print/ui/tfrmreport.h"
#include "survey/graphsource.h"
#include "survey/seriesfigures.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <zip.h>

namespace {

QString poppler(const char *tool, const QStringList &arguments)
{
    QProcess process;
    process.start(QLatin1String(tool), arguments);
    if (!process.waitForFinished(30000))
        qFatal("%s did not run: install poppler-utils (scripts/debian-packages.txt)", tool);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of a PDF file, every run of blanks and line ends made one blank.
QString pdfText(const QString &pdf)
{
    return poppler("pdftotext", { "-layout", pdf, "-" }).simplified();
}

// content.xml of an OpenDocument file.
QByteArray odtContent(const QString &file)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(file).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return {};
    QByteArray content;
    zip_stat_t stat;
    if (zip_stat(archive, "content.xml", 0, &stat) == 0) {
        content.resize(qsizetype(stat.size));
        zip_file_t *entry = zip_fopen(archive, "content.xml", 0);
        if (!entry || zip_fread(entry, content.data(), stat.size) != zip_int64_t(stat.size))
            content.clear();
        if (entry)
            zip_fclose(entry);
    }
    zip_discard(archive);
    return content;
}

int pdfPages(const QString &pdf)
{
    const QRegularExpressionMatch m
        = QRegularExpression("Pages:\\s+(\\d+)").match(poppler("pdfinfo", { pdf }));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// 14 March 2024 from 08:00:00, one point a second: 50, 60, 70, 80 dB and 90 dB excluded (a
// barking dog), so that the whole graph has N 4, Leq 74.4, SEL 80.5, and points 0 to 1 Leq 57.4;
// with two intervals the second marks points 1 to 2 Specific (a lorry, Leq 67.4), which leaves
// the others as they are; with more, the others are excluded events at point 4.
const double Start = DateTimeDays::fromDateTime(QDate(2024, 3, 14), QTime(8, 0));

void fillSurvey(ChartModel &chart, int annotations, int exclusions)
{
    chart.setSubsets(1);
    chart.setPoints(5);
    std::vector<double> xs;
    for (int i = 0; i < 5; ++i)
        xs.push_back(Start + i * DateTimeDays::OneSecond);
    chart.setSeries(0, xs, { 50.0f, 60.0f, 70.0f, 80.0f, 90.0f });
    chart.exclusions = { { xs[4], xs[4], QStringLiteral("barking dog") } };
    if (exclusions == 2)
        chart.exclusions.push_back(
            { xs[1], xs[2], QStringLiteral("lorry"), IntervalCategory::Specific });
    for (int i = 1; i < exclusions && exclusions != 2; ++i)
        chart.exclusions.push_back({ xs[4], xs[4], QStringLiteral("event %1").arg(i) });
    for (int i = 1; i <= annotations; ++i)
        chart.annotations[i] = { xs[2], 70.0, 0, QStringLiteral("mark %1").arg(i), Qt::black };
}

// Two hours from 14 March 2024 08:00, a point every 10 s rising and falling 40 to 70 dB, for
// the sections that need a survey: periods, days, exceedances of 55 dB, the distribution; with
// `analysis`, an excluded, a Specific and a Residual interval, two marks, an overlay of another
// weighting and the survey's details with a calibration drift after.
void fillLongSurvey(ChartModel &chart, bool analysis, int points = 720, int step = 10)
{
    std::vector<double> xs;
    std::vector<float> ys;
    for (int i = 0; i < points; ++i) {
        xs.push_back(Start + i * step * DateTimeDays::OneSecond);
        ys.push_back(float(40 + (i * 7) % 31));
    }
    chart.setSubsets(1);
    chart.setPoints(points);
    chart.setSeries(0, xs, ys);
    chart.dateTimeX = true;
    if (!analysis)
        return;
    chart.limit = 55.0;
    chart.exclusions
        = { { xs[10], xs[20], QStringLiteral("barking dog") },
            { xs[100], xs[160], QStringLiteral("lorry"), IntervalCategory::Specific },
            { xs[300], xs[360], QStringLiteral("quiet"), IntervalCategory::Residual } };
    chart.annotations[3] = { xs[50], 60.0, 0, QStringLiteral("mark 1"), Qt::black };
    chart.annotations[4] = { xs[60], 60.0, 2, QString(), Qt::black };
    OverlaySeries overlay;
    overlay.label = QStringLiteral("Data set 3 (dBC, graph dBA)");
    overlay.interval = 10.0;
    overlay.xs = { xs[0], xs[1], xs[2] };
    overlay.ys = { 50.0f, 60.0f, 70.0f };
    chart.overlay = overlay;
    SurveyDetails &d = chart.details;
    d.project = QStringLiteral("Ring road");
    d.client = QStringLiteral("County council");
    d.instrument.model = QStringLiteral("Q7316");
    d.instrument.serialNumber = QStringLiteral("A1234");
    d.calibrationBefore = { 94.0, 94.2 };
    d.calibrationAfter = { 94.0, 94.6 };
}

// Writes the report of a chart, as Report... and audexa-cli do, to `file`.
QString writeReport(const ChartModel &chart, const QString &file, const QLocale &locale,
                    const ReportSections::Set &sections = ReportSections::all())
{
    const GraphSource source
        = GraphSource::dataSetOf(2, Start, 10, QStringLiteral("dBA"), QStringLiteral("FAST"));
    const SeriesFigures figures(chart, source.intervalOf(chart));
    SurveyReport::Contents contents;
    contents.locale = locale;
    contents.title = QStringLiteral("Survey at the school gate");
    contents.made = QDateTime(QDate(2024, 3, 14), QTime(9, 30));
    contents.whole = figures.whole();
    contents.between = figures.between(0, 1);
    contents.details = chart.details;
    contents.sections = sections;
    SurveyReport::describeChart(contents, chart, source);
    contents.drawGraph = [](QPainter &painter, const QRectF &target) {
        painter.drawText(target, Qt::AlignCenter, QStringLiteral("GRAPH"));
    };
    return SurveyReport::write(contents, file);
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sections_data();
    void sections();
    void longTablesRepeatTheirHeader();
    void reportCommand_data();
    void reportCommand();
    void reportDialog();
    void sectionsByName_data();
    void sectionsByName();
};

void TestReport::sections_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("analysis");
    QTest::addColumn<QString>("sections");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("texts"); // in the report, blanks made one
    QTest::addColumn<QStringList>("absent");

    QTest::newRow("a whole survey, every section")
        << "en_US" << true << "all"
        << "r.pdf"
        << QStringList { "Survey details",
                         "Project Ring road",
                         "Client County council",
                         "Instrument Q7316, serial number A1234",
                         "Calibration check before Reference 94.0 dB, reading 94.2 dB, "
                         "difference +0.2 dB Calibration",
                         "difference +0.6 dB \u2013 more than 0.5 dB",
                         "GRAPH",
                         "Acoustic figures",
                         "Whole graph All points",
                         "Specific Residual",
                         "Excluded intervals are left out of every column but \"All points\".",
                         "Compliance with the limit",
                         "Limit 55.0 dB",
                         "Exceedances: ",
                         "Periods of 15 minutes whose Leq is above the limit:",
                         "Periods of 15 minutes",
                         "Start N Leq Lmax L10 L90 Coverage %",
                         "3/14/24 8:15:00 AM 90",
                         "Lday Levening Lnight Lden",
                         "Exceedances of Limit 55.0 dB",
                         "Distribution of levels (709 points",
                         "Intervals",
                         "barking dog",
                         "Specific lorry",
                         "Residual quiet",
                         "Annotations",
                         "mark 1",
                         "(cross)",
                         "Overlay",
                         "Source: Data set 3 (dBC, graph dBA)",
                         "by clock time",
                         "Warning: its weighting or response differs from the graph's (dBC, "
                         "graph dBA)",
                         "Method",
                         "Page 1 of",
                         "Ring road" }
        << QStringList {};
    QTest::newRow("nothing marked: those sections left out, German numbers")
        << "de_DE" << false << "all"
        << "r.pdf"
        << QStringList { "Acoustic figures", "Periods of 15 minutes", "Method", "Page 1 of" }
        << QStringList { "Survey details", "Compliance", "Exceedances", "Intervals",
                         "Annotations",    "Overlay",    "All points" };
    QTest::newRow("the sections chosen alone")
        << "en_US" << true << "figures,method"
        << "r.pdf" << QStringList { "Acoustic figures", "Method" }
        << QStringList { "Survey details", "GRAPH", "Periods of", "Distribution", "Overlay" };
    QTest::newRow("an OpenDocument text") << "en_US" << true << "all"
                                          << "r.odt" << QStringList {} << QStringList {};
}

// A report through the public entry points, read back from its file (the graph is a stand-in:
// Report... below draws the real one).
void TestReport::sections()
{
    QFETCH(QString, locale);
    QFETCH(bool, analysis);
    QFETCH(QString, sections);
    QFETCH(QString, file);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, absent);
    ChartModel chart;
    fillLongSurvey(chart, analysis);
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    QCOMPARE(writeReport(chart, path, QLocale(locale), *ReportSections::parse(sections)),
             QString());
    if (file.endsWith(".odt")) {
        // A zip whose first entry names the document's kind, stored as it is; its tables keep
        // their header rows (repeated on each page) and their columns' shares.
        QFile odt(path);
        QVERIFY(odt.open(QIODevice::ReadOnly));
        QVERIFY(odt.read(100).contains("mimetypeapplication/vnd.oasis.opendocument.text"));
        const QString content = QString::fromUtf8(odtContent(path));
        for (const QString &part : texts)
            QVERIFY2(content.contains(part), qPrintable(part));
        QCOMPARE(content.count("<table:table-header-rows>"), 7); // all but the details
        QCOMPARE(content.count("<table:table "), 8);
        QVERIFY(content.contains(QRegularExpression("style:rel-column-width=\"\\d+\\*\"")));
        return;
    }
    const QString text = pdfText(path);
    for (const QString &part : texts)
        QVERIFY2(text.contains(part), qPrintable(part + " not in: " + text));
    for (const QString &part : absent)
        QVERIFY2(!text.contains(part), qPrintable(part + " in: " + text));
}

// Two days of periods of 5 minutes run over several pages: each page that lists periods starts
// with the table's header row.
void TestReport::longTablesRepeatTheirHeader()
{
    ChartModel chart;
    fillLongSurvey(chart, false, 2 * 24 * 60, 60);
    const GraphSource source
        = GraphSource::dataSetOf(1, Start, 60, QStringLiteral("dBA"), QStringLiteral("FAST"));
    SurveyReport::Contents contents;
    contents.locale = QLocale(QStringLiteral("en_US"));
    contents.periodSeconds = 300;
    contents.sections = { ReportSection::Periods };
    SurveyReport::describeChart(contents, chart, source);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("long.pdf");
    QCOMPARE(SurveyReport::write(contents, pdf), QString());
    const int pages = pdfPages(pdf);
    QVERIFY2(pages >= 5, qPrintable(QString::number(pages)));
    const QRegularExpression periodRow(R"(\d+/\d+/24 \d+:\d\d:00 [AP]M 5 )");
    int rows = 0;
    // The first page holds the title; the periods start on a page of their own.
    for (int page = 2; page <= pages; ++page) {
        const QString text = poppler("pdftotext",
                                     { "-layout", "-f", QString::number(page), "-l",
                                       QString::number(page), pdf, "-" })
                                 .simplified();
        const int here = int(text.count(periodRow));
        rows += here;
        QVERIFY2(here > 0, qPrintable(QString("page %1: %2").arg(page).arg(text)));
        QVERIFY2(text.contains("Start N Leq Lmax L10 L90 Coverage %"),
                 qPrintable(QString("page %1: %2").arg(page).arg(text)));
        QVERIFY(text.contains(QString("Page %1 of %2").arg(page).arg(pages)));
    }
    QCOMPARE(rows, 2 * 24 * 12); // every period, none lost at a page break
}

void TestReport::reportCommand_data()
{
    QTest::addColumn<QString>("mainTitle");
    QTest::addColumn<bool>("accept"); // the "Report" dialog
    QTest::addColumn<QString>("file"); // answered in the save dialog; empty: cancelled
    QTest::addColumn<QString>("written"); // the file there afterwards; empty: none
    QTest::addColumn<QString>("title"); // in the report
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<int>("errors");
    const QStringList both { "Report", "Report" };
    QTest::newRow("the main title; \".pdf\" added") << "Noise at night" << true << "night"
                                                    << "night.pdf"
                                                    << "Noise at night" << both << 0;
    QTest::newRow("no main title: the caption") << "" << true << "night.PDF"
                                                << "night.PDF"
                                                << "Real-Time Graph" << both << 0;
    QTest::newRow("dialog cancelled") << "x" << false << "night"
                                      << ""
                                      << "" << QStringList { "Report" } << 0;
    QTest::newRow("save cancelled") << "x" << true << ""
                                    << ""
                                    << "" << both << 0;
    QTest::newRow("unwritable: told") << "x" << true << "no/folder/r.pdf"
                                      << ""
                                      << "" << both << 1;
}

// Report... on a graph window's toolbar, with the scripted dialogs.
void TestReport::reportCommand()
{
    QFETCH(QString, mainTitle);
    QFETCH(bool, accept);
    QFETCH(QString, file);
    QFETCH(QString, written);
    QFETCH(QString, title);
    QFETCH(QStringList, dialogs);
    QFETCH(int, errors);
    MainWindowRig rig({ .stopMainTimer = true });
    TfrmGraph &graph = *rig.window->graphs().RealTimeGraphWindow();
    fillSurvey(graph.chartModel(), 2, 1);
    graph.chartModel().mainTitle = mainTitle;
    graph.UpdateGraphStatistics();
    graph.chart().redrawNow();
    graph.setSource(GraphSource::realTime(1.0));
    QString shownTitle;
    rig.prompts.dialogHandler = [&](QDialog &dialog) {
        auto &report = static_cast<TfrmReport &>(dialog);
        shownTitle = report.edtTitle->text();
        report.memNote->setPlainText(QStringLiteral("Windy; a lorry passed at 8:00."));
        report.edtSite->setText(QStringLiteral("Am Bach 3"));
        return int(accept ? QDialog::Accepted : QDialog::Rejected);
    };
    if (!file.isEmpty())
        rig.prompts.fileNames << rig.dir.filePath(file);

    MainWindowRig::control<QAction>(graph, "Report1").trigger();
    QCOMPARE(rig.prompts.dialogs, dialogs);
    // The details typed are the measurement's once the dialog is accepted, report or not.
    QCOMPARE(graph.chartModel().details.site, accept ? QString("Am Bach 3") : QString());
    QCOMPARE(rig.prompts.errors.size(), errors);
    if (errors)
        QVERIFY(rig.prompts.errors[0].contains("r.pdf"));
    if (dialogs.size() > 1)
        QCOMPARE(rig.prompts.filters.last(),
                 QString("PDF files (*.pdf);;OpenDocument text (*.odt)"));
    if (written.isEmpty()) {
        QCOMPARE(QDir(rig.dir.path()).entryList({ "*.pdf", "night*" }), QStringList());
        return;
    }
    QCOMPARE(shownTitle, title);
    const QString pdf = rig.dir.filePath(written);
    const QString text = pdfText(pdf);
    // Every figure the window's panel shows, whole and between the cursors, in its row (with
    // the figures of every point between them while some are excluded).
    const std::vector<AcousticFigures::Line> whole
        = AcousticFigures::lines(graph.wholeAcousticFigures(), QLocale::system());
    const std::vector<AcousticFigures::Line> between
        = AcousticFigures::lines(graph.betweenAcousticFigures(), QLocale::system());
    QCOMPARE(whole.size(), std::size_t(11));
    for (std::size_t i = 0; i < whole.size(); ++i) {
        const QString row = whole[i].name + " " + whole[i].value + " " + between[i].value;
        QVERIFY2(text.contains(QRegularExpression(
                     QRegularExpression::escape(whole[i].name) + R"((?: \((?:s|dB)\))? )"
                     + QRegularExpression::escape(whole[i].value) + R"( (?:\S+ )?)"
                     + QRegularExpression::escape(between[i].value))),
                 qPrintable(row + " not in: " + text));
    }
    for (const QString &part :
         { title, QStringLiteral("Windy; a lorry passed at 8:00."), QStringLiteral("barking dog"),
           QStringLiteral("mark 2"), QStringLiteral("Real-time recording"),
           QStringLiteral("Cursor B:") })
        QVERIFY2(text.contains(part), qPrintable(part + " not in: " + text));
}

// The details in and out as they were, every section to start with, the calibration checks'
// differences, and the instrument read from the meter or the reason it was not.
void TestReport::reportDialog()
{
    SurveyDetails details;
    details.project = "Wind farm";
    details.client = "Gemeinde Süd";
    details.site = "Am Bach 3";
    details.position = "Garden, 1.5 m";
    details.operatorName = "K. Ito";
    details.weather = "dry, 2 m/s";
    details.notes = "Line one\nline two";
    details.instrument = { "Q7316-B", "0042", "1.05", "0.3", "0.50  (128)" };
    details.calibrationBefore = { 94.0, 94.25 };
    details.calibrationAfter = { std::nullopt, 93.4 };
    TfrmReport dialog("Night", details);
    QCOMPARE(dialog.details(), details);
    QCOMPARE(dialog.sections(), ReportSections::all());
    QCOMPARE(dialog.checks[0].difference->text(), QString("+0.25 dB"));
    QCOMPARE(dialog.checks[1].difference->text(), QString());
    dialog.chkSections[ReportSection::Days]->setChecked(false);
    QVERIFY(!dialog.sections().contains(ReportSection::Days));

    // The edge of the tolerance passes; beyond it, the difference is marked.
    dialog.checks[1].reference->setText("93.9");
    QCOMPARE(dialog.checks[1].difference->text(), QString("-0.5 dB"));
    dialog.checks[1].reference->setText("94");
    QCOMPARE(dialog.checks[1].difference->text(), QString("-0.6 dB, over 0.5 dB"));
    QPushButton *ok = dialog.buttons->button(QDialogButtonBox::Ok);
    dialog.checks[0].reading->setText("94..1");
    QVERIFY(!ok->isEnabled());
    dialog.checks[0].reading->clear();
    QVERIFY(ok->isEnabled());

    // No details: the model offered is the meter's.
    TfrmReport empty("Night", SurveyDetails());
    QCOMPARE(empty.details().instrument.model, QString("Q7316"));
    QVERIFY(!empty.btnReadMeter->isEnabled());
    InstrumentReading reading { std::nullopt, "There is no connection with meter !" };
    empty.setInstrumentReader([&reading] { return reading; });
    empty.cboModel->setCurrentText("");
    empty.btnReadMeter->click();
    QCOMPARE(empty.lblReadMeter->text(), reading.error);
    QCOMPARE(empty.details(), SurveyDetails());
    reading = { details.instrument, QString() };
    empty.btnReadMeter->click();
    QCOMPARE(empty.details().instrument, details.instrument);
}

void TestReport::sectionsByName_data()
{
    using Set = ReportSections::Set;
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<Set>("sections");
    QTest::addColumn<QString>("error");
    QTest::newRow("all") << "all" << true << ReportSections::all() << "";
    QTest::newRow("blanks and mixed case")
        << " Graph ,periods,  METHOD" << true
        << Set { ReportSection::Graph, ReportSection::Periods, ReportSection::Method } << "";
    QTest::newRow("every name") << "details,graph,figures,compliance,periods,days,exceedances,"
                                   "distribution,intervals,annotations,overlay,method"
                                << true << ReportSections::all() << "";
    QTest::newRow("unknown name") << "graph,tables" << false << Set {}
                                  << "\"tables\" is not a section of the report";
    QTest::newRow("empty name") << "graph,,days" << false << Set {} << "empty name";
}

void TestReport::sectionsByName()
{
    QFETCH(QString, list);
    QFETCH(bool, valid);
    QFETCH(ReportSections::Set, sections);
    QFETCH(QString, error);
    QString reason = "stale";
    const std::optional<ReportSections::Set> parsed = ReportSections::parse(list, &reason);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, sections);
    QVERIFY2(reason.contains(error), qPrintable(reason));
    QCOMPARE(reason.isEmpty(), valid);
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
