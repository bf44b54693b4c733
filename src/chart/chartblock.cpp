#include "chart/chartblock.h"

#include "chart/chartblockbytes.h"
#include "chart/chartblockdetails.h"
#include "chart/chartmodel.h"
#include "survey/exceedances.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

using ChartBlockBytes::Reader;
using ChartBlockBytes::Writer;

constexpr char Magic[4] = { 'A', 'X', 'C', 'B' };
// Version 1 has no excluded intervals; version 2 adds them after the vertical lines; version 3
// adds the limit and the overlay after them; version 4 adds each interval's category; version 5
// adds the survey details at the end.
constexpr quint16 FirstVersion = 1;
constexpr quint16 ExclusionsVersion = 2;
constexpr quint16 LimitOverlayVersion = 3;
constexpr quint16 CategoryVersion = 4;
constexpr quint16 DetailsVersion = 5;
constexpr quint16 NewestVersion = DetailsVersion;
constexpr int MaxCategory = static_cast<int>(IntervalCategory::Residual);
constexpr int MaxAlignment = static_cast<int>(OverlayAlignment::Start);

// The program draws one or two subsets; each one is a series on the screen and a legend entry.
constexpr quint32 MaxSubsets = 256;
constexpr qint32 MinFontSize = 1;
constexpr qint32 MaxFontSize = 500;
constexpr qint32 MinTextSize = 1;
constexpr qint32 MaxTextSize = 1000;
constexpr int MaxLineType = static_cast<int>(LineType::DashDotDot);
constexpr int MaxGridStyle = static_cast<int>(GridStyle::None);
constexpr int MaxViewingStyle = static_cast<int>(ViewingStyle::Monochrome);
constexpr quint8 TextAnnotation = 0;
constexpr quint8 CrossAnnotation = 2;

// Smallest stored size of one entry of each list, for checking a count before allocating.
constexpr qsizetype MinStringSize = 4;
constexpr qsizetype MinColourSize = 1;
constexpr qsizetype MinLineTypeSize = 1;
constexpr qsizetype MinAnnotationSize = 4 + 8 + 8 + 1 + MinStringSize + MinColourSize;
constexpr qsizetype MinExclusionSize = 8 + 8 + MinStringSize;
constexpr qsizetype PointSize = 8 + 4;

void writeScale(Writer &w, const AxisScale &scale)
{
    w.flag(scale.manual);
    w.f64(scale.min);
    w.f64(scale.max);
}

bool readScale(Reader &r, AxisScale &scale)
{
    return r.flag(scale.manual, "manual scale flag") && r.f64(scale.min) && r.f64(scale.max);
}

quint8 storedCode(int value, int max)
{
    return static_cast<quint8>(value >= 0 && value <= max ? value : 0);
}

quint8 storedAnnotationType(int type)
{
    return type == CrossAnnotation ? CrossAnnotation : TextAnnotation;
}

bool readData(Reader &r, ChartModel &chart)
{
    r.setSection("data");
    quint32 subsets = 0;
    quint32 points = 0;
    if (!r.u32(subsets) || !r.u32(points))
        return false;
    if (subsets > MaxSubsets)
        return r.fail(QStringLiteral("Chart block has too many subsets (%1).").arg(subsets));
    if (points > static_cast<quint32>(std::numeric_limits<int>::max()))
        return r.fail(QStringLiteral("Chart block has too many points (%1).").arg(points));
    // Points without subsets would hold no bytes to check the count against, yet the chart
    // sizes every subset added later by it.
    if (subsets == 0 && points > 0)
        return r.fail(QStringLiteral("Chart block has %1 points but no subsets.").arg(points));
    // At most 256 x 2^31 x 12 bytes: no overflow in 64 bits.
    const quint64 needed = quint64(subsets) * quint64(points) * quint64(PointSize);
    if (needed > static_cast<quint64>(r.left()))
        return r.fail(QStringLiteral("Chart block counts more points (%1 x %2) than it holds.")
                          .arg(subsets)
                          .arg(points));
    if (subsets == 0)
        return true;
    chart.setPoints(static_cast<int>(points));
    chart.setSubsets(static_cast<int>(subsets));
    std::vector<double> xs(points);
    std::vector<float> ys(points);
    for (quint32 s = 0; s < subsets; ++s) {
        if (!r.array(xs) || !r.array(ys))
            return false;
        chart.setSeries(static_cast<int>(s), xs, ys);
    }
    return true;
}

