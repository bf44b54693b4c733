#include "print/surveyreport.h"

#include "base/datetimedays.h"
#include "chart/chartmodel.h"
#include "files/wholefile.h"
#include "print/distributionpicture.h"
#include "print/odttables.h"
#include "print/reportdocument.h"
#include "print/reporttexts.h"
#include "survey/excludedintervals.h"
#include "survey/graphsource.h"
#include "survey/levelkind.h"
#include "survey/methodlines.h"
#include "survey/overlayfigures.h"
#include "survey/seriesfigures.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextDocumentWriter>

#include <cmath>

namespace SurveyReport {

namespace {

constexpr int Resolution = 300; // dots per inch: fine enough for the graph's lines
constexpr double MarginMm = 15.0;
constexpr double FooterPoints = 7.5;
constexpr double GraphAspect = 1.7; // width / height: the graph across the page
constexpr double DistributionAspect = 2.4;

QString timeOfDayText(double days, const QLocale &locale)
{
    const QTime time = DateTimeDays::timeOf(DateTimeDays::roundedToSecond(days));
    return time.isValid()
        ? locale.toString(time, DateTimeDays::wholeSecondsTimeFormat(locale, QLocale::LongFormat))
        : QString();
}

// An X value as the report shows it: a date-time on a date-time axis, a number otherwise.
QString xText(double x, const ChartModel &chart, const QLocale &locale)
{
    return chart.dateTimeX ? dateTimeText(x, locale) : locale.toString(x, 'g', 6);
}

QString cannotWrite(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Cannot write file \"%1\". %2")
        .arg(QDir::toNativeSeparators(fileName), reason);
}

// A shift of days as "+1 day", or "-0:05:30" for one within a day, "+2 days 3:00:00" beyond.
QString shiftText(double days, const QLocale &locale)
{
    const QString sign = days < 0.0 ? QStringLiteral("\u2212") : QStringLiteral("+");
    long long seconds = std::llround(std::abs(days) * DateTimeDays::SecondsPerDay);
    const long long wholeDays = seconds / 86400;
    seconds %= 86400;
    QString text = sign;
    if (wholeDays > 0)
        text += wholeDays == 1 ? QStringLiteral("1 day")
                               : QStringLiteral("%1 days").arg(locale.toString(wholeDays));
    if (seconds > 0 || wholeDays == 0)
        text += (wholeDays > 0 ? QStringLiteral(" ") : QString())
            + QStringLiteral("%1:%2:%3")
                  .arg(seconds / 3600)
                  .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                  .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return text;
}

// The figures of every valid point of subset 0, those in excluded intervals included.
AcousticFigures::Figures withEveryPoint(const ChartModel &chart, std::optional<double> interval)
{
    std::vector<float> levels;
    if (chart.subsets() > 0)
        for (const float y : chart.ys(0))
            if (AcousticFigures::isValidLevel(y))
                levels.push_back(y);
    return AcousticFigures::fromValidLevels(levels, interval);
}

ReportDocument::Pictures picturesOf(const Contents &c)
{
    ReportDocument::Pictures pictures;
    pictures.graph = { c.drawGraph, GraphAspect };
    pictures.distribution
        = { [&c](QPainter &painter, const QRectF &target) {
               DistributionPicture::draw(painter, target, c.distribution, c.locale);
           },
            DistributionAspect };
    return pictures;
}

// The report as a PDF file's bytes: the document printed page by page, each page with the
// project and "Page N of M" under it. Empty with `error` set when it could not be drawn.
QByteArray pdfOf(const Contents &c, const ReportTexts &texts, QString &error)
{
    // The PDF writer does not say when a write to its device fails or falls short: it writes
    // into memory, and the whole report then goes to the file in one checked write.
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&file);
    pdf.setResolution(Resolution);
    pdf.setPageLayout(QPageLayout(QPageSize(paperOf(c.locale)), QPageLayout::Portrait,
                                  QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm),
                                  QPageLayout::Millimeter));
    pdf.setTitle(texts.title);
    pdf.setCreator(QStringLiteral("Audexa"));
    // The painter's origin is the printable area's top left corner.
    const QRect printable = pdf.pageLayout().paintRectPixels(Resolution);
    QFont footerFont;
    footerFont.setPointSizeF(FooterPoints);
    const double footerHeight = 2.5 * QFontMetricsF(footerFont, &pdf).height();
    const QSizeF body(printable.width(), printable.height() - footerHeight);
    const std::unique_ptr<QTextDocument> doc = ReportDocument::build(
        texts, c.sections, picturesOf(c), ReportDocument::PictureMode::Drawn, &pdf, body);

    QPainter painter;
    if (!painter.begin(&pdf)) {
        error = QStringLiteral("The report could not be drawn.");
        return {};
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int pages = doc->pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            pdf.newPage();
        painter.save();
        const QRectF clip(0.0, page * body.height(), body.width(), body.height());
        painter.translate(0.0, -clip.top());
        painter.setClipRect(clip);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = clip;
        doc->documentLayout()->draw(&painter, context);
        painter.restore();

        painter.setFont(footerFont);
        painter.setPen(QColor(0x55, 0x55, 0x55));
        const QRectF footer(0.0, printable.height() - footerHeight / 2.0, body.width(),
                            footerHeight / 2.0);
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom, texts.footer);
        painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("Page %1 of %2")
                             .arg(c.locale.toString(page + 1), c.locale.toString(pages)));
    }
    if (!painter.end()) {
        error = QStringLiteral("The report could not be drawn.");
        return {};
    }
    return file.data();
}

