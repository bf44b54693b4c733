#include "print/reporttexts.h"

#include "base/datetimedays.h"

#include <algorithm>

namespace {

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

} // namespace

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

    const std::vector<AcousticFigures::Line> whole = AcousticFigures::lines(c.whole, c.locale);
    const std::vector<AcousticFigures::Line> between = AcousticFigures::lines(c.between, c.locale);
    for (std::size_t i = 0; i < whole.size(); ++i)
        t.figures.push_back(
            { whole[i].name + unitOf(whole[i].name), whole[i].value, between[i].value, {} });
    for (const auto &[category, figures] :
         { std::pair { IntervalCategory::Specific, c.specific },
           std::pair { IntervalCategory::Residual, c.residual } }) {
        if (!figures)
            continue;
        t.moreFigureTitles.push_back(categoryName(category));
        const std::vector<AcousticFigures::Line> values
            = AcousticFigures::lines(*figures, c.locale);
        for (std::size_t i = 0; i < values.size(); ++i)
            t.figures[i].more.push_back(values[i].value);
    }
    t.cursors = { cursorLine(QStringLiteral("A"), c.cursorA),
                  cursorLine(QStringLiteral("B"), c.cursorB) };

    const bool categories
        = std::any_of(c.exclusions.begin(), c.exclusions.end(),
                      [](const auto &e) { return e.category != IntervalCategory::Excluded; });
    t.intervalsTitle
        = categories ? QStringLiteral("Intervals") : QStringLiteral("Excluded intervals");
    for (const SurveyReport::Exclusion &e : c.exclusions) {
        QString line = e.from + QStringLiteral(" \u2013 ") + e.to;
        if (categories)
            line += QStringLiteral("   ") + categoryName(e.category);
        if (const QString label = oneLine(e.label); !label.isEmpty())
            line += QStringLiteral("   ") + label;
        t.exclusions.push_back(line);
    }
    for (const SurveyReport::Annotation &a : c.annotations) {
        const QString text = oneLine(a.text);
        t.annotations.push_back(a.time + QStringLiteral("   ")
                                + (text.isEmpty() ? QStringLiteral("(cross)") : text));
    }
    return t;
}
