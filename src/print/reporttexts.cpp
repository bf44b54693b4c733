#include "print/reporttexts.h"

#include "base/datetimedays.h"
#include "survey/figuretable.h"
#include "survey/periodchoice.h"

#include <algorithm>

namespace {

const QString EnDash = QStringLiteral("\u2013");

// One line of a list: line breaks inside a text become blanks.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text.trimmed();
}

QString cursorLine(const QString &name, const SurveyReport::Cursor &cursor)
{
    const QString head = QStringLiteral("Cursor %1: ").arg(name);
    if (cursor.time.isEmpty() && cursor.level.isEmpty())
        return head + QStringLiteral("not placed");
    const QString level = cursor.level.isEmpty() ? QStringLiteral("no level")
                                                 : cursor.level + QStringLiteral(" dB");
    return cursor.time.isEmpty() ? head + level
                                 : head + level + QStringLiteral(" at ") + cursor.time;
}

QString unitOf(const QString &figure)
{
    if (figure == QLatin1String("N"))
        return {};
    if (figure == QLatin1String("T"))
        return QStringLiteral(" (s)");
    return QStringLiteral(" (dB)");
}

QString decibels(std::optional<double> value, const QLocale &locale)
{
    return value ? AcousticFigures::decimalText(value, locale, 1) + QStringLiteral(" dB")
                 : QString();
}

// "Reference 94.0 dB, reading 94.2 dB, difference +0.2 dB", the parts known.
QString calibrationText(const CalibrationCheck &check, const QLocale &locale)
{
    QStringList parts;
    if (check.reference)
        parts << QStringLiteral("reference ") + decibels(check.reference, locale);
    if (check.reading)
        parts << QStringLiteral("reading ") + decibels(check.reading, locale);
    if (const std::optional<double> d = check.difference()) {
        const QString value = AcousticFigures::decimalText(*d, locale, 1);
        parts << QStringLiteral("difference ") + (*d > 0.0 ? QStringLiteral("+") : QString())
                + value + QStringLiteral(" dB");
    }
    QString text = parts.join(QStringLiteral(", "));
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    if (check.flagged())
        text += QStringLiteral(" \u2013 more than %1 dB: the measurement may be off by as much")
                    .arg(AcousticFigures::decimalText(CalibrationCheck::Tolerance, locale, 1));
    return text;
}

void addDetails(ReportTexts &t, const SurveyDetails &d, const QLocale &locale)
{
    const auto add = [&t](const QString &name, const QString &value, bool flagged = false) {
        if (!value.trimmed().isEmpty())
            t.details.push_back({ name, oneLine(value), flagged });
    };
    add(QStringLiteral("Project"), d.project);
    add(QStringLiteral("Client"), d.client);
    add(QStringLiteral("Site"), d.site);
    add(QStringLiteral("Measurement position"), d.position);
    add(QStringLiteral("Operator"), d.operatorName);
    add(QStringLiteral("Weather"), d.weather);
    const InstrumentDetails &i = d.instrument;
    QStringList instrument;
    if (!i.model.trimmed().isEmpty())
        instrument << oneLine(i.model);
    if (!i.serialNumber.trimmed().isEmpty())
        instrument << QStringLiteral("serial number ") + oneLine(i.serialNumber);
    if (!i.firmware.trimmed().isEmpty())
        instrument << QStringLiteral("firmware ") + oneLine(i.firmware);
    add(QStringLiteral("Instrument"), instrument.join(QStringLiteral(", ")));
    QStringList stored;
    if (!i.calibration94.trimmed().isEmpty())
        stored << QStringLiteral("94 dB: ") + oneLine(i.calibration94);
    if (!i.calibration70.trimmed().isEmpty())
        stored << QStringLiteral("70 dB: ") + oneLine(i.calibration70);
    add(QStringLiteral("Meter's calibration values"), stored.join(QStringLiteral(", ")));
    add(QStringLiteral("Calibration check before"), calibrationText(d.calibrationBefore, locale),
        d.calibrationBefore.flagged());
    add(QStringLiteral("Calibration check after"), calibrationText(d.calibrationAfter, locale),
        d.calibrationAfter.flagged());
    t.detailNotes = d.notes.trimmed();
}

