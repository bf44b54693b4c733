#include "print/surveyreport.h"

#include "base/datetimedays.h"
#include "chart/chartmodel.h"
#include "files/wholefile.h"
#include "print/reportpage.h"
#include "print/reporttexts.h"
#include "survey/graphsource.h"
#include "survey/seriesfigures.h"

#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace SurveyReport {

namespace {

constexpr int Resolution = 300; // dots per inch: fine enough for the graph's lines
constexpr double MarginMm = 15.0;

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
    const SeriesFigures figures(chart, source.intervalOf(chart));
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
    // The PDF writer does not say when a write to its device fails or falls short: it writes
    // into memory, and the whole report then goes to the file in one checked write.
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&file);
    pdf.setResolution(Resolution);
    pdf.setPageLayout(QPageLayout(QPageSize(paperOf(contents.locale)), QPageLayout::Portrait,
                                  QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm),
                                  QPageLayout::Millimeter));
    pdf.setTitle(contents.title);
    pdf.setCreator(QStringLiteral("Audexa"));
    QPainter painter;
    if (!painter.begin(&pdf))
        return cannotWrite(fileName, QStringLiteral("The report could not be drawn."));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // The painter's origin is the printable area's top left corner.
    const QPageLayout layout = pdf.pageLayout();
    const QRect printable = layout.paintRectPixels(Resolution);
    ReportPage::paint(painter, QRectF(0, 0, printable.width(), printable.height()),
                      layout.fullRectPixels(Resolution).height(), ReportTexts::of(contents),
                      contents.drawGraph);
    if (!painter.end())
        return cannotWrite(fileName, QStringLiteral("The report could not be drawn."));
    return WholeFile::write(fileName, file.data());
}

} // namespace SurveyReport
