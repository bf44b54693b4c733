#include "print/reportsections.h"

#include <array>

namespace ReportSections {

namespace {

struct Entry
{
    ReportSection section;
    const char *name;
    const char *caption;
};

constexpr std::array<Entry, 12> Entries { {
    { ReportSection::Details, "details", "Survey details" },
    { ReportSection::Graph, "graph", "Graph" },
    { ReportSection::Figures, "figures", "Acoustic figures" },
    { ReportSection::Compliance, "compliance", "Compliance with the limit" },
    { ReportSection::Periods, "periods", "Periods" },
    { ReportSection::Days, "days", "Day, evening and night levels" },
    { ReportSection::Exceedances, "exceedances", "Exceedances" },
    { ReportSection::Distribution, "distribution", "Distribution of levels" },
    { ReportSection::Intervals, "intervals", "Intervals" },
    { ReportSection::Annotations, "annotations", "Annotations" },
    { ReportSection::Overlay, "overlay", "Overlay" },
    { ReportSection::Method, "method", "Method" },
} };

} // namespace

Set all()
{
    Set set;
    for (const Entry &e : Entries)
        set.insert(e.section);
    return set;
}

QString nameOf(ReportSection section)
{
    for (const Entry &e : Entries)
        if (e.section == section)
            return QString::fromLatin1(e.name);
    return {};
}

QString captionOf(ReportSection section)
{
    for (const Entry &e : Entries)
        if (e.section == section)
            return QString::fromLatin1(e.caption);
    return {};
}

std::optional<Set> parse(const QString &list, QString *error)
{
    Set set;
    for (const QString &part : list.split(QLatin1Char(','))) {
        const QString name = part.trimmed().toLower();
        if (name == QLatin1String("all")) {
            set = all();
            continue;
        }
        bool known = false;
        for (const Entry &e : Entries)
            if (name == QLatin1String(e.name)) {
                set.insert(e.section);
                known = true;
            }
        if (!known) {
            if (error)
                *error = QStringLiteral("\"%1\" is no section of a report").arg(part.trimmed());
            return std::nullopt;
        }
    }
    return set;
}

} // namespace ReportSections