void addFigures(ReportTexts &t, const SurveyReport::Contents &c)
{
    struct Column
    {
        QString title;
        const AcousticFigures::Figures *figures;
    };
    std::vector<Column> columns { { QStringLiteral("Whole graph"), &c.whole } };
    if (c.withExcluded)
        columns.push_back({ QStringLiteral("All points"), &*c.withExcluded });
    columns.push_back({ QStringLiteral("A ") + EnDash + QStringLiteral(" B"), &c.between });
    if (c.specific)
        columns.push_back({ categoryName(IntervalCategory::Specific), &*c.specific });
    if (c.residual)
        columns.push_back({ categoryName(IntervalCategory::Residual), &*c.residual });

    t.figures.titles << QStringLiteral("Figure");
    std::vector<std::vector<AcousticFigures::Line>> lines;
    for (const Column &column : columns) {
        t.figures.titles << column.title;
        lines.push_back(AcousticFigures::lines(*column.figures, c.locale));
    }
    for (std::size_t row = 0; row < lines[0].size(); ++row) {
        QStringList cells { lines[0][row].name + unitOf(lines[0][row].name) };
        for (const auto &column : lines)
            cells << column[row].value;
        t.figures.rows.push_back(cells);
        t.figures.flagged.push_back(0);
    }
    const bool excluded = std::any_of(c.exclusions.begin(), c.exclusions.end(), [](const auto &e) {
        return e.category == IntervalCategory::Excluded;
    });
    if (excluded)
        t.figureNotes.push_back(
            c.withExcluded ? QStringLiteral("Excluded intervals are left out of every column "
                                            "but \"All points\".")
                           : QStringLiteral("Excluded intervals are left out of the figures."));
    t.figureNotes.push_back(cursorLine(QStringLiteral("A"), c.cursorA));
    t.figureNotes.push_back(cursorLine(QStringLiteral("B"), c.cursorB));
}

QString secondsText(std::optional<double> seconds, std::optional<double> interval,
                    const QLocale &locale)
{
    return seconds
        ? AcousticFigures::decimalText(seconds, locale, Exceedances::secondsDecimals(interval))
        : QString();
}

void addCompliance(ReportTexts &t, const SurveyReport::Contents &c)
{
    if (!c.limit)
        return;
    const QLocale &l = c.locale;
    t.compliance.push_back(Exceedances::limitText(*c.limit, l));
    const std::size_t runs = c.exceedances.runs.size();
    if (runs == 0) {
        t.compliance.push_back(QStringLiteral("No level is above the limit."));
    } else {
        QString line = QStringLiteral("Exceedances: %1").arg(l.toString(qlonglong(runs)));
        if (c.exceedances.totalSeconds)
            line += QStringLiteral(", %1 s above the limit in all")
                        .arg(secondsText(c.exceedances.totalSeconds, c.interval, l));
        t.compliance.push_back(line);
        if (c.exceedances.totalSeconds && c.whole.seconds && *c.whole.seconds > 0.0)
            t.compliance.push_back(
                QStringLiteral("Share of the measured time above the limit: %1 %")
                    .arg(AcousticFigures::decimalText(
                        100.0 * *c.exceedances.totalSeconds / *c.whole.seconds, l, 1)));
    }
    if (!c.periods.empty()) {
        long long above = 0, withLeq = 0;
        for (const PeriodFigures::Row &row : c.periods)
            if (row.leq) {
                ++withLeq;
                above += *row.leq > *c.limit ? 1 : 0;
            }
        t.compliance.push_back(
            QStringLiteral("Periods of %1 whose Leq is above the limit: %2 of %3")
                .arg(PeriodChoice::textOf(c.periodSeconds), l.toString(above),
                     l.toString(withLeq)));
    }
}