bool readLook(Reader &r, ChartModel &chart)
{
    r.setSection("look");
    if (!r.string(chart.mainTitle) || !r.string(chart.subTitle) || !r.string(chart.xAxisLabel)
        || !r.string(chart.yAxisLabel))
        return false;

    quint32 n = 0;
    if (!r.count(n, MinStringSize, "subset labels"))
        return false;
    chart.subsetLabels.clear();
    chart.subsetLabels.reserve(n);
    for (quint32 i = 0; i < n; ++i) {
        QString label;
        if (!r.string(label))
            return false;
        chart.subsetLabels.append(label);
    }

    if (!r.count(n, MinColourSize, "subset colours"))
        return false;
    chart.subsetColors.assign(n, QColor());
    for (QColor &colour : chart.subsetColors)
        if (!r.colour(colour))
            return false;

    if (!r.count(n, MinLineTypeSize, "subset line types"))
        return false;
    chart.subsetLineTypes.assign(n, 0);
    for (int &lineType : chart.subsetLineTypes)
        if (!r.code(lineType, MaxLineType, "line type"))
            return false;

    int grid = 0;
    int viewing = 0;
    if (!r.colour(chart.yAxisColor) || !r.code(grid, MaxGridStyle, "grid style")
        || !r.code(viewing, MaxViewingStyle, "viewing style")
        || !r.flag(chart.dateTimeX, "date-time flag"))
        return false;
    chart.gridStyle = static_cast<GridStyle>(grid);
    chart.viewingStyle = static_cast<ViewingStyle>(viewing);
    return r.ranged(chart.titleFontSize, MinFontSize, MaxFontSize, "font size")
        && r.ranged(chart.labelFontSize, MinFontSize, MaxFontSize, "font size")
        && r.ranged(chart.legendFontSize, MinFontSize, MaxFontSize, "font size");
}

bool readAnnotations(Reader &r, ChartModel &chart)
{
    r.setSection("annotations");
    quint32 n = 0;
    if (!r.count(n, MinAnnotationSize, "annotations"))
        return false;
    chart.annotations.clear();
    qint64 previous = std::numeric_limits<qint64>::min();
    for (quint32 i = 0; i < n; ++i) {
        qint32 index = 0;
        GraphAnnotation a;
        quint8 type = 0;
        if (!r.i32(index) || !r.f64(a.x) || !r.f64(a.y) || !r.u8(type))
            return false;
        if (index <= previous)
            return r.fail(QStringLiteral("Chart block has annotation %1 out of order.").arg(index));
        if (type != TextAnnotation && type != CrossAnnotation)
            return r.invalid("annotation type", type);
        a.type = type;
        if (!r.string(a.text) || !r.colour(a.color))
            return false;
        previous = index;
        chart.annotations.emplace_hint(chart.annotations.end(), index, std::move(a));
    }
    if (!r.flag(chart.showGraphAnnotations, "annotation flag")
        || !r.ranged(chart.graphAnnotationTextSize, MinTextSize, MaxTextSize, "text size")
        || !r.flag(chart.allowGraphAnnotHotSpots, "annotation flag"))
        return false;

    r.setSection("vertical lines");
    for (VerticalLine &line : chart.verticalLines)
        if (!r.f64(line.x) || !r.string(line.text))
            return false;
    return r.flag(chart.showVertLineAnnotations, "vertical line flag")
        && r.flag(chart.allowVertLineAnnotHotSpots, "vertical line flag")
        && r.ranged(chart.lineAnnotationTextSize, MinTextSize, MaxTextSize, "text size")
        && r.flag(chart.allowDataHotSpots, "data hot spot flag");
}

bool readExclusions(Reader &r, ChartModel &chart, bool withCategory)
{
    r.setSection("excluded intervals");
    quint32 n = 0;
    if (!r.count(n, MinExclusionSize + (withCategory ? 1 : 0), "excluded intervals"))
        return false;
    chart.exclusions.reserve(n);
    for (quint32 i = 0; i < n; ++i) {
        ExcludedInterval e;
        int category = 0;
        if (!r.f64(e.from) || !r.f64(e.to) || !r.string(e.label)
            || (withCategory && !r.code(category, MaxCategory, "interval category")))
            return false;
        e.category = static_cast<IntervalCategory>(category);
        if (!std::isfinite(e.from) || !std::isfinite(e.to))
            return r.fail(
                QStringLiteral("Chart block has excluded interval %1 with an end not finite.")
                    .arg(i + 1));
        if (e.from > e.to)
            return r.fail(
                QStringLiteral("Chart block has excluded interval %1 ending before it starts.")
                    .arg(i + 1));
        chart.exclusions.push_back(std::move(e));
    }
    return true;
}

