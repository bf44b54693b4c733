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

// The numbers of the texts "<word> N" in text.
QList<int> numbered(const QString &text, const QString &word)
{
    QList<int> numbers;
    QRegularExpressionMatchIterator it = QRegularExpression(word + " (\\d+)").globalMatch(text);
    while (it.hasNext())
        numbers << it.next().captured(1).toInt();
    return numbers;
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void onePage_data();
    void onePage();
    void reportCommand_data();
    void reportCommand();
    void reportDialog();
    void sectionsByName_data();
    void sectionsByName();
};

void TestReport::onePage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("annotations");
    QTest::addColumn<int>("exclusions");
    QTest::addColumn<int>("noteLength");
    QTest::addColumn<QString>("paper"); // pdfinfo's page size
    QTest::addColumn<QStringList>("texts"); // in the report, blanks made one

    const QStringList figureNames { "N 4",       "T (s)",    "Leq (dB)", "Lmax (dB)",
                                    "Lmin (dB)", "L5 (dB)",  "L10 (dB)", "L50 (dB)",
                                    "L90 (dB)",  "L95 (dB)", "SEL (dB)" };
    QTest::newRow("en_US: Letter, a small survey") << "en_US" << 3 << 2 << 40 << "612 x 792 pts"
                                                   << figureNames
            + QStringList { "Survey at the school gate",
                            "Report made 3/14/24 9:30:00 AM",
                            "Data set 2 of the meter's memory",
                            "Weighting: dBA, response: FAST",
                            "Leq (dB) 74.4 57.4 67.4",
                            "SEL (dB) 80.5",
                            "Cursor A: 50.0 dB at 3/14/24 8:00:00 AM",
                            "3/14/24 8:00:04 AM \u2013 8:00:04 AM Excluded barking dog",
                            "3/14/24 8:00:01 AM \u2013 8:00:02 AM Specific lorry",
                            "3/14/24 8:00:02 AM mark 3" };
    QTest::newRow("de_DE: A4, decimal commas")
        << "de_DE" << 1 << 1 << 40 << "595 x 842 pts"
        << QStringList { "Leq (dB) 74,4 57,4", "Report made 14.03.24 09:30:00", "mark 1" };
    QTest::newRow("500 annotations, 200 exclusions, a 5,000-character note: still one page")
        << "en_US" << 500 << 200 << 5000 << "612 x 792 pts"
        << QStringList {
               "Survey at the school gate", "Leq (dB)", "SEL (dB)", "barking dog", "mark 1", "more"
           };
}

// A report of a small chart through the public entry points, read back from the PDF. The graph
// is a stand-in here (its own texts would be read back with the lists'); Report... below draws
// the real one.
void TestReport::onePage()
{
    QFETCH(QString, locale);
    QFETCH(int, annotations);
    QFETCH(int, exclusions);
    QFETCH(int, noteLength);
    QFETCH(QString, paper);
    QFETCH(QStringList, texts);

    ChartModel chart;
    fillSurvey(chart, annotations, exclusions);
    const GraphSource source
        = GraphSource::dataSetOf(2, Start, 1, QStringLiteral("dBA"), QStringLiteral("FAST"));
    const SeriesFigures figures(chart, source.intervalOf(chart));

    SurveyReport::Contents contents;
    contents.locale = QLocale(locale);
    contents.title = QStringLiteral("Survey at the school gate");
    const QString sentence = QStringLiteral("The meter stood on a tripod 1.5 m above the kerb. ");
    while (contents.note.size() < noteLength - 11)
        contents.note += sentence;
    contents.note += QStringLiteral("END OF NOTE");
    contents.made = QDateTime(QDate(2024, 3, 14), QTime(9, 30));
    contents.whole = figures.whole();
    contents.between = figures.between(0, 1);
    contents.cursorA = { QStringLiteral("50.0"), QStringLiteral("3/14/24 8:00:00 AM") };
    SurveyReport::describeChart(contents, chart, source);
    QRectF graph;
    contents.drawGraph = [&](QPainter &painter, const QRectF &target) {
        graph = target;
        painter.drawText(target, Qt::AlignCenter, QStringLiteral("GRAPH"));
    };
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    QCOMPARE(SurveyReport::write(contents, pdf), QString());

    QCOMPARE(pdfPages(pdf), 1);
    const QString info = poppler("pdfinfo", { pdf });
    QVERIFY2(info.contains(QRegularExpression("Page size: +" + QRegularExpression::escape(paper))),
             qPrintable(info));
    const QString text = pdfText(pdf);
    for (const QString &part : texts + QStringList { "GRAPH" })
        QVERIFY2(text.contains(part), qPrintable(part + " not in: " + text));
    // The graph across the page, about 45 % of its height (300 dots an inch, 15 mm margins).
    QVERIFY2(graph.width() > 2100 && graph.height() > 0.4 * 11 * 300,
             qPrintable(QString::number(graph.height())));
    QVERIFY(text.indexOf("GRAPH") < text.indexOf("Acoustic figures"));

    // What does not fit is cut, never lost without a word: the note ends with "…", each long
    // list with "… and N more", N counting exactly the items not shown.
    QCOMPARE(text.contains("END OF NOTE"), noteLength < 1000);
    QCOMPARE(text.contains(QStringLiteral("\u2026 GRAPH")), noteLength > 1000);
    const QList<int> more = numbered(text, QStringLiteral("\u2026 and"));
    const QList<int> events = numbered(text, "event");
    const QList<int> marks = numbered(text, "mark");
    if (annotations <= 5) {
        QCOMPARE(more.size(), 0);
        QCOMPARE(marks.size(), annotations);
        return;
    }
    QCOMPARE(more.size(), 2);
    QVERIFY(events.size() > 3 && marks.size() > 3);
    QCOMPARE(1 + events.size() + more[0], exclusions);
    QCOMPARE(marks.size() + more[1], annotations);
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
        QCOMPARE(rig.prompts.filters.last(), QString("PDF files (*.pdf)"));
    if (written.isEmpty()) {
        QCOMPARE(QDir(rig.dir.path()).entryList({ "*.pdf", "night*" }), QStringList());
        return;
    }
    QCOMPARE(shownTitle, title);
    const QString pdf = rig.dir.filePath(written);
    QCOMPARE(pdfPages(pdf), 1);
    const QString text = pdfText(pdf);
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