// A figure table as the "Periods" window shows it, a flagged cell marked with "*".
ReportTexts::Table tableOf(const FigureTable &table, const QString &note)
{
    ReportTexts::Table t;
    t.titles = table.titles();
    bool anyFlag = false;
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList cells;
        quint32 flags = 0;
        for (int col = 0; col < table.columnCount(); ++col) {
            QString text = table.text(r, col);
            if (table.isFlagged(r, col)) {
                flags |= 1u << col;
                text += QLatin1Char('*');
            }
            cells << text;
        }
        anyFlag = anyFlag || flags != 0;
        t.rows.push_back(cells);
        t.flagged.push_back(flags);
    }
    if (anyFlag)
        t.note = note;
    return t;
}

void addTables(ReportTexts &t, const SurveyReport::Contents &c)
{
    const QString threshold = c.locale.toString(c.coverageThreshold);
    t.periodsTitle = QStringLiteral("Periods of %1").arg(PeriodChoice::textOf(c.periodSeconds));
    if (c.refusedPeriods > 0)
        t.periods.note = QStringLiteral("The points span %1 periods, more than a table holds: "
                                        "choose a longer period.")
                             .arg(c.locale.toString(c.refusedPeriods));
    if (!c.periods.empty())
        t.periods = tableOf(
            FigureTable::ofPeriods(c.periods, c.periodSeconds, c.coverageThreshold, c.locale),
            QStringLiteral("* Coverage below %1 %, or L10 and L90 from fewer than 10 points.")
                .arg(threshold));
    t.daysTitle = c.hours.description();
    if (!c.days.empty())
        t.days = tableOf(FigureTable::ofDays(c.days, c.hours, c.coverageThreshold, c.locale),
                         QStringLiteral("* A part's coverage below %1 %; the day's %2 with it.")
                             .arg(threshold, c.hours.levelName()));

    if (c.limit && !c.exceedances.runs.empty()) {
        t.exceedancesTitle
            = QStringLiteral("Exceedances of %1").arg(Exceedances::limitText(*c.limit, c.locale));
        t.exceedances.titles = { QStringLiteral("Start"), QStringLiteral("Seconds"),
                                 QStringLiteral("Lmax (dB)"), QStringLiteral("Leq (dB)") };
        const std::size_t shown = std::min<std::size_t>(
            c.exceedances.runs.size(), std::size_t(ReportTexts::MaxListedExceedances));
        for (std::size_t i = 0; i < shown; ++i) {
            const Exceedances::Run &run = c.exceedances.runs[i];
            t.exceedances.rows.push_back({ SurveyReport::dateTimeText(run.start, c.locale),
                                           secondsText(run.seconds, c.interval, c.locale),
                                           AcousticFigures::decimalText(run.lmax, c.locale, 1),
                                           AcousticFigures::decimalText(run.leq, c.locale, 1) });
            t.exceedances.flagged.push_back(0);
        }
        if (shown < c.exceedances.runs.size())
            t.exceedances.note
                = QStringLiteral("The first %1 are listed; %2 more are in "
                                 "\"Export Exceedances\".")
                      .arg(c.locale.toString(qlonglong(shown)),
                           c.locale.toString(qlonglong(c.exceedances.runs.size() - shown)));
    }
}