bool readLimit(Reader &r, ChartModel &chart)
{
    r.setSection("limit");
    bool set = false;
    if (!r.flag(set, "limit flag"))
        return false;
    if (!set)
        return true;
    double limit = 0.0;
    if (!r.f64(limit))
        return false;
    if (!(limit >= Exceedances::LowestLimit && limit <= Exceedances::HighestLimit))
        return r.fail(QStringLiteral("Chart block has a limit outside %1 to %2 dB.")
                          .arg(Exceedances::LowestLimit)
                          .arg(Exceedances::HighestLimit));
    chart.limit = limit;
    return true;
}

bool readOverlay(Reader &r, ChartModel &chart)
{
    r.setSection("overlay");
    bool present = false;
    if (!r.flag(present, "overlay flag"))
        return false;
    if (!present)
        return true;
    OverlaySeries o;
    int alignment = 0;
    quint32 points = 0;
    if (!r.string(o.label) || !r.colour(o.color) || !r.code(alignment, MaxAlignment, "alignment")
        || !r.f64(o.shift) || !r.f64(o.interval) || !r.count(points, PointSize, "overlay points"))
        return false;
    if (!std::isfinite(o.shift) || !std::isfinite(o.interval) || std::signbit(o.interval))
        return r.fail(QStringLiteral("Chart block has an overlay shift or interval out of range."));
    o.alignment = static_cast<OverlayAlignment>(alignment);
    o.xs.resize(points);
    o.ys.resize(points);
    if (!r.array(o.xs) || !r.array(o.ys))
        return false;
    chart.overlay = std::move(o);
    return true;
}

double finiteOrZero(double v)
{
    return std::isfinite(v) ? v : 0.0;
}

void writeOverlay(Writer &w, const std::optional<OverlaySeries> &overlay)
{
    w.flag(overlay.has_value());
    if (!overlay)
        return;
    const OverlaySeries &o = *overlay;
    const std::size_t n = std::min(o.xs.size(), o.ys.size());
    w.string(o.label);
    w.colour(o.color);
    w.u8(storedCode(static_cast<int>(o.alignment), MaxAlignment));
    w.f64(finiteOrZero(o.shift));
    w.f64(std::max(0.0, finiteOrZero(o.interval)));
    w.u32(static_cast<quint32>(n));
    if (o.xs.size() == n && o.ys.size() == n) {
        w.array(o.xs);
        w.array(o.ys);
        return;
    }
    w.array(std::vector<double>(o.xs.begin(), o.xs.begin() + qsizetype(n)));
    w.array(std::vector<float>(o.ys.begin(), o.ys.begin() + qsizetype(n)));
}

// The excluded intervals as load accepts them: ends in order, none with an end not finite.
std::vector<ExcludedInterval> storedExclusions(const ChartModel &chart)
{
    std::vector<ExcludedInterval> stored;
    stored.reserve(chart.exclusions.size());
    for (const ExcludedInterval &e : chart.exclusions) {
        if (!std::isfinite(e.from) || !std::isfinite(e.to))
            continue;
        stored.push_back({ std::min(e.from, e.to), std::max(e.from, e.to), e.label,
                           static_cast<IntervalCategory>(
                               storedCode(static_cast<int>(e.category), MaxCategory)) });
    }
    return stored;
}

} // namespace

