#include "survey/headedcsv.h"

#include "base/datetimedays.h"
#include "files/textexport.h"
#include "survey/graphsource.h"
#include "survey/levelkind.h"
#include "survey/measurement.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

#include <cstdio>
#include <cstdlib>

namespace HeadedCsv {

namespace {

const QString NotKnown = QStringLiteral("not known");

void appendLine(QByteArray &out, const QString &line)
{
    out += line.toUtf8();
    out += '\n';
}

// "2026-12-08T21:05:07+01:00": the local time of a value to the second, with its offset; without
// the offset for a time the local clock skips.
void appendTime(QByteArray &out, double days)
{
    const double rounded = DateTimeDays::roundedToSecond(days);
    const DateTimeDays::DateAndTime at = DateTimeDays::dateAndTimeOf(rounded);
    char text[40];
    int length = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", at.date.year(),
                               at.date.month(), at.date.day(), at.time.hour(), at.time.minute(),
                               at.time.second());
    const QDateTime local = DateTimeDays::toDateTime(rounded);
    if (local.isValid() && local.time() == at.time) {
        const int offset = local.offsetFromUtc() / 60;
        length
            += std::snprintf(text + length, sizeof text - std::size_t(length), "%c%02d:%02d",
                             offset < 0 ? '-' : '+', std::abs(offset) / 60, std::abs(offset) % 60);
    }
    out.append(text, length);
}

} // namespace

QByteArray text(const Measurement &measurement, const GraphSource &source, const QString &axisTitle,
                const QString &version)
{
    const QLocale c = QLocale::c();
    QByteArray out;
    const std::vector<QString> described = source.describe(c);
    for (const QString &line : described)
        appendLine(out, QStringLiteral("# Source: ") + line);
    if (described.empty())
        appendLine(out, QStringLiteral("# Source: ") + NotKnown);
    const QString kind = LevelKind::of(source, axisTitle).text();
    appendLine(out,
               QStringLiteral("# Weighting and response: ") + (kind.isEmpty() ? NotKnown : kind));
    const std::optional<double> interval = source.intervalOf(measurement);
    appendLine(
        out,
        QStringLiteral("# Interval: ")
            + (interval ? QString::number(*interval, 'g', 12) + QStringLiteral(" s") : NotKnown));
    appendLine(out,
               QStringLiteral("# Time zone: ") + QString::fromUtf8(QTimeZone::systemTimeZoneId()));
    appendLine(out, QStringLiteral("# Program: Audexa ") + version);
    out += "time,level_dB\n";
    if (measurement.subsets() < 1)
        return out;
    const std::vector<double> &xs = measurement.xs(0);
    const std::vector<float> &ys = measurement.ys(0);
    out.reserve(out.size() + qsizetype(xs.size()) * 32);
    for (std::size_t i = 0; i < xs.size() && xs[i] != 0.0; ++i) {
        appendTime(out, xs[i]);
        out += ',';
        if (!Measurement::isNull(ys[i]))
            TextExport::appendLevel(out, ys[i], c);
        out += '\n';
    }
    return out;
}

} // namespace HeadedCsv