void addLists(ReportTexts &t, const SurveyReport::Contents &c)
{
    const bool categories
        = std::any_of(c.exclusions.begin(), c.exclusions.end(),
                      [](const auto &e) { return e.category != IntervalCategory::Excluded; });
    t.intervalsTitle
        = categories ? QStringLiteral("Intervals") : QStringLiteral("Excluded intervals");
    t.intervals.titles = { QStringLiteral("From"), QStringLiteral("To"), QStringLiteral("Category"),
                           QStringLiteral("Reason") };
    for (const SurveyReport::Exclusion &e : c.exclusions) {
        t.intervals.rows.push_back({ e.from, e.to, categoryName(e.category), oneLine(e.label) });
        t.intervals.flagged.push_back(0);
    }
    t.annotations.titles = { QStringLiteral("Time"), QStringLiteral("Text") };
    for (const SurveyReport::Annotation &a : c.annotations) {
        const QString text = oneLine(a.text);
        t.annotations.rows.push_back({ a.time, text.isEmpty() ? QStringLiteral("(cross)") : text });
        t.annotations.flagged.push_back(0);
    }
}

void addOverlay(ReportTexts &t, const SurveyReport::Contents &c)
{
    if (!c.overlay)
        return;
    const SurveyReport::Overlay &o = *c.overlay;
    t.overlay.push_back(QStringLiteral("Source: ") + oneLine(o.label));
    t.overlay.push_back(
        QStringLiteral("Laid on the graph %1, its times moved by %2").arg(o.alignment, o.shift));
    if (o.interval && *o.interval > 0.0)
        t.overlay.push_back(QStringLiteral("Interval: %1 s")
                                .arg(AcousticFigures::decimalText(o.interval, c.locale, 1)));
    if (!o.kindWarning.isEmpty())
        t.overlay.push_back(QStringLiteral("Warning: its weighting or response differs from the "
                                           "graph's (%1): the levels do not compare directly.")
                                .arg(o.kindWarning));
    t.overlayFigures.titles = { QStringLiteral("Figure"), QStringLiteral("Overlay") };
    for (const AcousticFigures::Line &line : AcousticFigures::lines(o.figures, c.locale)) {
        t.overlayFigures.rows.push_back({ line.name + unitOf(line.name), line.value });
        t.overlayFigures.flagged.push_back(0);
    }
}

} // namespace

bool ReportTexts::holds(ReportSection section) const
{
    switch (section) {
    case ReportSection::Details:
        return !details.empty() || !detailNotes.isEmpty();
    case ReportSection::Graph:
    case ReportSection::Figures:
        return true;
    case ReportSection::Compliance:
        return !compliance.empty();
    case ReportSection::Periods:
        return !periods.isEmpty() || !periods.note.isEmpty();
    case ReportSection::Days:
        return !days.isEmpty();
    case ReportSection::Exceedances:
        return !exceedances.isEmpty();
    case ReportSection::Distribution:
        return distribution;
    case ReportSection::Intervals:
        return !intervals.isEmpty();
    case ReportSection::Annotations:
        return !annotations.isEmpty();
    case ReportSection::Overlay:
        return !overlay.empty();
    case ReportSection::Method:
        return !method.empty();
    }
    return false;
}

ReportTexts ReportTexts::of(const SurveyReport::Contents &c)
{
    ReportTexts t;
    t.title = oneLine(c.title);
    if (t.title.isEmpty())
        t.title = QStringLiteral("Report");
    if (c.made.isValid())
        t.about.push_back(QStringLiteral("Report made ")
                          + c.locale.toString(c.made.date(), QLocale::ShortFormat)
                          + QLatin1Char(' ')
                          + c.locale.toString(
                              c.made.time(),
                              DateTimeDays::wholeSecondsTimeFormat(c.locale, QLocale::LongFormat)));
    for (const QString &line : c.sourceLines)
        t.about.push_back(oneLine(line));
    t.note = c.note.trimmed();
    t.footer = oneLine(c.details.project);
    addDetails(t, c.details, c.locale);
    addFigures(t, c);
    addCompliance(t, c);
    addTables(t, c);
    t.distributionTitle = QStringLiteral("Distribution of levels (%1 points, classes of 1 dB)")
                              .arg(c.locale.toString(c.distribution.n));
    t.distribution = !c.distribution.classes.empty();
    addLists(t, c);
    addOverlay(t, c);
    t.method = c.methodLines;
    return t;
}