namespace ChartBlock {

QByteArray save(const ChartModel &chart)
{
    const auto pointBytes = qsizetype(chart.subsets()) * chart.points() * PointSize;
    const std::vector<ExcludedInterval> exclusions = storedExclusions(chart);
    Writer w(pointBytes + 1024);

    const bool hasLimit = chart.limit.has_value() && std::isfinite(chart.limit.value_or(0.0));
    const double limit = std::clamp(chart.limit.value_or(0.0), Exceedances::LowestLimit,
                                    Exceedances::HighestLimit);
    const bool categories = std::any_of(exclusions.begin(), exclusions.end(), [](const auto &e) {
        return e.category != IntervalCategory::Excluded;
    });
    const quint16 version = !chart.details.isEmpty() ? DetailsVersion
        : categories                                 ? CategoryVersion
        : (hasLimit || chart.overlay)                ? LimitOverlayVersion
        : exclusions.empty()                         ? FirstVersion
                                                     : ExclusionsVersion;
    w.raw(Magic, sizeof Magic);
    w.u16(version);

    w.u32(static_cast<quint32>(chart.subsets()));
    w.u32(static_cast<quint32>(chart.subsets() > 0 ? chart.points() : 0));
    for (int s = 0; s < chart.subsets(); ++s) {
        w.array(chart.xs(s));
        w.array(chart.ys(s));
    }

    writeScale(w, chart.xScale);
    writeScale(w, chart.yScale);

    w.string(chart.mainTitle);
    w.string(chart.subTitle);
    w.string(chart.xAxisLabel);
    w.string(chart.yAxisLabel);
    w.u32(static_cast<quint32>(chart.subsetLabels.size()));
    for (const QString &label : chart.subsetLabels)
        w.string(label);
    w.u32(static_cast<quint32>(chart.subsetColors.size()));
    for (const QColor &colour : chart.subsetColors)
        w.colour(colour);
    w.u32(static_cast<quint32>(chart.subsetLineTypes.size()));
    for (const int lineType : chart.subsetLineTypes)
        w.u8(storedCode(lineType, MaxLineType));
    w.colour(chart.yAxisColor);
    w.u8(storedCode(static_cast<int>(chart.gridStyle), MaxGridStyle));
    w.u8(storedCode(static_cast<int>(chart.viewingStyle), MaxViewingStyle));
    w.flag(chart.dateTimeX);
    w.i32(std::clamp(chart.titleFontSize, MinFontSize, MaxFontSize));
    w.i32(std::clamp(chart.labelFontSize, MinFontSize, MaxFontSize));
    w.i32(std::clamp(chart.legendFontSize, MinFontSize, MaxFontSize));

    w.u32(static_cast<quint32>(chart.annotations.size()));
    for (const auto &[index, a] : chart.annotations) {
        w.i32(index);
        w.f64(a.x);
        w.f64(a.y);
        w.u8(storedAnnotationType(a.type));
        w.string(a.text);
        w.colour(a.color);
    }
    w.flag(chart.showGraphAnnotations);
    w.i32(std::clamp(chart.graphAnnotationTextSize, MinTextSize, MaxTextSize));
    w.flag(chart.allowGraphAnnotHotSpots);

    for (const VerticalLine &line : chart.verticalLines) {
        w.f64(line.x);
        w.string(line.text);
    }
    w.flag(chart.showVertLineAnnotations);
    w.flag(chart.allowVertLineAnnotHotSpots);
    w.i32(std::clamp(chart.lineAnnotationTextSize, MinTextSize, MaxTextSize));
    w.flag(chart.allowDataHotSpots);

    if (version >= ExclusionsVersion) {
        w.u32(static_cast<quint32>(exclusions.size()));
        for (const ExcludedInterval &e : exclusions) {
            w.f64(e.from);
            w.f64(e.to);
            w.string(e.label);
            if (version >= CategoryVersion)
                w.u8(static_cast<quint8>(e.category));
        }
    }
    if (version >= LimitOverlayVersion) {
        w.flag(hasLimit);
        if (hasLimit)
            w.f64(limit);
        writeOverlay(w, chart.overlay);
    }
    if (version >= DetailsVersion)
        ChartBlockDetails::write(w, chart.details);
    return w.take();
}

bool load(const QByteArray &block, ChartModel &out, QString *error)
{
    Reader r(block);
    ChartModel chart;
    const bool ok = [&] {
        char magic[sizeof Magic];
        quint16 version = 0;
        if (block.size() < qsizetype(sizeof Magic)
            || std::memcmp(block.constData(), Magic, sizeof Magic) != 0)
            return r.fail(QStringLiteral("Not a stored chart (wrong signature)."));
        if (!r.raw(magic, sizeof magic) || !r.u16(version))
            return false;
        if (version > NewestVersion)
            return r.fail(QStringLiteral("Chart block version %1 is newer than this program reads.")
                              .arg(version));
        if (version < FirstVersion)
            return r.invalid("version", version);
        if (!readData(r, chart))
            return false;
        r.setSection("scales");
        if (!readScale(r, chart.xScale) || !readScale(r, chart.yScale))
            return false;
        if (!readLook(r, chart) || !readAnnotations(r, chart))
            return false;
        if (version >= ExclusionsVersion && !readExclusions(r, chart, version >= CategoryVersion))
            return false;
        if (version >= LimitOverlayVersion && (!readLimit(r, chart) || !readOverlay(r, chart)))
            return false;
        if (version >= DetailsVersion && !ChartBlockDetails::read(r, chart.details))
            return false;
        if (r.left() > 0)
            return r.fail(
                QStringLiteral("Chart block has %1 unexpected bytes at its end.").arg(r.left()));
        return true;
    }();
    if (!ok) {
        if (error)
            *error = r.error();
        return false;
    }

    // Views redraw when the data revision differs from the one they drew, so the loaded chart
    // continues the counting of the chart it replaces instead of starting again from zero.
    const quint64 replaced = out.dataRevision();
    chart.source = std::move(out.source);
    out = std::move(chart);
    while (out.dataRevision() <= replaced)
        out.touch();
    if (error)
        error->clear();
    return true;
}

} // namespace ChartBlock
