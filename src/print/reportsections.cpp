#include "print/reportsections.h"

#include <array>

namespace {

struct Entry
{
    ReportSection section;
    const char *name;
    const char *caption;
};

// In print order.
constexpr std::array<Entry, 12> Entries { {
    { ReportSection::Details, "details", "Survey details" },
    { ReportSection::Graph, "graph", "Graph" },
    { ReportSection::Figures, "figures", "Figures" },
    { ReportSection::Compliance, "compliance", "Compliance with the limit" },
    { ReportSection::Periods, "periods", "Periods" },
    { ReportSection::Days, "days", "Day-evening-night levels" },
    { ReportSection::Exceedances, "exceedances", "Exceedances" },
    { ReportSection::Distribution, "distribution", "Distribution of levels" },
    { ReportSection::Intervals, "intervals", "Marked intervals" },
    { ReportSection::Annotations, "annotations", "Annotations" },
    { ReportSection::Overlay, "overlay", "Overlay" },
    { ReportSection::Method, "method", "Method" },
} };

const Entry &entryOf(ReportSection section)
{
    for (const Entry &e : Entries)
        if (e.section == section)
            return e;
    return Entries.front(); // not reached: every section has its entry
}

QString names()
{
    QStringList list;
    for (const Entry &e : Entries)
        list << QLatin1String(e.name);
    return list.join(QLatin1String(", "));
}

} // namespace

namespace ReportSections {

Set all()
{
    Set sections;
    for (const Entry &e : Entries)
        sections.insert(e.section);
    return sections;
}

QString nameOf(ReportSection section)
{
    return QLatin1String(entryOf(section).name);
}

QString captionOf(ReportSection section)
{
    return QLatin1String(entryOf(section).caption);
}

std::optional<Set> parse(const QString &list, QString *error)
{
    Set sections;
    for (const QString &part : list.split(QLatin1Char(','))) {
        const QString name = part.trimmed();
        if (name.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0) {
            sections = all();
            continue;
        }
        bool known = false;
        for (const Entry &e : Entries) {
            if (name.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0) {
                sections.insert(e.section);
                known = true;
            }
        }
        if (!known) {
            if (error)
                *error = (name.isEmpty()
                              ? QStringLiteral("The list of sections has an empty name")
                              : QStringLiteral("\"%1\" is not a section of the report").arg(name))
                    + QStringLiteral(" (the sections: all, %1).").arg(names());
            return std::nullopt;
        }
    }
    if (error)
        error->clear();
    return sections;
}

} // namespace ReportSections