// The report as an OpenDocument text's bytes, its pictures embedded as images.
QByteArray odtOf(const Contents &c, const ReportTexts &texts, QString &error)
{
    const std::unique_ptr<QTextDocument> doc = ReportDocument::build(
        texts, c.sections, picturesOf(c), ReportDocument::PictureMode::Embedded, nullptr, {});
    doc->setMetaInformation(QTextDocument::DocumentTitle, texts.title);
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&file, "odf");
    if (!writer.write(doc.get())) {
        error = QStringLiteral("The document could not be written.");
        return {};
    }
    return OdtTables::laidOut(file.data(), *doc, error).value_or(QByteArray());
}

} // namespace

QString dateTimeText(double days, const QLocale &locale)
{
    const DateTimeDays::DateAndTime t
        = DateTimeDays::dateAndTimeOf(DateTimeDays::roundedToSecond(days));
    if (!t.date.isValid() || !t.time.isValid())
        return {};
    return locale.toString(t.date, QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(t.time,
                          DateTimeDays::wholeSecondsTimeFormat(locale, QLocale::LongFormat));
}

void describeChart(Contents &contents, const ChartModel &chart, const GraphSource &source)
{
    const QLocale &locale = contents.locale;
    contents.sourceLines = source.describe(locale);
    contents.annotations.clear();
    for (const auto &entry : chart.annotations)
        contents.annotations.push_back({ xText(entry.second.x, chart, locale), entry.second.text });
    contents.interval = source.intervalOf(chart);
    const std::optional<double> interval = contents.interval;
    const SeriesFigures figures(chart, interval);
    contents.specific = figures.ofCategory(IntervalCategory::Specific);
    contents.residual = figures.ofCategory(IntervalCategory::Residual);
    contents.exclusions.clear();
    for (const ExcludedInterval &e : chart.exclusions) {
        // An interval within one day gives its end as a time of day alone.
        const QDate from = DateTimeDays::dateOf(DateTimeDays::roundedToSecond(e.from));
        const QDate to = DateTimeDays::dateOf(DateTimeDays::roundedToSecond(e.to));
        const bool sameDay = chart.dateTimeX && from.isValid() && from == to;
        contents.exclusions.push_back(
            { xText(e.from, chart, locale),
              sameDay ? timeOfDayText(e.to, locale) : xText(e.to, chart, locale), e.label,
              e.category });
    }
    contents.withExcluded.reset();
    if (ExcludedIntervals::holdsCategory(chart.exclusions, IntervalCategory::Excluded))
        contents.withExcluded = withEveryPoint(chart, interval);

    if (!contents.limit)
        contents.limit = chart.limit;
    contents.periods.clear();
    contents.days.clear();
    contents.refusedPeriods = 0;
    if (chart.dateTimeX) {
        PeriodFigures::Result periods
            = PeriodFigures::periods(chart, contents.periodSeconds, interval);
        contents.periods = std::move(periods.rows);
        contents.refusedPeriods = periods.refusedRows;
        contents.days = DayNightLevels::days(chart, contents.hours, interval).rows;
    }
    contents.exceedances = contents.limit ? Exceedances::of(chart, *contents.limit, interval)
                                          : Exceedances::Result {};
    contents.distribution
        = LevelDistribution::of(figures.validLevels(), LevelDistribution::DefaultWidthInTenths);
    contents.overlay.reset();
    if (chart.overlay) {
        const OverlaySeries &o = *chart.overlay;
        Overlay overlay;
        overlay.label = o.label;
        overlay.alignment = o.alignment == OverlayAlignment::Start
            ? QStringLiteral("by start")
            : QStringLiteral("by clock time");
        overlay.shift = shiftText(o.shift, locale);
        overlay.kindWarning = overlayKindDifference(o.label);
        overlay.figures = OverlayFigures::of(o);
        if (o.interval > 0.0)
            overlay.interval = o.interval;
        contents.overlay = std::move(overlay);
    }
    contents.methodLines = MethodLines::lines(
        chart, source, chart.yAxisLabel,
        MethodLines::Settings { contents.hours, double(contents.coverageThreshold) }, locale);
}

QPageSize::PageSizeId paperOf(const QLocale &locale)
{
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                   : QPageSize::A4;
}

QString write(const Contents &contents, const QString &fileName)
{
    if (fileName.isEmpty())
        return QStringLiteral("Cannot write a report without a file name.");
    const ReportTexts texts = ReportTexts::of(contents);
    QString error;
    const bool document
        = QFileInfo(fileName).suffix().compare(QLatin1String("odt"), Qt::CaseInsensitive) == 0;
    const QByteArray bytes
        = document ? odtOf(contents, texts, error) : pdfOf(contents, texts, error);
    if (!error.isEmpty())
        return cannotWrite(fileName, error);
    return WholeFile::write(fileName, bytes);
}

} // namespace SurveyReport
